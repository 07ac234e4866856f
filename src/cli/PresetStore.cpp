// Preset files for the commands.
#include "cli/PresetStore.h"

#include <QFile>
#include <ostream>

#include "cli/CliError.h"
#include "config/AtomicFile.h"
#include "config/LoadResult.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "config/PresetLayout.h"

namespace kvn::cli {
namespace {

// Reports the messages of a load: warnings are printed, the first error ends the command.
void report(const LoadResult& result, std::ostream& messages, const std::string& source = {}) {
    for (const UserMessage& m : result.messages) {
        if (m.kind == MessageKind::Error) {
            throwBadInput(source.empty() ? m.text : source + ": " + m.text);
        }
        messages << "kvn350: " << m.text << "\n";
    }
    if (!result.loaded) {
        throwBadInput("nothing was loaded");
    }
}

std::int32_t littleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace

ProcessorConfig PresetStore::newPreset() {
    ProcessorConfig config;
    config.resetToNew();
    return config;
}

std::vector<std::uint8_t> PresetStore::readFile(const std::string& path, std::size_t maxBytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throwBadInput(path + ": " + file.errorString().toStdString());
    }
    // One byte more than allowed tells a file that is too long without reading all of it.
    const QByteArray data = file.read(static_cast<qint64>(maxBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        throwBadInput(path + ": " + file.errorString().toStdString());
    }
    if (static_cast<std::size_t>(data.size()) > maxBytes) {
        throwBadInput(path + ": longer than " + std::to_string(maxBytes) + " bytes");
    }
    return {data.begin(), data.end()};
}

void PresetStore::writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string reason;
    if (!writeFileAtomically(path, bytes, reason)) {
        throwBadInput(path + ": " + reason);
    }
}

PresetStore::Stored PresetStore::loadStored(const std::string& path, std::ostream& messages) {
    const std::vector<std::uint8_t> bytes = readFile(path, preset::kRecordBytes);
    Stored stored;
    report(ReadPresetBytes(bytes, path, stored.config), messages);
    stored.previousVersion = bytes.size() == preset::kPreviousRecordBytes;
    // Written to every file but not read by the editor.
    stored.config.SampleRate = littleEndian32(bytes, preset::kSampleRateField);
    for (int n = 1; n <= kOutputCount; ++n) {
        stored.config.output(n).PeqBandsInUse =
            littleEndian32(bytes, preset::kBandsInUse + 4 * static_cast<std::size_t>(n - 1));
    }
    return stored;
}

ProcessorConfig PresetStore::loadForUse(const std::string& path, std::ostream& messages) {
    const std::vector<std::uint8_t> bytes = readFile(path, preset::kRecordBytes);
    ProcessorConfig config;
    report(OpenPresetBytes(bytes, path, config), messages);
    return config;
}

ProcessorConfig PresetStore::decodeImage(const std::vector<std::uint8_t>& bytes,
                                         const std::string& source, std::ostream& messages) {
    ProcessorConfig config = newPreset();
    report(LoadImage(bytes, config), messages, source);
    return config;
}

void PresetStore::save(const ProcessorConfig& config, const std::string& path) {
    const SaveResult result = SavePresetFile(path, config);
    if (!result.success) {
        std::string text;
        for (const UserMessage& m : result.messages) {
            text += (text.empty() ? "" : "; ") + m.text;
        }
        throwBadInput(text.empty() ? path + ": cannot be written" : text);
    }
}

}  // namespace kvn::cli
