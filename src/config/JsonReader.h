// Reading the program's small JSON documents (backup manifests, rig files): one document into a
// tree of values. Nesting is bounded so that a hostile file cannot exhaust the stack.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace kvn {

struct JsonValue;
using JsonObject = std::map<std::string, JsonValue, std::less<>>;
using JsonArray = std::vector<JsonValue>;
struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        data;
};

// The document in `text`; empty, with `error` saying what is wrong and at which character, for
// anything that is not one JSON value (trailing text included).
std::optional<JsonValue> parseJson(std::string_view text, std::string& error);

// The value as a T (bool, double, std::string, JsonArray, JsonObject); null when `v` is null or
// holds something else.
template <typename T>
const T* jsonAs(const JsonValue* v) {
    if (v == nullptr) {
        return nullptr;
    }
    if constexpr (std::is_same_v<T, JsonObject> || std::is_same_v<T, JsonArray>) {
        const auto* p = std::get_if<std::shared_ptr<T>>(&v->data);
        return p != nullptr ? p->get() : nullptr;
    } else {
        return std::get_if<T>(&v->data);
    }
}

// The value as a whole number from `minimum` to `maximum`; empty for anything else (a text, a
// fraction, a number out of that range however large).
std::optional<int> jsonWholeNumber(const JsonValue* v, int minimum, int maximum);

// The member `key` of `o`; null when there is none.
const JsonValue* jsonMember(const JsonObject& o, std::string_view key);

}  // namespace kvn
