#include "link/DeviceLink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "CountingSleeper.h"
#include "RecordingProgress.h"
#include "ScriptedChannel.h"
#include "ScriptedD2xx.h"
#include "link/DeviceSequences.h"

namespace kvn::link::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

// A DeviceLink whose links replay conversations; the test keeps a view of the link it made.
struct Harness {
    RecordingProgress progress;
    CountingSleeper sleeper;
    DeviceLink link{progress, sleeper};
    DeviceSequences sequences{link, progress, sleeper};
    ScriptedChannel* channel = nullptr;
    ScriptedD2xx* d2xx = nullptr;

    LinkOption com(int number, Conversation conversation, bool refuse = false) {
        return LinkOption::com(number, [this, conversation, refuse] {
            auto made = std::make_unique<ScriptedChannel>(conversation);
            made->refuseConnect = refuse;
            channel = made.get();
            return made;
        });
    }
    LinkOption usb(Conversation conversation, FtStatus openStatus = kFtOk) {
        return LinkOption::usb([this, conversation, openStatus] {
            auto made = std::make_unique<ScriptedD2xx>(conversation);
            if (openStatus != kFtOk) {
                made->failures["open"] = openStatus;
            }
            d2xx = made.get();
            return made;
        });
    }
};

TEST(DeviceLink, ComPortThatCannotBeOpened_LeavesTheLinkOffline) {
    Harness h;
    EXPECT_EQ(h.link.choose(h.com(3, {}, true)), DeviceLink::Choice::PortInUse);
    EXPECT_EQ(h.link.ConnectionMode(), 0);
    EXPECT_THAT(h.progress.messages, ElementsAre("COM Port already in use. Select another."));
    EXPECT_EQ(h.link.protocol(), nullptr);
}

TEST(DeviceLink, ComPort_IdentifiesTheProcessorAndItsPasswordScheme) {
    const auto letters = Conversation::load("identify_letter_scheme.txt");
    Harness h;
    EXPECT_EQ(h.link.choose(h.com(2, letters)), DeviceLink::Choice::Connected);
    EXPECT_EQ(h.link.ConnectionMode(), 2);
    EXPECT_FALSE(h.link.UsbActive());
    const auto identified = h.link.identify();
    EXPECT_TRUE(identified.answered);
    EXPECT_EQ(identified.statusText, "Status : Connected at COM2");
    EXPECT_TRUE(identified.hideConnectionWindow);
    EXPECT_TRUE(h.link.LetterPassword());
    EXPECT_THAT(h.channel->script.faults, IsEmpty());

    // A processor answering 49 takes key presses.
    std::ifstream file(std::string(KVN_FIXTURE_DIR) + "/identify_letter_scheme.txt");
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    Harness older;
    older.link.choose(older.com(1, Conversation::parse(replaced(text, "Recv: 32", "Recv: 31"))));
    EXPECT_TRUE(older.link.identify().answered);
    EXPECT_FALSE(older.link.LetterPassword());
}

TEST(DeviceLink, SilentComPort_DropsToOfflineDuringIdentification) {
    Harness h;
    h.link.choose(h.com(1, Conversation::load("serial_silence.txt")));
    const auto identified = h.link.identify();
    EXPECT_FALSE(identified.answered);
    EXPECT_TRUE(identified.statusText.empty());
    EXPECT_EQ(h.link.ConnectionMode(), 0);
    EXPECT_EQ(h.progress.drops, 1);
    EXPECT_EQ(h.link.protocol(), nullptr);
}

TEST(DeviceLink, ComPortTakenBeforeIdentification_AsksForAnotherPort) {
    Harness h;
    h.link.choose(h.com(1, {}));
    h.channel->refuseConnect = true;
    const auto identified = h.link.identify();
    EXPECT_FALSE(identified.answered);
    EXPECT_FALSE(identified.hideConnectionWindow);
    EXPECT_THAT(h.progress.messages, ElementsAre("COM Port already used. Please, select another."));
    EXPECT_THAT(h.channel->script.allSent, IsEmpty());
}

TEST(DeviceLink, Offline_IdentifiesAsOffline) {
    Harness h;
    EXPECT_EQ(h.link.choose(LinkOption::offline()), DeviceLink::Choice::Offline);
    EXPECT_EQ(h.link.identify().statusText, "Status : Offline");
}

TEST(DeviceLink, UsbWithoutTheChip_StaysOffline) {
    Harness h;
    EXPECT_EQ(h.link.choose(h.usb({}, kFtDeviceNotFound)), DeviceLink::Choice::Offline);
    EXPECT_EQ(h.link.ConnectionMode(), 0);
    EXPECT_FALSE(h.link.UsbActive());
    EXPECT_THAT(h.progress.messages,
                ElementsAre("Can't open the USB. Please verify that the USB port is correct and "
                            "your KVN 350 unit is switch on - Device Not Found...."));
    EXPECT_EQ(h.link.identify().statusText, "Status : Offline");
}

TEST(DeviceLink, Usb_IdentifiesOrReportsThatItIsNotAKvn350) {
    Harness h;
    EXPECT_EQ(h.link.choose(h.usb(Conversation::load("identify_letter_scheme.txt"))),
              DeviceLink::Choice::Connected);
    EXPECT_EQ(h.link.ConnectionMode(), 5);
    EXPECT_TRUE(h.link.UsbActive());
    EXPECT_EQ(h.link.identify().statusText, "Status : USB");

    Harness silent;
    silent.link.choose(silent.usb(Conversation::parse("Sent: 84\nRecv: 00\n")));
    const auto identified = silent.link.identify();
    EXPECT_FALSE(identified.answered);
    EXPECT_EQ(identified.statusText, "Status : Offline");
    EXPECT_EQ(silent.progress.messages.back(),
              "This is not a KVN 350 processor, It cannot communicate.");
    EXPECT_EQ(silent.link.ConnectionMode(), 0);
}

TEST(DeviceSequences, ProtectedMemory_IsNeitherWrittenNorRecalled) {
    for (bool usb : {false, true}) {
        SCOPED_TRACE(usb ? "USB" : "serial");
        Harness h;
        const auto conversation = Conversation::load("memory_protected.txt");
        h.link.choose(usb ? h.usb(conversation) : h.com(1, conversation));
        const std::uint8_t image[] = {0x00};
        EXPECT_FALSE(h.sequences.WriteMemory(30, image));
        Script& script = usb ? h.d2xx->script : h.channel->script;
        EXPECT_THAT(script.faults, IsEmpty());
        EXPECT_TRUE(script.finished());
        // The link is fine: no reconnect request, still connected.
        EXPECT_EQ(h.progress.reconnects, 0);
        EXPECT_NE(h.link.ConnectionMode(), 0);
    }
}

TEST(DeviceSequences, UsbWriteThatFails_AsksTheUserToReconnect) {
    Harness h;
    h.link.choose(h.usb(Conversation::load("usb_silence.txt")));
    const std::uint8_t image[] = {0x00};
    EXPECT_FALSE(h.sequences.WriteMemory(21, image));
    EXPECT_EQ(h.progress.messages.back(), "The KVN 350 was closed. You need to Reconnect.");
    EXPECT_EQ(h.progress.reconnects, 1);
    EXPECT_FALSE(h.d2xx->isOpen());
    EXPECT_EQ(h.link.ConnectionMode(), 0);
}

TEST(DeviceSequences, MemoryOutsideOneToSixty_IsRefusedWithoutSending) {
    Harness h;
    h.link.choose(h.com(1, {}));
    const std::uint8_t image[] = {0x00};
    EXPECT_FALSE(h.sequences.WriteMemory(61, image));
    EXPECT_FALSE(h.sequences.ChangeMemory(0));
    EXPECT_FALSE(h.sequences.ReadMemory(300).has_value());
    EXPECT_THAT(h.progress.messages, ElementsAre("There is no memory 61 in the KVN 350.",
                                                 "There is no memory 0 in the KVN 350.",
                                                 "There is no memory 300 in the KVN 350."));
    EXPECT_THAT(h.channel->script.allSent, IsEmpty());
}

TEST(DeviceSequences, OfflineOperationsSendNothing) {
    Harness h;
    const std::uint8_t image[] = {0x00};
    EXPECT_FALSE(h.sequences.WriteMemory(21, image));
    EXPECT_FALSE(h.sequences.KeyboardLock(true));
    EXPECT_FALSE(h.sequences.QueryActiveMemory(MemoryRange::user()).has_value());
    EXPECT_THAT(h.progress.messages, IsEmpty());
}

}  // namespace
}  // namespace kvn::link::test
