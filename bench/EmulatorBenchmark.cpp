// How fast the virtual processor answers whole transfers, and how long they take on a 9600-baud
// line in device time.
#include "emulator/VirtualProcessor.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using kvn::emu::Micros;
using Bytes = std::vector<std::uint8_t>;

// A PC that waits for each reply on the device clock, as the serial link does.
class Pc {
public:
    explicit Pc(kvn::emu::VirtualProcessor& device) : device_(device) {}

    Bytes send(const Bytes& bytes, std::size_t replies) {
        device_.write(bytes, now_);
        Bytes got = device_.read(now_);
        while (got.size() < replies) {
            now_ = device_.nextEventTime().value_or(now_);
            device_.advanceTo(now_);
            const Bytes more = device_.read(now_);
            got.insert(got.end(), more.begin(), more.end());
        }
        return got;
    }
    Micros now() const { return now_; }

private:
    kvn::emu::VirtualProcessor& device_;
    Micros now_{0};
};

void writeMemory(Pc& pc, const Bytes& image) {
    pc.send({0x84}, 1);
    pc.send({0x03}, 1);
    pc.send({0x15}, 1);
    pc.send({0x15, 0x07, 0xFE}, 1);
    for (std::size_t from = 0; from < image.size(); from += 64) {
        pc.send(
            Bytes(image.begin() + static_cast<std::ptrdiff_t>(from),
                  image.begin() + static_cast<std::ptrdiff_t>(std::min(from + 64, image.size()))),
            1);
    }
    pc.send({0x55}, 1);
}

Bytes readMemory(Pc& pc) {
    pc.send({0x84, 0x04, 0x15, 0x15, 0x00, 0x00, 0x55}, 5);
    for (std::uint8_t answer : {0x84, 0x84, 0x04, 0x15, 0x07}) {
        pc.send({answer}, 1);
    }
    Bytes image = pc.send({0xFE}, 64);
    while (image.size() < 2046) {
        const Bytes block = pc.send({image.back()}, std::min<std::size_t>(64, 2046 - image.size()));
        image.insert(image.end(), block.begin(), block.end());
    }
    pc.send({image.back()}, 1);
    pc.send({0x55}, 0);
    return image;
}

void BM_WriteThenReadMemory(benchmark::State& state) {
    kvn::emu::VirtualProcessor device;
    Pc pc(device);
    const Bytes image(2046, 0x5A);
    for (auto _ : state) {
        writeMemory(pc, image);
        benchmark::DoNotOptimize(readMemory(pc));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * 2046);
}
BENCHMARK(BM_WriteThenReadMemory);

void BM_RealTimeSectionMessage(benchmark::State& state) {
    kvn::emu::VirtualProcessor device;
    Pc pc(device);
    Bytes message = {0x84, 0x12, 0x01, 0x00, 0x00, 0x06};
    message.resize(21, 0x01);
    message.push_back(0x55);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pc.send(message, 1));
    }
}
BENCHMARK(BM_RealTimeSectionMessage);

// Device time of a memory write and of a read at 9600 baud: the wire's own limit for the PC.
void BM_DeviceTimeAt9600(benchmark::State& state) {
    double writeSeconds = 0;
    double readSeconds = 0;
    for (auto _ : state) {
        kvn::emu::VirtualProcessor device(
            kvn::emu::DeviceOptions{.baud = kvn::emu::kProcessorBaud});
        Pc pc(device);
        writeMemory(pc, Bytes(2046, 0x5A));
        writeSeconds = static_cast<double>(pc.now().count()) / 1e6;
        const Micros start = pc.now();
        benchmark::DoNotOptimize(readMemory(pc));
        readSeconds = static_cast<double>((pc.now() - start).count()) / 1e6;
    }
    state.counters["write_device_s"] = writeSeconds;
    state.counters["read_device_s"] = readSeconds;
}
BENCHMARK(BM_DeviceTimeAt9600)->Iterations(3);

}  // namespace
