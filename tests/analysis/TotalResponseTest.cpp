#include "analysis/TotalResponse.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/OutputCurves.h"

namespace kvn::analysis {
namespace {

std::size_t gridIndexOf(int hz) {
    const auto& g = responseGrid().GridHz;
    return static_cast<std::size_t>(std::find(g.begin(), g.end(), hz) - g.begin());
}

// A new configuration with every influence off except `on`.
ProcessorConfig onlyInfluence(std::initializer_list<Influence> on) {
    ProcessorConfig c;
    c.resetToNew();
    c.ResponseView.fill(false);
    for (const Influence i : on) {
        c.ResponseView[static_cast<std::size_t>(i)] = true;
    }
    return c;
}

TEST(TotalResponse, InfluencesOff_FlatOutputsAndAddCountsUnmutedOutputs) {
    ProcessorConfig c = onlyInfluence({});
    c.output(1).Gain = 0.5;
    c.output(2).DelaySamples = 100;
    MeasuredCurves measured{};
    measured[2].MagDb.fill(-12.0f);
    TotalResponse r;
    computeTotalResponse(c, measured, r);
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        for (std::size_t o = 0; o < 3; ++o) {
            ASSERT_EQ(r.plottedDb[o][k], 0.0);
            ASSERT_EQ(r.phaseDeg[o][k], 0.0);
        }
        ASSERT_NEAR(r.addDb[k], 20.0 * std::log10(3.0), 1e-9);
    }
    // A muted output lies on 0 dB and leaves the sum.
    c.output(2).Muted = true;
    c.ResponseView[static_cast<std::size_t>(Influence::Gain)] = true;
    computeTotalResponse(c, measured, r);
    EXPECT_NEAR(r.plottedDb[0][100], -6.0206, 1e-3);
    EXPECT_EQ(r.plottedDb[1][100], 0.0);
    EXPECT_NEAR(r.addDb[100], 20.0 * std::log10(1.5), 1e-6);
    // A gain of 0 (a damaged preset) stays finite.
    c.output(1).Gain = 0.0;
    computeTotalResponse(c, measured, r);
    EXPECT_NEAR(r.plottedDb[0][100], kSilentGainDb, 1e-3);
    EXPECT_TRUE(std::isfinite(r.addDb[100]));
}

TEST(TotalResponse, PolarityDelayAndLookAhead_ShiftThePhase) {
    ProcessorConfig c = onlyInfluence({Influence::Gain, Influence::Delay});
    c.output(1).Inverted = true;
    c.output(1).Gain = -1.0;
    c.output(3).DelaySamples = 480;
    c.output(2).DelaySamples = 10;
    c.output(2).RelativeDistanceSamples = 4;
    TotalResponse r;
    computeTotalResponse(c, {}, r);
    const std::size_t at100 = gridIndexOf(100);
    EXPECT_NEAR(r.phaseRad[0][at100], -M_PI, 1e-6);
    EXPECT_NEAR(r.phaseDeg[0][at100], 180.0, 1e-4);
    // SUB: 480 samples are -2 pi at 100 Hz, shown as 0 degrees; the look-ahead does not delay SUB.
    EXPECT_NEAR(r.phaseRad[2][at100], -2 * M_PI, 1e-5);
    EXPECT_NEAR(r.phaseDeg[2][at100], 0.0, 1e-3);
    // Output 1 inverted against Output 2, SUB in phase with both: the sum is about one output.
    EXPECT_NEAR(r.addDb[at100], 0.0, 0.5);
    // Output 2 with the look-ahead: 10 + 6 - 4 = 12 samples.
    c.unit(1).lookAheadSamples = 6;
    computeTotalResponse(c, {}, r);
    EXPECT_NEAR(r.phaseRad[1][at100], -2 * M_PI * 100 * 12 / 48000, 1e-5);
    EXPECT_NEAR(r.phaseRad[2][at100], -2 * M_PI, 1e-5);
}

TEST(TotalResponse, BlocksAndMeasurement_AddUpPerOutput) {
    ProcessorConfig c = onlyInfluence(
        {Influence::Speakers, Influence::Peq, Influence::Xover, Influence::Gain, Influence::Delay});
    c.output(1).band(1).FilterType = kParametric;
    c.output(1).band(1).FrequencyHz = 1005.0;
    c.output(1).band(1).GainDb = 6.0;
    c.output(1).band(1).design();
    MeasuredCurves measured{};
    measured[0].MagDb.fill(3.0f);
    measured[0].PhaseRad.fill(0.25f);
    TotalResponse r;
    computeTotalResponse(c, measured, r);
    ResponseCurve peq;
    ResponseCurve xover;
    equaliserCurve(c.output(1), peq);
    crossoverCurve(c.output(1), false, xover);
    for (const std::size_t k : {std::size_t{0}, gridIndexOf(1005), std::size_t{400}}) {
        EXPECT_NEAR(r.magDb[0][k], 3.0 + peq.MagDb[k] + xover.MagDb[k], 1e-4) << k;
        EXPECT_NEAR(r.phaseRad[0][k], 0.25 + peq.PhaseRad[k] + xover.PhaseRad[k], 1e-5) << k;
    }
    // SUB's crossover term carries the fixed SUB path: far below the path's 470 Hz at 20 kHz.
    EXPECT_LT(r.plottedDb[2][400], -60.0);
}

TEST(TotalResponse, BlockCurveCache_FollowsEveryChangeOfTheSectionsItKeeps) {
    ProcessorConfig c;
    c.resetToNew();
    MeasuredCurves measured{};
    BlockCurveCache cache;
    OutputPartCache parts;
    TotalResponse kept;
    const auto sameAsFresh = [&](const char* step) {
        cache.update(c);
        TotalResponse cached;
        TotalResponse fresh;
        computeTotalResponse(c, measured, cache, cached);
        computeTotalResponse(c, measured, cache, parts, kept);
        computeTotalResponse(c, measured, fresh);
        for (const TotalResponse* r : {&cached, &kept}) {
            EXPECT_EQ(r->magDb, fresh.magDb) << step;
            EXPECT_EQ(r->phaseRad, fresh.phaseRad) << step;
            EXPECT_EQ(r->plottedDb, fresh.plottedDb) << step;
            EXPECT_EQ(r->phaseDeg, fresh.phaseDeg) << step;
            EXPECT_EQ(r->addDb, fresh.addDb) << step;
            EXPECT_EQ(r->addPhaseDeg, fresh.addPhaseDeg) << step;
        }
    };
    sameAsFresh("new");
    PeqBand& band = c.output(2).band(5);
    band.FilterType = kParametric;
    band.GainDb = 6.0;
    band.design();
    sameAsFresh("a band beyond the bands in use");
    c.output(2).PeqBandsInUse = 5;
    sameAsFresh("bands in use raised");
    band.GainDb = -4.0;
    band.design();
    sameAsFresh("the band redesigned");
    c.output(1).HighPassEdge.XoverType = kButterworthHighPass;
    c.output(1).HighPassEdge.Order = 4;
    c.output(1).HighPassEdge.design();
    sameAsFresh("a crossover edge");
    c.output(1).HighPassEdge.Order = 2;
    c.output(1).HighPassEdge.design();
    sameAsFresh("fewer sections");
    // What an output's part depends on besides its blocks.
    c.output(3).Inverted = !c.output(3).Inverted;
    sameAsFresh("polarity");
    c.output(3).DelaySamples = 17;
    sameAsFresh("delay");
    c.output(2).Muted = true;
    sameAsFresh("mute");
    c.output(1).Gain = 0.5;
    sameAsFresh("gain");
    measured[1].MagDb[200] = 3.0f;
    sameAsFresh("a measured point");
    c.ResponseView[static_cast<std::size_t>(Influence::Delay)] = false;
    sameAsFresh("an influence off");
    c.unit(1).lookAheadSamples = 5;
    c.ResponseView[static_cast<std::size_t>(Influence::Delay)] = true;
    sameAsFresh("look-ahead");
}

TEST(TotalResponse, EqualiserCurve_RepeatedAndChangedBandsGiveTheCascadeOfTheirSections) {
    ProcessorConfig c;
    c.resetToNew();
    OutputChannel& output = c.output(1);
    output.PeqBandsInUse = 3;
    for (int b = 1; b <= 3; ++b) {
        output.band(b).FilterType = kParametric;
        output.band(b).FrequencyHz = 200.0 * b;
        output.band(b).design();
    }
    const auto check = [&](const char* step) {
        std::array<const TSOS*, kPeqBands> sections{};
        for (int b = 1; b <= output.PeqBandsInUse; ++b) {
            sections[static_cast<std::size_t>(b - 1)] = &output.band(b);
        }
        ResponseCurve direct;
        evaluateCascade(std::span<const TSOS* const>(
                            sections.data(), static_cast<std::size_t>(output.PeqBandsInUse)),
                        output.PeqBandsInUse, direct);
        ResponseCurve curve;
        equaliserCurve(output, curve);
        EXPECT_EQ(curve.MagDb, direct.MagDb) << step;
        EXPECT_EQ(curve.PhaseRad, direct.PhaseRad) << step;
    };
    // More different curves than are kept, then back to earlier ones: a drag back and forth.
    for (const double db : {3.0, -2.0, 5.5, 1.0, -7.0, 3.0, -2.0, 3.0}) {
        output.band(2).GainDb = db;
        output.band(2).design();
        check("gain");
    }
    output.band(3).Q = 4.0;
    output.band(3).design();
    check("another band of the same curve");
    output.PeqBandsInUse = 2;
    check("fewer bands in use");
    output.PeqBandsInUse = 3;
    check("the bands in use again");
}

}  // namespace
}  // namespace kvn::analysis
