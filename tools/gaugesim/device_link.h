#pragma once

#include <string>

namespace gaugesim {

// Points linkPath at target. An older link there is replaced, a real file is not; missing folders are
// made. Tells why on stderr when it fails.
bool linkTo(const std::string& linkPath, const std::string& target);
// Removes linkPath only while it still points at target, so a link another simulator has taken over
// since is left alone.
void removeLinkTo(const std::string& linkPath, const std::string& target);

}  // namespace gaugesim
