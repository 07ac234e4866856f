#include <gtest/gtest.h>

#include "link/RealTimePlan.h"

namespace kvn::link::test {
namespace {

using Kind = RealTimeUpdate::Kind;

struct Target {
    Kind kind;
    int bank;
    int address;
    bool operator==(const Target&) const = default;
};

std::vector<Target> targets(const std::vector<RealTimeUpdate>& updates) {
    std::vector<Target> out;
    for (const RealTimeUpdate& u : updates) {
        out.push_back({u.kind, u.dspSelect, u.address});
    }
    return out;
}

std::vector<Target> plan(const ProcessorConfig& config, const EditScope& scope, int& bank) {
    std::vector<RealTimeUpdate> updates;
    appendRealTimeUpdates(config, scope, bank, updates);
    return targets(updates);
}

constexpr Kind S = Kind::Section;
constexpr Kind W = Kind::CoefficientWord;
constexpr Kind I = Kind::IntegerWord;

TEST(RealTimePlan, EachScopeSendsItsTargetsInTheProcessorsOrderAndBank) {
    const ProcessorConfig config;
    struct Case {
        EditScope scope;
        int bankBefore;
        std::vector<Target> expected;
        int bankAfter;
    };
    const std::vector<Case> cases = {
        {EditScope::peqBand(1, 3), 2, {{S, 2, 16}}, 2},
        {EditScope::peqBand(3, 3), 1, {{S, 1, 126}}, 1},
        {EditScope::peqBand(3, 4), 1, {}, 1},  // SUB has three bands
        {EditScope::crossover(2), 1, {{S, 1, 111}, {S, 1, 106}, {S, 1, 101}, {S, 1, 96}}, 1},
        {EditScope::crossover(3), 2, {{S, 2, 136}, {S, 2, 131}}, 2},
        {EditScope::loudness(), 2, {{S, 1, 100}}, 1},
        {EditScope::delay(2), 1, {{I, 1, 142}}, 1},
        {EditScope::level(3), 2, {{W, 2, 260}}, 2},
        {EditScope::mute(1),
         2,
         {{W, 2, 258}, {W, 1, 144}, {W, 1, 145}, {W, 1, 146}, {W, 1, 147}},
         1},
        {EditScope::route(3), 2, {{W, 1, 4}, {W, 1, 5}}, 1},
        {EditScope::dynamicsTable(2),
         1,
         {{S, 1, 188}, {S, 1, 193}, {S, 1, 198}, {S, 1, 203}, {S, 1, 208}, {S, 1, 213}},
         1},
        {EditScope::dynamicsAttack(1), 1, {{W, 1, 181}, {I, 1, 184}}, 1},
        {EditScope::dynamicsHold(2), 1, {{I, 1, 220}, {I, 1, 221}}, 1},
        {EditScope::dynamicsRelease(1), 1, {{I, 1, 184}}, 1},
        {EditScope::quiet(), 2, {}, 2},
        {EditScope::delay(4), 1, {}, 1},
    };
    for (const Case& c : cases) {
        int bank = c.bankBefore;
        EXPECT_EQ(plan(config, c.scope, bank), c.expected)
            << "part " << static_cast<int>(c.scope.part) << " index " << c.scope.index;
        EXPECT_EQ(bank, c.bankAfter);
    }
}

TEST(RealTimePlan, ValuesComeFromTheConfiguration) {
    ProcessorConfig config;
    config.output(2).DelaySamples = 100;
    config.output(1).Gain = -0.5;
    config.output(1).Muted = true;
    config.InputMatrix = {0.0, 1.0, 0.0, 1.0};
    config.unit(1).gainTable[3] = 0.25;
    config.unit(1).gainTable[32] = 0.75;
    int bank = 1;
    std::vector<RealTimeUpdate> updates;
    appendRealTimeUpdates(config, EditScope::delay(2), bank, updates);
    appendRealTimeUpdates(config, EditScope::mute(1), bank, updates);
    appendRealTimeUpdates(config, EditScope::dynamicsTable(1), bank, updates);
    ASSERT_EQ(updates.size(), 12u);
    EXPECT_EQ(
        realTimeMessage(updates[0]),
        (std::vector<std::uint8_t>{0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55}));
    EXPECT_EQ(updates[1].coefficients[0], 0.0);  // muted: Gain x 0
    EXPECT_EQ(updates[3].coefficients[0], 1.0);  // m1
    EXPECT_EQ(updates[6].coefficients[0], 0.25);
    EXPECT_EQ(updates[11].coefficients[4], 0.75);
}

TEST(RealTimePlan, DifferenceSendsOnlyWhatChangedAndKeepsTheBankOfScopesNotSent) {
    const ProcessorConfig from;
    int bank = 2;
    EXPECT_TRUE(realTimeDifference(from, from, bank).empty());
    EXPECT_EQ(bank, 2);

    ProcessorConfig to = from;
    to.output(1).band(2).GainDb = 6.0;
    to.output(1).band(2).FilterType = kParametric;
    to.output(1).band(2).design();
    to.output(3).DelaySamples = 48;
    to.unit(2).releaseCount = 7;
    const std::vector<RealTimeUpdate> diff = realTimeDifference(from, to, bank);
    // The release count is named by two of the unit's scopes but goes out once.
    EXPECT_EQ(targets(diff), (std::vector<Target>{{S, 2, 11}, {I, 2, 143}, {I, 2, 221}}));
    EXPECT_EQ(bank, 2);

    to.output(2).advanceRoute();
    bank = 2;
    EXPECT_EQ(targets(realTimeDifference(from, to, bank)),
              (std::vector<Target>{{S, 2, 11}, {W, 1, 2}, {W, 1, 3}, {I, 1, 143}, {I, 1, 221}}));
    EXPECT_EQ(bank, 1);
}

}  // namespace
}  // namespace kvn::link::test
