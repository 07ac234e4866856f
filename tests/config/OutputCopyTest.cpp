#include "config/OutputCopy.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "TestSupport.h"

namespace kvn {
namespace {

using test::richConfig;

std::ostream& operator<<(std::ostream& out, const TSOS& s) {
    return out << int{s.FilterType} << ' ' << s.FrequencyHz << ' ' << s.Q << ' ' << s.GainDb << ' '
               << s.b0 << ' ' << s.b1 << ' ' << s.b2 << ' ' << s.a1 << ' ' << s.a2 << ' '
               << s.CoeffSlot << ';';
}

std::ostream& operator<<(std::ostream& out, const TXOVERPB& e) {
    return out << int{e.XoverType} << ' ' << e.Order << ' ' << e.SectionCount << ' '
               << e.FrequencyHz << ' ' << e.section(1) << e.section(2) << e.section(3);
}

// What output `n` holds of `group`, as text, so that groups can be compared whole.
std::string held(const ProcessorConfig& c, int n, CopyGroup group) {
    const OutputChannel& o = c.output(n);
    std::ostringstream s;
    s.precision(17);
    switch (group) {
        case CopyGroup::Route:
            s << o.Route << ' ' << o.GainFromA << ' ' << o.GainFromB;
            break;
        case CopyGroup::Crossover:
            s << o.HighPassEdge << '|' << o.LowPassEdge << '|' << o.SoloL << o.SoloH;
            break;
        case CopyGroup::Equalizer:
            for (const PeqBand& band : o.Peq) {
                s << band;
            }
            s << o.PeqBandsInUse << ' ' << c.MeasurementFile[static_cast<std::size_t>(n - 1)];
            break;
        case CopyGroup::Delay:
            s << o.DelaySamples << ' ' << o.RelativeDistanceSamples;
            break;
        case CopyGroup::Gain:
            s << o.LevelPosition << ' ' << o.Muted << o.Inverted << ' ' << o.Gain;
            break;
        case CopyGroup::Name:
            s << o.Name;
            break;
        case CopyGroup::Dynamics:
            s << c.unit(dynamicsUnitOf(n)).thresholdDbfs;
            break;
    }
    return s.str();
}

void expectSameDesign(const TSOS& a, const TSOS& b) {
    EXPECT_EQ(std::tie(a.FilterType, a.FrequencyHz, a.Q, a.GainDb, a.b0, a.b1, a.b2, a.a1, a.a2),
              std::tie(b.FilterType, b.FrequencyHz, b.Q, b.GainDb, b.b0, b.b1, b.b2, b.a1, b.a2));
}

void expectSameEdge(const TXOVERPB& a, const TXOVERPB& b) {
    EXPECT_EQ(std::tie(a.XoverType, a.Order, a.SectionCount, a.FrequencyHz),
              std::tie(b.XoverType, b.Order, b.SectionCount, b.FrequencyHz));
    for (int n = 1; n <= 3; ++n) {  // a section's own type code is not the edge's
        const TSOS& x = a.section(n);
        const TSOS& y = b.section(n);
        EXPECT_EQ(std::tie(x.FrequencyHz, x.Q, x.b0, x.b1, x.b2, x.a1, x.a2),
                  std::tie(y.FrequencyHz, y.Q, y.b0, y.b1, y.b2, y.a1, y.a2));
    }
}

// The destination holds `group` as the source had it, within the destination's limits.
void expectCopied(const ProcessorConfig& before, const ProcessorConfig& after, int s, int d,
                  CopyGroup group) {
    const OutputChannel& src = before.output(s);
    const OutputChannel& was = before.output(d);
    const OutputChannel& dst = after.output(d);
    const bool sub = s == kSubOutput || d == kSubOutput;
    switch (group) {
        case CopyGroup::Route:
        case CopyGroup::Delay:
        case CopyGroup::Gain:
        case CopyGroup::Name:
            EXPECT_EQ(held(after, d, group), held(before, s, group));
            break;
        case CopyGroup::Crossover:
            EXPECT_EQ(dst.SoloL, src.SoloL);
            if (d == kSubOutput) {
                // Only the low-pass edge, held to 480 Hz; the high-pass edge keeps its own.
                EXPECT_EQ(dst.HighPassEdge, was.HighPassEdge);
                EXPECT_EQ(dst.SoloH, was.SoloH);
                EXPECT_EQ(std::tie(dst.LowPassEdge.XoverType, dst.LowPassEdge.Order),
                          std::tie(src.LowPassEdge.XoverType, src.LowPassEdge.Order));
                EXPECT_EQ(dst.LowPassEdge.FrequencyHz,
                          std::min(src.LowPassEdge.FrequencyHz, 480.0));
            } else {
                expectSameEdge(dst.HighPassEdge, src.HighPassEdge);
                expectSameEdge(dst.LowPassEdge, src.LowPassEdge);
                EXPECT_EQ(dst.SoloH, src.SoloH);
            }
            for (int n = 1; n <= 2; ++n) {  // the slots are the destination's
                EXPECT_EQ(dst.LowPassEdge.section(n).CoeffSlot,
                          was.LowPassEdge.section(n).CoeffSlot);
                EXPECT_EQ(dst.HighPassEdge.section(n).CoeffSlot,
                          was.HighPassEdge.section(n).CoeffSlot);
            }
            break;
        case CopyGroup::Equalizer:
            for (int n = 1; n <= kPeqBands; ++n) {
                const PeqBand& band = dst.band(n);
                EXPECT_EQ(band.CoeffSlot, was.band(n).CoeffSlot);
                if (n > (sub ? 3 : 7)) {
                    EXPECT_EQ(band, was.band(n)) << "band " << n;
                } else if (d == kSubOutput && src.band(n).FrequencyHz > 500.0) {
                    EXPECT_EQ(band.FrequencyHz, 500.0) << "band " << n;
                    EXPECT_EQ(band.FilterType, src.band(n).FilterType);
                } else {
                    expectSameDesign(band, src.band(n));
                }
            }
            EXPECT_EQ(dst.PeqBandsInUse, std::max(was.PeqBandsInUse, sub ? 3 : 7));
            EXPECT_EQ(after.MeasurementFile[static_cast<std::size_t>(d - 1)],
                      before.MeasurementFile[static_cast<std::size_t>(s - 1)]);
            break;
        case CopyGroup::Dynamics: {
            const int su = dynamicsUnitOf(s);
            const int du = dynamicsUnitOf(d);
            if (su == du) {
                EXPECT_EQ(after.Dynamics, before.Dynamics);
                break;
            }
            const DynamicsUnit& a = before.unit(su);
            const DynamicsUnit& b = after.unit(du);
            // Held to the destination unit's threshold track, whose steps are 0.5 dB.
            EXPECT_NEAR(b.thresholdDbfs, a.thresholdDbfs, 0.25);
            EXPECT_EQ(std::tie(b.ratio, b.kneeDb, b.kneeType, b.bypass, b.detectorCoefficient,
                               b.lookAheadSamples, b.holdSamples, b.releaseCount),
                      std::tie(a.ratio, a.kneeDb, a.kneeType, a.bypass, a.detectorCoefficient,
                               a.lookAheadSamples, a.holdSamples, a.releaseCount));
            EXPECT_EQ(
                std::tie(b.ampGain, b.loadImpedanceOhm, b.boxPowerW, b.ampPowerW, b.balanced),
                std::tie(a.ampGain, a.loadImpedanceOhm, a.boxPowerW, a.ampPowerW, a.balanced));
            // The gate and what the copy does not name stay the destination's.
            const DynamicsUnit& old = before.unit(du);
            EXPECT_EQ(
                std::tie(b.gateLevel, b.gateSlope, b.makeupGainDb, b.speakerCountIndex),
                std::tie(old.gateLevel, old.gateSlope, old.makeupGainDb, old.speakerCountIndex));
            EXPECT_EQ(after.unit(su), a);
            break;
        }
    }
}

struct Pair {
    int from;
    int to;
};
constexpr std::array<Pair, 6> kPairs{{{1, 2}, {2, 1}, {1, 3}, {3, 1}, {2, 3}, {3, 2}}};

TEST(OutputCopy, EachGroupAloneOnEveryPairCopiesItWithinTheDestinationsLimitsAndNothingElse) {
    const ProcessorConfig before = richConfig();
    for (const Pair pair : kPairs) {
        for (const CopyGroup group : kCopyGroups) {
            SCOPED_TRACE(::testing::Message() << "output " << pair.from << " to " << pair.to
                                              << ", group " << static_cast<int>(group));
            ProcessorConfig after = before;
            const OutputCopyResult result =
                copyOutput(after, pair.from, pair.to, CopyGroups().add(group));
            EXPECT_TRUE(result.copied);
            EXPECT_TRUE(result.messages.empty());
            expectCopied(before, after, pair.from, pair.to, group);
            for (const CopyGroup other : kCopyGroups) {
                if (other != group && other != CopyGroup::Dynamics) {
                    EXPECT_EQ(held(after, pair.to, other), held(before, pair.to, other));
                }
            }
            for (int n = 1; n <= kOutputCount; ++n) {
                if (n != pair.to) {
                    EXPECT_EQ(after.output(n), before.output(n)) << "output " << n;
                }
            }
            if (group != CopyGroup::Dynamics) {
                EXPECT_EQ(after.Dynamics, before.Dynamics);
            }
            if (group != CopyGroup::Equalizer) {
                EXPECT_EQ(after.MeasurementFile, before.MeasurementFile);
            }
            EXPECT_EQ(
                std::tie(after.SystemName, after.InputName, after.InputMatrix, after.Loudness),
                std::tie(before.SystemName, before.InputName, before.InputMatrix, before.Loudness));
        }
    }
}

TEST(OutputCopy, AllGroupsTogetherEqualEachGroupInTurnAndAnOutputOntoItselfChangesNothing) {
    const ProcessorConfig before = richConfig();
    for (const Pair pair : kPairs) {
        ProcessorConfig together = before;
        copyOutput(together, pair.from, pair.to, CopyGroups::all());
        ProcessorConfig inTurn = before;
        for (const CopyGroup group : kCopyGroups) {
            copyOutput(inTurn, pair.from, pair.to, CopyGroups().add(group));
            expectCopied(before, together, pair.from, pair.to, group);
        }
        EXPECT_EQ(together, inTurn) << "output " << pair.from << " to " << pair.to;
    }
    for (const Pair bad : {Pair{2, 2}, Pair{0, 1}, Pair{1, 4}}) {
        ProcessorConfig config = before;
        EXPECT_FALSE(copyOutput(config, bad.from, bad.to, CopyGroups::all()).copied);
        EXPECT_EQ(config, before);
    }
}

TEST(OutputCopy, SubsLowPassIsNotBypassedByACopyAndTheGainCopiesMuteAndPolarity) {
    ProcessorConfig config;  // Output 1's crossover edges are bypassed
    config.output(1).Muted = true;
    config.output(1).Inverted = true;
    const TXOVERPB subLowPass = config.output(3).LowPassEdge;
    const OutputCopyResult result =
        copyOutput(config, 1, 3, CopyGroups().add(CopyGroup::Crossover).add(CopyGroup::Gain));
    EXPECT_EQ(config.output(3).LowPassEdge, subLowPass);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text, kSubLowPassKeptNote);
    EXPECT_TRUE(config.output(3).Muted);
    EXPECT_LT(config.output(3).Gain, 0.0);
    EXPECT_EQ(config.output(3).levelCoefficient(), 0.0);
}

}  // namespace
}  // namespace kvn
