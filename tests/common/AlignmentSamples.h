// The alignment tests' system and measurements: a top on Output 1 and SUB crossed with
// Linkwitz-Riley 24 dB/octave edges, and the sample SUB measurement with its sound arriving a
// known number of samples early. Needs KVN_SAMPLE_MEASUREMENTS, the folder of the samples.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "config/LevelControls.h"
#include "config/ProcessorConfig.h"

namespace kvn::test {

// Output 1 high-passed and SUB low-passed at `hz`, SUB 3 dB down, Output 2 muted.
inline void setTwoWay(ProcessorConfig& c, double hz) {
    const auto set = [hz](TXOVERPB& edge, std::uint8_t type) {
        edge.XoverType = type;
        edge.Order = 4;
        edge.FrequencyHz = hz;
        edge.design();
    };
    set(c.output(1).HighPassEdge, kLinkwitzRileyHighPass);
    set(c.output(3).LowPassEdge, kLinkwitzRileyLowPass);
    setLevelTrack(c.output(3), levelTrackFromDb(-3.0));
    setMuted(c, 2, true);
}

// The sample SUB measurement (FRD text) `early` samples early: each phase turned by
// 360 f early / 48000 degrees; without `phase`, the magnitude column only.
inline std::string sampleSubText(int early, bool phase = true) {
    std::ifstream in(std::string(KVN_SAMPLE_MEASUREMENTS) + "/sub.frd");
    std::ostringstream out;
    out.precision(10);
    for (std::string line; std::getline(in, line);) {
        double hz = 0.0;
        double db = 0.0;
        double deg = 0.0;
        if (line.starts_with("*") || !(std::istringstream(line) >> hz >> db >> deg)) {
            continue;
        }
        out << hz << " " << db;
        if (phase) {
            out << " " << deg + 360.0 * hz * early / 48000.0;
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace kvn::test
