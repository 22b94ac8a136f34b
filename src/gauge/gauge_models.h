#pragma once
// Everything the program knows about each gauge model, one row per model: how it is named on
// screen, which model group it belongs to, how its lines end, which command prefix its
// identification reply implies and where its number texts follow rules of their own. The framing,
// the parser, the catalogue and the settings all read this table; a gauge that behaves like one
// already known is added as one more row.

#include <span>

namespace valbrix {

// The two groups the user picks from the device menu; the setting stores the representative.
enum class ModelGroup { None, One, Two };
inline constexpr int modelGroup1Device = 6121;
inline constexpr int modelGroup2Device = 8525;

// When a CR or LF closes the record being received, given the byte before it.
enum class LineEnd {
    AfterAnyPrintable,  // after a byte 0x20..0xFF
    AfterAscii,         // after a byte 0x20..0x7F
    CrLfPair,           // LF right after CR, or CR after LF or 0x20..0x7F: every model not in the table
};

// Number texts that do not follow the unit's own rules.
enum class ValueDigits {
    PerUnit,              // the unit's format and magnitude rules
    MillimetreInTenths,   // millimetres always with one decimal
    CoarseMagnetic,       // mT and kA/m with two decimals, one from 10, none from 100
    AsPrinted,            // every unit with the digits the gauge printed
};

// How a model number read from the settings file is taken.
enum class DeviceSetting {
    Replaced,            // becomes the representative of model group 1
    ModelGroup2InMenu,   // checks the model group 2 item, but is replaced when read from the file
    KeptAsModelGroup2,   // stays, and stands for model group 2
};

struct GaugeModel {
    int number;
    const char* family;  // prefix of the display name, nullptr when the model text is shown alone
    ModelGroup group;
    // Set while this is the current model, as the receive framing meets each byte; 0 leaves it.
    char framingPrefix;
    LineEnd lineEnd;
    // Set when an identification reply names this model; 0: the reply sets model text only.
    char replyPrefix;
    bool extendedIdentification;  // answers "G00" with its number and must be asked "G0A"
    bool magneticFieldMeter;      // a magnetic unit on a value line keeps this model
    ValueDigits digits;
    DeviceSetting deviceSetting;
};

std::span<const GaugeModel> gaugeModels();
// The row of a model number; nullptr for a number no gauge has.
const GaugeModel* findModel(int number);
// The row whose number the text spells exactly ("6121"); nullptr otherwise.
const GaugeModel* findModelText(const char* modelText);
// The row whose number the text's first four characters spell ("5267 V2" names 5267).
const GaugeModel* findModelTextPrefix(const char* modelText);

// A magnetic unit seen on a value line while the model is no magnetic field meter means one is
// connected: the program takes it as this model, shown by this text.
inline constexpr int magneticFallbackModel = 7480;
inline constexpr const char* magneticFallbackText = "748x";

}  // namespace valbrix
