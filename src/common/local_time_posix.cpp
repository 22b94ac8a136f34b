#include "common/local_time.h"

namespace valbrix {

bool brokenDownTimes(std::time_t instant, std::tm& local, std::tm& utc) {
    return localtime_r(&instant, &local) != nullptr && gmtime_r(&instant, &utc) != nullptr;
}

}  // namespace valbrix
