#include "manual_check.h"

#include <algorithm>
#include <regex>
#include <set>

#include "html_text.h"
#include "manual_pages.h"

namespace valbrix::manual {
namespace {

namespace fs = std::filesystem;

constexpr const char* gaugePage = "gauges.html";
constexpr const char* settingsPage = "settings-file.html";

std::vector<std::string> htmlFiles(const fs::path& folder) {
    std::vector<std::string> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".html") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

void prefixed(const std::string& prefix, const std::vector<std::string>& problems, std::vector<std::string>& into) {
    for (const std::string& problem : problems) into.push_back(prefix + ": " + problem);
}

bool isInside(const fs::path& path, const fs::path& root) {
    const fs::path relative = path.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

std::vector<std::string> pageLinkProblems(const fs::path& page, const fs::path& htmlRoot) {
    static const std::regex image(R"re(<img\b[^>]*>)re", std::regex::icase);
    static const std::regex alt(R"re(\salt\s*=\s*"[^"]+")re", std::regex::icase);
    std::vector<std::string> problems;
    const std::string html = readFile(page);
    for (const std::string& target : linkTargets(html)) {
        if (target.find(':') != std::string::npos) {
            problems.push_back("link leaves the manual: " + target);
            continue;
        }
        const std::size_t hash = target.find('#');
        const std::string file = target.substr(0, hash);
        const fs::path resolved = file.empty() ? page : (page.parent_path() / file).lexically_normal();
        if (!isInside(resolved, htmlRoot.lexically_normal()) || !fs::is_regular_file(resolved)) {
            problems.push_back("links to a file that is not there: " + target);
            continue;
        }
        if (hash == std::string::npos) continue;
        const std::vector<std::string> ids = anchorIds(readFile(resolved));
        if (std::find(ids.begin(), ids.end(), target.substr(hash + 1)) == ids.end())
            problems.push_back("links to an anchor that is not there: " + target);
    }
    for (auto match = std::sregex_iterator(html.begin(), html.end(), image); match != std::sregex_iterator(); ++match)
        if (!std::regex_search(match->str(), alt)) problems.push_back("picture without a description: " + match->str());
    return problems;
}

std::set<std::string> gaugeNames(const std::vector<GaugeFact>& gauges) {
    std::set<std::string> names;
    for (const GaugeFact& gauge : gauges) names.insert(gauge.name);
    return names;
}

// A page shows a run of spaces as one unless it writes them as no-break spaces; either way the
// reader sees the program's text.
std::string spacesFolded(const std::string& text) {
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool noBreak = text.compare(i, 2, "\xC2\xA0") == 0;
        if (text[i] != ' ' && !noBreak) {
            folded += text[i];
            continue;
        }
        if (noBreak) ++i;
        if (folded.empty() || folded.back() != ' ') folded += ' ';
    }
    return folded;
}

// A text the program reports with %1 and %2 filled in: each of them stands for a word of one or more
// characters without a space (COM5, 12, dialout), the rest must be as the program has it.
bool fillsIn(const std::string& text, std::size_t at, const std::string& report, std::size_t from) {
    if (from == report.size()) return at == text.size();
    const bool placeholder =
        report[from] == '%' && from + 1 < report.size() && report[from + 1] >= '1' && report[from + 1] <= '9';
    if (!placeholder) return at < text.size() && text[at] == report[from] && fillsIn(text, at + 1, report, from + 1);
    for (std::size_t end = at + 1; end <= text.size() && text[end - 1] != ' '; ++end)
        if (fillsIn(text, end, report, from + 2)) return true;
    return false;
}

bool quotesReport(const std::string& text, const std::string& report) {
    return fillsIn(spacesFolded(text), 0, spacesFolded(report), 0);
}

const SettingFact* findSetting(const std::vector<SettingFact>& settings, const std::string& key) {
    for (const SettingFact& setting : settings)
        if (setting.key == key) return &setting;
    return nullptr;
}

}  // namespace

std::vector<std::string> checkManual(const fs::path& htmlRoot, const ManualFacts& facts) {
    std::vector<std::string> problems = checkPages(htmlRoot);
    const std::vector<std::string> links = checkLinks(htmlRoot);
    problems.insert(problems.end(), links.begin(), links.end());
    for (const Language& language : languages()) {
        const fs::path folder = htmlRoot / language.folder;
        const bool german = std::string(language.folder) == "de";
        std::vector<std::string> quoted;
        for (const std::string& file : htmlFiles(folder)) {
            const std::string page = readFile(folder / file);
            const std::string name = std::string(language.folder) + "/" + file;
            prefixed(name, checkGaugeNames(page, facts.gauges), problems);
            prefixed(name, checkSettingsKeys(page, facts.settings), problems);
            prefixed(name, checkProgramTexts(page, german, facts.texts), problems);
            // The pages in the browser are the Linux program's; the help file swaps in the Windows ones.
            for (const std::string& shot : screenshots(page))
                if (fs::path(shot).filename().string().rfind("windows-", 0) == 0)
                    problems.push_back(name + ": shows a screenshot of the Windows program: " + shot);
            if (file == gaugePage) prefixed(name, checkGaugeList(page, facts.gauges), problems);
            if (file == settingsPage) prefixed(name, checkSettingsTable(page, facts.settings), problems);
            const std::vector<std::string> texts = textsOfClass(page, "ui");
            quoted.insert(quoted.end(), texts.begin(), texts.end());
        }
        prefixed(language.folder,
                 checkReportsExplained(quoted, german ? facts.texts.germanReports : facts.texts.englishReports), problems);
        for (const char* required : {gaugePage, settingsPage})
            if (!fs::is_regular_file(folder / required))
                problems.push_back(std::string(language.folder) + "/" + required + ": missing");
    }
    return problems;
}

std::vector<std::string> checkLinks(const fs::path& htmlRoot) {
    std::vector<std::string> problems;
    for (const Language& language : languages())
        for (const std::string& file : htmlFiles(htmlRoot / language.folder))
            prefixed(std::string(language.folder) + "/" + file,
                     pageLinkProblems(htmlRoot / language.folder / file, htmlRoot), problems);
    return problems;
}

std::vector<std::string> checkPages(const fs::path& htmlRoot) {
    std::vector<std::string> problems;
    const std::vector<std::string> first = htmlFiles(htmlRoot / languages().front().folder);
    for (const Language& language : languages()) {
        const std::string folder = language.folder;
        const std::vector<std::string> files = htmlFiles(htmlRoot / folder);
        for (const std::string& file : first)
            if (std::find(files.begin(), files.end(), file) == files.end())
                problems.push_back(folder + "/" + file + ": missing, the other language has it");
        for (const std::string& file : files)
            if (std::find(first.begin(), first.end(), file) == first.end())
                problems.push_back(folder + "/" + file + ": the other language lacks it");
        if (std::find(files.begin(), files.end(), "index.html") == files.end()) {
            problems.push_back(folder + "/index.html: missing");
            continue;
        }
        const std::vector<std::string> contents = contentsOrder(readFile(htmlRoot / folder / "index.html"));
        for (const std::string& file : files) {
            const std::string page = readFile(htmlRoot / folder / file);
            if (elementText(page, "title").empty()) problems.push_back(folder + "/" + file + ": no title");
            if (elementText(page, "h1").empty()) problems.push_back(folder + "/" + file + ": no heading");
            if (file != "index.html" && std::find(contents.begin(), contents.end(), file) == contents.end())
                problems.push_back(folder + "/" + file + ": not in the contents of index.html");
        }
    }
    return problems;
}

std::vector<std::string> checkGaugeList(const std::string& page, const std::vector<GaugeFact>& gauges) {
    std::vector<std::string> problems;
    const std::vector<std::string> listed = textsOfClass(page, "gauge");
    for (const GaugeFact& gauge : gauges)
        if (std::find(listed.begin(), listed.end(), gauge.name) == listed.end())
            problems.push_back("the gauge list lacks " + gauge.name);
    const std::set<std::string> names = gaugeNames(gauges);
    for (const std::string& name : listed)
        if (names.count(name) == 0) problems.push_back("the gauge list names a gauge the program does not know: " + name);
    if (listed.size() != gauges.size())
        problems.push_back("the gauge list has " + std::to_string(listed.size()) + " rows, the program " +
                           std::to_string(gauges.size()) + " gauges");
    return problems;
}

std::vector<std::string> checkGaugeNames(const std::string& page, const std::vector<GaugeFact>& gauges) {
    static const std::regex named(R"re((?:Pocket-)?(?:VARNITRON|PULSOVANT|MAGNOTELLAR|QMV) \d{4})re");
    const std::set<std::string> names = gaugeNames(gauges);
    const std::string text = plainText(page);
    std::vector<std::string> problems;
    for (auto match = std::sregex_iterator(text.begin(), text.end(), named); match != std::sregex_iterator(); ++match)
        if (names.count(match->str()) == 0) problems.push_back("names a gauge the program does not show: " + match->str());
    return problems;
}

std::vector<std::string> checkSettingsTable(const std::string& page, const std::vector<SettingFact>& settings) {
    static const std::regex row(R"re(<tr\b[^>]*>([\s\S]*?)</tr>)re", std::regex::icase);
    std::vector<std::string> problems;
    const std::string table = elementWithClass(page, "table", "settings");
    std::set<std::string> rows;
    for (auto match = std::sregex_iterator(table.begin(), table.end(), row); match != std::sregex_iterator(); ++match) {
        const std::string cells = (*match)[1].str();
        const std::vector<std::string> key = textsOfClass(cells, "key");
        if (key.empty()) continue;
        const std::vector<std::string> defaults = textsOfClass(cells, "default");
        const std::vector<std::string> saved = textsOfClass(cells, "saved");
        rows.insert(key[0]);
        const SettingFact* setting = findSetting(settings, key[0]);
        if (setting == nullptr) {
            problems.push_back("the settings table has a key the program does not read: " + key[0]);
            continue;
        }
        if (defaults.empty() || defaults[0] != setting->defaultValue)
            problems.push_back(key[0] + ": the default is " + setting->defaultValue + ", the table says " +
                               (defaults.empty() ? "nothing" : defaults[0]));
        const bool yes = !saved.empty() && (saved[0] == "ja" || saved[0] == "yes");
        const bool no = !saved.empty() && (saved[0] == "nein" || saved[0] == "no");
        if (yes == no || yes != setting->savedAtExit)
            problems.push_back(key[0] + (setting->savedAtExit ? ": is written at exit" : ": is not written at exit") +
                               ", the table says " + (saved.empty() ? "nothing" : saved[0]));
    }
    for (const SettingFact& setting : settings)
        if (rows.count(setting.key) == 0) problems.push_back("the settings table lacks the key " + setting.key);
    return problems;
}

std::vector<std::string> checkSettingsKeys(const std::string& page, const std::vector<SettingFact>& settings) {
    std::vector<std::string> problems;
    for (const std::string& key : textsOfClass(page, "key"))
        if (findSetting(settings, key) == nullptr) problems.push_back("names a settings key the program does not read: " + key);
    return problems;
}

std::vector<std::string> checkProgramTexts(const std::string& page, bool german, const ProgramTexts& texts) {
    std::set<std::string> shown;
    for (const std::set<std::string>* set : {german ? &texts.german : &texts.english, &texts.neutral})
        for (const std::string& text : *set) shown.insert(spacesFolded(text));
    const std::set<std::string>& reports = german ? texts.germanReports : texts.englishReports;
    std::vector<std::string> problems;
    for (const std::string& text : textsOfClass(page, "ui")) {
        const bool reported = std::any_of(reports.begin(), reports.end(),
                                          [&](const std::string& report) { return quotesReport(text, report); });
        if (shown.count(spacesFolded(text)) == 0 && !reported)
            problems.push_back("quotes a text the program does not show in this language: \"" + text + "\"");
    }
    return problems;
}

std::vector<std::string> checkReportsExplained(const std::vector<std::string>& quoted, const std::set<std::string>& reports) {
    std::vector<std::string> problems;
    for (const std::string& report : reports)
        if (std::none_of(quoted.begin(), quoted.end(), [&](const std::string& text) { return quotesReport(text, report); }))
            problems.push_back("no page quotes the status-line text or tray tip \"" + report + "\"");
    return problems;
}

}  // namespace valbrix::manual
