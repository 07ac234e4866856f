// Output level track, dB field and gain.
#include "config/LevelControls.h"

#include <algorithm>
#include <cmath>

#include "dsp/Rounding.h"

namespace kvn {

double levelDbFromTrack(int position) {
    const int p = std::clamp(position, 0, kLevelTrackMax);
    return std::clamp((kZeroDbLevelPosition - p) / 10.0, kLevelMinDb, kLevelMaxDb);
}

int levelTrackFromDb(double levelDb) {
    return std::clamp(roundHalfEven((levelDb + 30.0) * -10.0 + kLevelTrackMax), 0, kLevelTrackMax);
}

double levelDbFromGain(double gain) {
    const double db = 20.0 * std::log10(std::fabs(gain));
    return std::isnan(db) ? kLevelMinDb : std::clamp(db, kLevelMinDb, kLevelMaxDb);
}

void setLevelTrack(OutputChannel& output, int position) {
    output.LevelPosition = std::clamp(position, 0, kLevelTrackMax);
    output.Gain = std::pow(10.0, levelDbFromTrack(output.LevelPosition) / 20.0) * output.polarity();
}

void setInverted(OutputChannel& output, bool inverted) {
    output.Inverted = inverted;
    setLevelTrack(output, output.LevelPosition);
}

std::array<double, 4> inputMatrixFor(bool output1Muted, bool output2Muted) {
    if (!output1Muted && output2Muted) {
        return {1.0, 0.0, 1.0, 0.0};
    }
    if (output1Muted && !output2Muted) {
        return {0.0, 1.0, 0.0, 1.0};
    }
    return {1.0, 0.0, 0.0, 1.0};
}

void setMuted(ProcessorConfig& config, int output, bool muted) {
    if (output < 1 || output > kOutputCount) {
        return;
    }
    config.output(output).Muted = muted;
    config.InputMatrix = inputMatrixFor(config.output(1).Muted, config.output(2).Muted);
}

void refreshLevelFromTrack(OutputChannel& output) {
    setLevelTrack(output, output.LevelPosition);
}

void refreshLevelFromGain(OutputChannel& output) {
    setLevelTrack(output, levelTrackFromDb(levelDbFromGain(output.Gain)));
}

}  // namespace kvn
