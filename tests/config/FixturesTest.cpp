// The checked-in preset files and images under tests/data (written once by kvn_config_fixtures)
// still read, and write back byte for byte.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"

namespace kvn {
namespace {

// The header of each file holds the path it was written under.
std::string headerPath(const std::string& name) {
    return "tests/data/" + name;
}

template <typename Buffer>
std::vector<std::uint8_t> bytesOf(const Buffer& buffer) {
    return {buffer.begin(), buffer.end()};
}

TEST(Fixtures, PresetFilesReadAndWriteBackIdentically) {
    for (const std::string name : {"default.KV2", "rich.KV2"}) {
        SCOPED_TRACE(name);
        const auto bytes = test::readBytes(test::dataFile(name));
        ASSERT_EQ(bytes.size(), 1612u);
        ProcessorConfig c;
        const LoadResult r = OpenPresetFile(test::dataFile(name).string(), c);
        EXPECT_TRUE(r.success && r.loaded);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(bytesOf(BuildPresetRecord(c, headerPath(name))), bytes);
    }
    ProcessorConfig rich;
    OpenPresetFile(test::dataFile("rich.KV2").string(), rich);
    test::expectSameConfig(test::richConfig(), rich);
}

TEST(Fixtures, PreviousVersionFileReadsWithGateDefaults) {
    const auto bytes = test::readBytes(test::dataFile("previous-version.KV2"));
    ProcessorConfig c;
    const LoadResult r = OpenPresetFile(test::dataFile("previous-version.KV2").string(), c);
    EXPECT_TRUE(r.success && r.loaded);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, MessageKind::Warning);
    // Saving translates it: the same record followed by the gate values.
    const auto written = bytesOf(BuildPresetRecord(c, headerPath("previous-version.KV2")));
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + 1596), bytes);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin() + 1596, written.end()),
              test::hex("0D 00 00 00 0D 00 00 00 04 00 00 00 04 00 00 00"));
}

TEST(Fixtures, DamagedPresetFilesAreRefused) {
    for (const std::string name : {"truncated.KV2", "bad-tag.KV2", "wrong-size.KV2"}) {
        SCOPED_TRACE(name);
        const std::string path = test::dataFile(name).string();
        ProcessorConfig c;
        const LoadResult r = OpenPresetFile(path, c);
        EXPECT_FALSE(r.success || r.loaded);
        EXPECT_EQ(r.messages,
                  (std::vector<UserMessage>{{MessageKind::Error, path + " is not a KVN 350File"}}));
    }
}

TEST(Fixtures, ImagesReadAndWriteBackIdentically) {
    for (const std::string name : {"default.img", "rich.img"}) {
        SCOPED_TRACE(name);
        const auto bytes = test::readBytes(test::dataFile(name));
        ASSERT_EQ(bytes.size(), 2046u);
        ProcessorConfig c;
        ASSERT_TRUE(LoadImage(bytes, c).loaded);
        EXPECT_EQ(bytesOf(BuildImage(c)), bytes);
    }

    auto older = test::readBytes(test::dataFile("version202.img"));
    ProcessorConfig c;
    ASSERT_TRUE(LoadImage(older, c).loaded);
    const ImageBuffer rewritten = BuildImage(c);
    EXPECT_EQ(rewritten[image::kVersion], 203);
    EXPECT_EQ(std::vector<std::uint8_t>(rewritten.begin() + image::kGates,
                                        rewritten.begin() + image::kGates + 4),
              test::hex("0D 0D 04 04"));  // gate levels 13, 13, slopes 4, 4

    ProcessorConfig untouched;
    EXPECT_FALSE(LoadImage(test::readBytes(test::dataFile("truncated.img")), untouched).loaded);
}

}  // namespace
}  // namespace kvn
