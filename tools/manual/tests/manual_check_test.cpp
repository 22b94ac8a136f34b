#include "manual_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "html_text.h"
#include "manual_pages.h"
#include "readme.h"
#include "temp_folder.h"

namespace valbrix::manual {
namespace {

namespace fs = std::filesystem;

ManualFacts programFacts() { return ManualFacts{gaugeFacts(), settingFacts(), programTexts({"COM Port", "Format"})}; }

std::string page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
           "</title><link rel=\"stylesheet\" href=\"../style.css\"></head>\n<body><h1>" + title + "</h1>\n" + body +
           "\n</body></html>\n";
}

std::string gaugeTable() {
    std::string rows;
    for (const GaugeFact& gauge : gaugeFacts()) rows += "<tr><td class=\"gauge\">" + escaped(gauge.name) + "</td></tr>\n";
    return "<table>\n" + rows + "</table>";
}

std::string settingsTable(bool german) {
    std::string rows = "<tr><th>Key</th><th>Default</th></tr>\n";
    for (const SettingFact& setting : settingFacts())
        rows += "<tr><td><code class=\"key\">" + setting.key + "</code></td><td><code class=\"default\">" +
                escaped(setting.defaultValue) + "</code></td><td class=\"saved\">" +
                (setting.savedAtExit ? (german ? "ja" : "yes") : (german ? "nein" : "no")) + "</td></tr>\n";
    return "<table class=\"settings\">\n" + rows + "</table>";
}

// Every report of the status line and the tray tip, quoted with a port and a group filled in.
std::string reportList(bool german) {
    const ProgramTexts texts = programTexts({});
    std::string items;
    for (std::string report : german ? texts.germanReports : texts.englishReports) {
        for (const auto& [mark, value] : {std::pair{"%1", "COM5"}, std::pair{"%2", "dialout"}})
            if (const std::size_t at = report.find(mark); at != std::string::npos) report.replace(at, 2, value);
        items += "<li><span class=\"ui\">" + escaped(report) + "</span></li>\n";
    }
    return "<ul>\n" + items + "</ul>";
}

// A small manual in both languages that passes every check: a start page with its contents, a page
// with links, anchors, a picture and quoted texts, the gauge list, the settings table and a page that
// quotes every report of the status line and the tray tip.
class ManualCheck : public ::testing::Test {
protected:
    void SetUp() override {
        for (const bool german : {true, false}) {
            const fs::path folder = root() / (german ? "de" : "en");
            writeFile(folder / "index.html",
                      page("Valbrix", "<ol class=\"contents\"><li><a href=\"p.html\">P</a><li><a href=\"gauges.html\">G</a>"
                                      "<li><a href=\"settings-file.html\">S</a><li><a href=\"reports.html\">R</a></ol>\n"
                                      "<h2 id=\"top\">Top</h2>"));
            writeFile(folder / "p.html",
                      page("P", std::string("<p><a href=\"index.html#top\">back</a> <a href=\"#here\">here</a></p>\n") +
                                    "<h2 id=\"here\">Here</h2><p><img src=\"../pictures/x.png\" alt=\"a picture\"></p>\n" +
                                    "<p><span class=\"ui\">" + (german ? "Hilfe" : "Help") + "</span> and the " +
                                    "<span class=\"ui\">COM Port</span> list, the key <code class=\"key\">MaxCom</code>, " +
                                    "the gauge Pocket-VARNITRON 6121 and <span class=\"ui\">VARNITRON 6141 / " +
                                    "MAGNOTELLAR 7482 / QMV 8525&nbsp; / PULSOVANT 5264</span>.</p>"));
            writeFile(folder / "gauges.html", page("G", gaugeTable()));
            writeFile(folder / "settings-file.html", page("S", settingsTable(german)));
            writeFile(folder / "reports.html", page("R", reportList(german)));
        }
        writeFile(root() / "style.css", "body {}\n");
        writeFile(root() / "pictures" / "x.png", "png");
    }

    fs::path root() const { return folder.root / "html"; }

    testing::TempFolder folder;
};

TEST_F(ManualCheck, ASoundManualHasNoProblems) { EXPECT_EQ(checkManual(root(), programFacts()), std::vector<std::string>{}); }

TEST_F(ManualCheck, EachFaultIsReportedOnItsPage) {
    struct Fault {
        const char* file;
        const char* from;
        const char* to;  // nullptr: the file is removed
        const char* problem;
    };
    const Fault faults[] = {
        {"de/p.html", "index.html#top", "missing.html", "de/p.html: links to a file that is not there: missing.html"},
        {"de/p.html", "index.html#top", "index.html#nowhere", "de/p.html: links to an anchor that is not there"},
        {"en/p.html", "#here\"", "#gone\"", "en/p.html: links to an anchor that is not there: #gone"},
        {"de/p.html", "x.png", "y.png", "de/p.html: links to a file that is not there: ../pictures/y.png"},
        {"de/p.html", " alt=\"a picture\"", "", "de/p.html: picture without a description"},
        {"en/p.html", "<img src=\"../pictures/x.png\"", "<img class=\"screenshot\" src=\"../pictures/windows-x.png\"",
         "en/p.html: shows a screenshot of the Windows program: ../pictures/windows-x.png"},
        {"en/p.html", "index.html#top", "https://example.org/", "en/p.html: link leaves the manual"},
        {"en/p.html", "index.html#top", "../../../etc/passwd", "en/p.html: links to a file that is not there"},
        {"de/index.html", "<li><a href=\"p.html\">P</a>", "", "de/p.html: not in the contents of index.html"},
        {"en/p.html", "", nullptr, "en/p.html: missing, the other language has it"},
        {"de/p.html", "<title>P</title>", "<title></title>", "de/p.html: no title"},
        {"de/gauges.html", "<tr><td class=\"gauge\">QMV 8525</td></tr>", "", "de/gauges.html: the gauge list lacks QMV 8525"},
        {"en/gauges.html", "QMV 8525</td>", "QMV 8527</td>", "names a gauge the program does not know: QMV 8527"},
        {"de/p.html", "Pocket-VARNITRON 6121", "VARNITRON 6121", "de/p.html: names a gauge the program does not show: VARNITRON 6121"},
        {"de/settings-file.html", "default\">30<", "default\">31<", "MaxCom: the default is 30, the table says 31"},
        {"en/settings-file.html", "MaxCom</code></td><td><code class=\"default\">30</code></td><td class=\"saved\">no",
         "MaxCom</code></td><td><code class=\"default\">30</code></td><td class=\"saved\">yes",
         "MaxCom: is not written at exit, the table says yes"},
        {"de/settings-file.html", "<code class=\"key\">Device</code>", "<code class=\"key\">Gauge</code>",
         "the settings table lacks the key Device"},
        {"en/p.html", "MaxCom", "MaxPort", "en/p.html: names a settings key the program does not read: MaxPort"},
        {"de/p.html", ">Hilfe<", ">Help<", "de/p.html: quotes a text the program does not show in this language: \"Help\""},
        {"de/gauges.html", "", nullptr, "de/gauges.html: missing"},
        {"en/reports.html", "<li><span class=\"ui\">Port disconnected.</span></li>", "",
         "en: no page quotes the status-line text or tray tip \"Port disconnected.\""},
        {"de/reports.html", "<li><span class=\"ui\">COM5 Werte verworfen: Die Eingabe kam nicht nach.</span></li>", "",
         "de: no page quotes the status-line text or tray tip \"%1 Werte verworfen: Die Eingabe kam nicht nach.\""},
        {"en/reports.html", "COM5 connected again.", "COM5 is connected again.",
         "en/reports.html: quotes a text the program does not show in this language: \"COM5 is connected again.\""},
        {"en/reports.html", "COM5 connected again.", "COM5 is connected again.",
         "en: no page quotes the status-line text or tray tip \"%1 connected again.\""},
        {"en/reports.html", "COM5 connected again.", " connected again.",
         "en: no page quotes the status-line text or tray tip \"%1 connected again.\""},
        {"de/reports.html", "COM5: kein Zugriff (Gruppe dialout)", "COM5: kein Zugriff (Gruppe dial out)",
         "de: no page quotes the status-line text or tray tip \"%1: kein Zugriff (Gruppe %2)\""},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(std::string(fault.file) + ": " + fault.from);
        testing::TempFolder copy;
        fs::copy(root(), copy.root / "html", fs::copy_options::recursive);
        const fs::path file = copy.root / "html" / fault.file;
        if (fault.to == nullptr) {
            fs::remove(file);
        } else {
            std::string text = readFile(file);
            const std::size_t at = text.find(fault.from);
            ASSERT_NE(at, std::string::npos);
            writeFile(file, text.replace(at, std::string(fault.from).size(), fault.to));
        }
        const std::vector<std::string> problems = checkManual(copy.root / "html", programFacts());
        const bool reported = std::any_of(problems.begin(), problems.end(), [&](const std::string& problem) {
            return problem.find(fault.problem) != std::string::npos;
        });
        EXPECT_TRUE(reported) << "expected: " << fault.problem << "\ngot:\n" << ::testing::PrintToString(problems);
    }
}

TEST_F(ManualCheck, AKeyTheProgramGainsIsMissingFromTheTable) {
    ManualFacts facts = programFacts();
    facts.settings.push_back(SettingFact{"BaudRate", "4800", true});
    const std::vector<std::string> problems = checkManual(root(), facts);
    EXPECT_NE(std::find(problems.begin(), problems.end(), "de/settings-file.html: the settings table lacks the key BaudRate"),
              problems.end());
}

TEST_F(ManualCheck, AReportTheProgramGainsIsExplainedNowhere) {
    ManualFacts facts = programFacts();
    facts.texts.englishReports.insert("%1 ports found.");
    const std::vector<std::string> problems = checkManual(root(), facts);
    EXPECT_EQ(problems, std::vector<std::string>{"en: no page quotes the status-line text or tray tip \"%1 ports found.\""});
}

TEST_F(ManualCheck, TheReadmesSayWhatTheProgramAndTheManualSayAndGoStaleWithThem) {
    const std::vector<Readme> readmes = windowsReadmes(root(), settingFacts());
    struct Case {
        const char* file;
        std::vector<std::string> said;
        std::vector<std::string> unsaid;
    };
    const Case cases[] = {
        {"README.txt",
         {"\"Transfer active\", \"Find Device\", \"Settings\", \"Help\", \"Leave Program\"", "- KeyDelay (default 0): ",
          "- AskForClose (default 0): ", "- MaxCom (default 30): ", "- AutoMinimize (default 0): ",
          "- DisplayUSBPorts (default 0): ", "- DisplayPortChanged (default 0): ", "beside Valbrix.exe as long as",
          "%LOCALAPPDATA%\\Oden_Malvert\\Valbrix\\Valbrix.ini", "VALBRIXHELP_EN.chm", "@VERSION@"},
         {"\"Exit\"", "clock"}},
        {"LIESMICH.txt",
         {"\"Daten \xC3\xBC" "bertragen\", \"Ger\xC3\xA4t suchen\", \"Einstellungen\", \"Hilfe\", \"Beenden\"",
          "- KeyDelay (Vorgabe 0): ", "- AskForClose (Vorgabe 0): ", "- MaxCom (Vorgabe 30): ", "VALBRIXHELP_DE.chm",
          "@VERSION@"},
         {"Uhr"}},
    };
    ASSERT_EQ(readmes.size(), std::size(cases));
    for (std::size_t i = 0; i < readmes.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(readmes[i].file, c.file);
        // Read as one line, wherever the lines were folded.
        std::string folded;
        for (const char ch : readmes[i].text)
            if (ch != '\n' && (ch != ' ' || folded.empty() || folded.back() != ' ')) folded += ch;
            else if (ch == '\n' && (folded.empty() || folded.back() != ' ')) folded += ' ';
        for (const std::string& said : c.said) EXPECT_NE(folded.find(said), std::string::npos) << c.file << ": " << said;
        for (const std::string& unsaid : c.unsaid)
            EXPECT_EQ(folded.find(unsaid), std::string::npos) << c.file << ": " << unsaid;
        std::size_t lineStart = 0;
        for (std::size_t end; (end = readmes[i].text.find('\n', lineStart)) != std::string::npos; lineStart = end + 1) {
            const std::string line = readmes[i].text.substr(lineStart, end - lineStart);
            std::size_t characters = 0;
            for (const char ch : line) characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
            EXPECT_LE(characters, 101u) << c.file << ": " << line;  // 100 and the byte-order mark
        }
    }

    const fs::path packaging = folder.root / "packaging";
    for (const Readme& readme : readmes) writeFile(packaging / readme.file, readme.text);
    EXPECT_EQ(checkReadmes(packaging, readmes), std::vector<std::string>{});
    writeFile(packaging / "README.txt", readmes[0].text + "Exit\n");
    fs::remove(packaging / "LIESMICH.txt");
    const std::vector<std::string> problems = checkReadmes(packaging, readmes);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("README.txt: not what the manual and the program say now"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("LIESMICH.txt: missing"), std::string::npos) << problems[1];

    // A key the read-me names that the manual's table lost is an error, not a silent gap.
    writeFile(root() / "en" / "settings-file.html", page("S", "<table class=\"settings\"></table>"));
    EXPECT_THROW(windowsReadmes(root(), settingFacts()), std::runtime_error);
}

}  // namespace
}  // namespace valbrix::manual
