#pragma once
// Every text of the user interface in German and English. The table is constant and shared by all
// threads; `language` (0 German, 1 English) picks the text. Texts are Windows-1252.

namespace valbrix {

inline constexpr int German = 0;
inline constexpr int English = 1;

struct LocalizedText {
    const char* german;
    const char* english;
    const char* in(int language) const { return language == 1 ? english : german; }
};

namespace text {

inline constexpr LocalizedText statusTooltip{"In diesem Feld wird der Programmstatus angezeigt.",
                                             "This Field shows the program status."};
inline constexpr LocalizedText controlCharacterList{"-nichts-|Enter|Tab|Rechts|Links|Hoch|Runter|Sequenz",
                                                    "-none-|Enter|Tab|Right|Left|Up|Down|Sequence"};
inline constexpr LocalizedText questionCaption{"Frage", "Question"};
inline constexpr LocalizedText leaveQuestion{"Programm verlassen ?", "Leave Program ?"};
inline constexpr LocalizedText trayStarted{"Programm gestartet", "Program started"};
inline constexpr LocalizedText trayActive{"Programm aktiv.", "Program active"};
inline constexpr LocalizedText valuesSent{"Werte \xFC" "bertragen.", "Values sent."};
inline constexpr LocalizedText connectDevice{"Schlie\xDF" "en Sie bitte ein Ger\xE4t an.", "Please connect Device !"};
inline constexpr LocalizedText standby{"Programm im Standby-Modus.", "Program in Standby-Mode"};
inline constexpr LocalizedText continueButton{"Fortfahren", "Continue"};
inline constexpr LocalizedText exitButton{"&Beenden", "&Exit"};
inline constexpr LocalizedText device{"Ger\xE4t", "Device"};
inline constexpr LocalizedText controlGroup{"Steuerung", "Control"};
inline constexpr LocalizedText portGroup{"Schnittstelle", "Port"};
inline constexpr LocalizedText newPort{"Neue Schnittstelle", "New Port"};
inline constexpr LocalizedText portReleased{"Schnittstelle entfernt", "Port released"};
inline constexpr LocalizedText unitLabel{"Ma\xDF" "einheit", "Unit"};
inline constexpr LocalizedText decimalSeparatorLabel{"Dezimaltrennzeichen", "Decimal Separator"};
inline constexpr LocalizedText controlCharacterLabel{"Abschlusszeichen", "Control Character"};
inline constexpr LocalizedText initialising{"Programm initialisieren.", "Initialize Program"};
inline constexpr LocalizedText active{"Programm aktiv.", "Program active."};
inline constexpr LocalizedText programMenu{"&Programm", "&Program"};
inline constexpr LocalizedText exitMenu{"&Beenden\tAlt+F4", "E&xit&\tAlt+F4"};
inline constexpr LocalizedText settingsMenu{"&Einstellungen", "&Settings"};
inline constexpr LocalizedText helpItem{"&Hilfe", "&Help"};
inline constexpr LocalizedText aboutItem{"&Info", "&About"};
inline constexpr LocalizedText key{"Taste", "Key"};
inline constexpr LocalizedText languageMenu{"Sprache", "Language"};
inline constexpr LocalizedText sequenceLabel{"Sequenz", "Sequence"};
inline constexpr LocalizedText measuredValueGroup{"Messwert", "Measured Value"};
inline constexpr LocalizedText keyboardLayoutMenu{"Tastatur Layout", "Keyboard Layout"};
inline constexpr LocalizedText layoutGermanEnglish{"Deutsch / Englisch", "German / English"};
inline constexpr LocalizedText layoutFrench{"Franz\xF6sisch", "French"};
inline constexpr LocalizedText keyNotTyped{"Ein Zeichen ist mit dieser Tastaturbelegung nicht tippbar.",
                                           "A character cannot be typed on this keyboard layout."};
inline constexpr LocalizedText settingsNotSaved{"Die Einstellungen konnten nicht gespeichert werden:",
                                                "The settings could not be saved:"};
inline constexpr LocalizedText requestNotSent{"Anfrage an das Ger\xE4t nicht gesendet.", "Request to the device not sent."};

// The same in both languages.
inline constexpr const char* decimalSeparatorList = ".|,";
inline constexpr const char* valueFormatList = "2,7|2,7 \xB5m/mil/Tesla|2,7 um/mil/Tesla";
inline constexpr const char* germanItem = "&Deutsch";
inline constexpr const char* englishItem = "&English";
inline constexpr const char* modelGroup1Item =
    "Pocket-VARNITRON 6118 / 6121 / 6126 / VARNITRON 6142 / MAGNOTELLAR 7483 / PULSOVANT 5265, 5266, 5267";
inline constexpr const char* modelGroup2Item = "VARNITRON 6141 / MAGNOTELLAR 7482 / QMV 8525  / PULSOVANT 5264";
inline constexpr const char* helpMenu = "?";
inline constexpr const char* portNoticeCaption = "Valbrix Info";

}  // namespace text
}  // namespace valbrix
