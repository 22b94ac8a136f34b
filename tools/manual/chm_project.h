#pragma once
// The project of one HTML Help file: the project file chmcmd compiles, the table of contents and the
// index. Made from the built pages of one language, which keep their folder inside the help file
// (de/keys.html), so that their links to ../pictures and ../style.css hold there too.

#include <string>
#include <vector>

#include "manual_pages.h"

namespace valbrix::manual {

struct TocEntry {
    std::string name;   // UTF-8
    std::string local;  // "de/keys.html#sequence"
    std::vector<TocEntry> children;
};

struct IndexTopic {
    std::string title;
    std::string local;
};
struct IndexEntry {
    std::string keyword;
    std::vector<IndexTopic> topics;
};

struct ChmProject {
    Language language;
    std::string title;
    std::string defaultTopic;
    std::vector<std::string> files;  // every file the help file holds, relative to the project folder
    std::vector<TocEntry> contents;
    std::vector<IndexEntry> index;   // sorted as the index shows it
};

// pages: the built pages of the language, index.html first and the rest in reading order; every
// picture and style sheet they link to goes into the file list.
ChmProject chmProject(const Language& language, const std::vector<Page>& pages);

// The three files, in Windows-1252 as HTML Help reads them for a German or English help file.
// Throw std::runtime_error for a title or keyword that Windows-1252 cannot hold.
std::string projectFile(const ChmProject& project);
std::string contentsFile(const ChmProject& project);
std::string indexFile(const ChmProject& project);

}  // namespace valbrix::manual
