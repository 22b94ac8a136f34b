#pragma once

#include <cstdint>

namespace valbrix {

// One value as the gauge printed it.
struct MeasuredValue {
    std::int32_t number = 0;         // sequence number in front of the value (value or memory cell)
    std::int32_t integerDigits = 0;  // characters of the token before its separator, minus sign included
    std::int32_t decimals = 0;       // characters of the token after its separator
    float value = 0.0f;              // NoValue when the gauge printed dashes
    std::uint8_t unit = 0;           // unit code, 0 when missing or not recognised
    // Columns of the memory grid being dumped when the gauge printed the value, 0 outside a dump. It
    // travels with the value because a fast gauge may have ended the dump by the time it is typed.
    std::int32_t gridColumns = 0;
};

// The float nearest to -9e10: the gauge printed dashes instead of a number.
inline constexpr float NoValue = -89999998976.0f;

inline bool isNoValue(float value) { return value <= -8.0e9f; }

}  // namespace valbrix
