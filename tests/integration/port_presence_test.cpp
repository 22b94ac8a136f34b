// Serial devices coming and going, in folders of the test's own standing in for /dev and ports/.
#include "serial/port_presence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config_home.h"

namespace valbrix {
namespace {

namespace fs = std::filesystem;

TEST(PortPresence, CountsHotPluggedDevicesAndLiveLinks) {
    testing::ConfigHome home;
    const std::string dev = home.root + "/dev";
    fs::create_directories(dev);
    for (const char* name : {"ttyUSB0", "ttyACM1", "ttyS0", "null"}) std::ofstream(dev + "/" + name);
    home.link(5, dev + "/ttyS0");
    home.link(6, dev + "/ttyUSB9");  // nothing behind it

    const std::set<std::string> before = serialDevicesPresent(dev, home.portsFolder());
    EXPECT_EQ(before, (std::set<std::string>{dev + "/ttyACM1", dev + "/ttyUSB0", home.portLink(5)}));

    fs::remove(dev + "/ttyUSB0");
    std::ofstream(dev + "/ttyUSB9");  // the adapter comes back under another number: COM6 lives again
    const std::set<std::string> after = serialDevicesPresent(dev, home.portsFolder());
    const PortChanges changes = comparePortSets(before, after);
    EXPECT_EQ(changes.arrived, 2);
    EXPECT_EQ(changes.removed, 1);

    EXPECT_TRUE(serialDevicesPresent(home.root + "/missing", home.root + "/missing").empty());
}

}  // namespace
}  // namespace valbrix
