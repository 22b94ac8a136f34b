#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "gaugesim/options.h"

// The texts gauges print, line by line and without line ends.
namespace gaugesim {

std::string_view lineEndBytes(LineEnd lineEnd);
std::string formatValue(double value, int decimals);

// "  12:  4.56 mm"
std::string readingLine(int number, std::string_view value, std::string_view unit);
// The PULSOVANT 5264 prints no colon and pads the number with zeros: "00012 4.56 MM".
std::string colonlessReadingLine(int number, std::string_view value, std::string_view unit);
// Empty for models that print no banner.
std::vector<std::string> bannerLines(int model);
// A grid marker, count numbered values (first, first + step, ...), then the end marker.
std::vector<std::string> memoryDumpLines(int count, int gridColumns, std::string_view unit, double first,
                                         double step, int decimals);
std::vector<std::string> statisticsLines(std::string_view unit);
// "12.05.2020 10:31", in local time like the gauge's clock.
std::string dateLineText(std::time_t when);

}  // namespace gaugesim
