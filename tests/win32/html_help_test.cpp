// Finding HtmlHelpA of the HTML Help control as the program does, in wine's own registry and system
// folder, and giving help up for the run after the control could not be had once.
#include "win32/html_help.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace valbrix {
namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

TEST(HtmlHelp, TheRegisteredControlGivesHtmlHelpAByItsOrdinal) {
    const std::string registered = registeredHelpControl();
    ASSERT_FALSE(registered.empty());
    EXPECT_TRUE(lowered(registered).ends_with("hhctrl.ocx")) << registered;
    // No environment variable is left in a path that is to be loaded.
    EXPECT_EQ(registered.find('%'), std::string::npos) << registered;

    const HelpControl control = loadHelpControl(registered);
    ASSERT_NE(control.htmlHelp, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(control.htmlHelp),
              reinterpret_cast<void*>(GetProcAddress(control.library, "HtmlHelpA")));
}

TEST(HtmlHelp, AControlThatIsNotWhereTheRegistrySaysIsTakenByItsName) {
    const HelpControl control = loadHelpControl("C:\\nowhere\\hhctrl.ocx");
    ASSERT_NE(control.htmlHelp, nullptr);
    EXPECT_EQ(control.library, GetModuleHandleA("hhctrl.ocx"));
}

TEST(HtmlHelp, WithoutTheControlHelpIsGivenUpAfterTheFirstTry) {
    int tries = 0;
    HtmlHelp help([&] {
        ++tries;
        return HelpControl{};
    });
    help.open("VALBRIXHELP_EN.chm");
    help.open("VALBRIXHELP_DE.chm");
    EXPECT_EQ(tries, 1);
    EXPECT_TRUE(help.unavailable());
}

std::vector<std::string> shown;
std::vector<UINT> commands;

HWND WINAPI recordingHtmlHelp(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    if (owner == nullptr && data == 0 && file != nullptr) shown.push_back(file);
    commands.push_back(command);
    return nullptr;
}

TEST(HtmlHelp, TheControlIsLoadedOnceAndAskedForTheFileAtItsDefaultTopic) {
    shown.clear();
    commands.clear();
    int loads = 0;
    HtmlHelp help([&] {
        ++loads;
        return HelpControl{nullptr, recordingHtmlHelp};
    });
    help.open("C:\\Valbrix\\VALBRIXHELP_DE.chm");
    help.open("C:\\Valbrix\\VALBRIXHELP_EN.chm");
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"C:\\Valbrix\\VALBRIXHELP_DE.chm", "C:\\Valbrix\\VALBRIXHELP_EN.chm"}));
    EXPECT_EQ(commands, (std::vector<UINT>{0, 0}));  // HH_DISPLAY_TOPIC
    EXPECT_FALSE(help.unavailable());
}

}  // namespace
}  // namespace valbrix
