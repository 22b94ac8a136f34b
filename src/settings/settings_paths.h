#pragma once
// Paths as the settings handle them: 8-bit texts with the system's own separator, never longer than
// the 259 characters a Windows path may have.

#include <cstddef>
#include <string>

namespace valbrix {

#ifdef _WIN32
inline constexpr char pathSeparator = '\\';
#else
inline constexpr char pathSeparator = '/';
#endif
inline constexpr std::size_t maxPathLength = 259;

// The part of path up to and including its last separator; empty when it has none.
std::string directoryOf(const std::string& path);
// name itself when it carries a folder, else name in programDirectory (which ends in a separator).
std::string absolutePath(const std::string& name, const std::string& programDirectory);

}  // namespace valbrix
