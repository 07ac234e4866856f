// The check of a received memory image: copies, ranges and the design of the coefficients.
#include "config/ImageConsistency.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "config/CoefficientAddresses.h"
#include "config/EqualizerControls.h"
#include "config/ImageLayout.h"
#include "config/LoadRefresh.h"
#include "config/MemoryImage.h"
#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes richImage() {
    return test::readBytes(test::dataFile("rich.img"));
}

// Every value at an end of its control's range, as the editor leaves it.
ProcessorConfig atTheLimits() {
    ProcessorConfig c;
    c.resetToNew();
    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = c.output(n);
        for (int b = 1; b <= peqBandCount(n); ++b) {
            PeqBand& band = out.band(b);
            band.FilterType = kParametric;
            const bool low = b % 2 == 1;
            setBandFrequency(band, low ? kPeqMinFrequencyHz : kPeqMaxFrequencyHz, n == kSubOutput);
            setBandQ(band, low ? kPeqMinQ : kPeqMaxQ);
            setBandGain(band, low ? kPeqMinGainDb : kPeqMaxGainDb);
        }
        out.HighPassEdge = {};
        out.HighPassEdge.XoverType = kLinkwitzRileyHighPass;
        out.HighPassEdge.Order = 4;
        out.HighPassEdge.FrequencyHz = 20;
        out.LowPassEdge.XoverType = kBesselLowPass;
        out.LowPassEdge.Order = 4;
        out.LowPassEdge.FrequencyHz = n == kSubOutput ? 480 : 20000;
        out.LevelPosition = n == 1 ? 0 : 361;
        out.DelaySamples = n == 1 ? 0 : kMaxDelaySamples;
        out.Route = n - 1;
        out.Muted = out.Inverted = n == 2;
    }
    c.Temperature = 50;
    c.unit(1).thresholdDbfs = static_cast<float>(thresholdFromTrack(0, 1));
    c.unit(2).thresholdDbfs = static_cast<float>(thresholdFromTrack(100, 2));
    c.unit(2).ratio = 10.0f;
    c.unit(2).kneeDb = 10.0f;
    refreshAfterLoad(c, LoadSource::Image);
    return c;
}

TEST(ImageConsistency, ImagesThisProgramWrites_AreSoundAndMatchTheirDesign) {
    const ImageBuffer limits = BuildImage(atTheLimits());
    // A memory never written holds the start-up configuration, whose thresholds lie between
    // the track's steps and whose SUB bands are not yet held to 500 Hz.
    const ImageBuffer factory = BuildImage(ProcessorConfig{});
    const std::vector<std::pair<std::string, Bytes>> images = {
        {"default.img", test::readBytes(test::dataFile("default.img"))},
        {"rich.img", richImage()},
        {"version202.img", test::readBytes(test::dataFile("version202.img"))},
        {"limits", {limits.begin(), limits.end()}},
        {"factory", {factory.begin(), factory.end()}},
    };
    for (const auto& [name, image] : images) {
        const ImageConsistency check = checkImageConsistency(image);
        EXPECT_TRUE(check.sound()) << name << ": " << check.problem();
        EXPECT_EQ(check.warning(), "") << name;
    }
    // Settings a preset file carries as they are (any speaker, timing or matrix value) pass.
    ProcessorConfig odd = test::richConfig();
    odd.unit(1).loadImpedanceOhm = 0.0f;
    odd.unit(2).ampGain = 0.0f;
    odd.unit(1).holdSamples = 60000;
    odd.InputMatrix[1] = 0.5;
    EXPECT_TRUE(checkImageConsistency(BuildImage(odd)).sound());
}

TEST(ImageConsistency, AByteDamagedInOneCopy_NamesTheField) {
    using namespace image;
    const struct {
        std::size_t offset;
        std::string field;
    } cases[] = {
        {kParameters + 80, "Output 2 band 7 frequency"},  // data block 27 of a read
        {kParametersCopy2 + param::kLevels + param::kLevelBytes, "Output 2 level position"},
        {kParameters + param::kDynamics1 + param::kAttack, "dynamics unit 1 attack"},
        {kParameters + param::kInputMatrix + 1, "input matrix m1"},
        {kBlockB + kWordBytes * addr::peqBand(1, 3) + 1, "Output 1 band 3 coefficients"},
        {kBlockA + kWordBytes * addr::delay(2) + 2, "Output 2 delay word"},
    };
    for (const auto& c : cases) {
        Bytes image = richImage();
        image[c.offset] ^= 0xFF;
        const ImageConsistency check = checkImageConsistency(image);
        EXPECT_FALSE(check.sound()) << c.field;
        EXPECT_EQ(check.copiesDiffer, std::vector<std::string>{c.field});
        EXPECT_EQ(check.problem(), "The two copies of the memory image differ: " + c.field + ".");
    }
    const Bytes image = richImage();
    const ImageConsistency truncated = checkImageConsistency({image.begin(), image.begin() + 100});
    EXPECT_FALSE(truncated.sound());
    EXPECT_EQ(truncated.problem(),
              "The memory image is incomplete: 100 of 2045 bytes were received.");
}

TEST(ImageConsistency, ValuesOutOfRangeInBothCopies_AreNamedWithTheirRange) {
    using namespace image;
    const struct {
        std::size_t offset;  // in each copy
        Bytes bytes;
        std::string problem;
    } cases[] = {
        {param::kLevels, {0x01, 0x90}, "Output 1 level position 400 (0 to 361)"},
        {param::kOutput1Bands,
         {13},
         "Output 1 band 1 type 13 (one of 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15)"},
        {param::kOutput1Bands + param::kBandBytes + param::kBandQ,
         {250},
         "Output 1 band 2 Q -5 (0.5 to 20)"},
        {param::kRoutes + 2, {3}, "SUB route 3 (0 to 2)"},
        {param::kCrossovers + param::kLowPassOrder, {6}, "Output 1 low-pass edge order 6 (2 to 4)"},
    };
    for (const auto& c : cases) {
        Bytes image = richImage();
        for (const std::size_t copy : {kParameters, kParametersCopy2}) {
            std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + copy + c.offset);
        }
        const ImageConsistency check = checkImageConsistency(image);
        EXPECT_FALSE(check.sound());
        EXPECT_EQ(check.outOfRange, std::vector<std::string>{c.problem});
    }
}

TEST(ImageConsistency, CoefficientsAwayFromTheirDesign_AreAWarningBeyondAFewSteps) {
    const auto shifted = [](int steps) {
        Bytes image = richImage();
        for (const std::size_t bank : {image::kBlockA, image::kBlockB}) {
            const std::size_t at = bank + image::kWordBytes * addr::peqBand(1, 1) + 2;
            image[at] = static_cast<std::uint8_t>(image[at] + steps);
        }
        return checkImageConsistency(image);
    };
    const ImageConsistency close = shifted(kDesignToleranceLsb);
    EXPECT_TRUE(close.sound());
    EXPECT_TRUE(close.designDiffers.empty());
    const ImageConsistency far = shifted(100);
    EXPECT_TRUE(far.sound()) << "a warning only";
    EXPECT_EQ(far.designDiffers, std::vector<std::string>{"Output 1 band 1 coefficients"});
    EXPECT_NE(far.warning().find("Output 1 band 1 coefficients"), std::string::npos);
}

}  // namespace
}  // namespace kvn
