// kvn350-emulator end to end: started as a child process and talked to through its terminal.
#include "emulator/StateFile.h"
#include "emulator/VirtualProcessor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// Generous bounds for a child process on a loaded machine; no test measures speed with them.
constexpr auto kStartBound = std::chrono::seconds(10);
constexpr int kReplyBoundMs = 2000;

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EmulatorTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kvn-tool-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (terminal_ >= 0) {
            close(terminal_);
        }
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        fs::remove_all(dir_);
    }

    void start(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {KVN_EMULATOR_TOOL};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (dir_ / "stdout").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (dir_ / "stderr").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(posix_spawn(&child_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // The exit status once the child has ended, or nothing if it is still running at the bound.
    std::optional<int> exitStatus() {
        const auto bound = std::chrono::steady_clock::now() + kStartBound;
        while (std::chrono::steady_clock::now() < bound) {
            int status = 0;
            if (waitpid(child_, &status, WNOHANG) == child_) {
                child_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(milliseconds(10));
        }
        return std::nullopt;
    }

    // Opens the terminal behind `link` as a serial port in raw 9600 8N1, as the editor does.
    void openTerminal(const fs::path& link) {
        const auto bound = std::chrono::steady_clock::now() + kStartBound;
        while (!fs::exists(link) && std::chrono::steady_clock::now() < bound) {
            std::this_thread::sleep_for(milliseconds(10));
        }
        terminal_ = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(terminal_, 0) << readText(dir_ / "stderr");
        termios settings{};
        ASSERT_EQ(tcgetattr(terminal_, &settings), 0);
        cfmakeraw(&settings);
        cfsetispeed(&settings, B9600);
        cfsetospeed(&settings, B9600);
        ASSERT_EQ(tcsetattr(terminal_, TCSANOW, &settings), 0);
        tcflush(terminal_, TCIFLUSH);
    }

    // Sends one byte; returns the reply when `replied`, otherwise checks nothing is read yet.
    Bytes exchange(std::uint8_t byte) {
        EXPECT_EQ(write(terminal_, &byte, 1), 1);
        pollfd fd{terminal_, POLLIN, 0};
        if (poll(&fd, 1, kReplyBoundMs) != 1 || (fd.revents & POLLIN) == 0) {
            return {};
        }
        Bytes reply(16);
        const ssize_t got = read(terminal_, reply.data(), reply.size());
        reply.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return reply;
    }
    void send(std::uint8_t byte) { EXPECT_EQ(write(terminal_, &byte, 1), 1); }

    fs::path dir_;
    pid_t child_ = -1;
    int terminal_ = -1;
};

TEST_F(EmulatorTool, ServesTransfersOnItsTerminalAndSavesItsStateOnSigterm) {
    start({"--state", (dir_ / "device.kvs").string(), "--link", (dir_ / "kvn350").string()});
    ASSERT_NO_FATAL_FAILURE(openTerminal(dir_ / "kvn350"));

    // Identify.
    EXPECT_EQ(exchange(0x84), Bytes{0x84});
    EXPECT_EQ(exchange(0x00), Bytes{0x3C});
    EXPECT_EQ(exchange(0x00), Bytes{0x00});
    send(0x00);
    send(0x00);
    EXPECT_EQ(exchange(0x00), Bytes{0x00});
    EXPECT_EQ(exchange(0x55), Bytes{0x55});
    // Keyboard lock, so that the saved state shows the session.
    for (std::uint8_t b : {0x84, 0x05, 0x00}) {
        ASSERT_EQ(exchange(b).size(), 1U);
    }
    send(0x00);
    send(0x00);
    EXPECT_EQ(exchange(0x01), Bytes{0x01});
    EXPECT_EQ(exchange(0xFF), Bytes{0xFF});
    EXPECT_EQ(exchange(0x55), Bytes{0x55});

    EXPECT_EQ(readText(dir_ / "stdout"), fs::read_symlink(dir_ / "kvn350").string() + "\n");
    ASSERT_EQ(kill(child_, SIGTERM), 0);
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "kvn350")));
    std::string error;
    const auto state = kvn::emu::StateFile::load(dir_ / "device.kvs", error);
    ASSERT_TRUE(state) << error;
    EXPECT_TRUE(state->keyboardLocked);
}

TEST_F(EmulatorTool, DamagedStateFileIsRefusedAndLeftAlone) {
    const fs::path stateFile = dir_ / "device.kvs";
    std::vector<std::uint8_t> bytes =
        kvn::emu::StateFile::encode(kvn::emu::VirtualProcessor().state());
    bytes[100] ^= 0x40;
    std::ofstream(stateFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::string before = readText(stateFile);
    start({"--state", stateFile.string()});
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_NE(readText(dir_ / "stderr")
                  .find("is damaged (its check sum does not match); it was not loaded"),
              std::string::npos)
        << readText(dir_ / "stderr");
    EXPECT_EQ(readText(stateFile), before);
}

TEST_F(EmulatorTool, DisappearingProcessorClosesTheTerminal) {
    start({"--link", (dir_ / "kvn350").string(), "--disappear-after", "2"});
    ASSERT_NO_FATAL_FAILURE(openTerminal(dir_ / "kvn350"));
    EXPECT_EQ(exchange(0x84), Bytes{0x84});
    EXPECT_EQ(exchange(0x00), Bytes{});
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "kvn350")));
    Bytes buffer(4);
    EXPECT_LE(read(terminal_, buffer.data(), buffer.size()), 0) << "the terminal is gone";
}

TEST_F(EmulatorTool, HelpAndWrongOptions) {
    start({"--help"});
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_NE(readText(dir_ / "stdout").find("--disappear-after N"), std::string::npos);
    start({"--baud", "fast"});
    EXPECT_EQ(exitStatus(), 2);
    EXPECT_NE(readText(dir_ / "stderr").find("--baud: \"fast\" is not a number"),
              std::string::npos);
}

}  // namespace
