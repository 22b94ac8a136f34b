#pragma once
// The checks of the built manual: what makes a page useless to its reader (a link or picture that
// is not there, a page missing from the contents) and what makes it wrong (a gauge, a settings key,
// a default or a text of the window that the program does not have). Each returns one line per
// problem, naming the page; none means the manual is sound.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "program_facts.h"

namespace valbrix::manual {

struct ManualFacts {
    std::vector<GaugeFact> gauges;
    std::vector<SettingFact> settings;
    ProgramTexts texts;
};

// Everything below, for both languages of the manual built in htmlRoot.
std::vector<std::string> checkManual(const std::filesystem::path& htmlRoot, const ManualFacts& facts);

// Links and pictures of every page lead to files of the manual, and #anchors to ids on the page.
std::vector<std::string> checkLinks(const std::filesystem::path& htmlRoot);
// Both languages have the same pages, each with a title and a heading, and index.html lists every
// other page in its contents.
std::vector<std::string> checkPages(const std::filesystem::path& htmlRoot);

// The page that lists the gauges (its cells of class "gauge") names exactly the program's gauges.
std::vector<std::string> checkGaugeList(const std::string& page, const std::vector<GaugeFact>& gauges);
// Every gauge named in the text is one whose name the program shows.
std::vector<std::string> checkGaugeNames(const std::string& page, const std::vector<GaugeFact>& gauges);
// The table of class "settings" has a row per key of the program with its default and whether the
// program writes it at exit (saved: ja/nein, yes/no), and every key named anywhere exists.
std::vector<std::string> checkSettingsTable(const std::string& page, const std::vector<SettingFact>& settings);
std::vector<std::string> checkSettingsKeys(const std::string& page, const std::vector<SettingFact>& settings);
// Every text of class "ui" is one the program shows in the page's language (or in both). A report of
// the status line or the tray tip is quoted with what the program fills in: "COMn disconnected. ...".
std::vector<std::string> checkProgramTexts(const std::string& page, bool german, const ProgramTexts& texts);
// Every report of the status line and the tray tip is quoted (as a text of class "ui") on some page of
// the language: quoted is every such text of its pages.
std::vector<std::string> checkReportsExplained(const std::vector<std::string>& quoted, const std::set<std::string>& reports);

}  // namespace valbrix::manual
