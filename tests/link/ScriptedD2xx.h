// A D2xx converter that replays a recorded conversation and logs every call with its arguments.
#pragma once

#include <algorithm>
#include <map>
#include <sstream>
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
        open_ = statusOf("open") == kFtOk;
        return statusOf("open");
    }
    FtStatus close() override {
        const FtStatus status = call("close");
        open_ = false;
        return status;
    }
    FtStatus setBaudRate(std::uint32_t baud) override { return call("setBaudRate", baud); }
    FtStatus setDataCharacteristics(std::uint8_t bits, std::uint8_t stop,
                                    std::uint8_t parity) override {
        return call("setDataCharacteristics", bits, stop, parity);
    }
    FtStatus setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
        return call("setFlowControl", flow, xon, xoff);
    }
    FtStatus setDtr() override { return call("setDtr"); }
    FtStatus setRts() override { return call("setRts"); }
    FtStatus setChars(std::uint8_t event, std::uint8_t eventOn, std::uint8_t error,
                      std::uint8_t errorOn) override {
        return call("setChars", event, eventOn, error, errorOn);
    }
    FtStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
        return call("setTimeouts", readMs, writeMs);
    }
    FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        const FtStatus status = call("write");
        if (status == kFtOk) {
            script.sent(bytes);
        }
        written = status == kFtOk ? static_cast<std::uint32_t>(bytes.size()) : 0;
        return status;
    }
    FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) override {
        const FtStatus status = call("read");
        const auto got = status == kFtOk ? script.read(bytes.size()) : std::vector<std::uint8_t>{};
        std::copy(got.begin(), got.end(), bytes.begin());
        read = static_cast<std::uint32_t>(got.size());
        return status;
    }
    FtStatus purge(std::uint32_t mask) override {
        const FtStatus status = call("purge", mask);
        if (status == kFtOk) {
            script.purge();
        }
        return status;
    }

    bool isOpen() const { return open_; }
    int count(const std::string& name) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), name));
    }

    Script script;
    // Statuses to return, by call name.
    std::map<std::string, FtStatus> failures;
    // "setBaudRate 9600", "write", ... in order.
    std::vector<std::string> calls;

private:
    FtStatus statusOf(const std::string& name) const {
        const auto it = failures.find(name);
        return it == failures.end() ? kFtOk : it->second;
    }
    template <typename... Args>
    FtStatus call(const std::string& name, Args... args) {
        std::ostringstream logged;
        logged << name;
        ((logged << ' ' << static_cast<unsigned>(args)), ...);
        calls.push_back(logged.str());
        return open_ ? statusOf(name) : kFtInvalidHandle;
    }

    bool open_ = false;
};

}  // namespace kvn::link::test
