#pragma once
// Text functions on zero-terminated 8-bit (Windows-1252) texts. The gauges, the settings file and the
// key names all speak in these texts, so every module shares one set of helpers.

#include <cstddef>

namespace valbrix {

// Index of the first occurrence of part in text, or -1 (also when either is empty or part is longer).
int find(const char* text, const char* part);
// find on upper-cased copies (only a to z are converted).
int containsNoCase(const char* text, const char* part);
int countChar(const char* text, char c);
// ASCII letters only: the gauges' unit words and the drop rules count A-Z and a-z, never accented bytes.
int countLetters(const char* text);
// Copies at most maximum characters and terminates; destination may overlap source shifted by one
// to the right (deleting the first character in place). destination holds maximum + 1 bytes.
void copyText(char* destination, const char* source, std::size_t maximum);
// Copies the first n characters (fewer when the source is shorter) and terminates.
void copyPrefix(char* destination, const char* source, std::size_t n);

// Upper-cased copy of at most 999 characters, in a buffer the caller keeps on its stack.
struct UpperText {
    static constexpr std::size_t capacity = 999;
    char text[capacity + 1];
};
UpperText upperCopy(const char* text);
char upperAscii(char c);

// Removes in place every character that is not a digit, '.', ',', 'e' or 'E'; a '-' stays only in the
// first position. Looks at no more than the first 999 positions.
void keepNumberChars(char* text);

}  // namespace valbrix
