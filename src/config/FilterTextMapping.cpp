// Equaliser bands and the filter text.
#include "config/FilterTextMapping.h"

#include <algorithm>
#include <cmath>

#include "config/EqualizerControls.h"
#include "config/LevelControls.h"
#include "dsp/Response.h"

namespace kvn {
namespace {

using T = TextFilterType;

// How far a file's value may lie outside a range and still be read as its end: half the step of
// the editor's field (whole hertz, Q and gain to 0.1).
constexpr double kFrequencyTolerance = 0.5;
constexpr double kQTolerance = 0.05;
constexpr double kGainTolerance = 0.05;
// The shelves with slope are the plain shelf design while their slope term is at least this
// (below it the design holds the term at 0.1 and gives another filter).
constexpr double kShelfSlopeTermFloor = 0.1;
// The step change is measured where the response is above this.
constexpr float kAudibleFloorDb = -30.0f;
// Slope in dB per octave of a shelf with slope S = 1.
constexpr double kDbPerSlope = 12.0;

std::string number(double value, int decimals) {
    return filterTextNumber(value, decimals);
}

double omega(double frequencyHz) {
    return 2.0 * kPi * frequencyHz / kSampleRate;
}

double frequencyOfOmega(double w) {
    return w * kSampleRate / (2.0 * kPi);
}

// The shelf-with-slope term the design takes the square root of; S is the slope.
double slopeTerm(double gainDb, double slope) {
    const double a = std::pow(10.0, gainDb / 40.0);
    return (a * a + 1.0) / slope - (a - 1.0) * (a - 1.0);
}

// The first-order shelves are H(s) = (s + G b) / (s + b) (low) and (1 + G b s) / (1 + b s)
// (high) with s = j tan(w / 2): the gain is half the shelf's in dB where tan(w / 2) is sqrt(G) b
// (low) or 1 / (sqrt(G) b) (high). The band's b comes from its corner gain at its frequency.
double shelfRatio(double g) {
    const double gc = shelfCornerGain(g);
    return std::sqrt((gc * gc - 1.0) / (g * g - gc * gc));
}

double halfGainFrequency(const PeqBand& band) {
    if (band.GainDb == 0.0) {
        return band.FrequencyHz;
    }
    const double g = std::pow(10.0, band.GainDb / 20.0);
    const double t = std::tan(omega(band.FrequencyHz) / 2.0);
    const double x = band.FilterType == kShelvLow6dB ? std::sqrt(g) * shelfRatio(g) * t
                                                     : t / (std::sqrt(g) * shelfRatio(g));
    return frequencyOfOmega(2.0 * std::atan(x));
}

double bandFrequencyOfHalfGain(double halfGainHz, double gainDb, bool low) {
    if (gainDb == 0.0) {
        return halfGainHz;
    }
    const double g = std::pow(10.0, gainDb / 20.0);
    const double x = std::tan(omega(halfGainHz) / 2.0);
    const double t = low ? x / (std::sqrt(g) * shelfRatio(g)) : x * std::sqrt(g) * shelfRatio(g);
    return frequencyOfOmega(2.0 * std::atan(t));
}

// The band-pass and notch sections have the bandwidth term t = tan(w0 / (2 Q)); the analogue
// filter of the text has sin(w0) / (2 Q) there. From the designed a2 = -(2k - 1), k = 1 / (1 + t).
double textQOfBandwidthSection(const PeqBand& band) {
    const double k = (1.0 - band.a2) / 2.0;
    const double t = (1.0 - k) / k;
    return std::sin(omega(band.FrequencyHz)) / (2.0 * t);
}

double bandQOfTextQ(double frequencyHz, double q) {
    const double w0 = omega(frequencyHz);
    return w0 / (2.0 * std::atan(std::sin(w0) / (2.0 * q)));
}

struct Range {
    const char* what;
    const char* unit;
    double lowest;
    double highest;
    double tolerance;
};

// Empty when `value` lies in the range; otherwise names it (with the file's value when the two
// differ by a conversion).
std::string outside(const Range& r, double fileValue, double value) {
    if (value >= r.lowest - r.tolerance && value <= r.highest + r.tolerance) {
        return {};
    }
    const int decimals = r.tolerance < 0.1 ? 2 : 1;
    const std::string given = std::string(r.what) + " " + number(fileValue, decimals) + r.unit;
    const std::string range =
        number(r.lowest, 2) + " to " + number(r.highest, 2) + std::string(r.unit);
    const std::string held = number(value, decimals);
    if (held != number(fileValue, decimals)) {
        return given + " is " + (std::isfinite(value) ? held : "undefined") + r.unit +
               " in the editor, outside its range " + range;
    }
    return given + " is outside the editor's range " + range;
}

PeqBand designedBand(std::uint8_t type, double frequencyHz, double q, double gainDb) {
    PeqBand band;
    band.FilterType = type;
    band.FrequencyHz = frequencyHz;
    band.Q = q;
    band.GainDb = gainDb;
    band.design();
    return band;
}

std::uint8_t bandType(TextFilterType type) {
    switch (type) {
        case T::PK:
            return kParametric;
        case T::LP:
            return kLowPassButtw;
        case T::HP:
            return kHiPassButtw;
        case T::LPQ:
            return kLowPassQ;
        case T::HPQ:
            return kHiPassQ;
        case T::BP:
            return kBandPass;
        case T::NO:
            return kStopBand;
        case T::AP:
            return kAllPass2;
        case T::LS6:
            return kShelvLow6dB;
        case T::HS6:
            return kShelvHigh6dB;
        case T::LSC:
            return kLowShelfSlope;
        case T::HSC:
            return kHighShelfSlope;
        case T::None:
            break;
    }
    return kBypass;
}

void setWhy(std::string* why, std::string text) {
    if (why != nullptr) {
        *why = std::move(text);
    }
}

}  // namespace

std::optional<TextFilter> textFilterFromBand(const PeqBand& band, std::string* why) {
    TextFilter f;
    f.frequencyHz = band.FrequencyHz;
    switch (band.FilterType) {
        case kBypass:
            f.on = false;
            f.frequencyHz = 0.0;
            return f;
        case kParametric:
            f.type = T::PK;
            f.gainDb = band.GainDb;
            f.q = band.Q;
            return f;
        case kShelvLow6dB:
        case kShelvHigh6dB:
            f.type = band.FilterType == kShelvLow6dB ? T::LS6 : T::HS6;
            f.frequencyHz = halfGainFrequency(band);
            f.gainDb = band.GainDb;
            return f;
        case kLowPassButtw:
            f.type = T::LP;
            return f;
        case kHiPassButtw:
            f.type = T::HP;
            return f;
        case kBandPass:
            f.type = T::BP;
            f.gainDb = band.GainDb;
            f.q = textQOfBandwidthSection(band);
            return f;
        case kStopBand:
            f.type = T::NO;
            f.q = textQOfBandwidthSection(band);
            return f;
        case kAllPass2:
            f.type = T::AP;
            f.q = band.Q;
            return f;
        case kLowPassQ:
            f.type = T::LPQ;
            f.q = band.Q;
            return f;
        case kHiPassQ:
            f.type = T::HPQ;
            f.q = band.Q;
            return f;
        case kLowShelfSlope:
        case kHighShelfSlope:
            if (!(slopeTerm(band.GainDb, band.Q) >= kShelfSlopeTermFloor)) {
                setWhy(why, "a shelf with slope " + number(kDbPerSlope * band.Q, 2) + " dB at " +
                                number(band.GainDb, 2) +
                                " dB is steeper than the filter text's shelf allows");
                return std::nullopt;
            }
            f.type = band.FilterType == kLowShelfSlope ? T::LSC : T::HSC;
            f.slopeDb = kDbPerSlope * band.Q;
            f.gainDb = band.GainDb;
            return f;
        default:
            break;
    }
    const char* name = filterTypeName(band.FilterType);
    setWhy(why,
           (*name != '\0' ? std::string(name) : "type code " + std::to_string(band.FilterType)) +
               " has no counterpart in the filter text");
    return std::nullopt;
}

std::optional<PeqBand> bandFromTextFilter(const TextFilter& filter, int output, std::string* why) {
    const std::uint8_t type = filter.on ? bandType(filter.type) : std::uint8_t{kBypass};
    if (type == kBypass) {
        return PeqBand{};
    }
    const double maxHz = output == kSubOutput ? kSubPeqMaxFrequencyHz : kPeqMaxFrequencyHz;
    const Range frequency{"Fc", " Hz", kPeqMinFrequencyHz, maxHz, kFrequencyTolerance};
    const bool firstOrderShelf = type == kShelvLow6dB || type == kShelvHigh6dB;
    const Range gain{"Gain", " dB", kPeqMinGainDb,
                     firstOrderShelf ? kShelfMaxGainDb : kPeqMaxGainDb, kGainTolerance};
    std::string problem = outside(frequency, filter.frequencyHz, filter.frequencyHz);
    if (problem.empty()) {
        problem = outside(gain, filter.gainDb, filter.gainDb);
    }
    double frequencyHz = filter.frequencyHz;
    // Types without a Q keep the editor's default one.
    const bool qless = type == kLowPassButtw || type == kHiPassButtw || firstOrderShelf;
    double q = qless ? PeqBand{}.Q : filter.q;
    if (problem.empty() && firstOrderShelf) {
        frequencyHz =
            bandFrequencyOfHalfGain(filter.frequencyHz, filter.gainDb, type == kShelvLow6dB);
        problem = outside(frequency, filter.frequencyHz, frequencyHz);
    }
    if (problem.empty() && (type == kBandPass || type == kStopBand)) {
        const double lowest = type == kBandPass ? 1.7 : 1.0;
        q = filter.q > 0.0 ? bandQOfTextQ(frequencyHz, filter.q) : 0.0;
        problem = outside({"Q", "", lowest, kPeqMaxQ, kQTolerance}, filter.q, q);
    } else if (problem.empty() && (type == kLowShelfSlope || type == kHighShelfSlope)) {
        q = filter.slopeDb / kDbPerSlope;
        problem = outside({"slope", " dB", kDbPerSlope * kPeqMinQ, kDbPerSlope * kPeqMaxQ,
                           kDbPerSlope * kQTolerance},
                          filter.slopeDb, filter.slopeDb);
        if (problem.empty() && !(slopeTerm(filter.gainDb, q) >= kShelfSlopeTermFloor)) {
            problem = "slope " + number(filter.slopeDb, 2) + " dB at Gain " +
                      number(filter.gainDb, 2) + " dB is steeper than the editor's shelf allows";
        }
    } else if (problem.empty() && type != kLowPassButtw && type != kHiPassButtw &&
               !firstOrderShelf) {
        problem = outside({"Q", "", kPeqMinQ, kPeqMaxQ, kQTolerance}, filter.q, filter.q);
    }
    if (!problem.empty()) {
        setWhy(why, problem);
        return std::nullopt;
    }
    const bool gainless = type != kParametric && type != kBandPass && !firstOrderShelf &&
                          type != kLowShelfSlope && type != kHighShelfSlope;
    return designedBand(type, frequencyHz, q, gainless ? 0.0 : filter.gainDb);
}

EqualizerExport exportEqualizer(const ProcessorConfig& config, int output) {
    const OutputChannel& out = config.output(output);
    FilterTextList list;
    for (int n = 1; n <= peqBandCount(output); ++n) {
        std::string why;
        const auto filter = textFilterFromBand(out.band(n), &why);
        if (!filter) {
            return {{}, outputTitle(output) + " band " + std::to_string(n) + ": " + why};
        }
        list.filters.push_back(*filter);
    }
    // Names come from files and the processor: no line breaks in a comment.
    const auto plain = [](std::string text) {
        std::replace_if(
            text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
            ' ');
        return text;
    };
    const std::string comment = "KVN 350 " + outputTitle(output) + " equaliser (" +
                                plain(out.Name) + "), system " + plain(config.SystemName);
    // Loading a band puts its frequency on a step of the frequency slider, and the processor runs
    // that frequency: a preset's 120 Hz is exported as 119.98 Hz.
    const std::string frequencies =
        "Frequencies as the processor runs them: the equaliser holds each band on a step of its "
        "frequency slider";
    return {writeFilterText(list, {comment, frequencies}), {}};
}

EqualizerImportCheck checkEqualizerImport(const ProcessorConfig& config, int output,
                                          std::string_view text, bool skipBadLines) {
    FilterTextParse parsed = parseFilterText(text, skipBadLines);
    if (parsed.problem) {
        return {std::nullopt, parsed.problem, parsed.skipped};
    }
    const auto refuse = [&parsed](FilterTextProblem problem) {
        return EqualizerImportCheck{std::nullopt, std::move(problem), parsed.skipped};
    };
    const OutputChannel& out = config.output(output);
    const int bandCount = peqBandCount(output);
    EqualizerImport import;
    import.output = output;
    import.preampDb = parsed.list.preampDb;
    import.levelPosition = out.LevelPosition;
    std::vector<PeqBand> exact;
    for (const TextFilter& filter : parsed.list.filters) {
        const int n = static_cast<int>(import.bands.size()) + 1;
        if (n > bandCount) {
            return refuse(FilterTextProblem{
                filter.line, outputTitle(output) + " has " + std::to_string(bandCount) +
                                 " bands; this is filter " + std::to_string(n)});
        }
        std::string why;
        auto band = bandFromTextFilter(filter, output, &why);
        if (band && band->FilterType != kBypass) {
            exact.push_back(*band);
            loadBandControls(*band, output == kSubOutput);
            if (!textFilterFromBand(*band, &why)) {
                band.reset();
            }
        }
        if (!band) {
            return refuse(FilterTextProblem{filter.line, why});
        }
        import.bands.push_back(*band);
    }
    if (import.preampDb) {
        const double from = levelDbFromTrack(out.LevelPosition);
        const double to = from + *import.preampDb;
        if (!(to >= kLevelMinDb - kGainTolerance && to <= kLevelMaxDb + kGainTolerance)) {
            return refuse(FilterTextProblem{
                parsed.list.preampLine, "Preamp " + number(*import.preampDb, 2) +
                                            " dB would take the level of " + outputTitle(output) +
                                            " from " + number(from, 1) + " dB to " + number(to, 1) +
                                            " dB, outside -30 to 6 dB"});
        }
        import.levelPosition = levelTrackFromDb(to);
    }
    std::vector<PeqBand> held;
    for (const PeqBand& band : import.bands) {
        if (band.FilterType != kBypass) {
            held.push_back(band);
        }
    }
    ResponseCurve a;
    ResponseCurve b;
    evaluateCascade(std::span<const TSOS>(exact), static_cast<int>(exact.size()), a);
    evaluateCascade(std::span<const TSOS>(held), static_cast<int>(held.size()), b);
    // Where the response is deep (a notch, a stop band) a hundredth of a hertz moves it by whole
    // decibels that nobody hears; the change is taken where the sound is.
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        if (a.MagDb[k] > kAudibleFloorDb) {
            import.stepChangeDb = std::max(import.stepChangeDb,
                                           std::fabs(static_cast<double>(a.MagDb[k] - b.MagDb[k])));
        }
    }
    return {import, std::nullopt, parsed.skipped};
}

void applyEqualizerImport(ProcessorConfig& config, const EqualizerImport& import) {
    OutputChannel& out = config.output(import.output);
    const int count = static_cast<int>(import.bands.size());
    for (int n = 1; n <= peqBandCount(import.output); ++n) {
        PeqBand& band = out.band(n);
        const int slot = band.CoeffSlot;
        if (n <= count && import.bands[static_cast<std::size_t>(n - 1)].FilterType != kBypass) {
            band = import.bands[static_cast<std::size_t>(n - 1)];
        } else {
            band.FilterType = kBypass;
        }
        band.CoeffSlot = slot;
        band.design();
    }
    out.PeqBandsInUse = std::max(out.PeqBandsInUse, count);
    if (import.preampDb) {
        setLevelTrack(out, import.levelPosition);
    }
}

std::string describeEqualizerImport(const ProcessorConfig& before, const EqualizerImport& import) {
    const int count = static_cast<int>(import.bands.size());
    const int bands = peqBandCount(import.output);
    std::string text = std::to_string(count) + (count == 1 ? " filter" : " filters") +
                       " imported into " + outputTitle(import.output);
    if (count < bands) {
        text += "; " +
                (count + 1 == bands
                     ? "band " + std::to_string(bands)
                     : "bands " + std::to_string(count + 1) + " to " + std::to_string(bands)) +
                " bypassed";
    }
    text += ". The editor's steps change the response by at most " +
            number(import.stepChangeDb, 2) + " dB.";
    if (import.preampDb) {
        text += " Level " +
                number(levelDbFromTrack(before.output(import.output).LevelPosition), 1) +
                " dB -> " + number(levelDbFromTrack(import.levelPosition), 1) + " dB (Preamp " +
                number(*import.preampDb, 2) + " dB).";
    }
    return text;
}

}  // namespace kvn
