// The equaliser editor's control scales, and what selecting a band does to it: loading a band's
// controls runs each slider's change handler, which quantises the band's frequency to the cubic
// slider step, its Q to 0.1 and its gain to 0.1 dB, and holds each to its field's range. The
// editor and every loader of a configuration use these, so all produce the same bands.
#pragma once

#include "config/ProcessorConfig.h"

#include <string>

namespace kvn {

inline constexpr double kPeqMinFrequencyHz = 10.0;
inline constexpr double kPeqMaxFrequencyHz = 20000.0;
inline constexpr double kSubPeqMaxFrequencyHz = 500.0;
inline constexpr double kPeqMinQ = 0.5;
inline constexpr double kPeqMaxQ = 20.0;
inline constexpr double kPeqMinGainDb = -15.0;
inline constexpr double kPeqMaxGainDb = 12.0;
inline constexpr double kShelfMaxGainDb = 6.0;

inline constexpr int kFrequencySliderMin = 10;
inline constexpr int kFrequencySliderMax = 20000;
inline constexpr int kQSliderMin = 2;
inline constexpr int kQSliderMax = 200;
inline constexpr int kGainSliderMin = 0;
inline constexpr int kGainSliderMax = 274;

// Frequency slider, cubic: f = ((20000 - p) / 20000)^3 * 20000.
double frequencyFromSlider(int position);
int frequencySliderPosition(double frequencyHz);
// Q slider, 0.1 per position: Q = (200 - p) / 10.
double qFromSlider(int position);
int qSliderPosition(double q);
// Gain slider, 0.1 dB per position: g = (273 - p) * 0.1 - 15, computed as (123 - p) / 10 so that
// position 123 gives exactly 0 dB (a shelf at exactly 0 dB is flat).
double gainFromSlider(int position);
int gainSliderPosition(double gainDb);

// Q limits of the band-pass and notch types applied by the Q handler and the type change.
double limitQForType(double q, int filterType);
// The gain cap of the two first-order shelves.
double limitGainForType(double gainDb, int filterType);

// The frequency field's maximum: 20000 Hz, or 500 Hz while SUB is edited.
double maxFrequencyHz(bool sub);
// The frequency slider's top position: SUB's slider stops at the 500 Hz position, so that its
// whole travel covers the frequencies the field accepts (above it every position gives 500 Hz).
int frequencySliderTop(bool sub);

// Which of the editor's controls a band type uses. The frequency controls always are.
struct BandControls {
    bool gain = false;  // gain field, slider and buttons
    bool q = false;     // Q field, slider and buttons
    // The gain field shows 0 (the low- and high-pass types, whose gain does nothing).
    bool gainShowsZero = false;
};
BandControls bandControlsFor(int filterType);
// The value the gain field shows for `band`.
double shownGainDb(const PeqBand& band);

// --- What each control does to the band it edits; every one redesigns the band. ---

// The slider handlers: the slider's value is held to its field's range, then the type's limits
// apply (band-pass and notch Q, shelf gain).
void setBandFrequencyFromSlider(PeqBand& band, int position, bool sub);
void setBandQFromSlider(PeqBand& band, int position);
void setBandGainFromSlider(PeqBand& band, int position);

// A typed or stepped value is stored by placing its slider, whose handler commits it: the value
// ends on the slider's step (1000 Hz becomes 999.97 Hz, a Q of 1.25 becomes 1.2).
void setBandFrequency(PeqBand& band, double frequencyHz, bool sub);
void setBandQ(PeqBand& band, double q);
void setBandGain(PeqBand& band, double gainDb);

// The type list's entry `listIndex` (0..11; 14 and 15 stand for codes 15 and 16). Band-pass and
// notch raise a low Q to their limits, the shelves cap the gain at 6 dB, and the gain the band
// keeps is what its field showed (0 for the low- and high-pass types).
void setBandType(PeqBand& band, int listIndex);

// The band's point dragged to graph position (xHz, yDb): the frequency follows x, the gain
// follows y rounded to 0.1 dB, except for the types without a gain of their own (Butterworth,
// notch, all-pass and Q low/high-pass), whose gain becomes 0; then the controls are loaded from
// the band, which quantises it to the sliders' steps. A position that is not finite (a graph
// without a valid axis) changes nothing.
void dragBandTo(PeqBand& band, double xHz, double yDb, bool sub);

// Steps of the graph's wheel and arrow keys, each ending on the slider's step: the frequency by
// `steps` twenty-fourths of an octave (at least one slider position), the Q and the gain by
// `steps` slider positions (0.1 each).
inline constexpr double kFrequencyStepOctaves = 1.0 / 24.0;
void stepBandFrequency(PeqBand& band, int steps, bool sub);
void stepBandQ(PeqBand& band, int steps);
void stepBandGain(PeqBand& band, int steps);

// Loads a band's controls as the editor does (Q slider, gain slider, frequency slider, each
// handler storing its value and redesigning the band). The frequency field's maximum is 500 Hz
// while SUB is edited.
void loadBandControls(PeqBand& band, bool sub);

// Band `number` of output `output` (1..3) as an edited band: the output's curve counts it from now
// on (PeqBandsInUse is raised to it).
PeqBand& bandInUse(ProcessorConfig& config, int output, int number);

// Selecting band `number` of output `output` (1..3): raises PeqBandsInUse to it, loads the band's
// controls and redesigns it.
void selectEqualizerBand(ProcessorConfig& config, int output, int number);

// The coefficient view's "Copy": every equaliser section of output `output` (1..3) as text, one
// line per band with its slot, type, frequency, Q, gain, the five coefficients and their
// fixed-point words, under a heading line; columns separated by tabs.
std::string equaliserSectionsText(const ProcessorConfig& config, int output);

}  // namespace kvn
