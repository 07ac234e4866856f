// The SUB reinforcement window's controls and the design of its section (slot 100): a frequency
// slider of 29..80 Hz, a gain slider of 0..12 dB and the choice between a peaking boost and a
// resonant high-pass whose Q rises with the gain. Both sliders are vertical and run upside down:
// position 0 is the top of the slider and the highest value.
#pragma once

#include "dsp/TSOS.h"

namespace kvn {

inline constexpr int kLoudnessFrequencySliderMax = 51;  // f = 80 - p: 80 Hz at 0, 29 Hz at 51
inline constexpr int kLoudnessGainSliderMax = 120;      // g = (120 - p) / 10: 12 dB at 0, 0 at 120
inline constexpr double kLoudnessMinFrequencyHz = 29.0;
inline constexpr double kLoudnessMaxFrequencyHz = 80.0;
inline constexpr double kLoudnessMaxGainDb = 12.0;
inline constexpr double kLoudnessPeakingQ = 1.5;

// Slider scales. Positions outside the slider are held to it; the inverse functions round to
// the nearest position (halves to even) and hold it to the slider.
double loudnessFrequencyFromSlider(int position);
int loudnessFrequencySliderPosition(double frequencyHz);
double loudnessGainFromSlider(int position);
int loudnessGainSliderPosition(double gainDb);

// Q of the high-pass type: 0.707 at 0 dB, rising by 1/3.8 per dB (about 3.865 at 12 dB), so the
// boost comes from the resonance just above the cut.
double loudnessHighPassQ(double gainDb);

// True when the section is the resonant high-pass ("HiPass Q"); any other type is the peaking
// boost.
bool loudnessIsHighPass(const TSOS& section);

// Designs the section from its type, frequency and gain: the peaking boost with Q 1.5, or the
// high-pass with the Q of its gain. GainDb keeps the gain setting while the section is a
// high-pass, whose design does not use it.
void designLoudness(TSOS& section);

// The window's handlers: each stores the control's value and designs the section again.
void setLoudnessFrequency(TSOS& section, int sliderPosition);
void setLoudnessGain(TSOS& section, int sliderPosition);
void setLoudnessType(TSOS& section, bool highPass);

// What the controls show for a section (activation and every change made elsewhere).
struct LoudnessControls {
    int frequencyPosition = 0;
    int gainPosition = 0;
    bool highPass = false;

    bool operator==(const LoudnessControls&) const = default;
};
LoudnessControls loudnessControls(const TSOS& section);

}  // namespace kvn
