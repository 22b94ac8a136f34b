#include "gauge/gauge_models.h"

#include <cstdio>
#include <cstring>

namespace valbrix {
namespace {

using enum ModelGroup;
using enum LineEnd;
using enum ValueDigits;
using enum DeviceSetting;

constexpr std::size_t modelDigits = 4;

constexpr const char* pulsovant = "PULSOVANT ";
constexpr const char* pocketVarnitron = "Pocket-VARNITRON ";
constexpr const char* varnitron = "VARNITRON ";
constexpr const char* magnotellar = "MAGNOTELLAR ";
constexpr const char* qmv = "QMV ";

// number, family, group, framing prefix, line end, reply prefix, "G0A", magnetic, digits, setting
constexpr GaugeModel models[] = {
    {5264, pulsovant, Two, 0, CrLfPair, 0, false, false, PerUnit, Replaced},
    {5265, pulsovant, One, 0, CrLfPair, '?', false, false, PerUnit, Replaced},
    {5266, pulsovant, One, 0, CrLfPair, '?', false, false, PerUnit, Replaced},
    {5267, pulsovant, One, '@', AfterAnyPrintable, '?', false, false, AsPrinted, Replaced},
    {6118, pocketVarnitron, One, 0, CrLfPair, 0, false, false, PerUnit, Replaced},
    {6121, pocketVarnitron, One, '?', AfterAscii, 0, false, false, PerUnit, Replaced},
    {6126, pocketVarnitron, One, 0, CrLfPair, 0, false, false, PerUnit, Replaced},
    {6135, nullptr, None, 0, CrLfPair, 0, true, false, PerUnit, Replaced},
    {6141, varnitron, Two, 0, CrLfPair, 0, false, false, PerUnit, ModelGroup2InMenu},
    {6142, varnitron, One, '?', AfterAscii, 0, false, false, PerUnit, Replaced},
    {7480, nullptr, None, '/', AfterAscii, 0, false, true, PerUnit, Replaced},
    {7482, magnotellar, Two, '/', AfterAscii, '/', false, true, PerUnit, KeptAsModelGroup2},
    {7483, magnotellar, One, '/', AfterAscii, '/', false, true, CoarseMagnetic, Replaced},
    {8525, qmv, Two, '?', AfterAscii, '@', false, false, MillimetreInTenths, KeptAsModelGroup2},
    {8526, nullptr, None, 0, CrLfPair, '@', false, false, PerUnit, Replaced},
};

}  // namespace

std::span<const GaugeModel> gaugeModels() { return models; }

const GaugeModel* findModel(int number) {
    for (const GaugeModel& model : models)
        if (model.number == number) return &model;
    return nullptr;
}

const GaugeModel* findModelText(const char* modelText) {
    const GaugeModel* model = findModelTextPrefix(modelText);
    return model != nullptr && std::strlen(modelText) == modelDigits ? model : nullptr;
}

const GaugeModel* findModelTextPrefix(const char* modelText) {
    for (const GaugeModel& model : models) {
        char digits[modelDigits + 1];
        std::snprintf(digits, sizeof digits, "%04d", model.number);
        if (std::strncmp(modelText, digits, modelDigits) == 0) return &model;
    }
    return nullptr;
}

}  // namespace valbrix
