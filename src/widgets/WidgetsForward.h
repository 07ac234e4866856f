// Forward declarations of the widgets, for the headers of windows that hold pointers to them.
#pragma once

namespace kvn::widgets {
class CommitSlider;
class IntSpinEdit;
class LedButton;
class LedGroup;
class LedMeter;
class RealEdit;
class ResponseGraph;
class SpinButtons;
}  // namespace kvn::widgets
