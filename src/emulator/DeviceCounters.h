// Counts of what the virtual processor received and did, for assertions in tests.
#pragma once

#include <cstdint>

namespace kvn::emu {

struct DeviceCounters {
    std::uint64_t bytesReceived = 0;       // every byte that reached the device
    std::uint64_t bytesSent = 0;           // every byte the device put on the wire
    std::uint64_t garbageBytes = 0;        // bytes at rest that were not START, ignored
    std::uint64_t silencedBytes = 0;       // bytes ignored because of the silence fault
    std::uint64_t transfersCompleted = 0;  // transfers answered END 0x55 (a stream counts apart)
    std::uint64_t streamsCompleted = 0;    // memory streams whose END the PC echoed
    std::uint64_t transfersRefused = 0;    // protected or unknown memory, wrong LONG, wrong END...
    std::uint64_t transfersAbandoned = 0;  // broken off: silence, a wrong echo, a changed program
    std::uint64_t silenceTimeouts = 0;     // of those, ended by the time-out of silence
    std::uint64_t unknownCommands = 0;     // transfers of a command the device does not know
    std::uint64_t realTimeApplied = 0;     // real-time messages written to a running bank
    std::uint64_t realTimeIgnored = 0;     // real-time messages ignored (bank, address, type, END)
};

}  // namespace kvn::emu
