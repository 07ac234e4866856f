// Copying chosen groups of settings from one output to another, so that a second speaker line can
// start from the first one's tuning. The output copy window and the command line both call
// copyOutput, so a copy gives the same configuration whichever program made it: the values land
// as if the user had entered them in the editors, which then quantise and redesign them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "config/LoadResult.h"
#include "config/ProcessorConfig.h"

namespace kvn {

enum class CopyGroup : std::uint8_t { Route, Crossover, Equalizer, Delay, Gain, Name, Dynamics };

// Every group, in the order a copy runs them.
inline constexpr std::array<CopyGroup, 7> kCopyGroups = {
    CopyGroup::Route, CopyGroup::Crossover, CopyGroup::Equalizer, CopyGroup::Delay,
    CopyGroup::Gain,  CopyGroup::Name,      CopyGroup::Dynamics,
};

// A set of groups.
class CopyGroups {
public:
    constexpr CopyGroups() = default;
    static constexpr CopyGroups all() {
        CopyGroups groups;
        for (const CopyGroup group : kCopyGroups) {
            groups.add(group);
        }
        return groups;
    }
    constexpr CopyGroups& add(CopyGroup group) {
        bits_ = static_cast<std::uint8_t>(bits_ | bit(group));
        return *this;
    }
    constexpr bool has(CopyGroup group) const { return (bits_ & bit(group)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool operator==(const CopyGroups&) const = default;

private:
    static constexpr std::uint8_t bit(CopyGroup group) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(group));
    }
    std::uint8_t bits_ = 0;
};

struct OutputCopyResult {
    // False when nothing was copied: the source is the destination, or an output lies outside
    // 1..3. The configuration is then unchanged.
    bool copied = false;
    // To show the user: the crossover reload's Bessel limit warnings, and a note when SUB's
    // low-pass edge kept its own settings.
    std::vector<UserMessage> messages;
};

// The note given when a bypassed low-pass edge was to be copied onto SUB.
inline constexpr const char* kSubLowPassKeptNote =
    "The SUB low-pass filter cannot be bypassed: it keeps its own settings.";

// Copies `groups` of output `from` onto output `to` (1..3), in the order of kCopyGroups. Only the
// destination's values are set, and the dynamics units are reloaded; the source keeps its own.
//  - Route: the destination's Route comes back through the route button (the source's route
//    minus one, then one advance), which recomputes GainFromA and GainFromB.
//  - Crossover: the low-pass edge takes the source's family, order, section count, frequency and
//    each section's frequency and Q, and SoloL the source's. Unless the destination is SUB, the
//    high-pass edge is copied the same way and SoloH too. The crossover controls are then
//    loaded, which redesigns both edges with their rules (no crossing, orders 2..4, SUB's
//    low-pass at most 480 Hz). SUB's low-pass edge cannot be bypassed: a bypassed source edge
//    leaves it as it is (the editor would keep its old sections under a bypass code, so what the
//    processor filters with would no longer match the settings), and the note above is given.
//  - Equalizer: bands 1..3 when either output is SUB, else 1..7, take the source band's type,
//    frequency, gain and Q and are selected in the equaliser one after the other, which
//    redesigns them, quantises them to the sliders' steps, holds SUB's to 500 Hz and raises the
//    destination's bands in use. The source's measurement file name is copied with them.
//  - Delay: DelaySamples (held to 0..234) and RelativeDistanceSamples.
//  - Gain: level track, Muted and Inverted; Gain follows from the track with the new polarity.
//  - Name.
//  - Dynamics: outputs 1 and 2 share unit 1, so between them nothing is copied. Otherwise the
//    destination's unit takes threshold, ratio, knee width and type, bypass, detector
//    coefficient, look-ahead, hold, release and the speaker settings (amplifier gain, load
//    impedance, box and amplifier power, balanced); then units 2 and 1 are loaded as the
//    dynamics editor loads them, which quantises them to its tracks and redesigns their tables.
OutputCopyResult copyOutput(ProcessorConfig& config, int from, int to, CopyGroups groups);

// The destination offered first for source `from` (1..3): the next output, Output 1 after SUB.
int nextCopyDestination(int from);

// The outputs (1..3, in order) that would share one name after copying `groups` from `from` onto
// `to`: the two of the copy and any other output already so called (names compared without the
// blanks around them). Empty when the name is not copied, or `from` is `to` or not an output.
std::vector<int> outputsSharingCopiedName(const ProcessorConfig& config, int from, int to,
                                          CopyGroups groups);

}  // namespace kvn
