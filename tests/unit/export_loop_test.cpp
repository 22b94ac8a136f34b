#include "export/export_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_world.h"

namespace valbrix {
namespace {

class ExportLoopTest : public ::testing::Test, protected testing::ExportWorld {
protected:
    void SetUp() override { buildGauge(); }

    // The gauge prints; one acquisition pass reads it, then one export pass.
    void gaugePrints(const std::string& text) {
        line->receive(text);
        gauge->AcquisitionPass();
        if (!loop) makeLoop();
        loop->pass();
    }

    std::string typed() const { return describeKeys(keys.events); }
};

const char* const sixValueGrid =
    "#GridX: 3\r\n  1:  10.0 um\r\n  2:  10.1 um\r\n  3:  10.2 um\r\n  4:  10.3 um\r\n  5:  10.4 um\r\n  6:  10.5 um\r\n";

TEST_F(ExportLoopTest, GridRowsEndWithEnter) {
    // The end marker arrives before the values are typed: each value keeps the grid it was printed in.
    gaugePrints(std::string(sixValueGrid) + "#FileEnd:\r\n");
    EXPECT_EQ(typed(), "10.0 \xB5m<TAB>10.1 \xB5m<TAB>10.2 \xB5m<ENTER>10.3 \xB5m<TAB>10.4 \xB5m<TAB>10.5 \xB5m<ENTER>");
    keys.events.clear();
    gaugePrints("  7:  4.56 mm\r\n  8:  4.57 mm\r\n");
    EXPECT_EQ(typed(), "4.56 mm<ENTER>4.57 mm<ENTER>");
}

TEST_F(ExportLoopTest, WhatFollowsAValue) {
    struct Case {
        const char* control;
        int index;
        const char* separator;
        const char* unitDisplay;
        const char* printed;
        const char* keys;
    };
    const Case cases[] = {
        {"-none-", 0, ".", "2,7 \xB5m/mil/Tesla", "#GridX: 3\r\n  1:  12.5 um\r\n", "12.5 \xB5m"},
        {"Sequence", 7, ".", "2,7", "  1:  12.5 um\r\n", "12.5 <TAB><DOWN>"},
        {"Sequenz", 7, ",", "2,7 um/mil/Tesla", "#GridX: 3\r\n  1:  12.5 um\r\n", "12,5 um<TAB><TAB><DOWN>"},
        {"Tab", 2, ".", "2,7 \xB5m/mil/Tesla", "  7:  --- um\r\n", "<TAB>"},
        {"Runter", 6, ",", "2,7 \xB5m/mil/Tesla", "  3:  123.4 um\r\n", "123 \xB5m<DOWN>"},
        {"Enter", -1, ".", "", "  3:  4.56 mm\r\n", "4.56 "},  // lists without a selection
        {"", 1, "", "", "  3:  4.56 mm\r\n", "4.56 "},
        {"Hoch", 5, ".", "2,7 \xB5m/mil/Tesla", "  -4:  1.5 mm\r\n", "1.50 mm<UP>"},
        {"Enter", 1, ",", "2,7 \xB5m/mil/Tesla", "  5:  100.5 um\r\n", "101 \xB5m<ENTER>"},  // a tie goes up
    };
    for (const Case& c : cases) {
        loop.reset();
        SetUp();
        choose(c.control, c.index, c.separator, c.unitDisplay);
        keys.events.clear();
        gaugePrints(c.printed);
        EXPECT_EQ(typed(), c.keys) << c.control << " / " << c.printed;
    }
}

TEST_F(ExportLoopTest, NegativeNumbersInAGridGetTheirGridKey) {
    gaugePrints("#GridX: 3\r\n  -4:  1.5 mm\r\n  -3:  1.5 mm\r\n");
    EXPECT_EQ(typed(), "1.50 mm<TAB>1.50 mm<ENTER>");
}

TEST_F(ExportLoopTest, NothingIsTypedUnlessHiddenWithTransferOn) {
    struct Case {
        bool transfer;
        bool inTray;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        loop.reset();
        SetUp();
        flags.transferActive = c.transfer;
        flags.inTray = c.inTray;
        keys.events.clear();
        shell.tipsShown.clear();
        gaugePrints("  1:  4.56 mm\r\n");
        EXPECT_TRUE(keys.events.empty());
        EXPECT_EQ(shell.valueText, "4.56");
        EXPECT_EQ(shell.unitText, "mm");
        EXPECT_EQ(std::string(shell.trayTips.german), "Werte \xFC" "bertragen.");
        EXPECT_EQ(std::string(shell.trayTips.english), "Values sent.");
        EXPECT_EQ(shell.tipsShown, std::vector<std::string>{"Werte \xFC" "bertragen."});
    }
}

TEST_F(ExportLoopTest, TheJournalHearsOfEveryValueAfterItsKeys) {
    struct Case {
        bool transfer;
        bool inTray;
        const char* separator;
        const char* printed;
        const char* journalled;  // outcome number value unit row column
    };
    const Case cases[] = {
        {true, true, ".", "  7:  4.56 mm\r\n", "typed 7 4.56 mm 0 0"},
        {true, false, ".", "  7:  4.56 mm\r\n", "shown 7 4.56 mm 0 0"},
        {false, true, ",", "  7:  4.56 mm\r\n", "shown 7 4,56 mm 0 0"},
        {true, true, ".", "#GridX: 3\r\n  5:  10.0 um\r\n", "typed 5 10.0 \xB5m 2 2"},
        {true, true, ".", "#GridX: 3\r\n  6:  10.0 um\r\n", "typed 6 10.0 \xB5m 2 3"},
        {true, true, ".", "#GridX: 4\r\n  1:  10.0 um\r\n", "typed 1 10.0 \xB5m 1 1"},
        // The dashes' space reads as a minus sign's, so the unit word goes with them and the unit is unknown.
        {true, true, ".", "  8:  --- um\r\n", "typed 8 --- ? 0 0"},
    };
    const char* const outcomes[] = {"typed", "shown", "held", "dropped"};
    for (const Case& c : cases) {
        loop.reset();
        SetUp();
        journal.clear();
        flags.transferActive = c.transfer;
        flags.inTray = c.inTray;
        choose("Enter", 1, c.separator, "2,7 \xB5m/mil/Tesla");
        keys.events.clear();
        gaugePrints(c.printed);
        const std::vector<JournalEntry> told = journal.recorded();
        ASSERT_EQ(told.size(), 1u) << c.printed;
        const JournalEntry& e = told[0];
        EXPECT_EQ(std::string(outcomes[static_cast<int>(e.outcome)]) + " " + std::to_string(e.number) + " " + e.valueText +
                      " " + e.unitText + " " + std::to_string(e.gridRow) + " " + std::to_string(e.gridColumn),
                  c.journalled)
            << c.printed;
        EXPECT_EQ(e.port, 5);
        EXPECT_EQ(e.gaugeName, deviceLine(gauge->GetModelText().text));
    }
}

TEST_F(ExportLoopTest, KeysTheLayoutCannotTypeAreReported) {
    keys.untypable = {VkRightAlt};
    gaugePrints("  1:  12.5 um\r\n");
    EXPECT_EQ(shell.untyped, UntypedKeys{VkRightAlt});
    shell.untyped.clear();
    gaugePrints("  2:  4.56 mm\r\n");
    EXPECT_TRUE(shell.untyped.empty());
}

TEST_F(ExportLoopTest, TheTipIsSetOnlyWhenItChanges) {
    gaugePrints("  1:  4.56 mm\r\n  2:  4.57 mm\r\n");
    EXPECT_EQ(shell.tipsShown.size(), 1u);
    flags.language = English;
    gaugePrints("  3:  4.58 mm\r\n");
    EXPECT_EQ(shell.tipsShown, (std::vector<std::string>{"Werte \xFC" "bertragen.", "Values sent."}));
}

// The value field shows the last value again each time the dialog goes into the tray or comes back,
// "---" before any value, and is not rewritten in the passes between.
TEST_F(ExportLoopTest, ATrayChangeShowsTheLastValueAgainOnce) {
    flags.inTray = false;
    makeLoop();
    loop->pass();
    flags.inTray = true;
    loop->pass();
    loop->pass();
    flags.inTray = false;
    gaugePrints("  1:  4.56 mm\r\n");
    loop->pass();
    flags.inTray = true;
    loop->pass();
    loop->pass();
    std::vector<std::string> valueTexts;
    for (const std::string& shown : shell.shown)
        if (shown.rfind("ValueText=", 0) == 0) valueTexts.push_back(shown);
    EXPECT_EQ(valueTexts, (std::vector<std::string>{"ValueText=---", "ValueText=---", "ValueText=4.56",
                                                    "ValueText=4.56"}));
}

TEST_F(ExportLoopTest, TheDialogIsRepaintedAfterEachValueAndEachTrayIconChange) {
    gaugePrints("  1:  4.56 mm\r\n  2:  4.57 mm\r\n");
    shell.shown.erase(shell.shown.begin());  // the device line of the first pass
    EXPECT_EQ(shell.shown, (std::vector<std::string>{"ValueText=4.56", "UnitText=mm", "repaint", "ValueText=4.57",
                                                     "UnitText=mm", "repaint"}));
    shell.shown.clear();
    gaugePrints("=== VARNITRON 6141 ===\r\n");
    EXPECT_EQ(shell.shown, (std::vector<std::string>{"DeviceLine=VARNITRON 6141", "TrayIcon", "repaint"}));
    shell.shown.clear();
    loop->pass();
    EXPECT_TRUE(shell.shown.empty());
}

TEST_F(ExportLoopTest, OnIdentifiedWaitsForAnIdentifiedGauge) {
    onIdentified(*gauge, shell);
    EXPECT_TRUE(gauge->CommandQueueEmpty());
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_TRUE(clock.sleeps.empty());
}

// Each pass ends with 50 ms; the identification poll waits 10 ms before its request and 1000 ms after.
TEST_F(ExportLoopTest, PausesAreTakenOnTheClock) {
    makeLoop();
    for (int i = 0; i < ExportLoop::identificationPollPasses - 1; ++i) loop->pass();
    EXPECT_EQ(clock.sleeps, std::vector<int>(ExportLoop::identificationPollPasses - 1, 50));
    clock.sleeps.clear();
    std::vector<bool> askedAtPause;
    clock.onSleep = [this, &askedAtPause](std::uint32_t) { askedAtPause.push_back(!gauge->CommandQueueEmpty()); };
    loop->pass();
    clock.onSleep = nullptr;
    EXPECT_EQ(clock.sleeps, (std::vector<int>{10, 1000, 50}));
    EXPECT_EQ(askedAtPause, (std::vector<bool>{false, true, true}));
}

TEST_F(ExportLoopTest, ASilentGaugeIsAskedEveryTwoSecondsUntilItAnswers) {
    makeLoop();
    for (int i = 0; i < ExportLoop::identificationPollPasses - 1; ++i) loop->pass();
    EXPECT_TRUE(gauge->CommandQueueEmpty());
    loop->pass();
    EXPECT_FALSE(gauge->CommandQueueEmpty());
    EXPECT_STREQ(gauge->GetModelText().text, "");

    gauge->AcquisitionPass();  // the line has been quiet: G00 goes out
    EXPECT_EQ(line->written, "\x02?G00\x03");
    line->receive("G6121\r\n");
    gauge->AcquisitionPass();
    EXPECT_EQ(shell.deviceLine, "Pocket-VARNITRON 6121");
    loop->pass();
    EXPECT_EQ(shell.trayIconUpdates, 1);

    line->written.clear();
    for (int i = 0; i < 3 * ExportLoop::identificationPollPasses; ++i) {
        loop->pass();
        gauge->AcquisitionPass();
    }
    EXPECT_EQ(line->written, "\x02?G170000\x03\x02?G160000\x03\x02?G150000\x03");
}

TEST_F(ExportLoopTest, GaugesOfModelGroupTwoAreNeverAsked) {
    flags.device = 8525;
    makeLoop();
    for (int i = 0; i < 3 * ExportLoop::identificationPollPasses; ++i) loop->pass();
    EXPECT_TRUE(gauge->CommandQueueEmpty());
}

TEST_F(ExportLoopTest, AutoMinimiseHidesOnceOnTheFourthPass) {
    makeLoop(true);
    for (int i = 0; i < 3; ++i) loop->pass();
    EXPECT_EQ(shell.hides, 0);
    loop->pass();
    EXPECT_EQ(shell.hides, 1);
    for (int i = 0; i < 10; ++i) loop->pass();
    EXPECT_EQ(shell.hides, 1);
}

TEST_F(ExportLoopTest, TheDeviceLineFollowsTheModelText) {
    makeLoop();
    loop->pass();
    EXPECT_EQ(shell.deviceLine, "?");
    gaugePrints("====== QMV 8525 ======\r\n");
    EXPECT_EQ(shell.deviceLine, "QMV 8525");
}

// Before each value the desk is asked; while it stands in the way the values wait in the ring, untouched
// and not shown, the user is told why once, and when the reason is gone they are typed in order.
TEST_F(ExportLoopTest, ValuesWaitWhileTheDeskStandsInTheWay) {
    struct Case {
        const char* what;
        DeskState desk;
        TypingHold hold;
    };
    const Case cases[] = {
        {"own window", {true, false, false, 0, false}, TypingHold::OwnWindow},
        {"locked", {false, true, false, 0, false}, TypingHold::Locked},
        {"inactive", {false, false, true, 0, false}, TypingHold::Inactive},
        {"Shift", {false, false, false, HeldShift, false}, TypingHold::HeldKey},
        {"Ctrl", {false, false, false, HeldCtrl, false}, TypingHold::HeldKey},
        {"Alt", {false, false, false, HeldAlt, false}, TypingHold::HeldKey},
        {"AltGr", {false, false, false, HeldAltGr, false}, TypingHold::HeldKey},
        {"Windows key", {false, false, false, HeldSuper, false}, TypingHold::HeldKey},
        {"locked, Ctrl held", {false, true, false, HeldCtrl, false}, TypingHold::Locked},
        {"inactive, own window", {true, false, true, 0, false}, TypingHold::Inactive},
        {"own window, Alt held", {true, false, false, HeldAlt, true}, TypingHold::OwnWindow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        loop.reset();
        SetUp();
        shell = testing::FakeExportShell{};
        keys.events.clear();
        journal.clear();
        desk.set(c.desk);
        gaugePrints("  1:  4.56 mm\r\n  2:  4.57 mm\r\n");
        loop->pass();
        EXPECT_EQ(typed(), "");
        EXPECT_EQ(shell.valueText, "");
        EXPECT_TRUE(journal.recorded().empty()) << "a waiting value is journalled once, when it goes out";
        EXPECT_EQ(shell.holds, std::vector<TypingHold>{c.hold});
        EXPECT_EQ(shell.tipsShown, std::vector<std::string>{holdText(c.hold).german});
        EXPECT_EQ(loop->idleWaitMs(), 0) << "the desk is asked again after the next pause";

        desk.set(DeskState{});
        loop->pass();
        EXPECT_EQ(typed(), "4.56 mm<ENTER>4.57 mm<ENTER>");
        const std::vector<JournalEntry> told = journal.recorded();
        ASSERT_EQ(told.size(), 2u);
        for (const JournalEntry& e : told) EXPECT_EQ(e.outcome, JournalOutcome::Typed);
        EXPECT_EQ(told[1].valueText, "4.57");
        EXPECT_EQ(shell.holds, (std::vector<TypingHold>{c.hold, TypingHold::None}));
        EXPECT_EQ(shell.tipsShown.back(), text::valuesSent.german);
    }
}

// Only values that are to be typed wait: with the window on screen or transfer off they are shown,
// and nobody is asked.
TEST_F(ExportLoopTest, TheDeskIsAskedOnlyForValuesThatAreTyped) {
    for (const bool transfer : {false, true}) {
        loop.reset();
        SetUp();
        flags.transferActive = transfer;
        flags.inTray = !transfer;
        desk.set(DeskState{false, true, false, HeldCtrl, false});
        const int asked = desk.asked();
        gaugePrints("  1:  4.56 mm\r\n");
        EXPECT_EQ(shell.valueText, "4.56");
        EXPECT_EQ(desk.asked(), asked);
        EXPECT_TRUE(shell.holds.empty());
    }
}

// With Caps Lock on, letters go out with Shift turned the other way, so that "mm" arrives as "mm"
// (read back here as a keyboard without Caps Lock would make of them).
TEST_F(ExportLoopTest, CapsLockIsCompensated) {
    desk.set(DeskState{false, false, false, 0, true});
    gaugePrints("  1:  4.56 mm\r\n");
    EXPECT_EQ(typed(), "4.56 MM<ENTER>");
    EXPECT_TRUE(shell.holds.empty());
}

// A locked screen for longer than the ring holds: what has no room is counted, nothing is typed
// meanwhile, and what the ring kept is typed in order afterwards.
TEST_F(ExportLoopTest, WaitingValuesAreCountedPastTheRingsRoom) {
    desk.set(DeskState{false, true, false, 0, false});
    std::string printed;
    const int count = MeasuredValueRing::lastIndex + 2;
    for (int i = 1; i <= count; ++i) printed += "  " + std::to_string(i) + ":  " + std::to_string(i % 10) + ".00 mm\r\n";
    gaugePrints(printed);
    EXPECT_EQ(typed(), "");
    ASSERT_FALSE(shell.droppedCounts.empty());
    EXPECT_EQ(shell.droppedCounts.back(), 2u);
    desk.set(DeskState{});
    loop->pass();
    const std::string keysTyped = typed();
    EXPECT_EQ(keysTyped.rfind("1.00 mm<ENTER>2.00 mm<ENTER>", 0), 0u);
    std::size_t enters = 0;
    for (std::size_t at = keysTyped.find("<ENTER>"); at != std::string::npos; at = keysTyped.find("<ENTER>", at + 1)) ++enters;
    EXPECT_EQ(enters, static_cast<std::size_t>(MeasuredValueRing::lastIndex));
}

}  // namespace
}  // namespace valbrix
