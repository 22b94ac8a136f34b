#include "gauge/echo_watch.h"

#include <gtest/gtest.h>

#include <string>

namespace valbrix {
namespace {

struct Watched {
    std::string passedOn;
    bool echoed = false;
    bool done = false;
    std::size_t taken = 0;  // bytes fed before the watch was done
};

Watched watch(const std::string& frame, const std::string& received) {
    EchoWatch watcher(frame.data(), frame.size());
    Watched out;
    for (const char c : received) {
        if (watcher.done()) break;
        unsigned char passOn[2];
        const int count = watcher.take(static_cast<unsigned char>(c), passOn);
        out.passedOn.append(reinterpret_cast<const char*>(passOn), static_cast<std::size_t>(count));
        ++out.taken;
    }
    out.echoed = watcher.echoed();
    out.done = watcher.done();
    return out;
}

TEST(EchoWatch, TellsTheEchoFromWhatTheGaugePrintsBesideIt) {
    const std::string frame = "\x02?G170000\x03";
    const std::string reading = "\r\n  7:  4.56 mm\r\n";
    struct Case {
        const char* what;
        std::string received;
        std::string passedOn;
        bool echoed;
        bool done;
    };
    const Case cases[] = {
        {"the echo alone", frame, "", true, true},
        {"a reading, then the echo", reading + frame, reading, true, true},
        {"the echo, then the reply: the reply is left unread", frame + "G17 OK\r\n", "", true, true},
        {"half the echo", frame.substr(0, 5), "", false, false},
        {"an STX of the gauge's own begins no echo", "\x02" "ABC\x03" + frame, "\x02" "ABC\x03", true, true},
        {"two STX: the second begins the echo", "\x02" + frame, "\x02", true, true},
        {"a garbled echo ends with its ETX", "\x02?G170001\x03" + reading, "", false, true},
        {"a garbled echo without ETX ends with the frame's length",
         "\x02?G1700" + reading, "", false, true},
        {"an echo cut short by its ETX", "\x02?G17\x03" + reading, "", false, true},
        {"NUL bytes and noise before the echo", std::string("\0\xFF\x80", 3) + frame, std::string("\0\xFF\x80", 3), true,
         true},
    };
    for (const Case& c : cases) {
        const Watched got = watch(frame, c.received);
        EXPECT_EQ(got.passedOn, c.passedOn) << c.what;
        EXPECT_EQ(got.echoed, c.echoed) << c.what;
        EXPECT_EQ(got.done, c.done) << c.what;
    }
}

// Once done, the watch takes nothing more for the echo: what the caller still holds goes on.
TEST(EchoWatch, BytesAfterTheEchoArePassedOn) {
    const std::string frame = "\x02?G00\x03";
    EchoWatch watcher(frame.data(), frame.size());
    unsigned char passOn[2];
    for (const char c : frame) EXPECT_EQ(watcher.take(static_cast<unsigned char>(c), passOn), 0);
    ASSERT_TRUE(watcher.echoed());
    ASSERT_EQ(watcher.take('G', passOn), 1);
    EXPECT_EQ(passOn[0], 'G');
}

}  // namespace
}  // namespace valbrix
