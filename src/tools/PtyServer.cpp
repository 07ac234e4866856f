// The pseudo-terminal side of kvn350-emulator.
#include "tools/PtyServer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kvn::tools {

namespace {

constexpr int kLongestPollMs = 1000;
// A client that stops reading cannot make the server hold more than this.
constexpr std::size_t kLargestPendingOutput = 64 * 1024;

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::PtyServer(emu::VirtualProcessor& device)
    : device_(device), origin_(std::chrono::steady_clock::now()) {}

PtyServer::~PtyServer() {
    closeTerminal();
}

bool PtyServer::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    const char* name = nullptr;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || (name = ptsname(master_)) == nullptr) {
        error = systemError("cannot prepare the pseudo-terminal");
        closeTerminal();
        return false;
    }
    path_ = name;
    // Without a descriptor of the terminal side, reading the master fails with EIO whenever no
    // client has the terminal open.
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) {
        error = systemError("cannot open the pseudo-terminal");
        closeTerminal();
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0 ||
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        error = systemError("cannot set the pseudo-terminal to raw 9600 8N1");
        closeTerminal();
        return false;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    return true;
}

PtyServer::Ending PtyServer::serve(int stopFd, std::string& error) {
    std::vector<std::uint8_t> pending;
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        const emu::Micros t = now();
        const std::vector<std::uint8_t> replies = device_.read(t);
        if (device_.gone()) {
            closeTerminal();
            return Ending::DeviceGone;
        }
        if (pending.size() + replies.size() <= kLargestPendingOutput) {
            pending.insert(pending.end(), replies.begin(), replies.end());
        }
        if (!pending.empty()) {
            const ssize_t written = ::write(master_, pending.data(), pending.size());
            if (written > 0) {
                pending.erase(pending.begin(), pending.begin() + written);
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                error = systemError("cannot write to the pseudo-terminal");
                return Ending::Failed;
            }
        }

        int timeoutMs = kLongestPollMs;
        if (const std::optional<emu::Micros> next = device_.nextEventTime()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - t).count();
            timeoutMs = static_cast<int>(std::clamp<long long>(wait, 0, kLongestPollMs));
        }
        std::array<pollfd, 2> fds = {pollfd{master_, POLLIN, 0}, pollfd{stopFd, POLLIN, 0}};
        if (!pending.empty()) {
            fds[0].events |= POLLOUT;
        }
        if (poll(fds.data(), fds.size(), timeoutMs) < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError("cannot wait for the pseudo-terminal");
            return Ending::Failed;
        }
        if (fds[1].revents != 0) {
            return Ending::Stopped;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t got = ::read(master_, buffer.data(), buffer.size());
            if (got > 0) {
                device_.write(std::span(buffer.data(), static_cast<std::size_t>(got)), now());
                continue;
            }
            if (got < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                error = systemError("cannot read the pseudo-terminal");
                return Ending::Failed;
            }
        }
        // Some systems report a hang-up (or EIO) while no client has the terminal open, although
        // a descriptor of it is kept: wait a little instead of spinning.
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            usleep(10'000);
        }
    }
}

emu::Micros PtyServer::now() const {
    return std::chrono::duration_cast<emu::Micros>(std::chrono::steady_clock::now() - origin_);
}

void PtyServer::closeTerminal() {
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace kvn::tools
