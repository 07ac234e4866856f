// The one description of a preset's stored fields, under the configuration model's names:
// walked by the JSON writer and reader of the command line and by the field listing that
// `preset diff` and the check after a memory write share. A visitor V offers text, integer,
// code, number, flag, texts, numbers, flags, objects, child and check (see PresetText.cpp for
// the simplest one); the ranges are those a document may hold.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "config/EqualizerControls.h"
#include "config/ProcessorConfig.h"

namespace kvn::preset_fields {

constexpr int kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr int kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr double kMinXoverHz = 20.0;
constexpr double kMaxXoverHz = 20000.0;
constexpr int kMaxOrder = 6;
constexpr double kMaxLevelGain = 2.0;     // +6 dB is 1.995; the coefficient word stops at 2
constexpr int kMaxLookAheadSamples = 96;  // 2 ms

template <typename V>
void visitBand(V& v, PeqBand& band) {
    v.code("FilterType", band.FilterType, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16});
    v.number("FrequencyHz", band.FrequencyHz, kPeqMinFrequencyHz, kPeqMaxFrequencyHz);
    v.number("Q", band.Q, kPeqMinQ, kPeqMaxQ);
    v.number("GainDb", band.GainDb, kPeqMinGainDb, kPeqMaxGainDb);
}

template <typename V>
void visitEdge(V& v, TXOVERPB& edge, bool lowPass) {
    if (lowPass) {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthLowPass, kLinkwitzRileyLowPass, kBesselLowPass});
    } else {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthHighPass, kLinkwitzRileyHighPass, kBesselHighPass});
    }
    v.integer("Order", edge.Order, 1, kMaxOrder);
    // The file keeps edge frequencies in single precision.
    float hz = static_cast<float>(edge.FrequencyHz);
    v.number("FrequencyHz", hz, kMinXoverHz, kMaxXoverHz);
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
    v.child("HighPassEdge", [&](V& e) { visitEdge(e, out.HighPassEdge, false); });
    v.child("LowPassEdge", [&](V& e) { visitEdge(e, out.LowPassEdge, true); });
    v.flag("SoloL", out.SoloL);
    v.flag("SoloH", out.SoloH);
    v.integer("DelaySamples", out.DelaySamples, 0, kMaxDelaySamples);
    v.integer("RelativeDistanceSamples", out.RelativeDistanceSamples, kInt32Min, kInt32Max);
    v.number("Gain", out.Gain, -kMaxLevelGain, kMaxLevelGain);
    v.flag("Muted", out.Muted);
    v.flag("Inverted", out.Inverted);
}

template <typename V>
void visitUnit(V& v, DynamicsUnit& unit) {
    v.number("thresholdDbfs", unit.thresholdDbfs, -96.0, 0.0);
    v.number("ratio", unit.ratio, 1.0, 10.0);
    v.number("makeupGainDb", unit.makeupGainDb, -96.0, 96.0);
    v.number("detectorCoefficient", unit.detectorCoefficient, 0.0, 1.0);
    v.integer("holdSamples", unit.holdSamples, 0, 0xFFFF);
    v.integer("releaseCount", unit.releaseCount, 0, 0xFFFF);
    v.integer("lookAheadSamples", unit.lookAheadSamples, 0, kMaxLookAheadSamples);
    v.integer("editorByte28", unit.editorByte28, 0, 0xFF);
    v.code("kneeType", unit.kneeType, {kLimiter, kCompressor});
    v.number("kneeDb", unit.kneeDb, 0.0, 10.0);
    v.flag("balanced", unit.balanced);
    v.integer("editorByte37", unit.editorByte37, 0, 0xFF);
    v.flag("bypass", unit.bypass);
    v.number("limiterMaxLevel", unit.limiterMaxLevel, -1000.0, 1000.0);
    v.number("ampGain", unit.ampGain, 0.0, 10000.0);
    v.number("loadImpedanceOhm", unit.loadImpedanceOhm, 0.0, 1000.0);
    v.number("boxPowerW", unit.boxPowerW, 0.0, 100000.0);
    v.number("ampPowerW", unit.ampPowerW, 0.0, 100000.0);
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
    v.objects("Output", kOutputCount,
              [&](V& o, int number) { visitOutput(o, config.output(number), number); });
    v.objects("Dynamics", kDynamicsUnits,
              [&](V& u, int number) { visitUnit(u, config.unit(number)); });
    v.texts("MeasurementFile", config.MeasurementFile, kMeasurementFileMax);
    v.integer("MeasurementFormat", config.MeasurementFormat, kInt32Min, kInt32Max);
    v.number("MeasurementSpl", config.MeasurementSpl, -1000.0, 1000.0);
    v.flags("ResponseView", config.ResponseView);
}

}  // namespace kvn::preset_fields
