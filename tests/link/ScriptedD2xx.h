// A D2xx converter that replays a recorded conversation and logs every call.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Script.h"
#include "link/D2xx.h"

namespace kvn::link::test {

class ScriptedD2xx : public D2xx {
public:
    explicit ScriptedD2xx(Conversation conversation) : script(std::move(conversation)) {}

    FtStatus open(int deviceIndex) override {
        calls.push_back("open " + std::to_string(deviceIndex));
        const FtStatus status = statusOf("open");
        open_ = status == kFtOk;
        return status;
    }
    FtStatus close() override { return call("close", true); }
    FtStatus setBaudRate(std::uint32_t baud) override {
        return call("setBaudRate " + std::to_string(baud));
    }
    FtStatus setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override {
        return call("setDataCharacteristics " + std::to_string(wordLength) + " " +
                    std::to_string(stopBits) + " " + std::to_string(parity));
    }
    FtStatus setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
        return call("setFlowControl " + std::to_string(flow) + " " + std::to_string(xon) + " " +
                    std::to_string(xoff));
    }
    FtStatus setDtr() override { return call("setDtr"); }
    FtStatus setRts() override { return call("setRts"); }
    FtStatus setChars(std::uint8_t eventChar, std::uint8_t eventEnabled, std::uint8_t errorChar,
                      std::uint8_t errorEnabled) override {
        return call("setChars " + std::to_string(eventChar) + " " + std::to_string(eventEnabled) +
                    " " + std::to_string(errorChar) + " " + std::to_string(errorEnabled));
    }
    FtStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
        return call("setTimeouts " + std::to_string(readMs) + " " + std::to_string(writeMs));
    }
    FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        written = 0;
        const FtStatus status = call("write");
        if (status == kFtOk) {
            script.sent(bytes);
            written = static_cast<std::uint32_t>(bytes.size());
        }
        return status;
    }
    FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) override {
        read = 0;
        const FtStatus status = call("read");
        if (status == kFtOk) {
            const auto got = script.read(bytes.size());
            std::copy(got.begin(), got.end(), bytes.begin());
            read = static_cast<std::uint32_t>(got.size());
        }
        return status;
    }
    FtStatus purge(std::uint32_t mask) override {
        const FtStatus status = call("purge " + std::to_string(mask));
        if (status == kFtOk) {
            script.purge();
        }
        return status;
    }

    // The calls other than write, read and setTimeouts, in order.
    std::vector<std::string> setupCalls() const {
        std::vector<std::string> setup;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(setup),
                     [](const std::string& c) {
                         return c != "write" && c != "read" && c.rfind("setTimeouts", 0) != 0;
                     });
        return setup;
    }

    Script script;
    // Statuses to return, by call name (the first word of the logged call).
    std::map<std::string, FtStatus> failures;
    std::vector<std::string> calls;
    bool isOpen() const { return open_; }

private:
    FtStatus statusOf(const std::string& name) const {
        const auto it = failures.find(name);
        return it == failures.end() ? kFtOk : it->second;
    }
    FtStatus call(const std::string& logged, bool closes = false) {
        calls.push_back(logged);
        if (!open_) {
            return kFtInvalidHandle;
        }
        if (closes) {
            open_ = false;
        }
        return statusOf(logged.substr(0, logged.find(' ')));
    }

    bool open_ = false;
};

}  // namespace kvn::link::test
