// The messages of each edited part of the configuration.
#include "link/RealTimePlan.h"

#include <algorithm>

#include "config/CoefficientAddresses.h"

namespace kvn::link {
namespace {

constexpr int kTableSections = 6;  // gain table entries 3..32, five per message
constexpr int kFirstSentTableEntry = 3;

std::uint8_t bank(int dspSelect) {
    return static_cast<std::uint8_t>(std::clamp(dspSelect, 1, 2));
}

std::array<double, 5> coefficientsOf(const TSOS& s) {
    return {s.b0, s.b1, s.b2, s.a1, s.a2};
}

void section(std::vector<RealTimeUpdate>& out, int dspSelect, const TSOS& s) {
    out.push_back(RealTimeUpdate::section(bank(dspSelect), s.CoeffSlot, coefficientsOf(s)));
}

void word(std::vector<RealTimeUpdate>& out, int dspSelect, int address, double value) {
    out.push_back(RealTimeUpdate::coefficientWord(bank(dspSelect), address, value));
}

void integer(std::vector<RealTimeUpdate>& out, int dspSelect, int address, int value) {
    out.push_back(RealTimeUpdate::integerWord(bank(dspSelect), address, value));
}

bool validOutput(int output) {
    return output >= 1 && output <= kOutputCount;
}

bool validUnit(int unit) {
    return unit >= 1 && unit <= kDynamicsUnits;
}

}  // namespace

void appendRealTimeUpdates(const ProcessorConfig& config, const EditScope& scope, int& dspSelect,
                           std::vector<RealTimeUpdate>& out) {
    dspSelect = bank(dspSelect);
    const int n = scope.index;
    switch (scope.part) {
        case EditPart::PeqBand:
            if (validOutput(n) && scope.band >= 1 && scope.band <= peqBandCount(n)) {
                section(out, dspSelect, config.output(n).band(scope.band));
            }
            break;
        case EditPart::Crossover:
            if (validOutput(n)) {
                const OutputChannel& channel = config.output(n);
                if (n != kSubOutput) {
                    section(out, dspSelect, channel.HighPassEdge.section(2));
                    section(out, dspSelect, channel.HighPassEdge.section(1));
                }
                section(out, dspSelect, channel.LowPassEdge.section(2));
                section(out, dspSelect, channel.LowPassEdge.section(1));
            }
            break;
        case EditPart::Loudness:
            dspSelect = 1;
            section(out, dspSelect, config.Loudness);
            break;
        case EditPart::Delay:
            if (validOutput(n)) {
                integer(out, dspSelect, addr::delay(n), config.output(n).DelaySamples + 1);
            }
            break;
        case EditPart::Level:
        case EditPart::Mute:
            if (!validOutput(n)) {
                break;
            }
            word(out, dspSelect, addr::outputLevelRealTime(n), config.output(n).levelCoefficient());
            if (scope.part == EditPart::Mute) {
                dspSelect = 1;
                for (int m = 0; m < 4; ++m) {
                    word(out, dspSelect, addr::inputMatrix(m),
                         config.InputMatrix[static_cast<std::size_t>(m)]);
                }
            }
            break;
        case EditPart::Route:
            if (validOutput(n)) {
                dspSelect = 1;
                word(out, dspSelect, addr::gainFromA(n), config.output(n).GainFromA);
                word(out, dspSelect, addr::gainFromB(n), config.output(n).GainFromB);
            }
            break;
        case EditPart::DynamicsTable:
            if (validUnit(n)) {
                const DynamicsUnit& unit = config.unit(n);
                for (int s = 0; s < kTableSections; ++s) {
                    const int entry = kFirstSentTableEntry + 5 * s;
                    std::array<double, 5> entries{};
                    for (int k = 0; k < 5; ++k) {
                        entries[static_cast<std::size_t>(k)] =
                            unit.gainTable[static_cast<std::size_t>(entry + k)];
                    }
                    out.push_back(RealTimeUpdate::section(
                        bank(dspSelect), addr::dynamicsGainTable(n, entry), entries));
                }
            }
            break;
        case EditPart::DynamicsAttack:
        case EditPart::DynamicsHold:
        case EditPart::DynamicsRelease:
            if (!validUnit(n)) {
                break;
            }
            if (scope.part == EditPart::DynamicsAttack) {
                word(out, dspSelect, addr::dynamicsDetector(n), config.unit(n).detectorCoefficient);
            } else if (scope.part == EditPart::DynamicsHold) {
                integer(out, dspSelect, addr::dynamicsHold(n), config.unit(n).holdSamples);
            }
            integer(out, dspSelect, addr::dynamicsRelease(n), config.unit(n).releaseCount);
            break;
        case EditPart::Quiet:
            break;
    }
}

const std::vector<EditScope>& everyRealTimeScope() {
    static const std::vector<EditScope> scopes = [] {
        std::vector<EditScope> all;
        for (int n = 1; n <= kOutputCount; ++n) {
            for (int b = 1; b <= peqBandCount(n); ++b) {
                all.push_back(EditScope::peqBand(n, b));
            }
            all.push_back(EditScope::crossover(n));
        }
        all.push_back(EditScope::loudness());
        for (int n = 1; n <= kOutputCount; ++n) {
            all.push_back(EditScope::delay(n));
            all.push_back(EditScope::mute(n));
            all.push_back(EditScope::route(n));
        }
        for (int u = 1; u <= kDynamicsUnits; ++u) {
            all.push_back(EditScope::dynamicsTable(u));
            all.push_back(EditScope::dynamicsAttack(u));
            all.push_back(EditScope::dynamicsHold(u));
        }
        return all;
    }();
    return scopes;
}

std::vector<RealTimeUpdate> realTimeDifference(const ProcessorConfig& from,
                                               const ProcessorConfig& to, int& dspSelect) {
    std::vector<RealTimeUpdate> result;
    std::vector<std::vector<std::uint8_t>> sent;
    for (const EditScope& scope : everyRealTimeScope()) {
        // Both states are laid out by the same scope, so their messages pair up one to one. The
        // bank a scope selects is kept only when one of its messages goes out.
        int fromBank = dspSelect;
        int toBank = dspSelect;
        std::vector<RealTimeUpdate> before;
        std::vector<RealTimeUpdate> after;
        appendRealTimeUpdates(from, scope, fromBank, before);
        appendRealTimeUpdates(to, scope, toBank, after);
        for (std::size_t i = 0; i < after.size(); ++i) {
            std::vector<std::uint8_t> message = realTimeMessage(after[i]);
            if (message == realTimeMessage(before[i]) ||
                std::find(sent.begin(), sent.end(), message) != sent.end()) {
                continue;
            }
            sent.push_back(std::move(message));
            result.push_back(after[i]);
            dspSelect = toBank;
        }
    }
    return result;
}

}  // namespace kvn::link
