#include "analysis/EqualiserFit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "DesignedSection.h"
#include "SyntheticSpeakers.h"
#include "analysis/MeasurementImport.h"
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

void print(const EqualiserFit& fit) {
    std::printf("%s before %.3f after %.3f\n", fit.message.c_str(), fit.rmsBeforeDb,
                fit.rmsAfterDb);
    for (int n : fit.fittedBands) {
        const PeqBand& b = fit.bands[n - 1];
        std::printf("  %d type %d f %.2f q %.2f g %.2f\n", n, b.FilterType, b.FrequencyHz, b.Q,
                    b.GainDb);
    }
}

TEST(EqualiserFitTest, Debug) {
    const ProcessorConfig config = newConfig();
    EqualiserFitOptions options;
    const EqualiserFit fit =
        fitEqualiser(config, speakerCurve(test::Speaker::FullRange), flatTarget(), options);
    print(fit);
}

}  // namespace
}  // namespace kvn::analysis
