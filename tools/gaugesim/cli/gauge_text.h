#pragma once

#include <string>
#include <string_view>

// Scripts and command lines are typed in UTF-8, but gauges send Windows-1252: "µm" must leave as the
// two bytes 0xB5 'm'. \xHH writes any byte and \\ a backslash. Bytes that are not valid UTF-8 pass
// unchanged, so a script saved in Windows-1252 works too; so do characters Windows-1252 lacks.
std::string toGaugeText(std::string_view typed);
// For logging what the host sent: control and high bytes as \xHH.
std::string printable(std::string_view bytes);
