#pragma once
// The number readers of the gauge printouts and the settings file. They reproduce the gauges' own
// reading: a decimal comma and a decimal point read alike, a second separator restarts the fraction,
// and there is no exponent ("1.5E3" reads 1.53). Every step is rounded to a 32-bit float.

namespace valbrix {

float readDecimal(const char* text);
// Leading digits only; saturates at the 32-bit range instead of wrapping.
int readInteger(const char* text);
// Hexadecimal digits; an empty text gives 0 and any other character gives -1.
int readHex(const char* text);
// Truncates toward zero, clamped to the 32-bit range (a float beyond it has no integer value).
int truncateToInt(float value);

}  // namespace valbrix
