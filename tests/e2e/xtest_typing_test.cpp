// The XTest sink typing into a real window on a real (virtual) X server, with the keyboard map a
// user would have. What arrives is what the receiving layout makes of the keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "export/key_sink_xtest.h"
#include "export/keystroke_emitter.h"
#include "x11_receiver.h"

namespace valbrix {
namespace {

class XTestTyping : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system(("setxkbmap " + layout()).c_str()), 0);
        receiver = std::make_unique<testing::X11Receiver>();
        ASSERT_TRUE(receiver->ready()) << "no X display: run under Xvfb";
        sink = XTestKeySink::open();
        ASSERT_NE(sink, nullptr);
    }
    void TearDown() override {
        sink.reset();
        receiver.reset();
        std::system("setxkbmap us");
    }
    virtual std::string layout() const { return "us"; }

    std::string typeLine(const char* text, const char* sequence = "") {
        KeyEvents events;
        typeText(events, text, 1);
        sendSequence(events, sequence);
        sink->deliver(events);
        return receiver->collect();
    }

    std::unique_ptr<testing::X11Receiver> receiver;
    std::unique_ptr<XTestKeySink> sink;
};

class XTestTypingGerman : public XTestTyping {
protected:
    std::string layout() const override { return "de"; }
};

TEST_F(XTestTyping, LinesAndKeysArriveAsTyped) {
    struct Case {
        const char* text;
        const char* sequence;
        const char* arrived;
    };
    const Case cases[] = {
        {"123.4 mm", "ENTER", "123.4 mm<ENTER>"},
        {"-0.0123 inch", "", "-0.0123 inch"},
        {"12,5 Inch/s", "", "12,5 Inch/s"},
        {"50 %", "TAB,DOWN,LEFT,RIGHT,UP,ENTER", "50 %<TAB><DOWN><LEFT><RIGHT><UP><ENTER>"},
        // A key pressed again right after its release: classic X11 programs must not take it for a repeat.
        {"4.55 mm", "ENTER", "4.55 mm<ENTER>"},
        {"100.2 um", "DOWN,DOWN", "100.2 um<DOWN><DOWN>"},
        {"2.222", "TAB,TAB", "2.222<TAB><TAB>"},
    };
    for (const Case& c : cases) EXPECT_EQ(typeLine(c.text, c.sequence), c.arrived) << c.text;
}

TEST_F(XTestTypingGerman, MicroAndCommaComeFromTheGermanKeys) {
    EXPECT_EQ(typeLine("12,5 \xB5m", "TAB"), "12,5 \xB5m<TAB>");
    EXPECT_EQ(typeLine("-0,75 mil"), "-0,75 mil");
    EXPECT_EQ(typeLine("50 %"), "50 %");
    EXPECT_EQ(typeLine("33,0 \xB5\xB5m"), "33,0 \xB5\xB5m");  // AltGr pressed again right after its release
}

}  // namespace
}  // namespace valbrix
