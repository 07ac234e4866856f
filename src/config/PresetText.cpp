// Readable lines of a preset and their comparison, walked over the one field description.
#include "config/PresetText.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <span>
#include <utility>

#include "config/JsonText.h"
#include "config/PresetFields.h"
#include "dsp/TSOS.h"
#include "dsp/TXOVERPB.h"

namespace kvn {
namespace {

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

// A number as the JSON document holds it, with the name of a type code after it.
std::string numberText(const std::string& key, double value) {
    const std::string text = jsonNumber(value, JsonNumbers::Shortest);
    const int code = static_cast<int>(value);
    std::string name;
    if (key == "FilterType") {
        name = filterName(code);
    } else if (key == "XoverType") {
        name = xoverTypeName(code);
    } else if (key == "kneeType") {
        name = code == kCompressor ? "compressor" : "limiter";
    } else if (key == "Route") {
        name = code == kRouteA ? "input A" : code == kRouteAB ? "A + B" : "input B";
    }
    return name.empty() ? text : text + " (" + name + ")";
}

const char* flagText(bool value) {
    return value ? "true" : "false";
}

// Lists the fields of one object of the document; keys come out sorted, as the document has them.
class Lister {
public:
    explicit Lister(std::string prefix) : prefix_(std::move(prefix)) {}

    void text(const char* key, std::string& value, std::size_t) { add(key, jsonQuoted(value)); }
    template <typename T>
    void integer(const char* key, T& value, double, double) {
        add(key, numberText(key, static_cast<double>(value)));
    }
    void code(const char* key, std::uint8_t& value, std::initializer_list<int>) {
        add(key, numberText(key, static_cast<double>(value)));
    }
    template <typename T>
    void number(const char* key, T& value, double, double) {
        add(key, numberText(key, static_cast<double>(value)));
    }
    void flag(const char* key, bool& value) { add(key, flagText(value)); }
    void flag(const char* key, std::uint8_t& value) { add(key, flagText(value != 0)); }

    void texts(const char* key, std::span<std::string> values, std::size_t) {
        list(key, values, [](const std::string& v) { return jsonQuoted(v); });
    }
    void numbers(const char* key, std::span<double> values, double, double) {
        list(key, values, [key](double v) { return numberText(key, v); });
    }
    void flags(const char* key, std::span<bool> values) {
        list(key, values, [](bool v) { return std::string(flagText(v)); });
    }
    void objects(const char* key, int count, const std::function<void(Lister&, int)>& visit) {
        Entry& entry = entries_.emplace_back(Entry{key, {}});
        for (int i = 1; i <= count; ++i) {
            Lister element(prefix_ + key + "[" + std::to_string(i) + "].");
            visit(element, i);
            element.appendTo(entry.fields);
        }
    }
    void child(const char* key, const std::function<void(Lister&)>& visit) {
        Lister inner(prefix_ + key + ".");
        visit(inner);
        inner.appendTo(entries_.emplace_back(Entry{key, {}}).fields);
    }
    void check(bool, const std::string&) {}

    void appendTo(std::vector<PresetField>& out) {
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
        for (Entry& entry : entries_) {
            std::move(entry.fields.begin(), entry.fields.end(), std::back_inserter(out));
        }
        entries_.clear();
    }

private:
    struct Entry {
        std::string key;
        std::vector<PresetField> fields;
    };

    void add(const char* key, std::string value) {
        entries_.push_back(Entry{key, {{prefix_ + key, std::move(value)}}});
    }
    template <typename T, typename Text>
    void list(const char* key, std::span<T> values, Text text) {
        Entry& entry = entries_.emplace_back(Entry{key, {}});
        for (std::size_t i = 0; i < values.size(); ++i) {
            entry.fields.push_back(
                {prefix_ + key + "[" + std::to_string(i + 1) + "]", text(values[i])});
        }
    }

    std::string prefix_;
    std::vector<Entry> entries_;
};

}  // namespace

std::vector<PresetField> PresetText::fields(const ProcessorConfig& config) {
    ProcessorConfig copy = config;
    Lister lister("");
    preset_fields::visitConfig(lister, copy);
    std::vector<PresetField> out;
    lister.appendTo(out);
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
    // Both listings have the same fields in the same order.
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

}  // namespace kvn
