#pragma once
// The help on Linux. The shell names the HTML Help file of its language ("VALBRIXHELP_DE.chm"); here
// that name stands for the start page of the same language's HTML manual, installed in
// share/valbrix/manual beside the program's bin folder, and the desktop's browser shows it.

#include <QString>
#include <optional>
#include <string>

namespace valbrix {

// share/valbrix/manual beside the folder of the running program.
QString installedManualFolder();
// <manualFolder>/de/index.html for "VALBRIXHELP_DE.chm", en/ for "VALBRIXHELP_EN.chm"; "" for any
// other name.
QString manualPage(const QString& manualFolder, const std::string& helpFileName);

// What the user is told instead, in Windows-1252 like every text of the shell.
struct HelpMessage {
    std::string caption;
    std::string text;
};
// Opens the page in the desktop's browser through QDesktopServices. When the page is missing or no
// browser can be started, the message to show, in the language of the help file.
std::optional<HelpMessage> openManual(const QString& manualFolder, const std::string& helpFileName);

}  // namespace valbrix
