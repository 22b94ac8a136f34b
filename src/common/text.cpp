#include "common/text.h"

#include <cstring>

namespace valbrix {

int find(const char* text, const char* part) {
    const std::size_t textLength = std::strlen(text);
    const std::size_t partLength = std::strlen(part);
    if (textLength == 0 || partLength == 0 || partLength > textLength) return -1;
    for (std::size_t i = 0; i + partLength <= textLength; ++i) {
        if (std::memcmp(text + i, part, partLength) == 0) return static_cast<int>(i);
    }
    return -1;
}

int containsNoCase(const char* text, const char* part) {
    const UpperText upperText = upperCopy(text);
    const UpperText upperPart = upperCopy(part);
    return find(upperText.text, upperPart.text);
}

int countChar(const char* text, char c) {
    int count = 0;
    for (; *text != '\0'; ++text) count += (*text == c);
    return count;
}

int countLetters(const char* text) {
    int count = 0;
    for (; *text != '\0'; ++text) {
        const char c = *text;
        count += ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
    }
    return count;
}

void copyText(char* destination, const char* source, std::size_t maximum) {
    std::size_t i = 0;
    // Front to back, so that a copy onto the same text shifted by one works.
    for (; i < maximum && source[i] != '\0'; ++i) destination[i] = source[i];
    destination[i] = '\0';
}

void copyPrefix(char* destination, const char* source, std::size_t n) {
    copyText(destination, source, n);
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

UpperText upperCopy(const char* text) {
    UpperText result;
    std::size_t i = 0;
    for (; i < UpperText::capacity && text[i] != '\0'; ++i) result.text[i] = upperAscii(text[i]);
    result.text[i] = '\0';
    return result;
}

void keepNumberChars(char* text) {
    constexpr std::size_t limit = 999;
    std::size_t out = 0;
    std::size_t in = 0;
    for (; in < limit && text[in] != '\0'; ++in) {
        const char c = text[in];
        const bool keep = (c >= '0' && c <= '9') || c == '.' || c == ',' || c == 'e' || c == 'E' ||
                          (c == '-' && in == 0);
        if (keep) text[out++] = c;
    }
    // Whatever lies past the examined positions stays behind the kept characters.
    if (out != in) std::memmove(text + out, text + in, std::strlen(text + in) + 1);
}

}  // namespace valbrix
