#include "chm_project.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace valbrix::manual {
namespace {

const Language german{"de", 0x0407, ',', "VALBRIXHELP_DE"};

std::vector<Page> pages() {
    return {
        {"index.html",
         "<html><head><meta name=\"keywords\" content=\"Zeta; \xC3\x84rger; alpha\"><title>\xC3\x9C" "ber Valbrix</title>"
         "<link rel=\"stylesheet\" href=\"../style.css\"></head><body><ol class=\"contents\"><li><a href=\"p.html\">P</a></ol>"
         "</body></html>"},
        {"p.html",
         "<html><head><meta name=\"keywords\" content=\"alpha\"><title>Port</title></head><body>"
         "<h2 id=\"a\">Teil A</h2><img src=\"../pictures/x.png\" alt=\"x\"><a href=\"index.html#top\">i</a>"
         "<a href=\"#a\">a</a></body></html>"},
    };
}

TEST(ChmProject, HoldsEveryPageAndWhatTheyLinkTo) {
    const ChmProject project = chmProject(german, pages());
    EXPECT_EQ(project.files, (std::vector<std::string>{"de/index.html", "style.css", "de/p.html", "pictures/x.png"}));
    EXPECT_EQ(project.defaultTopic, "de/index.html");
    ASSERT_EQ(project.contents.size(), 2u);
    EXPECT_EQ(project.contents[1].local, "de/p.html");
    ASSERT_EQ(project.contents[1].children.size(), 1u);
    EXPECT_EQ(project.contents[1].children[0].name, "Teil A");
    EXPECT_EQ(project.contents[1].children[0].local, "de/p.html#a");
}

TEST(ChmProject, IndexIsSortedAsAReaderExpectsAndJoinsPagesOfOneKeyword) {
    const ChmProject project = chmProject(german, pages());
    std::vector<std::string> keywords;
    for (const IndexEntry& entry : project.index) keywords.push_back(entry.keyword);
    EXPECT_EQ(keywords, (std::vector<std::string>{"alpha", "\xC3\x84rger", "Port", "\xC3\x9C" "ber Valbrix", "Zeta"}));
    ASSERT_EQ(project.index[0].topics.size(), 2u);
    EXPECT_EQ(project.index[0].topics[1].local, "de/p.html");
}

TEST(ChmProject, FilesAreInWindows1252ForTheHelpViewer) {
    const ChmProject project = chmProject(german, pages());
    const std::string contents = contentsFile(project);
    EXPECT_NE(contents.find("value=\"\xDC" "ber Valbrix\""), std::string::npos);
    EXPECT_EQ(contents.find("\xC3\x9C"), std::string::npos);
    EXPECT_NE(indexFile(project).find("value=\"\xC4rger\""), std::string::npos);
    const std::string hhp = projectFile(project);
    for (const char* line : {"Language=0x0407\r\n", "Default topic=de/index.html\r\n", "Compiled file=VALBRIXHELP_DE.chm\r\n",
                             "Contents file=VALBRIXHELP_DE.hhc\r\n", "Title=\xDC" "ber Valbrix\r\n",
                             "[FILES]\r\nde/index.html\r\nstyle.css\r\n"})
        EXPECT_NE(hhp.find(line), std::string::npos) << line;
}

TEST(ChmProject, RefusesATitleWindows1252CannotHold) {
    std::vector<Page> arrow = pages();
    arrow[1].html.replace(arrow[1].html.find("<title>Port"), 11, "<title>A \xE2\x86\x92 B");
    const ChmProject project = chmProject(german, arrow);
    EXPECT_THROW(contentsFile(project), std::runtime_error);
    EXPECT_THROW(chmProject(german, {}), std::runtime_error);
}

}  // namespace
}  // namespace valbrix::manual
