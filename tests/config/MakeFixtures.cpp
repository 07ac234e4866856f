// Writes the preset files and memory images kept in tests/data. Run once from the repository root
// (`build/tests/config/kvn_config_fixtures tests/data`); the files are checked in and the tests
// require that the code still reads them and writes them back byte for byte.
#include <cstdio>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"

namespace {

using namespace kvn;

// The configuration as loads of `config` from a preset file leave it. Two loads: the first holds
// a SUB band above 500 Hz to 500 Hz, the second moves it to the slider step below.
ProcessorConfig throughFile(const ProcessorConfig& config, const std::string& scratch) {
    ProcessorConfig loaded = config;
    for (int pass = 0; pass < 2; ++pass) {
        SavePresetFile(scratch, loaded);
        OpenPresetFile(scratch, loaded);
    }
    std::filesystem::remove(scratch);
    return loaded;
}

std::vector<std::uint8_t> bytesOf(const auto& buffer) {
    return {buffer.begin(), buffer.end()};
}

// The image as reads of `config`'s image leave it, written again. A read runs New first, so what
// the image does not carry (the makeup gain, for one) is at its default.
ImageBuffer throughImage(const ProcessorConfig& config) {
    ImageBuffer image = BuildImage(config);
    for (int pass = 0; pass < 2; ++pass) {
        ProcessorConfig loaded;
        LoadImage(image, loaded);
        image = BuildImage(loaded);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder, as it should appear in the files' header>\n",
                     argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::string scratch = dir + "/scratch.KV2";
    const ProcessorConfig start = throughFile(ProcessorConfig{}, scratch);
    const ProcessorConfig rich = throughFile(test::richConfig(), scratch);

    SavePresetFile(dir + "/default.KV2", start);
    SavePresetFile(dir + "/rich.KV2", rich);
    auto bytes = bytesOf(BuildPresetRecord(rich, dir + "/previous-version.KV2"));
    bytes.resize(preset::kPreviousRecordBytes);
    test::writeBytes(dir + "/previous-version.KV2", bytes);

    const auto full = bytesOf(BuildPresetRecord(rich, dir + "/rich.KV2"));
    test::writeBytes(dir + "/truncated.KV2", {full.begin(), full.begin() + 1000});
    auto badTag = full;
    badTag[5] = 'G';
    test::writeBytes(dir + "/bad-tag.KV2", badTag);
    auto tooLong = full;
    tooLong.resize(full.size() + 4, 0);
    test::writeBytes(dir + "/wrong-size.KV2", tooLong);

    test::writeBytes(dir + "/default.img", bytesOf(throughImage(ProcessorConfig{})));
    const auto richImage = bytesOf(throughImage(test::richConfig()));
    test::writeBytes(dir + "/rich.img", richImage);
    auto older = richImage;
    older[image::kVersion] = 202;
    test::writeBytes(dir + "/version202.img", older);
    test::writeBytes(dir + "/truncated.img", {richImage.begin(), richImage.begin() + 1500});
    return 0;
}
