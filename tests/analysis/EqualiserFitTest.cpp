#include "analysis/EqualiserFit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SyntheticSpeakers.h"
#include "analysis/MeasurementImport.h"
#include "analysis/OutputCurves.h"
#include "config/EqualizerControls.h"

namespace kvn::analysis {
namespace {

ProcessorConfig newConfig() {
    ProcessorConfig config;
    config.resetToNew();
    return config;
}

ResponseCurve speakerCurve(test::Speaker speaker, double fromHz = 10.0, double toHz = 24000.0) {
    const MeasurementResult r = parseMeasurement(test::speakerFrd(speaker, fromHz, toHz),
                                                 "speaker.frd", {kFormatFrd, 90.0});
    EXPECT_EQ(r.status, MeasurementStatus::Imported) << r.message;
    return r.curve;
}

void setParametric(PeqBand& band, double hz, double q, double gainDb, bool sub) {
    band.FilterType = kParametric;
    setBandQ(band, q);
    setBandGain(band, gainDb);
    setBandFrequency(band, hz, sub);
}

PeqBand parametric(double hz, double q, double gainDb, bool sub) {
    PeqBand band;
    setParametric(band, hz, q, gainDb, sub);
    return band;
}

TEST(EqualiserFitTest, MeasurementInverseOfKnownBands_FitRecoversThem) {
    struct Case {
        int output;
        double tiltDbPerOctave;
        std::vector<PeqBand> bands;
        FitRange range;
    };
    const std::vector<Case> cases = {
        {1,
         0.0,
         {parametric(80, 2.0, 5.0, false), parametric(400, 1.2, -4.0, false),
          parametric(2500, 3.5, 3.0, false), parametric(9000, 1.0, -6.0, false)},
         {40, 16000}},
        {2,
         1.5,
         {parametric(60, 4.0, -6.0, false), parametric(700, 0.8, 2.0, false),
          parametric(3000, 6.0, -8.0, false), parametric(12000, 2.0, 4.0, false)},
         {40, 16000}},
        // SUB: the measurement leaves out its crossover, which the fit must count.
        {3, 0.0, {parametric(45, 3.0, 6.0, true), parametric(120, 2.0, -5.0, true)}, {30, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const ProcessorConfig config = newConfig();
        ResponseCurve bands;
        evaluateCascade(std::span<const TSOS>(c.bands), static_cast<int>(c.bands.size()), bands);
        ResponseCurve xover;
        crossoverCurve(config.output(c.output), c.output == kSubOutput, xover);
        ResponseCurve measured;
        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
            const double tilt = c.tiltDbPerOctave * std::log2(responseGrid().GridHz[k] / 1000.0);
            measured.MagDb[k] = static_cast<float>(80.0 - bands.MagDb[k] - xover.MagDb[k] + tilt);
        }
        EqualiserFitOptions options;
        options.output = c.output;
        options.range = c.range;
        options.bands = static_cast<int>(c.bands.size());
        const EqualiserFit fit =
            fitEqualiser(config, measured, flatTarget(c.tiltDbPerOctave), options);
        ASSERT_EQ(fit.status, FitStatus::Fitted) << fit.message;
        EXPECT_GT(fit.rmsBeforeDb, 1.0);
        EXPECT_LT(fit.rmsAfterDb, 0.05);
    }
}

TEST(EqualiserFitTest, FittedBands_KeepEveryLimitAndSurviveLoadingTheirControls) {
    struct Case {
        int output;
        test::Speaker speaker;
        double maxBoostDb;
        bool cutOnly;
        bool shelves;
    };
    const std::vector<Case> cases = {
        {1, test::Speaker::FullRange, kDefaultMaxBoostDb, false, true},
        {1, test::Speaker::Woofer, 2.5, false, true},
        {2, test::Speaker::Tweeter, kDefaultMaxBoostDb, true, true},
        {2, test::Speaker::FullRange, 12.0, false, false},
        {3, test::Speaker::SubWithRoomMode, 12.0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output * 10 + static_cast<int>(c.speaker));
        ProcessorConfig config = newConfig();
        const bool sub = c.output == kSubOutput;
        const ResponseCurve measured = speakerCurve(c.speaker);
        EqualiserFitOptions options;
        options.output = c.output;
        options.range =
            c.speaker == test::Speaker::Tweeter ? FitRange{2000, 20000} : defaultFitRange(c.output);
        options.bands = sub ? 3 : 6;
        options.maxBoostDb = c.maxBoostDb;
        options.cutOnly = c.cutOnly;
        options.shelves = c.shelves;
        const EqualiserFit fit = fitEqualiser(config, measured, flatTarget(), options);
        ASSERT_EQ(fit.status, FitStatus::Fitted) << fit.message;
        EXPECT_EQ(fit.fittedBands.size(), static_cast<std::size_t>(options.bands));
        EXPECT_LT(fit.rmsAfterDb, fit.rmsBeforeDb);
        for (int number = 1; number <= peqBandCount(c.output); ++number) {
            const PeqBand& band = fit.bands[static_cast<std::size_t>(number - 1)];
            const bool fitted = std::find(fit.fittedBands.begin(), fit.fittedBands.end(), number) !=
                                fit.fittedBands.end();
            if (!fitted) {
                EXPECT_EQ(band.FilterType, kBypass);
                continue;
            }
            const bool shelf = band.FilterType == kShelvLow6dB || band.FilterType == kShelvHigh6dB;
            EXPECT_TRUE(band.FilterType == kParametric || (shelf && c.shelves));
            EXPECT_GE(band.FrequencyHz, kPeqMinFrequencyHz);
            EXPECT_LE(band.FrequencyHz, sub ? 500.0 : 20000.0);
            EXPECT_GE(band.Q, kPeqMinQ);
            EXPECT_LE(band.Q, kPeqMaxQ);
            EXPECT_GE(band.GainDb, kPeqMinGainDb);
            EXPECT_LE(band.GainDb, c.cutOnly ? 0.0 : std::min(c.maxBoostDb, shelf ? 6.0 : 12.0));
            PeqBand reloaded = band;
            loadBandControls(reloaded, sub);
            EXPECT_EQ(reloaded, band) << "band " << number;
        }
        applyEqualiserFit(config, fit);
        EXPECT_EQ(fitDeviationDb(config, c.output, measured, flatTarget(), options.range),
                  fit.rmsAfterDb);
    }
}

TEST(EqualiserFitTest, KeptBands_StayAsTheyAreAndTheFitTakesTheOtherSlots) {
    ProcessorConfig config = newConfig();
    OutputChannel& output = config.output(1);
    setParametric(output.band(2), 1000, 2.0, 3.0, false);
    setParametric(output.band(4), 5000, 1.0, -2.0, false);
    output.PeqBandsInUse = 4;
    const PeqBand kept = output.band(2);
    const ResponseCurve measured = speakerCurve(test::Speaker::FullRange);
    EqualiserFitOptions options;
    options.bands = 5;
    options.keptBands = {2};
    const EqualiserFit fit = fitEqualiser(config, measured, flatTarget(), options);
    ASSERT_EQ(fit.status, FitStatus::Fitted) << fit.message;
    EXPECT_EQ(fit.bands[1], kept);
    EXPECT_EQ(fit.fittedBands, (std::vector<int>{1, 3, 4, 5, 6}));
    EXPECT_EQ(fit.bands[6].FilterType, kBypass);
    EXPECT_EQ(fit.bandsInUse, 6);
    applyEqualiserFit(config, fit);
    EXPECT_EQ(config.output(1).band(2), kept);

    options.bands = 7;
    EXPECT_EQ(fitEqualiser(config, measured, flatTarget(), options).message,
              "7 bands to fit and 1 kept are more than the 7 bands of Output 1");
}

TEST(EqualiserFitTest, InputsThatCannotBeFitted_AreRefusedWithTheReason) {
    ProcessorConfig config = newConfig();
    const ResponseCurve full = speakerCurve(test::Speaker::FullRange);
    const ResponseCurve from200Hz = speakerCurve(test::Speaker::FullRange, 200.0, 24000.0);
    const TargetCurve narrowTarget = curveTarget(
        speakerCurve(test::Speaker::FullRange, 100.0, 10000.0), 0.0, "the target curve t.frd");
    struct Case {
        const char* name;
        EqualiserFitOptions options;
        const ResponseCurve* measured;
        const TargetCurve* target;
        const char* message;
    };
    const TargetCurve flat = flatTarget();
    const auto with = [](auto change) {
        EqualiserFitOptions o;
        change(o);
        return o;
    };
    const std::vector<Case> cases = {
        {"low equals high", with([](auto& o) {
             o.range = {1000, 1000};
         }),
         &full, &flat, "The range 1000-1000 Hz is empty: its low end must be below its high end"},
        {"low above high", with([](auto& o) {
             o.range = {2000, 1000};
         }),
         &full, &flat, "The range 2000-1000 Hz is empty: its low end must be below its high end"},
        {"not a number", with([](auto& o) {
             o.range = {std::nan(""), 1000};
         }),
         &full, &flat, "The range must be two frequencies above 0 Hz"},
        {"between grid points", with([](auto& o) {
             o.range = {100.2, 100.4};
         }),
         &full, &flat, "The range 100.2-100.4 Hz holds fewer than two points of the response grid"},
        {"outside the measurement", EqualiserFitOptions{}, &from200Hz, &flat,
         "The measurement does not cover the range 40-16000 Hz: it has no data at 40 Hz"},
        {"outside the target", EqualiserFitOptions{}, &full, &narrowTarget,
         "The target curve t.frd does not cover the range 40-16000 Hz: it has no data at 40 Hz"},
        {"no band", with([](auto& o) { o.bands = 0; }), &full, &flat,
         "The number of bands to fit must be 1 to 7 on Output 1"},
        {"SUB has three", with([](auto& o) {
             o.output = 3;
             o.bands = 4;
             o.range = {30, 400};
         }),
         &full, &flat, "The number of bands to fit must be 1 to 3 on SUB"},
        {"boost", with([](auto& o) { o.maxBoostDb = 12.5; }), &full, &flat,
         "The maximum boost must be 0 to 12 dB"},
        {"kept band missing", with([](auto& o) { o.keptBands = {8}; }), &full, &flat,
         "Output 1 has no band 8"},
        {"kept band unused", with([](auto& o) {
             o.bands = 3;
             o.keptBands = {5};
         }),
         &full, &flat, "Band 5 of Output 1 is not in use and cannot be kept"},
    };
    for (const Case& c : cases) {
        const EqualiserFit fit = fitEqualiser(config, *c.measured, *c.target, c.options);
        EXPECT_EQ(fit.status, FitStatus::Refused) << c.name;
        EXPECT_EQ(fit.message, c.message) << c.name;
    }
}

class CountingProgress : public FitProgress {
public:
    explicit CountingProgress(int stopAfter) : stopAfter_(stopAfter) {}
    bool advance(double fraction) override {
        rising = rising && fraction >= last;
        last = fraction;
        return ++calls < stopAfter_;
    }
    int calls = 0;
    double last = 0.0;
    bool rising = true;

private:
    int stopAfter_;
};

TEST(EqualiserFitTest, SameInputsGiveTheSameBands_AndTheProgressCanStopTheFit) {
    const ProcessorConfig config = newConfig();
    const ResponseCurve measured = speakerCurve(test::Speaker::Woofer);
    EqualiserFitOptions options;
    options.range = {40, 3000};
    options.bands = 5;
    CountingProgress progress(1 << 30);
    const EqualiserFit first = fitEqualiser(config, measured, flatTarget(), options, &progress);
    const EqualiserFit second = fitEqualiser(config, measured, flatTarget(), options);
    EXPECT_EQ(first.bands, second.bands);
    EXPECT_EQ(first.rmsAfterDb, second.rmsAfterDb);
    EXPECT_TRUE(progress.rising);
    EXPECT_EQ(progress.last, 1.0);

    CountingProgress stop(progress.calls / 2);
    const EqualiserFit stopped = fitEqualiser(config, measured, flatTarget(), options, &stop);
    EXPECT_EQ(stopped.status, FitStatus::Cancelled);
    EXPECT_EQ(stop.calls, progress.calls / 2);
}

}  // namespace
}  // namespace kvn::analysis
