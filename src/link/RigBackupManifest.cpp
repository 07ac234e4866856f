// The rig backup manifest as JSON, both ways.
#include "link/RigBackupManifest.h"

#include "config/AtomicFile.h"
#include "config/JsonText.h"
#include "link/MemoryRange.h"

namespace kvn::link {
namespace {

constexpr std::size_t kMaxManifestBytes = 1 << 20;

const std::string* text(const JsonObject& o, std::string_view key) {
    return jsonAs<std::string>(jsonMember(o, key));
}

bool plainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

std::string RigBackupManifest::toJson() const {
    std::string out = "{\n  \"created\": " + jsonQuoted(created) + ",\n  \"processors\": [";
    for (std::size_t i = 0; i < processors.size(); ++i) {
        const Entry& e = processors[i];
        out += i == 0 ? "\n" : ",\n";
        out += "    {\"name\": " + jsonQuoted(e.name) + ", \"port\": " + jsonQuoted(e.port) +
               ", \"memory\": " + std::to_string(e.memory) +
               ", \"folder\": " + jsonQuoted(e.folder) + "}";
    }
    out += processors.empty() ? "],\n" : "\n  ],\n";
    out += "  \"missing\": [";
    for (std::size_t i = 0; i < missing.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += "    {\"name\": " + jsonQuoted(missing[i].name) +
               ", \"reason\": " + jsonQuoted(missing[i].reason) + "}";
    }
    out += missing.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::optional<RigBackupManifest> RigBackupManifest::parse(std::string_view json,
                                                          std::string& error) {
    error.clear();
    std::optional<JsonValue> document;
    const JsonArray* list = readProcessorList(json, document, error);
    if (list == nullptr) {
        return std::nullopt;
    }
    const JsonObject& root = *jsonAs<JsonObject>(&*document);
    RigBackupManifest manifest;
    if (const std::string* created = text(root, "created")) {
        manifest.created = *created;
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
        const JsonObject* o = jsonAs<JsonObject>(&(*list)[i]);
        const std::string* name = o != nullptr ? text(*o, "name") : nullptr;
        Entry e;
        e.name = name != nullptr ? *name : std::string();
        auto fail = [&](const char* field, const char* what) {
            error = rigEntryText(i, e.name) + ": " + field + ": " + what;
            return std::nullopt;
        };
        if (name == nullptr || name->empty()) {
            return fail("name", "expected the processor's name");
        }
        const std::string* port = text(*o, "port");
        if (port == nullptr || port->empty()) {
            return fail("port", "expected a port");
        }
        e.port = *port;
        const std::optional<int> memory = jsonWholeNumber(
            jsonMember(*o, "memory"), MemoryRange::all().minimum, MemoryRange::all().maximum);
        if (!memory) {
            return fail("memory", "expected a memory number from 1 to 60");
        }
        e.memory = *memory;
        const std::string* folder = text(*o, "folder");
        if (folder == nullptr || !plainName(*folder)) {
            return fail("folder", "expected the name of a folder in the backup's folder");
        }
        e.folder = *folder;
        manifest.processors.push_back(std::move(e));
    }
    if (const JsonArray* missing = jsonAs<JsonArray>(jsonMember(root, "missing"))) {
        for (const JsonValue& item : *missing) {
            const JsonObject* o = jsonAs<JsonObject>(&item);
            const std::string* name = o != nullptr ? text(*o, "name") : nullptr;
            const std::string* reason = o != nullptr ? text(*o, "reason") : nullptr;
            if (name == nullptr) {
                error = "missing: expected objects with a name and a reason";
                return std::nullopt;
            }
            manifest.missing.push_back({*name, reason != nullptr ? *reason : std::string()});
        }
    }
    return manifest;
}

std::optional<std::vector<RigProcessor>> RigBackupManifest::load(
    const std::filesystem::path& folder, const PortMap& ports, RigBackupManifest& manifest,
    std::string& error) {
    const std::filesystem::path path = folder / kFileName;
    const auto bytes = readSmallFile(path, kMaxManifestBytes, error);
    std::optional<RigBackupManifest> read;
    if (bytes) {
        read = parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     error);
    }
    if (!read) {
        error = path.string() + ": " + error;
        return std::nullopt;
    }
    std::vector<RigProcessor> processors;
    for (std::size_t i = 0; i < read->processors.size(); ++i) {
        const Entry& e = read->processors[i];
        RigProcessor p;
        p.name = e.name;
        p.portText = e.port;
        p.memory = e.memory;
        p.folder = e.folder;
        const std::optional<PortAddress> address = parsePortText(e.port, folder, error);
        if (!address) {
            error = path.string() + ": " + rigEntryText(i, e.name) + ": port: " + error;
            return std::nullopt;
        }
        p.port = *address;
        processors.push_back(std::move(p));
    }
    if (!checkDistinct(processors, ports, error)) {
        error = path.string() + ": " + error;
        return std::nullopt;
    }
    manifest = std::move(*read);
    return processors;
}

}  // namespace kvn::link
