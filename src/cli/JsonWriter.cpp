// JSON output.
#include "cli/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kvn::cli {
namespace {

constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53

void appendString(std::string& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    std::array<char, 8> buffer{};
                    std::snprintf(buffer.data(), buffer.size(), "\\u%04x", c);
                    out += buffer.data();
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
}

bool isPlain(const QJsonValue& v) {
    return !v.isArray() && !v.isObject();
}

bool allPlain(const QJsonArray& a) {
    for (const QJsonValue& v : a) {
        if (!isPlain(v)) {
            return false;
        }
    }
    return true;
}

void appendValue(std::string& out, const QJsonValue& v, JsonNumbers numbers, int depth) {
    const std::string indent(static_cast<std::size_t>(2 * (depth + 1)), ' ');
    const std::string closing(static_cast<std::size_t>(2 * depth), ' ');
    if (v.isNull() || v.isUndefined()) {
        out += "null";
    } else if (v.isBool()) {
        out += v.toBool() ? "true" : "false";
    } else if (v.isDouble()) {
        out += jsonNumber(v.toDouble(), numbers);
    } else if (v.isString()) {
        appendString(out, v.toString());
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        if (a.isEmpty()) {
            out += "[]";
        } else if (allPlain(a)) {
            out += '[';
            for (qsizetype i = 0; i < a.size(); ++i) {
                out += i == 0 ? "" : ", ";
                appendValue(out, a[i], numbers, depth + 1);
            }
            out += ']';
        } else {
            out += "[\n";
            for (qsizetype i = 0; i < a.size(); ++i) {
                out += indent;
                appendValue(out, a[i], numbers, depth + 1);
                out += i + 1 < a.size() ? ",\n" : "\n";
            }
            out += closing + "]";
        }
    } else {
        const QJsonObject o = v.toObject();
        if (o.isEmpty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        qsizetype i = 0;
        for (auto it = o.begin(); it != o.end(); ++it, ++i) {
            out += indent;
            appendString(out, it.key());
            out += ": ";
            appendValue(out, it.value(), numbers, depth + 1);
            out += i + 1 < o.size() ? ",\n" : "\n";
        }
        out += closing + "}";
    }
}

}  // namespace

std::string jsonNumber(double value, JsonNumbers numbers) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 64> buffer{};
    if (value == std::trunc(value) && std::abs(value) < kExactIntegerLimit) {
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                             static_cast<long long>(value));
        (void)ec;
        return std::string(buffer.data(), end);
    }
    if (numbers == JsonNumbers::Digits17) {
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::general, 17);
        (void)ec;
        return std::string(buffer.data(), end);
    }
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    (void)ec;
    return std::string(buffer.data(), end);
}

std::string writeJson(const QJsonValue& value, JsonNumbers numbers) {
    std::string out;
    appendValue(out, value, numbers, 0);
    out += '\n';
    return out;
}

}  // namespace kvn::cli
