// Reading and checking rig files.
#include "link/RigFile.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "config/AtomicFile.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "config/PresetLayout.h"
#include "link/BackupManifest.h"
#include "link/MemoryRange.h"

namespace kvn::link {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxRigFileBytes = 1 << 20;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Reads one entry; false with `error` naming the entry and the field.
bool readEntry(const JsonValue& item, std::size_t index, const fs::path& base,
               RigProcessor& processor, std::string& error) {
    std::string name;
    auto fail = [&](const char* field, const std::string& what) {
        error = rigEntryText(index, name) + ": " + field + ": " + what;
        return false;
    };
    const JsonObject* entry = jsonAs<JsonObject>(&item);
    if (entry == nullptr) {
        return fail("entry", "expected an object with name, port, memory and preset");
    }
    const std::string* nameText = jsonAs<std::string>(jsonMember(*entry, "name"));
    if (nameText == nullptr || nameText->find_first_not_of(' ') == std::string::npos) {
        return fail("name", "expected the processor's name");
    }
    name = *nameText;
    processor.name = name;

    const std::string* port = jsonAs<std::string>(jsonMember(*entry, "port"));
    if (port == nullptr || port->empty()) {
        return fail("port",
                    "expected a port (a device path, COM1..COM4, usb:SERIAL or "
                    "virtual:STATE_FILE)");
    }
    std::string portError;
    const std::optional<PortAddress> address = parsePortText(*port, base, portError);
    if (!address) {
        return fail("port", portError);
    }
    if (address->kind == PortAddress::Kind::Virtual && address->location.empty()) {
        return fail("port", "a virtual processor needs its state file: virtual:STATE_FILE");
    }
    processor.portText = *port;
    processor.port = *address;

    const MemoryRange range = MemoryRange::user();
    const std::optional<int> memory =
        jsonWholeNumber(jsonMember(*entry, "memory"), range.minimum, range.maximum);
    if (!memory) {
        return fail("memory", "expected a memory number from " + std::to_string(range.minimum) +
                                  " to " + std::to_string(range.maximum));
    }
    processor.memory = *memory;

    const std::string* preset = jsonAs<std::string>(jsonMember(*entry, "preset"));
    if (preset == nullptr || preset->empty()) {
        return fail("preset", "expected the preset file the memory should hold");
    }
    processor.preset = (base / *preset).lexically_normal();
    std::string readError;
    const auto bytes = readSmallFile(processor.preset, preset::kRecordBytes, readError);
    if (!bytes) {
        return fail("preset", processor.preset.string() + ": " + readError);
    }
    ProcessorConfig config;
    const LoadResult opened = OpenPresetBytes(*bytes, processor.preset.string(), config);
    if (!opened.loaded) {
        return fail("preset", opened.messages.empty() ? processor.preset.string() + " does not open"
                                                      : opened.messages.back().text);
    }
    const ImageBuffer image = BuildImage(config);
    processor.image.assign(image.begin(), image.end());
    processor.folder = fileSafeName(name);
    return true;
}

}  // namespace

std::string rigEntryText(std::size_t index, const std::string& name) {
    return "entry " + std::to_string(index + 1) + (name.empty() ? "" : " (" + name + ")");
}

const JsonArray* readProcessorList(std::string_view json, std::optional<JsonValue>& document,
                                   std::string& error) {
    document = parseJson(json, error);
    if (!document) {
        return nullptr;
    }
    const JsonObject* root = jsonAs<JsonObject>(&*document);
    const JsonArray* list =
        root != nullptr ? jsonAs<JsonArray>(jsonMember(*root, "processors")) : nullptr;
    if (list == nullptr) {
        error = "processors: expected a list of processors";
    }
    return list;
}

bool checkDistinct(const std::vector<RigProcessor>& processors, const PortMap& ports,
                   std::string& error) {
    std::map<std::string, std::size_t> byPort;
    std::map<std::string, std::size_t> byFolder;
    for (std::size_t i = 0; i < processors.size(); ++i) {
        const RigProcessor& p = processors[i];
        auto both = [&](std::size_t other) {
            return rigEntryText(other, processors[other].name) + " and " + rigEntryText(i, p.name);
        };
        // Folder names are compared without case: some file systems do.
        if (const auto [it, added] = byFolder.emplace(lower(p.folder), i); !added) {
            error = both(it->second) +
                    ": name: two processors of one name (or of names that give "
                    "one backup folder, '" +
                    p.folder + "')";
            return false;
        }
        const std::string identity = portIdentity(p.port, ports);
        if (identity.empty()) {
            continue;
        }
        if (const auto [it, added] = byPort.emplace(identity, i); !added) {
            error = both(it->second) + ": port: both lead to " +
                    identity.substr(identity.find(':') + 1) + "; a port reaches one processor";
            return false;
        }
    }
    return true;
}

std::optional<RigFile> RigFile::parse(std::string_view json, const fs::path& base,
                                      const PortMap& ports, std::string& error) {
    error.clear();
    std::optional<JsonValue> document;
    const JsonArray* list = readProcessorList(json, document, error);
    if (list == nullptr) {
        return std::nullopt;
    }
    if (list->empty()) {
        error = "processors: the list is empty";
        return std::nullopt;
    }
    RigFile rig;
    for (std::size_t i = 0; i < list->size(); ++i) {
        RigProcessor processor;
        if (!readEntry((*list)[i], i, base, processor, error)) {
            return std::nullopt;
        }
        rig.processors.push_back(std::move(processor));
    }
    if (!checkDistinct(rig.processors, ports, error)) {
        return std::nullopt;
    }
    return rig;
}

std::optional<RigFile> RigFile::load(const fs::path& file, const PortMap& ports,
                                     std::string& error) {
    const auto bytes = readSmallFile(file, kMaxRigFileBytes, error);
    std::optional<RigFile> rig;
    if (bytes) {
        const fs::path base = file.has_parent_path() ? file.parent_path() : fs::path(".");
        rig = parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                    base, ports, error);
    }
    if (!rig) {
        error = file.string() + ": " + error;
        return std::nullopt;
    }
    rig->path = file;
    return rig;
}

}  // namespace kvn::link
