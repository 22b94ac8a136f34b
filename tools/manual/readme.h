#pragma once
// The read-me files of the Windows zip, one per language: README.txt in English and LIESMICH.txt in
// German. They are written from what the program and the manual say, so that they cannot drift from
// either: the tray menu's items as the program names them, and the entries of the settings file that
// have no control in the window, with the program's defaults and the meaning the manual's settings
// page gives them. The files are kept in the repository (packaging/windows/) with @VERSION@ for the
// version, which the release fills in.

#include <filesystem>
#include <string>
#include <vector>

#include "program_facts.h"

namespace valbrix::manual {

struct Readme {
    std::string file;  // "README.txt"
    std::string text;  // UTF-8 with a byte-order mark, so that every Notepad reads the umlauts
};

// From the built manual in htmlRoot (its settings-file.html of each language). Throws
// std::runtime_error when the manual or the program lacks an entry the read-me names.
std::vector<Readme> windowsReadmes(const std::filesystem::path& htmlRoot, const std::vector<SettingFact>& settings);

// One line for each read-me in folder that is missing or differs from what windowsReadmes makes.
std::vector<std::string> checkReadmes(const std::filesystem::path& folder, const std::vector<Readme>& readmes);

}  // namespace valbrix::manual
