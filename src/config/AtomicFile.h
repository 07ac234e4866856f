// Writing a whole file so that a failure never leaves a half-written one: presets, backups, the
// backup manifest and link traffic logs all go through it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace kvn {

// Writes `bytes` to `path`: they go to a temporary file in the same folder, which is flushed to
// the disk and then renamed over `path` (an existing file keeps its permissions). False on
// failure, with the system's error text in `error`; any previous file at `path` is then left as
// it was and no temporary file remains.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string& error);
bool writeFileAtomically(const std::filesystem::path& path, std::string_view text,
                         std::string& error);

}  // namespace kvn
