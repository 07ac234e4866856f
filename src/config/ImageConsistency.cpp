// The check of a received memory image: its copies, its ranges and its coefficients.
#include "config/ImageConsistency.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "config/CoefficientAddresses.h"
#include "config/CrossoverControls.h"
#include "config/DelayControls.h"
#include "config/DynamicsControls.h"
#include "config/Encodings.h"
#include "config/EqualizerControls.h"
#include "config/ImageLayout.h"
#include "config/LevelControls.h"
#include "config/MemoryImage.h"

namespace kvn {
namespace {

using namespace image;

std::string numberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

std::string unitName(int unit) {
    return "dynamics unit " + std::to_string(unit);
}

// One field of a parameter copy: where it lies, what it is called and what it may decode to.
struct Field {
    enum class Check { None, Range, Codes };

    std::size_t offset = 0;
    std::size_t bytes = 1;
    std::string name;
    Check check = Check::None;
    // Range: the decoded value lies in [minimum, maximum]; `unit` follows numbers in messages.
    double (*decode)(int raw) = nullptr;
    double minimum = 0.0;
    double maximum = 0.0;
    const char* unit = "";
    // Codes: the raw value is one of these.
    std::vector<int> codes;
};

double rawValue(int raw) {
    return raw;
}
// (273 - v) x 0.1 - 15, as the decoder computes it.
double bandGainDb(int raw) {
    return (123 - raw) / 10.0;
}
double bandQ(int raw) {
    return (200 - raw) / 10.0;
}

Field plain(std::size_t offset, std::size_t bytes, std::string name) {
    Field f;
    f.offset = offset;
    f.bytes = bytes;
    f.name = std::move(name);
    return f;
}

Field ranged(std::size_t offset, std::size_t bytes, std::string name, double minimum,
             double maximum, const char* unit = "", double (*decode)(int) = rawValue) {
    Field f = plain(offset, bytes, std::move(name));
    f.check = Field::Check::Range;
    f.decode = decode;
    f.minimum = minimum;
    f.maximum = maximum;
    f.unit = unit;
    return f;
}

Field coded(std::size_t offset, std::string name, std::vector<int> codes) {
    Field f = plain(offset, 1, std::move(name));
    f.check = Field::Check::Codes;
    f.codes = std::move(codes);
    return f;
}

Field flag(std::size_t offset, std::string name) {
    return coded(offset, std::move(name), {0, 1});
}

// SUB's bands share the general frequency range: until the equaliser first loads them (at
// start-up, in a memory never written) they hold 1000 Hz.
void addBands(std::vector<Field>& fields, int output, std::size_t first) {
    for (int b = 1; b <= peqBandCount(output); ++b) {
        const std::size_t at = first + param::kBandBytes * static_cast<std::size_t>(b - 1);
        const std::string band = outputTitle(output) + " band " + std::to_string(b);
        // The decoder knows the codes 0..11 and the sloped shelves' 14 and 15.
        fields.push_back(coded(at + param::kBandType, band + " type",
                               {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15}));
        fields.push_back(ranged(at + param::kBandFrequency, 2, band + " frequency",
                                kPeqMinFrequencyHz, kPeqMaxFrequencyHz, " Hz"));
        fields.push_back(ranged(at + param::kBandGain, 2, band + " gain", kPeqMinGainDb,
                                kPeqMaxGainDb, " dB", bandGainDb));
        fields.push_back(ranged(at + param::kBandQ, 1, band + " Q", kPeqMinQ, kPeqMaxQ, "", bandQ));
    }
}

void addCrossover(std::vector<Field>& fields, int output) {
    const std::size_t at =
        param::kCrossovers + param::kCrossoverBytes * static_cast<std::size_t>(output - 1);
    const std::string name = outputTitle(output);
    const double lowPassMaxHz =
        output == kSubOutput ? kSubLowPassMaxFrequencyHz : kXoverMaxFrequencyHz;
    fields.push_back(
        coded(at + param::kLowPassType, name + " low-pass edge type",
              {kXoverBypass, kButterworthLowPass, kLinkwitzRileyLowPass, kBesselLowPass}));
    fields.push_back(ranged(at + param::kLowPassFrequency, 2, name + " low-pass edge frequency",
                            kXoverMinFrequencyHz, lowPassMaxHz, " Hz"));
    fields.push_back(ranged(at + param::kLowPassOrder, 1, name + " low-pass edge order",
                            kXoverMinOrder, kXoverMaxOrder));
    fields.push_back(flag(at + param::kSoloL, name + " SoloL"));
    fields.push_back(
        coded(at + param::kHighPassType, name + " high-pass edge type",
              {kXoverBypass, kButterworthHighPass, kLinkwitzRileyHighPass, kBesselHighPass}));
    fields.push_back(ranged(at + param::kHighPassFrequency, 2, name + " high-pass edge frequency",
                            kXoverMinFrequencyHz, kXoverMaxFrequencyHz, " Hz"));
    fields.push_back(ranged(at + param::kHighPassOrder, 1, name + " high-pass edge order",
                            kXoverMinOrder, kXoverMaxOrder));
    fields.push_back(flag(at + param::kSoloH, name + " SoloH"));
}

void addDynamics(std::vector<Field>& fields, int unit, std::size_t at) {
    const std::string name = unitName(unit);
    fields.push_back(
        ranged(at + param::kThreshold, 1, name + " threshold position", 0, kThresholdTrackMax));
    fields.push_back(ranged(at + param::kRatio, 1, name + " ratio position", 0, kRatioTrackMax));
    fields.push_back(ranged(at + param::kKnee, 1, name + " knee position", 0, kKneeTrackMax));
    fields.push_back(flag(at + param::kKneeType, name + " knee type"));
    fields.push_back(flag(at + param::kBypass, name + " bypass"));
    fields.push_back(plain(at + param::kAttack, 1, name + " attack"));
    fields.push_back(plain(at + param::kLookAhead, 1, name + " look-ahead"));
    fields.push_back(plain(at + param::kHold, 1, name + " hold"));
    fields.push_back(plain(at + param::kRelease, 1, name + " release"));
}

void addSpeaker(std::vector<Field>& fields, int unit) {
    const std::size_t at =
        param::kSpeakers + param::kSpeakerBytes * static_cast<std::size_t>(unit - 1);
    const std::string name = unitName(unit);
    fields.push_back(plain(at + param::kLoadImpedance, 2, name + " load impedance"));
    fields.push_back(plain(at + param::kBoxPower, 2, name + " box power"));
    fields.push_back(plain(at + param::kAmpPower, 2, name + " amplifier power"));
    fields.push_back(plain(at + param::kAmpGain, 1, name + " amplifier gain"));
    fields.push_back(flag(at + param::kBalanced, name + " balanced"));
}

// Every field of one parameter copy, in the order of the copy.
std::vector<Field> makeFields() {
    std::vector<Field> fields;
    addBands(fields, 1, param::kOutput1Bands);
    addBands(fields, 2, param::kOutput2Bands);
    addBands(fields, 3, param::kSubBands);
    for (int n = 1; n <= kOutputCount; ++n) {
        addCrossover(fields, n);
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        const std::size_t at =
            param::kLevels + param::kLevelBytes * static_cast<std::size_t>(n - 1);
        fields.push_back(ranged(at + param::kLevelPosition, 2, outputTitle(n) + " level position",
                                0, kLevelTrackMax));
        fields.push_back(flag(at + param::kMuted, outputTitle(n) + " mute"));
        fields.push_back(flag(at + param::kInverted, outputTitle(n) + " polarity"));
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        fields.push_back(ranged(param::kDelays + static_cast<std::size_t>(n - 1), 1,
                                outputTitle(n) + " delay", 0, kMaxDelaySamples, " samples"));
    }
    fields.push_back(
        ranged(param::kTemperature, 1, "temperature", kTemperatureMinC, kTemperatureMaxC, " C"));
    addDynamics(fields, 1, param::kDynamics1);
    addDynamics(fields, 2, param::kDynamics2);
    addSpeaker(fields, 1);
    addSpeaker(fields, 2);
    for (std::size_t m = 0; m < 4; ++m) {
        fields.push_back(plain(param::kInputMatrix + m, 1, "input matrix m" + std::to_string(m)));
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        fields.push_back(
            ranged(param::kRoutes + i, 1, outputTitle(n) + " route", kRouteA, kRouteB));
        fields.push_back(plain(param::kDistances + i, 1, outputTitle(n) + " distance"));
    }
    return fields;
}

const std::vector<Field>& fields() {
    static const std::vector<Field> all = makeFields();
    return all;
}

int rawAt(std::span<const std::uint8_t> copy, const Field& f) {
    return f.bytes == 2 ? decodeField16(copy[f.offset], copy[f.offset + 1]) : copy[f.offset];
}

// "Output 1 level position 400 (0 to 361)"; empty when the field is in range.
std::string rangeProblem(const Field& f, int raw) {
    if (f.check == Field::Check::Codes) {
        if (std::find(f.codes.begin(), f.codes.end(), raw) != f.codes.end()) {
            return {};
        }
        std::string list;
        for (const int c : f.codes) {
            list += (list.empty() ? "" : ", ") + std::to_string(c);
        }
        return f.name + " " + std::to_string(raw) + " (one of " + list + ")";
    }
    if (f.check == Field::Check::Range) {
        const double value = f.decode(raw);
        if (value >= f.minimum && value <= f.maximum) {
            return {};
        }
        return f.name + " " + numberText(value) + f.unit + " (" + numberText(f.minimum) + " to " +
               numberText(f.maximum) + f.unit + ")";
    }
    return {};
}

// What a coefficient word belongs to, as the messages name it.
std::string wordGroup(int address) {
    for (int n = 1; n <= kOutputCount; ++n) {
        const std::string name = outputTitle(n);
        if (address == addr::gainFromA(n) || address == addr::gainFromB(n)) {
            return name + " input mix";
        }
        for (int b = 1; b <= peqBandCount(n); ++b) {
            if (address >= addr::peqBand(n, b) && address < addr::peqBand(n, b) + 5) {
                return name + " band " + std::to_string(b) + " coefficients";
            }
        }
        if (address >= addr::lowPassSection(n, 1) && address < addr::lowPassSection(n, 1) + 10) {
            return name + " low-pass edge coefficients";
        }
        if (n != kSubOutput && address >= addr::highPassSection(n, 1) &&
            address < addr::highPassSection(n, 1) + 10) {
            return name + " high-pass edge coefficients";
        }
        if (address == addr::delay(n)) {
            return name + " delay word";
        }
        if (address == addr::outputLevel(n)) {
            return name + " level word";
        }
    }
    if (address >= addr::inputMatrix(0) && address <= addr::inputMatrix(3)) {
        return "input matrix words";
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        if (address >= addr::dynamicsBase(u) && address < addr::dynamicsDetector(u)) {
            return unitName(u) + " gain table";
        }
        if (address == addr::dynamicsDetector(u)) {
            return unitName(u) + " detector coefficient";
        }
        if (address == addr::dynamicsFixedConstant(u)) {
            return unitName(u) + " fixed constant";
        }
        if (address == addr::dynamicsHold(u)) {
            return unitName(u) + " hold samples";
        }
        if (address == addr::dynamicsRelease(u)) {
            return unitName(u) + " release count";
        }
    }
    return address == addr::kConstant18 ? "constant word" : "reserved words";
}

bool integerWord(int address) {
    for (int n = 1; n <= kOutputCount; ++n) {
        if (address == addr::delay(n)) {
            return true;
        }
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        if (address == addr::dynamicsHold(u) || address == addr::dynamicsRelease(u)) {
            return true;
        }
    }
    return address == addr::kConstant18;
}

// The 22-bit two's-complement value of the word at `offset`.
int wordValue(std::span<const std::uint8_t> bytes, std::size_t offset) {
    const int v = ((bytes[offset] & 0x3F) << 16) | (bytes[offset + 1] << 8) | bytes[offset + 2];
    return v >= (1 << 21) ? v - (1 << 22) : v;
}

void addOnce(std::vector<std::string>& names, std::string name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
    }
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) {
        text += (text.empty() ? "" : ", ") + n;
    }
    return text;
}

bool gainTableWord(int address) {
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        if (address >= addr::dynamicsBase(u) && address < addr::dynamicsDetector(u)) {
            return true;
        }
    }
    return false;
}

// The gain tables are left out: they depend on what the image does not carry (the makeup gain,
// a start-up threshold between the threshold track's steps or, on SUB, above its top), so the
// parameters read cannot design them again; a damaged table shows as banks that differ.
void compareDesign(std::span<const std::uint8_t> image, ImageConsistency& result) {
    ProcessorConfig decoded;
    decoded.resetToNew();
    if (!LoadImage(image, decoded).loaded) {
        return;
    }
    const ImageBuffer fresh = BuildImage(decoded);
    for (int a = 0; a < addr::kWordCount; ++a) {
        if (gainTableWord(a)) {
            continue;
        }
        const int tolerance = integerWord(a) ? 0 : kDesignToleranceLsb;
        if (std::abs(wordValue(image, wordOffset(a)) - wordValue(fresh, wordOffset(a))) >
            tolerance) {
            addOnce(result.designDiffers, wordGroup(a));
        }
    }
}

}  // namespace

std::string ImageConsistency::problem() const {
    std::string text = refusal;
    const auto sentence = [&text](const char* opening, const std::vector<std::string>& names) {
        if (!names.empty()) {
            text += (text.empty() ? "" : " ") + (opening + joined(names)) + ".";
        }
    };
    sentence("The two copies of the memory image differ: ", copiesDiffer);
    sentence("The memory image holds values out of range: ", outOfRange);
    return text;
}

std::string ImageConsistency::warning() const {
    if (designDiffers.empty()) {
        return {};
    }
    return "The coefficients of " + joined(designDiffers) +
           " differ from the design of the parameters the memory holds (it may have been written "
           "by another program version); they are designed again from the parameters.";
}

ImageConsistency checkImageConsistency(std::span<const std::uint8_t> image) {
    ImageConsistency result;
    if (image.size() < kBuiltBytes) {
        result.refusal = "The memory image is incomplete: " + std::to_string(image.size()) +
                         " of " + std::to_string(kBuiltBytes) + " bytes were received.";
        return result;
    }
    const auto first = image.subspan(kParameters, kParameterCopyBytes);
    const auto second = image.subspan(kParametersCopy2, kParameterCopyBytes);
    for (const Field& f : fields()) {
        if (!std::equal(first.begin() + static_cast<std::ptrdiff_t>(f.offset),
                        first.begin() + static_cast<std::ptrdiff_t>(f.offset + f.bytes),
                        second.begin() + static_cast<std::ptrdiff_t>(f.offset))) {
            addOnce(result.copiesDiffer, f.name);
        }
    }
    for (int a = 0; a < addr::kWordCount; ++a) {
        const std::size_t at = wordOffset(a);
        if (!std::equal(image.begin() + static_cast<std::ptrdiff_t>(at),
                        image.begin() + static_cast<std::ptrdiff_t>(at + kWordBytes),
                        image.begin() + static_cast<std::ptrdiff_t>(at + kBlockBytes))) {
            addOnce(result.copiesDiffer, wordGroup(a));
        }
    }
    if (!result.copiesDiffer.empty()) {
        return result;
    }
    for (const Field& f : fields()) {
        std::string problem = rangeProblem(f, rawAt(first, f));
        if (!problem.empty()) {
            result.outOfRange.push_back(std::move(problem));
        }
    }
    if (result.outOfRange.empty()) {
        compareDesign(image, result);
    }
    return result;
}

}  // namespace kvn
