#pragma once
// The program's settings in Valbrix.ini, section "Settings". The file sits beside the program unless
// the user has one of their own in the per-user folder; when the program folder turns out not to be
// writable, the file moves to the per-user folder for good.

#include <string>

#include "settings/settings_store.h"
#include "gauge/gauge_models.h"

namespace valbrix {

struct Settings {
    std::string settingsPath;  // file in use, at most 259 characters
    std::string perUserPath;   // per-user location of the file; empty when the system has no such folder
    int comPort = 1;           // -1 when no port could be opened
    int maxCom = 30;           // 5..99
    int keyDelayMs = 0;        // 0..100: pause after every key event, for receivers that drop fast keys
    bool journal = false;      // every value is written to the journal's file of the day
    int language = 1;          // 0 German, 1 English
    int keyboardLayout = 1;    // 0..3; 1 German/English, 3 French
    int device = modelGroup1Device;  // 6121, 7482 or 8525
    bool transferActive = true;
    bool askForClose = false;
    bool displayUsbPorts = false;
    bool displayPortChanged = false;
    bool autoMinimize = false;
    std::string sequence = "TAB,DOWN";
    bool listsLoaded = false;
};

struct SettingsLocations {
    std::string programDirectory;  // folder of the running executable, with a trailing separator
    std::string perUserFolder;     // with a trailing separator; empty when the system has none
};

// The folder of the running executable, and userConfigFolder() with a separator.
SettingsLocations systemSettingsLocations();

// Finds the file in use and reads every setting but the choice lists' ones.
void loadSettings(Settings& settings, const SettingsLocations& where, SettingsStore& store);

// The choice lists read their keys themselves, when they are first filled.
enum class ListKey { ControlCharacter, DecimalSeparator, ValueFormat };
std::string readListKey(const Settings& settings, SettingsStore& store, ListKey key);

struct SavedChoices {
    std::string controlCharacter;
    std::string decimalSeparator;
    std::string valueFormat;
    std::string sequence;
};

// Writes the settings in one step, moving the file to the per-user folder first when the program folder
// keeps refusing it (settings.settingsPath follows). A save that fails leaves the file as it was; false
// then, so that the user can be told.
bool saveSettings(Settings& settings, const SavedChoices& choices, const SettingsLocations& where,
                  SettingsStore& store);

}  // namespace valbrix
