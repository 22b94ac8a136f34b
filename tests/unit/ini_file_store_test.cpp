#include "settings/ini_file_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/settings_store.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include "settings/file_system.h"

#include "unprivileged.h"
#endif

namespace valbrix {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
using namespace std::string_literals;

const KeyValues comPort5{{"ComPort", "5"}};

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
        EXPECT_EQ(store.putAll(file, "Settings", comPort5), WriteOutcome::Written) << c.name;
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
    EXPECT_EQ(store.putAll(file, "Settings", comPort5), WriteOutcome::Refused);
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
        EXPECT_EQ(store.putAll(file, "Settings", comPort5), WriteOutcome::Written);
        EXPECT_EQ(readFile(file).substr(0, junk.size()), junk);
        EXPECT_EQ(store.get(file, "Settings", "ComPort", "1", 98), "5");
    }
}

// The values go in one after the other, and the file is replaced once: the old file itself, seen through
// a second name of it, is never written into.
TEST(IniFileStore, ASaveReplacesTheFileWholeAndNeverWritesIntoTheOldOne) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    const std::string before = "; by hand\r\n[Settings]\r\nComPort=3\r\n";
    writeFile(file, before);
    std::filesystem::create_hard_link(file, temp.path("old.ini"));
    // On Windows this is the system's store, whose profile calls would rewrite the file where it lies.
    SettingsStore& store = systemSettingsStore();
    EXPECT_EQ(store.putAll(file, "Settings", {{"ComPort", "5"}, {"Language", "0"}, {"comport", "6"}}),
              WriteOutcome::Written);
    EXPECT_EQ(readFile(file), "; by hand\r\n[Settings]\r\nComPort=6\r\nLanguage=0\r\n");
    EXPECT_EQ(readFile(temp.path("old.ini")), before);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

#ifndef _WIN32
TEST(IniFileStore, ReadOnlyFileIsNotWritten) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    writeFile(file, "[Settings]\nComPort=3\n");
    chmod(temp.root.c_str(), 0777);
    chmod(file.c_str(), 0444);
    IniFileStore store;
    EXPECT_EQ(testing::runUnprivileged([&] { return store.putAll(file, "Settings", comPort5) == WriteOutcome::Refused; }), 0);
    EXPECT_EQ(readFile(file), "[Settings]\nComPort=3\n");
}

// A folder that takes no new file gets the file rewritten where it lies. That never cuts it first: a
// disk that fills up on the way leaves the old text whole, and a shorter new text loses the old tail
// only once it is on the disk.
TEST(IniFileStore, ReadOnlyFolderGetsTheFileRewrittenInPlace) {
    struct Case {
        const char* name;
        std::string before;
        rlim_t fileSizeLimit;
        bool written;
        std::string after;
    };
    const std::string note = "; " + std::string(40, 'n') + "\n";
    const Case cases[] = {
        {"longer", "[Settings]\nComPort=3\n", RLIM_INFINITY, true, "[Settings]\nComPort=5\nLanguage=0\n"},
        {"shorter", "[Settings]\nComPort=333\nLanguage=0\n" + note, RLIM_INFINITY, true,
         "[Settings]\nComPort=5\nLanguage=0\n" + note},
        {"disk full on the way", "[Settings]\nComPort=3\n", 24, false, "[Settings]\nComPort=3\n"},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::string file = temp.path("Valbrix.ini");
        writeFile(file, c.before);
        chmod(file.c_str(), 0666);
        chmod(temp.root.c_str(), 0555);
        IniFileStore store;
        EXPECT_EQ(testing::runUnprivileged([&] {
            failWritesBeyondFileSizeLimit();
            const rlimit limit{c.fileSizeLimit, c.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            return store.putAll(file, "Settings", {{"ComPort", "5"}, {"Language", "0"}}) ==
                       (c.written ? WriteOutcome::Written : WriteOutcome::Failed) &&
                   store.putAll(temp.path("new.ini"), "Settings", comPort5) == WriteOutcome::Refused;
        }), 0) << c.name;
        EXPECT_EQ(readFile(file), c.after) << c.name;
        chmod(temp.root.c_str(), 0755);
    }
}
#endif

}  // namespace
}  // namespace valbrix
