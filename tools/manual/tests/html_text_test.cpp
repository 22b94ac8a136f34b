#include "html_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace valbrix::manual {
namespace {

TEST(HtmlText, AsciiOnlyWritesEveryOtherCharacterAsAReferenceThatDecodesBack) {
    struct Case {
        const char* utf8;
        const char* ascii;
    };
    const Case cases[] = {
        {"plain <b>text</b>", "plain <b>text</b>"},
        {"Ma\xC3\x9F" "einheit", "Ma&#223;einheit"},
        {"2,7 \xC2\xB5m", "2,7 &#181;m"},
        {"A \xE2\x86\x92 B", "A &#8594; B"},
        {"\xF0\x9F\x93\x8F", "&#128207;"},
        {"broken \xC3", "broken &#65533;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(asciiOnly(c.utf8), c.ascii) << c.utf8;
        if (std::string(c.utf8).find("broken") == std::string::npos) {
            EXPECT_EQ(decodeEntities(c.ascii), c.utf8);
        }
    }
}

TEST(HtmlText, DecodesTheEntitiesThePagesUseAndLeavesOtherAmpersandsAlone) {
    struct Case {
        const char* html;
        const char* text;
    };
    const Case cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"&#xB5;m and &#181;m", "\xC2\xB5m and \xC2\xB5m"},
        {"8525&nbsp; /", "8525\xC2\xA0 /"},
        {"COM &amp; LPT", "COM & LPT"},
        {"a & b; c", "a & b; c"},
        {"&nosuch; &#xZZ; &#;", "&nosuch; &#xZZ; &#;"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeEntities(c.html), c.text) << c.html;
}

TEST(HtmlText, FindsTheTextsOfAClassWithTagsAndSpacesFolded) {
    const std::string html =
        "<p>Choose <span class=\"ui\">Hilfe</span>, <b class=\"big ui\">Daten <i>\xC3\xBC</i>bertragen\n  now</b>"
        " but not <span class=\"uix\">this</span> or <code class=\"key\">ComPort</code>.</p>";
    EXPECT_EQ(textsOfClass(html, "ui"), (std::vector<std::string>{"Hilfe", "Daten \xC3\xBC" "bertragen now"}));
    EXPECT_EQ(textsOfClass(html, "key"), (std::vector<std::string>{"ComPort"}));
    EXPECT_EQ(plainText("  a <br>\n b&amp;c  "), "a b&c");
}

TEST(HtmlText, ReadsLinksAnchorsSectionsAndKeywords) {
    const std::string html =
        "<html><head><meta name=\"keywords\" content=\"port; COM &amp; LPT ;; dialout \">"
        "<title>Ports</title></head><body><h1>Ports on Linux</h1>"
        "<ol class=\"contents\"><li><a href=\"a.html\">A</a><li><a href=\"b.html#x\">B</a></ol>"
        "<h2 id=\"perm\">Permis<i>sions</i></h2><p id=\"p1\"><img src=\"../pictures/x.png\" alt=\"x\"></p>"
        "<link rel=\"stylesheet\" href=\"../style.css\"></body></html>";
    EXPECT_EQ(linkTargets(html),
              (std::vector<std::string>{"a.html", "b.html#x", "../pictures/x.png", "../style.css"}));
    EXPECT_EQ(anchorIds(html), (std::vector<std::string>{"perm", "p1"}));
    EXPECT_EQ(keywords(html), (std::vector<std::string>{"port", "COM & LPT", "dialout"}));
    EXPECT_EQ(elementText(html, "title"), "Ports");
    EXPECT_EQ(elementText(html, "h1"), "Ports on Linux");
    EXPECT_EQ(elementText(html, "h3"), "");
    ASSERT_EQ(sections(html).size(), 1u);
    EXPECT_EQ(sections(html)[0].id, "perm");
    EXPECT_EQ(sections(html)[0].title, "Permissions");
    EXPECT_EQ(linkTargets(elementWithClass(html, "ol", "contents")), (std::vector<std::string>{"a.html", "b.html#x"}));
}

TEST(HtmlText, EscapesWhatWouldEndATextOrAnAttribute) {
    EXPECT_EQ(escaped("a<b> & \"c\""), "a&lt;b&gt; &amp; &quot;c&quot;");
}

}  // namespace
}  // namespace valbrix::manual
