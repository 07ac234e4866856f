// A PC at the far end of the virtual processor's wire, in virtual time, for conversation tests.
#pragma once

#include "HexBytes.h"
#include "emulator/VirtualProcessor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace kvn::emu::test {

using Bytes = std::vector<std::uint8_t>;

// One step of a conversation: what the PC sends and everything the device answers to it.
struct Step {
    Bytes sent;
    Bytes reply;
};

// A conversation written as the bytes on the wire, one step a word: the byte the PC sends, a
// colon, and what the device answers, in hex ("84:84 03:3C 15:15 15: 07: FE:FE"; nothing after
// the colon is silence).
inline std::vector<Step> dialogue(const std::string& text) {
    std::vector<Step> steps;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const std::size_t colon = word.find(':');
        EXPECT_NE(colon, std::string::npos) << "step without a colon: " << word;
        steps.push_back(
            {::kvn::test::hex(word.substr(0, colon)),
             colon == std::string::npos ? Bytes{} : ::kvn::test::hex(word.substr(colon + 1))});
    }
    return steps;
}

class Pc {
public:
    explicit Pc(VirtualProcessor& device) : device_(device) {}

    // Sends `bytes` at the present time and returns what has reached the PC by then.
    Bytes send(const Bytes& bytes) {
        device_.write(bytes, now);
        return device_.read(now);
    }
    void wait(Micros duration) {
        now += duration;
        device_.advanceTo(now);
    }
    // Plays the steps one by one; the first step whose reply differs fails the test.
    void converse(const std::vector<Step>& steps) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            ASSERT_EQ(send(steps[i].sent), steps[i].reply) << "at step " << i;
        }
    }

    Micros now{0};

private:
    VirtualProcessor& device_;
};

// A memory image whose bytes all differ from the factory image's: byte i is (i * 7 + seed) & 0xFF.
inline Image testImage(std::uint8_t seed) {
    Image image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    }
    return image;
}

// The DATA steps of a payload: whole 64-byte blocks then the rest, each answered by its last byte.
inline std::vector<Step> dataSteps(const Bytes& payload) {
    std::vector<Step> steps;
    for (std::size_t from = 0; from < payload.size(); from += 64) {
        const std::size_t to = std::min(from + 64, payload.size());
        steps.push_back(Step{Bytes(payload.begin() + static_cast<std::ptrdiff_t>(from),
                                   payload.begin() + static_cast<std::ptrdiff_t>(to)),
                             {payload[to - 1]}});
    }
    return steps;
}

inline std::vector<Step> join(std::vector<Step> first, const std::vector<Step>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

}  // namespace kvn::emu::test
