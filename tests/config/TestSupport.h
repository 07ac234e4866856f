// Shared fixtures of the configuration tests: a richly non-default configuration, a field-by-field
// comparison, temporary folders and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "HexBytes.h"
#include "config/ProcessorConfig.h"

namespace kvn::test {

// A configuration with every stored field away from its default: names with trailing spaces and
// non-ASCII characters, every band type including the shelves with slope, every crossover family,
// mute and polarity, delays, distances, both dynamics units, speaker settings, gates, routes,
// measurement settings and view flags. Its values are ones the editors can produce, and it has
// been through refreshAfterLoad, so a load gives it back unchanged.
ProcessorConfig richConfig();

// Expects every field the preset file stores, and every designed coefficient, to be equal.
void expectSameConfig(const ProcessorConfig& expected, const ProcessorConfig& actual);

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The checked-in files under tests/data.
std::filesystem::path dataFile(const std::string& name);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace kvn::test
