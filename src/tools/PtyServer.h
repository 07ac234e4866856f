// Serves the virtual processor on a pseudo-terminal (POSIX: Linux and macOS).
#pragma once

#include "emulator/VirtualProcessor.h"

#include <chrono>
#include <string>

namespace kvn::tools {

class PtyServer {
public:
    enum class Ending { Stopped, DeviceGone, Failed };

    // `device` must outlive the server.
    explicit PtyServer(emu::VirtualProcessor& device);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pseudo-terminal in raw mode at 9600 8N1 (no echo, no line editing) and keeps
    // one descriptor of its terminal side open, so that reading goes on while no client has it
    // open. False with the reason in `error`.
    bool open(std::string& error);
    // The terminal's path, for example /dev/pts/3.
    const std::string& path() const { return path_; }

    // Passes bytes between the terminal and the device on the wall clock until `stopFd` becomes
    // readable (Stopped), the device disappears (DeviceGone: the terminal is closed at once) or
    // the terminal fails (Failed, with the reason in `error`).
    Ending serve(int stopFd, std::string& error);

private:
    emu::Micros now() const;
    void closeTerminal();

    emu::VirtualProcessor& device_;
    std::chrono::steady_clock::time_point origin_;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace kvn::tools
