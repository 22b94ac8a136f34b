#include "gauge/catalogue.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "gauge/gauge_models.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

// Display text and base format per unit code. A null format means the value is printed with the
// gauge's own digit counts.
struct UnitRow {
    int code;
    const char* text;
    const char* baseFormat;
};

constexpr UnitRow unitRows[] = {
    {UnitNone, "?", "%0.4f"},
    {UnitMicrometre, "\xB5m", "%0.1f"},
    {UnitMillimetre, "mm", "%0.3f"},
    {UnitMil, "mil", "%0.2f"},
    {UnitInch, "inch", "%0.4f"},
    {UnitPercent, "%", nullptr},
    {UnitMillitesla, "mT", "%1.2f"},
    {UnitAmperePerCm, "A/cm", "%1.1f"},
    {UnitKiloAmperePerM, "kA/m", "%1.2f"},
    {UnitGauss, "Gauss", "%1.1f"},
    {UnitInchPerMicrosecond, "Inch/\xB5s", "%1.4f"},
    {UnitMetrePerSecond, "m/s", "%1.0f"},
    {UnitMicrosecond, "\xB5s", nullptr},
    {UnitNanosecond, "ns", nullptr},
};

const UnitRow& unitRow(int unit) {
    for (const UnitRow& row : unitRows)
        if (row.code == unit) return row;
    return unitRows[0];
}

std::string printed(const char* format, double value) {
    // Wide enough for the largest float in fixed notation with 99 decimals.
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The value as the gauge printed it: a field width of integerDigits and `decimals` decimals.
std::string printedLikeGauge(double value, int integerDigits, int decimals) {
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%df", integerDigits, decimals);
    return printed(format, value);
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
    std::string text = row.baseFormat != nullptr ? printed(row.baseFormat, v) : printedLikeGauge(v, width, places);
    switch (unit) {
        case UnitMicrometre:
            if (a >= 100) text = printed("%0.0f", v);
            break;
        case UnitMillimetre:
            if (a >= 1) text = printed("%0.2f", v);
            if (digits == ValueDigits::MillimetreInTenths) text = printed("%0.1f", v);
            break;
        case UnitMil:
            if (a >= 10) text = printed("%0.1f", v);
            if (a >= 100) text = printed("%0.0f", v);
            break;
        case UnitInch:
            if (!text.empty() && text[0] == '0') text.erase(0, 1);
            break;
        case UnitMillitesla:
        case UnitKiloAmperePerM:
            if (digits == ValueDigits::CoarseMagnetic) {
                text = printed("%1.2f", v);
                if (a >= 10) text = printed("%1.1f", v);
                if (a >= 100) text = printed("%1.0f", v);
            } else {
                text = printed(a < 2 ? "%1.3f" : "%1.2f", v);
                if (a >= 20) text = printed("%1.1f", v);
            }
            break;
        case UnitAmperePerCm:
        case UnitGauss:
            if (a >= 10) text = printed("%1.1f", v);
            if (a >= 100) text = printed("%1.0f", v);
            break;
        default:
            break;
    }
    if (digits == ValueDigits::AsPrinted) text = printedLikeGauge(v, width, places);
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
