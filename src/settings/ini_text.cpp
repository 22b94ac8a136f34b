#include "settings/ini_text.h"

#include <algorithm>
#include <cstddef>

#include "common/text.h"

namespace valbrix {
namespace {

// Only the start of a longer line is looked at: no settings line comes near this, and a binary file
// with no line ends at all then costs no more than a real one.
constexpr std::size_t lineLookLimit = 64 * 1024;

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;  // where the line end starts
    std::size_t end = 0;         // after the line end
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

Line lineAt(std::string_view text, std::size_t begin) {
    const std::size_t newline = text.find('\n', begin);
    if (newline == std::string_view::npos) return {begin, text.size(), text.size()};
    const bool crlf = newline > begin && text[newline - 1] == '\r';
    return {begin, crlf ? newline - 1 : newline, newline + 1};
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

std::string_view visiblePart(std::string_view text, const Line& line) {
    return trimmed(text.substr(line.begin, std::min(line.contentEnd - line.begin, lineLookLimit)));
}

ParsedLine parse(std::string_view text, const Line& line) {
    const std::string_view visible = visiblePart(text, line);
    if (!visible.empty() && visible.front() == '[') {
        const std::size_t close = visible.rfind(']');
        if (close == std::string_view::npos) return {};
        return {LineKind::Section, trimmed(visible.substr(1, close - 1)), {}};
    }
    const std::size_t equals = visible.find('=');
    if (equals == std::string_view::npos) return {};
    const std::string_view name = trimmed(visible.substr(0, equals));
    if (name.empty()) return {};
    return {LineKind::Key, name, trimmed(visible.substr(equals + 1))};
}

struct Found {
    bool section = false;
    Line lastOfSection;  // the header or the last line of the section with more than blanks
    bool key = false;
    Line keyLine;
    ParsedLine keyParsed;
};

Found locate(std::string_view text, std::string_view section, std::string_view key) {
    Found found;
    for (std::size_t at = 0; at < text.size();) {
        const Line line = lineAt(text, at);
        at = line.end;
        const ParsedLine parsed = parse(text, line);
        if (parsed.kind == LineKind::Section) {
            // A later section of the same name is never looked at.
            if (found.section) return found;
            if (sameName(parsed.name, section)) {
                found.section = true;
                found.lastOfSection = line;
            }
            continue;
        }
        if (!found.section) continue;
        if (parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            found.key = true;
            found.keyLine = line;
            found.keyParsed = parsed;
            return found;
        }
        if (!visiblePart(text, line).empty()) found.lastOfSection = line;
    }
    return found;
}

std::string_view lineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r')) return "\n";
    return "\r\n";
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key) {
    const Found found = locate(text, section, key);
    if (!found.key) return std::nullopt;
    std::string_view value = found.keyParsed.value;
    // Cut at a NUL, the blanks before it go too: written back, the value must read the same.
    value = trimmed(value.substr(0, value.find('\0')));
    // Like the profile calls: a value in matching single or double quotes reads without them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string iniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string_view lineEnd = lineEndOf(text);
    const Found found = locate(text, section, key);
    std::string result;
    if (found.key) {
        // The key keeps the spelling it has in the file.
        result.append(text.substr(0, found.keyLine.begin));
        result.append(found.keyParsed.name).append("=").append(value);
        result.append(text.substr(found.keyLine.contentEnd));
        return result;
    }
    if (found.section) {
        const Line& last = found.lastOfSection;
        result.append(text.substr(0, last.end));
        if (last.contentEnd == last.end) result.append(lineEnd);
        result.append(key).append("=").append(value).append(lineEnd);
        result.append(text.substr(last.end));
        return result;
    }
    result.append(text);
    if (!text.empty() && text.back() != '\n') result.append(lineEnd);
    result.append("[").append(section).append("]").append(lineEnd);
    result.append(key).append("=").append(value).append(lineEnd);
    return result;
}

}  // namespace valbrix
