// The transfer protocol as the processor runs it.
#include "emulator/TransferMachine.h"

#include <algorithm>

namespace kvn::emu {

TransferMachine::TransferMachine(DeviceState& state, DeviceCounters& counters)
    : state_(state), counters_(counters), realTime_(state, counters) {}

void TransferMachine::receive(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    switch (phase_) {
        case Phase::Idle:
            if (byte == kStartByte) {
                out.push_back(faulted(TransferStep::Start, kStartByte));
                phase_ = Phase::Command;
            } else {
                ++counters_.garbageBytes;
            }
            return;
        case Phase::Command:
            // 0x84 is no command: a PC that gave up at START and begins again is answered anew.
            if (byte == kStartByte) {
                out.push_back(faulted(TransferStep::Start, kStartByte));
                return;
            }
            command_ = byte;
            if (command_ == kRealTimeMessage) {
                realTime_.begin();
                phase_ = Phase::RealTime;
                return;
            }
            out.push_back(faulted(TransferStep::Command, commandReply_));
            phase_ = Phase::Program;
            return;
        case Phase::Program: {
            program_ = byte;
            const std::optional<std::uint8_t> refusal = programRefusal();
            const std::uint8_t answer =
                refusal
                    ? *refusal
                    : (command_ == kQueryMemory ? static_cast<std::uint8_t>(state_.activeMemory())
                                                : program_);
            out.push_back(faulted(TransferStep::Program, answer));
            if (refusal) {
                refuse();
            } else {
                phase_ = Phase::ProgramRepeat;
            }
            return;
        }
        case Phase::ProgramRepeat:
            // The repeat guards the memory number; a different byte must not write elsewhere.
            if (byte != program_) {
                abandon();
            } else {
                phase_ = Phase::LongHigh;
            }
            return;
        case Phase::LongHigh:
            length_ = static_cast<std::size_t>(byte) << 8;
            phase_ = Phase::LongLow;
            return;
        case Phase::LongLow:
            length_ |= byte;
            if (!lengthAccepted()) {
                out.push_back(faulted(TransferStep::Long, static_cast<std::uint8_t>(~byte)));
                refuse();
                return;
            }
            out.push_back(faulted(TransferStep::Long, byte));
            data_.clear();
            phase_ = length_ == 0 ? Phase::End : Phase::Data;
            return;
        case Phase::Data:
            data_.push_back(byte);
            if (data_.size() % kBlockBytes == 0 || data_.size() == length_) {
                out.push_back(
                    faulted(TransferStep::DataBlock, byte, (data_.size() - 1) / kBlockBytes));
                if (data_.size() == length_) {
                    phase_ = Phase::End;
                }
            }
            return;
        case Phase::End:
            if (byte != kEndByte || !commit()) {
                out.push_back(faulted(TransferStep::End, kRefusedEndReply));
                refuse();
                return;
            }
            out.push_back(faulted(TransferStep::End, kEndByte));
            ++counters_.transfersCompleted;
            if (command_ == kRequestMemory) {
                prepareStream();
                phase_ = Phase::StreamStart;
            } else {
                phase_ = Phase::Idle;
            }
            return;
        case Phase::RealTime:
            if (realTime_.receive(byte)) {
                phase_ = Phase::Idle;
            }
            return;
        case Phase::StreamStart:
            if (byte != kStartByte) {
                abandon();
                return;
            }
            frame_ = 0;
            out.insert(out.end(), frames_[0].bytes.begin(), frames_[0].bytes.end());
            phase_ = Phase::Stream;
            return;
        case Phase::Stream: {
            const Frame& sent = frames_[frame_];
            if (sent.answer && byte != *sent.answer) {
                abandon();
                return;
            }
            if (++frame_ == frames_.size()) {
                ++counters_.streamsCompleted;
                phase_ = Phase::Idle;
                return;
            }
            out.insert(out.end(), frames_[frame_].bytes.begin(), frames_[frame_].bytes.end());
            return;
        }
    }
}

bool TransferMachine::abandon() {
    if (phase_ == Phase::Idle) {
        return false;
    }
    ++counters_.transfersAbandoned;
    phase_ = Phase::Idle;
    return true;
}

std::uint8_t TransferMachine::faulted(TransferStep step, std::uint8_t correct,
                                      std::size_t block) const {
    if (!wrongByte_ || wrongByte_->step != step) {
        return correct;
    }
    if (step == TransferStep::DataBlock && static_cast<std::size_t>(wrongByte_->block) != block) {
        return correct;
    }
    return wrongByte_->value.value_or(static_cast<std::uint8_t>(~correct));
}

std::optional<std::uint8_t> TransferMachine::programRefusal() const {
    const std::uint8_t noSuchProgram = program_ == kNoSuchProgramReply ? 0x00 : kNoSuchProgramReply;
    switch (command_) {
        case kWriteMemory:
            if (!DeviceState::isMemory(program_)) {
                return noSuchProgram;
            }
            if (state_.isProtected(program_)) {
                return kProtectedReply;
            }
            return std::nullopt;
        case kRequestMemory:
        case kRecallMemory:
            if (!DeviceState::isMemory(program_)) {
                return noSuchProgram;
            }
            return std::nullopt;
        case kLoadFirmware:
            if (program_ != kFirmwareProgram) {
                return noSuchProgram;
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

bool TransferMachine::lengthAccepted() const {
    switch (command_) {
        case kIdentify:
        case kRequestMemory:
        case kRecallMemory:
        case kFirmwareDone:
        case kQueryMemory:
            return length_ == 0;
        case kLoadFirmware:
            return length_ == kFirmwarePayloadBytes;
        case kWriteMemory:
            return length_ == kImageBytes;
        case kKeyboardLock:
            return length_ == 1;
        case kSetPassword:
            return length_ == kPasswordBytes;
        default:
            return true;
    }
}

bool TransferMachine::commit() {
    switch (command_) {
        case kIdentify:
        case kRequestMemory:
        case kQueryMemory:
            return true;
        case kLoadFirmware:
            state_.firmware = data_;
            state_.firmwareDone = false;
            return true;
        case kWriteMemory:
            std::copy(data_.begin(), data_.end(), state_.memory(program_).begin());
            return true;
        case kKeyboardLock:
            if (data_[0] != kLockKeyboard && data_[0] != kUnlockKeyboard) {
                return false;
            }
            state_.keyboardLocked = data_[0] == kLockKeyboard;
            return true;
        case kSetPassword:
            std::copy(data_.begin(), data_.end(), state_.password.begin());
            return true;
        case kRecallMemory:
            state_.recall(program_);
            return true;
        case kFirmwareDone:
            if (state_.firmware.empty()) {
                return false;
            }
            state_.firmwareDone = true;
            return true;
        default:
            ++counters_.unknownCommands;
            return true;
    }
}

void TransferMachine::refuse() {
    ++counters_.transfersRefused;
    phase_ = Phase::Idle;
}

void TransferMachine::prepareStream() {
    const Image& memory = state_.memory(program_);
    const auto high = static_cast<std::uint8_t>(kImageBytes >> 8);
    const auto low = static_cast<std::uint8_t>(kImageBytes & 0xFF);
    auto echoed = [](std::uint8_t byte) { return Frame{{byte}, byte}; };

    frames_.clear();
    frames_.push_back(Frame{{faulted(TransferStep::Start, kStartByte)}, kStartByte});
    frames_.push_back(echoed(faulted(TransferStep::Command, kRequestMemory)));
    frames_.push_back(echoed(faulted(TransferStep::Program, program_)));
    frames_.push_back(echoed(high));
    frames_.push_back(echoed(faulted(TransferStep::Long, low)));
    for (std::size_t from = 0, block = 0; from < memory.size(); from += kBlockBytes, ++block) {
        const std::size_t to = std::min(from + kBlockBytes, memory.size());
        Frame data{{memory.begin() + static_cast<std::ptrdiff_t>(from),
                    memory.begin() + static_cast<std::ptrdiff_t>(to)},
                   std::nullopt};
        data.bytes[0] = faulted(TransferStep::DataBlock, data.bytes[0], block);
        frames_.push_back(std::move(data));
    }
    frames_.push_back(echoed(faulted(TransferStep::End, kEndByte)));
}

}  // namespace kvn::emu
