#pragma once
// The shell speaks Windows-1252 (the gauges' µ is the single byte 0xB5); Qt speaks Unicode. Texts
// cross over here and nowhere else.

#include <QString>
#include <string>

namespace valbrix {

QString fromCp1252(const std::string& text);
// Characters that Windows-1252 cannot hold become '?', as Windows' own conversion does.
std::string toCp1252(const QString& text);

}  // namespace valbrix
