#include "gauge/catalogue.h"

#include <cmath>
#include <cstring>

#include "common/number_text.h"
#include "common/text.h"
#include "gauge/gauge_models.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

// Display text and decimals of the base format per unit code.
struct UnitRow {
    int code;
    const char* text;
    int decimals;
};

// The unit has no format of its own: the value is written with the gauge's own digit counts.
constexpr int asPrinted = -1;

constexpr UnitRow unitRows[] = {
    {UnitNone, "?", 4},
    {UnitMicrometre, "\xB5m", 1},
    {UnitMillimetre, "mm", 3},
    {UnitMil, "mil", 2},
    {UnitInch, "inch", 4},
    {UnitPercent, "%", asPrinted},
    {UnitMillitesla, "mT", 2},
    {UnitAmperePerCm, "A/cm", 1},
    {UnitKiloAmperePerM, "kA/m", 2},
    {UnitGauss, "Gauss", 1},
    {UnitInchPerMicrosecond, "Inch/\xB5s", 4},
    {UnitMetrePerSecond, "m/s", 0},
    {UnitMicrosecond, "\xB5s", asPrinted},
    {UnitNanosecond, "ns", asPrinted},
};

const UnitRow& unitRow(int unit) {
    for (const UnitRow& row : unitRows)
        if (row.code == unit) return row;
    return unitRows[0];
}

std::string printed(float value, int decimals) { return fixedPointText(value, decimals); }

// The value as the gauge printed it: a field width of integerDigits and `decimals` decimals.
std::string printedLikeGauge(float value, int integerDigits, int decimals) {
    return fixedPointText(value, decimals, integerDigits);
}

}  // namespace

std::string displayName(const char* modelText) {
    const GaugeModel* model = findModelText(modelText);
    if (model == nullptr || model->family == nullptr) return modelText;
    return std::string(model->family) + modelText;
}

std::string deviceLine(const char* modelText) {
    char firstFour[5];
    copyPrefix(firstFour, modelText, 4);
    return displayName(firstFour);
}

std::string formatValue(float value, int unit, int integerDigits, int decimals, int modelNumber,
                        char decimalSeparator) {
    const double v = value;
    const double a = std::fabs(v);
    // The gauges print at most a 99-character line, so counts beyond that cannot be genuine.
    const int width = integerDigits < 0 ? 0 : (integerDigits > 99 ? 99 : integerDigits);
    const int places = decimals < 0 ? 0 : (decimals > 99 ? 99 : decimals);

    const GaugeModel* model = findModel(modelNumber);
    const ValueDigits digits = model != nullptr ? model->digits : ValueDigits::PerUnit;
    const UnitRow& row = unitRow(unit);
    std::string text =
        row.decimals != asPrinted ? printed(value, row.decimals) : printedLikeGauge(value, width, places);
    switch (unit) {
        case UnitMicrometre:
            if (a >= 100) text = printed(value, 0);
            break;
        case UnitMillimetre:
            if (a >= 1) text = printed(value, 2);
            if (digits == ValueDigits::MillimetreInTenths) text = printed(value, 1);
            break;
        case UnitMil:
            if (a >= 10) text = printed(value, 1);
            if (a >= 100) text = printed(value, 0);
            break;
        case UnitInch:
            if (!text.empty() && text[0] == '0') text.erase(0, 1);
            break;
        case UnitMillitesla:
        case UnitKiloAmperePerM:
            if (digits == ValueDigits::CoarseMagnetic) {
                text = printed(value, 2);
                if (a >= 10) text = printed(value, 1);
                if (a >= 100) text = printed(value, 0);
            } else {
                text = printed(value, a < 2 ? 3 : 2);
                if (a >= 20) text = printed(value, 1);
            }
            break;
        case UnitAmperePerCm:
        case UnitGauss:
            if (a >= 10) text = printed(value, 1);
            if (a >= 100) text = printed(value, 0);
            break;
        default:
            break;
    }
    if (digits == ValueDigits::AsPrinted) text = printedLikeGauge(value, width, places);
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text;
}

UnitDisplay unitDisplayOf(const char* itemText) {
    if (containsNoCase(itemText, "\xB5m") >= 0) return UnitDisplay::Micro;
    if (containsNoCase(itemText, "um") >= 0) return UnitDisplay::PlainU;
    return UnitDisplay::None;
}

std::string unitText(int unit, UnitDisplay display) {
    if (display == UnitDisplay::None) return {};
    std::string text = unitRow(unit).text;
    if (display == UnitDisplay::PlainU)
        for (char& c : text)
            if (c == '\xB5') c = 'u';
    return text;
}

int modelGroupOf(int deviceSetting) {
    const GaugeModel* model = findModel(deviceSetting);
    return model != nullptr && model->deviceSetting != DeviceSetting::Replaced ? 2 : 1;
}

int deviceFromSetting(int storedModel) {
    const GaugeModel* model = findModel(storedModel);
    return model != nullptr && model->deviceSetting == DeviceSetting::KeptAsModelGroup2 ? storedModel
                                                                                        : modelGroup1Device;
}

}  // namespace valbrix
