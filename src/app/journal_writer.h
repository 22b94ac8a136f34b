#pragma once
// The journal's files: one a day, "Valbrix-2026-12-08.csv" by the local date, in UTF-8 with a byte
// order mark and a heading in the interface language, fields separated by ";" and quoted where they
// hold a separator, a quote or a line break, so that a spreadsheet in a German or an English set-up
// opens it as it is ("4,56" stays one field, µ stays µ).

#include <functional>
#include <string>

#include "app/journal_files.h"
#include "export/value_journal.h"

namespace valbrix {

// "Valbrix-2026-12-08.csv"
std::string journalFileName(const LocalTime& time);
// The Windows-1252 text as one UTF-8 field, quoted when it has to be.
std::string journalField(const std::string& text);
// One line of the file, ended by CR LF.
std::string journalLine(const JournalEntry& entry, int language);

class JournalWriter {
public:
    // folder ends in the system's separator. cannotWrite hears of the first file the journal could not
    // write, once a run: the user needs to know, not to be told at every value.
    JournalWriter(JournalFiles& files, std::string folder, std::function<void(const std::string& path)> cannotWrite);

    // language is that of the interface; a file's heading and outcome words keep the language in which
    // this run first wrote to it.
    void write(const JournalEntry& entry, int language);

private:
    JournalFiles& files;
    const std::string folder;
    const std::function<void(const std::string&)> cannotWrite;
    std::string currentPath;
    int fileLanguage = 0;  // a file keeps the words it began with when the interface language changes
    bool headed = false;  // the current file has its heading
    bool told = false;
};

}  // namespace valbrix
