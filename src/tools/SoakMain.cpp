// kvn350-soak: the link's transfers against kvn350-emulator over its pseudo-terminal, thousands of
// times, with one of the emulator's faults chosen at random for each transfer. The emulator keeps
// its memories in a state file across its restarts; after every transfer that file says what the
// processor really holds, so each outcome is checked against it:
// - a transfer either succeeded (and the processor holds what it should) or failed with a
//   message for the user;
// - a failed write leaves the memory as it was or as written, never a mixture;
// - the editor's configuration changes only with a successful read;
// - no transfer takes longer than the protocol's time-outs allow.
// The last line counts transfers, faults, losses, hangs and wrong results; any loss, hang or wrong
// result makes the exit status 1. `--seed` repeats a run exactly.
#include "config/MemoryImage.h"
#include "config/ProcessorConfig.h"
#include "emulator/DeviceState.h"
#include "emulator/FactoryImage.h"
#include "emulator/StateFile.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/LinkOption.h"
#include "link/Pacing.h"
#include "link/PasswordEntry.h"
#include "link/RealTimeBacklog.h"
#include "link/RealTimeSender.h"
#include "link/Sleeper.h"
#include "link/TCommPortDriver.h"
#include "link/TransferProgress.h"
#include "link/TransferProtocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kvn;
using Clock = std::chrono::steady_clock;

constexpr const char* kProgram = "kvn350-soak";
// The connection mode of a serial device given by its path, as kvn350 device --port PATH has it.
constexpr int kPathConnectionMode = 7;
constexpr const char* kUsage =
    "Usage: kvn350-soak [--transfers N] [--seed S] [--emulator PATH] [--verbose]\n"
    "\n"
    "Runs N transfers (default 2000) of the link against kvn350-emulator, each with a fault\n"
    "chosen at random (silence from a byte, a wrong byte at a step, the processor disappearing,\n"
    "late replies), and checks every outcome against the memories the emulator keeps. The same\n"
    "seed (default 1) repeats the same run. kvn350-emulator is looked for beside this program\n"
    "unless --emulator names it. Exit status 0 when nothing was lost, hung or wrong.\n";

struct Options {
    int transfers = 2000;
    std::uint32_t seed = 1;
    QString emulator;
    bool verbose = false;
};

std::optional<long long> number(const std::string& text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Progress that remembers what the user would have been told.
class RecordingProgress : public link::TransferProgress {
public:
    // Every box counts, the plain "ERROR" box of a failed real-time send included.
    void showMessage(link::MessageKind, const std::string& text) override { told = text; }
    void setInfo(const std::string& text) override { info = text; }
    std::string told;
    std::string info;
};

enum class Operation { Write, Read, Recall, RealTime, Lock, Password };
constexpr const char* kOperationNames[] = {"write",     "read", "recall",
                                           "real-time", "lock", "password"};

struct Fault {
    QStringList arguments;  // none: a clean transfer
    std::string text;
};

class Soak {
public:
    Soak(const Options& options, const QString& folder)
        : options_(options),
          random_(options.seed),
          statePath_(QDir(folder).filePath(QStringLiteral("soak.kvs")).toStdString()) {}

    int run() {
        std::string error;
        if (!emu::StateFile::save(statePath_, emu::DeviceState(emu::factoryImage()), error)) {
            std::cerr << kProgram << ": " << error << "\n";
            return 2;
        }
        for (int n = 1; n <= options_.transfers; ++n) {
            if (!transfer(n)) {
                return 2;
            }
        }
        std::cout << "soak: " << options_.transfers << " transfers, " << faults_
                  << " faults injected, " << lost_ << " lost, " << hangs_ << " hangs, " << wrong_
                  << " wrong results\n";
        return lost_ + hangs_ + wrong_ == 0 ? 0 : 1;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Late replies go to the short sequences only: with every reply of a memory transfer late
    // (about 85 of them) one write takes two and a half minutes, which a soak of thousands cannot
    // afford; the memory transfers get the other faults.
    Fault chooseFault(bool memoryTransfer, bool read) {
        switch (pick(0, memoryTransfer ? 8 : 9)) {
            case 0:
                return {{QStringLiteral("--silent-from-byte"), QString::number(pick(1, 2200))},
                        "silence"};
            case 1: {
                static const char* steps[] = {"start", "command", "program", "long", "end"};
                QString step = QString::fromLatin1(steps[pick(0, 4)]);
                // A wrong data byte in the stream the processor sends cannot be told from a right
                // one (the stream carries no check), so reads get the framing faults only; the
                // check after a write reads such a stream and says the memory differs.
                if (pick(0, 1) == 0 && !read) {
                    step = QStringLiteral("data:%1").arg(pick(0, 3));
                }
                return {{QStringLiteral("--wrong-byte"), step},
                        "wrong byte at " + step.toStdString()};
            }
            case 2:
                return {{QStringLiteral("--disappear-after"), QString::number(pick(1, 2200))},
                        "disappears"};
            case 9: {
                // Late replies around the reply time-out: some arrive in time, some do not.
                const int delay = pick(link::pacing::kSerialReplyTimeoutMs - 300,
                                       link::pacing::kSerialReplyTimeoutMs + 300);
                return {{QStringLiteral("--reply-delay-ms"), QString::number(delay)},
                        "replies " + std::to_string(delay) + " ms late"};
            }
            default:
                return {};
        }
    }

    std::optional<emu::DeviceState> loadState() {
        std::string error;
        auto state = emu::StateFile::load(statePath_, error);
        if (!state) {
            std::cerr << kProgram << ": " << error << "\n";
        }
        return state;
    }

    // An image of a configuration that differs from transfer to transfer.
    ImageBuffer randomImage() {
        ProcessorConfig config;
        config.SystemName = "Soak " + std::to_string(pick(0, 99999));
        PeqBand& band = config.output(pick(1, 2)).band(pick(1, 7));
        band.FilterType = kParametric;
        band.FrequencyHz = pick(20, 20000);
        band.GainDb = pick(-150, 150) / 10.0;
        band.design();
        config.output(pick(1, 3)).DelaySamples = pick(0, 233);
        return BuildImage(config);
    }

    bool transfer(int n) {
        const std::optional<emu::DeviceState> before = loadState();
        if (!before) {
            return false;
        }
        const auto operation = static_cast<Operation>(pick(0, 9) < 4 ? 0 : pick(1, 5));
        const bool memoryTransfer = operation == Operation::Write || operation == Operation::Read;
        const Fault fault = chooseFault(memoryTransfer, operation == Operation::Read);
        QStringList arguments{QStringLiteral("--state"), QString::fromStdString(statePath_)};
        arguments += fault.arguments;
        faults_ += fault.arguments.isEmpty() ? 0 : 1;

        QProcess emulator;
        emulator.start(options_.emulator, arguments);
        while (emulator.waitForStarted(5000) && !emulator.canReadLine() &&
               emulator.waitForReadyRead(5000)) {
        }
        const std::string port = QString::fromUtf8(emulator.readLine()).trimmed().toStdString();
        if (port.empty()) {
            std::cerr << kProgram << ": kvn350-emulator did not start ("
                      << emulator.errorString().toStdString() << ")\n";
            return false;
        }

        RecordingProgress progress;
        const int memory = pick(21, 60);
        const ImageBuffer image = randomImage();
        bool succeeded = false;
        std::optional<std::vector<std::uint8_t>> read;
        int recalled = 0;
        bool locked = false;
        link::PasswordEntry::Block password{};
        const auto start = Clock::now();
        {
            link::DeviceLink deviceLink(progress, link::Sleeper::system());
            link::LinkOption option = link::LinkOption::serial(kPathConnectionMode, port, [port] {
                return link::TCommPortDriver::forProcessorAt(port);
            });
            if (deviceLink.choose(option) == link::DeviceLink::Choice::Connected) {
                link::DeviceSequences sequences(deviceLink, progress, link::Sleeper::system());
                switch (operation) {
                    case Operation::Write:
                        succeeded = sequences.WriteMemory(memory, image);
                        if (succeeded) {
                            const auto verification = sequences.VerifyMemory(memory, image);
                            succeeded = verification && verification->passed();
                            if (verification && !verification->passed()) {
                                // The transfer window says the memory does not hold what was
                                // written; the user writes again.
                                progress.told = progress.info;
                            }
                        }
                        break;
                    case Operation::Read:
                        read = sequences.ReadMemory(memory);
                        succeeded = read.has_value();
                        break;
                    case Operation::Recall:
                        recalled = memory;
                        succeeded = sequences.ChangeMemory(memory);
                        break;
                    case Operation::RealTime:
                        succeeded = realTimeBurst(deviceLink, progress);
                        break;
                    case Operation::Lock:
                        locked = pick(0, 1) == 1;
                        succeeded = sequences.KeyboardLock(locked);
                        break;
                    case Operation::Password:
                        for (auto& byte : password) {
                            byte = static_cast<std::uint8_t>(pick(1, 3));
                        }
                        password.back() = pick(0, 1) == 0 ? 0x00 : 0xFF;
                        succeeded = sequences.SetPassword(password);
                        break;
                }
                if (!succeeded && progress.told.empty()) {
                    progress.told = sequences.lastFailure();
                }
                // A transfer the processor answered wrongly says why in the transfer window.
                const link::TransferProtocol* protocol = deviceLink.protocol();
                if (!succeeded && progress.told.empty() && protocol != nullptr &&
                    protocol->lastFailure() != link::TransferFailure::None) {
                    progress.told = progress.info;
                }
            }
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        emulator.terminate();
        if (!emulator.waitForFinished(10000)) {
            emulator.kill();
            emulator.waitForFinished(5000);
        }

        // A faulty memory transfer gives up at its first reply time-out (the check after a write
        // is a second transfer); a short sequence may wait for each of its few late replies.
        const long long allowedMs =
            (memoryTransfer ? 2LL * link::pacing::kSerialReplyTimeoutMs
                            : 10LL * (link::pacing::kSerialReplyTimeoutMs + 400)) +
            5000;
        if (elapsed > allowedMs) {
            ++hangs_;
            report(n, "took " + std::to_string(elapsed) + " ms");
        }
        const std::optional<emu::DeviceState> after = loadState();
        if (!after) {
            return false;
        }
        check(n, operation, succeeded, progress, *before, *after, memory, image, read, recalled,
              locked, password);
        if (options_.verbose) {
            std::cout << n << " " << kOperationNames[static_cast<int>(operation)] << " "
                      << (fault.text.empty() ? "clean" : fault.text) << ": "
                      << (succeeded ? "ok" : "failed: " + progress.told) << " (" << elapsed
                      << " ms)\n";
        }
        return true;
    }

    // A burst of real-time messages as a slider drag sends them.
    // A burst of real-time messages as a slider drag sends them, through the backlog and its
    // drain as the editor sends them (a failed send shows the editor's error box).
    bool realTimeBurst(link::DeviceLink& deviceLink, link::TransferProgress& progress) {
        link::RealTimeBacklog backlog;
        link::RealTimeSender sender(link::Sleeper::system());
        const int messages = pick(5, 40);
        bool sent = true;
        for (int i = 0; i < messages && sent; ++i) {
            const auto update =
                link::RealTimeUpdate::integerWord(1, 258 + pick(0, 2), pick(0, 65535));
            if (backlog.post(update)) {
                sent = sender.drain(backlog, deviceLink.transferLink(), progress);
            }
        }
        return sent;
    }

    void check(int n, Operation operation, bool succeeded, const RecordingProgress& progress,
               const emu::DeviceState& before, const emu::DeviceState& after, int memory,
               const ImageBuffer& image, const std::optional<std::vector<std::uint8_t>>& read,
               int recalled, bool locked, const link::PasswordEntry::Block& password) {
        const auto& held = after.memory(memory);
        const bool asWritten = std::equal(image.begin(), image.end(), held.begin());
        const bool asBefore = held == before.memory(memory);
        if (!succeeded && progress.told.empty()) {
            ++wrong_;
            report(n, "a failure without a message for the user");
        }
        switch (operation) {
            case Operation::Write:
                if (succeeded ? !asWritten : !(asWritten || asBefore)) {
                    ++lost_;
                    report(n, succeeded ? "the written memory does not hold the image"
                                        : "a failed write left a mixture in the memory");
                }
                break;
            case Operation::Read:
                // The editor loads what was read only when the whole image came: compare it with
                // the memory the processor holds.
                if (succeeded &&
                    !std::equal(read->begin(), read->end(), before.memory(memory).begin(),
                                before.memory(memory).begin() +
                                    static_cast<std::ptrdiff_t>(read->size()))) {
                    ++wrong_;
                    report(n, "the image read differs from the memory");
                }
                if (succeeded) {
                    ProcessorConfig config;
                    if (!LoadImage(*read, config).success) {
                        ++wrong_;
                        report(n, "the image read does not load");
                    }
                }
                break;
            case Operation::Recall:
                if (succeeded && after.activeMemory() != recalled) {
                    ++wrong_;
                    report(n, "the processor does not run the recalled memory");
                }
                break;
            case Operation::Lock:
                if (succeeded && after.keyboardLocked != locked) {
                    ++wrong_;
                    report(n, "the keyboard lock did not take");
                }
                break;
            case Operation::Password:
                if (succeeded &&
                    !std::equal(password.begin(), password.end(), after.password.begin())) {
                    ++wrong_;
                    report(n, "the password did not take");
                }
                break;
            case Operation::RealTime:
                break;
        }
        // No transfer touches another memory.
        for (int m = emu::kFirstMemory; m <= emu::kLastMemory; ++m) {
            if (m != memory && after.memory(m) != before.memory(m)) {
                ++lost_;
                report(n, "memory " + std::to_string(m) + " changed");
            }
        }
    }

    void report(int n, const std::string& what) {
        std::cerr << kProgram << ": transfer " << n << " (seed " << options_.seed << "): " << what
                  << "\n";
    }

    Options options_;
    std::mt19937 random_;
    std::string statePath_;
    int faults_ = 0;
    int lost_ = 0;
    int hangs_ = 0;
    int wrong_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    options.emulator =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kvn350-emulator"));
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--transfers" && hasValue && number(args[i + 1]).value_or(0) > 0) {
            options.transfers = static_cast<int>(*number(args[++i]));
        } else if (arg == "--seed" && hasValue && number(args[i + 1]).value_or(-1) >= 0) {
            options.seed = static_cast<std::uint32_t>(*number(args[++i]));
        } else if (arg == "--emulator" && hasValue) {
            options.emulator = QString::fromStdString(args[++i]);
        } else {
            std::cerr << kProgram << ": bad argument '" << arg << "'\nTry '" << kProgram
                      << " --help'.\n";
            return 2;
        }
    }
    if (!QFileInfo(options.emulator).isExecutable()) {
        std::cerr << kProgram << ": no kvn350-emulator at " << options.emulator.toStdString()
                  << " (give it with --emulator PATH)\n";
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::cerr << kProgram << ": cannot make a temporary folder\n";
        return 2;
    }
    return Soak(options, folder.path()).run();
}
