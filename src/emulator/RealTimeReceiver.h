// Takes a real-time message byte by byte (after its START and command 18) and writes it to a
// running coefficient bank. The device sends nothing in answer.
#pragma once

#include "emulator/DeviceCounters.h"
#include "emulator/DeviceState.h"

#include <array>
#include <cstdint>

namespace kvn::emu {

class RealTimeReceiver {
public:
    RealTimeReceiver(DeviceState& state, DeviceCounters& counters);

    // Starts a message whose START and command byte have just arrived.
    void begin();
    // Takes the next byte of the message; true when the message is over. A message is applied
    // only when its END byte is 0x55 and it addresses bank 1 or 2 within the words 0..257:
    // - type 0: payload 00, slot, then five words for slot..slot+4 (bytes 0..1 are read as one
    //   16-bit slot, so a slot above 253 is out of range);
    // - type 2: a 16-bit address and one word. Addresses 258..260 are the output levels, which
    //   the running bank (like the image) keeps at 255..257: they are written there.
    // Anything else is ignored and counted. An unknown type ends the message at once, since its
    // length is unknown; the bytes that follow reach the device at rest.
    bool receive(std::uint8_t byte);

private:
    enum class Step { Bank, Type, Payload, End };

    void finish(bool endIsValid);

    DeviceState& state_;
    DeviceCounters& counters_;
    Step step_ = Step::Bank;
    std::uint8_t bank_ = 0;
    std::uint8_t type_ = 0;
    std::array<std::uint8_t, kSectionPayloadBytes> payload_{};
    std::size_t payloadBytes_ = 0;
    std::size_t received_ = 0;
};

}  // namespace kvn::emu
