// The "Virtual" choice of the connection window: the built-in virtual KVN 350, reached over an
// in-process serial link. Its memories, password and keyboard lock are kept in a state file in
// the user's data folder, so that what was written in one run can be read in the next.
#pragma once

#include "emulator/VirtualProcessor.h"
#include "link/EmulatorClock.h"
#include "link/LinkOption.h"

#include <filesystem>
#include <string>

namespace kvn::ui {

class VirtualConnection {
public:
    // ConnectionMode while the virtual processor is chosen (after COM 1..4 and USB).
    static constexpr int kConnectionMode = 6;

    struct Options {
        // Empty: the memories are not kept between runs.
        std::filesystem::path stateFile;
        // Real for the editor (replies take the time they take on a wire); Virtual for tests.
        link::ClockPolicy clock = link::ClockPolicy::Real;
        // Line rate of the virtual wire; 0 delivers at once.
        int baud = emu::kProcessorBaud;
    };

    explicit VirtualConnection(Options options);

    // The state file in the user's data folder.
    static std::filesystem::path defaultStateFile();

    // Takes the memories kept by an earlier run. True when there was nothing to take or it was
    // taken; false, with the reason in `error`, when the file was refused (the processor then
    // starts with fresh memories and the file is left for the user to look at).
    bool loadState(std::string& error);
    // Keeps the memories for the next run; false with the reason in `error`.
    bool saveState(std::string& error) const;

    // The choice handed to the device link.
    link::LinkOption linkOption();
    emu::VirtualProcessor& device() { return device_; }
    const Options& options() const { return options_; }

private:
    Options options_;
    emu::VirtualProcessor device_;
};

}  // namespace kvn::ui
