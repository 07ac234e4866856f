// Shared fixtures of the configuration tests.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <tuple>

#include "config/LevelControls.h"
#include "config/LoadRefresh.h"
#include "dsp/DynamicsMath.h"

namespace kvn::test {
namespace {

void setBand(PeqBand& band, std::uint8_t type, double frequencyHz, double gainDb, double q) {
    band.FilterType = type;
    band.FrequencyHz = frequencyHz;
    band.GainDb = gainDb;
    band.Q = q;
}

void setEdge(TXOVERPB& edge, std::uint8_t type, double frequencyHz, int order) {
    edge.XoverType = type;
    edge.FrequencyHz = frequencyHz;
    edge.Order = order;
}

auto sectionFields(const TSOS& s) {
    return std::tuple(s.FilterType, s.FrequencyHz, s.GainDb, s.Q, s.b0, s.b1, s.b2, s.a1, s.a2);
}

auto edgeFields(const TXOVERPB& e) {
    return std::tuple(e.XoverType, e.FrequencyHz, e.Order, e.SectionCount,
                      sectionFields(e.section(1)), sectionFields(e.section(2)));
}

auto outputFields(const OutputChannel& o) {
    return std::tuple(o.Name, o.Route, o.GainFromA, o.GainFromB, o.PeqBandsInUse, o.SoloL, o.SoloH,
                      o.DelaySamples, o.RelativeDistanceSamples, o.Gain, o.LevelPosition, o.Muted,
                      o.Inverted, edgeFields(o.HighPassEdge), edgeFields(o.LowPassEdge));
}

auto unitFields(const DynamicsUnit& u) {
    return std::tuple(u.thresholdDbfs, u.ratio, u.makeupGainDb, u.kneeDb, u.kneeType, u.bypass,
                      u.gateLevel, u.gateSlope, u.detectorCoefficient, u.holdSamples,
                      u.releaseCount, u.lookAheadSamples, u.loadImpedanceOhm, u.boxPowerW,
                      u.ampPowerW, u.ampGain, u.balanced, u.speakerCountIndex, u.editorByte28,
                      u.editorByte37, u.limiterMaxLevel, u.gainTable);
}

}  // namespace

ProcessorConfig richConfig() {
    ProcessorConfig c;
    c.SystemName = "Hall B \xE2\x80\x93 Stage ";       // en dash, trailing space
    c.InputName = {"Mic  ", "B\xC3\xBC\xE2\x82\xAC"};  // "Bü€"
    c.ProjectName =
        "Tourn\xC3\xA9"
        "e 2026";
    c.Engineer =
        "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
        "ez";
    c.Comments = "Line 1\r\nLine 2 \xC2\xA9";
    c.Temperature = 31;
    c.InputMatrix = {0.0, 1.0, 0.0, 1.0};
    c.output(1).Name = "Left ";
    c.output(2).Name = "Right\xE2\x82\xAC";
    c.output(3).Name = "Sub \xC3\xBC";

    const std::array<int, 3> routes = {kRouteB, kRouteAB, kRouteA};
    const std::array<int, 3> levels = {91, 1, 300};
    const std::array<int, 3> delays = {17, 234, 0};
    const std::array<int, 3> distances = {0, 12, 200};
    for (int n = 1; n <= 3; ++n) {
        OutputChannel& out = c.output(n);
        const auto i = static_cast<std::size_t>(n - 1);
        out.Route = routes[i];
        out.DelaySamples = delays[i];
        out.RelativeDistanceSamples = distances[i];
        out.Inverted = n != 2;
        out.Muted = n != 1;
        setLevelTrack(out, levels[i]);
    }

    OutputChannel& o1 = c.output(1);
    setBand(o1.band(1), kParametric, 63, -4.5, 2.5);
    setBand(o1.band(2), kShelvLow6dB, 120, 6.0, 0.7);
    setBand(o1.band(3), kShelvHigh6dB, 3500, -3.0, 0.7);
    setBand(o1.band(4), kLowShelfSlope, 250, 4.0, 1.0);
    setBand(o1.band(5), kHighShelfSlope, 2000, -2.5, 0.8);
    setBand(o1.band(6), kBandPass, 1500, 3.0, 4.0);
    setBand(o1.band(7), kStopBand, 760, -12.0, 8.0);
    OutputChannel& o2 = c.output(2);
    setBand(o2.band(1), kLowPassButtw, 3000, 0.0, 0.7);
    setBand(o2.band(2), kHiPassButtw, 40, 0.0, 0.7);
    setBand(o2.band(3), kAllPass1, 900, 0.0, 0.7);
    setBand(o2.band(4), kAllPass2, 1100, 0.0, 1.4);
    setBand(o2.band(5), kLowPassQ, 2500, 0.0, 3.0);
    setBand(o2.band(6), kHiPassQ, 55, 0.0, 0.5);
    setBand(o2.band(7), kParametric, 3700, 12.0, 20.0);
    OutputChannel& sub = c.output(3);
    setBand(sub.band(1), kParametric, 45, 5.5, 3.3);
    setBand(sub.band(2), kLowPassQ, 300, 0.0, 0.9);
    setBand(sub.band(3), kHighShelfSlope, 150, -6.0, 1.2);

    setEdge(o1.HighPassEdge, kButterworthHighPass, 80, 4);
    setEdge(o1.LowPassEdge, kLinkwitzRileyLowPass, 3000, 4);
    setEdge(o2.HighPassEdge, kBesselHighPass, 250, 2);
    setEdge(o2.LowPassEdge, kBesselLowPass, 12000, 4);
    o2.SoloH = true;
    setEdge(sub.HighPassEdge, kLinkwitzRileyHighPass, 25, 2);
    setEdge(sub.LowPassEdge, kButterworthLowPass, 120, 4);
    sub.SoloL = true;

    DynamicsUnit& u1 = c.unit(1);
    u1.thresholdDbfs = static_cast<float>(thresholdFromTrack(30, 1));
    u1.ratio = 4.0f;
    u1.kneeDb = 3.0f;
    u1.kneeType = kCompressor;
    u1.makeupGainDb = 1.5f;
    u1.gateLevel = 15.0f;
    u1.gateSlope = 6.0f;
    u1.lookAheadSamples = lookAheadSamplesFromMs(1.0);
    u1.detectorCoefficient = static_cast<float>(detectorCoefficientFromAttack(60.0));
    u1.holdSamples = holdSamplesFromMs(20.0, u1.lookAheadSamples);
    u1.releaseCount = releaseCountFromRate(12.0);
    u1.loadImpedanceOhm = 4.0f;
    u1.boxPowerW = 800.0f;
    u1.ampPowerW = 1200.0f;
    u1.ampGain = 26.0f;
    u1.balanced = 0;
    u1.speakerCountIndex = 2;
    u1.editorByte28 = 3;
    u1.editorByte37 = 0;
    u1.limiterMaxLevel = 10.0f;

    DynamicsUnit& u2 = c.unit(2);
    u2.thresholdDbfs = static_cast<float>(thresholdFromTrack(60, 2));
    u2.ratio = 10.0f;
    u2.kneeDb = 0.0f;
    u2.bypass = 1;
    u2.gateLevel = 1.0f;
    u2.gateSlope = 10.0f;
    u2.detectorCoefficient = static_cast<float>(detectorCoefficientFromAttack(250.0));
    u2.holdSamples = holdSamplesFromMs(0.0, 0);
    u2.releaseCount = releaseCountFromRate(80.0);
    u2.loadImpedanceOhm = 2.67f;
    u2.boxPowerW = 4000.0f;
    u2.ampPowerW = 50.0f;
    u2.ampGain = 200.0f;
    u2.speakerCountIndex = 3;

    c.MeasurementFile = {"C:\\Meas\\Left.frd", "", "/home/u/sub \xC3\xBC.txt"};
    c.MeasurementFormat = 2;
    c.MeasurementSpl = 94.5f;
    c.ResponseView = {true, false, true, false, true};

    refreshAfterLoad(c, LoadSource::PresetFile);
    return c;
}

void expectSameConfig(const ProcessorConfig& a, const ProcessorConfig& b) {
    EXPECT_EQ(std::tie(a.SampleRate, a.SystemName, a.InputName, a.ProjectName, a.Engineer,
                       a.Comments, a.Temperature, a.InputMatrix, a.MeasurementFile,
                       a.MeasurementFormat, a.MeasurementSpl, a.ResponseView),
              std::tie(b.SampleRate, b.SystemName, b.InputName, b.ProjectName, b.Engineer,
                       b.Comments, b.Temperature, b.InputMatrix, b.MeasurementFile,
                       b.MeasurementFormat, b.MeasurementSpl, b.ResponseView));
    for (int n = 1; n <= kOutputCount; ++n) {
        EXPECT_EQ(outputFields(a.output(n)), outputFields(b.output(n))) << "output " << n;
        for (int band = 1; band <= peqBandCount(n); ++band) {
            EXPECT_EQ(sectionFields(a.output(n).band(band)), sectionFields(b.output(n).band(band)))
                << "output " << n << " band " << band;
        }
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        EXPECT_EQ(unitFields(a.unit(u)), unitFields(b.unit(u))) << "unit " << u;
    }
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path dataFile(const std::string& name) {
    return std::filesystem::path(KVN_TEST_DATA_DIR) / name;
}

TempDir::TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
        path_ = base / ("kvn-config-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace kvn::test
