// Saving and loading the virtual processor's state.
#include "emulator/StateFile.h"

#include "DeviceTestSupport.h"
#include "emulator/FactoryImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kvn::emu {
namespace {

namespace fs = std::filesystem;

// CRC-32 (IEEE 802.3) written bit by bit, apart from the file code's table; its check value for
// "123456789" is CBF43926.
std::uint32_t crc32Bitwise(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1U) != 0 ? 0xEDB88320U : 0U);
        }
    }
    return ~crc;
}

// The bytes with their last four replaced by the CRC-32 of the rest.
std::vector<std::uint8_t> resealed(std::vector<std::uint8_t> bytes) {
    const std::uint32_t crc = crc32Bitwise(bytes, bytes.size() - 4);
    for (int i = 0; i < 4; ++i) {
        bytes[bytes.size() - 4 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return bytes;
}

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kvn-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static DeviceState busyState() {
        DeviceState state(factoryImage());
        state.memory(5) = test::testImage(5);
        state.memory(60) = test::testImage(60);
        state.setProtected(1, true);
        state.setProtected(60, true);
        state.recall(60);
        state.bank(1)[142] = Word{0, 0, 0x65};  // a real-time change, not kept
        state.keyboardLocked = true;
        state.password = {'A', 'B', 'C', 'D', 'E', 'F', 0xFF};
        state.firmware.assign(6143, 0x5A);
        state.firmwareDone = true;
        return state;
    }

    fs::path dir_;
};

TEST_F(StateFileTest, RoundTripKeepsEverythingAndPowersUpTheActiveMemory) {
    const DeviceState saved = busyState();
    std::string error;
    ASSERT_TRUE(StateFile::save(dir_ / "device.kvs", saved, error)) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";

    const std::optional<DeviceState> loaded = StateFile::load(dir_ / "device.kvs", error);
    ASSERT_TRUE(loaded) << error;
    for (int m = kFirstMemory; m <= kLastMemory; ++m) {
        EXPECT_EQ(loaded->memory(m), saved.memory(m)) << m;
        EXPECT_EQ(loaded->isProtected(m), saved.isProtected(m)) << m;
    }
    EXPECT_EQ(loaded->activeMemory(), 60);
    EXPECT_TRUE(loaded->keyboardLocked);
    EXPECT_EQ(loaded->password, saved.password);
    EXPECT_EQ(loaded->firmware, saved.firmware);
    EXPECT_TRUE(loaded->firmwareDone);
    EXPECT_TRUE(bankDifferences(loaded->bank(1), 1, saved.memory(60)).empty());
}

TEST_F(StateFileTest, DamagedTruncatedOrForeignFilesAreRefused) {
    const std::vector<std::uint8_t> good = StateFile::encode(busyState());
    std::string error;
    ASSERT_TRUE(StateFile::decode(good, error));

    auto refusal = [](std::vector<std::uint8_t> bytes) {
        std::string reason;
        EXPECT_FALSE(StateFile::decode(bytes, reason));
        return reason;
    };
    std::vector<std::uint8_t> flipped = good;
    flipped[5000] ^= 0x01;
    EXPECT_EQ(refusal(flipped), "is damaged (its check sum does not match)");
    EXPECT_EQ(refusal({good.begin(), good.end() - 1}), "is truncated");
    EXPECT_EQ(refusal({good.begin(), good.begin() + 40}), "is truncated");
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_EQ(refusal(longer), "is damaged (it has bytes after its end)");
    EXPECT_EQ(refusal({'P', 'K', 3, 4}), "is not a state file of the virtual processor");
    EXPECT_EQ(refusal({}), "is not a state file of the virtual processor");
    std::vector<std::uint8_t> newer = good;
    newer[9] = 2;
    EXPECT_EQ(refusal(newer), "has format version 2; this program reads version 1");

    // Files whose check sum is right but whose fields the processor cannot have.
    std::vector<std::uint8_t> activeZero = good;
    activeZero[10] = 0;
    EXPECT_EQ(refusal(resealed(activeZero)), "holds values the processor cannot have");
    std::vector<std::uint8_t> lockTwo = good;
    lockTwo[11] = 2;
    EXPECT_EQ(refusal(resealed(lockTwo)), "holds values the processor cannot have");
}

TEST_F(StateFileTest, LayoutStartsWithMagicAndVersionAndEndsWithCrc32) {
    const std::vector<std::uint8_t> bytes = StateFile::encode(busyState());
    ASSERT_EQ(bytes.size(), 82U + 60U * 2046U + 6143U + 4U);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 13),
              (std::vector<std::uint8_t>{'K', 'V', 'N', '3', '5', '0', 'V', 'S', 0x00, 0x01, 60,
                                         0x01, 0x01}));
    EXPECT_EQ(bytes[20], 0x01);  // memory 1 protected
    EXPECT_EQ(bytes[21], 0x00);  // memory 2 not
    EXPECT_EQ(bytes[80], 0x17);  // firmware length 6143
    EXPECT_EQ(bytes[81], 0xFF);
    EXPECT_EQ(resealed(bytes), bytes);  // the check sum is the standard CRC-32
}

TEST_F(StateFileTest, LoadNamesTheFileAndLeavesTheDeviceUnchanged) {
    VirtualProcessor device;
    device.setProtected(7, true);
    std::string error;
    ASSERT_TRUE(device.saveState(dir_ / "good.kvs", error)) << error;

    std::vector<std::uint8_t> bytes = StateFile::encode(busyState());
    bytes[bytes.size() / 2] ^= 0xFF;
    std::ofstream(dir_ / "bad.kvs", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    EXPECT_FALSE(device.loadState(dir_ / "bad.kvs", error));
    EXPECT_NE(error.find("bad.kvs"), std::string::npos) << error;
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_TRUE(device.isProtected(7));
    EXPECT_FALSE(device.keyboardLocked());

    EXPECT_FALSE(device.loadState(dir_ / "missing.kvs", error));
    EXPECT_NE(error.find("missing.kvs"), std::string::npos) << error;

    device.setProtected(7, false);
    ASSERT_TRUE(device.loadState(dir_ / "good.kvs", error)) << error;
    EXPECT_TRUE(device.isProtected(7));
}

TEST_F(StateFileTest, FailedSaveKeepsThePreviousFile) {
    std::string error;
    ASSERT_TRUE(StateFile::save(dir_ / "device.kvs", busyState(), error));
    const auto before = fs::file_size(dir_ / "device.kvs");
    EXPECT_FALSE(StateFile::save(dir_ / "no-such-folder" / "device.kvs", busyState(), error));
    EXPECT_NE(error.find("Cannot save the state file"), std::string::npos) << error;
    // A folder where the file should be: the rename fails, the temporary file goes.
    fs::create_directories(dir_ / "taken.kvs" / "inside");
    EXPECT_FALSE(StateFile::save(dir_ / "taken.kvs", busyState(), error));
    EXPECT_EQ(fs::file_size(dir_ / "device.kvs"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace kvn::emu
