// Writing and reading the preset file.
#include "config/PresetFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "config/AtomicFile.h"
#include "config/LoadRefresh.h"
#include "config/Windows1252.h"
#include "dsp/Rounding.h"

namespace kvn {

using namespace preset;

namespace {

constexpr std::string_view kProductName = "KVN 350";
constexpr std::string_view kFileVersion = "2.1.0.0";

std::string notAPresetMessage(const std::string& path) {
    return path + " is not a " + std::string(kProductName) + "File";
}

std::string olderVersionMessage(const std::string& path) {
    return path + " is not a " + std::string(kProductName) +
           " File or is an older version (then re-save the file to translate it to VERSION " +
           std::string(kFileVersion);
}

std::size_t slot(std::size_t base, std::size_t size, int index) {
    return base + size * static_cast<std::size_t>(index);
}

class RecordWriter {
public:
    explicit RecordWriter(PresetRecord& record) : r_(record) {}

    void byte(std::size_t at, int value) { r_[at] = static_cast<std::uint8_t>(value); }
    void flag(std::size_t at, bool value) { r_[at] = value ? 1 : 0; }
    void integer(std::size_t at, std::int32_t value) {
        little(at, static_cast<std::uint32_t>(value));
    }
    void single(std::size_t at, float value) { little(at, std::bit_cast<std::uint32_t>(value)); }
    void real(std::size_t at, double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        little(at, static_cast<std::uint32_t>(bits));
        little(at + kIntBytes, static_cast<std::uint32_t>(bits >> 32));
    }
    // Text already in Windows-1252, cut to the capacity.
    void bytes(ShortString field, std::string_view text) {
        const std::size_t length = std::min(text.size(), field.capacity);
        r_[field.offset] = static_cast<std::uint8_t>(length);
        std::copy_n(text.begin(), length,
                    r_.begin() + static_cast<std::ptrdiff_t>(field.offset + 1));
    }
    void text(ShortString field, std::string_view utf8) { bytes(field, toWindows1252(utf8)); }

private:
    void little(std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < kIntBytes; ++i) {
            r_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    PresetRecord& r_;
};

class RecordReader {
public:
    explicit RecordReader(const PresetRecord& record) : r_(record) {}

    std::uint8_t byte(std::size_t at) const { return r_[at]; }
    bool flag(std::size_t at) const { return r_[at] != 0; }
    std::int32_t integer(std::size_t at) const { return static_cast<std::int32_t>(little(at)); }
    float single(std::size_t at) const { return std::bit_cast<float>(little(at)); }
    double real(std::size_t at) const {
        const std::uint64_t bits =
            little(at) | (static_cast<std::uint64_t>(little(at + kIntBytes)) << 32);
        return std::bit_cast<double>(bits);
    }
    // A length byte above the capacity is cut to the capacity.
    std::string bytes(ShortString field) const {
        const std::size_t length = std::min<std::size_t>(r_[field.offset], field.capacity);
        const auto first = r_.begin() + static_cast<std::ptrdiff_t>(field.offset + 1);
        return std::string(first, first + static_cast<std::ptrdiff_t>(length));
    }
    std::string text(ShortString field) const { return fromWindows1252(bytes(field)); }

private:
    std::uint32_t little(std::size_t at) const {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < kIntBytes; ++i) {
            v |= static_cast<std::uint32_t>(r_[at + i]) << (8 * i);
        }
        return v;
    }
    const PresetRecord& r_;
};

void writeDynamics(RecordWriter& w, const DynamicsUnit& u, std::size_t at) {
    w.single(at + dyn::kThreshold, u.thresholdDbfs);
    w.single(at + dyn::kRatio, u.ratio);
    w.single(at + dyn::kMakeupGain, u.makeupGainDb);
    w.single(at + dyn::kDetector, static_cast<float>(u.detectorCoefficient));
    w.integer(at + dyn::kHoldSamples, u.holdSamples);
    w.integer(at + dyn::kReleaseCount, u.releaseCount);
    w.integer(at + dyn::kLookAhead, u.lookAheadSamples);
    w.byte(at + dyn::kEditorByte28, u.editorByte28);
    w.byte(at + dyn::kKneeType, u.kneeType);
    w.single(at + dyn::kKnee, u.kneeDb);
    w.byte(at + dyn::kBalanced, u.balanced);
    w.byte(at + dyn::kEditorByte37, u.editorByte37);
    w.byte(at + dyn::kBypass, u.bypass);
    w.single(at + dyn::kLimiterMaxLevel, u.limiterMaxLevel);
    w.single(at + dyn::kAmpGain, u.ampGain);
    w.single(at + dyn::kLoadImpedance, u.loadImpedanceOhm);
    w.single(at + dyn::kBoxPower, u.boxPowerW);
    w.single(at + dyn::kAmpPower, u.ampPowerW);
    w.integer(at + dyn::kSpeakerCountIndex, u.speakerCountIndex);
}

void readDynamics(const RecordReader& r, DynamicsUnit& u, std::size_t at) {
    u.thresholdDbfs = r.single(at + dyn::kThreshold);
    u.ratio = r.single(at + dyn::kRatio);
    u.makeupGainDb = r.single(at + dyn::kMakeupGain);
    u.detectorCoefficient = r.single(at + dyn::kDetector);
    u.holdSamples = r.integer(at + dyn::kHoldSamples);
    u.releaseCount = r.integer(at + dyn::kReleaseCount);
    u.lookAheadSamples = r.integer(at + dyn::kLookAhead);
    u.editorByte28 = r.byte(at + dyn::kEditorByte28);
    u.kneeType = r.byte(at + dyn::kKneeType);
    u.kneeDb = r.single(at + dyn::kKnee);
    u.balanced = r.byte(at + dyn::kBalanced);
    u.editorByte37 = r.byte(at + dyn::kEditorByte37);
    u.bypass = r.byte(at + dyn::kBypass);
    u.limiterMaxLevel = r.single(at + dyn::kLimiterMaxLevel);
    u.ampGain = r.single(at + dyn::kAmpGain);
    u.loadImpedanceOhm = r.single(at + dyn::kLoadImpedance);
    u.boxPowerW = r.single(at + dyn::kBoxPower);
    u.ampPowerW = r.single(at + dyn::kAmpPower);
    u.speakerCountIndex = r.integer(at + dyn::kSpeakerCountIndex);
}

// Applies a record that passed the size and tag checks, stage by stage as the loader reads it.
void readRecord(const RecordReader& r, ProcessorConfig& c, const ProgressCallback& progress) {
    auto stage = [&](int percent, std::string_view step) {
        if (progress) {
            progress(ProgressStage{percent, step});
        }
    };

    stage(0, "Reading VERSION and HEADER...");
    c.ProjectName = r.text(kProjectName);
    c.Engineer = r.text(kEngineer);
    c.Comments = r.text(kComments);
    c.SystemName = r.text(kSystemName);
    c.Temperature = r.integer(kTemperature);
    c.InputName[0] = r.text(kInputNameA);
    c.InputName[1] = r.text(kInputNameB);
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        c.output(n).Name = r.text(kOutputNames[i]);
        c.output(n).DelaySamples = r.integer(slot(kDelays, kIntBytes, n - 1));
    }

    stage(5, "Reading PEQs...");
    for (int n = 1; n <= kOutputCount; ++n) {
        for (int b = 1; b <= peqBandCount(n); ++b) {
            PeqBand& band = c.output(n).band(b);
            const std::size_t at = slot(kBands[n - 1], kBandRecordBytes, b - 1);
            band.GainDb = r.real(at + band::kGain);
            band.FrequencyHz = r.real(at + band::kFrequency);
            band.Q = r.real(at + band::kQ);
            band.FilterType = r.byte(at + band::kType);
        }
    }

    stage(10, "Reading Gains, and Polarity...");
    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = c.output(n);
        out.Inverted = r.flag(kInverted + static_cast<std::size_t>(n - 1));
        out.Muted = r.flag(kMuted + static_cast<std::size_t>(n - 1));
        out.Gain = r.real(slot(kGains, kDoubleBytes, n - 1));
    }

    stage(15, "Reading CrossOvers...");
    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = c.output(n);
        const std::size_t at = slot(kCrossovers, kCrossoverRecordBytes, n - 1);
        out.HighPassEdge.FrequencyHz = r.single(at + xover::kHighPassFrequency);
        out.LowPassEdge.FrequencyHz = r.single(at + xover::kLowPassFrequency);
        out.LowPassEdge.Order = r.integer(at + xover::kLowPassOrder);
        out.HighPassEdge.Order = r.integer(at + xover::kHighPassOrder);
        out.LowPassEdge.XoverType = r.byte(at + xover::kLowPassType);
        out.HighPassEdge.XoverType = r.byte(at + xover::kHighPassType);
        out.SoloL = r.flag(kSoloL + static_cast<std::size_t>(n - 1));
        out.SoloH = r.flag(kSoloH + static_cast<std::size_t>(n - 1));
    }

    stage(20, "Reading Dinamics...");
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        readDynamics(r, c.unit(u), slot(kDynamics, kDynamicsRecordBytes, u - 1));
    }

    // The saved route is kept as it stands; refreshAfterLoad restores it through the route
    // button (saved - 1, then one advance), which also replaces the gains read here.
    stage(25, "Reading Sub Route...");
    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = c.output(n);
        out.Route = r.integer(slot(kRoutes, kIntBytes, n - 1));
        out.GainFromA = r.integer(slot(kGainsFromA, kIntBytes, n - 1)) / 10.0;
        out.GainFromB = r.integer(slot(kGainsFromB, kIntBytes, n - 1)) / 10.0;
    }
    for (int m = 0; m < 4; ++m) {
        c.InputMatrix[static_cast<std::size_t>(m)] =
            r.integer(slot(kInputMatrix, kIntBytes, m)) / 10.0;
    }
    for (std::size_t v = 0; v < c.ResponseView.size(); ++v) {
        c.ResponseView[v] = r.flag(kResponseView + v);
    }

    stage(28, "Reading Import File Route...");
    for (std::size_t i = 0; i < c.MeasurementFile.size(); ++i) {
        c.MeasurementFile[i] = r.text(kMeasurementFiles[i]);
    }
    c.MeasurementFormat = r.integer(kMeasurementFormat);
    c.MeasurementSpl = r.single(kMeasurementSpl);
    for (int n = 1; n <= kOutputCount; ++n) {
        c.output(n).RelativeDistanceSamples = r.integer(slot(kDistances, kIntBytes, n - 1));
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        c.unit(u).gateLevel = static_cast<float>(r.integer(slot(kGateLevels, kIntBytes, u - 1)));
        c.unit(u).gateSlope = static_cast<float>(r.integer(slot(kGateSlopes, kIntBytes, u - 1)));
    }
}

// The checks and the load of OpenPresetFile, on a configuration New has already reset; the
// editors' refresh follows when `refresh` is set.
LoadResult openRecord(std::span<const std::uint8_t> bytes, const std::string& path,
                      ProcessorConfig& config, const ProgressCallback& progress, bool refresh) {
    LoadResult result;
    if (bytes.size() != kRecordBytes && bytes.size() != kPreviousRecordBytes) {
        result.messages.push_back({MessageKind::Error, notAPresetMessage(path)});
        return result;
    }
    PresetRecord record{};
    std::copy(bytes.begin(), bytes.end(), record.begin());
    if (bytes.size() < kRecordBytes) {
        result.messages.push_back({MessageKind::Warning, olderVersionMessage(path)});
        RecordWriter gates(record);
        for (int u = 0; u < kDynamicsUnits; ++u) {
            gates.integer(slot(kGateLevels, kIntBytes, u),
                          static_cast<std::int32_t>(kOlderGateLevel));
            gates.integer(slot(kGateSlopes, kIntBytes, u),
                          static_cast<std::int32_t>(kOlderGateSlope));
        }
    }
    const RecordReader reader(record);
    if (reader.byte(kTag.offset) != kTagText.size() || reader.bytes(kTag) != kTagText) {
        result.messages.push_back({MessageKind::Error, notAPresetMessage(path)});
        return result;
    }
    readRecord(reader, config, progress);
    if (refresh) {
        const std::vector<UserMessage> messages =
            refreshAfterLoad(config, LoadSource::PresetFile, progress);
        result.messages.insert(result.messages.end(), messages.begin(), messages.end());
    }
    result.success = true;
    result.loaded = true;
    return result;
}

std::string systemMessage(int error) {
    return std::generic_category().message(error);
}

}  // namespace

PresetRecord BuildPresetRecord(const ProcessorConfig& c, const std::string& path) {
    PresetRecord record{};
    RecordWriter w(record);
    w.bytes(kTag, kTagText);
    w.bytes(kVersion, kVersionText);
    w.bytes(kHeader, std::string(kHeaderPrefix) + toWindows1252(path));
    w.text(kSystemName, c.SystemName);
    w.text(kProjectName, c.ProjectName);
    w.text(kEngineer, c.Engineer);
    w.text(kComments, c.Comments);
    w.integer(kSampleRateField, c.SampleRate);
    w.integer(kTemperature, c.Temperature);
    w.text(kInputNameA, c.InputName[0]);
    w.text(kInputNameB, c.InputName[1]);

    for (int n = 1; n <= kOutputCount; ++n) {
        const OutputChannel& out = c.output(n);
        const auto i = static_cast<std::size_t>(n - 1);
        w.text(kOutputNames[i], out.Name);
        w.integer(slot(kDelays, kIntBytes, n - 1), out.DelaySamples);
        w.integer(slot(kBandsInUse, kIntBytes, n - 1), out.PeqBandsInUse);
        for (int b = 1; b <= peqBandCount(n); ++b) {
            const PeqBand& band = out.band(b);
            const std::size_t at = slot(kBands[i], kBandRecordBytes, b - 1);
            w.real(at + band::kGain, band.GainDb);
            w.real(at + band::kFrequency, band.FrequencyHz);
            w.real(at + band::kQ, band.Q);
            w.byte(at + band::kType, band.FilterType);
        }
        w.real(slot(kGains, kDoubleBytes, n - 1), out.Gain);
        w.flag(kInverted + i, out.Inverted);
        w.flag(kMuted + i, out.Muted);

        const std::size_t x = slot(kCrossovers, kCrossoverRecordBytes, n - 1);
        w.single(x + xover::kHighPassFrequency, static_cast<float>(out.HighPassEdge.FrequencyHz));
        w.single(x + xover::kLowPassFrequency, static_cast<float>(out.LowPassEdge.FrequencyHz));
        w.integer(x + xover::kLowPassOrder, out.LowPassEdge.Order);
        w.integer(x + xover::kHighPassOrder, out.HighPassEdge.Order);
        w.byte(x + xover::kLowPassType, out.LowPassEdge.XoverType);
        w.byte(x + xover::kHighPassType, out.HighPassEdge.XoverType);
        w.flag(kSoloL + i, out.SoloL);
        w.flag(kSoloH + i, out.SoloH);

        w.integer(slot(kRoutes, kIntBytes, n - 1), out.Route);
        w.integer(slot(kGainsFromA, kIntBytes, n - 1), roundHalfEven(out.GainFromA * 10.0));
        w.integer(slot(kGainsFromB, kIntBytes, n - 1), roundHalfEven(out.GainFromB * 10.0));
        w.integer(slot(kDistances, kIntBytes, n - 1), out.RelativeDistanceSamples);
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        const DynamicsUnit& unit = c.unit(u);
        writeDynamics(w, unit, slot(kDynamics, kDynamicsRecordBytes, u - 1));
        w.integer(slot(kGateLevels, kIntBytes, u - 1), roundHalfEven(unit.gateLevel));
        w.integer(slot(kGateSlopes, kIntBytes, u - 1), roundHalfEven(unit.gateSlope));
    }
    for (int m = 0; m < 4; ++m) {
        w.integer(slot(kInputMatrix, kIntBytes, m),
                  roundHalfEven(c.InputMatrix[static_cast<std::size_t>(m)] * 10.0));
    }
    for (std::size_t v = 0; v < c.ResponseView.size(); ++v) {
        w.flag(kResponseView + v, c.ResponseView[v]);
    }
    for (std::size_t i = 0; i < c.MeasurementFile.size(); ++i) {
        w.text(kMeasurementFiles[i], c.MeasurementFile[i]);
    }
    w.integer(kMeasurementFormat, c.MeasurementFormat);
    w.single(kMeasurementSpl, c.MeasurementSpl);
    return record;
}

SaveResult SavePresetFile(const std::string& path, const ProcessorConfig& config) {
    SaveResult result;
    const PresetRecord record = BuildPresetRecord(config, path);
    std::string error;
    if (!writeFileAtomically(path, record, error)) {
        result.messages.push_back({MessageKind::Error, "Cannot save " + path + ": " + error});
        return result;
    }
    result.success = true;
    return result;
}

LoadResult OpenPresetBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                           ProcessorConfig& config, const ProgressCallback& progress) {
    config.resetToNew();
    return openRecord(bytes, path, config, progress, true);
}

LoadResult OpenPresetFile(const std::string& path, ProcessorConfig& config,
                          const ProgressCallback& progress) {
    config.resetToNew();
    LoadResult result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.messages.push_back({MessageKind::Error, path + ": " + systemMessage(errno)});
        return result;
    }
    // One byte more than a record is enough to tell that a file is too long.
    std::array<std::uint8_t, kRecordBytes + 1> buffer{};
    errno = 0;
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file);
    const int error = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    if (error != 0) {
        result.messages.push_back({MessageKind::Error, path + ": " + systemMessage(error)});
        return result;
    }
    return openRecord(std::span(buffer.data(), count), path, config, progress, true);
}

LoadResult ReadPresetBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                           ProcessorConfig& config) {
    config.resetToNew();
    return openRecord(bytes, path, config, {}, false);
}

}  // namespace kvn
