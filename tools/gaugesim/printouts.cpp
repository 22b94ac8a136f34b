#include "gaugesim/printouts.h"

#include <cstdio>

namespace gaugesim {

std::string_view lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf: return "\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::CrLf: break;
    }
    return "\r\n";
}

std::string formatValue(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string readingLine(int number, std::string_view value, std::string_view unit) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%4d:  ", number);
    return prefix + std::string(value) + " " + std::string(unit);
}

std::string colonlessReadingLine(int number, std::string_view value, std::string_view unit) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%05d ", number);
    return prefix + std::string(value) + " " + std::string(unit);
}

std::vector<std::string> bannerLines(int model) {
    switch (model) {
    case 5264: return {"--- PULSOVANT   5264 ---"};
    case 5267: return {"====== Pulsovant 5267 ==========="};
    case 6121: return {"======================", "ODEN MALVERT KESTRAVIN", "--- POCKET VARNITRON ---"};
    case 6141: return {"ODEN  MALVERT  KESTRAVIN", "=== VARNITRON 6141 ==="};
    case 7482: return {"* Statistische Werte *"};
    case 8525: return {"====== QMV 8525 ======"};
    default: return {};
    }
}

std::vector<std::string> memoryDumpLines(int count, int gridColumns, std::string_view unit, double first,
                                         double step, int decimals) {
    // The column count must start at index 8: hosts read it from there, not from after the colon.
    std::vector<std::string> lines{"#GridX: " + std::to_string(gridColumns)};
    for (int i = 0; i < count; ++i) lines.push_back(readingLine(i + 1, formatValue(first + i * step, decimals), unit));
    lines.emplace_back("#FileEnd:");
    return lines;
}

std::vector<std::string> statisticsLines(std::string_view unit) {
    std::string suffix(1, ' ');
    suffix += unit;
    return {"Datei: Statistics",  "  Nr:   Wert:",       "Mean:  12.3" + suffix,
            "Max:  14.1" + suffix, "Min:  10.2" + suffix, "Std.Dev:  1.1" + suffix};
}

std::string dateLineText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &local);
    return text;
}

}  // namespace gaugesim
