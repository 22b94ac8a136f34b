#include "common/numbers.h"

#include <climits>
#include <cstdint>

#include "common/text.h"

namespace valbrix {
namespace {

constexpr int workingSize = 99;

struct FilteredCopy {
    char text[workingSize + 1];
};

FilteredCopy filteredCopy(const char* text) {
    FilteredCopy copy;
    copyText(copy.text, text, workingSize);
    keepNumberChars(copy.text);
    return copy;
}

}  // namespace

float readDecimal(const char* text) {
    if (text[0] == '\0') return 0.0f;
    const FilteredCopy copy = filteredCopy(text);
    // volatile keeps each intermediate a true 32-bit float even where the compiler might widen it.
    volatile float result = 0.0f;
    volatile float scale = 0.0f;
    for (const char* p = copy.text; *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '9') {
            result = result * 10.0f;
            result = result + static_cast<float>(*p - '0');
            if (scale > 0.0f) scale = scale / 10.0f;
        } else if (*p == '.' || *p == ',') {
            scale = 1.0f;
        }
    }
    float value = result;
    if (scale != 0.0f) value = value * scale;
    return copy.text[0] == '-' ? -value : value;
}

int readInteger(const char* text) {
    if (text[0] == '\0') return 0;
    const FilteredCopy copy = filteredCopy(text);
    const bool negative = copy.text[0] == '-';
    std::int64_t value = 0;
    for (const char* p = copy.text + (negative ? 1 : 0); *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1) value = static_cast<std::int64_t>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int readHex(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        std::uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f') digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else return -1;
        value = value * 16u + digit;
    }
    return static_cast<int>(value);
}

int truncateToInt(float value) {
    if (value >= 2147483648.0f) return INT_MAX;
    if (value <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace valbrix
