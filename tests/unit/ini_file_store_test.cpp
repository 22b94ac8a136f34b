#include "settings/ini_file_store.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "unprivileged.h"
#endif

namespace valbrix {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
using namespace std::string_literals;

TEST(IniFileStore, WritesKeepEveryOtherLine) {
    struct Case {
        const char* name;
        std::string before;  // empty: no file yet
        std::string after;   // after ComPort=5 was written to section Settings
    };
    const Case cases[] = {
        {"new file", "", "[Settings]\r\nComPort=5\r\n"},
        {"replaced, spelling and other sections kept",
         "; note\r\n[Other]\r\nComPort=1\r\n\r\n[settings]\r\n  comport = 3 \r\nUnit=\xB5m\r\n",
         "; note\r\n[Other]\r\nComPort=1\r\n\r\n[settings]\r\ncomport=5\r\nUnit=\xB5m\r\n"},
        {"appended before the blank line ending the section", "[ SETTINGS ]\nA=1\n\n[Next]\nB=2\n",
         "[ SETTINGS ]\nA=1\nComPort=5\n\n[Next]\nB=2\n"},
        {"new section after a last line without line end", "[Other]\nA=1", "[Other]\nA=1\n[Settings]\nComPort=5\n"},
        {"first of two sections", "[Settings]\r\nA=1\r\n[Settings]\r\nComPort=3\r\n",
         "[Settings]\r\nA=1\r\nComPort=5\r\n[Settings]\r\nComPort=3\r\n"},
        {"junk kept", "\xFF\0\xFE no equals\r\n[Settings]\r\n"s,
         "\xFF\0\xFE no equals\r\n[Settings]\r\nComPort=5\r\n"s},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::string file = temp.path("Valbrix.ini");
        if (!c.before.empty()) writeFile(file, c.before);
        IniFileStore store;
        EXPECT_TRUE(store.put(file, "Settings", "ComPort", "5")) << c.name;
        EXPECT_EQ(readFile(file), c.after) << c.name;
        EXPECT_EQ(store.get(file, "SETTINGS", "comPort", "none", 99), "5") << c.name;
    }
}

TEST(IniFileStore, ReadsLikeTheProfileCalls) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    writeFile(file, "Early=1\r\n[ settings ]\r\n ComPort = 12 \r\nno equals here\r\nUnit=\xB5m\r\n"
                    "Empty=\r\nunit=second\r\nNul=x\0y\r\nBlankNul=x \t\0y\r\n[Settings]\r\nLater=1\r\n"s);
    struct Case {
        const char* key;
        std::size_t maxLength;
        const char* value;
    };
    const Case cases[] = {
        {"COMPORT", 99, "12"},       {"unit", 99, "\xB5m"},   {"Unit", 1, "\xB5"},   {"Empty", 99, ""},
        {"Nul", 99, "x"},            {"Later", 99, "-"},      {"Early", 99, "-"},    {"no equals here", 99, "-"},
        {"Missing", 0, ""},
        {"BlankNul", 99, "x"},  // found by fuzzing: saved as "x \t" it read back as "x"
    };
    IniFileStore store;
    for (const Case& c : cases) EXPECT_EQ(store.get(file, "Settings", c.key, "-", c.maxLength), c.value) << c.key;
    EXPECT_EQ(store.get(file, "Other", "ComPort", "1", 99), "1");
    EXPECT_EQ(store.get(temp.path("absent.ini"), "Settings", "ComPort", "1", 99), "1");
}

TEST(IniFileStore, MatchingQuotesAroundAValueAreDropped) {
    struct Case {
        const char* stored;
        const char* read;
    };
    const Case cases[] = {
        {"\"2,7\"", "2,7"}, {"'TAB,DOWN'", "TAB,DOWN"}, {"\"\"", ""},      {"\"", "\""},
        {"\"2,7", "\"2,7"}, {"\"2,7'", "\"2,7'"},          {"2\"7\"", "2\"7\""}, {" \"x\" ", "x"},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::string file = temp.path("Valbrix.ini");
        writeFile(file, std::string("[Settings]\r\nFormat=") + c.stored + "\r\n");
        IniFileStore store;
        EXPECT_EQ(store.get(file, "Settings", "Format", "-", 99), c.read) << c.stored;
        // The system's own profile calls read it the same way.
        EXPECT_EQ(systemSettingsStore().get(file, "Settings", "Format", "-", 99), c.read) << c.stored;
    }
}

TEST(IniFileStore, MissingFolderIsNotCreated) {
    TempFolder temp;
    const std::string file = temp.path("absent") + pathSeparator + "Valbrix.ini";
    IniFileStore store;
    EXPECT_FALSE(store.put(file, "Settings", "ComPort", "5"));
    EXPECT_FALSE(std::filesystem::exists(temp.path("absent")));
}

TEST(IniFileStore, JunkFilesGiveDefaultsAndSurviveWrites) {
    std::string binary;
    for (int i = 0; i < 64 * 1024; ++i) binary.push_back(static_cast<char>((i * 7919) >> 3));
    const std::string longLine = "[Settings]" + std::string(1 << 20, 'x');
    for (const std::string& junk : {binary, longLine}) {
        TempFolder temp;
        const std::string file = temp.path("Valbrix.ini");
        writeFile(file, junk);
        IniFileStore store;
        EXPECT_EQ(store.get(file, "Settings", "ComPort", "1", 98), "1");
        EXPECT_TRUE(store.put(file, "Settings", "ComPort", "5"));
        EXPECT_EQ(readFile(file).substr(0, junk.size()), junk);
        EXPECT_EQ(store.get(file, "Settings", "ComPort", "1", 98), "5");
    }
}

#ifndef _WIN32
TEST(IniFileStore, ReadOnlyFileIsNotWritten) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    writeFile(file, "[Settings]\nComPort=3\n");
    chmod(temp.root.c_str(), 0777);
    chmod(file.c_str(), 0444);
    IniFileStore store;
    EXPECT_EQ(testing::runUnprivileged([&] { return store.put(file, "Settings", "ComPort", "5"); }), 1);
    EXPECT_EQ(readFile(file), "[Settings]\nComPort=3\n");
}

TEST(IniFileStore, ReadOnlyFolderGetsTheFileRewrittenInPlace) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    writeFile(file, "[Settings]\nComPort=3\n");
    chmod(file.c_str(), 0666);
    chmod(temp.root.c_str(), 0555);
    IniFileStore store;
    EXPECT_EQ(testing::runUnprivileged([&] {
        return store.put(file, "Settings", "ComPort", "5") && !store.put(temp.path("new.ini"), "Settings", "A", "1");
    }), 0);
    EXPECT_EQ(readFile(file), "[Settings]\nComPort=5\n");
}
#endif

}  // namespace
}  // namespace valbrix
