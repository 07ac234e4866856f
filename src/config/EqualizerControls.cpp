// The equaliser editor's control scales and band loading.
#include "config/EqualizerControls.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "config/Encodings.h"

namespace kvn {

double frequencyFromSlider(int position) {
    const double r = (20000.0 - position) / 20000.0;
    return r * r * r * 20000.0;
}

int frequencySliderPosition(double frequencyHz) {
    const double p = 20000.0 - std::cbrt(std::max(frequencyHz, 0.0) / 20000.0) * 20000.0;
    return std::clamp(roundHalfEven(p), kFrequencySliderMin, kFrequencySliderMax);
}

double qFromSlider(int position) {
    return (200.0 - position) / 10.0;
}

int qSliderPosition(double q) {
    return std::clamp(roundHalfEven(200.0 - 10.0 * q), kQSliderMin, kQSliderMax);
}

double gainFromSlider(int position) {
    return (123.0 - position) / 10.0;
}

int gainSliderPosition(double gainDb) {
    return std::clamp(roundHalfEven(273.0 - (gainDb + 15.0) / 0.1), kGainSliderMin, kGainSliderMax);
}

double limitQForType(double q, int filterType) {
    if (filterType == kBandPass && q <= 1.69) {
        return 1.7;
    }
    if (filterType == kStopBand && !(q > 1.0)) {
        return 1.0;
    }
    return q;
}

double limitGainForType(double gainDb, int filterType) {
    if ((filterType == kShelvLow6dB || filterType == kShelvHigh6dB) && gainDb > kShelfMaxGainDb) {
        return kShelfMaxGainDb;
    }
    return gainDb;
}

double maxFrequencyHz(bool sub) {
    return sub ? kSubPeqMaxFrequencyHz : kPeqMaxFrequencyHz;
}

int frequencySliderTop(bool sub) {
    if (!sub) {
        return kFrequencySliderMin;
    }
    // The last position from the top that still gives at least 500 Hz.
    const double p = 20000.0 - std::cbrt(kSubPeqMaxFrequencyHz / 20000.0) * 20000.0;
    return static_cast<int>(std::floor(p));
}

BandControls bandControlsFor(int filterType) {
    switch (filterType) {
        case kParametric:
        case kBandPass:
        case kLowShelfSlope:
        case kHighShelfSlope:
            return {true, true, false};
        case kShelvLow6dB:
        case kShelvHigh6dB:
            return {true, false, false};
        case kLowPassButtw:
        case kHiPassButtw:
            return {false, false, true};
        case kStopBand:
        case kAllPass2:
            return {false, true, false};
        case kLowPassQ:
        case kHiPassQ:
            return {false, true, true};
        default:  // Bypass, AllPass 1 and codes no list entry stands for
            return {false, false, false};
    }
}

double shownGainDb(const PeqBand& band) {
    return bandControlsFor(band.FilterType).gainShowsZero ? 0.0 : band.GainDb;
}

void setBandFrequencyFromSlider(PeqBand& band, int position, bool sub) {
    band.FrequencyHz =
        std::clamp(frequencyFromSlider(position), kPeqMinFrequencyHz, maxFrequencyHz(sub));
    band.design();
}

void setBandQFromSlider(PeqBand& band, int position) {
    band.Q = limitQForType(std::clamp(qFromSlider(position), kPeqMinQ, kPeqMaxQ), band.FilterType);
    band.design();
}

void setBandGainFromSlider(PeqBand& band, int position) {
    const double gain = std::clamp(gainFromSlider(position), kPeqMinGainDb, kPeqMaxGainDb);
    band.GainDb = limitGainForType(gain, band.FilterType);
    band.design();
}

void setBandFrequency(PeqBand& band, double frequencyHz, bool sub) {
    const double held = std::clamp(frequencyHz, kPeqMinFrequencyHz, maxFrequencyHz(sub));
    setBandFrequencyFromSlider(band, frequencySliderPosition(held), sub);
}

void setBandQ(PeqBand& band, double q) {
    setBandQFromSlider(band, qSliderPosition(std::clamp(q, kPeqMinQ, kPeqMaxQ)));
}

void setBandGain(PeqBand& band, double gainDb) {
    setBandGainFromSlider(band,
                          gainSliderPosition(std::clamp(gainDb, kPeqMinGainDb, kPeqMaxGainDb)));
}

void setBandType(PeqBand& band, int listIndex) {
    const double shownGain = shownGainDb(band);
    const int code = listIndex == 14 || listIndex == 15 ? listIndex + 1 : listIndex;
    band.FilterType = static_cast<std::uint8_t>(std::clamp(code, 0, 255));
    band.Q = limitQForType(band.Q, band.FilterType);
    band.GainDb = limitGainForType(shownGain, band.FilterType);
    band.design();
}

void dragBandTo(PeqBand& band, double xHz, double yDb, bool sub) {
    if (!std::isfinite(xHz) || !std::isfinite(yDb)) {
        return;
    }
    band.FrequencyHz = std::clamp(xHz, kPeqMinFrequencyHz, maxFrequencyHz(sub));
    const bool ownGain = bandControlsFor(band.FilterType).gain;
    band.GainDb =
        ownGain ? std::clamp(roundHalfEven(yDb * 10.0) / 10.0, kPeqMinGainDb, kPeqMaxGainDb) : 0.0;
    band.design();
    loadBandControls(band, sub);
}

void stepBandFrequency(PeqBand& band, int steps, bool sub) {
    const int from = frequencySliderPosition(band.FrequencyHz);
    int to = frequencySliderPosition(band.FrequencyHz * std::exp2(steps * kFrequencyStepOctaves));
    // Positions run downwards in frequency; a step always moves at least one position.
    if (steps != 0 && to == from) {
        to = from - (steps > 0 ? 1 : -1);
    }
    setBandFrequencyFromSlider(band, std::clamp(to, frequencySliderTop(sub), kFrequencySliderMax),
                               sub);
}

void stepBandQ(PeqBand& band, int steps) {
    setBandQFromSlider(band, std::clamp(qSliderPosition(band.Q) - steps, kQSliderMin, kQSliderMax));
}

void stepBandGain(PeqBand& band, int steps) {
    setBandGainFromSlider(
        band, std::clamp(gainSliderPosition(band.GainDb) - steps, kGainSliderMin, kGainSliderMax));
}

void loadBandControls(PeqBand& band, bool sub) {
    setBandQFromSlider(band, qSliderPosition(band.Q));
    setBandGainFromSlider(band, gainSliderPosition(band.GainDb));
    setBandFrequencyFromSlider(band, frequencySliderPosition(band.FrequencyHz), sub);
}

PeqBand& bandInUse(ProcessorConfig& config, int output, int number) {
    OutputChannel& out = config.output(output);
    out.PeqBandsInUse = std::max(out.PeqBandsInUse, number);
    return out.band(number);
}

void selectEqualizerBand(ProcessorConfig& config, int output, int number) {
    PeqBand& band = bandInUse(config, output, number);
    loadBandControls(band, output == kSubOutput);
    band.design();
}

std::string equaliserSectionsText(const ProcessorConfig& config, int output) {
    std::string text =
        "Band\tSlot\tType\tFrequency Hz\tQ\tGain dB\tb0\tb1\tb2\ta1\ta2"
        "\tb0 word\tb1 word\tb2 word\ta1 word\ta2 word\n";
    std::array<char, 64> number{};
    const auto append = [&](const char* format, double value) {
        std::snprintf(number.data(), number.size(), format, value);
        text += number.data();
        text += '\t';
    };
    const OutputChannel& out = config.output(output);
    for (int b = 1; b <= peqBandCount(output); ++b) {
        const PeqBand& band = out.band(b);
        text += std::to_string(b) + '\t' + std::to_string(band.CoeffSlot) + '\t';
        const char* name = filterTypeName(band.FilterType);
        text += *name != '\0' ? std::string(name) : std::to_string(band.FilterType);
        text += '\t';
        append("%.2f", band.FrequencyHz);
        append("%.3f", band.Q);
        append("%.1f", band.GainDb);
        for (int i = 0; i < 5; ++i) {
            append("%.12f", band.coefficient(i));
        }
        for (int i = 0; i < 5; ++i) {
            text += wordText(encodeFixedWord(band.coefficient(i)));
            text += i < 4 ? '\t' : '\n';
        }
    }
    return text;
}

}  // namespace kvn
