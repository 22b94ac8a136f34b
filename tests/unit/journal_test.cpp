#include "app/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <string>
#include <vector>

#include "app/journal_writer.h"
#include "gauge/catalogue.h"
#include "deadline.h"
#include "recording_journal.h"
#include "shell_world.h"

namespace valbrix {
namespace {

using testing::RecordingJournalFiles;
using testing::SetWallClock;
using testing::FakeLine;
using testing::World;

constexpr const char* bom = "\xEF\xBB\xBF";
const std::string englishHeading = std::string(bom) + "Date and time;Port;Gauge;Number;Value;Unit;Outcome;Row;Column\r\n";
const std::string folder = std::string("journal") + "/";

JournalEntry entry(JournalOutcome outcome, const char* value = "4.56", const char* unit = "mm") {
    JournalEntry e;
    e.time = LocalTime{2026, 12, 8, 14, 3, 27, 60};
    e.port = 5;
    e.gaugeName = "VARNITRON 6121";
    e.number = 7;
    e.valueText = value;
    e.unitText = unit;
    e.outcome = outcome;
    return e;
}

TEST(JournalWriter, EveryOutcomeIsALineWithItsFields) {
    struct Case {
        JournalEntry entry;
        int language;
        const char* line;
    };
    JournalEntry grid = entry(JournalOutcome::Typed, "10,0", "\xB5m");
    grid.gridRow = 2;
    grid.gridColumn = 3;
    JournalEntry quoted = entry(JournalOutcome::Shown);
    quoted.gaugeName = "Gauge \"A\"; left";
    JournalEntry west = entry(JournalOutcome::Dropped, "---", "");
    west.time = LocalTime{2027, 1, 2, 3, 4, 5, -330};
    west.port = 12;
    west.number = -4;
    const Case cases[] = {
        {entry(JournalOutcome::Typed), English, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;typed;;\r\n"},
        {entry(JournalOutcome::Shown), English, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;shown;;\r\n"},
        {entry(JournalOutcome::Held), English, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;held;;\r\n"},
        {entry(JournalOutcome::Dropped), English, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;dropped;;\r\n"},
        {entry(JournalOutcome::Typed), German, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;getippt;;\r\n"},
        {entry(JournalOutcome::Shown), German, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;angezeigt;;\r\n"},
        {entry(JournalOutcome::Held), German, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;zur\xC3\xBC" "ckgehalten;;\r\n"},
        {entry(JournalOutcome::Dropped), German, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;4.56;mm;verworfen;;\r\n"},
        // A decimal comma is quoted for the spreadsheets that split at commas; µ comes out as UTF-8.
        {grid, English, "2026-12-08T14:03:27+01:00;COM5;VARNITRON 6121;7;\"10,0\";\xC2\xB5m;typed;2;3\r\n"},
        {quoted, English, "2026-12-08T14:03:27+01:00;COM5;\"Gauge \"\"A\"\"; left\";7;4.56;mm;shown;;\r\n"},
        {west, English, "2027-01-02T03:04:05-05:30;COM12;VARNITRON 6121;-4;---;;dropped;;\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(journalLine(c.entry, c.language), c.line) << c.line;
}

TEST(JournalWriter, EachDayHasAFileOfItsOwnWithItsHeading) {
    RecordingJournalFiles files;
    JournalWriter writer(files, folder, nullptr);
    JournalEntry late = entry(JournalOutcome::Typed);
    late.time = LocalTime{2026, 12, 8, 23, 59, 59, 60};
    JournalEntry early = entry(JournalOutcome::Typed);
    early.time = LocalTime{2026, 12, 9, 0, 0, 0, 60};
    writer.write(late, English);
    writer.write(late, German);  // the day's file keeps its words
    writer.write(early, German);
    const auto written = files.contents();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written.at("journal/Valbrix-2026-12-08.csv"), englishHeading + journalLine(late, English) + journalLine(late, English));
    EXPECT_EQ(written.at("journal/Valbrix-2026-12-09.csv"),
              std::string(bom) + "Datum und Uhrzeit;Schnittstelle;Ger\xC3\xA4t;Nummer;Wert;Einheit;Verbleib;Zeile;Spalte\r\n" +
                  journalLine(early, German));
}

TEST(JournalWriter, AFileOfAnEarlierRunGoesOnWithoutASecondHeading) {
    RecordingJournalFiles files;
    files.keep("journal/Valbrix-2026-12-08.csv", englishHeading + "earlier\r\n");
    JournalWriter writer(files, folder, nullptr);
    writer.write(entry(JournalOutcome::Shown), English);
    EXPECT_EQ(files.contents().at("journal/Valbrix-2026-12-08.csv"),
              englishHeading + "earlier\r\n" + journalLine(entry(JournalOutcome::Shown), English));
}

TEST(JournalWriter, AFileThatCannotBeWrittenIsToldOnceAndTriedAgain) {
    RecordingJournalFiles files;
    files.refuseWrites();
    std::vector<std::string> told;
    JournalWriter writer(files, folder, [&](const std::string& path) { told.push_back(path); });
    for (int i = 0; i < 3; ++i) writer.write(entry(JournalOutcome::Typed), English);
    EXPECT_EQ(told, std::vector<std::string>{"journal/Valbrix-2026-12-08.csv"});
    EXPECT_EQ(files.attemptCount(), 3);
}

TEST(LocalTime, TheOffsetIsTheDistanceFromUtc) {
    struct Case {
        std::tm local;
        std::tm utc;
        const char* text;
    };
    auto at = [](int year, int month, int day, int hour, int minute, int second) {
        std::tm time{};
        time.tm_year = year - 1900;
        time.tm_mon = month - 1;
        time.tm_mday = day;
        time.tm_hour = hour;
        time.tm_min = minute;
        time.tm_sec = second;
        return time;
    };
    const Case cases[] = {
        {at(2026, 12, 8, 14, 3, 27), at(2026, 12, 8, 13, 3, 27), "2026-12-08T14:03:27+01:00"},
        {at(2026, 7, 1, 0, 30, 0), at(2026, 6, 30, 22, 30, 0), "2026-07-01T00:30:00+02:00"},
        {at(2026, 12, 31, 19, 0, 0), at(2027, 1, 1, 0, 30, 0), "2026-12-31T19:00:00-05:30"},
        {at(2028, 2, 29, 23, 59, 60), at(2028, 2, 29, 23, 59, 60), "2028-02-29T23:59:59+00:00"},
        {at(2026, 3, 1, 11, 45, 0), at(2026, 2, 28, 23, 0, 0), "2026-03-01T11:45:00+12:45"},
    };
    for (const Case& c : cases) EXPECT_EQ(isoDateTime(localTimeOf(c.local, c.utc)), c.text) << c.text;
}

TEST(Journal, EveryEntryIsStampedAndWrittenBeforeTheJournalEnds) {
    RecordingJournalFiles files;
    SetWallClock clock;
    const std::atomic<int> language{English};
    {
        Journal journal(files, clock, folder, language, nullptr);
        journal.record(entry(JournalOutcome::Typed));
        clock.set(LocalTime{2026, 12, 9, 0, 0, 1, 60});
        journal.record(entry(JournalOutcome::Dropped));
    }
    JournalEntry first = entry(JournalOutcome::Typed);
    JournalEntry second = entry(JournalOutcome::Dropped);
    second.time = LocalTime{2026, 12, 9, 0, 0, 1, 60};
    const auto written = files.contents();
    EXPECT_EQ(written.at("journal/Valbrix-2026-12-08.csv"), englishHeading + journalLine(first, English));
    EXPECT_EQ(written.at("journal/Valbrix-2026-12-09.csv"), englishHeading + journalLine(second, English));
}

// The gauge prints, the acquisition and export passes run, and the window does what they handed it.
void gaugePrints(World& w, FakeLine& line, const std::string& text) {
    line.receive(text);
    w.gauge().AcquisitionPass();
    w.shell->exportLoop()->pass();
    w.host.runPosted();
}

std::vector<std::string> linesOf(const std::string& file) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = file.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(file.substr(at, end - at));
    return lines;
}

TEST(ShellJournal, ValuesTypedShownAndDroppedGoBesideTheSettingsFile) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(5);
    w.settingsFile("ComPort=5\r\nLanguage=1\r\nJournal=1\r\nDecimalSeparator=,\r\n");
    w.start();
    gaugePrints(w, *line, "  1:  4.56 mm\r\n");
    w.shell->command(ContinueButton);
    gaugePrints(w, *line, "  2:  --- mm\r\n#GridX: 3\r\n  4:  10.0 um\r\n");
    std::string dump;
    for (int i = 1; i <= MeasuredValueRing::lastIndex + 2; ++i) dump += "  " + std::to_string(i) + ":  1.5 mm\r\n";
    line->receive(dump);
    w.gauge().AcquisitionPass();
    w.shell->command(CommandExitMenu);
    EXPECT_EQ(describeKeys(w.keys.events), "<ENTER>10,0 um<TAB>");
    EXPECT_EQ(w.stored("Journal"), "1");  // read, never written

    const auto files = w.journalFiles.contents();
    ASSERT_EQ(files.size(), 1u);
    const std::string path = w.where.programDirectory + "Journal" + testing::sep + "Valbrix-2026-12-08.csv";
    ASSERT_EQ(files.count(path), 1u);
    const std::vector<std::string> lines = linesOf(files.at(path));
    ASSERT_EQ(lines.size(), 6u + MeasuredValueRing::lastIndex);
    const std::string gauge = "2026-12-08T14:03:27+01:00;COM5;" + deviceLine("?") + ";";
    EXPECT_EQ(lines[0], "\xEF\xBB\xBF" "Date and time;Port;Gauge;Number;Value;Unit;Outcome;Row;Column");
    EXPECT_EQ(lines[1], gauge + "1;\"4,56\";mm;shown;;");
    EXPECT_EQ(lines[2], gauge + "2;---;?;typed;;");
    EXPECT_EQ(lines[3], gauge + "4;\"10,0\";um;typed;2;1");
    // The ring turned the last two away; what it held was not typed before the end.
    EXPECT_EQ(lines[4], gauge + "3000;\"1,50\";mm;dropped;1000;3");
    EXPECT_EQ(lines[5], gauge + "3001;\"1,50\";mm;dropped;1001;1");
    EXPECT_EQ(lines[6], gauge + "1;\"1,50\";mm;held;1;1");
    EXPECT_EQ(lines.back(), gauge + "2999;\"1,50\";mm;held;1000;2");
}

// A value the desk holds back is journalled once, when it finally goes out; one still waiting when the
// program ends is journalled as held.
TEST(ShellJournal, AValueTheDeskHoldsBackIsJournalledWhenItGoesOutOrAsHeldAtTheEnd) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(5);
    w.settingsFile("ComPort=5\r\nLanguage=1\r\nJournal=1\r\nDecimalSeparator=,\r\n");
    w.start();
    w.shell->command(ContinueButton);
    const DeskState locked{false, true, false, 0, false};
    w.desk.set(locked);
    gaugePrints(w, *line, "  1:  4.56 mm\r\n");
    w.desk.set(DeskState{});
    w.shell->exportLoop()->pass();
    w.desk.set(locked);
    gaugePrints(w, *line, "  2:  4.57 mm\r\n");
    w.shell->command(CommandExitMenu);
    EXPECT_EQ(describeKeys(w.keys.events), "4,56 mm<ENTER>");

    const auto files = w.journalFiles.contents();
    const std::string path = w.where.programDirectory + "Journal" + testing::sep + "Valbrix-2026-12-08.csv";
    ASSERT_EQ(files.count(path), 1u);
    const std::vector<std::string> lines = linesOf(files.at(path));
    const std::string gauge = "2026-12-08T14:03:27+01:00;COM5;" + deviceLine("?") + ";";
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], gauge + "1;\"4,56\";mm;typed;;");
    EXPECT_EQ(lines[2], gauge + "2;\"4,57\";mm;held;;");
}

TEST(ShellJournal, AJournalThatCannotBeWrittenIsToldOnceAndTypingGoesOn) {
    for (const int language : {German, English}) {
        World w;
        w.journalFiles.refuseWrites();
        const std::shared_ptr<FakeLine> line = w.addPort(5);
        w.settingsFile("ComPort=5\r\nJournal=1\r\nLanguage=" + std::to_string(language) + "\r\n");
        w.start();
        w.shell->command(ContinueButton);
        for (int i = 1; i <= 3; ++i) gaugePrints(w, *line, "  " + std::to_string(i) + ":  4.56 mm\r\n");
        const std::string told = filledIn(text::journalNotWritten.in(language),
                                          w.where.programDirectory + "Journal" + testing::sep + "Valbrix-2026-12-08.csv");
        // The journal writes on a thread of its own; the test waits for its three attempts and its word.
        const auto toldCount = [&] {
            w.host.runPosted();
            const std::vector<std::string> texts = w.statusTexts();
            return std::count(texts.begin(), texts.end(), told);
        };
        EXPECT_TRUE(testing::pollFor(10000, [&] { return w.journalFiles.attemptCount() == 3 && toldCount() > 0; }));
        EXPECT_EQ(toldCount(), 1);
        EXPECT_EQ(describeKeys(w.keys.events), "4,56 mm<ENTER>4,56 mm<ENTER>4,56 mm<ENTER>");
    }
}

}  // namespace
}  // namespace valbrix
