#include "gauge/units.h"

#include <cstring>

#include "common/text.h"

namespace valbrix {
namespace {

struct UnitWord {
    const char* word;  // as printed, upper-cased
    std::uint8_t code;
};

constexpr UnitWord unitWords[] = {
    {"UM", UnitMicrometre},    {"MM", UnitMillimetre},          {"MILS", UnitMil},
    {"MIL", UnitMil},          {"INCH", UnitInch},              {"IN", UnitInch},
    {"%", UnitPercent},        {"MT", UnitMillitesla},          {"A/CM", UnitAmperePerCm},
    {"KA/M", UnitKiloAmperePerM}, {"GAUSS", UnitGauss},         {"IN/US", UnitInchPerMicrosecond},
    {"M/S", UnitMetrePerSecond}, {"US", UnitMicrosecond},       {"NS", UnitNanosecond},
};

constexpr std::size_t longestUnitWord = 19;

}  // namespace

std::uint8_t unitFromWord(const char* word) {
    if (std::strlen(word) > longestUnitWord) return UnitNone;
    const UpperText upper = upperCopy(word);
    for (const UnitWord& entry : unitWords)
        if (std::strcmp(upper.text, entry.word) == 0) return entry.code;
    return UnitNone;
}

}  // namespace valbrix
