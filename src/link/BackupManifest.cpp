// The backup manifest as JSON, both ways.
#include "link/BackupManifest.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <variant>

#include "config/JsonText.h"
#include "link/MemoryRange.h"

namespace kvn::link {
namespace {

// A JSON value, as small as the manifest needs.
struct Value;
using Object = std::map<std::string, Value, std::less<>>;
using Array = std::vector<Value>;
struct Value {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<Array>,
                 std::shared_ptr<Object>>
        data;
};

// A recursive-descent reader of one JSON document. Nesting is bounded so that a hostile file
// cannot exhaust the stack.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<Value> document(std::string& error) {
        std::optional<Value> v = value(0);
        skipSpace();
        if (v && at_ != text_.size()) {
            fail("unexpected text after the document");
        }
        if (!error_.empty()) {
            error = error_ + " (at character " + std::to_string(at_ + 1) + ")";
            return std::nullopt;
        }
        return v;
    }

private:
    static constexpr int kMaxDepth = 16;

    bool fail(const std::string& what) {
        if (error_.empty()) {
            error_ = what;
        }
        return false;
    }
    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }
    bool take(char c) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (text_.substr(at_, w.size()) == w) {
            at_ += w.size();
            return true;
        }
        return false;
    }

    std::optional<Value> value(int depth) {
        if (depth > kMaxDepth) {
            fail("nested too deeply");
            return std::nullopt;
        }
        skipSpace();
        if (at_ >= text_.size()) {
            fail("the document ends early");
            return std::nullopt;
        }
        const char c = text_[at_];
        if (c == '{') {
            return object(depth);
        }
        if (c == '[') {
            return array(depth);
        }
        if (c == '"') {
            std::optional<std::string> s = string();
            return s ? std::optional<Value>(Value{std::move(*s)}) : std::nullopt;
        }
        if (word("true")) {
            return Value{true};
        }
        if (word("false")) {
            return Value{false};
        }
        if (word("null")) {
            return Value{nullptr};
        }
        return number();
    }

    std::optional<Value> object(int depth) {
        ++at_;
        auto members = std::make_shared<Object>();
        if (take('}')) {
            return Value{members};
        }
        do {
            skipSpace();
            std::optional<std::string> key =
                at_ < text_.size() && text_[at_] == '"' ? string() : std::nullopt;
            if (!key) {
                fail("expected a key in quotes");
                return std::nullopt;
            }
            if (!take(':')) {
                fail("expected ':'");
                return std::nullopt;
            }
            std::optional<Value> v = value(depth + 1);
            if (!v) {
                return std::nullopt;
            }
            (*members)[*key] = std::move(*v);
        } while (take(','));
        if (!take('}')) {
            fail("expected ',' or '}'");
            return std::nullopt;
        }
        return Value{members};
    }

    std::optional<Value> array(int depth) {
        ++at_;
        auto items = std::make_shared<Array>();
        if (take(']')) {
            return Value{items};
        }
        do {
            std::optional<Value> v = value(depth + 1);
            if (!v) {
                return std::nullopt;
            }
            items->push_back(std::move(*v));
        } while (take(','));
        if (!take(']')) {
            fail("expected ',' or ']'");
            return std::nullopt;
        }
        return Value{items};
    }

    std::optional<Value> number() {
        const std::size_t begin = at_;
        while (at_ < text_.size() &&
               (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-' ||
                text_[at_] == '+' || text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
        }
        double d = 0.0;
        const auto [end, ec] = std::from_chars(text_.data() + begin, text_.data() + at_, d);
        if (begin == at_ || ec != std::errc() || end != text_.data() + at_) {
            fail("expected a value");
            return std::nullopt;
        }
        return Value{d};
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::uint32_t> hex4() {
        if (at_ + 4 > text_.size()) {
            return std::nullopt;
        }
        std::uint32_t code = 0;
        const auto [end, ec] =
            std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
        if (ec != std::errc() || end != text_.data() + at_ + 4) {
            return std::nullopt;
        }
        at_ += 4;
        return code;
    }

    std::optional<std::string> string() {
        ++at_;
        std::string out;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("a control character in a text");
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) {
                break;
            }
            const char e = text_[at_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::optional<std::uint32_t> code = hex4();
                    if (code && *code >= 0xD800 && *code < 0xDC00 && word("\\u")) {
                        const std::optional<std::uint32_t> low = hex4();
                        code = low && *low >= 0xDC00 && *low < 0xE000
                                   ? std::optional<std::uint32_t>(
                                         0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00))
                                   : std::nullopt;
                    }
                    if (!code || (*code >= 0xD800 && *code < 0xE000)) {
                        fail("a broken \\u escape");
                        return std::nullopt;
                    }
                    appendUtf8(out, *code);
                    break;
                }
                default:
                    fail("an unknown escape in a text");
                    return std::nullopt;
            }
        }
        fail("a text without its closing quote");
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

template <typename T>
const T* as(const Value* v) {
    if (v == nullptr) {
        return nullptr;
    }
    if constexpr (std::is_same_v<T, Object> || std::is_same_v<T, Array>) {
        const auto* p = std::get_if<std::shared_ptr<T>>(&v->data);
        return p != nullptr ? p->get() : nullptr;
    } else {
        return std::get_if<T>(&v->data);
    }
}

const Value* member(const Object& o, std::string_view key) {
    const auto it = o.find(key);
    return it == o.end() ? nullptr : &it->second;
}

// Reads the manifest's keys, naming the first one that is wrong.
class Fields {
public:
    explicit Fields(std::string& error) : error_(error) {}

    bool text(const Object& o, std::string_view key, std::string& out, bool required = true) {
        const Value* v = member(o, key);
        if (v == nullptr && !required) {
            return true;
        }
        const std::string* s = as<std::string>(v);
        if (s == nullptr) {
            return fail(key, "expected a text");
        }
        out = *s;
        return true;
    }
    bool memory(const Object& o, int& out) {
        const double* d = as<double>(member(o, "memory"));
        if (d == nullptr || *d != std::trunc(*d) ||
            !MemoryRange::all().contains(static_cast<int>(*d))) {
            return fail("memory", "expected a memory number from 1 to 60");
        }
        out = static_cast<int>(*d);
        return true;
    }
    // A plain file name inside the backup folder.
    bool fileName(const Object& o, std::string_view key, std::string& out, bool required) {
        if (!text(o, key, out, required)) {
            return false;
        }
        if (out.find_first_of("/\\") != std::string::npos || out == "." || out == ".." ||
            (required && out.empty())) {
            return fail(key, "expected the name of a file in the backup folder");
        }
        return true;
    }
    const Array* list(const Object& o, std::string_view key) {
        const Value* v = member(o, key);
        if (v == nullptr) {
            static const Array kEmpty;
            return &kEmpty;
        }
        const Array* a = as<Array>(v);
        if (a == nullptr) {
            fail(key, "expected a list");
        }
        return a;
    }
    bool fail(std::string_view key, const std::string& what) {
        if (error_.empty()) {
            error_ = std::string(key) + ": " + what;
        }
        return false;
    }

private:
    std::string& error_;
};

}  // namespace

std::string BackupManifest::toJson() const {
    std::string out = "{\n  \"created\": " + jsonQuoted(created) + ",\n  \"memories\": [";
    for (std::size_t i = 0; i < memories.size(); ++i) {
        const Entry& e = memories[i];
        out += i == 0 ? "\n" : ",\n";
        out += "    {\"memory\": " + std::to_string(e.memory) +
               ", \"name\": " + jsonQuoted(e.name) + ", \"time\": " + jsonQuoted(e.time) +
               ", \"file\": " + jsonQuoted(e.file);
        if (!e.image.empty()) {
            out += ", \"image\": " + jsonQuoted(e.image);
        }
        out += "}";
    }
    out += memories.empty() ? "],\n" : "\n  ],\n";
    out += "  \"unreadable\": [";
    for (std::size_t i = 0; i < unreadable.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += "    {\"memory\": " + std::to_string(unreadable[i].memory) +
               ", \"reason\": " + jsonQuoted(unreadable[i].reason) + "}";
    }
    out += unreadable.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::optional<BackupManifest> BackupManifest::parse(std::string_view json, std::string& error) {
    error.clear();
    const std::optional<Value> document = Reader(json).document(error);
    if (!document) {
        return std::nullopt;
    }
    const Object* root = as<Object>(&*document);
    if (root == nullptr) {
        error = "expected an object";
        return std::nullopt;
    }
    Fields fields(error);
    BackupManifest manifest;
    fields.text(*root, "created", manifest.created, false);
    const Array* memories = fields.list(*root, "memories");
    const Array* unreadable = fields.list(*root, "unreadable");
    if (memories != nullptr) {
        for (const Value& item : *memories) {
            const Object* o = as<Object>(&item);
            Entry e;
            if (o == nullptr) {
                fields.fail("memories", "expected objects");
                break;
            }
            if (!fields.memory(*o, e.memory) || !fields.text(*o, "name", e.name, false) ||
                !fields.text(*o, "time", e.time, false) ||
                !fields.fileName(*o, "file", e.file, true) ||
                !fields.fileName(*o, "image", e.image, false)) {
                break;
            }
            manifest.memories.push_back(std::move(e));
        }
    }
    if (unreadable != nullptr) {
        for (const Value& item : *unreadable) {
            const Object* o = as<Object>(&item);
            Unreadable u;
            if (o == nullptr) {
                fields.fail("unreadable", "expected objects");
                break;
            }
            if (!fields.memory(*o, u.memory) || !fields.text(*o, "reason", u.reason, false)) {
                break;
            }
            manifest.unreadable.push_back(std::move(u));
        }
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    return manifest;
}

std::string backupFileStem(int memory, const std::string& presetName) {
    std::string name;
    for (const char ch : presetName) {
        const auto c = static_cast<unsigned char>(ch);
        const bool refused = c < 0x20 || c == 0x7F ||
                             std::string_view("<>:\"/\\|?*").find(ch) != std::string_view::npos;
        name += refused ? '_' : ch;
    }
    // Names are padded with spaces in the processor; a name of dots alone is no file name.
    const std::size_t first = name.find_first_not_of(" .");
    const std::size_t last = name.find_last_not_of(" .");
    name =
        first == std::string::npos ? std::string("NoName") : name.substr(first, last - first + 1);
    char number[8];
    std::snprintf(number, sizeof number, "%02d", memory);
    return std::string("memory-") + number + "-" + name;
}

std::string utcTimeText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace kvn::link
