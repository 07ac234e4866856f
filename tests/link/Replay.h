// The transfer protocol over a replayed serial conversation.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingProgress.h"
#include "ScriptedChannel.h"
#include "link/SerialTransferLink.h"
#include "link/TransferProtocol.h"

namespace kvn::link::test {

struct Replay {
    explicit Replay(const std::string& fixture) : Replay(Conversation::load(fixture)) {}
    explicit Replay(Conversation conversation) : channel(std::move(conversation)) {
        channel.connect();
    }

    // Every byte went as recorded, all of the conversation took place, and the user saw exactly
    // the recorded step texts and message boxes.
    void expectRecordedConversation() const {
        EXPECT_THAT(channel.faults, ::testing::IsEmpty());
        EXPECT_TRUE(channel.finished()) << "the conversation stopped early";
        EXPECT_EQ(progress.texts, channel.conversation().texts);
    }

    RecordingProgress progress;
    int drops = 0;
    ScriptedChannel channel;
    SerialTransferLink link{channel, progress, [this] { ++drops; }};
    TransferProtocol protocol{link, progress};
};

}  // namespace kvn::link::test
