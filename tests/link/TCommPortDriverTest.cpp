#include "link/TCommPortDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kvn::link::test {
namespace {

using ::testing::IsEmpty;

TEST(TCommPortDriver, PortThatDoesNotExist_CannotBeConnected) {
    const auto driver = TCommPortDriver::forProcessorAt("/dev/kvn-no-such-port");
    EXPECT_FALSE(driver->Connect());
    EXPECT_FALSE(driver->errorText().empty());
    EXPECT_TRUE(driver->missing()) << "not taken for a port another program holds";
    EXPECT_EQ(driver->SendData(std::vector<std::uint8_t>{0x84}), 0);
    EXPECT_THAT(driver->awaitChunk(10), IsEmpty());
    EXPECT_EQ(driver->OutFreeSpace(), -1);
}

TEST(TCommPortDriver, BlockedOutput_GivesUpAfterTheOutputTimeoutAndDropsTheRest) {
    // A pseudo-terminal whose other end never reads: its buffers fill and the output stalls.
    int master = -1;
    int slave = -1;
    char path[128] = {};
    ASSERT_EQ(openpty(&master, &slave, path, nullptr, nullptr), 0);
    const auto driver = TCommPortDriver::forProcessorAt(path);
    driver->setOutputTimeout(200);
    ASSERT_TRUE(driver->Connect()) << driver->errorText();
    EXPECT_FALSE(driver->setPortPath("/dev/null")) << "the port changes only while closed";
    EXPECT_EQ(driver->SendData({}), 0);

    const std::vector<std::uint8_t> lots(1 << 20, 0x5A);
    const int sent = driver->SendData(lots);
    EXPECT_LT(sent, 0);
    EXPECT_LT(-sent, static_cast<int>(lots.size()));
    EXPECT_EQ(driver->OutFreeSpace(), 2048);
    EXPECT_TRUE(driver->Connected());
    driver->Disconnect();
    close(slave);
    close(master);
}

}  // namespace
}  // namespace kvn::link::test
