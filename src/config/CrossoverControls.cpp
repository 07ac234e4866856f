// Crossover editor controls and the edge-change rule.
#include "config/CrossoverControls.h"

#include <algorithm>

#include "dsp/Rounding.h"

namespace kvn {
namespace {

int& familyOf(CrossoverControls& c, XoverEdge edge) {
    return edge == XoverEdge::L ? c.familyL : c.familyH;
}
int& orderOf(CrossoverControls& c, XoverEdge edge) {
    return edge == XoverEdge::L ? c.orderL : c.orderH;
}
int& frequencyOf(CrossoverControls& c, XoverEdge edge) {
    return edge == XoverEdge::L ? c.frequencyL : c.frequencyH;
}

int spinFrequency(double frequencyHz, int outputNumber, XoverEdge edge) {
    return std::clamp(roundHalfEven(frequencyHz), kXoverMinFrequencyHz,
                      xoverFrequencyMax(outputNumber, edge));
}

}  // namespace

int xoverFamilyIndex(std::uint8_t xoverType, XoverEdge edge) {
    const int index = edge == XoverEdge::L ? xoverType / 2 : (xoverType + 1) / 2;
    return index < kXoverFamilies ? index : 0;
}

std::uint8_t xoverTypeFromFamily(int familyIndex, XoverEdge edge) {
    if (familyIndex <= 0 || familyIndex >= kXoverFamilies) {
        return kXoverBypass;
    }
    return static_cast<std::uint8_t>(edge == XoverEdge::L ? familyIndex * 2 : familyIndex * 2 - 1);
}

int xoverFrequencyMax(int output, XoverEdge edge) {
    return output == kSubOutput && edge == XoverEdge::H ? kSubLowPassMaxFrequencyHz
                                                        : kXoverMaxFrequencyHz;
}

std::optional<UserMessage> changeCrossoverEdge(OutputChannel& output, int outputNumber,
                                               XoverEdge edge, CrossoverControls& controls) {
    TXOVERPB& target = edge == XoverEdge::L ? output.HighPassEdge : output.LowPassEdge;
    int f = std::clamp(frequencyOf(controls, edge), kXoverMinFrequencyHz,
                       xoverFrequencyMax(outputNumber, edge));
    if (edge == XoverEdge::L && !output.SoloL && f >= output.LowPassEdge.FrequencyHz) {
        f = spinFrequency(output.LowPassEdge.FrequencyHz, outputNumber, edge);
    } else if (edge == XoverEdge::H && !output.SoloH && f <= output.HighPassEdge.FrequencyHz) {
        f = spinFrequency(output.HighPassEdge.FrequencyHz, outputNumber, edge);
    }
    frequencyOf(controls, edge) = f;
    target.FrequencyHz = f;
    orderOf(controls, edge) = std::clamp(orderOf(controls, edge), kXoverMinOrder, kXoverMaxOrder);
    target.Order = orderOf(controls, edge);

    if (outputNumber == kSubOutput && controls.familyH == 0) {
        return std::nullopt;
    }
    target.XoverType = xoverTypeFromFamily(familyOf(controls, edge), edge);
    const std::optional<BesselLimit> limit = target.design();
    if (!limit) {
        return std::nullopt;
    }
    frequencyOf(controls, edge) = roundHalfEven(limit->limitHz);
    target.FrequencyHz = frequencyOf(controls, edge);
    target.design();
    return UserMessage{MessageKind::Warning, besselLimitMessage(*limit)};
}

CrossoverLoad loadCrossoverControls(ProcessorConfig& config, int outputNumber) {
    OutputChannel& output = config.output(outputNumber);
    CrossoverLoad load;
    CrossoverControls& c = load.controls;
    c.orderL = std::clamp(output.HighPassEdge.Order, kXoverMinOrder, kXoverMaxOrder);
    c.orderH = std::clamp(output.LowPassEdge.Order, kXoverMinOrder, kXoverMaxOrder);
    c.familyL = xoverFamilyIndex(output.HighPassEdge.XoverType, XoverEdge::L);
    c.familyH = xoverFamilyIndex(output.LowPassEdge.XoverType, XoverEdge::H);

    for (const XoverEdge edge : {XoverEdge::L, XoverEdge::H}) {
        const TXOVERPB& source = edge == XoverEdge::L ? output.HighPassEdge : output.LowPassEdge;
        frequencyOf(c, edge) = spinFrequency(source.FrequencyHz, outputNumber, edge);
        if (auto message = changeCrossoverEdge(output, outputNumber, edge, c)) {
            load.messages.push_back(std::move(*message));
        }
    }
    return load;
}

}  // namespace kvn
