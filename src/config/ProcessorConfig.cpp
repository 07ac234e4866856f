// Start-up defaults of the configuration, routing, and New.
#include "config/ProcessorConfig.h"

#include "config/CoefficientAddresses.h"
#include "config/EqualizerControls.h"
#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {

constexpr double kStartAttackDbPerS = 120.0;
constexpr double kStartHoldMs = 40.0;
constexpr double kStartReleaseDbPerS = 5.0;

void setEdgeDefaults(TXOVERPB& edge, std::uint8_t type, double frequencyHz, int firstSlot) {
    edge = TXOVERPB{};
    edge.XoverType = type;
    edge.Order = 2;
    edge.FrequencyHz = frequencyHz;
    edge.section(1).CoeffSlot = firstSlot;
    edge.section(2).CoeffSlot = firstSlot + 5;
    edge.section(3).CoeffSlot = -1;  // a third section is never sent
    edge.design();
}

void setDynamicsDefaults(DynamicsUnit& unit, int number) {
    unit = DynamicsUnit{};
    unit.thresholdDbfs = number == 1 ? -6.0f : -5.0f;
    unit.ratio = 2.0f;
    unit.gateLevel = number == 1 ? 13.0f : 1.0f;
    unit.gateSlope = 4.0f;
    unit.lookAheadSamples = lookAheadSamplesFromMs(0.0);
    unit.detectorCoefficient = detectorCoefficientFromAttack(kStartAttackDbPerS);
    unit.holdSamples = holdSamplesFromMs(kStartHoldMs, unit.lookAheadSamples);
    unit.releaseCount = releaseCountFromRate(kStartReleaseDbPerS);
    unit.design();
}

}  // namespace

std::string outputTitle(int output) {
    return output == kSubOutput ? "SUB" : "Output " + std::to_string(output);
}

void OutputChannel::setRouteGains() {
    switch (Route) {
        case kRouteAB:
            GainFromA = 0.5;
            GainFromB = 0.5;
            break;
        case kRouteB:
            GainFromA = 0.0;
            GainFromB = 1.0;
            break;
        default:
            GainFromA = 1.0;
            GainFromB = 0.0;
            break;
    }
}

void OutputChannel::advanceRoute() {
    const int next = Route + 1;
    Route = (next < kRouteA || next > kRouteB) ? kRouteA : next;
    setRouteGains();
}

ProcessorConfig::ProcessorConfig() {
    SystemName = "NoName";
    InputName = {"In1", "In2"};
    const std::array<const char*, kOutputCount> names = {"Out1", "Out2", "SUB"};
    const std::array<int, kOutputCount> routes = {kRouteA, kRouteB, kRouteAB};

    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = output(n);
        out.Name = names[static_cast<std::size_t>(n - 1)];
        out.Route = routes[static_cast<std::size_t>(n - 1)];
        out.setRouteGains();
        const int bands = peqBandCount(n);
        for (int b = 1; b <= kPeqBands; ++b) {
            out.band(b).CoeffSlot = b <= bands ? addr::peqBand(n, b) : -1;
        }
        if (n == kSubOutput) {
            setEdgeDefaults(out.HighPassEdge, kXoverBypass, 20.0, addr::highPassSection(n, 1));
            setEdgeDefaults(out.LowPassEdge, kButterworthLowPass, 480.0,
                            addr::lowPassSection(n, 1));
        } else {
            setEdgeDefaults(out.HighPassEdge, kXoverBypass, 100.0, addr::highPassSection(n, 1));
            setEdgeDefaults(out.LowPassEdge, kXoverBypass, 5000.0, addr::lowPassSection(n, 1));
        }
    }

    // The equaliser editor starts on band 1 of Output 1, then selects each output in turn (SUB,
    // Output 2, Output 1), loading band 1's controls each time.
    selectEqualizerBand(*this, 1, 1);
    selectEqualizerBand(*this, 3, 1);
    selectEqualizerBand(*this, 2, 1);
    selectEqualizerBand(*this, 1, 1);

    for (int u = 1; u <= kDynamicsUnits; ++u) {
        setDynamicsDefaults(unit(u), u);
    }

    // The loudness window's sliders start at 55 Hz and 0 dB on a peaking section of Q 1.5.
    Loudness.CoeffSlot = addr::kLoudnessSlot;
    Loudness.FilterType = kParametric;
    Loudness.FrequencyHz = 55.0;
    Loudness.Q = 1.5;
    Loudness.GainDb = 0.0;
    Loudness.designParametric();
}

void ProcessorConfig::resetToNew() {
    ProcessorConfig fresh;
    for (int n = 2; n <= kOutputCount; ++n) {
        fresh.output(n).Route = output(n).Route;
        fresh.output(n).setRouteGains();
    }
    fresh.ResponseView[4] = ResponseView[4];
    *this = fresh;
}

}  // namespace kvn
