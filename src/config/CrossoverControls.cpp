// Crossover editor controls and the edge-change rule.
#include "config/CrossoverControls.h"

#include <algorithm>
#include <cmath>

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

// The controls as the edges stand, before any edge change.
CrossoverControls controlsOf(const OutputChannel& output, int outputNumber) {
    CrossoverControls c;
    c.orderL = std::clamp(output.HighPassEdge.Order, kXoverMinOrder, kXoverMaxOrder);
    c.orderH = std::clamp(output.LowPassEdge.Order, kXoverMinOrder, kXoverMaxOrder);
    c.familyL = xoverFamilyIndex(output.HighPassEdge.XoverType, XoverEdge::L);
    c.familyH = xoverFamilyIndex(output.LowPassEdge.XoverType, XoverEdge::H);
    c.frequencyL = xoverSpinFrequency(output.HighPassEdge.FrequencyHz, outputNumber, XoverEdge::L);
    c.frequencyH = xoverSpinFrequency(output.LowPassEdge.FrequencyHz, outputNumber, XoverEdge::H);
    return c;
}

constexpr double kSliderLowestHz = kXoverMinFrequencyHz;
constexpr double kSliderDecades = 3.0;

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

int xoverSpinFrequency(double frequencyHz, int outputNumber, XoverEdge edge) {
    return std::clamp(roundHalfEven(frequencyHz), kXoverMinFrequencyHz,
                      xoverFrequencyMax(outputNumber, edge));
}

bool xoverFamilyTakesOrder(int familyIndex) {
    return familyIndex > 0 && familyIndex < kXoverFamilies;
}

int xoverFrequencyFromSlider(int position) {
    const double decades = kSliderDecades * std::clamp(position, 0, kXoverSliderSteps) /
                           static_cast<double>(kXoverSliderSteps);
    return roundHalfEven(kSliderLowestHz * std::pow(10.0, decades));
}

int xoverSliderPosition(double frequencyHz) {
    if (!(frequencyHz > kSliderLowestHz)) {  // also NaN
        return 0;
    }
    const double position =
        std::log10(frequencyHz / kSliderLowestHz) / kSliderDecades * kXoverSliderSteps;
    return std::clamp(roundHalfEven(position), 0, kXoverSliderSteps);
}

int xoverSliderMaximum(int output, XoverEdge edge) {
    const int maximumHz = xoverFrequencyMax(output, edge);
    int position = xoverSliderPosition(maximumHz);
    // The last position must not give more than the spin takes.
    while (position > 0 && xoverFrequencyFromSlider(position) > maximumHz) {
        --position;
    }
    return position;
}

CrossoverControls crossoverControlsShown(const OutputChannel& output, int outputNumber) {
    CrossoverControls c = controlsOf(output, outputNumber);
    if (outputNumber == kSubOutput) {
        c.familyL = 0;
    }
    return c;
}

std::optional<UserMessage> changeCrossoverEdge(OutputChannel& output, int outputNumber,
                                               XoverEdge edge, CrossoverControls& controls) {
    TXOVERPB& target = edge == XoverEdge::L ? output.HighPassEdge : output.LowPassEdge;
    int f = std::clamp(frequencyOf(controls, edge), kXoverMinFrequencyHz,
                       xoverFrequencyMax(outputNumber, edge));
    if (edge == XoverEdge::L && !output.SoloL && f >= output.LowPassEdge.FrequencyHz) {
        f = xoverSpinFrequency(output.LowPassEdge.FrequencyHz, outputNumber, edge);
    } else if (edge == XoverEdge::H && !output.SoloH && f <= output.HighPassEdge.FrequencyHz) {
        f = xoverSpinFrequency(output.HighPassEdge.FrequencyHz, outputNumber, edge);
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
    load.controls = controlsOf(output, outputNumber);
    CrossoverControls& c = load.controls;
    for (const XoverEdge edge : {XoverEdge::L, XoverEdge::H}) {
        if (auto message = changeCrossoverEdge(output, outputNumber, edge, c)) {
            load.messages.push_back(std::move(*message));
        }
    }
    return load;
}

}  // namespace kvn
