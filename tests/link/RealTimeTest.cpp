#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "Replay.h"
#include "link/RealTimeBacklog.h"
#include "link/RealTimeSender.h"
#include "link/RealTimeUpdate.h"

namespace kvn::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(RealTimeMessage, GoldenBytes) {
    // Delay of output 2 set to 100 samples: integer word DelaySamples + 1 at address 142.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::integerWord(1, 142, 101)),
              (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55}));
    // A section for slot 100 (the loudness filter): 22 bytes, b0..a2 as fixed-point words, the
    // out-of-range a1 saturated rather than wrapped.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::section(1, 100, {1.0, -1.0, 0.5, 2.5, -0.000001})),
              (Bytes{0x84, 0x12, 0x01, 0x00, 0x00, 0x64, 0x10, 0x00, 0x00, 0x30, 0x00,
                     0x00, 0x08, 0x00, 0x00, 0x1F, 0xFF, 0xFF, 0x3F, 0xFF, 0xFF, 0x55}));
    // Output level of SUB on bank 2: a coefficient word at address 260.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::coefficientWord(2, 260, 0.5)),
              (Bytes{0x84, 0x12, 0x02, 0x02, 0x01, 0x04, 0x08, 0x00, 0x00, 0x55}));
    // Integer words hold to 16 bits unsigned.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::integerWord(1, 183, 70000)),
              (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0xB7, 0x00, 0xFF, 0xFF, 0x55}));
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::integerWord(1, 183, -4)),
              (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0xB7, 0x00, 0x00, 0x00, 0x55}));
}

TEST(RealTimeBacklog, KeepsTheLatestValuePerTargetInOrderOfFirstArrival) {
    RealTimeBacklog backlog;
    EXPECT_TRUE(backlog.post(RealTimeUpdate::integerWord(1, 141, 1)));  // starts a drain
    EXPECT_TRUE(backlog.draining());
    EXPECT_FALSE(backlog.post(RealTimeUpdate::section(1, 6, {0.1})));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::integerWord(1, 141, 2)));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::section(1, 6, {0.2})));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::coefficientWord(1, 141, 0.25)));  // same word
    EXPECT_FALSE(backlog.post(RealTimeUpdate::integerWord(2, 141, 3)));         // other bank
    EXPECT_FALSE(backlog.post(RealTimeUpdate::coefficientWord(1, 6, 0.5)));     // word, not section
    EXPECT_EQ(backlog.waiting(), 4u);

    auto first = backlog.takeNext();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, RealTimeUpdate::Kind::CoefficientWord);
    EXPECT_EQ(first->coefficients[0], 0.25);
    auto second = backlog.takeNext();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->kind, RealTimeUpdate::Kind::Section);
    EXPECT_EQ(second->coefficients[0], 0.2);
    EXPECT_EQ(backlog.takeNext()->dspSelect, 2);
    EXPECT_EQ(backlog.takeNext()->address, 6);
    EXPECT_FALSE(backlog.takeNext());
    // The drain has ended: the next edit starts a new one.
    EXPECT_FALSE(backlog.draining());
    EXPECT_TRUE(backlog.post(RealTimeUpdate::integerWord(1, 141, 4)));
}

TEST(RealTimeBacklog, FinalValueOfEveryTargetSurvivesConcurrentPosting) {
    // The editor posts on its thread; a post that starts a drain hands the link thread a drain
    // request, as the session does.
    RealTimeBacklog backlog;
    std::map<int, int> sent;  // address -> last value the link sent
    constexpr int kTargets = 5;
    constexpr int kEdits = 20000;
    std::mutex mutex;
    std::condition_variable wake;
    int requests = 0;
    bool editingDone = false;
    std::thread link([&] {
        for (;;) {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return requests > 0 || editingDone; });
            if (requests == 0) {
                return;
            }
            --requests;
            lock.unlock();
            while (auto update = backlog.takeNext()) {
                sent[update->address] = update->integerValue;
            }
        }
    });
    for (int i = 0; i < kEdits; ++i) {
        if (backlog.post(RealTimeUpdate::integerWord(1, 141 + i % kTargets, i))) {
            const std::lock_guard lock(mutex);
            ++requests;
            wake.notify_one();
        }
    }
    {
        const std::lock_guard lock(mutex);
        editingDone = true;
        wake.notify_one();
    }
    link.join();
    EXPECT_EQ(backlog.waiting(), 0u);
    EXPECT_FALSE(backlog.draining());
    for (int t = 0; t < kTargets; ++t) {
        EXPECT_EQ(sent[141 + t], kEdits - kTargets + t) << "address " << 141 + t;
    }
}

TEST(RealTimeSender, SerialSendsEachByteAloneAfterThePauseForItsKind) {
    // The processor answers nothing; the echoed START is left in its input.
    SerialReplay replay(Conversation::parse(
        "Sent: 84 12 01 02 00 8E 00 00 65 55\n"
        "Sent: 84 12 01 00 00 64 10 00 00 10 00 00 10 00 00 10 00 00 10 00 00 55\n"
        "Sent: 84 12 02 02 01 04 08 00 00 55\n"));
    replay.channel.disconnect();
    replay.channel.connects = 0;
    RealTimeSender sender(replay.sleeper);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::integerWord(1, 142, 101));
    backlog.post(RealTimeUpdate::section(1, 100, {1.0, 1.0, 1.0, 1.0, 1.0}));
    backlog.post(RealTimeUpdate::coefficientWord(2, 260, 0.5));
    EXPECT_TRUE(sender.drain(backlog, &replay.link, replay.progress));
    EXPECT_THAT(replay.script().faults, IsEmpty());
    EXPECT_TRUE(replay.script().finished());
    EXPECT_THAT(replay.sleeper.waits, ElementsAre(4, 30, 1));
    // The port is opened for each message and closed after it.
    EXPECT_EQ(replay.channel.connects, 3);
    EXPECT_FALSE(replay.channel.connected());
    EXPECT_FALSE(backlog.draining());
}

TEST(RealTimeSender, FailedSendShowsErrorOnceAndDropsTheRest) {
    UsbReplay replay(Conversation{});
    replay.d2xx.failures["open"] = kFtDeviceNotFound;
    RealTimeSender sender(replay.sleeper);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::integerWord(1, 141, 1));
    backlog.post(RealTimeUpdate::integerWord(1, 142, 1));
    backlog.post(RealTimeUpdate::integerWord(1, 143, 1));
    EXPECT_FALSE(sender.drain(backlog, &replay.link, replay.progress));
    EXPECT_THAT(replay.progress.messages,
                ElementsAre("Can't open the USB. Please verify that the USB port is correct and "
                            "your KVN 350 unit is switch on - Device Not Found....",
                            "ERROR"));
    EXPECT_EQ(backlog.waiting(), 0u);
    EXPECT_FALSE(backlog.draining());
}

TEST(RealTimeSender, OfflineDropsUpdatesWithoutSending) {
    CountingSleeper sleeper;
    RecordingProgress progress;
    RealTimeSender sender(sleeper);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::integerWord(1, 141, 1));
    EXPECT_TRUE(sender.drain(backlog, nullptr, progress));
    EXPECT_FALSE(backlog.draining());
    EXPECT_EQ(sleeper.totalMs, 0);
}

}  // namespace
}  // namespace kvn::link::test
