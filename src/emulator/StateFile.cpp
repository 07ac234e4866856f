// Saving and loading the virtual processor's state.
#include "emulator/StateFile.h"

#include "config/AtomicFile.h"
#include "emulator/FactoryImage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace kvn::emu {

namespace {

constexpr std::string_view kMagic = "KVN350VS";
constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kActiveAt = 10;
constexpr std::size_t kLockedAt = 11;
constexpr std::size_t kFirmwareDoneAt = 12;
constexpr std::size_t kPasswordAt = 13;
constexpr std::size_t kProtectedAt = kPasswordAt + kPasswordBytes;
constexpr std::size_t kFirmwareLengthAt = kProtectedAt + kMemoryCount;
constexpr std::size_t kMemoriesAt = kFirmwareLengthAt + 2;
constexpr std::size_t kFirmwareAt = kMemoriesAt + kMemoryCount * kImageBytes;
constexpr std::size_t kCheckBytes = 4;
constexpr std::size_t kLargestFile = kFirmwareAt + kFirmwarePayloadBytes + kCheckBytes;

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::uint8_t b : bytes) {
        crc = table[(crc ^ b) & 0xFFU] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::uint32_t getBigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

bool isFlag(std::uint8_t byte) {
    return byte == 0 || byte == 1;
}

std::string quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

}  // namespace

std::vector<std::uint8_t> StateFile::encode(const DeviceState& state) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.reserve(kLargestFile);
    putBigEndian(out, kFormatVersion, 2);
    out.push_back(static_cast<std::uint8_t>(state.activeMemory()));
    out.push_back(state.keyboardLocked ? 1 : 0);
    out.push_back(state.firmwareDone ? 1 : 0);
    out.insert(out.end(), state.password.begin(), state.password.end());
    for (int m = kFirstMemory; m <= kLastMemory; ++m) {
        out.push_back(state.isProtected(m) ? 1 : 0);
    }
    // The device takes no firmware payload longer than this; a longer one cannot be in a state.
    const std::size_t firmwareBytes = std::min(state.firmware.size(), kFirmwarePayloadBytes);
    putBigEndian(out, static_cast<std::uint32_t>(firmwareBytes), 2);
    for (int m = kFirstMemory; m <= kLastMemory; ++m) {
        out.insert(out.end(), state.memory(m).begin(), state.memory(m).end());
    }
    out.insert(out.end(), state.firmware.begin(),
               state.firmware.begin() + static_cast<std::ptrdiff_t>(firmwareBytes));
    putBigEndian(out, crc32(out), 4);
    return out;
}

std::optional<DeviceState> StateFile::decode(std::span<const std::uint8_t> bytes,
                                             std::string& error) {
    if (bytes.size() < kMagic.size() + 2 ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        error = "is not a state file of the virtual processor";
        return std::nullopt;
    }
    const std::uint32_t version = getBigEndian(bytes, kVersionAt, 2);
    if (version != kFormatVersion) {
        error = "has format version " + std::to_string(version) + "; this program reads version " +
                std::to_string(kFormatVersion);
        return std::nullopt;
    }
    if (bytes.size() < kFirmwareAt + kCheckBytes) {
        error = "is truncated";
        return std::nullopt;
    }
    const std::size_t firmwareBytes = getBigEndian(bytes, kFirmwareLengthAt, 2);
    const std::size_t expectedBytes = kFirmwareAt + firmwareBytes + kCheckBytes;
    if (bytes.size() < expectedBytes) {
        error = "is truncated";
        return std::nullopt;
    }
    if (bytes.size() > expectedBytes) {
        error = "is damaged (it has bytes after its end)";
        return std::nullopt;
    }
    const std::size_t checkAt = bytes.size() - kCheckBytes;
    if (crc32(bytes.first(checkAt)) != getBigEndian(bytes, checkAt, 4)) {
        error = "is damaged (its check sum does not match)";
        return std::nullopt;
    }
    const int active = bytes[kActiveAt];
    const bool flagsValid =
        isFlag(bytes[kLockedAt]) && isFlag(bytes[kFirmwareDoneAt]) &&
        std::all_of(bytes.begin() + kProtectedAt, bytes.begin() + kFirmwareLengthAt, isFlag);
    if (!DeviceState::isMemory(active) || !flagsValid || firmwareBytes > kFirmwarePayloadBytes) {
        error = "holds values the processor cannot have";
        return std::nullopt;
    }

    DeviceState state(factoryImage());
    for (int m = kFirstMemory; m <= kLastMemory; ++m) {
        const std::size_t at =
            kMemoriesAt + static_cast<std::size_t>(m - kFirstMemory) * kImageBytes;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kImageBytes,
                    state.memory(m).begin());
        state.setProtected(m,
                           bytes[kProtectedAt + static_cast<std::size_t>(m - kFirstMemory)] != 0);
    }
    state.keyboardLocked = bytes[kLockedAt] != 0;
    state.firmwareDone = bytes[kFirmwareDoneAt] != 0;
    std::copy_n(bytes.begin() + kPasswordAt, kPasswordBytes, state.password.begin());
    state.firmware.assign(bytes.begin() + kFirmwareAt,
                          bytes.begin() + static_cast<std::ptrdiff_t>(kFirmwareAt + firmwareBytes));
    state.recall(active);
    return state;
}

bool StateFile::save(const std::filesystem::path& path, const DeviceState& state,
                     std::string& error) {
    std::string reason;
    if (!writeFileAtomically(path, encode(state), reason)) {
        error = "Cannot save the state file " + quoted(path) + ": " + reason + ".";
        return false;
    }
    return true;
}

std::optional<DeviceState> StateFile::load(const std::filesystem::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot open the state file " + quoted(path) + ": " + std::strerror(errno) + ".";
        return std::nullopt;
    }
    // Read one byte more than the largest state, so that an oversized file is seen as such
    // without reading all of it.
    std::vector<std::uint8_t> bytes(kLargestFile + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        error = "Cannot read the state file " + quoted(path) + ".";
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::string reason;
    std::optional<DeviceState> state = decode(bytes, reason);
    if (!state) {
        error = "The state file " + quoted(path) + " " + reason + "; it was not loaded.";
    }
    return state;
}

}  // namespace kvn::emu
