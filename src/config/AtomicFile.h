// Writing a whole file so that a failure never leaves a half-written one: presets, backups, the
// backup manifest and link traffic logs all go through it. Reading a small file whole, bounded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvn {

// Writes `bytes` to `path`: they go to a temporary file in the same folder, which is flushed to
// the disk and then renamed over `path` (an existing file keeps its permissions). False on
// failure, with the system's error text in `error`; any previous file at `path` is then left as
// it was and no temporary file remains.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string& error);
bool writeFileAtomically(const std::filesystem::path& path, std::string_view text,
                         std::string& error);

// The whole of a small file; empty with `error` set ("cannot read NAME", "NAME is longer than N
// bytes") when it cannot be read or is longer than `maxBytes`.
std::optional<std::vector<std::uint8_t>> readSmallFile(const std::filesystem::path& path,
                                                       std::size_t maxBytes, std::string& error);

}  // namespace kvn
