#include "link/TCommPortDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "PseudoTerminal.h"

namespace kvn::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::IsEmpty;

class TCommPortDriverTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.valid()); }

    PseudoTerminal pty;
};

TEST_F(TCommPortDriverTest, PortThatDoesNotExist_CannotBeConnected) {
    const auto driver = TCommPortDriver::forProcessorAt("/dev/kvn-no-such-port");
    EXPECT_FALSE(driver->Connect());
    EXPECT_FALSE(driver->Connected());
    EXPECT_FALSE(driver->errorText().empty());
    EXPECT_EQ(driver->SendData(Bytes{0x84}), 0);
    EXPECT_THAT(driver->awaitChunk(10), IsEmpty());
}

TEST_F(TCommPortDriverTest, BytesTravelBothWaysOnAPseudoTerminal) {
    const auto driver = TCommPortDriver::forProcessorAt(pty.path());
    ASSERT_TRUE(driver->Connect()) << driver->errorText();
    EXPECT_TRUE(driver->Connect());  // connecting again changes nothing
    // The port and path stay as they are while it is open.
    EXPECT_FALSE(driver->setComPort(TCommPortDriver::pnCOM4));
    EXPECT_FALSE(driver->setPortPath("/dev/null"));
    EXPECT_EQ(driver->OutFreeSpace(), 2048);

    EXPECT_EQ(driver->SendData({}), 0);
    EXPECT_EQ(driver->SendData(Bytes{0x84, 0x00, 0x15}), 3);
    EXPECT_EQ(pty.read(1000), (Bytes{0x84, 0x00, 0x15}));

    pty.write({0x84, 0x55});
    Bytes received;
    while (received.size() < 2) {
        const Bytes chunk = driver->awaitChunk(1000);
        ASSERT_FALSE(chunk.empty());
        received.insert(received.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(received, (Bytes{0x84, 0x55}));
    // Silence is an empty chunk, and the port stays open.
    EXPECT_THAT(driver->awaitChunk(30), IsEmpty());
    EXPECT_TRUE(driver->Connected());
}

TEST_F(TCommPortDriverTest, PurgedInputIsNotReturned) {
    const auto driver = TCommPortDriver::forProcessorAt(pty.path());
    ASSERT_TRUE(driver->Connect());
    pty.write({0x84});
    // Let the stray byte arrive, then purge it.
    ASSERT_FALSE(driver->awaitChunk(1000).empty());
    pty.write({0x99});
    usleep(50000);
    driver->purgeInput();
    EXPECT_THAT(driver->awaitChunk(30), IsEmpty());
    pty.write({0x07});
    EXPECT_EQ(driver->awaitChunk(1000), Bytes{0x07});
}

TEST_F(TCommPortDriverTest, OtherEndGoingAway_ClosesThePort) {
    const auto driver = TCommPortDriver::forProcessorAt(pty.path());
    ASSERT_TRUE(driver->Connect());
    pty.closeSlave();
    pty.closeMaster();
    EXPECT_THAT(driver->awaitChunk(2000), IsEmpty());
    EXPECT_FALSE(driver->Connected());
    EXPECT_FALSE(driver->errorText().empty());
    EXPECT_EQ(driver->OutFreeSpace(), -1);
}

TEST_F(TCommPortDriverTest, BlockedOutput_GivesUpAfterTheOutputTimeout) {
    const auto driver = TCommPortDriver::forProcessorAt(pty.path());
    driver->setOutputTimeout(200);
    ASSERT_TRUE(driver->Connect());
    // Nobody reads the master: the pseudo-terminal's buffers fill and the output stalls.
    const Bytes lots(1 << 20, 0x5A);
    const int sent = driver->SendData(lots);
    EXPECT_LT(sent, 0);
    EXPECT_GT(-sent, 0);
    EXPECT_LT(-sent, static_cast<int>(lots.size()));
    // What was not sent is dropped, not sent later.
    EXPECT_EQ(driver->OutFreeSpace(), 2048);
}

}  // namespace
}  // namespace kvn::link::test
