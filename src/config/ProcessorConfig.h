// The whole preset the processor holds: names, routing, and for each output its equaliser,
// crossover, delay, level, mute and polarity; two dynamics units; measurement-import settings and
// the total-response view flags. There is one ProcessorConfig in the running program; the editors
// change it, the memory image and the preset file serialise it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dsp/DspConstants.h"
#include "dsp/TDYNAMIC.h"
#include "dsp/TSOS.h"
#include "dsp/TXOVERPB.h"

namespace kvn {

inline constexpr int kOutputCount = 3;  // Output 1, Output 2, SUB, numbered 1..3
inline constexpr int kSubOutput = 3;
inline constexpr int kPeqBands = 7;  // SUB uses bands 1..3 only
inline constexpr int kSubPeqBands = 3;
inline constexpr int kDynamicsUnits = 2;  // unit 1 "Out 1-2", unit 2 SUB
inline constexpr int kMaxDelaySamples = 234;
inline constexpr int kZeroDbLevelPosition = 61;

// Text limits of the editing fields.
inline constexpr std::size_t kSystemNameMax = 40;
inline constexpr std::size_t kChannelNameMax = 6;
inline constexpr std::size_t kProjectNameMax = 30;
inline constexpr std::size_t kEngineerMax = 30;
inline constexpr std::size_t kCommentsMax = 200;
inline constexpr std::size_t kMeasurementFileMax = 100;

// An equaliser band is one section.
using PeqBand = TSOS;

// Route of an output: which inputs feed it.
enum RouteCode : int { kRouteA = 0, kRouteAB = 1, kRouteB = 2 };

// Equaliser bands an output uses: 7, SUB 3.
constexpr int peqBandCount(int output) {
    return output == kSubOutput ? kSubPeqBands : kPeqBands;
}

// Gate values of both units when an image or a preset file older than the gates is read.
inline constexpr float kOlderGateLevel = 13.0f;
inline constexpr float kOlderGateSlope = 4.0f;

// How messages and tables name an output: "Output 1", "Output 2" or "SUB".
std::string outputTitle(int output);

// The dynamics unit a given output uses: 1 for Output 1 and Output 2, 2 for SUB.
constexpr int dynamicsUnitOf(int output) {
    return output == kSubOutput ? 2 : 1;
}

struct OutputChannel {
    std::string Name;
    int Route = kRouteA;
    double GainFromA = 1.0;
    double GainFromB = 0.0;
    std::array<PeqBand, kPeqBands> Peq{};
    int PeqBandsInUse = 2;  // the response is evaluated over bands 1..PeqBandsInUse
    TXOVERPB HighPassEdge;  // "L" controls, low end of the band
    TXOVERPB LowPassEdge;   // "H" controls, high end of the band
    bool SoloL = false;     // while false the high-pass edge may not reach the low-pass edge
    bool SoloH = false;     // while false the low-pass edge may not fall to the high-pass edge
    int DelaySamples = 0;   // 0..234 at 48 kHz
    int RelativeDistanceSamples = 0;
    double Gain = 1.0;                         // signed linear gain: polarity x 10^(dB/20)
    int LevelPosition = kZeroDbLevelPosition;  // level track 0..361, 61 = 0 dB
    bool Muted = false;
    bool Inverted = false;

    PeqBand& band(int number) { return Peq[static_cast<std::size_t>(number - 1)]; }
    const PeqBand& band(int number) const { return Peq[static_cast<std::size_t>(number - 1)]; }

    double muteFactor() const { return Muted ? 0.0 : 1.0; }
    double polarity() const { return Inverted ? -1.0 : 1.0; }
    // The level coefficient the processor receives: Gain x MuteFactor.
    double levelCoefficient() const { return Gain * muteFactor(); }

    // A click on the route button: 0 -> 1 -> 2 -> 0, then the gains follow. Readers restore a
    // saved route by storing it minus one and advancing once; a route outside 0..2 becomes 0.
    void advanceRoute();
    // GainFromA and GainFromB from Route: A only 1/0, A+B 0.5/0.5, B only 0/1.
    void setRouteGains();

    bool operator==(const OutputChannel&) const = default;
};

// Dynamics unit: the design object plus the values the dynamics editor keeps with it.
struct DynamicsUnit : TDYNAMIC {
    std::uint8_t editorByte28 = 0;  // stored and restored as it is
    std::uint8_t editorByte37 = 1;  // stored and restored as it is
    float limiterMaxLevel = 12.5f;

    bool operator==(const DynamicsUnit&) const = default;
};

struct ProcessorConfig {
    // Every field at its start-up value.
    ProcessorConfig();

    std::int32_t SampleRate = kSampleRate;
    std::string SystemName;
    std::array<std::string, 2> InputName;
    std::string ProjectName;
    std::string Engineer;
    std::string Comments;
    int Temperature = 25;  // degrees C, 0..50
    std::array<double, 4> InputMatrix{1.0, 0.0, 0.0, 1.0};
    std::array<OutputChannel, kOutputCount> Output;
    std::array<DynamicsUnit, kDynamicsUnits> Dynamics;
    std::array<std::string, kOutputCount> MeasurementFile;
    std::int32_t MeasurementFormat = 0;
    float MeasurementSpl = 90.0f;
    // Contributions shown by the total response: speaker data, PEQ, crossover, gain, delay.
    std::array<bool, 5> ResponseView{true, true, true, true, true};
    // The SUB reinforcement ("loudness") section at slot 100: a 29..80 Hz peaking boost or
    // resonant high-pass. It lives only in the running program: neither the memory image nor the
    // preset file carries it, and it reaches the processor only as a real-time message.
    TSOS Loudness;

    // Outputs 1..3 and dynamics units 1..2, numbered as the processor numbers them.
    OutputChannel& output(int number) { return Output[static_cast<std::size_t>(number - 1)]; }
    const OutputChannel& output(int number) const {
        return Output[static_cast<std::size_t>(number - 1)];
    }
    DynamicsUnit& unit(int number) { return Dynamics[static_cast<std::size_t>(number - 1)]; }
    const DynamicsUnit& unit(int number) const {
        return Dynamics[static_cast<std::size_t>(number - 1)];
    }

    // New: returns the configuration to the defaults the way the editors' default steps do.
    // Output 2 and SUB keep their Route; Output 1 returns to input A; the delay view flag of
    // ResponseView keeps its value; measurement file names are cleared.
    void resetToNew();

    bool operator==(const ProcessorConfig&) const = default;
};

}  // namespace kvn
