// The image every memory holds until something is written to it.
#pragma once

#include "emulator/DeviceState.h"

namespace kvn::emu {

// The memory image of a New configuration, as the editor would write it: a memory that was never
// written reads back as the start-up defaults.
Image factoryImage();

}  // namespace kvn::emu
