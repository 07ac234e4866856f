#include "link/DeviceSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "Conversation.h"
#include "ScriptedChannel.h"

namespace kvn::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;

// A sleeper whose first wait holds the worker until the test lets it go, so that edits arrive
// while a real-time message is on its way.
class GateSleeper : public Sleeper {
public:
    void sleepMs(int) override {
        std::unique_lock lock(mutex_);
        if (first_) {
            first_ = false;
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
        holding_ = false;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool first_ = true;
    bool holding_ = false;
};

// A serial link that records what the processor would hear, message by message.
class RecordingChannel : public ByteChannel {
public:
    explicit RecordingChannel(std::shared_ptr<std::vector<Bytes>> heard)
        : heard_(std::move(heard)) {}
    bool connect() override {
        if (!connected_) {
            heard_->emplace_back();
        }
        connected_ = true;
        return true;
    }
    void disconnect() override { connected_ = false; }
    bool connected() const override { return connected_; }
    int sendData(std::span<const std::uint8_t> bytes) override {
        heard_->back().insert(heard_->back().end(), bytes.begin(), bytes.end());
        return static_cast<int>(bytes.size());
    }
    std::vector<std::uint8_t> awaitChunk(int) override { return {}; }
    void purgeInput() override {}
    std::string errorText() const override { return {}; }

private:
    std::shared_ptr<std::vector<Bytes>> heard_;
    bool connected_ = false;
};

bool finishes(DeviceSession& session, QSignalSpy& spy) {
    return spy.count() > 0 || spy.wait(5000) || !session.busy();
}

TEST(DeviceSession, OperationsRunOneAtATimeAndReportThroughSignals) {
    DeviceSession session;
    QSignalSpy finished(&session, &DeviceSession::finished);
    QSignalSpy busy(&session, &DeviceSession::busyChanged);
    QSignalSpy chosen(&session, &DeviceSession::linkChosen);
    QSignalSpy identified(&session, &DeviceSession::identified);
    QSignalSpy infos(&session, &DeviceSession::infoChanged);
    const Conversation conversation = Conversation::load("identify_letter_scheme.txt");

    ASSERT_TRUE(session.chooseLink(LinkOption::com(
        1, [conversation] { return std::make_unique<ScriptedChannel>(conversation); })));
    EXPECT_TRUE(session.busy());
    EXPECT_FALSE(session.identify());  // refused while the choice runs
    ASSERT_TRUE(finishes(session, finished));
    EXPECT_EQ(finished.takeFirst().at(1).toBool(), true);
    EXPECT_EQ(chosen.takeFirst().at(0).value<DeviceLink::Choice>(), DeviceLink::Choice::Connected);
    EXPECT_EQ(session.connectionMode(), 1);

    ASSERT_TRUE(session.identify());
    ASSERT_TRUE(finishes(session, finished));
    const QList<QVariant> outcome = identified.takeFirst();
    EXPECT_TRUE(outcome.at(0).toBool());
    EXPECT_EQ(outcome.at(1).toString(), "Status : Connected at COM1");
    EXPECT_TRUE(outcome.at(3).toBool());
    EXPECT_TRUE(session.letterPassword());
    EXPECT_EQ(infos.first().at(0).toString(), "Sending START...");
    EXPECT_EQ(infos.last().at(0).toString(), "Communication OK...");
    EXPECT_FALSE(session.busy());
    EXPECT_EQ(busy.count(), 4);
}

TEST(DeviceSession, EditsDuringABusySendArriveAfterwardsLatestValueFirstArrivalOrder) {
    GateSleeper gate;
    DeviceSession session(gate);
    auto heard = std::make_shared<std::vector<Bytes>>();
    QSignalSpy finished(&session, &DeviceSession::finished);
    session.chooseLink(
        LinkOption::com(1, [heard] { return std::make_unique<RecordingChannel>(heard); }));
    ASSERT_TRUE(finishes(session, finished));

    // Off: nothing is sent.
    session.sendIntegerWord(141, 1);
    session.setRealTimeMode(true);
    session.sendIntegerWord(142, 1);
    gate.waitUntilHolding();  // the first message waits in its pause
    EXPECT_TRUE(session.realTimeBusy());
    session.sendIntegerWord(141, 5);  // delay of output 1 ...
    session.sendCoefficientWord(258, 0.5);
    session.sendIntegerWord(141, 6);
    session.sendIntegerWord(141, 7);  // ... dragged on: only 7 must follow
    gate.release();
    for (int i = 0; i < 500 && session.realTimeBusy(); ++i) {
        QThread::msleep(2);
    }
    EXPECT_FALSE(session.realTimeBusy());
    // One entry per opening of the port; the first message went out on the port the link choice
    // opened.
    ASSERT_EQ(heard->size(), 3u);
    EXPECT_EQ((*heard)[0], (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x01, 0x55}));
    EXPECT_EQ((*heard)[1], (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0x8D, 0x00, 0x00, 0x07, 0x55}));
    EXPECT_EQ((*heard)[2], (Bytes{0x84, 0x12, 0x01, 0x02, 0x01, 0x02, 0x08, 0x00, 0x00, 0x55}));
}

}  // namespace
}  // namespace kvn::link::test
