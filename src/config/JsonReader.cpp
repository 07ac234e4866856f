// A recursive-descent JSON reader.
#include "config/JsonReader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kvn {
namespace {

// A recursive-descent reader of one JSON document. Nesting is bounded so that a hostile file
// cannot exhaust the stack.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document(std::string& error) {
        std::optional<JsonValue> v = value(0);
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

    std::optional<JsonValue> value(int depth) {
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
            return s ? std::optional<JsonValue>(JsonValue{std::move(*s)}) : std::nullopt;
        }
        if (word("true")) {
            return JsonValue{true};
        }
        if (word("false")) {
            return JsonValue{false};
        }
        if (word("null")) {
            return JsonValue{nullptr};
        }
        return number();
    }

    std::optional<JsonValue> object(int depth) {
        ++at_;
        auto members = std::make_shared<JsonObject>();
        if (take('}')) {
            return JsonValue{members};
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
            std::optional<JsonValue> v = value(depth + 1);
            if (!v) {
                return std::nullopt;
            }
            (*members)[*key] = std::move(*v);
        } while (take(','));
        if (!take('}')) {
            fail("expected ',' or '}'");
            return std::nullopt;
        }
        return JsonValue{members};
    }

    std::optional<JsonValue> array(int depth) {
        ++at_;
        auto items = std::make_shared<JsonArray>();
        if (take(']')) {
            return JsonValue{items};
        }
        do {
            std::optional<JsonValue> v = value(depth + 1);
            if (!v) {
                return std::nullopt;
            }
            items->push_back(std::move(*v));
        } while (take(','));
        if (!take(']')) {
            fail("expected ',' or ']'");
            return std::nullopt;
        }
        return JsonValue{items};
    }

    std::optional<JsonValue> number() {
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
        return JsonValue{d};
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

}  // namespace

std::optional<JsonValue> parseJson(std::string_view text, std::string& error) {
    return Reader(text).document(error);
}

std::optional<int> jsonWholeNumber(const JsonValue* v, int minimum, int maximum) {
    const double* d = jsonAs<double>(v);
    // Compared as a double first: converting one outside int's range is undefined.
    if (d == nullptr || *d != std::trunc(*d) || *d < minimum || *d > maximum) {
        return std::nullopt;
    }
    return static_cast<int>(*d);
}

const JsonValue* jsonMember(const JsonObject& o, std::string_view key) {
    const auto it = o.find(key);
    return it == o.end() ? nullptr : &it->second;
}

}  // namespace kvn
