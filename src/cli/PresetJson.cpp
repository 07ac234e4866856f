// The JSON mapping of a preset: one description of the fields, walked by a writer and a reader.
#include "cli/PresetJson.h"

#include <QJsonArray>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <span>
#include <sstream>

#include "cli/CliError.h"
#include "config/PresetFields.h"
#include "config/Windows1252.h"

namespace kvn::cli {
namespace {

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
        // Values the file keeps in single precision may lie a rounding step beyond a bound.
        const double slack = 1e-6 * std::max(std::abs(minimum), std::abs(maximum));
        if (!v.isDouble() || v.toDouble() < minimum - slack || v.toDouble() > maximum + slack) {
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
        const QJsonArray a = arrayOf(key, static_cast<std::size_t>(count), true);
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

    // A list holds exactly what the model holds: a shorter one would leave the rest to chance.
    // `objects`: a list of objects, whose elements the message calls entries.
    QJsonArray arrayOf(const char* key, std::size_t count, bool objects = false) {
        const QJsonValue v = take(key);
        if (v.isUndefined()) {
            return {};
        }
        if (!v.isArray()) {
            fail(key, "expected a list");
        }
        const QJsonArray a = v.toArray();
        const auto size = static_cast<std::size_t>(a.size());
        if (size != count) {
            const auto counted = [objects](std::size_t n) {
                return std::to_string(n) + " " +
                       (objects ? (n == 1 ? "entry" : "entries") : (n == 1 ? "value" : "values"));
            };
            throwBadInput(path_ + key + " has " + counted(size) + ", " + std::to_string(count) +
                          " expected");
        }
        return a;
    }

    // Reads each element of a list of plain values through a one-key reader, so that the checks
    // and the messages are those of single fields ("InputName[2]: longer than 6 characters").
    template <typename Visit>
    void eachElement(const char* key, std::size_t count, Visit visit) {
        const QJsonArray a = arrayOf(key, count);
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

}  // namespace

QJsonObject PresetJson::toJson(const ProcessorConfig& config) {
    ProcessorConfig copy = config;
    Writer w;
    preset_fields::visitConfig(w, copy);
    return w.object;
}

std::string PresetJson::pathAt(std::string_view json, std::size_t offset) {
    // One level per open object or list: its key or its index (from 1), as the paths name them.
    struct Level {
        bool list = false;
        int index = 1;
        std::string key;
    };
    std::vector<Level> levels;
    std::string text;
    bool inText = false;
    bool escaped = false;
    for (std::size_t i = 0; i < std::min(offset, json.size()); ++i) {
        const char c = json[i];
        if (inText) {
            if (escaped) {
                escaped = false;
                text += c;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inText = false;
            } else {
                text += c;
            }
            continue;
        }
        if (c == '"') {
            inText = true;
            text.clear();
        } else if (c == ':' && !levels.empty() && !levels.back().list) {
            levels.back().key = text;
        } else if (c == '{' || c == '[') {
            levels.push_back({c == '[', 1, {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty()) {
            ++levels.back().index;
            levels.back().key.clear();
        }
    }
    std::string path;
    for (const Level& level : levels) {
        if (level.list) {
            path += "[" + std::to_string(level.index) + "]";
        } else if (!level.key.empty()) {
            path += (path.empty() ? "" : ".") + level.key;
        }
    }
    return path;
}

void PresetJson::apply(const QJsonObject& document, ProcessorConfig& config) {
    Reader r(document, "");
    preset_fields::visitConfig(r, config);
    r.finish();
}

}  // namespace kvn::cli
