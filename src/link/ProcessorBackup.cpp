// Backup and restore of the processor's memories.
#include "link/ProcessorBackup.h"

#include <optional>
#include <system_error>

#include "config/AtomicFile.h"
#include "config/ImageLayout.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "link/ImageCheck.h"

namespace kvn::link {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxManifestBytes = 1 << 20;

std::string trimmedName(const std::string& name) {
    const std::size_t last = name.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

std::string progressText(const char* what, int memory, std::size_t index, std::size_t count) {
    return std::string(what) + " memory " + std::to_string(memory) + " (" +
           std::to_string(index + 1) + " of " + std::to_string(count) + ")...";
}

}  // namespace

std::vector<std::string> ProcessorBackup::Report::problems() const {
    std::vector<std::string> lines;
    if (!error.empty()) {
        lines.push_back(error);
    }
    for (const BackupManifest::Unreadable& s : skipped) {
        lines.push_back("Memory " + std::to_string(s.memory) + ": " + s.reason);
    }
    return lines;
}

ProcessorBackup::ProcessorBackup(DeviceSequences& sequences) : sequences_(sequences) {}

bool ProcessorBackup::backupMemory(const fs::path& folder, int memory, Report& report) {
    auto skip = [&](std::string reason) {
        report.skipped.push_back({memory, std::move(reason)});
        return false;
    };
    const auto read = sequences_.ReadMemoryConfirmed(memory, false);
    if (!read) {
        return skip(sequences_.lastFailure());
    }
    report.extraReadMs += read->extraMs;
    const std::vector<std::uint8_t>& image = read->bytes;
    ProcessorConfig config;
    config.resetToNew();
    const LoadResult loaded = LoadImage(image, config);
    if (!loaded.loaded) {
        return skip("the memory holds no readable preset" +
                    (loaded.messages.empty() ? std::string() : ": " + loaded.messages[0].text));
    }
    BackupManifest::Entry entry;
    entry.memory = memory;
    entry.name = trimmedName(config.SystemName);
    entry.time = utcTimeText();
    const std::string stem = backupFileStem(memory, entry.name);
    entry.file = stem + ".KV2";
    entry.image = stem + ".img";
    const SaveResult saved = SavePresetFile((folder / entry.file).string(), config);
    if (!saved.success) {
        return skip(saved.messages.empty() ? "cannot save " + entry.file : saved.messages[0].text);
    }
    std::string error;
    if (!writeFileAtomically(folder / entry.image, image, error)) {
        return skip("cannot save " + entry.image + ": " + error);
    }
    if (!sequences_.lastReadWarning().empty()) {
        report.warnings.push_back("Memory " + std::to_string(memory) + ": " +
                                  sequences_.lastReadWarning());
    }
    report.saved.push_back(std::move(entry));
    return true;
}

ProcessorBackup::Report ProcessorBackup::backup(const fs::path& folder, MemoryRange range) {
    Report report;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        report.error = "The folder " + folder.string() + " cannot be made: " +
                       (ec ? ec.message() : std::string("a file of that name is in the way"));
        return report;
    }
    BackupManifest manifest;
    manifest.created = utcTimeText();
    const std::size_t count = static_cast<std::size_t>(range.maximum - range.minimum + 1);
    for (int memory = range.minimum; memory <= range.maximum; ++memory) {
        sequences_.progress().setInfo(progressText(
            "Backing up", memory, static_cast<std::size_t>(memory - range.minimum), count));
        backupMemory(folder, memory, report);
    }
    if (report.saved.empty()) {
        return report;
    }
    manifest.memories = report.saved;
    manifest.unreadable = report.skipped;
    std::string error;
    if (!writeFileAtomically(folder / BackupManifest::kFileName, manifest.toJson(), error)) {
        report.error = std::string("The backup manifest ") + BackupManifest::kFileName +
                       " was not written: " + error;
    }
    return report;
}

bool ProcessorBackup::restoreMemory(const fs::path& folder, const BackupManifest::Entry& entry,
                                    MemoryRange range, std::string& reason) {
    if (!range.contains(entry.memory)) {
        reason = "a factory memory: it is written back only with the access code";
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> file =
        readSmallFile(folder / entry.file, preset::kRecordBytes, reason);
    if (!file) {
        return false;
    }
    ProcessorConfig config;
    const LoadResult opened = OpenPresetBytes(*file, entry.file, config);
    if (!opened.loaded) {
        reason = opened.messages.empty() ? entry.file + " cannot be read" : opened.messages[0].text;
        return false;
    }
    const ImageBuffer built = BuildImage(config);
    std::vector<std::uint8_t> image(built.begin(), built.end());
    // The exact bytes bring back what the memory held, coefficients an older program designed
    // and values the editor's load would change included; they are taken only while the preset
    // file still says what the backup saved from them. The comparison goes through the same load
    // the backup made (not the raw bytes, which the load may change: SUB's bands are held to
    // 500 Hz, for one), so an unchanged file always brings the exact bytes back.
    std::string ignored;
    if (!entry.image.empty()) {
        if (const auto exact = readSmallFile(folder / entry.image, image::kTransferBytes, ignored);
            exact && exact->size() == image::kTransferBytes) {
            ProcessorConfig saved;
            saved.resetToNew();
            if (LoadImage(*exact, saved).loaded) {
                const ImageBuffer fromBackup = BuildImage(saved);
                if (compareImages(fromBackup, image).fields.empty()) {
                    image = *exact;
                }
            }
        }
    }
    if (!sequences_.WriteMemory(entry.memory, image)) {
        reason = sequences_.lastFailure();
        return false;
    }
    const auto verification = sequences_.VerifyMemory(entry.memory, image);
    if (!verification) {
        reason = "written, but it could not be read back to check it: " + sequences_.lastFailure();
        return false;
    }
    if (!verification->passed()) {
        reason = "written, but the memory does not hold what was written";
        return false;
    }
    return true;
}

ProcessorBackup::Report ProcessorBackup::restore(const fs::path& folder, MemoryRange range) {
    Report report;
    std::string error;
    const fs::path manifestPath = folder / BackupManifest::kFileName;
    const auto bytes = readSmallFile(manifestPath, kMaxManifestBytes, error);
    std::optional<BackupManifest> manifest;
    if (bytes) {
        manifest = BackupManifest::parse(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
    }
    if (!manifest) {
        report.error = manifestPath.string() + ": " + error;
        return report;
    }
    for (std::size_t i = 0; i < manifest->memories.size(); ++i) {
        const BackupManifest::Entry& entry = manifest->memories[i];
        sequences_.progress().setInfo(
            progressText("Restoring", entry.memory, i, manifest->memories.size()));
        std::string reason;
        if (restoreMemory(folder, entry, range, reason)) {
            report.saved.push_back(entry);
        } else {
            report.skipped.push_back({entry.memory, reason});
        }
    }
    for (const BackupManifest::Unreadable& missing : manifest->unreadable) {
        report.skipped.push_back({missing.memory, "not in the backup (" + missing.reason + ")"});
    }
    if (manifest->memories.empty()) {
        report.error = manifestPath.string() + " lists no memory";
    }
    return report;
}

}  // namespace kvn::link
