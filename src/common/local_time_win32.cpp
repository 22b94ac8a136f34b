#include "common/local_time.h"

namespace valbrix {

bool brokenDownTimes(std::time_t instant, std::tm& local, std::tm& utc) {
    return localtime_s(&local, &instant) == 0 && gmtime_s(&utc, &instant) == 0;
}

}  // namespace valbrix
