// The processor memory image: one preset as the processor stores it, built from the configuration
// for a memory write and decoded from the bytes a memory read returns. The layout is in
// ImageLayout.h; all multi-byte values are big-endian.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "config/ImageLayout.h"
#include "config/LoadResult.h"
#include "config/ProcessorConfig.h"

namespace kvn {

// The bytes handed to the link: the length field + 2 = 2046 bytes from offset 0.
using ImageBuffer = std::array<std::uint8_t, image::kTransferBytes>;

// Builds the image: header 07 FC CB 00 and eight 01; the names space-padded (Windows-1252, cut to
// their fields); coefficient banks A and B, each the same 258 words; the parameter block twice
// with the 4 gate bytes between; 0D up to offset 2044; byte 2045 is 0. Crossover sections go in
// the order low-pass second, low-pass first, high-pass second, high-pass first (SUB: its low-pass
// edge only). Byte and 16-bit fields, fixed-point and integer words saturate to their range.
// Pure: the coefficients are taken as the model holds them, nothing is designed, and no link
// state changes (filling bank B never switches the real-time bank as a side effect).
ImageBuffer BuildImage(const ProcessorConfig& config);

// Decodes a received image into `config`: the names (trailing spaces kept), the first copy of
// the parameter block through the inverse encodings, the gates (defaults 13/13 and 4/4 for an
// image older than format 203), and DelaySamples from the low bytes of coefficient words 141..143
// (word - 1, held to 0..234). Band type bytes 14 and 15 come back as the shelves with slope 15
// and 16 that the builder writes as them; a byte the builder never writes comes back as Bypass.
// Temperature is read too, so that a read gives back the temperature that was written. Route
// holds the saved route; refreshAfterLoad restores the routes and redesigns every filter
// (LoadImage does both).
// Fields the image does not carry keep their values. An image shorter than the built image
// (2045 bytes) is refused with a message and `config` is left unchanged; nothing is read beyond
// `received`.
LoadResult DecodeImage(std::span<const std::uint8_t> received, ProcessorConfig& config);

// What a memory read does with the received bytes: reports the single "Loading..." stage,
// decodes the image and runs refreshAfterLoad(config, LoadSource::Image). The messages are the
// decoder's refusal or the crossover reload's Bessel limit warnings.
LoadResult LoadImage(std::span<const std::uint8_t> received, ProcessorConfig& config,
                     const ProgressCallback& progress = {});

}  // namespace kvn
