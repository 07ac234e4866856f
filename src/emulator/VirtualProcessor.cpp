// The virtual processor: timing, faults and locking around the transfer machine and the state.
#include "emulator/VirtualProcessor.h"

#include "emulator/FactoryImage.h"
#include "emulator/StateFile.h"

#include <algorithm>

namespace kvn::emu {

VirtualProcessor::VirtualProcessor(const DeviceOptions& options)
    : state_(options.initialImage.value_or(factoryImage())),
      machine_(state_, counters_),
      toDevice_(options.baud),
      toPc_(options.baud),
      silenceTimeout_(options.silenceTimeout) {
    machine_.setCommandReply(options.commandReply);
}

void VirtualProcessor::write(std::span<const std::uint8_t> bytes, Micros now) {
    std::lock_guard lock(mutex_);
    advanceLocked(now);
    if (gone_) {
        return;
    }
    for (std::uint8_t byte : bytes) {
        input_.push_back(TimedByte{toDevice_.schedule(now_), byte});
    }
    advanceLocked(now_);
}

std::vector<std::uint8_t> VirtualProcessor::read(Micros now, std::size_t maxBytes) {
    std::lock_guard lock(mutex_);
    advanceLocked(now);
    std::vector<std::uint8_t> bytes;
    while (!output_.empty() && output_.front().at <= now_ && bytes.size() < maxBytes) {
        bytes.push_back(output_.front().byte);
        output_.pop_front();
    }
    return bytes;
}

std::size_t VirtualProcessor::available(Micros now) {
    std::lock_guard lock(mutex_);
    advanceLocked(now);
    return availableLocked();
}

void VirtualProcessor::discardArrived(Micros now) {
    std::lock_guard lock(mutex_);
    advanceLocked(now);
    output_.erase(output_.begin(),
                  output_.begin() + static_cast<std::ptrdiff_t>(availableLocked()));
}

void VirtualProcessor::advanceTo(Micros now) {
    std::lock_guard lock(mutex_);
    advanceLocked(now);
}

std::optional<Micros> VirtualProcessor::nextEventTime() const {
    std::lock_guard lock(mutex_);
    std::optional<Micros> next;
    auto consider = [&next](Micros at) { next = next ? std::min(*next, at) : at; };
    if (!input_.empty()) {
        consider(input_.front().at);
    }
    // Bytes that have reached the PC and wait to be read are not due: only those on the line.
    if (const std::size_t arrived = availableLocked(); arrived < output_.size()) {
        consider(output_[arrived].at);
    }
    if (!machine_.idle()) {
        consider(lastActivity_ + silenceTimeout_);
    }
    return next;
}

Micros VirtualProcessor::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

bool VirtualProcessor::idle() const {
    std::lock_guard lock(mutex_);
    return machine_.idle();
}

void VirtualProcessor::setCommandReply(std::uint8_t reply) {
    std::lock_guard lock(mutex_);
    machine_.setCommandReply(reply);
}

std::uint8_t VirtualProcessor::commandReply() const {
    std::lock_guard lock(mutex_);
    return machine_.commandReply();
}

void VirtualProcessor::setBaud(int baud) {
    std::lock_guard lock(mutex_);
    toDevice_.setBaud(baud);
    toPc_.setBaud(baud);
}

int VirtualProcessor::baud() const {
    std::lock_guard lock(mutex_);
    return toPc_.baud();
}

void VirtualProcessor::setSilenceTimeout(Micros timeout) {
    std::lock_guard lock(mutex_);
    silenceTimeout_ = timeout;
}

void VirtualProcessor::setFaults(const FaultPlan& plan) {
    std::lock_guard lock(mutex_);
    faults_ = plan;
    machine_.setWrongByte(plan.wrongByte);
    bytesSinceFaults_ = 0;
    transfersSinceFaults_ = 0;
    if (plan.goneAfterBytes && *plan.goneAfterBytes == 0) {
        vanish();
    }
}

FaultPlan VirtualProcessor::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

bool VirtualProcessor::gone() const {
    std::lock_guard lock(mutex_);
    return gone_;
}

void VirtualProcessor::reconnect() {
    std::lock_guard lock(mutex_);
    gone_ = false;
    bytesSinceFaults_ = 0;
    transfersSinceFaults_ = 0;
}

void VirtualProcessor::setProtected(int memory, bool isProtected) {
    std::lock_guard lock(mutex_);
    state_.setProtected(memory, isProtected);
}

bool VirtualProcessor::isProtected(int memory) const {
    std::lock_guard lock(mutex_);
    return state_.isProtected(memory);
}

void VirtualProcessor::recallMemory(int memory) {
    std::lock_guard lock(mutex_);
    state_.recall(memory);
}

DeviceState VirtualProcessor::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

Image VirtualProcessor::memory(int memory) const {
    std::lock_guard lock(mutex_);
    return state_.memory(memory);
}

int VirtualProcessor::activeMemory() const {
    std::lock_guard lock(mutex_);
    return state_.activeMemory();
}

Bank VirtualProcessor::bank(int bank) const {
    std::lock_guard lock(mutex_);
    return state_.bank(bank);
}

Word VirtualProcessor::bankWord(int bank, int address) const {
    std::lock_guard lock(mutex_);
    return state_.bank(bank).at(static_cast<std::size_t>(address));
}

std::vector<int> VirtualProcessor::bankDifferences(int bank,
                                                   std::span<const std::uint8_t> image) const {
    std::lock_guard lock(mutex_);
    return emu::bankDifferences(state_.bank(bank), bank, image);
}

bool VirtualProcessor::keyboardLocked() const {
    std::lock_guard lock(mutex_);
    return state_.keyboardLocked;
}

PasswordBlock VirtualProcessor::password() const {
    std::lock_guard lock(mutex_);
    return state_.password;
}

std::vector<std::uint8_t> VirtualProcessor::firmware() const {
    std::lock_guard lock(mutex_);
    return state_.firmware;
}

bool VirtualProcessor::firmwareDone() const {
    std::lock_guard lock(mutex_);
    return state_.firmwareDone;
}

DeviceCounters VirtualProcessor::counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

bool VirtualProcessor::saveState(const std::filesystem::path& path, std::string& error) const {
    std::lock_guard lock(mutex_);
    return StateFile::save(path, state_, error);
}

bool VirtualProcessor::loadState(const std::filesystem::path& path, std::string& error) {
    std::optional<DeviceState> loaded = StateFile::load(path, error);
    if (!loaded) {
        return false;
    }
    std::lock_guard lock(mutex_);
    machine_.abandon();
    state_ = std::move(*loaded);
    return true;
}

void VirtualProcessor::advanceLocked(Micros now) {
    const Micros target = std::max(now, now_);
    while (!input_.empty() && input_.front().at <= target) {
        const TimedByte next = input_.front();
        input_.pop_front();
        expireSilence(next.at);
        now_ = std::max(now_, next.at);
        handleByte(next.byte, now_);
        if (gone_) {
            break;
        }
    }
    expireSilence(target);
    now_ = target;
}

void VirtualProcessor::expireSilence(Micros at) {
    if (!machine_.idle() && at - lastActivity_ >= silenceTimeout_) {
        machine_.abandon();
        ++counters_.silenceTimeouts;
    }
}

bool VirtualProcessor::faultsApply() const {
    return !faults_.faultTransfers || transfersSinceFaults_ <= *faults_.faultTransfers;
}

void VirtualProcessor::handleByte(std::uint8_t byte, Micros at) {
    ++bytesSinceFaults_;
    ++counters_.bytesReceived;
    if (machine_.idle() && byte == kStartByte) {
        ++transfersSinceFaults_;
    }
    const bool faulty = faultsApply();
    // The wrong byte is given by the machine, which also prepares the memory stream at the end
    // of a request: it is set for each byte.
    machine_.setWrongByte(faulty ? faults_.wrongByte : std::nullopt);
    if (faulty && faults_.silentFromByte && bytesSinceFaults_ >= *faults_.silentFromByte) {
        ++counters_.silencedBytes;
    } else {
        lastActivity_ = std::max(lastActivity_, at);
        replies_.clear();
        machine_.receive(byte, replies_);
        for (std::uint8_t reply : replies_) {
            const Micros arrival = toPc_.schedule(at + (faulty ? faults_.replyDelay : Micros{0}));
            output_.push_back(TimedByte{arrival, reply});
            lastActivity_ = std::max(lastActivity_, arrival);
            ++counters_.bytesSent;
        }
    }
    if (faulty && faults_.goneAfterBytes && bytesSinceFaults_ >= *faults_.goneAfterBytes) {
        vanish();
    }
}

void VirtualProcessor::vanish() {
    gone_ = true;
    input_.clear();
    output_.clear();
    toDevice_.clear();
    toPc_.clear();
    machine_.abandon();
}

std::size_t VirtualProcessor::availableLocked() const {
    const auto firstDue = std::find_if(output_.begin(), output_.end(),
                                       [this](const TimedByte& b) { return b.at > now_; });
    return static_cast<std::size_t>(firstDue - output_.begin());
}

}  // namespace kvn::emu
