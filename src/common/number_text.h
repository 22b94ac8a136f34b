#pragma once
// Numbers written as fixed-point text the same way on every system. The C runtimes differ on exact
// ties (glibc rounds 1.125 to "1.12", the classic Windows runtime to "1.13"), so the program does
// not leave its number texts to printf.

#include <string>

namespace valbrix {

// The most decimals a text is written with; more are taken as this many.
inline constexpr int maximumDecimals = 99;

// The value with `decimals` decimals (a negative count as none), like printf's "%W.Df" of the value
// widened to double: rounded by its exact binary value, the sign kept also when the text is all
// zeros ("-0.00"), padded with spaces on the left to minimumWidth characters, "inf" and "nan" for
// what is no number. An exact tie is rounded away from zero: 1.125 with two decimals is "1.13",
// -2.5 with none "-3".
std::string fixedPointText(float value, int decimals, int minimumWidth = 0);

}  // namespace valbrix
