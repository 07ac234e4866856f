#include "link/PortMap.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

TEST(PortMap, DefaultsPerPlatformAndUserPaths) {
    EXPECT_EQ(PortMap::defaults(PortMap::Platform::Windows).path(3), "COM3");
    const PortMap linux = PortMap::defaults(PortMap::Platform::Linux);
    EXPECT_EQ(linux.path(1), "/dev/ttyS0");
    EXPECT_EQ(linux.path(3), "/dev/ttyUSB0");
    EXPECT_EQ(PortMap::defaults(PortMap::Platform::MacOs).path(1).rfind("/dev/cu.", 0), 0u);

    PortMap map = PortMap::defaults(PortMap::Platform::Linux);
    map.setPath(2, "/dev/pts/7");
    map.setPath(5, "/dev/null");
    EXPECT_EQ(map.path(2), "/dev/pts/7");
    EXPECT_EQ(map.path(5), "");
    EXPECT_EQ(map.path(0), "");
    EXPECT_EQ(PortMap::portName(4), "COM4");
}

}  // namespace
}  // namespace kvn::link
