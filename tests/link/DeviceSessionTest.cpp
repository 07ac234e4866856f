#include "link/DeviceSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "emulator/VirtualProcessor.h"
#include "link/VirtualSerialChannel.h"

namespace kvn::link::test {
namespace {

// A sleeper whose first wait holds the worker until the test lets it go, so that edits arrive
// while a real-time message is on its way.
class GateSleeper : public Sleeper {
public:
    void sleepMs(int) override {
        std::unique_lock lock(mutex_);
        if (std::exchange(first_, false)) {
            holding_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !holding_; });
        }
    }
    void waitUntilHolding() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return holding_; });
    }
    void release() {
        const std::lock_guard lock(mutex_);
        changed_.notify_all();
        holding_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool first_ = true;
    bool holding_ = false;
};

LinkOption virtualCom(emu::VirtualProcessor& device) {
    return LinkOption::com(1, [&device] { return std::make_unique<VirtualSerialChannel>(device); });
}

bool runs(DeviceSession& session, bool started) {
    QSignalSpy finished(&session, &DeviceSession::finished);
    return started && (finished.wait(5000) || !session.busy());
}

TEST(DeviceSession, OperationsRunOneAtATimeOnTheWorkerAndReportThroughSignals) {
    emu::VirtualProcessor device;
    DeviceSession session;
    QSignalSpy busy(&session, &DeviceSession::busyChanged);
    QSignalSpy identified(&session, &DeviceSession::identified);
    QSignalSpy infos(&session, &DeviceSession::infoChanged);
    QSignalSpy read(&session, &DeviceSession::memoryRead);
    QSignalSpy finished(&session, &DeviceSession::finished);

    ASSERT_TRUE(runs(session, session.chooseLink(virtualCom(device))));
    EXPECT_EQ(session.connectionMode(), 1);
    ASSERT_TRUE(session.identify());
    EXPECT_TRUE(session.busy());
    EXPECT_FALSE(session.readMemory(21));  // refused while identification runs
    ASSERT_TRUE(finished.wait(5000) || finished.count() == 2);
    ASSERT_EQ(identified.count(), 1);
    EXPECT_TRUE(identified[0][0].toBool());
    EXPECT_EQ(identified[0][1].toString(), "Status : Connected at COM1");
    EXPECT_TRUE(session.letterPassword());
    EXPECT_EQ(infos.first()[0].toString(), "Sending START...");
    EXPECT_EQ(infos.last()[0].toString(), "Communication OK...");

    ASSERT_TRUE(runs(session, session.readMemory(21)));
    ASSERT_EQ(read.count(), 1);
    const emu::Image stored = device.memory(21);
    EXPECT_EQ(read[0][1].value<std::vector<std::uint8_t>>(),
              std::vector<std::uint8_t>(stored.begin(), stored.end()));
    EXPECT_EQ(finished.last()[1].toBool(), true);
    EXPECT_FALSE(session.busy());
    EXPECT_EQ(busy.count(), 6);

    QSignalSpy messages(&session, &DeviceSession::messageRequested);
    ASSERT_TRUE(runs(session, session.changeMemory(61)));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages[0][0].value<MessageKind>(), MessageKind::Error);
    EXPECT_EQ(messages[0][1].toString(), "There is no memory 61 in the KVN 350.");
    EXPECT_EQ(finished.last()[1].toBool(), false);
}

TEST(DeviceSession, EditsDuringABusySendReachTheProcessorAfterwardsLatestValueOnly) {
    emu::VirtualProcessor device;
    GateSleeper gate;
    DeviceSession session(gate);
    ASSERT_TRUE(runs(session, session.chooseLink(virtualCom(device))));

    session.sendIntegerWord(141, 40);  // real-time mode is off: not sent
    session.setRealTimeMode(true);
    session.sendIntegerWord(142, 11);
    gate.waitUntilHolding();  // that message waits in its pause
    EXPECT_TRUE(session.realTimeBusy());
    for (int delay = 1; delay <= 7; ++delay) {  // a slider dragged meanwhile
        session.sendIntegerWord(141, delay);
        session.sendCoefficientWord(144, 0.125 * delay);
    }
    gate.release();
    for (int i = 0; i < 1000 && session.realTimeBusy(); ++i) {
        QThread::msleep(2);
    }
    EXPECT_FALSE(session.realTimeBusy());
    EXPECT_EQ(device.bankWord(1, 142), (Word{0x00, 0x00, 0x0B}));
    EXPECT_EQ(device.bankWord(1, 141), (Word{0x00, 0x00, 0x07}));
    EXPECT_EQ(device.bankWord(1, 144), (Word{0x0E, 0x00, 0x00}));
    EXPECT_EQ(device.counters().realTimeApplied, 3u);
}

}  // namespace
}  // namespace kvn::link::test
