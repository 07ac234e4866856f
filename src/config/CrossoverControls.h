// The crossover editor's controls and its one edge-change rule, as the editor and every loader of
// a configuration apply them. Per output: a family list and an order spin for each edge, and a
// hidden whole-hertz frequency spin that commits the edge frequency. The "L" controls edit the
// high-pass edge (low end of the band), the "H" controls the low-pass edge (high end).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/LoadResult.h"
#include "config/ProcessorConfig.h"

namespace kvn {

enum class XoverEdge { L, H };  // L: HighPassEdge, H: LowPassEdge

// Family list entries "ByPass", "ButtW", "L-Riley", "Bessel" (on SUB the "H" list's first entry
// reads "-----------" and does nothing).
inline constexpr int kXoverFamilies = 4;
inline constexpr int kXoverMinOrder = 2;  // order spins: 2..4, step 2
inline constexpr int kXoverMaxOrder = 4;
inline constexpr int kXoverMinFrequencyHz = 20;  // hidden frequency spins
inline constexpr int kXoverMaxFrequencyHz = 20000;
inline constexpr int kSubLowPassMaxFrequencyHz = 480;

// What the controls of one output hold.
struct CrossoverControls {
    int familyL = 0;  // list index 0..3
    int familyH = 0;
    int orderL = kXoverMinOrder;
    int orderH = kXoverMinOrder;
    int frequencyL = kXoverMinFrequencyHz;  // whole hertz, within the spin's range
    int frequencyH = kXoverMinFrequencyHz;
};

// List index shown for an edge's code: code / 2 for the high-pass edge, (code + 1) / 2 for the
// low-pass edge, so either direction's code selects its family. A code beyond the list selects
// "ByPass".
int xoverFamilyIndex(std::uint8_t xoverType, XoverEdge edge);
// Code of a list index: index x 2 for "L", index x 2 - 1 for "H", 0 for the first entry.
std::uint8_t xoverTypeFromFamily(int familyIndex, XoverEdge edge);
// Range of an edge's hidden frequency spin: 20..20000 Hz, SUB's "H" spin at most 480 Hz.
int xoverFrequencyMax(int output, XoverEdge edge);
// A frequency as the hidden spin takes it: rounded to whole hertz (halves to even) and held to the
// spin's range. Typed values, spin-button steps and graph drags all go through it.
int xoverSpinFrequency(double frequencyHz, int outputNumber, XoverEdge edge);

// "ByPass" has no order: the order spin is disabled while it is chosen. The other families take
// the spin's orders 2 and 4, which the design supports for each of them.
bool xoverFamilyTakesOrder(int familyIndex);

// The frequency slider beside each edge's field: logarithmic, 20 Hz at position 0 to 20 kHz at
// kXoverSliderSteps (three decades), each position giving a whole-hertz frequency. SUB's "H"
// slider ends at the position of 480 Hz.
inline constexpr int kXoverSliderSteps = 1000;
int xoverFrequencyFromSlider(int position);
// The position whose frequency is nearest to `frequencyHz` in log terms, held to 0..steps.
int xoverSliderPosition(double frequencyHz);
int xoverSliderMaximum(int output, XoverEdge edge);

// The edge change (the handler behind every crossover edit) for `edge` of `output` (1..3):
//  - the spin frequency is held to its range; the no-crossing rule applies while SoloL / SoloH is
//    false: the high-pass edge may not reach the low-pass edge's frequency and the low-pass edge
//    may not fall to the high-pass edge's frequency (each is moved to the other's, rounded);
//  - the edge stores the frequency and the order spin's value (held to 2..4);
//  - on SUB with the "H" list's first entry nothing further happens: SUB's low-pass edge cannot
//    be bypassed, so its family and sections stay as they are;
//  - otherwise the family code is set from the list and the edge is designed. A Bessel low-pass
//    above its limit is designed again at the limit, which the controls then hold; the limit
//    message is returned for the caller to show. The no-crossing rule is not applied again after
//    that, so a limit below the high-pass edge cannot bounce between the two edges.
// `controls` is updated to what the controls show afterwards.
std::optional<UserMessage> changeCrossoverEdge(OutputChannel& output, int outputNumber,
                                               XoverEdge edge, CrossoverControls& controls);

// What the controls of an output show for its edges, without designing anything (choosing an
// output, and every change made elsewhere): family lists and order spins from the edges' codes and
// orders (held to 2..4), frequencies as the spins take them. On SUB the disabled "L" list shows
// "ByPass".
CrossoverControls crossoverControlsShown(const OutputChannel& output, int outputNumber);

struct CrossoverLoad {
    CrossoverControls controls;
    std::vector<UserMessage> messages;  // Bessel limit messages, as warnings
};

// Loading the controls of an output (the editor's ActulizaParametros): the order spins and family
// lists take the edges' values, then the "L" spin takes the high-pass frequency rounded to whole
// hertz and the edge change runs, then the same for "H". Used by the editor on choosing an
// output and by every loader of a configuration.
CrossoverLoad loadCrossoverControls(ProcessorConfig& config, int outputNumber);

}  // namespace kvn
