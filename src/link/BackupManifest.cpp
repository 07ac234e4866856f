// The backup manifest as JSON, both ways.
#include "link/BackupManifest.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "config/JsonReader.h"
#include "config/JsonText.h"
#include "link/MemoryRange.h"

namespace kvn::link {
namespace {

// Reads the manifest's keys, naming the first one that is wrong.
class Fields {
public:
    explicit Fields(std::string& error) : error_(error) {}

    bool text(const JsonObject& o, std::string_view key, std::string& out, bool required = true) {
        const JsonValue* v = jsonMember(o, key);
        if (v == nullptr && !required) {
            return true;
        }
        const std::string* s = jsonAs<std::string>(v);
        if (s == nullptr) {
            return fail(key, "expected a text");
        }
        out = *s;
        return true;
    }
    bool memory(const JsonObject& o, int& out) {
        const std::optional<int> n = jsonWholeNumber(
            jsonMember(o, "memory"), MemoryRange::all().minimum, MemoryRange::all().maximum);
        if (!n) {
            return fail("memory", "expected a memory number from 1 to 60");
        }
        out = *n;
        return true;
    }
    // A plain file name inside the backup folder.
    bool fileName(const JsonObject& o, std::string_view key, std::string& out, bool required) {
        if (!text(o, key, out, required)) {
            return false;
        }
        if (out.find_first_of("/\\") != std::string::npos || out == "." || out == ".." ||
            (required && out.empty())) {
            return fail(key, "expected the name of a file in the backup folder");
        }
        return true;
    }
    const JsonArray* list(const JsonObject& o, std::string_view key) {
        const JsonValue* v = jsonMember(o, key);
        if (v == nullptr) {
            static const JsonArray kEmpty;
            return &kEmpty;
        }
        const JsonArray* a = jsonAs<JsonArray>(v);
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
    const std::optional<JsonValue> document = parseJson(json, error);
    if (!document) {
        return std::nullopt;
    }
    const JsonObject* root = jsonAs<JsonObject>(&*document);
    if (root == nullptr) {
        error = "expected an object";
        return std::nullopt;
    }
    Fields fields(error);
    BackupManifest manifest;
    fields.text(*root, "created", manifest.created, false);
    const JsonArray* memories = fields.list(*root, "memories");
    const JsonArray* unreadable = fields.list(*root, "unreadable");
    if (memories != nullptr) {
        for (const JsonValue& item : *memories) {
            const JsonObject* o = jsonAs<JsonObject>(&item);
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
        for (const JsonValue& item : *unreadable) {
            const JsonObject* o = jsonAs<JsonObject>(&item);
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

std::string fileSafeName(const std::string& name) {
    std::string safe;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool refused = c < 0x20 || c == 0x7F ||
                             std::string_view("<>:\"/\\|?*").find(ch) != std::string_view::npos;
        safe += refused ? '_' : ch;
    }
    // Names are padded with spaces in the processor; a name of dots alone is no file name.
    const std::size_t first = safe.find_first_not_of(" .");
    const std::size_t last = safe.find_last_not_of(" .");
    return first == std::string::npos ? std::string("NoName")
                                      : safe.substr(first, last - first + 1);
}

std::string backupFileStem(int memory, const std::string& presetName) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", memory);
    return std::string("memory-") + number + "-" + fileSafeName(presetName);
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
