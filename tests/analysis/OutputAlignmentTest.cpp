#include "analysis/OutputAlignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "AlignmentSamples.h"
#include "analysis/MeasurementImport.h"
#include "config/LevelControls.h"
#include "dsp/DspConstants.h"

namespace kvn::analysis {
namespace {

ResponseCurve sample(const char* name) {
    const MeasurementResult r =
        readMeasurement(std::string(KVN_SAMPLE_MEASUREMENTS) + "/" + name, {kFormatFrd, 96.0});
    EXPECT_EQ(r.status, MeasurementStatus::Imported) << name;
    return r.curve;
}

// The measurement of a speaker whose sound arrives `samples` earlier (negative: later), and
// inverted when asked: its phase turned by 2 pi f samples / fs (and pi).
ResponseCurve shifted(ResponseCurve curve, int samples, bool inverted) {
    const auto& hz = responseGrid().GridHz;
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        curve.PhaseRad[k] +=
            static_cast<float>(2.0 * kPi * hz[k] * samples / kSampleRate + (inverted ? kPi : 0.0));
    }
    return curve;
}

void setEdge(TXOVERPB& edge, std::uint8_t type, double hz) {
    edge.XoverType = type;
    edge.Order = 4;
    edge.FrequencyHz = hz;
    edge.design();
}

ProcessorConfig twoWay(double hz) {
    ProcessorConfig c;
    c.resetToNew();
    kvn::test::setTwoWay(c, hz);
    c.ResponseView.fill(false);  // the search switches every influence on itself
    return c;
}

// The best loss over every whole-sample delay and both polarities (or the present one) of
// `moving`, each candidate computed from scratch through the total response.
double bruteForce(ProcessorConfig c, const MeasuredCurves& measured, const FrequencyRange& range,
                  int moving, bool polarity = true) {
    double best = INFINITY;
    for (int d = 0; d <= kMaxDelaySamples; ++d) {
        for (const bool inverted : {false, true}) {
            if (!polarity && inverted != c.output(moving).Inverted) {
                continue;
            }
            c.output(moving).DelaySamples = d;
            setInverted(c.output(moving), inverted);
            best = std::min(best, summationLossDb(c, measured, range));
        }
    }
    return best;
}

TEST(OutputAlignment, Sub_RecoversKnownShiftsAndMatchesBruteForce) {
    // The sample SUB sounds about 2.4 ms after the top at the crossover; measured 4 ms early it
    // can be aligned by a delay of its own.
    const ResponseCurve top = sample("top.frd");
    const ResponseCurve sub = sample("sub.frd");
    for (const double hz : {80.0, 120.0}) {
        ProcessorConfig c = twoWay(hz);
        c.output(3).DelaySamples = 17;
        const AlignmentRequest request{*defaultAlignmentRange(c, {false, false, true})};
        const MeasuredCurves early{top, top, shifted(sub, 192, false)};
        const AlignmentResult base = alignOutputs(c, early, request);
        ASSERT_FALSE(base.cancelled);
        EXPECT_LT(base.lossAfterDb, 0.01) << hz;
        EXPECT_NEAR(base.lossAfterDb, bruteForce(c, early, request.range, 3), 1e-5) << hz;
        // The figures are those of the total response of the configuration before and after.
        ProcessorConfig applied = c;
        applyAlignment(applied, base);
        EXPECT_DOUBLE_EQ(base.lossAfterDb, summationLossDb(applied, early, request.range));
        EXPECT_DOUBLE_EQ(base.lossBeforeDb, summationLossDb(c, early, request.range));

        // One more millisecond early: 48 samples more. Inverted: the other polarity.
        const AlignmentResult earlier =
            alignOutputs(c, {top, top, shifted(sub, 240, false)}, request);
        EXPECT_EQ(earlier.delays, (std::array{0, 0, base.delays[2] + 48})) << hz;
        EXPECT_EQ(earlier.inverted, base.inverted) << hz;
        const MeasuredCurves inverted{top, top, shifted(sub, 192, true)};
        const AlignmentResult flipped = alignOutputs(c, inverted, request);
        EXPECT_EQ(flipped.delays, base.delays) << hz;
        EXPECT_NE(flipped.inverted[2], base.inverted[2]) << hz;
        EXPECT_NEAR(flipped.lossAfterDb, bruteForce(c, inverted, request.range, 3), 1e-5) << hz;
        // With the polarity kept, only the delay moves.
        AlignmentRequest kept = request;
        kept.polarity = false;
        const AlignmentResult delayOnly = alignOutputs(c, inverted, kept);
        EXPECT_FALSE(delayOnly.inverted[2]);
        EXPECT_NEAR(delayOnly.lossAfterDb, bruteForce(c, inverted, kept.range, 3, false), 1e-5);
    }
}

TEST(OutputAlignment, EveryOutputMoving_MatchesBruteForceOverBothDelays) {
    // Top and SUB both free, SUB's sound 60 samples late: the answer is relative, with the
    // earlier output at 0 samples.
    ProcessorConfig c = twoWay(100.0);
    c.output(1).DelaySamples = 100;
    const MeasuredCurves measured{sample("top.frd"), {}, shifted(sample("sub.frd"), -60, false)};
    const FrequencyRange range{80.0, 125.0};
    const AlignmentResult r = alignOutputs(c, measured, {range, {true, false, true}});
    EXPECT_EQ(std::min(r.delays[0], r.delays[2]), 0);
    EXPECT_GT(r.delays[0], 0);
    EXPECT_FALSE(r.inverted[0] && r.inverted[2]);
    // Every delay and polarity of the top, each with the best of SUB's.
    double best = INFINITY;
    for (int top = 0; top <= kMaxDelaySamples; ++top) {
        for (const bool inverted : {false, true}) {
            ProcessorConfig t = c;
            t.output(1).DelaySamples = top;
            setInverted(t.output(1), inverted);
            best = std::min(best, alignOutputs(t, measured, {range}).lossAfterDb);
        }
    }
    EXPECT_NEAR(r.lossAfterDb, best, 1e-5);

    // Three outputs free: the smallest delay is 0, and it does at least as well as SUB alone.
    setMuted(c, 2, false);
    const MeasuredCurves three{measured[0], sample("top.frd"), measured[2]};
    const AlignmentResult all = alignOutputs(c, three, {range, {true, true, true}});
    const AlignmentResult subOnly = alignOutputs(c, three, {range, {false, false, true}});
    EXPECT_EQ(std::min({all.delays[0], all.delays[1], all.delays[2]}), 0);
    EXPECT_LE(all.lossAfterDb, subOnly.lossAfterDb + 1e-6);
}

TEST(OutputAlignment, TiesAndCancel_SmallerDelayThenFewerInversions) {
    // SUB far below the top: every delay and polarity sums alike.
    ProcessorConfig c = twoWay(100.0);
    c.output(3).DelaySamples = 50;
    setInverted(c.output(3), true);
    ResponseCurve silent;
    silent.MagDb.fill(-300.0f);
    silent.PhaseRad.fill(1.0f);
    const MeasuredCurves measured{sample("top.frd"), {}, silent};
    for (const auto& movable : {std::array{false, false, true}, std::array{true, false, true}}) {
        const AlignmentResult r = alignOutputs(c, measured, {{50.0, 200.0}, movable});
        EXPECT_EQ(r.delays, (std::array{0, 0, 0}));
        EXPECT_EQ(r.inverted, (std::array{false, false, false}));
    }
    // Stopped through the progress callback: cancelled, and applying it changes nothing.
    const AlignmentResult stopped =
        alignOutputs(c, measured, {{50.0, 200.0}}, [](auto, auto) { return false; });
    EXPECT_TRUE(stopped.cancelled);
    ProcessorConfig applied = c;
    applyAlignment(applied, stopped);
    EXPECT_EQ(applied, c);
}

TEST(OutputAlignment, DefaultRange_FromTheEdgesWhereTheOutputsMeet) {
    using Range = std::optional<FrequencyRange>;
    for (const auto& [topHz, subHz, topMuted, expected] :
         {std::tuple{100.0, 100.0, false, Range{{50.0, 200.0}}},
          std::tuple{120.0, 80.0, false, Range{{40.0, 240.0}}},
          std::tuple{80.0, 120.0, false, Range{{40.0, 240.0}}},
          std::tuple{30.0, 30.0, false, Range{{20.0, 60.0}}},
          std::tuple{1000.0, 100.0, false, Range{}}, std::tuple{100.0, 100.0, true, Range{}}}) {
        ProcessorConfig c = twoWay(subHz);
        setEdge(c.output(1).HighPassEdge, kLinkwitzRileyHighPass, topHz);
        setMuted(c, 1, topMuted);
        EXPECT_EQ(defaultAlignmentRange(c, {false, false, true}), expected) << topHz;
    }
    // The tops' pair of edges alone does not concern SUB.
    ProcessorConfig c = twoWay(100.0);
    setMuted(c, 2, false);
    setEdge(c.output(1).LowPassEdge, kLinkwitzRileyLowPass, 1000.0);
    setEdge(c.output(2).HighPassEdge, kLinkwitzRileyHighPass, 1000.0);
    EXPECT_EQ(defaultAlignmentRange(c, {false, false, true}), (FrequencyRange{50.0, 200.0}));
    EXPECT_EQ(defaultAlignmentRange(c, {true, true, true}), (FrequencyRange{50.0, 2000.0}));
}

TEST(OutputAlignment, Problems_NameWhatIsWrong) {
    const ProcessorConfig c = twoWay(100.0);
    const auto request = [&](double low, double high, std::array<bool, 3> movable) {
        return alignmentRequestProblem(c, {{low, high}, movable}).value_or("");
    };
    EXPECT_EQ(request(50, 200, {false, false, true}), "");
    EXPECT_EQ(request(200, 50, {false, false, true}),
              "the range 200 to 50 Hz must start below its end");
    EXPECT_EQ(request(10, 200, {false, false, true}),
              "the range 10 to 200 Hz leaves the response grid (20 to 23999 Hz)");
    EXPECT_EQ(request(100.2, 100.8, {false, false, true}),
              "the range 100.2 to 100.8 Hz holds no point of the response grid");
    EXPECT_EQ(request(50, 200, {false, false, false}), "no output is chosen to move");
    ProcessorConfig alone = c;
    setMuted(alone, 1, true);
    EXPECT_EQ(alignmentRequestProblem(alone, {{50, 200}}).value_or(""),
              "alignment needs at least two outputs that are not muted");

    ProcessorConfig files = c;
    files.MeasurementFile = {"top.frd", "", "sub.frd"};
    const ResponseCurve top = sample("top.frd");
    ResponseCurve partial = top;
    partial.MagDb[gridSpan({50, 200}).first] = kOutsideMeasurementDb;
    partial.PhaseRad[gridSpan({50, 200}).first] = 0.0f;
    const auto measurement = [&](const ResponseCurve& sub) {
        return alignmentMeasurementProblem(files, {top, {}, sub}, {true, false, true}, {50, 200})
            .value_or("");
    };
    EXPECT_EQ(measurement(top), "");  // Output 2 is muted: it needs none
    EXPECT_EQ(measurement(partial), "SUB: sub.frd does not cover the range 50 to 200 Hz");
    files.MeasurementFile[2].clear();
    EXPECT_EQ(measurement(top),
              "SUB has no measurement file: alignment needs the measured magnitude and phase of "
              "every output that is not muted");
}

}  // namespace
}  // namespace kvn::analysis
