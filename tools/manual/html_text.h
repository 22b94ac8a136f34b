#pragma once
// Reading the manual's own pages: they are plain, hand-written HTML in UTF-8 with every attribute
// value in double quotes, so a few patterns find what the build and the checks need.

#include <string>
#include <vector>

namespace valbrix::manual {

// The values of every href and src attribute, in page order.
std::vector<std::string> linkTargets(const std::string& html);
// The values of every id attribute.
std::vector<std::string> anchorIds(const std::string& html);

// The text of every element whose class list holds className, tags removed, entities decoded and
// white space folded to single spaces.
std::vector<std::string> textsOfClass(const std::string& html, const std::string& className);
// The text of the first element with this tag name ("title", "h1"), or "".
std::string elementText(const std::string& html, const std::string& tag);
// The text between the first opening tag that carries classAttribute (e.g. class="contents") and
// its closing tag; "" when there is none.
std::string elementWithClass(const std::string& html, const std::string& tag, const std::string& className);

struct Section {
    std::string id;
    std::string title;
};
// Every <h2 id="..."> with its text.
std::vector<Section> sections(const std::string& html);
// The entries of <meta name="keywords" content="a; b">, trimmed.
std::vector<std::string> keywords(const std::string& html);

// Tags removed, entities decoded, runs of white space made one space, ends trimmed.
std::string plainText(const std::string& html);
// &amp; &lt; &gt; &quot; &apos; &nbsp; and numeric references, as UTF-8.
std::string decodeEntities(const std::string& text);
// Every character beyond ASCII as a numeric reference, so the page reads the same in any code page.
std::string asciiOnly(const std::string& utf8);
// & < > and " as entities, for text put into a page or an attribute.
std::string escaped(const std::string& text);

}  // namespace valbrix::manual
