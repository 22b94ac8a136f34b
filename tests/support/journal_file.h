#pragma once
// The journal's files as a spreadsheet reads them: UTF-8 after a byte order mark, ";" between fields,
// quotes around a field that holds a separator, a quote (doubled) or a line break, CR LF after a line.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace valbrix::testing {

// The day files in the folder, oldest first.
inline std::vector<std::filesystem::path> journalFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code missing;
    for (const auto& item : std::filesystem::directory_iterator(folder, missing))
        if (item.path().extension() == ".csv") files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The records of the file, fields joined by "|". Every line after the heading must begin with its local
// date and time and UTC offset, which is checked and left out; a record that breaks a rule says which.
inline std::vector<std::string> journalRows(const std::string& file) {
    if (file.rfind("\xEF\xBB\xBF", 0) != 0) return {"no byte order mark"};
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 3; i < file.size(); ++i) {
        const char c = file[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c != '"') field += c;
            else if (i + 1 < file.size() && file[i + 1] == '"') field += file[++i];
            else quoted = false;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ';') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (records.back().size() == 1 && records.back()[0].empty()) records.pop_back();
    else return {"the last line has no line end"};

    const std::regex stamp("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d");
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < records.size(); ++r) {
        std::vector<std::string> fields = records[r];
        if (fields.size() != 9) {
            rows.push_back("not nine fields: " + std::to_string(fields.size()));
            continue;
        }
        if (r > 0) {
            if (!std::regex_match(fields[0], stamp)) fields[1] = "bad time " + fields[0] + ": " + fields[1];
            fields.erase(fields.begin());
        }
        std::string row = fields[0];
        for (std::size_t f = 1; f < fields.size(); ++f) row += "|" + fields[f];
        rows.push_back(row);
    }
    return rows;
}

// Kept beside the pictures of the end-to-end tests, when the run keeps them.
inline void keepArtefact(const std::string& bytes, const std::string& name) {
    const char* folder = std::getenv("VALBRIX_ARTEFACTS");
    if (folder == nullptr || *folder == '\0') return;
    std::ofstream(std::filesystem::path(folder) / name, std::ios::binary) << bytes;
}

}  // namespace valbrix::testing
