#include "chm_project.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "html_text.h"
#include "qt/cp1252.h"

namespace valbrix::manual {
namespace {

constexpr const char* sitemapHeader =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
    "<meta name=\"GENERATOR\" content=\"valbrix-manual\">\r\n</HEAD>\r\n<BODY>\r\n";
// Tri-pane window that remembers its place, with contents, index and search tabs; buttons to hide
// the tabs, go back and forward, and for options and printing.
constexpr const char* navigationStyle = "0x42520";
constexpr const char* buttons = "0x304E";

std::string cp1252(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const std::string bytes = toCp1252(text);
    if (fromCp1252(bytes) != text) throw std::runtime_error("not in Windows-1252: " + utf8);
    return bytes;
}

std::string param(const char* name, const std::string& value) {
    return "<param name=\"" + std::string(name) + "\" value=\"" + escaped(value) + "\">";
}

void writeToc(const std::vector<TocEntry>& entries, std::string& out) {
    out += "<UL>\r\n";
    for (const TocEntry& entry : entries) {
        out += "<LI><OBJECT type=\"text/sitemap\">" + param("Name", cp1252(entry.name)) + param("Local", entry.local) +
               "</OBJECT>\r\n";
        if (!entry.children.empty()) writeToc(entry.children, out);
    }
    out += "</UL>\r\n";
}

// The index sorts as a reader expects: case, accents and ß do not count.
std::string sortKey(const std::string& utf8) {
    static const std::pair<const char*, const char*> folds[] = {
        {"\xC3\xA4", "a"}, {"\xC3\xB6", "o"}, {"\xC3\xBC", "u"}, {"\xC3\x84", "a"}, {"\xC3\x96", "o"},
        {"\xC3\x9C", "u"}, {"\xC3\x9F", "ss"}, {"\xC2\xB5", "m"}, {"\xC3\xA9", "e"}, {"\xC3\xA8", "e"}};
    std::string key;
    for (std::size_t i = 0; i < utf8.size();) {
        bool folded = false;
        for (const auto& [from, to] : folds) {
            const std::string pattern = from;
            if (utf8.compare(i, pattern.size(), pattern) == 0) {
                key += to;
                i += pattern.size();
                folded = true;
                break;
            }
        }
        if (folded) continue;
        const char c = utf8[i++];
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

}  // namespace

ChmProject chmProject(const Language& language, const std::vector<Page>& pages) {
    if (pages.empty()) throw std::runtime_error(std::string("no pages in ") + language.folder);
    const std::string folder = std::string(language.folder) + "/";
    ChmProject project{language, elementText(pages.front().html, "title"), folder + pages.front().file, {}, {}, {}};

    std::map<std::string, IndexEntry> index;
    for (const Page& page : pages) {
        const std::string local = folder + page.file;
        project.files.push_back(local);
        for (const std::string& target : linkTargets(page.html)) {
            const std::string file = target.substr(0, target.find('#'));
            if (file.empty() || file.find(':') != std::string::npos) continue;
            const std::string inProject = std::filesystem::path(folder + file).lexically_normal().generic_string();
            if (std::find(project.files.begin(), project.files.end(), inProject) == project.files.end() &&
                file.rfind(".html") == std::string::npos)
                project.files.push_back(inProject);
        }

        const std::string title = elementText(page.html, "title");
        TocEntry entry{title, local, {}};
        for (const Section& section : sections(page.html))
            entry.children.push_back(TocEntry{section.title, local + "#" + section.id, {}});
        project.contents.push_back(entry);

        std::vector<std::string> words = keywords(page.html);
        words.push_back(title);
        for (const std::string& word : words) {
            IndexEntry& found = index[sortKey(word) + '\x01' + word];
            found.keyword = word;
            const bool listed = std::any_of(found.topics.begin(), found.topics.end(),
                                            [&](const IndexTopic& topic) { return topic.local == local; });
            if (!listed) found.topics.push_back(IndexTopic{title, local});
        }
    }
    for (auto& [key, entry] : index) project.index.push_back(entry);
    return project;
}

std::string projectFile(const ChmProject& project) {
    const std::string name = project.language.helpFile;
    char lcid[8];
    std::snprintf(lcid, sizeof lcid, "0x%04X", project.language.lcid);
    const std::string title = cp1252(project.title);
    std::string out = "[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=" + name + ".chm\r\nContents file=" + name +
                      ".hhc\r\nIndex file=" + name + ".hhk\r\nDefault Window=main\r\nDefault topic=" +
                      project.defaultTopic + "\r\nDisplay compile progress=No\r\nFull-text search=Yes\r\nLanguage=" +
                      lcid + "\r\nTitle=" + title + "\r\n\r\n[WINDOWS]\r\nmain=\"" + title + "\",\"" + name + ".hhc\",\"" +
                      name + ".hhk\",\"" + project.defaultTopic + "\",\"" + project.defaultTopic + "\",,,,," +
                      navigationStyle + ",200," + buttons + ",[80,60,880,700],,,,,,,0\r\n\r\n[FILES]\r\n";
    for (const std::string& file : project.files) out += file + "\r\n";
    return out;
}

std::string contentsFile(const ChmProject& project) {
    std::string out = sitemapHeader;
    out += "<OBJECT type=\"text/site properties\">" + param("Window Styles", "0x800025") + "</OBJECT>\r\n";
    writeToc(project.contents, out);
    return out + "</BODY>\r\n</HTML>\r\n";
}

std::string indexFile(const ChmProject& project) {
    std::string out = sitemapHeader;
    out += "<UL>\r\n";
    for (const IndexEntry& entry : project.index) {
        out += "<LI><OBJECT type=\"text/sitemap\">" + param("Name", cp1252(entry.keyword));
        for (const IndexTopic& topic : entry.topics) out += param("Name", cp1252(topic.title)) + param("Local", topic.local);
        out += "</OBJECT>\r\n";
    }
    return out + "</UL>\r\n</BODY>\r\n</HTML>\r\n";
}

}  // namespace valbrix::manual
