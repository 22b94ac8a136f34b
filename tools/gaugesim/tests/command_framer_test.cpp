#include "gaugesim/command_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gaugesim {
namespace {

using Texts = std::vector<std::string>;

TEST(CommandFramer, KeepsBytesOutsideFramesApartAndStartsOverOnStx) {
    CommandFramer framer;
    EXPECT_EQ(framer.feed("xx\x02?G0"), Texts{});
    EXPECT_EQ(framer.feed("\x02?G00\x03yy"), Texts{"?G00"});
    EXPECT_EQ(framer.segments(), (Texts{"xx", "\x02?G0", "\x02?G00\x03", "yy"}));
}

}  // namespace
}  // namespace gaugesim
