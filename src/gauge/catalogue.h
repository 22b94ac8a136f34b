#pragma once
// What the program knows about the gauges: their names on screen, how each unit is written and how a
// value becomes the number text that is shown and typed. Constant tables, safe from any thread.

#include <string>

#include "gauge/gauge_models.h"

namespace valbrix {

// The model text prefixed with its family name ("6121" -> "Pocket-VARNITRON 6121"); unknown texts
// are returned as they are.
std::string displayName(const char* modelText);
// The gauge's name on screen: the display name of the first four characters of its model text.
std::string deviceLine(const char* modelText);

// The number text for a value: the unit's format with its magnitude and model rules, then every
// '.' replaced by the chosen decimal separator.
std::string formatValue(float value, int unit, int integerDigits, int decimals, int modelNumber,
                        char decimalSeparator);

enum class UnitDisplay { None, Micro, PlainU };

// How the unit-display item the user chose shows units: "µm" in it shows the display texts, "um"
// shows them with µ spelled u, anything else shows no unit.
UnitDisplay unitDisplayOf(const char* itemText);
std::string unitText(int unit, UnitDisplay display);

// Model group 2 holds the gauges that mainly print (6141, 7482, 8525); everything else is group 1.
int modelGroupOf(int deviceSetting);
// The device a model number read from the settings file stands for: 7482 and 8525 stay, every other
// number becomes the representative of model group 1.
int deviceFromSetting(int storedModel);

}  // namespace valbrix
