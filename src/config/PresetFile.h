// The preset file (extension "KV2"): one ProcessorConfig with its measurement-import settings and
// total-response view flags, as a fixed 1612-byte little-endian record (layout in
// PresetLayout.h). Files of the previous version, 1596 bytes without the gate values, are read
// too. Texts are Windows-1252 in the file and UTF-8 in the model.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "config/LoadResult.h"
#include "config/PresetLayout.h"
#include "config/ProcessorConfig.h"

namespace kvn {

using PresetRecord = std::array<std::uint8_t, preset::kRecordBytes>;

// The record for `config`, its header text being "Korvellab S.A. KVN 3502.1.0.0" followed by
// `path`, cut to 100 characters. Texts longer than their field are cut. Pure.
PresetRecord BuildPresetRecord(const ProcessorConfig& config, const std::string& path);

// Writes the record to `path` without ever leaving a half-written file there: the bytes go to a
// temporary file in the same folder, which is flushed to the disk and then renamed over `path`.
// On failure the message is the system's error text, any previous file at `path` is left as it
// was, and no temporary file remains.
SaveResult SavePresetFile(const std::string& path, const ProcessorConfig& config);

// Open: runs New on the model (resetToNew), reads the file and loads it, then runs
// refreshAfterLoad(config, LoadSource::PresetFile). Progress: 0 % "Reading VERSION and HEADER...",
// 5 % "Reading PEQs...", 10 %, 15 %, 20 %, 25 %, 28 % "Reading Import File Route...", then the
// refresh's stages up to 100 % "DONE" (the loading window's title is "Opening " + path).
//  - A file that cannot be opened or read: an error with the system's message; nothing loaded.
//  - Size neither 1612 nor 1596, or a record that does not start with the tag "XDACF": the error
//    path + " is not a KVN 350File"; nothing loaded.
//  - 1596 bytes (previous version): the warning path + " is not a KVN 350 File or is an older
//    version (then re-save the file to translate it to VERSION 2.1.0.0"; the gate levels become
//    13 and the gate slopes 4 for both units; then a full load.
// When nothing is loaded the configuration is as New left it. Length bytes above a field's
// capacity are cut to the capacity. SampleRate and PeqBandsInUse are not read.
LoadResult OpenPresetFile(const std::string& path, ProcessorConfig& config,
                          const ProgressCallback& progress = {});

// The same as OpenPresetFile for the whole content of a file already in memory; `path` is used in
// the messages only.
LoadResult OpenPresetBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                           ProcessorConfig& config, const ProgressCallback& progress = {});

// The fields of a preset file as stored, without the refresh after loading: Route as saved, the
// gains from the file, bands and crossover edges as stored and nothing designed. For tools that
// show, compare and convert files and must keep their values. The same checks and messages as
// OpenPresetBytes; SampleRate and PeqBandsInUse are not read either.
LoadResult ReadPresetBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                           ProcessorConfig& config);

}  // namespace kvn
