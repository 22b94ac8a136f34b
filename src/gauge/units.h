#pragma once
// Unit codes as the parser stores them in MeasuredValue::unit.

#include <cstdint>

namespace valbrix {

enum UnitCode : std::uint8_t {
    UnitNone = 0,
    UnitMicrometre = 1,
    UnitMillimetre = 2,
    UnitMil = 3,
    UnitInch = 4,
    UnitPercent = 5,
    UnitMillitesla = 16,
    UnitAmperePerCm = 17,
    UnitKiloAmperePerM = 18,
    UnitGauss = 19,
    UnitInchPerMicrosecond = 32,
    UnitMetrePerSecond = 33,
    UnitMicrosecond = 34,
    UnitNanosecond = 35,
};

// The unit code of a printed unit word, compared exactly after upper-casing a to z; 0 when the word
// is not one the gauges print (or longer than 19 characters).
std::uint8_t unitFromWord(const char* word);

inline bool isMagneticUnit(int unit) { return unit >= UnitMillitesla && unit <= UnitGauss; }

}  // namespace valbrix
