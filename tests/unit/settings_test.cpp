#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/file_system.h"
#include "settings/ini_file_store.h"
#include "settings/settings_paths.h"
#include "common/user_folder.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "unprivileged.h"
#endif

namespace valbrix {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

constexpr char sep = pathSeparator;

// A program folder and a per-user folder (not created) in a temporary folder.
struct Places {
    TempFolder temp;
    SettingsLocations where{temp.path("program") + sep, temp.path("user") + sep + "Oden_Malvert" + sep};
    std::string programFile = where.programDirectory + "Valbrix.ini";
    std::string perUserFile = where.perUserFolder + "Valbrix.ini";
    IniFileStore store;

    Places() { createFolders(where.programDirectory); }
    Settings load() {
        Settings settings;
        loadSettings(settings, where, store);
        return settings;
    }
};

const SavedChoices choices{"Tab", ".", "2,7 \xB5m/mil/Tesla", "TAB,TAB"};

TEST(Settings, NoFileAnywhereGivesTheDefaults) {
    Places places;
    const Settings settings = places.load();
    EXPECT_EQ(settings.settingsPath, places.programFile);
    EXPECT_EQ(settings.perUserPath, places.perUserFile);
    EXPECT_EQ(settings.comPort, 1);
    EXPECT_EQ(settings.language, 1);
    EXPECT_TRUE(settings.transferActive);
    EXPECT_FALSE(settings.askForClose);
    EXPECT_EQ(settings.maxCom, 30);
    EXPECT_EQ(settings.sequence, "TAB,DOWN");
    EXPECT_EQ(readListKey(settings, places.store, ListKey::ControlCharacter), "Enter");
    EXPECT_EQ(readListKey(settings, places.store, ListKey::DecimalSeparator), ",");
    EXPECT_EQ(readListKey(settings, places.store, ListKey::ValueFormat), "2,7 um/mil/Tesla");
}

TEST(Settings, ReadsNumbersAsTheyAreKept) {
    struct Case {
        const char* line;
        int Settings::*field;
        int expected;
    };
    const Case cases[] = {
        {"ComPort=12", &Settings::comPort, 12},
        // Not a number: the reader skips letters, so "COM3" still names port 3 and "abc" the port 0 that
        // never opens.
        {"ComPort=abc", &Settings::comPort, 0},
        {"ComPort=COM3", &Settings::comPort, 3},
        {"Language=", &Settings::language, 0},
        {"Language=0", &Settings::language, 0},
        {"Language=7", &Settings::language, 1},
        {"KeyboardLayout=2", &Settings::keyboardLayout, 2},
        {"KeyboardLayout=7", &Settings::keyboardLayout, 3},
        {"MaxCom=4", &Settings::maxCom, 30},
        {"MaxCom=100", &Settings::maxCom, 30},
        {"MaxCom=99", &Settings::maxCom, 99},
        {"KeyDelay=25", &Settings::keyDelayMs, 25},
        {"KeyDelay=100", &Settings::keyDelayMs, 100},
        {"KeyDelay=101", &Settings::keyDelayMs, 0},
        {"KeyDelay=-5", &Settings::keyDelayMs, 0},
        {"KeyDelay=12.9 ms", &Settings::keyDelayMs, 12},
        {"Device=6141", &Settings::device, 6121},
        {"Device=7482", &Settings::device, 7482},
        {"Device=8525", &Settings::device, 8525},
    };
    for (const Case& c : cases) {
        Places places;
        writeFile(places.programFile, std::string("[Settings]\r\n") + c.line + "\r\n");
        EXPECT_EQ(places.load().*c.field, c.expected) << c.line;
    }
}

TEST(Settings, TheJournalIsOnOnlyWhenAskedFor) {
    const std::pair<const char*, bool> cases[] = {
        {"", false}, {"Journal=1\r\n", true}, {"Journal=0\r\n", false}, {"Journal=2\r\n", false},
        {"Journal=yes\r\n", false}, {"Journal=1.0\r\n", true},
    };
    for (const auto& [line, on] : cases) {
        Places places;
        writeFile(places.programFile, std::string("[Settings]\r\n") + line);
        EXPECT_EQ(places.load().journal, on) << line;
    }
}

TEST(Settings, ReadsFlagsAndTheSequence) {
    Places places;
    writeFile(places.programFile, "[Settings]\r\nAutoMinimize=yes\r\nActiveOnStartup=0\r\nAskForClose=1\r\n"
                                  "DisplayUSBPorts=10\r\nSequence=tab,\xE9,down\r\nFormat=2,7\r\n");
    const Settings settings = places.load();
    EXPECT_FALSE(settings.autoMinimize);
    EXPECT_FALSE(settings.transferActive);
    EXPECT_TRUE(settings.askForClose);
    EXPECT_TRUE(settings.displayUsbPorts);
    EXPECT_FALSE(settings.displayPortChanged);
    EXPECT_EQ(settings.sequence, "TAB,\xE9,DOWN");
    EXPECT_EQ(readListKey(settings, places.store, ListKey::ValueFormat), "2,7");
}

// A modern editor saves the file as UTF-8: the µ it shows is what the program reads, and the file is
// written back in the program's own encoding.
TEST(Settings, AFileSavedAsUtf8ReadsAsItLooks) {
    Places places;
    writeFile(places.programFile, "[Settings]\r\nFormat=\"2,7 \xC2\xB5m/mil/Tesla\"\r\nSequence=tab,\xC3\xA9\r\n");
    Settings settings = places.load();
    EXPECT_EQ(readListKey(settings, places.store, ListKey::ValueFormat), "2,7 \xB5m/mil/Tesla");
    EXPECT_EQ(settings.sequence, "TAB,\xE9");
    EXPECT_TRUE(saveSettings(settings, choices, places.where, places.store));
    EXPECT_NE(readFile(places.programFile).find("Format=2,7 \xB5m/mil/Tesla\r\n"), std::string::npos);
}

// Found by fuzzing: "\xC3\xA9" is how Windows-1252 writes two characters and how UTF-8 writes one.
// A value read from UTF-8 as those two characters was saved as those bytes and read back as the one.
TEST(Settings, AValueWhoseBytesAreAlsoUtf8ReadsBackAsItself) {
    Places places;
    writeFile(places.programFile, "[Settings]\r\nSequence=TAB,\xC3\x83\xC2\xA9\r\n");
    Settings settings = places.load();
    EXPECT_EQ(settings.sequence, "TAB,\xC3\xA9");
    SavedChoices saved = choices;
    saved.sequence = settings.sequence;
    EXPECT_TRUE(saveSettings(settings, saved, places.where, places.store));
    EXPECT_EQ(places.load().sequence, "TAB,\xC3\xA9");
    EXPECT_NE(readFile(places.programFile).find("Format=2,7 \xB5m/mil/Tesla\r\n"), std::string::npos);
}

TEST(Settings, AFileThatCannotBeReadGivesTheDefaultsAndAFailedSaveIsReported) {
    Places places;
    std::filesystem::create_directory(places.programFile);  // a folder where the file should be
    Settings settings = places.load();
    EXPECT_EQ(settings.comPort, 1);
    EXPECT_EQ(readListKey(settings, places.store, ListKey::ControlCharacter), "Enter");
    const SettingsLocations nowhere{places.where.programDirectory, ""};
    EXPECT_FALSE(saveSettings(settings, choices, nowhere, places.store));
    EXPECT_TRUE(saveSettings(settings, choices, places.where, places.store));  // moved to the per-user file
    EXPECT_EQ(settings.settingsPath, places.perUserFile);
}

TEST(Settings, SavesEveryKeyInItsOrderAndReadsItBack) {
    Places places;
    writeFile(places.programFile, "[Settings]\r\nComPort=12\r\nMaxCom=40\r\n");
    Settings settings = places.load();
    settings.language = 0;
    SavedChoices longChoices = choices;
    longChoices.controlCharacter = std::string(1000, 'x');
    saveSettings(settings, longChoices, places.where, places.store);
    EXPECT_EQ(settings.settingsPath, places.programFile);
    EXPECT_EQ(readFile(places.programFile),
              "[Settings]\r\nComPort=12\r\nMaxCom=40\r\nSeparator=" + std::string(989, 'x') +
                  "\r\nDecimalSeparator=.\r\nFormat=2,7 \xB5m/mil/Tesla\r\nAskForClose=0\r\nActiveOnStartup=1\r\n"
                  "Language=0\r\nDevice=6121\r\nKeyboardLayout=1\r\nSequence=TAB,TAB\r\n");
    EXPECT_EQ(places.load().comPort, 12);
}

// The settings file keeps a sequence of up to 9998 characters; the program reads up to 298 of it.
TEST(Settings, TheSequenceIsReadUpTo298AndWrittenUpTo9998Characters) {
    Places places;
    writeFile(places.programFile, "[Settings]\r\nSequence=" + std::string(400, 'x') + "\r\n");
    Settings settings = places.load();
    EXPECT_EQ(settings.sequence, std::string(298, 'X'));
    SavedChoices longSequence = choices;
    longSequence.sequence = std::string(10000, 'Y');
    saveSettings(settings, longSequence, places.where, places.store);
    EXPECT_EQ(places.store.get(places.programFile, "Settings", "Sequence", "", 20000), std::string(9998, 'Y'));
}

TEST(Settings, PerUserFileWinsOverTheOneBesideTheProgram) {
    Places places;
    const std::string beside = "[Settings]\r\nComPort=4\r\n";
    writeFile(places.programFile, beside);
    createFolders(places.where.perUserFolder);
    writeFile(places.perUserFile, "[Settings]\r\nComPort=7\r\n");
    Settings settings = places.load();
    EXPECT_EQ(settings.settingsPath, places.perUserFile);
    EXPECT_EQ(settings.comPort, 7);
    saveSettings(settings, choices, places.where, places.store);
    EXPECT_EQ(readFile(places.programFile), beside);
    EXPECT_EQ(readListKey(places.load(), places.store, ListKey::ControlCharacter), "Tab");
    EXPECT_FALSE(places.load().autoMinimize);
}

// What a save that had to move the file leaves behind: the values in the per-user file, which the next
// load takes.
void expectMovedToPerUserFile(Places& places) {
    const Settings next = places.load();
    EXPECT_EQ(next.settingsPath, places.perUserFile);
    EXPECT_TRUE(next.autoMinimize);
    EXPECT_EQ(next.comPort, 12);
    EXPECT_EQ(readListKey(next, places.store, ListKey::ControlCharacter), "Tab");
}

TEST(Settings, ProgramFolderThatIsGoneSendsTheFileToThePerUserFolder) {
    Places places;
    Settings settings = places.load();
    settings.comPort = 12;
    std::filesystem::remove(places.temp.path("program"));
    saveSettings(settings, choices, places.where, places.store);
    EXPECT_EQ(settings.settingsPath, places.perUserFile);
    expectMovedToPerUserFile(places);
}

#ifndef _WIN32
TEST(Settings, ReadOnlyProgramFolderSendsTheFileToThePerUserFolder) {
    Places places;
    const std::string beside = "; kept\r\n[Settings]\r\nComPort=12\r\nLanguage=0\r\nSeparator=Enter\r\n";
    writeFile(places.programFile, beside);
    // Both, as in an installation folder: a writable file alone would simply be rewritten in place.
    chmod(places.programFile.c_str(), 0444);
    chmod(places.where.programDirectory.c_str(), 0555);
    chmod(places.temp.root.c_str(), 0777);
    Settings settings = places.load();
    EXPECT_EQ(settings.settingsPath, places.programFile);
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(testing::runUnprivileged([&] {
        saveSettings(settings, choices, places.where, places.store);
        return settings.settingsPath == places.perUserFile;
    }), 0);
    EXPECT_EQ(readFile(places.programFile), beside);
    EXPECT_EQ(readFile(places.perUserFile).substr(0, 8), "; kept\r\n");
    expectMovedToPerUserFile(places);
    EXPECT_EQ(places.load().language, 0);
}

// A disk that fills up while the file is written: the program is told, the file keeps its old text
// whole, and a full disk is no reason to move the settings away from the program folder.
TEST(Settings, AFullDiskLeavesTheFileWholeAndIsReported) {
    Places places;
    const std::string before = "; by hand\r\n[Settings]\r\nComPort=7\r\n";
    writeFile(places.programFile, before);
    Settings settings = places.load();
    settings.comPort = 12;
    const pid_t child = fork();
    if (child == 0) {
        failWritesBeyondFileSizeLimit();
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(saveSettings(settings, choices, places.where, places.store) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readFile(places.programFile), before);
    EXPECT_FALSE(std::filesystem::exists(places.perUserFile));
}
#endif

// The file store with the outcome of the first save beside the program scripted.
class FirstSaveStore final : public SettingsStore {
public:
    explicit FirstSaveStore(WriteOutcome first) : first(first) {}
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override {
        return real.get(file, section, key, defaultValue, maxLength);
    }
    WriteOutcome putAll(const std::string& file, const std::string& section, const KeyValues& values) override {
        ++saves;
        return saves == 1 ? first : real.putAll(file, section, values);
    }
    WriteOutcome first;
    int saves = 0;

private:
    IniFileStore real;
};

// Only a folder that refuses the file, asked again and again, sends the settings to the per-user
// folder; every save is one write of the whole file.
TEST(Settings, OnlyARefusalMovesTheFile) {
    struct Case {
        WriteOutcome first;
        bool saved;
        bool moved;
        int saves;
    };
    const Case cases[] = {
        {WriteOutcome::Written, true, false, 1},
        {WriteOutcome::Failed, false, false, 1},
        {WriteOutcome::Refused, true, true, 2},
    };
    for (const Case& c : cases) {
        Places places;
        writeFile(places.programFile, "[Settings]\r\nComPort=12\r\n");
        Settings settings = places.load();
        FirstSaveStore store(c.first);
        EXPECT_EQ(saveSettings(settings, choices, places.where, store), c.saved);
        EXPECT_EQ(settings.settingsPath, c.moved ? places.perUserFile : places.programFile);
        EXPECT_EQ(std::filesystem::exists(places.perUserFile), c.moved);
        EXPECT_EQ(store.saves, c.saves);
        if (c.moved) expectMovedToPerUserFile(places);
    }
}

TEST(SettingsPaths, DirectoryAndAbsolutePath) {
    const std::string folder = std::string("dir") + sep;
    EXPECT_EQ(directoryOf(""), "");
    EXPECT_EQ(directoryOf("Valbrix.ini"), "");
    EXPECT_EQ(directoryOf(folder + "sub" + sep + "Valbrix.ini"), folder + "sub" + sep);
    EXPECT_EQ(absolutePath("Valbrix.ini", folder), folder + "Valbrix.ini");
    EXPECT_EQ(absolutePath(folder + "x.ini", "elsewhere"), folder + "x.ini");
    EXPECT_EQ(absolutePath("Valbrix.ini", std::string(300, 'a') + sep).size(), maxPathLength);
}

TEST(SettingsPaths, SystemLocations) {
    const SettingsLocations where = systemSettingsLocations();
    ASSERT_FALSE(where.programDirectory.empty());
    EXPECT_EQ(where.programDirectory.back(), sep);
    EXPECT_EQ(where.perUserFolder, userConfigFolder() + sep);
}

// On Windows this is the system's own profile calls.
TEST(SystemSettingsStore, RoundTrip) {
    TempFolder temp;
    const std::string file = temp.path("Valbrix.ini");
    SettingsStore& store = systemSettingsStore();
    EXPECT_EQ(store.get(file, "Settings", "Format", "2,7 um", 3), "2,7");
    EXPECT_EQ(store.putAll(file, "Settings", {{"Format", "2,7 \xB5m"}}), WriteOutcome::Written);
    EXPECT_EQ(store.get(file, "settings", "FORMAT", "", 99), "2,7 \xB5m");
    EXPECT_EQ(store.get(file, "Settings", "Format", "", 5), "2,7 \xB5");
}

}  // namespace
}  // namespace valbrix
