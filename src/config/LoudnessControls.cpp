// SUB reinforcement controls and design.
#include "config/LoudnessControls.h"

#include <algorithm>

#include "dsp/Rounding.h"

namespace kvn {
namespace {

constexpr double kHighPassBaseQ = 0.707;
constexpr double kHighPassDbPerQ = 3.8;

}  // namespace

double loudnessFrequencyFromSlider(int position) {
    return kLoudnessMaxFrequencyHz - std::clamp(position, 0, kLoudnessFrequencySliderMax);
}

int loudnessFrequencySliderPosition(double frequencyHz) {
    return std::clamp(roundHalfEven(kLoudnessMaxFrequencyHz - frequencyHz), 0,
                      kLoudnessFrequencySliderMax);
}

double loudnessGainFromSlider(int position) {
    return (kLoudnessGainSliderMax - std::clamp(position, 0, kLoudnessGainSliderMax)) / 10.0;
}

int loudnessGainSliderPosition(double gainDb) {
    return std::clamp(roundHalfEven(kLoudnessGainSliderMax - gainDb * 10.0), 0,
                      kLoudnessGainSliderMax);
}

double loudnessHighPassQ(double gainDb) {
    return gainDb / kHighPassDbPerQ + kHighPassBaseQ;
}

bool loudnessIsHighPass(const TSOS& section) {
    return section.FilterType == kHiPassQ;
}

void designLoudness(TSOS& section) {
    if (loudnessIsHighPass(section)) {
        section.Q = loudnessHighPassQ(section.GainDb);
        section.designHiPassQ();
    } else {
        section.FilterType = kParametric;
        section.Q = kLoudnessPeakingQ;
        section.designParametric();
    }
}

void setLoudnessFrequency(TSOS& section, int sliderPosition) {
    section.FrequencyHz = loudnessFrequencyFromSlider(sliderPosition);
    designLoudness(section);
}

void setLoudnessGain(TSOS& section, int sliderPosition) {
    section.GainDb = loudnessGainFromSlider(sliderPosition);
    designLoudness(section);
}

void setLoudnessType(TSOS& section, bool highPass) {
    section.FilterType = highPass ? kHiPassQ : kParametric;
    designLoudness(section);
}

LoudnessControls loudnessControls(const TSOS& section) {
    return {loudnessFrequencySliderPosition(section.FrequencyHz),
            loudnessGainSliderPosition(section.GainDb), loudnessIsHighPass(section)};
}

}  // namespace kvn
