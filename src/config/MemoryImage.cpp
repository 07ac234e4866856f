// Building and decoding the processor memory image.
#include "config/MemoryImage.h"

#include <algorithm>
#include <string>

#include "config/CoefficientAddresses.h"
#include "config/Encodings.h"
#include "config/LoadRefresh.h"
#include "config/Windows1252.h"
#include "dsp/DynamicsMath.h"

namespace kvn {

using namespace image;

namespace {

using ParameterCopy = std::array<std::uint8_t, kParameterCopyBytes>;

constexpr int kConstantWord = 18;
constexpr std::uint8_t kSpace = 0x20;

struct NameField {
    std::size_t offset;
    std::size_t width;
};

// The six names in image order: SystemName, inputs A and B, outputs 1, 2 and SUB.
template <typename Config>
auto names(Config& c) {
    return std::array{&c.SystemName,     &c.InputName[0],   &c.InputName[1],
                      &c.output(1).Name, &c.output(2).Name, &c.output(3).Name};
}
constexpr std::array<NameField, 6> kNameFields = {{{kSystemName, kSystemNameWidth},
                                                   {kInputNameA, kChannelNameWidth},
                                                   {kInputNameB, kChannelNameWidth},
                                                   {kOutput1Name, kChannelNameWidth},
                                                   {kOutput2Name, kChannelNameWidth},
                                                   {kSubName, kChannelNameWidth}}};

std::size_t bandsOffset(int output) {
    return output == 1   ? param::kOutput1Bands
           : output == 2 ? param::kOutput2Bands
                         : param::kSubBands;
}

// Type code of a band in the parameter block. The shelves with slope (15, 16) are not in the
// processor's list and travel as 14 and 15.
std::uint8_t bandTypeCode(std::uint8_t filterType) {
    if (filterType <= kHiPassQ) {
        return filterType;
    }
    if (filterType == kLowShelfSlope || filterType == kHighShelfSlope) {
        return static_cast<std::uint8_t>(filterType - 1);
    }
    return kBypass;
}

std::uint8_t filterTypeOfCode(std::uint8_t code) {
    if (code <= kHiPassQ) {
        return code;
    }
    if (code == kLowShelfSlope - 1 || code == kHighShelfSlope - 1) {
        return static_cast<std::uint8_t>(code + 1);
    }
    return kBypass;
}

// Writer of one parameter copy, and reader of one from the received bytes (which are known to be
// long enough before any read).
class ParameterWriter {
public:
    explicit ParameterWriter(ParameterCopy& bytes) : bytes_(bytes) {}
    void byte(std::size_t at, int value) { bytes_[at] = encodeByteField(value); }
    void flag(std::size_t at, bool value) { bytes_[at] = value ? 1 : 0; }
    void field16(std::size_t at, int value) {
        const auto v = encodeField16(value);
        bytes_[at] = v[0];
        bytes_[at + 1] = v[1];
    }

private:
    ParameterCopy& bytes_;
};

class ParameterReader {
public:
    explicit ParameterReader(std::span<const std::uint8_t> copy) : bytes_(copy) {}
    int byte(std::size_t at) const { return bytes_[at]; }
    bool flag(std::size_t at) const { return bytes_[at] != 0; }
    int field16(std::size_t at) const { return decodeField16(bytes_[at], bytes_[at + 1]); }

private:
    std::span<const std::uint8_t> bytes_;
};

class WordTable {
public:
    void fixed(int address, double value) { words_[index(address)] = encodeFixedWord(value); }
    void integer(int address, int value) { words_[index(address)] = encodeIntegerWord(value); }
    void section(int address, const TSOS& s) {
        for (int i = 0; i < 5; ++i) {
            fixed(address + i, s.coefficient(i));
        }
    }
    const Word& at(int address) const { return words_[index(address)]; }

private:
    static std::size_t index(int address) { return static_cast<std::size_t>(address); }
    std::array<Word, addr::kWordCount> words_{};
};

WordTable coefficientWords(const ProcessorConfig& config) {
    WordTable w;
    for (int n = 1; n <= kOutputCount; ++n) {
        const OutputChannel& out = config.output(n);
        w.fixed(addr::gainFromA(n), out.GainFromA);
        w.fixed(addr::gainFromB(n), out.GainFromB);
        for (int b = 1; b <= peqBandCount(n); ++b) {
            w.section(addr::peqBand(n, b), out.band(b));
        }
        // Each edge's second section goes before its first; the two are in series, so the
        // response is the same.
        w.section(addr::lowPassSection(n, 1), out.LowPassEdge.section(2));
        w.section(addr::lowPassSection(n, 2), out.LowPassEdge.section(1));
        if (n != kSubOutput) {
            w.section(addr::highPassSection(n, 1), out.HighPassEdge.section(2));
            w.section(addr::highPassSection(n, 2), out.HighPassEdge.section(1));
        }
        // Held so that the + 1 cannot overflow; the integer word saturates anyway.
        w.integer(addr::delay(n), std::clamp(out.DelaySamples, -1, 0xFFFF) + 1);
        w.fixed(addr::outputLevel(n), out.levelCoefficient());
    }
    for (int m = 0; m < 4; ++m) {
        w.fixed(addr::inputMatrix(m), config.InputMatrix[static_cast<std::size_t>(m)]);
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        const DynamicsUnit& unit = config.unit(u);
        for (int k = 0; k < kGainTableSize; ++k) {
            w.fixed(addr::dynamicsGainTable(u, k), unit.gainTable[static_cast<std::size_t>(k)]);
        }
        w.fixed(addr::dynamicsDetector(u), unit.detectorCoefficient);
        w.fixed(addr::dynamicsFixedConstant(u), unit.fixedConstant);
        w.integer(addr::dynamicsHold(u), unit.holdSamples);
        w.integer(addr::dynamicsRelease(u), unit.releaseCount);
    }
    w.integer(addr::kConstant18, kConstantWord);
    for (int a = addr::kFirstZeroWord; a <= addr::kLastZeroWord; ++a) {
        w.fixed(a, 0.0);
    }
    return w;
}

void writeBands(ParameterWriter& p, const OutputChannel& out, int n) {
    for (int b = 1; b <= peqBandCount(n); ++b) {
        const PeqBand& band = out.band(b);
        const std::size_t at = bandsOffset(n) + param::kBandBytes * static_cast<std::size_t>(b - 1);
        p.byte(at + param::kBandType, bandTypeCode(band.FilterType));
        p.field16(at + param::kBandFrequency, roundHalfEven(band.FrequencyHz));
        p.field16(at + param::kBandGain, roundHalfEven(123.0 - 10.0 * band.GainDb));
        p.byte(at + param::kBandQ, roundHalfEven(200.0 - 10.0 * band.Q));
    }
}

void writeCrossover(ParameterWriter& p, const OutputChannel& out, std::size_t at) {
    p.byte(at + param::kLowPassType, out.LowPassEdge.XoverType);
    p.field16(at + param::kLowPassFrequency, roundHalfEven(out.LowPassEdge.FrequencyHz));
    p.byte(at + param::kLowPassOrder, out.LowPassEdge.Order);
    p.flag(at + param::kSoloL, out.SoloL);
    p.byte(at + param::kHighPassType, out.HighPassEdge.XoverType);
    p.field16(at + param::kHighPassFrequency, roundHalfEven(out.HighPassEdge.FrequencyHz));
    p.byte(at + param::kHighPassOrder, out.HighPassEdge.Order);
    p.flag(at + param::kSoloH, out.SoloH);
}

void writeDynamics(ParameterWriter& p, const DynamicsUnit& u, int unit, std::size_t at) {
    p.byte(at + param::kThreshold, trackFromThreshold(u.thresholdDbfs, unit));
    p.byte(at + param::kRatio, trackFromRatio(u.ratio));
    p.byte(at + param::kKnee, roundHalfEven(20.0 - 2.0 * u.kneeDb));
    p.flag(at + param::kKneeType, u.kneeType != 0);
    p.flag(at + param::kBypass, u.bypass != 0);
    p.byte(at + param::kAttack,
           roundHalfEven(attackFromDetectorCoefficient(u.detectorCoefficient)));
    p.byte(at + param::kLookAhead, roundHalfEven(lookAheadMsFromSamples(u.lookAheadSamples)));
    p.byte(at + param::kHold, roundHalfEven(holdMsFromSamples(u.holdSamples, u.lookAheadSamples)));
    p.byte(at + param::kRelease, roundHalfEven(releaseRateFromCount(u.releaseCount)));
}

void writeSpeaker(ParameterWriter& p, const DynamicsUnit& u, std::size_t at) {
    p.field16(at + param::kLoadImpedance, roundHalfEven(u.loadImpedanceOhm * 100.0));
    p.field16(at + param::kBoxPower, roundHalfEven(u.boxPowerW));
    p.field16(at + param::kAmpPower, roundHalfEven(u.ampPowerW));
    p.byte(at + param::kAmpGain, roundHalfEven(u.ampGain));
    p.flag(at + param::kBalanced, u.balanced != 0);
}

ParameterCopy parameterCopy(const ProcessorConfig& config) {
    ParameterCopy bytes{};
    ParameterWriter p(bytes);
    for (int n = 1; n <= kOutputCount; ++n) {
        const OutputChannel& out = config.output(n);
        const auto i = static_cast<std::size_t>(n - 1);
        writeBands(p, out, n);
        writeCrossover(p, out, param::kCrossovers + param::kCrossoverBytes * i);
        const std::size_t level = param::kLevels + param::kLevelBytes * i;
        p.field16(level + param::kLevelPosition, out.LevelPosition);
        p.flag(level + param::kMuted, out.Muted);
        p.flag(level + param::kInverted, out.Inverted);
        p.byte(param::kDelays + i, out.DelaySamples);
        p.byte(param::kRoutes + i, out.Route);
        p.byte(param::kDistances + i, out.RelativeDistanceSamples);
    }
    p.byte(param::kTemperature, config.Temperature);
    writeDynamics(p, config.unit(1), 1, param::kDynamics1);
    writeDynamics(p, config.unit(2), 2, param::kDynamics2);
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        writeSpeaker(p, config.unit(u),
                     param::kSpeakers + param::kSpeakerBytes * static_cast<std::size_t>(u - 1));
    }
    for (std::size_t m = 0; m < 4; ++m) {
        p.byte(param::kInputMatrix + m, roundHalfEven(config.InputMatrix[m] * 10.0));
    }
    return bytes;
}

void readBands(const ParameterReader& p, OutputChannel& out, int n) {
    for (int b = 1; b <= peqBandCount(n); ++b) {
        PeqBand& band = out.band(b);
        const std::size_t at = bandsOffset(n) + param::kBandBytes * static_cast<std::size_t>(b - 1);
        band.FilterType =
            filterTypeOfCode(static_cast<std::uint8_t>(p.byte(at + param::kBandType)));
        band.FrequencyHz = p.field16(at + param::kBandFrequency);
        // (273 - v) x 0.1 - 15, written as the gain slider computes it so that 123 gives exactly 0.
        band.GainDb = (123 - p.field16(at + param::kBandGain)) / 10.0;
        band.Q = (200 - p.byte(at + param::kBandQ)) / 10.0;
    }
}

void readCrossover(const ParameterReader& p, OutputChannel& out, std::size_t at) {
    out.LowPassEdge.XoverType = static_cast<std::uint8_t>(p.byte(at + param::kLowPassType));
    out.LowPassEdge.FrequencyHz = p.field16(at + param::kLowPassFrequency);
    out.LowPassEdge.Order = p.byte(at + param::kLowPassOrder);
    out.SoloL = p.flag(at + param::kSoloL);
    out.HighPassEdge.XoverType = static_cast<std::uint8_t>(p.byte(at + param::kHighPassType));
    out.HighPassEdge.FrequencyHz = p.field16(at + param::kHighPassFrequency);
    out.HighPassEdge.Order = p.byte(at + param::kHighPassOrder);
    out.SoloH = p.flag(at + param::kSoloH);
}

void readDynamics(const ParameterReader& p, DynamicsUnit& u, int unit, std::size_t at) {
    u.thresholdDbfs = static_cast<float>(thresholdFromTrack(p.byte(at + param::kThreshold), unit));
    u.ratio = static_cast<float>(ratioFromTrack(p.byte(at + param::kRatio)));
    u.kneeDb = static_cast<float>(kneeFromTrack(p.byte(at + param::kKnee)));
    u.kneeType = static_cast<std::uint8_t>(p.byte(at + param::kKneeType));
    u.bypass = p.flag(at + param::kBypass) ? 1 : 0;
    u.detectorCoefficient = detectorCoefficientFromAttack(p.byte(at + param::kAttack));
    u.lookAheadSamples = lookAheadSamplesFromMs(p.byte(at + param::kLookAhead));
    u.holdSamples = holdSamplesFromMs(p.byte(at + param::kHold), u.lookAheadSamples);
    u.releaseCount = releaseCountFromRate(p.byte(at + param::kRelease));
}

void readSpeaker(const ParameterReader& p, DynamicsUnit& u, std::size_t at) {
    u.loadImpedanceOhm = static_cast<float>(p.field16(at + param::kLoadImpedance) / 100.0);
    u.boxPowerW = static_cast<float>(p.field16(at + param::kBoxPower));
    u.ampPowerW = static_cast<float>(p.field16(at + param::kAmpPower));
    u.ampGain = static_cast<float>(p.byte(at + param::kAmpGain));
    u.balanced = static_cast<std::uint8_t>(p.byte(at + param::kBalanced));
}

void readParameters(const ParameterReader& p, ProcessorConfig& config) {
    for (int n = 1; n <= kOutputCount; ++n) {
        OutputChannel& out = config.output(n);
        const auto i = static_cast<std::size_t>(n - 1);
        readBands(p, out, n);
        readCrossover(p, out, param::kCrossovers + param::kCrossoverBytes * i);
        const std::size_t level = param::kLevels + param::kLevelBytes * i;
        out.LevelPosition = p.field16(level + param::kLevelPosition);
        out.Muted = p.flag(level + param::kMuted);
        out.Inverted = p.flag(level + param::kInverted);
        out.Route = p.byte(param::kRoutes + i);
        out.RelativeDistanceSamples = p.byte(param::kDistances + i);
    }
    config.Temperature = p.byte(param::kTemperature);
    readDynamics(p, config.unit(1), 1, param::kDynamics1);
    readDynamics(p, config.unit(2), 2, param::kDynamics2);
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        readSpeaker(p, config.unit(u),
                    param::kSpeakers + param::kSpeakerBytes * static_cast<std::size_t>(u - 1));
    }
    for (std::size_t m = 0; m < 4; ++m) {
        config.InputMatrix[m] = p.byte(param::kInputMatrix + m) / 10.0;
    }
}

}  // namespace

ImageBuffer BuildImage(const ProcessorConfig& config) {
    ImageBuffer image{};
    const auto length = encodeField16(kLengthFieldValue);
    std::copy(length.begin(), length.end(), image.begin() + kLength);
    image[kVersion] = kFormatVersion;
    image[kReserved3] = 0x00;
    std::fill_n(image.begin() + kOnes, kOnesCount, std::uint8_t{0x01});

    const auto texts = names(config);
    for (std::size_t i = 0; i < kNameFields.size(); ++i) {
        const NameField field = kNameFields[i];
        std::string bytes = toWindows1252(*texts[i]);
        bytes.resize(std::min(bytes.size(), field.width));
        std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(field.offset), field.width, kSpace);
        std::copy(bytes.begin(), bytes.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(field.offset));
    }
    std::fill_n(image.begin() + kReserved76, kReserved76Width, kSpace);
    std::fill_n(image.begin() + kReserved94, kChannelNameWidth, kSpace);

    const WordTable words = coefficientWords(config);
    for (int a = 0; a < addr::kWordCount; ++a) {
        const Word& w = words.at(a);
        std::copy(w.begin(), w.end(), image.begin() + wordOffset(a));
        std::copy(w.begin(), w.end(), image.begin() + wordOffset(a) + kBlockBytes);
    }

    const ParameterCopy params = parameterCopy(config);
    std::copy(params.begin(), params.end(), image.begin() + kParameters);
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        const DynamicsUnit& unit = config.unit(u);
        image[kGates + gateLevelOffset(u)] = encodeByteField(roundHalfEven(unit.gateLevel));
        image[kGates + gateSlopeOffset(u)] = encodeByteField(roundHalfEven(unit.gateSlope));
    }
    std::copy(params.begin(), params.end(), image.begin() + kParametersCopy2);
    std::fill(image.begin() + kFill, image.begin() + kBuiltBytes, kFillByte);
    return image;
}

LoadResult DecodeImage(std::span<const std::uint8_t> received, ProcessorConfig& config) {
    LoadResult result;
    if (received.size() < kBuiltBytes) {
        const std::string text =
            received.empty()
                ? "No memory image was received."
                : "The memory image is incomplete: " + std::to_string(received.size()) + " of " +
                      std::to_string(kBuiltBytes) + " bytes were received.";
        result.messages.push_back({MessageKind::Error, text});
        return result;
    }

    ProcessorConfig decoded = config;
    const auto texts = names(decoded);
    for (std::size_t i = 0; i < kNameFields.size(); ++i) {
        const auto field = received.subspan(kNameFields[i].offset, kNameFields[i].width);
        *texts[i] = fromWindows1252(std::string(field.begin(), field.end()));
    }

    readParameters(ParameterReader(received.subspan(kParameters, kParameterCopyBytes)), decoded);

    for (int n = 1; n <= kOutputCount; ++n) {
        const int lowByte = received[wordOffset(addr::delay(n)) + kWordBytes - 1];
        decoded.output(n).DelaySamples = std::clamp(lowByte - 1, 0, kMaxDelaySamples);
    }

    const bool hasGates = received[kVersion] >= kFirstVersionWithGates;
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        DynamicsUnit& unit = decoded.unit(u);
        unit.gateLevel = hasGates ? received[kGates + gateLevelOffset(u)] : kOlderGateLevel;
        unit.gateSlope = hasGates ? received[kGates + gateSlopeOffset(u)] : kOlderGateSlope;
    }

    config = std::move(decoded);
    result.success = true;
    result.loaded = true;
    return result;
}

LoadResult LoadImage(std::span<const std::uint8_t> received, ProcessorConfig& config,
                     const ProgressCallback& progress) {
    if (progress) {
        progress(ProgressStage{kProgressBarHidden, "Loading..."});
    }
    LoadResult result = DecodeImage(received, config);
    if (result.loaded) {
        result.messages = refreshAfterLoad(config, LoadSource::Image);
    }
    return result;
}

}  // namespace kvn
