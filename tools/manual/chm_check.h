#pragma once
// What a help file must hold, looked at in the files a CHM reader extracted from it: its contents and
// index lead to pages it holds, its contents list every page of the manual's contents, its pages are
// the built ones, and it opens at the start page in its language.

#include <filesystem>
#include <string>
#include <vector>

#include "manual_pages.h"

namespace valbrix::manual {

// One line per problem; none when the help file is sound.
std::vector<std::string> checkExtractedChm(const std::filesystem::path& extracted, const std::filesystem::path& htmlRoot,
                                           const Language& language);

}  // namespace valbrix::manual
