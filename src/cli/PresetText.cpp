// Readable lines of a preset and their comparison.
#include "cli/PresetText.h"

#include <QJsonArray>
#include <QJsonObject>

#include "cli/JsonWriter.h"
#include "cli/PresetJson.h"
#include "dsp/TSOS.h"
#include "dsp/TXOVERPB.h"

namespace kvn::cli {
namespace {

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string xoverTypeName(int code) {
    static const char* const kNames[] = {"ByPass",           "ButtW low-pass",    "ButtW high-pass",
                                         "L-Riley low-pass", "L-Riley high-pass", "Bessel low-pass",
                                         "Bessel high-pass"};
    return code >= 0 && code <= kBesselHighPass ? kNames[code] : "";
}

std::string filterName(int code) {
    if (code == kLowShelfSlope) {
        return "low shelf with slope";
    }
    if (code == kHighShelfSlope) {
        return "high shelf with slope";
    }
    return filterTypeName(code);
}

// The value as text, with the name of a type code after the number.
std::string valueText(const std::string& path, const QJsonValue& v) {
    if (v.isBool()) {
        return v.toBool() ? "true" : "false";
    }
    if (v.isString()) {
        std::string quoted = writeJson(v, JsonNumbers::Shortest);
        quoted.pop_back();  // the document's newline
        return quoted;
    }
    std::string text = jsonNumber(v.toDouble(), JsonNumbers::Shortest);
    const int code = static_cast<int>(v.toDouble());
    std::string name;
    if (endsWith(path, ".FilterType")) {
        name = filterName(code);
    } else if (endsWith(path, ".XoverType")) {
        name = xoverTypeName(code);
    } else if (endsWith(path, ".kneeType")) {
        name = code == kCompressor ? "compressor" : "limiter";
    } else if (endsWith(path, ".Route")) {
        name = code == kRouteA ? "input A" : code == kRouteAB ? "A + B" : "input B";
    }
    return name.empty() ? text : text + " (" + name + ")";
}

void flatten(const QJsonValue& v, const std::string& path, std::vector<PresetField>& out) {
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            const std::string key = it.key().toStdString();
            flatten(it.value(), path.empty() ? key : path + "." + key, out);
        }
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            flatten(a[i], path + "[" + std::to_string(i + 1) + "]", out);
        }
    } else {
        out.push_back({path, valueText(path, v)});
    }
}

}  // namespace

std::vector<PresetField> PresetText::fields(const ProcessorConfig& config) {
    std::vector<PresetField> out;
    flatten(PresetJson::toJson(config), "", out);
    return out;
}

std::string PresetText::show(const ProcessorConfig& config) {
    std::string text;
    for (const PresetField& f : fields(config)) {
        text += f.path + " = " + f.value + "\n";
    }
    return text;
}

std::vector<PresetText::Difference> PresetText::diff(const ProcessorConfig& a,
                                                     const ProcessorConfig& b) {
    // Both documents have the same fields in the same order.
    const std::vector<PresetField> fa = fields(a);
    const std::vector<PresetField> fb = fields(b);
    std::vector<Difference> out;
    for (std::size_t i = 0; i < fa.size() && i < fb.size(); ++i) {
        if (fa[i].value != fb[i].value) {
            out.push_back({fa[i].path, fa[i].value, fb[i].value});
        }
    }
    return out;
}

}  // namespace kvn::cli
