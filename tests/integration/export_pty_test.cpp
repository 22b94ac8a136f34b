// The whole road in one process: the simulated gauge on a pseudo-terminal, the gauge object with its
// acquisition thread, the export loop on its own thread, and a recording key sink.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "export/key_text.h"
#include "pty_road.h"

namespace valbrix {
namespace {

using namespace std::chrono_literals;

class RoadOnPty : public ::testing::Test, protected testing::PtyRoad {
protected:
    void SetUp() override {
        choose("Enter", 1);
        ASSERT_TRUE(start(true));
    }

    void choose(const char* control, int index) {
        choices.set(ExportChoices{control, index, ".", "2,7 \xB5m/mil/Tesla", "TAB,DOWN"});
    }

    // The gauge prints one reading and the road has had time to take it.
    void printedAndTaken(int number, const char* value, const char* unit) {
        simulator->reading(number, value, unit);
        ASSERT_TRUE(simulator->waitHostRead(5000));
        std::this_thread::sleep_for(300ms);
    }

    // Waits until the typed keys stop changing.
    std::string typedWhenSettled() {
        std::string last = keys.typed();
        for (int unchanged = 0; unchanged < 6;) {
            std::this_thread::sleep_for(50ms);
            const std::string now = keys.typed();
            unchanged = now == last ? unchanged + 1 : 0;
            last = now;
        }
        return last;
    }
};

TEST_F(RoadOnPty, AMemoryDumpIsTypedWithItsGridKeys) {
    simulator->memoryDump(6, 3, "um", 10.0, 0.1, 1);
    EXPECT_EQ(typedWhenSettled(),
              "10.0 \xB5m<TAB>10.1 \xB5m<TAB>10.2 \xB5m<ENTER>10.3 \xB5m<TAB>10.4 \xB5m<TAB>10.5 \xB5m<ENTER>");
    EXPECT_STREQ(shell.trayTips().english, "Values sent.");
    EXPECT_STREQ(shell.trayTips().german, "Werte \xFC" "bertragen.");
}

TEST_F(RoadOnPty, TheSequenceFollowsEachValue) {
    choose("Sequence", 7);
    simulator->reading(1, "4.56", "mm");
    simulator->reading(2, "4.57", "mm");
    EXPECT_EQ(typedWhenSettled(), "4.56 mm<TAB><DOWN>4.57 mm<TAB><DOWN>");
}

TEST_F(RoadOnPty, ShownButNotTypedWhileTheDialogIsOnScreenOrTransferIsOff) {
    flags.inTray = false;
    printedAndTaken(1, "4.56", "mm");
    EXPECT_EQ(shell.shownValue(), "4.56");
    EXPECT_EQ(shell.shownUnit(), "mm");

    flags.inTray = true;
    flags.transferActive = false;
    printedAndTaken(2, "0,75", "MILS");
    EXPECT_EQ(shell.shownValue(), "0.75");
    EXPECT_EQ(shell.shownUnit(), "mil");
    EXPECT_EQ(keys.typed(), "");
}

}  // namespace
}  // namespace valbrix
