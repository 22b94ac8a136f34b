#pragma once
// The date and time on the user's wall clock, with its distance from UTC, for records a person reads
// beside their own notes. The passes never use it: they run on the steady Clock.

#include <ctime>
#include <string>

namespace valbrix {

struct LocalTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int offsetMinutes = 0;  // local time minus UTC, +60 in Central European winter time
};

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual LocalTime now() = 0;
};

// The machine's clock in its time zone; one stateless instance for the whole program.
WallClock& systemWallClock();

// From the broken-down local and UTC times of one instant: the offset is their difference.
LocalTime localTimeOf(const std::tm& local, const std::tm& utc);
// "2026-12-08"
std::string isoDate(const LocalTime& time);
// "2026-12-08T14:03:27+01:00"
std::string isoDateTime(const LocalTime& time);

// The platform's thread-safe conversions of one instant; false when the system cannot convert it.
bool brokenDownTimes(std::time_t instant, std::tm& local, std::tm& utc);

}  // namespace valbrix
