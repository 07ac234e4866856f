// The equaliser editor's control scales, and what selecting a band does to it: loading a band's
// controls runs each slider's change handler, which quantises the band's frequency to the cubic
// slider step, its Q to 0.1 and its gain to 0.1 dB, and holds each to its field's range. The
// editor and every loader of a configuration use these, so all produce the same bands.
#pragma once

#include "config/ProcessorConfig.h"

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

// Loads a band's controls as the editor does (Q slider, gain slider, frequency slider, each
// handler storing its value and redesigning the band). The frequency field's maximum is 500 Hz
// while SUB is edited.
void loadBandControls(PeqBand& band, bool sub);

// Selecting band `number` of output `output` (1..3): raises PeqBandsInUse to it, loads the band's
// controls and redesigns it.
void selectEqualizerBand(ProcessorConfig& config, int output, int number);

}  // namespace kvn
