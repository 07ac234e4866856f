// The image every memory holds until something is written to it, when the caller has no image
// of a default configuration to offer.
#pragma once

#include "emulator/DeviceState.h"

namespace kvn::emu {

// A well-formed 2046-byte memory image standing in for a default preset:
// - header 07 FC CB 00 and eight 01 bytes; names "NoName", "In1", "In2", "Out1", "Out2", "SUB"
//   and the reserved name fields, space-padded;
// - both coefficient blocks identical and passing the signal through unchanged: routing gains of
//   input A to Output 1, input B to Output 2 and half of each to SUB, every equaliser and crossover
//   section b0 = 1.0 with the other four words 0, delays of 0 samples (integer word 1), input
//   matrix 1, 0, 0, 1, both dynamics gain tables 1.0 with their four time words 0, the constant
//   word 18, output levels 1.0;
// - the parameter block all zero (it describes no editable configuration; the editor replaces
//   this image with the one of its default configuration), then the 0D fill and a final 00.
Image placeholderImage();

}  // namespace kvn::emu
