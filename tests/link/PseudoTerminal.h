// A pseudo-terminal pair for serial-port tests: the driver opens the slave by its path, the test
// plays the processor on the master.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvn::link::test {

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[128] = {};
        int slave = -1;
        if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
            termios raw{};
            tcgetattr(slave, &raw);
            cfmakeraw(&raw);
            tcsetattr(slave, TCSANOW, &raw);
            path_ = name;
            // Keeping a slave descriptor open keeps the master readable between clients.
            slave_ = slave;
        }
    }
    ~PseudoTerminal() {
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0; }
    const std::string& path() const { return path_; }

    void write(const std::vector<std::uint8_t>& bytes) {
        if (::write(master_, bytes.data(), bytes.size()) < 0) {
            closeMaster();
        }
    }
    // What the driver sent, waiting up to `timeoutMs` for the first byte.
    std::vector<std::uint8_t> read(int timeoutMs) {
        std::vector<std::uint8_t> bytes;
        pollfd p{master_, POLLIN, 0};
        while (::poll(&p, 1, bytes.empty() ? timeoutMs : 20) > 0 && (p.revents & POLLIN)) {
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }
    // The processor goes away: the driver's side sees a hang-up.
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    void closeSlave() {
        if (slave_ >= 0) {
            ::close(slave_);
            slave_ = -1;
        }
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace kvn::link::test
