#include "serial/port_driver_posix.h"

#include <gtest/gtest.h>

#include <cstring>

namespace valbrix {
namespace {

// A record with every flag set, so that what the settings clear shows as well as what they set.
termios everythingSet() {
    termios record;
    std::memset(&record, 0xFF, sizeof record);
    return record;
}

TEST(PosixLineSettings, ParityStopBitsAndCharacterSize) {
    struct Case {
        LineSettings settings;
        tcflag_t parity;  // PARENB, PARODD and CMSPAR as they end up
        bool twoStopBits;
        tcflag_t characterSize;
    };
    const Case cases[] = {
        {gaugeLineSettings, 0, false, CS8},
        {{4800, 8, Parity::Odd, 1}, PARENB | PARODD, false, CS8},
        {{4800, 8, Parity::Even, 1}, PARENB, false, CS8},
        {{4800, 8, Parity::Mark, 1}, PARENB | PARODD | CMSPAR, false, CS8},
        {{4800, 8, Parity::Space, 1}, PARENB | CMSPAR, false, CS8},
        {{4800, 8, Parity::None, 2}, 0, true, CS8},
        {{4800, 8, Parity::None, 0}, 0, false, CS8},  // any other count is one stop bit
        {{4800, 8, Parity::None, 3}, 0, false, CS8},
        {{4800, 7, Parity::Even, 1}, PARENB, false, CS7},
        {{4800, 5, Parity::None, 1}, 0, false, CS5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "parity " << static_cast<int>(c.settings.parity) << ", stop bits "
                                          << c.settings.stopBits << ", data bits " << c.settings.dataBits);
        termios record = everythingSet();
        ASSERT_TRUE(setLineSettings(record, c.settings));
        EXPECT_EQ(record.c_cflag & (PARENB | PARODD | CMSPAR), c.parity);
        EXPECT_EQ((record.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(record.c_cflag & CSIZE, c.characterSize);
    }
}

TEST(PosixLineSettings, RawWithoutFlowControlAndReadsThatNeverWait) {
    termios record = everythingSet();
    ASSERT_TRUE(setLineSettings(record, gaugeLineSettings));
    EXPECT_EQ(cfgetispeed(&record), static_cast<speed_t>(B4800));
    EXPECT_EQ(cfgetospeed(&record), static_cast<speed_t>(B4800));
    EXPECT_EQ(record.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(record.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(record.c_iflag & (IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(record.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(record.c_cc[VMIN], 0);
    EXPECT_EQ(record.c_cc[VTIME], 0);

    termios untouched = everythingSet();
    EXPECT_FALSE(setLineSettings(untouched, LineSettings{4711, 8, Parity::None, 1}));
    const termios before = everythingSet();
    EXPECT_EQ(std::memcmp(&untouched, &before, sizeof before), 0);
}

}  // namespace
}  // namespace valbrix
