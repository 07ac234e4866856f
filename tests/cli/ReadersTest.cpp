// Every reader of outside bytes against a truncated, an oversized and a garbage input: each is
// refused with a message, and a configuration it would load into is left as the reader promises.
#include "analysis/MeasurementImport.h"
#include "cli/Cli.h"
#include "config/FilterTextMapping.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "emulator/DeviceState.h"
#include "emulator/FactoryImage.h"
#include "emulator/StateFile.h"
#include "link/BackupManifest.h"
#include "link/FirmwareText.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace kvn::test {
namespace {

using Bytes = std::string;

// A reader: the message it refuses `input` with, or nothing when it took it.
struct Reader {
    const char* name;
    Bytes valid;
    Bytes oversized;  // more than the reader takes
    Bytes truncated;  // empty: the first half of `valid`
    std::function<std::optional<std::string>(const Bytes&)> read;
    // A memory image carries no check of its own: bytes of the right length decode, each value
    // held to its range, so garbage cannot be told from an image.
    bool refusesGarbage = true;
};

std::optional<std::string> refusedWith(bool accepted, const std::string& message) {
    return accepted ? std::nullopt : std::optional<std::string>(message);
}

std::string firstMessage(const LoadResult& result) {
    return result.messages.empty() ? std::string() : result.messages.back().text;
}

template <typename Container>
Bytes asBytes(const Container& c) {
    return {c.begin(), c.end()};
}

Bytes firmwareText() {
    Bytes text = "const unsigned char Dsp[2560] = {\n";
    for (int n = 0; n < 2560; ++n) {
        char entry[8];
        std::snprintf(entry, sizeof entry, "0x%02X", (n * 37 + 11) & 0xFF);
        text += entry + Bytes(n == 2559 ? "" : " , ") + (n % 5 == 4 ? "\n" : "");
    }
    return text;
}

Bytes frdText(int points) {
    Bytes text = "* Freq(Hz) SPL(dB) Phase(deg)\n";
    for (int k = 0; k < points; ++k) {
        text += std::to_string(20 + 10 * k) + " 90.5 -" + std::to_string(k % 180) + "\n";
    }
    return text;
}

std::vector<Reader> readers(const std::filesystem::path& folder) {
    ProcessorConfig config;
    emu::DeviceState state(emu::factoryImage());
    link::BackupManifest manifest;
    manifest.created = "2026-12-07T10:00:00Z";
    manifest.memories.push_back({21, "Main Hall", "2026-12-07T10:00:00Z", "memory-21.KV2", ""});
    Bytes filters;
    for (int n = 1; n <= 8; ++n) {
        filters += "Filter " + std::to_string(n) + ": ON PK Fc " + std::to_string(100 * n) +
                   " Hz Gain -3.5 dB Q 1.41\n";
    }
    const Bytes preset = asBytes(BuildPresetRecord(config, "hall.KV2"));
    const Bytes image = asBytes(BuildImage(config));
    const Bytes stateBytes = asBytes(emu::StateFile::encode(state));
    const Bytes json = manifest.toJson();
    const Bytes firmware = firmwareText();

    return {
        {"preset file",
         preset,
         preset + Bytes(64, '\0'),
         {},
         [folder](const Bytes& bytes) {
             const std::filesystem::path path = folder / "preset.KV2";
             std::ofstream(path, std::ios::binary) << bytes;
             ProcessorConfig loaded;
             loaded.SystemName = "kept";
             const LoadResult result = OpenPresetFile(path.string(), loaded);
             // A refused preset leaves what New makes, never a part of the file.
             EXPECT_TRUE(result.success || loaded == ProcessorConfig{});
             return refusedWith(result.success, firstMessage(result));
         }},
        {"memory image file",
         image,
         image + Bytes(40000, '\0'),
         {},
         [folder](const Bytes& bytes) {
             const std::filesystem::path path = folder / "memory.bin";
             std::ofstream(path, std::ios::binary) << bytes;
             std::ostringstream out, err;
             std::istringstream in;
             cli::CommandIo io{out, err, in};
             const int status = cli::runCli({"image", "decode", path.string()}, io);
             return refusedWith(status == 0, err.str());
         },
         false},
        {"emulator state",
         stateBytes,
         stateBytes + "extra",
         {},
         [](const Bytes& bytes) {
             std::string error;
             const auto decoded = emu::StateFile::decode(
                 {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error);
             return refusedWith(decoded.has_value(), error);
         }},
        {"DSP program text",
         firmware,
         firmware + "0x01 , 0x02\n",
         {},
         [](const Bytes& text) {
             const link::FirmwarePayload payload = link::parseFirmwareText(text);
             return refusedWith(payload.valid(), payload.error);
         }},
        {"filter text for Output 1",
         filters.substr(0, filters.find("Filter 8")),
         filters,
         {},
         [config](const Bytes& text) {
             const EqualizerImportCheck check = checkEqualizerImport(config, 1, text);
             return refusedWith(check.import.has_value(),
                                check.problem ? check.problem->text() : std::string());
         }},
        {"measurement file", frdText(50), Bytes(),
         // a measurement cut short is still a measurement unless no two points remain
         frdText(2).substr(0, frdText(2).rfind("30 ")),
         [folder](const Bytes& text) {
             const std::filesystem::path path = folder / "speaker.frd";
             std::ofstream(path, std::ios::binary) << text;
             if (text.empty()) {  // the oversized case: a file beyond the size limit
                 std::filesystem::resize_file(path, analysis::kMeasurementFileMaxBytes + 1);
             }
             const analysis::MeasurementResult result =
                 analysis::readMeasurement(path.string(), {});
             EXPECT_TRUE(result.status == analysis::MeasurementStatus::Imported ||
                         result.curve.MagDb == ResponseCurve{}.MagDb);
             return refusedWith(result.status == analysis::MeasurementStatus::Imported,
                                result.message);
         }},
        {"backup manifest",
         json,
         json + "{}",
         {},
         [](const Bytes& text) {
             std::string error;
             return refusedWith(link::BackupManifest::parse(text, error).has_value(), error);
         }},
    };
}

TEST(Readers, EveryReaderRefusesTruncatedOversizedAndGarbageInputWithAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Bytes garbage;
    for (int i = 0; i < 3000; ++i) {
        garbage += static_cast<char>((i * 131 + 7) % 256);
    }
    for (const Reader& reader : readers(dir.path().toStdString())) {
        SCOPED_TRACE(reader.name);
        ASSERT_EQ(reader.read(reader.valid), std::nullopt);
        for (const auto& [what, input] :
             {std::pair<const char*, Bytes>{"truncated",
                                            reader.truncated.empty()
                                                ? reader.valid.substr(0, reader.valid.size() / 2)
                                                : reader.truncated},
              {"oversized", reader.oversized},
              {"garbage", garbage}}) {
            const std::optional<std::string> refusal = reader.read(input);
            if (input == garbage && !reader.refusesGarbage) {
                continue;
            }
            ASSERT_TRUE(refusal.has_value()) << what;
            EXPECT_FALSE(refusal->empty()) << what;
        }
    }
}

}  // namespace
}  // namespace kvn::test
