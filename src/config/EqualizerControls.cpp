// The equaliser editor's control scales and band loading.
#include "config/EqualizerControls.h"

#include <algorithm>
#include <cmath>

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

void loadBandControls(PeqBand& band, bool sub) {
    // Q slider handler: the Q field holds its range, then the type's limits apply.
    double q = std::clamp(qFromSlider(qSliderPosition(band.Q)), kPeqMinQ, kPeqMaxQ);
    band.Q = limitQForType(q, band.FilterType);
    band.design();

    const double gain =
        std::clamp(gainFromSlider(gainSliderPosition(band.GainDb)), kPeqMinGainDb, kPeqMaxGainDb);
    band.GainDb = limitGainForType(gain, band.FilterType);
    band.design();

    const double maxHz = sub ? kSubPeqMaxFrequencyHz : kPeqMaxFrequencyHz;
    band.FrequencyHz = std::clamp(frequencyFromSlider(frequencySliderPosition(band.FrequencyHz)),
                                  kPeqMinFrequencyHz, maxHz);
    band.design();
}

void selectEqualizerBand(ProcessorConfig& config, int output, int number) {
    OutputChannel& out = config.output(output);
    out.PeqBandsInUse = std::max(out.PeqBandsInUse, number);
    PeqBand& band = out.band(number);
    loadBandControls(band, output == kSubOutput);
    band.design();
}

}  // namespace kvn
