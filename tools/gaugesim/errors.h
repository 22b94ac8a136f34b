#pragma once

#include <string>

namespace gaugesim {

// "gaugesim: WHAT: <reason from errno>" on stderr.
void reportSystemError(const std::string& what);
void reportError(const std::string& message);

}  // namespace gaugesim
