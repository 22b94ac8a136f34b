#include "html_text.h"

#include <cstdint>
#include <cstdlib>
#include <regex>

namespace valbrix::manual {
namespace {

std::vector<std::string> captures(const std::string& html, const std::regex& pattern, int group) {
    std::vector<std::string> found;
    for (auto match = std::sregex_iterator(html.begin(), html.end(), pattern); match != std::sregex_iterator(); ++match)
        found.push_back((*match)[group].str());
    return found;
}

std::string utf8(std::uint32_t codePoint) {
    std::string bytes;
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | (codePoint >> 6));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | (codePoint >> 12));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (codePoint >> 18));
        bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return bytes;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::vector<std::string> linkTargets(const std::string& html) {
    static const std::regex pattern(R"re(\s(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    return captures(html, pattern, 1);
}

std::vector<std::string> anchorIds(const std::string& html) {
    static const std::regex pattern(R"re(\sid\s*=\s*"([^"]*)")re", std::regex::icase);
    return captures(html, pattern, 1);
}

std::vector<std::string> textsOfClass(const std::string& html, const std::string& className) {
    static const std::regex pattern(R"re(<(\w+)[^>]*\sclass\s*=\s*"([^"]*)"[^>]*>([\s\S]*?)</\1>)re");
    std::vector<std::string> texts;
    for (auto match = std::sregex_iterator(html.begin(), html.end(), pattern); match != std::sregex_iterator(); ++match) {
        const std::string classes = " " + (*match)[2].str() + " ";
        if (classes.find(" " + className + " ") != std::string::npos) texts.push_back(plainText((*match)[3].str()));
    }
    return texts;
}

std::string elementText(const std::string& html, const std::string& tag) {
    const std::regex pattern("<" + tag + R"re((?:\s[^>]*)?>([\s\S]*?)</)re" + tag + ">", std::regex::icase);
    std::smatch match;
    return std::regex_search(html, match, pattern) ? plainText(match[1].str()) : std::string();
}

std::string elementWithClass(const std::string& html, const std::string& tag, const std::string& className) {
    const std::regex pattern("<" + tag + R"re(\s[^>]*class\s*=\s*")re" + className + R"re("[^>]*>([\s\S]*?)</)re" + tag +
                             ">");
    std::smatch match;
    return std::regex_search(html, match, pattern) ? match[1].str() : std::string();
}

std::vector<Section> sections(const std::string& html) {
    static const std::regex pattern(R"re(<h2\s[^>]*id\s*=\s*"([^"]*)"[^>]*>([\s\S]*?)</h2>)re", std::regex::icase);
    std::vector<Section> found;
    for (auto match = std::sregex_iterator(html.begin(), html.end(), pattern); match != std::sregex_iterator(); ++match)
        found.push_back(Section{(*match)[1].str(), plainText((*match)[2].str())});
    return found;
}

std::vector<std::string> keywords(const std::string& html) {
    static const std::regex pattern(R"re(<meta\s+name\s*=\s*"keywords"\s+content\s*=\s*"([^"]*)")re", std::regex::icase);
    std::smatch match;
    std::vector<std::string> found;
    if (!std::regex_search(html, match, pattern)) return found;
    const std::string list = decodeEntities(match[1].str());
    std::size_t start = 0;
    for (std::size_t end; start <= list.size(); start = end + 1) {
        end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (std::string entry = trimmed(list.substr(start, end - start)); !entry.empty()) found.push_back(entry);
    }
    return found;
}

std::string plainText(const std::string& html) {
    static const std::regex tags("<[^>]*>");
    const std::string decoded = decodeEntities(std::regex_replace(html, tags, ""));
    std::string folded;
    for (const char c : decoded) {
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!space) folded += c;
        else if (!folded.empty() && folded.back() != ' ') folded += ' ';
    }
    return trimmed(folded);
}

std::string decodeEntities(const std::string& text) {
    struct Named {
        const char* name;
        std::uint32_t codePoint;
    };
    static constexpr Named named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
        if (end == std::string::npos || end - i > 10) {
            out += text[i];
            continue;
        }
        const std::string name = text.substr(i + 1, end - i - 1);
        std::uint32_t codePoint = 0;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long number = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && *end == '\0' && number <= 0x10FFFF) codePoint = static_cast<std::uint32_t>(number);
        } else {
            for (const Named& entity : named)
                if (name == entity.name) codePoint = entity.codePoint;
        }
        if (codePoint == 0) {
            out += text[i];
            continue;
        }
        out += utf8(codePoint);
        i = end;
    }
    return out;
}

std::string asciiOnly(const std::string& utf8Text) {
    std::string out;
    for (std::size_t i = 0; i < utf8Text.size();) {
        const auto lead = static_cast<unsigned char>(utf8Text[i]);
        if (lead < 0x80) {
            out += utf8Text[i++];
            continue;
        }
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::uint32_t codePoint = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = length > 1 && i + length <= utf8Text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8Text[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        out += "&#" + std::to_string(valid ? codePoint : 0xFFFD) + ";";
        i += valid ? length : 1;
    }
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace valbrix::manual
