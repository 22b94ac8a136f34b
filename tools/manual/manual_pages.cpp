#include "manual_pages.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "html_text.h"
#include "program_facts.h"

namespace valbrix::manual {
namespace {

// "1", "2", or a dash for the gauges recognised without a menu item of their own.
std::string groupCell(int modelGroup) { return modelGroup == 0 ? "\xE2\x80\x93" : std::to_string(modelGroup); }

std::string range(const std::string& first, const std::string& last) {
    return first == last ? first : first + " \xE2\x80\x93 " + last;
}

std::string gaugeRows() {
    std::string rows;
    for (const GaugeFact& gauge : gaugeFacts())
        rows += "<tr><td class=\"gauge\">" + escaped(gauge.name) + "</td><td>" + groupCell(gauge.modelGroup) +
                "</td></tr>\n";
    return rows;
}

std::string unitRows(char decimalSeparator) {
    std::string rows;
    for (const UnitFact& unit : unitFacts(decimalSeparator)) {
        std::string examples;
        for (const auto& [printed, typed] : unit.examples)
            examples += (examples.empty() ? "" : "<br>") + escaped(printed) + " \xE2\x86\x92 <code>" + escaped(typed) +
                        "</code>";
        rows += "<tr><td class=\"unit\">" + escaped(unit.withMicro) + "</td><td>" + escaped(unit.withPlainU) +
                "</td><td>" + examples + "</td></tr>\n";
    }
    return rows;
}

std::string portRows() {
    std::string rows;
    for (const PortRange& ports : portRanges())
        rows += "<tr><td>" + range("COM" + std::to_string(ports.firstPort), "COM" + std::to_string(ports.lastPort)) +
                "</td><td><code>" + escaped(range(ports.firstDevice, ports.lastDevice)) + "</code></td></tr>\n";
    return rows;
}

}  // namespace

const std::vector<Language>& languages() {
    static const std::vector<Language> all = {{"de", 0x0407, ',', "VALBRIXHELP_DE"},
                                              {"en", 0x0409, '.', "VALBRIXHELP_EN"}};
    return all;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path.string());
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> contentsOrder(const std::string& indexHtml) {
    std::vector<std::string> order;
    for (const std::string& target : linkTargets(elementWithClass(indexHtml, "ol", "contents")))
        if (std::find(order.begin(), order.end(), target) == order.end()) order.push_back(target);
    return order;
}

std::vector<Page> readPages(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".html") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());

    std::vector<std::string> order{"index.html"};
    if (std::find(files.begin(), files.end(), "index.html") != files.end())
        for (const std::string& file : contentsOrder(readFile(folder / "index.html")))
            if (std::find(order.begin(), order.end(), file) == order.end()) order.push_back(file);
    for (const std::string& file : files)
        if (std::find(order.begin(), order.end(), file) == order.end()) order.push_back(file);

    std::vector<Page> pages;
    for (const std::string& file : order)
        if (std::find(files.begin(), files.end(), file) != files.end()) pages.push_back(Page{file, readFile(folder / file)});
    return pages;
}

std::string withGeneratedParts(const std::string& html, char decimalSeparator) {
    static const std::regex placeholder(R"re(<!--\s*generated:\s*([\w-]+)\s*-->)re");
    std::string out;
    auto last = html.cbegin();
    for (auto match = std::sregex_iterator(html.begin(), html.end(), placeholder); match != std::sregex_iterator(); ++match) {
        const std::string name = (*match)[1].str();
        out.append(last, html.cbegin() + match->position());
        if (name == "gauge-rows") out += gaugeRows();
        else if (name == "unit-rows") out += unitRows(decimalSeparator);
        else if (name == "port-rows") out += portRows();
        else throw std::runtime_error("no generated part is called " + name);
        last = html.cbegin() + match->position() + match->length();
    }
    out.append(last, html.cend());
    return out;
}

std::string withWindowsScreenshots(const std::string& html, const std::filesystem::path& pictures) {
    static const std::regex screenshot(R"re((<img\b[^>]*\bclass="screenshot"[^>]*\bsrc="\.\./pictures/)([^"/]+)")re");
    std::string out;
    auto last = html.cbegin();
    for (auto match = std::sregex_iterator(html.begin(), html.end(), screenshot); match != std::sregex_iterator(); ++match) {
        const std::string name = (*match)[2].str();
        out.append(last, html.cbegin() + match->position());
        out += (*match)[1].str() + (std::filesystem::exists(pictures / ("windows-" + name)) ? "windows-" + name : name) + "\"";
        last = html.cbegin() + match->position() + match->length();
    }
    out.append(last, html.cend());
    return out;
}

std::vector<std::string> screenshots(const std::string& html) {
    static const std::regex screenshot(R"re(<img\b[^>]*\bclass="screenshot"[^>]*\bsrc="([^"]+)")re");
    std::vector<std::string> found;
    for (auto match = std::sregex_iterator(html.begin(), html.end(), screenshot); match != std::sregex_iterator(); ++match)
        found.push_back((*match)[1].str());
    return found;
}

}  // namespace valbrix::manual
