#pragma once
// The manual as its source folder holds it: one folder of pages per language (de/, en/) with the same
// file names, the style sheet beside them, and pictures in pictures/ of the built manual. index.html
// of each language lists the other pages in reading order in its <ol class="contents">; that list
// is the table of contents of the help file as well.

#include <filesystem>
#include <string>
#include <vector>

namespace valbrix::manual {

struct Language {
    const char* folder;     // "de"
    unsigned lcid;          // the help file's language, which also sets the code page of its contents
    char decimalSeparator;  // the one the examples of this language show
    const char* helpFile;   // "VALBRIXHELP_DE", the name of the help file without ".chm"
};
const std::vector<Language>& languages();

struct Page {
    std::string file;  // "keys.html"
    std::string html;
};

// Every page of one language folder, index.html first, then in the order of its contents list, then
// any page the list misses (the checks report those).
std::vector<Page> readPages(const std::filesystem::path& folder);
// The pages the contents list of index.html links to, in its order.
std::vector<std::string> contentsOrder(const std::string& indexHtml);

// The page with every <!-- generated: NAME --> replaced by what the program says: gauge-rows,
// unit-rows and port-rows become table rows. Throws std::runtime_error for a name it does not know.
std::string withGeneratedParts(const std::string& html, char decimalSeparator);

// The page as the Windows help file shows it: a screenshot (an <img class="screenshot">) of the Linux
// program whose Windows twin, "windows-" and its name, is in the folder pictures shows the twin.
std::string withWindowsScreenshots(const std::string& html, const std::filesystem::path& pictures);
// The screenshots a page shows, as their src attributes give them.
std::vector<std::string> screenshots(const std::string& html);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace valbrix::manual
