// The code box behind the main window's logo: the right code opens the factory memories 1..20
// for writing; any other code closes them again.
#pragma once

#include <string_view>

#include "link/MemoryRange.h"

namespace kvn::link {

struct AccessCodeResult {
    MemoryRange range;         // the memory selector's new range
    int memory = 21;           // the memory selector's new value
    bool unprotected = false;  // show "Unprotected System. Now you can write in all the memories"
};

// Applies `code` as typed (Enter pressed) to a memory selector standing at `memory`.
AccessCodeResult applyAccessCode(std::string_view code, int memory);

}  // namespace kvn::link
