#include "app/journal_writer.h"

#include <iterator>

#include "common/cp1252.h"
#include "common/localized_text.h"

namespace valbrix {
namespace {

constexpr const char* byteOrderMark = "\xEF\xBB\xBF";
constexpr char fieldSeparator = ';';

const LocalizedText& outcomeText(JournalOutcome outcome) {
    switch (outcome) {
        case JournalOutcome::Typed: return text::journalTyped;
        case JournalOutcome::Held: return text::journalHeld;
        case JournalOutcome::Dropped: return text::journalDropped;
        case JournalOutcome::Shown: break;
    }
    return text::journalShown;
}

std::string numberField(int number) { return number > 0 ? std::to_string(number) : std::string(); }

}  // namespace

std::string journalFileName(const LocalTime& time) { return "Valbrix-" + isoDate(time) + ".csv"; }

std::string journalField(const std::string& text) {
    const std::string utf8 = utf8OfCp1252(text);
    // The comma too: a spreadsheet that splits at commas keeps "4,56" whole.
    if (utf8.find_first_of(";,\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (const char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string journalLine(const JournalEntry& entry, int language) {
    const std::string fields[] = {
        isoDateTime(entry.time),
        "COM" + std::to_string(entry.port),
        entry.gaugeName,
        std::to_string(entry.number),
        entry.valueText,
        entry.unitText,
        outcomeText(entry.outcome).in(language),
        numberField(entry.gridRow),
        numberField(entry.gridColumn),
    };
    std::string line;
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) line += fieldSeparator;
        line += journalField(fields[i]);
    }
    return line + "\r\n";
}

JournalWriter::JournalWriter(JournalFiles& files, std::string folder,
                             std::function<void(const std::string& path)> cannotWrite)
    : files(files), folder(std::move(folder)), cannotWrite(std::move(cannotWrite)) {}

void JournalWriter::write(const JournalEntry& entry, int language) {
    const std::string path = folder + journalFileName(entry.time);
    if (path != currentPath) {
        currentPath = path;
        fileLanguage = language;
        headed = false;
    }
    std::string bytes = journalLine(entry, fileLanguage);
    // A file of an earlier run of the same day has its heading already.
    const bool heading = !headed && files.isEmpty(path);
    if (heading) bytes = byteOrderMark + utf8OfCp1252(text::journalHeader.in(fileLanguage)) + "\r\n" + bytes;
    if (files.append(path, bytes)) {
        headed = true;
        return;
    }
    if (told) return;
    told = true;
    if (cannotWrite) cannotWrite(path);
}

}  // namespace valbrix
