#include "gaugesim/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gaugesim {

void reportSystemError(const std::string& what) {
    const int error = errno;
    std::fprintf(stderr, "gaugesim: %s: %s\n", what.c_str(), std::strerror(error));
}

void reportError(const std::string& message) {
    std::fprintf(stderr, "gaugesim: %s\n", message.c_str());
}

}  // namespace gaugesim
