// A serial port wired to the virtual processor in the same process.
#pragma once

#include "emulator/VirtualProcessor.h"
#include "link/ByteChannel.h"
#include "link/EmulatorClock.h"

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace kvn::link {

// Behaves as the serial port the processor is plugged into (see ByteChannel for the contract):
// - connect() fails when the port is made absent (setPortPresent(false)) or when the device has
//   disappeared, as a USB serial adapter that was pulled out; opening drops bytes that arrived
//   while the port was closed.
// - sendData() hands every byte to the device at once (the output never fills).
// - awaitChunk() waits on the channel's clock (virtual or real) and returns every byte that has
//   arrived; when the device disappears it returns nothing, the channel turns disconnected and
//   errorText() reports an input/output error.
// - On a real clock the device keeps up with the wall clock even while nobody reads: a message
//   that is never answered (a real-time edit) is taken in when its last byte would have arrived,
//   so what the device holds is never a message behind what was sent.
// One thread uses a channel at a time; the device may be shared with threads reading its state.
class VirtualSerialChannel : public ByteChannel {
public:
    // `device` must outlive the channel.
    explicit VirtualSerialChannel(emu::VirtualProcessor& device,
                                  ClockPolicy policy = ClockPolicy::Virtual);
    ~VirtualSerialChannel() override;
    VirtualSerialChannel(const VirtualSerialChannel&) = delete;
    VirtualSerialChannel& operator=(const VirtualSerialChannel&) = delete;

    // An absent port cannot be opened (the default is present).
    void setPortPresent(bool present) { portPresent_ = present; }

    bool connect() override;
    void disconnect() override;
    bool connected() const override { return connected_; }
    int sendData(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override;
    void purgeInput() override;
    std::string errorText() const override { return errorText_; }

    const EmulatorClock& clock() const { return clock_; }

private:
    bool checkDevicePresent();
    // The real clock's keeper: brings the device up to the present whenever something on it is
    // due, and sleeps while nothing is.
    void keepUp(std::stop_token stop);

    emu::VirtualProcessor& device_;
    EmulatorClock clock_;
    bool portPresent_ = true;
    bool connected_ = false;
    std::string errorText_;

    std::mutex keeperMutex_;
    std::condition_variable_any keeperWake_;
    bool sent_ = false;    // bytes were written since the keeper last looked
    std::jthread keeper_;  // last: stopped and joined before the rest goes
};

}  // namespace kvn::link
