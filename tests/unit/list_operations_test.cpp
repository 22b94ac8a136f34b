#include "app/list_operations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_dialog_host.h"

namespace valbrix {
namespace {

using testing::FakeDialogHost;

TEST(ListOperations, FillListAppendsTheItemsAndSelectsOne) {
    struct Case {
        const char* name;
        std::string items;
        std::string selectText;
        int selectIndex;
        std::vector<std::string> listed;
        int selected;
    };
    const std::string longItem(120, 'x');
    const Case cases[] = {
        {"by position", "-none-|Enter|Tab", "", 1, {"-none-", "Enter", "Tab"}, 1},
        {"by text", ".|,", ",", -1, {".", ","}, 1},
        {"the last that qualifies wins", "a|b|c", "c", 0, {"a", "b", "c"}, 2},
        {"the position wins when it comes last", "a|b|c", "a", 2, {"a", "b", "c"}, 2},
        {"text of no item", "a|b", "B", -1, {"a", "b"}, -1},
        {"position beyond the items", "a|b", "", 2, {"a", "b"}, -1},
        {"empty items are left out", "|a||b|", "", 1, {"a", "b"}, 1},
        {"no items", "", "", 0, {}, -1},
        {"items are cut to 99 characters", longItem + "|b", std::string(99, 'x'), -1, {std::string(99, 'x'), "b"}, 0},
        {"the stored text is compared whole", "2,7|2,7 \xB5m/mil/Tesla", "2,7 \xB5m/mil/Tesla", -1,
         {"2,7", "2,7 \xB5m/mil/Tesla"}, 1},
    };
    for (const Case& c : cases) {
        FakeDialogHost host;
        fillList(host, 1104, c.items, '|', c.selectText, c.selectIndex);
        EXPECT_EQ(host.lists[1104].items, c.listed) << c.name;
        EXPECT_EQ(host.lists[1104].selected, c.selected) << c.name;
    }
}

TEST(ListOperations, ReplaceCharReplacesEveryOccurrence) {
    struct Case {
        std::string text;
        char from;
        char to;
        std::string result;
    };
    const Case cases[] = {
        {"12.5.6", '.', ',', "12,5,6"},
        {"12.5", ',', '.', "12.5"},
        {"a.b", '.', '.', "a.b"},
        {"\xB5m", '\xB5', 'u', "um"},
        {"", '.', ',', ""},
    };
    for (Case c : cases) {
        replaceChar(c.text, c.from, c.to);
        EXPECT_EQ(c.text, c.result) << c.result;
    }
}

}  // namespace
}  // namespace valbrix
