// cCOM on real pseudo-terminals: the same kernel tty layer a USB serial adapter goes through.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "config_home.h"
#include "deadline.h"
#include "serial/com.h"
#include "serial/port_paths.h"

namespace valbrix {
namespace {

// The far end of the cable: the test reads and writes the master.
class PtyPair {
public:
    PtyPair() {
        char name[128];
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        slavePath = name;
        // The slave stays open on our side so the line keeps its settings between the opens under test.
        termios cooked{};
        tcgetattr(slave, &cooked);
        original = cooked;
    }
    ~PtyPair() {
        close(master);
        close(slave);
    }
    std::string readAll(int waitMs = 200) {
        std::string bytes;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        fcntl(master, F_SETFL, O_NONBLOCK);
        while (std::chrono::steady_clock::now() < until) {
            char buffer[256];
            const ssize_t count = read(master, buffer, sizeof buffer);
            if (count > 0) bytes.append(buffer, static_cast<std::size_t>(count));
            else std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return bytes;
    }

    int master = -1;
    int slave = -1;
    std::string slavePath;
    termios original{};
};

int readByteWithin(cCOM& com, int waitMs) {
    for (int waited = 0; waited < waitMs; waited += 2) {
        const int byte = com.ReadByte();
        if (byte >= 0) return byte;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

TEST(SerialPty, DevicePathsByNumber) {
    testing::ConfigHome home;
    struct Case {
        int port;
        const char* path;
    };
    const Case cases[] = {{1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},    {5, "/dev/ttyUSB0"}, {20, "/dev/ttyUSB15"},
                          {21, "/dev/ttyACM0"}, {31, "/dev/ttyACM10"}, {32, "/dev/ttyS4"},  {99, "/dev/ttyS71"},
                          {0, ""},              {100, ""}};
    for (const Case& c : cases) EXPECT_EQ(devicePathForPort(c.port), c.path) << c.port;
    home.link(7, "/dev/null");
    EXPECT_EQ(devicePathForPort(7), home.portLink(7));
}

TEST(SerialPty, OpensExclusivelyTalksAndRestoresTheLine) {
    testing::ConfigHome home;
    PtyPair pty;
    home.link(12, pty.slavePath);
    {
        cCOM com(12, gaugeLineSettings);
        ASSERT_TRUE(com.IsConfigured());
        EXPECT_EQ(com.ReadByte(), -1);  // nothing received, and no waiting for it

        termios set{};
        ASSERT_EQ(tcgetattr(pty.slave, &set), 0);
        EXPECT_EQ(cfgetospeed(&set), static_cast<speed_t>(B4800));
        EXPECT_EQ(set.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(set.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(set.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(set.c_lflag & (ICANON | ECHO), 0u);

        cCOM second;
        EXPECT_FALSE(second.CanOpen(12));
        EXPECT_FALSE(second.Open(12, 4800, 8, 0, 1));
        int provider = -1;
        EXPECT_FALSE(second.Probe(12, provider));
        EXPECT_TRUE(com.Probe(12, provider));  // its own port, untouched
        EXPECT_EQ(provider, -1);

        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(com.WriteString("\x02?G00\x03\r\n", 1));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(8));
        EXPECT_EQ(pty.readAll(), "\x02?G00\x03\r\n");

        const std::string sent("12\xB5\0\xFF", 5);  // every byte value passes untouched
        ASSERT_EQ(write(pty.master, sent.data(), sent.size()), 5);
        std::string received;
        for (int byte; (byte = readByteWithin(com, 500)) >= 0;) received += static_cast<char>(byte);
        EXPECT_EQ(received, sent);
    }
    termios after{};
    ASSERT_EQ(tcgetattr(pty.slave, &after), 0);
    EXPECT_EQ(after.c_lflag, pty.original.c_lflag);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&pty.original));

    cCOM again;
    int provider = -1;
    EXPECT_TRUE(again.Probe(12, provider));  // free again once closed
    EXPECT_EQ(provider, 0);                  // a pseudo-terminal is no USB adapter
}

// The adapter pulled out (the far end closed, the link gone) and plugged back in under the same number:
// the open port says it is gone, cannot be opened while the device is missing, and opens on the new
// device once it is back.
TEST(SerialPty, APulledDeviceIsNoticedAndItsNumberOpensAgainOnceItIsBack) {
    testing::ConfigHome home;
    auto pty = std::make_unique<PtyPair>();
    home.link(12, pty->slavePath);
    cCOM com(12, gaugeLineSettings);
    ASSERT_TRUE(com.IsConfigured());
    ASSERT_EQ(write(pty->master, "1", 1), 1);
    EXPECT_EQ(readByteWithin(com, 10000), '1');
    EXPECT_FALSE(com.Gone());

    pty.reset();
    std::filesystem::remove(home.portLink(12));
    EXPECT_TRUE(testing::pollFor(30000, [&com] {
        com.ReadByte();
        return com.Gone();
    }));
    EXPECT_FALSE(com.WriteByte('x'));
    com.Close();
    EXPECT_FALSE(com.Open(12, gaugeLineSettings));

    pty = std::make_unique<PtyPair>();
    home.link(12, pty->slavePath);
    ASSERT_TRUE(com.Open(12, gaugeLineSettings));
    EXPECT_FALSE(com.Gone());
    ASSERT_EQ(write(pty->master, "2", 1), 1);
    EXPECT_EQ(readByteWithin(com, 10000), '2');
    EXPECT_TRUE(com.WriteByte('3'));
    EXPECT_EQ(pty->readAll(), "3");
}

TEST(SerialPty, MissingPortsCannotBeOpened) {
    testing::ConfigHome home;
    home.link(3, home.root + "/no-such-device");
    cCOM com(3, gaugeLineSettings);
    EXPECT_FALSE(com.IsConfigured());
    EXPECT_EQ(com.ReadByte(), -1);
    EXPECT_FALSE(com.WriteByte(1));
    home.link(4, "/dev/null");  // exists, but is no serial line
    EXPECT_FALSE(com.CanOpen(4));
}

}  // namespace
}  // namespace valbrix
