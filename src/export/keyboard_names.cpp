#include "export/keyboard_names.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace valbrix {
namespace {

struct NameKey {
    const char* fileKey;
    const char* environmentKey;
    std::string KeyboardNames::*field;
};

constexpr NameKey nameKeys[] = {
    {"XKBMODEL", "XKB_DEFAULT_MODEL", &KeyboardNames::model},
    {"XKBLAYOUT", "XKB_DEFAULT_LAYOUT", &KeyboardNames::layout},
    {"XKBVARIANT", "XKB_DEFAULT_VARIANT", &KeyboardNames::variant},
    {"XKBOPTIONS", "XKB_DEFAULT_OPTIONS", &KeyboardNames::options},
};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string unquoted(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

KeyboardNames keyboardNamesFromDefaults(const std::string& fileText) {
    KeyboardNames names;
    std::istringstream lines(fileText);
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string::npos) continue;
        const std::string key = trimmed(line.substr(0, equals));
        for (const NameKey& name : nameKeys)
            if (key == name.fileKey) names.*name.field = unquoted(trimmed(line.substr(equals + 1)));
    }
    return names;
}

KeyboardNames configuredKeyboardNames(const char* defaultsPath) {
    std::ifstream file(defaultsPath);
    std::stringstream text;
    text << file.rdbuf();
    KeyboardNames names = keyboardNamesFromDefaults(text.str());
    for (const NameKey& name : nameKeys)
        if (const char* value = std::getenv(name.environmentKey); value != nullptr && *value != '\0')
            names.*name.field = value;
    return names;
}

}  // namespace valbrix
