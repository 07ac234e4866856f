// Feeds the virtual processor random byte streams, clock steps, reads and faults; afterwards the
// device must be back at rest and answer an identify exactly.
#include "emulator/VirtualProcessor.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using kvn::emu::Micros;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}
    bool empty() const { return at_ == bytes_.size(); }
    std::uint8_t next() { return empty() ? 0 : bytes_[at_++]; }
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t n = std::min(count, bytes_.size() - at_);
        const auto part = bytes_.subspan(at_, n);
        at_ += n;
        return part;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

kvn::emu::FaultPlan faultsFrom(Input& in) {
    kvn::emu::FaultPlan plan;
    const std::uint8_t choice = in.next();
    if ((choice & 1) != 0) {
        plan.silentFromByte = in.next();
    }
    if ((choice & 2) != 0) {
        plan.wrongByte = kvn::emu::WrongByte{
            .step = static_cast<kvn::emu::TransferStep>(in.next() % 6), .block = in.next() % 40};
    }
    if ((choice & 4) != 0) {
        plan.goneAfterBytes = in.next();
    }
    plan.replyDelay = Micros((choice >> 3) * 1000);
    return plan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    static const int kBauds[] = {0, 0, 9600, 300};
    kvn::emu::VirtualProcessor device(
        kvn::emu::DeviceOptions{.commandReply = in.next(), .baud = kBauds[in.next() % 4]});
    Micros now{0};
    while (!in.empty()) {
        const std::uint8_t op = in.next();
        switch (op % 8) {
            case 0:
            case 1:
            case 2:
            case 3:
                device.write(in.take(op / 8 + 1), now);
                break;
            case 4: {
                const int high = in.next();
                now += Micros(((high << 8) | in.next()) * 100);
                device.advanceTo(now);
                break;
            }
            case 5:
                device.read(now, in.next());
                break;
            case 6:
                device.setFaults(faultsFrom(in));
                break;
            case 7:
                if ((op & 0x08) != 0) {
                    device.reconnect();
                } else if ((op & 0x10) != 0) {
                    device.recallMemory(1 + in.next() % 60);
                } else {
                    device.discardArrived(now);
                }
                break;
        }
    }

    device.setFaults({});
    device.reconnect();
    // Until nothing is due, taking what reaches the PC: bytes that have arrived are not an event.
    for (int steps = 0; steps < 100000; ++steps) {
        device.read(now);
        const std::optional<Micros> next = device.nextEventTime();
        if (!next) {
            break;
        }
        now = std::max(now, *next);
        device.advanceTo(now);
    }
    if (!device.idle()) {
        __builtin_trap();
    }
    device.setBaud(0);
    const std::vector<std::uint8_t> identify = {0x84, 0x00, 0x00, 0x00, 0x00, 0x00, 0x55};
    device.write(identify, now);
    const std::vector<std::uint8_t> expected = {0x84, device.commandReply(), 0x00, 0x00, 0x55};
    if (device.read(now) != expected) {
        __builtin_trap();
    }
    return 0;
}
