// Real-time messages land in the running banks; the device answers only their START.
#include "emulator/RealTimeReceiver.h"

#include "DeviceTestSupport.h"
#include "emulator/VirtualProcessor.h"

#include <gtest/gtest.h>

namespace kvn::emu {
namespace {

using test::Bytes;
using test::Pc;

TEST(RealTimeReceiver, DelayWordLandsInBankOneAtAddress142) {
    VirtualProcessor device;
    Pc pc(device);
    const Word bank2Before = device.bankWord(2, 142);
    EXPECT_EQ(pc.send({0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55}), (Bytes{0x84}));
    EXPECT_EQ(device.bankWord(1, 142), (Word{0x00, 0x00, 0x65}));
    EXPECT_EQ(device.bankWord(2, 142), bank2Before);
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().realTimeApplied, 1U);
}

TEST(RealTimeReceiver, SectionMessageWritesFiveWordsFromItsSlot) {
    VirtualProcessor device;
    Pc pc(device);
    // Slot 100 in bank 2: b0 1.0, b1 -1.0, b2 0.5, a1 0, a2 all ones.
    const Bytes message = {0x84, 0x12, 0x02, 0x00, 0x00, 0x64, 0x10, 0x00, 0x00, 0x30, 0x00,
                           0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3F, 0xFF, 0xFF, 0x55};
    ASSERT_EQ(message.size(), 22U);
    EXPECT_EQ(pc.send(message), (Bytes{0x84}));
    EXPECT_EQ(device.bankWord(2, 100), (Word{0x10, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(2, 101), (Word{0x30, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(2, 102), (Word{0x08, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(2, 103), (Word{0x00, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(2, 104), (Word{0x3F, 0xFF, 0xFF}));
}

TEST(RealTimeReceiver, OutputLevelsAt258To260RunAt255To257) {
    VirtualProcessor device;
    Pc pc(device);
    pc.send({0x84, 0x12, 0x01, 0x02, 0x01, 0x02, 0x08, 0x00, 0x00, 0x55});  // 258: Output 1
    pc.send({0x84, 0x12, 0x01, 0x02, 0x01, 0x04, 0x04, 0x00, 0x00, 0x55});  // 260: SUB
    EXPECT_EQ(device.bankWord(1, 255), (Word{0x08, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(1, 257), (Word{0x04, 0x00, 0x00}));
    EXPECT_EQ(device.counters().realTimeApplied, 2U);
}

TEST(RealTimeReceiver, MessagesOutOfRangeOrBrokenAreIgnoredAndCounted) {
    VirtualProcessor device;
    Pc pc(device);
    const Bank bank1 = device.bank(1);
    const Bank bank2 = device.bank(2);
    // Address 261, bank 3, bank 0, a wrong END, a section at slot 254 (its last word would be 258).
    pc.send({0x84, 0x12, 0x01, 0x02, 0x01, 0x05, 0x01, 0x02, 0x03, 0x55});
    pc.send({0x84, 0x12, 0x03, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55});
    pc.send({0x84, 0x12, 0x00, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55});
    pc.send({0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x56});
    Bytes section = {0x84, 0x12, 0x01, 0x00, 0x00, 0xFE};
    section.resize(21, 0x01);
    section.push_back(0x55);
    pc.send(section);
    EXPECT_EQ(device.counters().realTimeIgnored, 5U);
    EXPECT_EQ(device.counters().realTimeApplied, 0U);
    EXPECT_EQ(device.bank(1), bank1);
    EXPECT_EQ(device.bank(2), bank2);
    EXPECT_TRUE(device.idle());

    // An unknown type ends the message at once; what follows is ignored at rest.
    pc.send({0x84, 0x12, 0x01, 0x07, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55});
    EXPECT_EQ(device.counters().realTimeIgnored, 6U);
    EXPECT_EQ(device.counters().garbageBytes, 6U);
    EXPECT_EQ(device.bank(1), bank1);
}

}  // namespace
}  // namespace kvn::emu
