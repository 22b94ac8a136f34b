#include "serial/port_driver_win32.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace valbrix {
namespace {

TEST(Win32LineSettings, TheGaugeLine) {
    const DCB dcb = lineSettingsRecord(gaugeLineSettings);
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 4800u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    EXPECT_EQ(dcb.XonLim, 0);
    EXPECT_EQ(dcb.XoffLim, 0);
    EXPECT_EQ(dcb.XonChar, 0);
    EXPECT_EQ(dcb.XoffChar, 0);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
}

TEST(Win32LineSettings, ParityAndStopBits) {
    struct Case {
        Parity parity;
        int stopBits;
        BYTE recordParity;
        BYTE recordStopBits;
    };
    const Case cases[] = {
        {Parity::None, 1, NOPARITY, ONESTOPBIT},   {Parity::Odd, 1, ODDPARITY, ONESTOPBIT},
        {Parity::Even, 2, EVENPARITY, TWOSTOPBITS}, {Parity::Mark, 1, MARKPARITY, ONESTOPBIT},
        {Parity::Space, 1, SPACEPARITY, ONESTOPBIT}, {Parity::None, 0, NOPARITY, 0},  // other counts go as they are
        {Parity::None, 5, NOPARITY, 5},
    };
    for (const Case& c : cases) {
        const DCB dcb = lineSettingsRecord(LineSettings{4800, 8, c.parity, c.stopBits});
        EXPECT_EQ(dcb.Parity, c.recordParity) << static_cast<int>(c.parity);
        EXPECT_EQ(dcb.StopBits, c.recordStopBits) << c.stopBits;
    }
}

TEST(Win32LineSettings, ReadsReturnAtOnceAndWritesHaveNoTimeOut) {
    const COMMTIMEOUTS timeouts = immediateReads();
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);
}

// The line signals travel to EscapeCommFunction as they are.
TEST(Win32LineSettings, LineSignalsAreTheEscapeFunctionCodes) {
    EXPECT_EQ(static_cast<DWORD>(LineSignal::SetRts), static_cast<DWORD>(SETRTS));
    EXPECT_EQ(static_cast<DWORD>(LineSignal::ClearRts), static_cast<DWORD>(CLRRTS));
    EXPECT_EQ(static_cast<DWORD>(LineSignal::SetDtr), static_cast<DWORD>(SETDTR));
    EXPECT_EQ(static_cast<DWORD>(LineSignal::ClearDtr), static_cast<DWORD>(CLRDTR));
}

// Leaves a pattern where the next call's stack frame will lie.
[[gnu::noinline]] void fillStack() {
    volatile unsigned char used[4096];
    for (std::size_t i = 0; i < sizeof used; ++i) used[i] = 0xA5;
}

// GetCommProperties fails on a handle that is no port and leaves the record as it found it: the
// record is cleared first, so the value is 0 and not what the stack held.
TEST(Win32LineSettings, ProvidersOfPortsWithoutPropertiesReadZero) {
    fillStack();
    EXPECT_EQ(providerValueOf(nullptr), 0);
}

}  // namespace
}  // namespace valbrix
