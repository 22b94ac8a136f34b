// The simulator on real pseudo-terminals, seen from the host's end of the cable.
#include "gaugesim/simulator.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "host_port.h"

namespace gaugesim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Generous, because the machines running the tests are often busy building.
constexpr int waitMs = 5000;

std::string frame(const std::string& text) { return "\x02" + text + "\x03"; }

Options fast() {
    Options options;
    options.paced = false;
    return options;
}

// A folder of its own for the link, gone after the test.
class TemporaryFolder {
public:
    TemporaryFolder() {
        char name[] = "/tmp/gaugesim-test-XXXXXX";
        if (::mkdtemp(name) != nullptr) path = name;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

TEST(Simulator, EchoesTheFrameThenAnswersG00WithTheModel) {
    Simulator gauge;
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());
    host.write(frame("?G00"));
    EXPECT_EQ(host.read(13, waitMs), frame("?G00") + "G6121\r\n");
    EXPECT_EQ(gauge.commands(), std::vector<std::string>{"?G00"});
}

TEST(Simulator, Model6135AnswersTheExtendedIdentification) {
    Options options = fast();
    options.model = 6135;
    options.replyPrefix = '/';
    Simulator gauge(options);
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());
    host.write(frame("/G00"));
    EXPECT_EQ(host.readUntil("\r\n", waitMs), frame("/G00") + "/G6135\r\n");
    host.write(frame("/G0A"));
    EXPECT_EQ(host.readUntil("\r\n", waitMs), frame("/G0A") + "/G6135 FN\r\n");
}

TEST(Simulator, EchoNoneSendsOnlyTheReplyAndWrongChangesOneByte) {
    Simulator gauge(fast());
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());

    gauge.setEcho(EchoMode::None);
    host.write(frame("?G00"));
    EXPECT_EQ(host.readUntil("\r\n", waitMs), "G6121\r\n");

    gauge.setEcho(EchoMode::Wrong);
    host.write(frame("?G00"));
    const std::string received = host.readUntil("\r\n", waitMs);
    ASSERT_EQ(received.size(), 13u);
    EXPECT_EQ(received.substr(6), "G6121\r\n");
    const std::string sent = frame("?G00");
    int changed = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) changed += sent[i] != received[i];
    EXPECT_EQ(changed, 1);
}

TEST(Simulator, MemoryDumpIsGridMarkerNumberedValuesAndEndMarker) {
    Options options = fast();
    options.lineEnd = LineEnd::Lf;
    Simulator gauge(options);
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());
    gauge.memoryDump(3, 2, "mm");
    const std::string dump = host.readUntil("#FileEnd:\n", waitMs);
    EXPECT_EQ(dump, "#GridX: 2\n   1:  10.0 mm\n   2:  10.1 mm\n   3:  10.2 mm\n#FileEnd:\n");
    EXPECT_EQ(dump.substr(8, 1), "2");  // hosts read the column count from index 8
}

TEST(Simulator, PacedOutputTakesAsLongAsAt4800Baud) {
    Simulator gauge;
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());
    const auto begin = std::chrono::steady_clock::now();
    gauge.send(std::string(48, 'x'));
    // 48 bytes of ten bits each at 4800 baud take 100 ms; only the lower bound is safe to assert.
    EXPECT_EQ(host.read(48, waitMs).size(), 48u);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 90ms);
    ASSERT_TRUE(gauge.waitIdle(waitMs));
    const std::optional<WrittenItem> last = gauge.lastPrintout();
    ASSERT_TRUE(last.has_value());
    EXPECT_GE(last->lastByteAt - begin, 90ms);
}

TEST(Simulator, HostReceivesEverythingWrittenToTheMaster) {
    Simulator gauge(fast());
    ASSERT_TRUE(gauge.start());
    HostPort host(gauge.slavePath());
    ASSERT_TRUE(host.isOpen());
    // Far more than the pseudo-terminal buffers, so the gauge also has to wait for the host to read.
    std::string expected;
    for (int i = 1; i <= 2000; ++i) {
        gauge.reading(i, std::to_string(i % 97) + ".5", "um");
        expected += (i < 10 ? "   " : i < 100 ? "  " : i < 1000 ? " " : "") + std::to_string(i) + ":  " +
                    std::to_string(i % 97) + ".5 um\r\n";
    }
    EXPECT_EQ(host.read(expected.size(), waitMs), expected);
    EXPECT_TRUE(gauge.waitHostRead(waitMs));
}

TEST(Simulator, UnplugEndsTheHostsPortAndPlugInRelinks) {
    TemporaryFolder folder;
    const fs::path link = folder.path / "dev" / "gauge";
    Simulator gauge(fast());
    ASSERT_TRUE(gauge.start(link.string()));
    EXPECT_EQ(fs::read_symlink(link), gauge.slavePath());
    {
        HostPort host(link.string());
        ASSERT_TRUE(host.isOpen());
        gauge.unplug();
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
        EXPECT_EQ(host.read(1, waitMs), "");
        EXPECT_TRUE(host.hungUp());
        EXPECT_LT(host.write(frame("?G00")), 0);
    }
    ASSERT_TRUE(gauge.plugIn());
    EXPECT_EQ(fs::read_symlink(link), gauge.slavePath());
    HostPort host(link.string());
    ASSERT_TRUE(host.isOpen());
    host.write(frame("?G00"));
    EXPECT_EQ(host.readUntil("\r\n", waitMs), frame("?G00") + "G6121\r\n");
}

}  // namespace
}  // namespace gaugesim
