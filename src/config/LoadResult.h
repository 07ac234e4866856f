// What the whole-configuration readers and writers hand back to the window or the command line:
// the messages to show, whether the configuration was loaded, and progress while they run. No
// user interface here; the editor shows the messages in message boxes and the progress in its
// loading window, the command-line tool prints them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvn {

enum class MessageKind { Information, Warning, Error };

struct UserMessage {
    MessageKind kind;
    std::string text;  // shown exactly as it stands (UTF-8)

    bool operator==(const UserMessage&) const = default;
};

struct SaveResult {
    bool success = false;  // the file on disk holds the configuration
    std::vector<UserMessage> messages;
};

struct LoadResult {
    // The operation did what was asked; a previous-version preset file that loads with a warning
    // is a success.
    bool success = false;
    // The configuration holds what was read. When false it is unchanged (a memory image) or as
    // New made it (a preset file).
    bool loaded = false;
    // In the order they arose; a warning may come before a final error.
    std::vector<UserMessage> messages;
};

// One stage of a load. `percent` is the bar position 0..100, or kProgressBarHidden for the single
// "Loading..." stage of a memory image, whose window hides its bar. `step` is the stage's text.
struct ProgressStage {
    int percent;
    std::string_view step;
};
inline constexpr int kProgressBarHidden = -1;

// Called before each stage; the editor updates its loading window and processes pending events,
// the command-line tool prints a line. An empty function reports nothing.
using ProgressCallback = std::function<void(const ProgressStage&)>;

}  // namespace kvn
