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

void refreshLevelFromTrack(OutputChannel& output) {
    setLevelTrack(output, output.LevelPosition);
}

void refreshLevelFromGain(OutputChannel& output) {
    setLevelTrack(output, levelTrackFromDb(levelDbFromGain(output.Gain)));
}

}  // namespace kvn
