// The dynamics editor's loader: selecting a unit sets every control from it, and setting a track
// by code runs its handler, so the unit's threshold, ratio and knee are quantised to the tracks'
// steps and the unit is redesigned. The editor calls it when a unit is selected; every loader of a
// configuration calls it for unit 2, then unit 1.
#pragma once

#include <array>
#include <optional>

#include "config/ProcessorConfig.h"

namespace kvn {

inline constexpr int kThresholdTrackMax = 100;  // +18 dBu at 0, -32 dBu at 100, 0.5 dB steps
inline constexpr int kRatioTrackMax = 9;        // ratio 10 - p: 10:1 at 0, 1:1 at 9
inline constexpr int kKneeTrackMax = 20;        // knee (20 - p) / 2: 10 dB at 0, 0 dB at 20

// The noise gate list: "Bypass" 1, "1 (Low Noise)" 10, "2" 11 .. "7 (High Noise)" 16.
inline constexpr int kNoiseItems = 8;
inline constexpr std::array<const char*, kNoiseItems> kNoiseItemTexts = {
    "Bypass", "1 (Low Noise)", "2", "3", "4", "5", "6", "7 (High Noise)"};
// The list item whose gate level equals `gateLevel`, or -1 when none does (the list then shows no
// item and the level is kept).
int noiseItemForGateLevel(double gateLevel);
// The gate level list item `item` (0..7) sets; an item outside the list gives none.
std::optional<float> gateLevelForNoiseItem(int item);

// Ranges of the timing fields: attack and release in dB/s, hold and look-ahead in ms.
inline constexpr double kAttackMinDbPerS = 5.0;
inline constexpr double kAttackMaxDbPerS = 250.0;
inline constexpr double kHoldMaxMs = 80.0;
inline constexpr double kReleaseMinDbPerS = 1.0;
inline constexpr double kReleaseMaxDbPerS = 80.0;
inline constexpr double kLookAheadMaxMs = 2.0;

// Ranges of the expert gate fields.
inline constexpr int kGateLevelMax = 33;
inline constexpr int kGateSlopeMax = 10;

// What the editor's controls show after loading a unit.
struct DynamicsControls {
    int thresholdTrack = 0;
    int ratioTrack = 0;
    int kneeTrack = 0;
    double thresholdDbu = 0.0;  // ThdEdit
    double kneeDb = 0.0;        // KneeEdit
    bool compressor = false;    // CompressorB lit (else LimiterB)
    bool bypassed = false;
    double attackDbPerS = 0.0;  // RmsTimeConstEdit, from the detector coefficient
    double holdMs = 0.0;        // HoldTimeEdit, from hold samples minus look-ahead
    double releaseDbPerS = 0.0;
    double lookAheadMs = 0.0;
    int noiseItem = -1;
    double gateLevel = 0.0;  // GateEdit
    double gateSlope = 0.0;  // PendienteEdit
};

// What the controls show of unit `unit` as it stands, without changing it (the window shows a
// unit this way until the user selects one: the start-up thresholds of -6 and -5 dBFS lie between
// track steps and are kept). Tracks are the nearest positions, held to their ranges; the fields
// show the stored values.
DynamicsControls showDynamicsUnit(const ProcessorConfig& config, int unit);

// Which controls take input: a bypassed unit disables threshold, knee, type and timing; the ratio
// only acts on the compressor.
struct DynamicsEnabling {
    bool levels = true;  // threshold, knee, type, attack, hold, release
    bool ratio = true;
};
DynamicsEnabling dynamicsEnabling(bool bypassed, bool compressor);

// Selecting unit `unit` (1 OUT 1-2, 2 SUB): the threshold track p = R(2 x (-T - 11.6 + off)) held
// to 0..100 sets T = -p / 2 - (11.6 - off); the ratio track p = R(10 - R) held to 0..9 sets R =
// 10 - p; the knee track p = R(20 - 2W) (SUB: R(19.9 - 2W)) held to 0..20 sets W = (20 - p) / 2;
// the type LEDs make the knee type 0 (limiter) or 1 (compressor) and the bypass button 0 or 1;
// then the unit is redesigned. The detector timing values and the gate keep their stored values;
// the returned controls show them through the inverse mappings.
DynamicsControls loadDynamicsUnit(ProcessorConfig& config, int unit);

}  // namespace kvn
