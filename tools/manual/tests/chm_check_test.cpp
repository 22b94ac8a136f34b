#include "chm_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace valbrix::manual {
namespace {

namespace fs = std::filesystem;

const Language german{"de", 0x0407, ',', "VALBRIXHELP_DE"};

std::string record(int code, const std::string& data) {
    std::string bytes;
    for (const int word : {code, static_cast<int>(data.size())}) {
        bytes += static_cast<char>(word & 0xFF);
        bytes += static_cast<char>(word >> 8);
    }
    return bytes + data;
}

std::string systemFile(unsigned lcid, const std::string& topic) {
    std::string locale(4, '\0');
    for (int i = 0; i < 4; ++i) locale[i] = static_cast<char>((lcid >> (8 * i)) & 0xFF);
    return std::string("\x03\0\0\0", 4) + record(9, std::string("HHA Version 4.74.8702\0", 22)) +
           record(4, locale + std::string(32, '\0')) + record(2, topic + '\0');
}

std::string sitemap(const std::vector<std::string>& locals) {
    std::string text = "<HTML><BODY><UL>\r\n";
    for (const std::string& local : locals)
        text += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\"><param name=\"Local\" value=\"" + local +
                "\"></OBJECT>\r\n";
    return text + "</UL></BODY></HTML>\r\n";
}

const std::string linuxPage = "<h1>P</h1><img class=\"screenshot\" src=\"../pictures/shot.png\" alt=\"the window\">";
const std::string windowsPage =
    "<h1>P</h1><img class=\"screenshot\" src=\"../pictures/windows-shot.png\" alt=\"the window\">";

// The built pages and what a CHM reader extracted from a sound help file made of them.
class ExtractedChm : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(html() / "de/index.html", "<ol class=\"contents\"><li><a href=\"p.html\">P</a></ol>");
        writeFile(html() / "de/p.html", linuxPage);
        for (const char* picture : {"pictures/shot.png", "pictures/windows-shot.png"}) writeFile(html() / picture, "png");
        writeFile(extracted() / "de/index.html", readFile(html() / "de/index.html"));
        // The help file shows the Windows program where the browser's page shows the Linux one.
        writeFile(extracted() / "de/p.html", windowsPage);
        writeFile(extracted() / "pictures/windows-shot.png", "png");
        writeFile(extracted() / "VALBRIXHELP_DE.hhc", sitemap({"de/index.html", "de/p.html", "de/p.html#a"}));
        writeFile(extracted() / "VALBRIXHELP_DE.hhk", sitemap({"de/p.html"}));
        writeFile(extracted() / "#SYSTEM", systemFile(0x0407, "de/index.html"));
    }
    fs::path html() const { return folder.root / "html"; }
    fs::path extracted() const { return folder.root / "extracted"; }

    testing::TempFolder folder;
};

TEST_F(ExtractedChm, ASoundHelpFileHasNoProblems) {
    EXPECT_EQ(checkExtractedChm(extracted(), html(), german), std::vector<std::string>{});
}

TEST_F(ExtractedChm, EachFaultIsReported) {
    struct Fault {
        const char* file;
        std::string bytes;  // empty: the file is removed
        const char* problem;
    };
    const Fault faults[] = {
        {"VALBRIXHELP_DE.hhc", sitemap({"de/index.html"}), "the table of contents lacks de/p.html"},
        {"VALBRIXHELP_DE.hhc", sitemap({"de/index.html", "de/p.html", "de/q.html"}),
         "the table of contents leads to a page it does not hold: de/q.html"},
        {"VALBRIXHELP_DE.hhk", sitemap({"de/gone.html#x"}), "the index leads to a page it does not hold: de/gone.html#x"},
        {"VALBRIXHELP_DE.hhk", sitemap({}), "the index is empty"},
        {"de/p.html", "<h1>Q</h1>", "de/p.html differs from the built page"},
        {"de/p.html", linuxPage, "de/p.html shows a screenshot of the Linux program: ../pictures/shot.png"},
        {"pictures/windows-shot.png", "", "de/p.html shows ../pictures/windows-shot.png, which the help file does not hold"},
        {"#SYSTEM", systemFile(0x0409, "de/index.html"), "its language is 1033"},
        {"#SYSTEM", systemFile(0x0407, "de/p.html"), "opens at de/p.html"},
        {"#SYSTEM", "", "holds no #SYSTEM"},
        {"VALBRIXHELP_DE.hhk", "", "holds no VALBRIXHELP_DE.hhk"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.problem);
        const std::string saved = readFile(extracted() / fault.file);
        if (fault.bytes.empty()) fs::remove(extracted() / fault.file);
        else writeFile(extracted() / fault.file, fault.bytes);
        const std::vector<std::string> problems = checkExtractedChm(extracted(), html(), german);
        EXPECT_NE(std::find(problems.begin(), problems.end(), fault.problem), problems.end())
            << ::testing::PrintToString(problems);
        writeFile(extracted() / fault.file, saved);
    }
}

}  // namespace
}  // namespace valbrix::manual
