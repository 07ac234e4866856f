// The refresh that follows every load of a whole configuration: what the editors do to the model
// when they reload their controls after a memory image was decoded or a preset file was read.
// The editor and the command-line tool both go through refreshAfterLoad, so the same preset gives
// byte-identical images whichever program wrote them.
#pragma once

#include "config/CrossoverControls.h"
#include "config/DynamicsControls.h"
#include "config/LoadResult.h"
#include "config/ProcessorConfig.h"

namespace kvn {

enum class LoadSource {
    Image,       // a memory image read from the processor (carries level track positions)
    PresetFile,  // a preset file (carries the signed gains)
};

// Runs every editor's reload on the model, in the order the loader runs them:
//  - delays: each delay track is set to 234 - DelaySamples, so DelaySamples is held to 0..234;
//    the delay editor's temperature spin holds Temperature to 0..50;
//  - levels (gains editor): from LevelPosition for an image, from |Gain| for a file
//    (refreshLevelFromTrack / refreshLevelFromGain); the polarity follows Inverted;
//  - crossovers (crossover editor, outputs 1, 2, 3): loadCrossoverControls; every edge is
//    designed again at whole hertz with the no-crossing rule, orders 2..4, SUB's low-pass at most
//    480 Hz; a bypassed SUB low-pass edge is left as it is;
//  - dynamics (dynamics editor, unit 2 then unit 1): loadDynamicsUnit;
//  - routes: each saved Route comes back through the route button (saved - 1, then one advance),
//    which recomputes GainFromA and GainFromB and turns a value outside 0..2 into input A;
//  - equalisers (equaliser editor): SUB bands 3, 2, 1, then Output 2 and Output 1 bands 7 down to
//    1 are selected, which quantises each band to the sliders' steps (1000 Hz becomes 999.97 Hz,
//    Q to 0.1, gain to 0.1 dB), redesigns it and raises PeqBandsInUse to 3 and 7.
// For a preset file the stages are reported through `progress` with the loader's percentages and
// texts (30 % "Updating Delays..." .. 100 % "DONE"); an image reports nothing here (its single
// "Loading..." stage comes from LoadImage). Window-side effects (slider positions, readouts,
// progress window, the delay editor's look-ahead offset, which is unit 1's lookAheadSamples) are
// left to the windows, which read the values from the model. Running the refresh again changes
// nothing, with one exception the equaliser has always had: a SUB band above 500 Hz is held to
// 500 Hz by the first run and moved to the slider step below it (499.98 Hz) by the second.
// Returns the Bessel limit messages of the crossover reload.
std::vector<UserMessage> refreshAfterLoad(ProcessorConfig& config, LoadSource source,
                                          const ProgressCallback& progress = {});

// Selecting the equaliser bands of an output from the highest down to 1 (3 on SUB, 7 otherwise).
void loadEqualizerBands(ProcessorConfig& config, int outputNumber);

// A saved route restored through the route button: saved - 1, then one advance.
void restoreRoute(OutputChannel& output);

}  // namespace kvn
