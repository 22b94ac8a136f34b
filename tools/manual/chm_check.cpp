#include "chm_check.h"

#include <algorithm>
#include <cstdint>
#include <regex>

#include "html_text.h"

namespace valbrix::manual {
namespace {

namespace fs = std::filesystem;

// The HTML Help system file: a version word, then records of a 16-bit code, a 16-bit length and data.
constexpr int systemDefaultTopic = 2;
constexpr int systemLocale = 4;

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct SystemFacts {
    std::uint32_t lcid = 0;
    std::string defaultTopic;
};

SystemFacts systemFacts(const std::string& system) {
    SystemFacts facts;
    for (std::size_t at = 4; at + 4 <= system.size();) {
        const std::uint32_t code = littleEndian(system, at, 2);
        const std::uint32_t length = littleEndian(system, at + 2, 2);
        at += 4;
        if (at + length > system.size()) break;
        if (code == systemLocale && length >= 4) facts.lcid = littleEndian(system, at, 4);
        if (code == systemDefaultTopic) facts.defaultTopic = system.substr(at, system.find('\0', at) - at);
        at += length;
    }
    return facts;
}

std::vector<std::string> locals(const std::string& sitemap) {
    static const std::regex local(R"re(<param name="Local" value="([^"]*)">)re", std::regex::icase);
    std::vector<std::string> found;
    for (auto match = std::sregex_iterator(sitemap.begin(), sitemap.end(), local); match != std::sregex_iterator(); ++match)
        found.push_back(decodeEntities((*match)[1].str()));
    return found;
}

void checkTargets(const fs::path& extracted, const std::string& what, const std::vector<std::string>& targets,
                  std::vector<std::string>& problems) {
    if (targets.empty()) problems.push_back(what + " is empty");
    for (const std::string& target : targets) {
        const std::string file = target.substr(0, target.find('#'));
        if (!fs::is_regular_file(extracted / file)) problems.push_back(what + " leads to a page it does not hold: " + target);
    }
}

}  // namespace

std::vector<std::string> checkExtractedChm(const fs::path& extracted, const fs::path& htmlRoot, const Language& language) {
    std::vector<std::string> problems;
    const std::string name = language.helpFile;
    const std::string folder = language.folder;
    for (const char* part : {".hhc", ".hhk"})
        if (!fs::is_regular_file(extracted / (name + part))) problems.push_back("holds no " + name + part);
    if (!fs::is_regular_file(extracted / "#SYSTEM")) problems.push_back("holds no #SYSTEM");
    if (!problems.empty()) return problems;

    const std::vector<std::string> contents = locals(readFile(extracted / (name + ".hhc")));
    checkTargets(extracted, "the table of contents", contents, problems);
    checkTargets(extracted, "the index", locals(readFile(extracted / (name + ".hhk"))), problems);

    const fs::path pages = htmlRoot / folder;
    std::vector<std::string> expected{"index.html"};
    for (const std::string& file : contentsOrder(readFile(pages / "index.html"))) expected.push_back(file);
    for (const std::string& file : expected) {
        if (std::find(contents.begin(), contents.end(), folder + "/" + file) == contents.end())
            problems.push_back("the table of contents lacks " + folder + "/" + file);
        if (!fs::is_regular_file(extracted / folder / file)) continue;
        const std::string page = readFile(extracted / folder / file);
        if (page != withWindowsScreenshots(readFile(pages / file), htmlRoot / "pictures"))
            problems.push_back(folder + "/" + file + " differs from the built page");
        // The help file compiles only the files its project lists: a picture left out is not there.
        for (const std::string& target : linkTargets(page)) {
            const std::string used = target.substr(0, target.find('#'));
            if (used.empty() || used.rfind(".html") != std::string::npos) continue;
            if (!fs::is_regular_file((extracted / folder / used).lexically_normal()))
                problems.push_back(folder + "/" + file + " shows " + used + ", which the help file does not hold");
        }
        for (const std::string& shot : screenshots(page))
            if (fs::path(shot).filename().string().rfind("windows-", 0) != 0)
                problems.push_back(folder + "/" + file + " shows a screenshot of the Linux program: " + shot);
    }

    const SystemFacts system = systemFacts(readFile(extracted / "#SYSTEM"));
    if (system.lcid != language.lcid) problems.push_back("its language is " + std::to_string(system.lcid));
    if (system.defaultTopic != folder + "/index.html") problems.push_back("opens at " + system.defaultTopic);
    return problems;
}

}  // namespace valbrix::manual
