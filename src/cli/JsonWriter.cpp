// JSON output.
#include "cli/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kvn::cli {
namespace {

void appendString(std::string& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    out += jsonQuoted(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
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

std::string writeJson(const QJsonValue& value, JsonNumbers numbers) {
    std::string out;
    appendValue(out, value, numbers, 0);
    out += '\n';
    return out;
}

}  // namespace kvn::cli
