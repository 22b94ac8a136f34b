// A serial device the user may not open, on a real pseudo-terminal whose mode keeps the user out: the
// port names the group that owns it, as the user must join that group to use it.
#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "config_home.h"
#include "serial/port_access.h"
#include "serial/port_driver.h"
#include "unprivileged.h"

namespace valbrix {
namespace {

class PortAccess : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
        struct stat info;
        ASSERT_EQ(stat(slave.c_str(), &info), 0);
        const struct group* owner = getgrgid(info.st_gid);
        ASSERT_NE(owner, nullptr);
        owningGroup = owner->gr_name;
        config.link(7, slave);
        // The unprivileged user finds the link as the program would.
        ASSERT_EQ(chmod(config.root.c_str(), 0755), 0);
    }
    void TearDown() override { close(master); }

    testing::ConfigHome config;
    int master = -1;
    std::string slave;
    std::string owningGroup;
};

TEST_F(PortAccess, ADeviceOnlyItsGroupMayOpenNamesTheGroup) {
    // Read and write for the group alone: not even the owner gets in.
    ASSERT_EQ(chmod(slave.c_str(), 0060), 0);
    const int status = testing::runUnprivileged([this] {
        return deniedGroupOf(slave) == owningGroup && systemPorts().deniedGroup(7) == owningGroup &&
               !systemPorts().open(7);
    });
    EXPECT_EQ(status, 0) << "the port did not name the group " << owningGroup;
}

TEST_F(PortAccess, ADeviceTheUserMayOpenOrThatIsMissingNamesNone) {
    ASSERT_EQ(chmod(slave.c_str(), 0666), 0);
    const int status = testing::runUnprivileged([this] {
        return deniedGroupOf(slave).empty() && systemPorts().deniedGroup(7).empty() &&
               deniedGroupOf("/dev/nonexistent-tty").empty() && deniedGroupOf("").empty();
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace valbrix
