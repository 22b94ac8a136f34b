#include "common/local_time.h"

#include <cstdio>
#include <cstdlib>

namespace valbrix {
namespace {

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
long daysFromCivil(long year, long month, long day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

long minutesOf(const std::tm& time) {
    return daysFromCivil(time.tm_year + 1900L, time.tm_mon + 1L, time.tm_mday) * 1440 + time.tm_hour * 60L +
           time.tm_min;
}

class SystemWallClock final : public WallClock {
public:
    LocalTime now() override {
        std::tm local{};
        std::tm utc{};
        if (!brokenDownTimes(std::time(nullptr), local, utc)) return LocalTime{};
        return localTimeOf(local, utc);
    }
};

}  // namespace

WallClock& systemWallClock() {
    static SystemWallClock clock;
    return clock;
}

LocalTime localTimeOf(const std::tm& local, const std::tm& utc) {
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     // A leap second reads as the last second of its minute.
                     local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(minutesOf(local) - minutesOf(utc))};
}

std::string isoDate(const LocalTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year % 10000, time.month % 100, time.day % 100);
    return text;
}

std::string isoDateTime(const LocalTime& time) {
    const int offset = std::abs(time.offsetMinutes) % (100 * 60);
    char text[40];
    std::snprintf(text, sizeof text, "%sT%02d:%02d:%02d%c%02d:%02d", isoDate(time).c_str(), time.hour % 100,
                  time.minute % 100, time.second % 100, time.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

}  // namespace valbrix
