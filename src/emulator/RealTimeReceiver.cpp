// Real-time messages: single words and whole sections written to a running bank.
#include "emulator/RealTimeReceiver.h"

namespace kvn::emu {

namespace {

constexpr int kFirstLevelAddressRealTime = 258;
constexpr int kLastLevelAddressRealTime = 260;
constexpr int kWordsPerSection = 5;

}  // namespace

RealTimeReceiver::RealTimeReceiver(DeviceState& state, DeviceCounters& counters)
    : state_(state), counters_(counters) {}

void RealTimeReceiver::begin() {
    step_ = Step::Bank;
    received_ = 0;
}

bool RealTimeReceiver::receive(std::uint8_t byte) {
    switch (step_) {
        case Step::Bank:
            bank_ = byte;
            step_ = Step::Type;
            return false;
        case Step::Type:
            type_ = byte;
            if (type_ == kSectionMessage) {
                payloadBytes_ = kSectionPayloadBytes;
            } else if (type_ == kWordMessage) {
                payloadBytes_ = kWordPayloadBytes;
            } else {
                ++counters_.realTimeIgnored;
                return true;
            }
            received_ = 0;
            step_ = Step::Payload;
            return false;
        case Step::Payload:
            payload_[received_++] = byte;
            if (received_ == payloadBytes_) {
                step_ = Step::End;
            }
            return false;
        case Step::End:
            finish(byte == kEndByte);
            return true;
    }
    return true;
}

void RealTimeReceiver::finish(bool endIsValid) {
    int address = (payload_[0] << 8) | payload_[1];
    const int words = type_ == kSectionMessage ? kWordsPerSection : 1;
    if (type_ == kWordMessage && address >= kFirstLevelAddressRealTime &&
        address <= kLastLevelAddressRealTime) {
        address = addr::outputLevel(address - kFirstLevelAddressRealTime + 1);
    }
    if (!endIsValid || (bank_ != 1 && bank_ != 2) || address + words > addr::kWordCount) {
        ++counters_.realTimeIgnored;
        return;
    }
    Bank& bank = state_.bank(bank_);
    for (int w = 0; w < words; ++w) {
        const std::size_t at = 2 + 3 * static_cast<std::size_t>(w);
        bank[static_cast<std::size_t>(address + w)] =
            Word{payload_[at], payload_[at + 1], payload_[at + 2]};
    }
    ++counters_.realTimeApplied;
}

}  // namespace kvn::emu
