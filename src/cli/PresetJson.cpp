// The JSON mapping of a preset: one description of the fields, walked by a writer and a reader.
#include "cli/PresetJson.h"

#include <QJsonArray>
#include <QSet>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <span>
#include <sstream>

#include "cli/CliError.h"
#include "config/EqualizerControls.h"
#include "config/Windows1252.h"
#include "dsp/DynamicsMath.h"

namespace kvn::cli {
namespace {

constexpr int kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr int kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr double kMinXoverHz = 20.0;
constexpr double kMaxXoverHz = 20000.0;
constexpr int kMaxOrder = 6;
constexpr double kMaxLevelGain = 2.0;     // +6 dB is 1.995; the coefficient word stops at 2
constexpr int kMaxLookAheadSamples = 96;  // 2 ms

std::string indexed(const std::string& path, const std::string& key, int number) {
    return path + key + "[" + std::to_string(number) + "]";
}

QString toQString(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Builds the document from the model.
class Writer {
public:
    QJsonObject object;

    void text(const char* key, std::string& value, std::size_t) { object[key] = toQString(value); }
    template <typename T>
    void integer(const char* key, T& value, double, double) {
        object[key] = static_cast<double>(value);
    }
    void code(const char* key, std::uint8_t& value, std::initializer_list<int>) {
        object[key] = static_cast<double>(value);
    }
    template <typename T>
    void number(const char* key, T& value, double, double) {
        object[key] = static_cast<double>(value);
    }
    void flag(const char* key, bool& value) { object[key] = value; }
    void flag(const char* key, std::uint8_t& value) { object[key] = value != 0; }

    void texts(const char* key, std::span<std::string> values, std::size_t) {
        QJsonArray a;
        for (const std::string& v : values) {
            a.append(toQString(v));
        }
        object[key] = a;
    }
    void numbers(const char* key, std::span<double> values, double, double) {
        QJsonArray a;
        for (const double v : values) {
            a.append(v);
        }
        object[key] = a;
    }
    void flags(const char* key, std::span<bool> values) {
        QJsonArray a;
        for (const bool v : values) {
            a.append(v);
        }
        object[key] = a;
    }
    void objects(const char* key, int count, const std::function<void(Writer&, int)>& visit) {
        QJsonArray a;
        for (int i = 1; i <= count; ++i) {
            Writer w;
            visit(w, i);
            a.append(w.object);
        }
        object[key] = a;
    }
    void child(const char* key, const std::function<void(Writer&)>& visit) {
        Writer w;
        visit(w);
        object[key] = w.object;
    }
    // Checks that only the reader makes.
    void check(bool, const std::string&) {}
};

// Reads the document into the model, checking every value and the set of keys.
class Reader {
public:
    Reader(QJsonObject object, std::string path)
        : object_(std::move(object)), path_(std::move(path)) {}

    void text(const char* key, std::string& value, std::size_t maxLength) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        if (!v.isString()) {
            fail(key, "expected a text");
        }
        // The processor and the file hold one Windows-1252 byte per character.
        const QByteArray utf8 = v.toString().toUtf8();
        const std::string text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        const std::string bytes = toWindows1252(text);
        if (fromWindows1252(bytes) != text) {
            fail(key, "holds a character the processor cannot show");
        }
        if (bytes.size() > maxLength) {
            fail(key, "longer than " + std::to_string(maxLength) + " characters");
        }
        value = text;
    }

    // A whole number, also for fields the model keeps as floats (gate level and slope).
    template <typename T>
    void integer(const char* key, T& value, double minimum, double maximum) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        value = static_cast<T>(wholeIn(key, v, minimum, maximum));
    }

    void code(const char* key, std::uint8_t& value, std::initializer_list<int> allowed) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        const double d = v.isDouble() ? v.toDouble() : -1.0;
        for (const int a : allowed) {
            if (d == a) {
                value = static_cast<std::uint8_t>(a);
                return;
            }
        }
        std::string list;
        for (const int a : allowed) {
            list += (list.empty() ? "" : ", ") + std::to_string(a);
        }
        fail(key, "expected one of " + list);
    }

    template <typename T>
    void number(const char* key, T& value, double minimum, double maximum) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        if (!v.isDouble() || v.toDouble() < minimum || v.toDouble() > maximum) {
            fail(key, "expected a number from " + range(minimum, maximum));
        }
        value = static_cast<T>(v.toDouble());
    }

    void flag(const char* key, bool& value) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        if (!v.isBool()) {
            fail(key, "expected true or false");
        }
        value = v.toBool();
    }
    void flag(const char* key, std::uint8_t& value) {
        bool b = value != 0;
        flag(key, b);
        value = b ? 1 : 0;
    }

    void texts(const char* key, std::span<std::string> values, std::size_t maxLength) {
        eachElement(key, values.size(), [&](Reader& r, const char* name, std::size_t i) {
            r.text(name, values[i], maxLength);
        });
    }
    void numbers(const char* key, std::span<double> values, double minimum, double maximum) {
        eachElement(key, values.size(), [&](Reader& r, const char* name, std::size_t i) {
            r.number(name, values[i], minimum, maximum);
        });
    }
    void flags(const char* key, std::span<bool> values) {
        eachElement(key, values.size(), [&](Reader& r, const char* name, std::size_t i) {
            bool b = values[i];
            r.flag(name, b);
            values[i] = b;
        });
    }

    void objects(const char* key, int count, const std::function<void(Reader&, int)>& visit) {
        const QJsonArray a = arrayOf(key, static_cast<std::size_t>(count));
        for (qsizetype i = 0; i < a.size(); ++i) {
            const int number = static_cast<int>(i) + 1;
            const std::string path = indexed(path_, key, number);
            if (!a[i].isObject()) {
                throwBadInput(path + ": expected an object");
            }
            Reader r(a[i].toObject(), path + ".");
            visit(r, number);
            r.finish();
        }
    }

    void child(const char* key, const std::function<void(Reader&)>& visit) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return;
        }
        if (!v.isObject()) {
            fail(key, "expected an object");
        }
        Reader r(v.toObject(), path_ + key + ".");
        visit(r);
        r.finish();
    }

    // A rule between fields, checked after they were read.
    void check(bool ok, const std::string& message) {
        if (!ok) {
            throwBadInput(path_ + message);
        }
    }

    // Every key must have been taken by the description.
    void finish() {
        for (auto it = object_.begin(); it != object_.end(); ++it) {
            if (!taken_.contains(it.key())) {
                throwBadInput(path_ + it.key().toStdString() + ": unknown key");
            }
        }
    }

private:
    QJsonValue take(const char* key) {
        taken_.insert(QString::fromLatin1(key));
        return object_.value(QLatin1String(key));
    }

    [[noreturn]] void fail(const std::string& key, const std::string& what) const {
        throwBadInput(path_ + key + ": " + what);
    }

    static std::string range(double minimum, double maximum) {
        std::ostringstream s;
        s << minimum << " to " << maximum;
        return s.str();
    }

    double wholeIn(const char* key, const QJsonValue& v, double minimum, double maximum) const {
        const double d = v.isDouble() ? v.toDouble() : minimum - 1.0;
        if (d != std::trunc(d) || d < minimum || d > maximum) {
            fail(key, "expected a whole number from " + range(minimum, maximum));
        }
        return d;
    }

    QJsonArray arrayOf(const char* key, std::size_t maxCount) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return {};
        }
        if (!v.isArray()) {
            fail(key, "expected a list");
        }
        const QJsonArray a = v.toArray();
        if (static_cast<std::size_t>(a.size()) > maxCount) {
            fail(key, "expected at most " + std::to_string(maxCount) + " entries");
        }
        return a;
    }

    // Reads each element of a list of plain values through a one-key reader, so that the checks
    // and the messages are those of single fields ("InputName[2]: longer than 6 characters").
    template <typename Visit>
    void eachElement(const char* key, std::size_t maxCount, Visit visit) {
        const QJsonArray a = arrayOf(key, maxCount);
        for (qsizetype i = 0; i < a.size(); ++i) {
            const std::string name = std::string(key) + "[" + std::to_string(i + 1) + "]";
            QJsonObject single;
            single[QString::fromStdString(name)] = a[i];
            Reader r(single, path_);
            visit(r, name.c_str(), static_cast<std::size_t>(i));
        }
    }

    QJsonObject object_;
    std::string path_;
    QSet<QString> taken_;
};

// The one description of the document, for both directions.

template <typename V>
void visitBand(V& v, PeqBand& band) {
    v.code("FilterType", band.FilterType, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16});
    v.number("FrequencyHz", band.FrequencyHz, kPeqMinFrequencyHz, kPeqMaxFrequencyHz);
    v.number("Q", band.Q, kPeqMinQ, kPeqMaxQ);
    v.number("GainDb", band.GainDb, kPeqMinGainDb, kPeqMaxGainDb);
}

template <typename V>
void visitEdge(V& v, TXOVERPB& edge, bool lowPass) {
    if (lowPass) {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthLowPass, kLinkwitzRileyLowPass, kBesselLowPass});
    } else {
        v.code("XoverType", edge.XoverType,
               {kXoverBypass, kButterworthHighPass, kLinkwitzRileyHighPass, kBesselHighPass});
    }
    v.integer("Order", edge.Order, 1, kMaxOrder);
    // The file keeps edge frequencies in single precision.
    float hz = static_cast<float>(edge.FrequencyHz);
    v.number("FrequencyHz", hz, kMinXoverHz, kMaxXoverHz);
    edge.FrequencyHz = hz;
    v.check(TXOVERPB::orderSupported(edge.XoverType, edge.Order),
            "Order: " + std::to_string(edge.Order) + " is not offered for this XoverType");
}

template <typename V>
void visitOutput(V& v, OutputChannel& out, int number) {
    const int bands = number == kSubOutput ? kSubPeqBands : kPeqBands;
    v.text("Name", out.Name, kChannelNameMax);
    v.integer("Route", out.Route, kRouteA, kRouteB);
    v.number("GainFromA", out.GainFromA, 0.0, 1.0);
    v.number("GainFromB", out.GainFromB, 0.0, 1.0);
    v.integer("PeqBandsInUse", out.PeqBandsInUse, 1, kPeqBands);
    v.objects("Peq", bands, [&](V& b, int band) { visitBand(b, out.band(band)); });
    v.child("HighPassEdge", [&](V& e) { visitEdge(e, out.HighPassEdge, false); });
    v.child("LowPassEdge", [&](V& e) { visitEdge(e, out.LowPassEdge, true); });
    v.flag("SoloL", out.SoloL);
    v.flag("SoloH", out.SoloH);
    v.integer("DelaySamples", out.DelaySamples, 0, kMaxDelaySamples);
    v.integer("RelativeDistanceSamples", out.RelativeDistanceSamples, kInt32Min, kInt32Max);
    v.number("Gain", out.Gain, -kMaxLevelGain, kMaxLevelGain);
    v.flag("Muted", out.Muted);
    v.flag("Inverted", out.Inverted);
}

template <typename V>
void visitUnit(V& v, DynamicsUnit& unit) {
    v.number("thresholdDbfs", unit.thresholdDbfs, -96.0, 0.0);
    v.number("ratio", unit.ratio, 1.0, 10.0);
    v.number("makeupGainDb", unit.makeupGainDb, -96.0, 96.0);
    v.number("detectorCoefficient", unit.detectorCoefficient, 0.0, 1.0);
    v.integer("holdSamples", unit.holdSamples, 0, 0xFFFF);
    v.integer("releaseCount", unit.releaseCount, 0, 0xFFFF);
    v.integer("lookAheadSamples", unit.lookAheadSamples, 0, kMaxLookAheadSamples);
    v.integer("editorByte28", unit.editorByte28, 0, 0xFF);
    v.code("kneeType", unit.kneeType, {kLimiter, kCompressor});
    v.number("kneeDb", unit.kneeDb, 0.0, 10.0);
    v.flag("balanced", unit.balanced);
    v.integer("editorByte37", unit.editorByte37, 0, 0xFF);
    v.flag("bypass", unit.bypass);
    v.number("limiterMaxLevel", unit.limiterMaxLevel, -1000.0, 1000.0);
    v.number("ampGain", unit.ampGain, 0.0, 10000.0);
    v.number("loadImpedanceOhm", unit.loadImpedanceOhm, 0.0, 1000.0);
    v.number("boxPowerW", unit.boxPowerW, 0.0, 100000.0);
    v.number("ampPowerW", unit.ampPowerW, 0.0, 100000.0);
    v.integer("speakerCountIndex", unit.speakerCountIndex, 0, 3);
    v.integer("gateLevel", unit.gateLevel, 1.0, kGainTableSize);
    v.integer("gateSlope", unit.gateSlope, 1.0, 10.0);
}

template <typename V>
void visitConfig(V& v, ProcessorConfig& config) {
    v.text("SystemName", config.SystemName, kSystemNameMax);
    v.text("ProjectName", config.ProjectName, kProjectNameMax);
    v.text("Engineer", config.Engineer, kEngineerMax);
    v.text("Comments", config.Comments, kCommentsMax);
    v.integer("SampleRate", config.SampleRate, kSampleRate, kSampleRate);
    v.integer("Temperature", config.Temperature, 0, 50);
    v.texts("InputName", config.InputName, kChannelNameMax);
    v.numbers("InputMatrix", config.InputMatrix, 0.0, 1.0);
    v.objects("Output", kOutputCount,
              [&](V& o, int number) { visitOutput(o, config.output(number), number); });
    v.objects("Dynamics", kDynamicsUnits,
              [&](V& u, int number) { visitUnit(u, config.unit(number)); });
    v.texts("MeasurementFile", config.MeasurementFile, kMeasurementFileMax);
    v.integer("MeasurementFormat", config.MeasurementFormat, kInt32Min, kInt32Max);
    v.number("MeasurementSpl", config.MeasurementSpl, -1000.0, 1000.0);
    v.flags("ResponseView", config.ResponseView);
}

}  // namespace

QJsonObject PresetJson::toJson(const ProcessorConfig& config) {
    ProcessorConfig copy = config;
    Writer w;
    visitConfig(w, copy);
    return w.object;
}

void PresetJson::apply(const QJsonObject& document, ProcessorConfig& config) {
    Reader r(document, "");
    visitConfig(r, config);
    r.finish();
}

}  // namespace kvn::cli
