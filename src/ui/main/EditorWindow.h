// What the main window needs of an editor window (equaliser, crossover, gains, delay, dynamics,
// output copy, total response...). Editor windows are created once at start-up and registered
// with the EditorRegistry under their kind; the main window's buttons then open them.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kvn::ui {

enum class EditorKind {
    Equalizer,      // one per output button row: "PEQ"
    Crossover,      // "X-Over"
    Gains,          // "Gain"
    Delay,          // "Delay"
    Dynamics,       // "Dynamics"
    Loudness,       // opened from its own place; closed by New like the others
    Copy,           // "Copy" (modal)
    TotalResponse,  // "Total Freq Response"
    Coefficients,   // the hidden "Show Coeff" button
    Import,         // "Import Speaker Data", opened from the total response
    Align,          // "Align...", opened from the total response
    AutoEq,         // "Auto EQ...", opened from the equaliser window
};

// One picture of a window for the documentation (`make screenshots`).
struct ScreenshotStep {
    QString fileName;  // "equalizer.png"
    // Sets realistic values through the change path, shows the window and returns the widget to
    // draw; it is drawn once laid out and painted, then hidden again.
    std::function<QWidget*()> prepare;
};

class EditorWindow {
public:
    virtual ~EditorWindow() = default;

    // Shows the window for output `output` (1 Output 1, 2 Output 2, 3 SUB), or with whatever it
    // showed last when `output` is 0 (the buttons that are not per output).
    virtual void openFor(int output) = 0;
    // Hides the window (New and Open close the editors before they replace the configuration).
    virtual void closeEditor() {}
    // The configuration was replaced (New, Open, Read): show it again.
    virtual void reloadFromConfig() {}
    // Real-time mode was switched; windows with a real-time button show the state.
    virtual void showRealTime(bool on) { (void)on; }
    // The window's pictures for the documentation, in the order they are taken.
    virtual std::vector<ScreenshotStep> screenshots() { return {}; }
};

}  // namespace kvn::ui
