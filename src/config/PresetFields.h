// The one description of a preset's stored fields, under the configuration model's names:
// walked by the JSON writer and reader of the command line and by the field listing that
// `preset diff` and the check after a memory write share. A visitor V offers text, integer,
// code, number, flag, texts, numbers, flags, objects, child and check (see PresetText.cpp for
// the simplest one); the ranges are those a document may hold: what the editor's controls allow
// (a start-up value outside them, such as SUB's -5 dBFS threshold, included).
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>

#include "config/CrossoverControls.h"
#include "config/DynamicsControls.h"
#include "config/EqualizerControls.h"
#include "config/LevelControls.h"
#include "config/PowerCheck.h"
#include "config/ProcessorConfig.h"
#include "dsp/DynamicsMath.h"

namespace kvn::preset_fields {

constexpr int kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr int kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr int kMaxLookAheadSamples = 96;  // 2 ms
// The level track's ends: -30 dB and +6 dB, as the size of the signed linear Gain.
inline const double kMinLevelGain = std::pow(10.0, kLevelMinDb / 20.0);
inline const double kMaxLevelGain = std::pow(10.0, kLevelMaxDb / 20.0);

inline std::string rangeText(double minimum, double maximum) {
    std::ostringstream s;
    s << minimum << " to " << maximum;
    return s.str();
}

// SUB's bands keep the general frequency range: New leaves the bands the equaliser has not
// selected at 1000 Hz, and the load holds them to 500 Hz.
template <typename V>
void visitBand(V& v, PeqBand& band) {
    v.code("FilterType", band.FilterType, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16});
    v.number("FrequencyHz", band.FrequencyHz, kPeqMinFrequencyHz, kPeqMaxFrequencyHz);
    v.number("Q", band.Q, kPeqMinQ, kPeqMaxQ);
    v.number("GainDb", band.GainDb, kPeqMinGainDb, kPeqMaxGainDb);
    // The Q and gain limits of some types (limitQForType, limitGainForType).
    const double minQ = limitQForType(kPeqMinQ, band.FilterType);
    v.check(band.Q >= minQ,
            "Q: expected a number from " + rangeText(minQ, kPeqMaxQ) + " for this FilterType");
    const double maxGain = limitGainForType(kPeqMaxGainDb, band.FilterType);
    v.check(band.GainDb <= maxGain, "GainDb: expected a number from " +
                                        rangeText(kPeqMinGainDb, maxGain) + " for this FilterType");
}

template <typename V>
void visitEdge(V& v, TXOVERPB& edge, bool lowPass, int output) {
    if (lowPass) {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthLowPass, kLinkwitzRileyLowPass, kBesselLowPass});
    } else {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthHighPass, kLinkwitzRileyHighPass, kBesselHighPass});
    }
    v.integer("Order", edge.Order, kXoverMinOrder, kXoverMaxOrder);
    // The file keeps edge frequencies in single precision.
    float hz = static_cast<float>(edge.FrequencyHz);
    v.number("FrequencyHz", hz, kXoverMinFrequencyHz,
             lowPass && output == kSubOutput ? kSubLowPassMaxFrequencyHz : kXoverMaxFrequencyHz);
    edge.FrequencyHz = hz;
    v.check(TXOVERPB::orderSupported(edge.XoverType, edge.Order),
            "Order: " + std::to_string(edge.Order) + " is not offered for this XoverType");
}

template <typename V>
void visitOutput(V& v, OutputChannel& out, int number) {
    const int bands = number == kSubOutput ? kSubPeqBands : kPeqBands;
    v.text("Name", out.Name, kChannelNameMax);
    v.integer("Route", out.Route, kRouteA, kRouteB);
    v.number("GainFromA", out.GainFromA, 0.0, 1.0);
    v.number("GainFromB", out.GainFromB, 0.0, 1.0);
    v.integer("PeqBandsInUse", out.PeqBandsInUse, 1, kPeqBands);
    v.objects("Peq", bands, [&](V& b, int band) { visitBand(b, out.band(band)); });
    v.child("HighPassEdge", [&](V& e) { visitEdge(e, out.HighPassEdge, false, number); });
    v.child("LowPassEdge", [&](V& e) { visitEdge(e, out.LowPassEdge, true, number); });
    v.flag("SoloL", out.SoloL);
    v.flag("SoloH", out.SoloH);
    v.integer("DelaySamples", out.DelaySamples, 0, kMaxDelaySamples);
    v.integer("RelativeDistanceSamples", out.RelativeDistanceSamples, kInt32Min, kInt32Max);
    v.number("Gain", out.Gain, -kMaxLevelGain, kMaxLevelGain);
    v.check(std::abs(out.Gain) >= kMinLevelGain * (1.0 - 1e-9),
            "Gain: expected a number from " + rangeText(kMinLevelGain, kMaxLevelGain) +
                " or from " + rangeText(-kMaxLevelGain, -kMinLevelGain) + " (-30 to +6 dB)");
    v.flag("Muted", out.Muted);
    v.flag("Inverted", out.Inverted);
}

inline double startUpThresholdDbfs(int unit) {
    static const ProcessorConfig startUp;
    return startUp.unit(unit).thresholdDbfs;
}

template <typename V>
void visitUnit(V& v, DynamicsUnit& unit, int number) {
    // The threshold track's range, and the unit's start-up threshold (SUB's lies above it).
    const double startUp = startUpThresholdDbfs(number);
    v.number("thresholdDbfs", unit.thresholdDbfs, thresholdFromTrack(kThresholdTrackMax, number),
             std::max(thresholdFromTrack(0, number), startUp));
    v.number("ratio", unit.ratio, 1.0, 10.0);
    v.number("makeupGainDb", unit.makeupGainDb, -96.0, 96.0);
    v.number("detectorCoefficient", unit.detectorCoefficient,
             detectorCoefficientFromAttack(kAttackMinDbPerS),
             detectorCoefficientFromAttack(kAttackMaxDbPerS));
    v.integer("holdSamples", unit.holdSamples, 0,
              holdSamplesFromMs(kHoldMaxMs, kMaxLookAheadSamples));
    v.integer("releaseCount", unit.releaseCount, releaseCountFromRate(kReleaseMinDbPerS),
              releaseCountFromRate(kReleaseMaxDbPerS));
    v.integer("lookAheadSamples", unit.lookAheadSamples, 0, kMaxLookAheadSamples);
    v.integer("editorByte28", unit.editorByte28, 0, 0xFF);
    v.code("kneeType", unit.kneeType, {kLimiter, kCompressor});
    v.number("kneeDb", unit.kneeDb, 0.0, 10.0);
    v.flag("balanced", unit.balanced);
    v.integer("editorByte37", unit.editorByte37, 0, 0xFF);
    v.flag("bypass", unit.bypass);
    v.number("limiterMaxLevel", unit.limiterMaxLevel, -1000.0, 1000.0);
    v.number("ampGain", unit.ampGain, kAmpGainMin, kAmpGainMax);
    v.number("loadImpedanceOhm", unit.loadImpedanceOhm, kImpedanceOhms.front(),
             kImpedanceOhms.back());
    v.number("boxPowerW", unit.boxPowerW, kBoxPowerMinW, kBoxPowerMaxW);
    v.number("ampPowerW", unit.ampPowerW, kAmpPowerMinW, kAmpPowerMaxW);
    v.integer("speakerCountIndex", unit.speakerCountIndex, 0, 3);
    v.integer("gateLevel", unit.gateLevel, 1.0, kGainTableSize);
    v.integer("gateSlope", unit.gateSlope, 1.0, 10.0);
}

template <typename V>
void visitConfig(V& v, ProcessorConfig& config) {
    v.text("SystemName", config.SystemName, kSystemNameMax);
    v.text("ProjectName", config.ProjectName, kProjectNameMax);
    v.text("Engineer", config.Engineer, kEngineerMax);
    v.text("Comments", config.Comments, kCommentsMax);
    v.integer("SampleRate", config.SampleRate, kSampleRate, kSampleRate);
    v.integer("Temperature", config.Temperature, 0, 50);
    v.texts("InputName", config.InputName, kChannelNameMax);
    v.numbers("InputMatrix", config.InputMatrix, 0.0, 1.0);
    for (std::size_t m = 0; m < config.InputMatrix.size(); ++m) {
        v.check(config.InputMatrix[m] == 0.0 || config.InputMatrix[m] == 1.0,
                "InputMatrix[" + std::to_string(m + 1) + "]: expected 0 or 1");
    }
    v.objects("Output", kOutputCount,
              [&](V& o, int number) { visitOutput(o, config.output(number), number); });
    v.objects("Dynamics", kDynamicsUnits,
              [&](V& u, int number) { visitUnit(u, config.unit(number), number); });
    v.texts("MeasurementFile", config.MeasurementFile, kMeasurementFileMax);
    v.integer("MeasurementFormat", config.MeasurementFormat, kInt32Min, kInt32Max);
    v.number("MeasurementSpl", config.MeasurementSpl, -1000.0, 1000.0);
    v.flags("ResponseView", config.ResponseView);
}

}  // namespace kvn::preset_fields
