// Tapped links.
#include "link/TrafficTap.h"

#include <algorithm>
#include <string>

namespace kvn::link {
namespace {

class TappedChannel final : public ByteChannel {
public:
    TappedChannel(std::unique_ptr<ByteChannel> inner, std::shared_ptr<TrafficLog> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}

    bool connect() override {
        if (inner_->connected()) {
            return true;
        }
        const bool opened = inner_->connect();
        log_->note(opened ? "the port was opened"
                          : "the port could not be opened: " + inner_->errorText());
        return opened;
    }
    void disconnect() override {
        if (inner_->connected()) {
            inner_->disconnect();
            log_->note("the port was closed");
        }
    }
    bool connected() const override { return inner_->connected(); }
    int sendData(std::span<const std::uint8_t> bytes) override {
        const int result = inner_->sendData(bytes);
        const std::size_t gone = static_cast<std::size_t>(result < 0 ? -result : result);
        log_->sent(bytes.first(std::min(gone, bytes.size())));
        if (result < 0 || (result == 0 && !bytes.empty())) {
            log_->note("sending stopped after " + std::to_string(gone) + " of " +
                       std::to_string(bytes.size()) + " bytes");
        }
        return result;
    }
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override {
        std::vector<std::uint8_t> chunk = inner_->awaitChunk(timeoutMs);
        if (chunk.empty()) {
            log_->silence();
            if (!inner_->connected()) {
                log_->note("the port went away: " + inner_->errorText());
            }
        } else {
            log_->received(chunk);
        }
        return chunk;
    }
    void purgeInput() override { inner_->purgeInput(); }
    std::string errorText() const override { return inner_->errorText(); }

private:
    std::unique_ptr<ByteChannel> inner_;
    std::shared_ptr<TrafficLog> log_;
};

class TappedD2xx final : public D2xx {
public:
    TappedD2xx(std::unique_ptr<D2xx> inner, std::shared_ptr<TrafficLog> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}

    FtStatus open(int deviceIndex) override {
        return noted(inner_->open(deviceIndex), "the USB converter was opened",
                     "the USB converter could not be opened");
    }
    FtStatus close() override {
        return noted(inner_->close(), "the USB converter was closed",
                     "the USB converter could not be closed");
    }
    FtStatus setBaudRate(std::uint32_t baud) override { return inner_->setBaudRate(baud); }
    FtStatus setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override {
        return inner_->setDataCharacteristics(wordLength, stopBits, parity);
    }
    FtStatus setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
        return inner_->setFlowControl(flow, xon, xoff);
    }
    FtStatus setDtr() override { return inner_->setDtr(); }
    FtStatus setRts() override { return inner_->setRts(); }
    FtStatus setChars(std::uint8_t eventChar, std::uint8_t eventCharEnabled, std::uint8_t errorChar,
                      std::uint8_t errorCharEnabled) override {
        return inner_->setChars(eventChar, eventCharEnabled, errorChar, errorCharEnabled);
    }
    FtStatus setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override {
        return inner_->setTimeouts(readTimeoutMs, writeTimeoutMs);
    }
    FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        const FtStatus status = inner_->write(bytes, written);
        log_->sent(bytes.first(std::min<std::size_t>(written, bytes.size())));
        if (status != kFtOk) {
            log_->note("USB write failed, status " + std::to_string(status));
        }
        return status;
    }
    FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) override {
        const FtStatus status = inner_->read(bytes, read);
        if (read > 0) {
            log_->received(bytes.first(std::min<std::size_t>(read, bytes.size())));
        } else if (status == kFtOk) {
            log_->silence();
        }
        if (status != kFtOk) {
            log_->note("USB read failed, status " + std::to_string(status));
        }
        return status;
    }
    FtStatus purge(std::uint32_t mask) override { return inner_->purge(mask); }

private:
    FtStatus noted(FtStatus status, const char* done, const char* failed) {
        log_->note(status == kFtOk ? std::string(done)
                                   : std::string(failed) + ", status " + std::to_string(status));
        return status;
    }

    std::unique_ptr<D2xx> inner_;
    std::shared_ptr<TrafficLog> log_;
};

}  // namespace

std::unique_ptr<ByteChannel> tapChannel(std::unique_ptr<ByteChannel> inner,
                                        std::shared_ptr<TrafficLog> log) {
    if (!inner) {
        return inner;
    }
    return std::make_unique<TappedChannel>(std::move(inner), std::move(log));
}

std::unique_ptr<D2xx> tapD2xx(std::unique_ptr<D2xx> inner, std::shared_ptr<TrafficLog> log) {
    if (!inner) {
        return inner;
    }
    return std::make_unique<TappedD2xx>(std::move(inner), std::move(log));
}

LinkOption withTrafficLog(LinkOption option, std::shared_ptr<TrafficLog> log) {
    if (!log) {
        return option;
    }
    if (option.makeChannel) {
        option.makeChannel = [make = std::move(option.makeChannel), log] {
            return tapChannel(make(), log);
        };
    }
    if (option.makeD2xx) {
        option.makeD2xx = [make = std::move(option.makeD2xx), log] { return tapD2xx(make(), log); };
    }
    return option;
}

}  // namespace kvn::link
