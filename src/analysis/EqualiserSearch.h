// The search behind the automatic equaliser (fitEqualiser): given the fixed part of an output's
// error on the grid points of the range (measured loudspeaker, crossover, gain and kept bands,
// minus the target), it chooses the types and slider positions of the free bands that make the
// error's spread about its mean smallest.
//
// Starts: greedy placement on the smoothed residual at several smoothing widths, and bands spread
// over the range at golden-ratio turns; each is settled by a joint bounded Levenberg-Marquardt
// over (log frequency, log Q, gain) of all bands on every third point, and the best few again on
// every point. Then each band is re-seated in turn, first-order shelves are tried at the ends of
// the range, and every candidate is put on the sliders' steps and polished by a descent over
// neighbouring steps; the lowest error wins. No randomness, no threads, fixed iteration limits.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "config/ProcessorConfig.h"

namespace kvn::analysis {

class FitProgress;

// One band as the sliders hold it.
struct BandSteps {
    std::uint8_t type = kParametric;  // kParametric, kShelvLow6dB or kShelvHigh6dB
    int frequency = 0;                // FrecSlider position
    int q = 0;                        // QSlider position
    int gain = 0;                     // FilterGainSlider position
};

// Designs `band` from `steps` through the editor's slider handlers, as loading its controls
// does; CoeffSlot and the band's other fields are kept.
void setBandSteps(PeqBand& band, const BandSteps& steps, bool sub);

struct SearchLimits {
    bool sub = false;
    // Frequency slider positions of the highest and lowest frequency a band may take (positions
    // rise as the frequency falls), each one that a reload keeps.
    int frequencyTop = 0;
    int frequencyBottom = 0;
    // Highest gain of a peak and of a shelf, on the gain slider's 0.1 dB steps.
    double peakMaxGainDb = 0.0;
    double shelfMaxGainDb = 0.0;
};

// The limits of a band of output `sub` (SUB or not) for a maximum boost and "cut only".
SearchLimits searchLimits(bool sub, double maxBoostDb, bool cutOnly);

struct SearchProblem {
    // Per grid point of the range, in grid order: the fixed error (dB), the cosine of the
    // point's angular frequency and of twice it, and log2 of its frequency.
    std::vector<double> base;
    std::vector<double> cos1;
    std::vector<double> cos2;
    std::vector<double> octave;
    double lowHz = 0.0;
    double highHz = 0.0;
    int bands = 1;
    SearchLimits limits;
    bool shelves = true;
};

// The free bands, in rising frequency; nothing when the progress asked to stop.
std::optional<std::vector<BandSteps>> searchBands(const SearchProblem& problem,
                                                  FitProgress* progress);

}  // namespace kvn::analysis
