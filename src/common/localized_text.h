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
// The window is up while the start-up scan still probes the ports; the port list fills once it is done.
inline constexpr LocalizedText searchingPorts{"Schnittstellen werden gesucht \x85", "Searching for ports \x85"};
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
// The port's device is gone (an adapter pulled out) and comes back; %1 the port (COM5). The tray tip
// says it without the port, as the other tips.
inline constexpr LocalizedText portLostTip{"Schnittstelle getrennt.", "Port disconnected."};
inline constexpr LocalizedText portLostStatus{"%1 getrennt. Warte auf die Schnittstelle.",
                                              "%1 disconnected. Waiting for the port."};
inline constexpr LocalizedText portBackStatus{"%1 wieder verbunden.", "%1 connected again."};
// %1 the number of values the ring had no room for since the start.
inline constexpr LocalizedText valuesDroppedStatus{"%1 Werte verworfen: Die Eingabe kam nicht nach.",
                                                   "%1 values dropped: typing could not keep up."};

// Values wait in the ring while something stands in the way of typing them (the typing guard).
inline constexpr LocalizedText lockedHold{"Der Bildschirm ist gesperrt: Werte warten.",
                                          "The screen is locked: readings wait."};
inline constexpr LocalizedText inactiveHold{"Die Sitzung ist nicht aktiv: Werte warten.",
                                            "The session is not active: readings wait."};
inline constexpr LocalizedText ownWindowHold{"Ein Fenster von Valbrix hat die Tastatur: Werte warten.",
                                             "A Valbrix window has the keyboard: readings wait."};
inline constexpr LocalizedText heldKeyHold{"Strg, Alt, AltGr, Umschalt oder Windows-Taste gedr\xFC" "ckt: Werte warten.",
                                           "Ctrl, Alt, AltGr, Shift or the Windows key is held: readings wait."};

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

// When the system stands in the way of the program's work, and what the user can do about it.
inline constexpr LocalizedText noTyping{"Keine Tastatureingabe m\xF6glich: Werte werden nur angezeigt.",
                                        "Cannot type: values are only shown."};
inline constexpr LocalizedText noTypingWayland{
    "Valbrix kann auf diesem Desktop keine Tasten senden. Erlauben Sie beim n\xE4" "chsten Start die "
    "Fernsteuerung im Dialog des Desktops, oder bitten Sie Ihren Administrator, Ihr Benutzerkonto in die "
    "Gruppe valbrix-uinput aufzunehmen (sudo usermod -aG valbrix-uinput $USER), und melden Sie sich neu an. "
    "Bis dahin werden die Werte nur angezeigt.",
    "Valbrix cannot send keys on this desktop. Allow remote control in the desktop's dialog at the next "
    "start, or ask your administrator to add your user account to the group valbrix-uinput (sudo usermod "
    "-aG valbrix-uinput $USER) and log in again. Until then the values are only shown."};
// The user said no to remote control in the desktop's dialog, or left it unanswered: no other way of
// typing is tried behind their back.
inline constexpr LocalizedText typingRefused{"Tastatureingabe abgelehnt: Werte werden nur angezeigt.",
                                             "Typing refused: values are only shown."};
inline constexpr LocalizedText typingRefusedNotice{
    "Die Fernsteuerung wurde im Dialog des Desktops abgelehnt oder nicht rechtzeitig erlaubt. Valbrix "
    "sendet deshalb keine Tasten und versucht auch keinen anderen Weg. Um die Eingabe zu erlauben, beenden "
    "Sie Valbrix, starten Sie es neu und erlauben Sie die Fernsteuerung im Dialog des Desktops. Bis dahin "
    "werden die Werte nur angezeigt.",
    "Remote control was refused in the desktop's dialog, or not allowed in time. So Valbrix sends no keys "
    "and tries no other way either. To allow typing, end Valbrix, start it again and allow remote control "
    "in the desktop's dialog. Until then the values are only shown."};
inline constexpr LocalizedText noTypingX11{
    "Der X-Server bietet keine XTest-Erweiterung: Valbrix kann keine Tasten senden. Starten Sie den "
    "X-Server mit XTest. Bis dahin werden die Werte nur angezeigt.",
    "The X server has no XTest extension: Valbrix cannot send keys. Start the X server with XTest. Until "
    "then the values are only shown."};
inline constexpr LocalizedText noTypingNoDesktop{
    "Keine grafische Sitzung gefunden (weder WAYLAND_DISPLAY noch DISPLAY ist gesetzt): Valbrix kann "
    "keine Tasten senden. Die Werte werden nur angezeigt.",
    "No graphical session found (neither WAYLAND_DISPLAY nor DISPLAY is set): Valbrix cannot send keys. "
    "The values are only shown."};
inline constexpr LocalizedText noTray{"Kein Infobereich auf diesem Desktop: das Fenster wird stattdessen minimiert.",
                                      "No tray on this desktop: the window is minimised instead."};
inline constexpr LocalizedText trayMenuTitle{"&\xDC" "bertragung", "&Transfer"};
inline constexpr LocalizedText portNoAccess{" (kein Zugriff)", " (no access)"};
// %1 the port (COM5), %2 the group that owns its device.
inline constexpr LocalizedText portNoAccessStatus{"%1: kein Zugriff (Gruppe %2)", "%1: no access (group %2)"};
inline constexpr LocalizedText portNoAccessNotice{
    "%1 kann nicht ge\xF6" "ffnet werden: das Ger\xE4t geh\xF6rt der Gruppe \"%2\", und Sie sind nicht Mitglied. "
    "Nehmen Sie Ihr Benutzerkonto in die Gruppe auf (sudo usermod -aG %2 $USER) und melden Sie sich neu an.",
    "%1 cannot be opened: its device belongs to the group \"%2\", and you are not a member. Add your user "
    "account to the group (sudo usermod -aG %2 $USER) and log in again."};

// The journal of every value: its header line, fields separated by ";", what became of a value, and
// the word that it cannot be written; %1 the file.
inline constexpr LocalizedText journalHeader{
    "Datum und Uhrzeit;Schnittstelle;Ger\xE4t;Nummer;Wert;Einheit;Verbleib;Zeile;Spalte",
    "Date and time;Port;Gauge;Number;Value;Unit;Outcome;Row;Column"};
inline constexpr LocalizedText journalTyped{"getippt", "typed"};
inline constexpr LocalizedText journalShown{"angezeigt", "shown"};
inline constexpr LocalizedText journalHeld{"zur\xFC" "ckgehalten", "held"};
inline constexpr LocalizedText journalDropped{"verworfen", "dropped"};
inline constexpr LocalizedText journalNotWritten{"Journal nicht schreibbar (%1). Die Werte werden weiter eingegeben.",
                                                 "The journal cannot be written (%1). Values are still typed."};

// The texts of this table that the status line and the tray tip show. The manual explains each of them
// (its build checks that it does), so a text the shell shows there belongs in one of the two lists.
inline constexpr const LocalizedText* statusLineTexts[] = {
    &initialising, &active, &searchingPorts, &key, &keyNotTyped, &requestNotSent, &noTyping, &typingRefused, &noTray,
    &portNoAccessStatus, &portLostStatus, &portBackStatus, &valuesDroppedStatus, &lockedHold,
    &inactiveHold, &ownWindowHold, &heldKeyHold, &journalNotWritten,
};
inline constexpr const LocalizedText* trayTipTexts[] = {
    &trayStarted, &trayActive, &valuesSent, &connectDevice, &standby, &portLostTip, &lockedHold,
    &inactiveHold, &ownWindowHold, &heldKeyHold,
};

}  // namespace text
}  // namespace valbrix
