// The protocol over a replayed conversation, on the serial or the USB link.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CountingSleeper.h"
#include "RecordingProgress.h"
#include "ScriptedChannel.h"
#include "ScriptedD2xx.h"
#include "link/SerialTransferLink.h"
#include "link/TransferProtocol.h"
#include "link/UsbDevice.h"
#include "link/UsbTransferLink.h"

namespace kvn::link::test {

struct SerialReplay {
    explicit SerialReplay(Conversation conversation)
        : channel(std::move(conversation)),
          link(channel, progress, [this] { ++drops; }),
          protocol(link, progress) {
        channel.connect();
    }
    explicit SerialReplay(const std::string& fixture) : SerialReplay(Conversation::load(fixture)) {}

    Script& script() { return channel.script; }

    RecordingProgress progress;
    CountingSleeper sleeper;
    int drops = 0;
    ScriptedChannel channel;
    SerialTransferLink link;
    TransferProtocol protocol;
};

struct UsbReplay {
    explicit UsbReplay(Conversation conversation)
        : d2xx(std::move(conversation)),
          usb(d2xx, progress, [this] { ++drops; }),
          link(usb, progress, sleeper, [this] { ++drops; }),
          protocol(link, progress) {}
    explicit UsbReplay(const std::string& fixture) : UsbReplay(Conversation::load(fixture)) {}

    Script& script() { return d2xx.script; }

    RecordingProgress progress;
    CountingSleeper sleeper;
    int drops = 0;
    ScriptedD2xx d2xx;
    UsbDevice usb;
    UsbTransferLink link;
    TransferProtocol protocol;
};

// Every byte went as recorded, the whole conversation took place, and the user saw exactly the
// recorded step texts and message boxes.
template <typename ReplayType>
void expectRecordedConversation(ReplayType& replay) {
    EXPECT_THAT(replay.script().faults, ::testing::IsEmpty());
    EXPECT_TRUE(replay.script().finished()) << "the conversation stopped early";
    EXPECT_EQ(replay.progress.texts, replay.script().conversation().texts);
}

}  // namespace kvn::link::test
