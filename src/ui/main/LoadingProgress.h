// Where the workflow shows the stages of New, of opening a preset file and of decoding an image
// read from the processor (the loading window in the program, a recorder in tests).
#pragma once

#include <QString>

namespace kvn::ui {

class LoadingProgress {
public:
    virtual ~LoadingProgress() = default;

    // Shows the progress with its bar at 0 % and `title`.
    virtual void beginStages(const QString& title) = 0;
    // Bar at `percent`, step text `text`, shown at once.
    virtual void setStage(int percent, const QString& text) = 0;
    // No bar, title and step blank, "Loading..." shown.
    virtual void beginDecoding() = 0;
    // Hides the progress; does nothing when it is hidden.
    virtual void closeWindow() = 0;
};

}  // namespace kvn::ui
