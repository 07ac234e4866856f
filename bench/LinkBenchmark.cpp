// How close memory transfers come to the time the bytes take on a 9600-baud line: writes memory
// 21 and reads it back through the serial driver, over the pseudo-terminal of kvn350-emulator
// running at 9600 baud. wire_ratio = measured time / (bytes exchanged both ways x 10 bits /
// 9600 baud); 1.0 would be a line that never idles.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "EmulatorProcess.h"
#include "link/SerialTransferLink.h"
#include "link/TCommPortDriver.h"
#include "link/TransferProgress.h"
#include "link/TransferProtocol.h"

namespace {

using kvn::link::ByteChannel;

constexpr double kSecondsPerByte = 10.0 / 9600.0;
constexpr int kMemory = 21;
constexpr std::size_t kImageBytes = 2046;

// Counts what crosses the line in both directions.
class CountingChannel : public ByteChannel {
public:
    explicit CountingChannel(ByteChannel& inner) : inner_(inner) {}
    bool connect() override { return inner_.connect(); }
    void disconnect() override { inner_.disconnect(); }
    bool connected() const override { return inner_.connected(); }
    int sendData(std::span<const std::uint8_t> bytes) override {
        const int sent = inner_.sendData(bytes);
        bytes_ += static_cast<std::size_t>(sent < 0 ? -sent : sent);
        return sent;
    }
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override {
        auto chunk = inner_.awaitChunk(timeoutMs);
        bytes_ += chunk.size();
        return chunk;
    }
    void purgeInput() override { inner_.purgeInput(); }
    std::string errorText() const override { return inner_.errorText(); }
    std::size_t bytes() const { return bytes_; }

private:
    ByteChannel& inner_;
    std::size_t bytes_ = 0;
};

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "bench_link";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

std::vector<std::uint8_t> image() {
    std::vector<std::uint8_t> bytes(kImageBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    bytes[0] = 0x07;
    bytes[1] = 0xFC;
    return bytes;
}

template <typename Operation>
void measure(benchmark::State& state, Operation operation) {
    ensureApplication();
    kvn::link::test::EmulatorProcess emulator({"--line-rate"});
    if (emulator.path().empty()) {
        state.SkipWithError("kvn350-emulator did not start");
        return;
    }
    const auto driver = kvn::link::TCommPortDriver::forProcessorAt(emulator.path());
    CountingChannel channel(*driver);
    kvn::link::TransferProgress progress;
    kvn::link::SerialTransferLink link(channel, progress, [] {});
    kvn::link::TransferProtocol protocol(link, progress);
    double seconds = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::size_t before = channel.bytes();
        const auto start = std::chrono::steady_clock::now();
        if (!operation(protocol)) {
            state.SkipWithError("the transfer failed");
            return;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        seconds += elapsed.count();
        bytes += channel.bytes() - before;
    }
    state.counters["bytes"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
    state.counters["wire_ratio"] = seconds / (static_cast<double>(bytes) * kSecondsPerByte);
}

void WriteMemory21(benchmark::State& state) {
    const auto bytes = image();
    measure(state, [&](kvn::link::TransferProtocol& protocol) {
        return protocol.SendTransfer(kvn::link::wire::Command::WriteMemory, kMemory, bytes, false);
    });
}

void ReadMemory21(benchmark::State& state) {
    measure(state, [&](kvn::link::TransferProtocol& protocol) {
        const auto read = protocol.ReadMemory(kMemory);
        return read && read->size() == kImageBytes;
    });
}

BENCHMARK(WriteMemory21)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReadMemory21)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
