#include "gauge/receive_framing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gauge/gauge_models.h"

namespace valbrix {
namespace {

struct Framed {
    std::vector<std::string> records;
    char prefix = '#';
    int activeBytes = 0;
};

// The bytes are fed in turn, and each part of afterQuiet after the line has fallen quiet.
Framed frame(int model, const std::string& bytes, char prefix = '#', const std::vector<std::string>& afterQuiet = {}) {
    ReceiveFraming framing;
    Framed out;
    out.prefix = prefix;
    const auto record = [&out](const char* text) { out.records.push_back(text); };
    const auto feed = [&](const std::string& part) {
        for (char c : part) {
            const ReceiveFraming::Step step = framing.handle(static_cast<unsigned char>(c), model, out.prefix, record);
            out.activeBytes += step.processed;
        }
    };
    feed(bytes);
    for (const std::string& part : afterQuiet) {
        framing.lineQuiet(record);
        feed(part);
    }
    return out;
}

TEST(ReceiveFraming, LineEndsPerModel) {
    struct Case {
        int model;
        std::string bytes;
        std::vector<std::string> records;
        char prefix;
    };
    const Case cases[] = {
        {6121, "12\r\n34\r\n", {"12\x03", "\r\n34\x03"}, '?'},
        {6135, "12\r\n34\r\n", {"12\x03", "\r\n34\x03"}, '#'},  // other models keep the prefix
        {6135, "12\n34\n", {}, '#'},                            // LF alone closes nothing there
        {6135, "12\n34\n\r", {"12\n34\n\x03"}, '#'},
        {6121, "12\n34\n", {"12\x03", "\n34\x03"}, '?'},
        {5267, "12 \xB5\r", {"12 \xB5\x03"}, '@'},
        {6121, "12 \xB5\r", {}, '?'},
        {7482, "1.5 mT\r\n", {"1.5 mT\x03"}, '/'},
        {6135, "\r\n\r\n", {"\r\n\x03"}, '#'},                  // an empty line
        {6121, "\x02" "ABC\x03", {"ABC\x03"}, '?'},
        {6135, "\x02" "ABC\x03", {"ABC\x03"}, '#'},
        {5267, "\x02" "ABC\x03", {"ABC\x03"}, '@'},
        {6121, "A\r", {}, '?'},                                 // a single character closes nothing
        {6121, "12\x7F\r", {"12\x7F\x03"}, '?'},                 // DEL is the last byte that counts as ASCII
        {6135, "12\x7F\r", {"12\x7F\x03"}, '#'},
        {6135, "12\xB5\r34\x03", {"12\xB5\r34\x03"}, '#'},       // nor does a CR after a byte above ASCII
    };
    for (const Case& c : cases) {
        const Framed out = frame(c.model, c.bytes);
        EXPECT_EQ(out.records, c.records) << "model " << c.model;
        EXPECT_EQ(out.prefix, c.prefix) << "model " << c.model;
    }
}

TEST(ReceiveFraming, NulBytesAreDroppedAndDoNotCountAsTraffic) {
    const Framed out = frame(6121, std::string("1\0" "2\0\r", 5));
    EXPECT_EQ(out.records, std::vector<std::string>{"12\x03"});
    EXPECT_EQ(out.activeBytes, 3);
    // The model's prefix is set for every byte, a NUL too.
    const Framed nul = frame(7483, std::string(1, '\0'));
    EXPECT_EQ(nul.prefix, '/');
    EXPECT_EQ(nul.activeBytes, 0);
}

TEST(ReceiveFraming, OverlongRecordIsDroppedWholeAndTheNextOneSurvives) {
    const std::string flood(ReceiveFraming::bufferSize + 500, '7');
    const Framed out = frame(6121, flood + "\r\n  1:  4.5 mm\r\n");
    EXPECT_EQ(out.records, std::vector<std::string>{"\r\n  1:  4.5 mm\x03"});

    const std::string longest(ReceiveFraming::bufferSize - 2, '7');
    EXPECT_EQ(frame(6121, longest + "\r").records, std::vector<std::string>{longest + "\x03"});
}

// Floods that filled the buffer with bytes after which no line end counted kept every later line from
// ending: the line after the flood is read as it would be after a short one.
TEST(ReceiveFraming, TheLineAfterAFloodEndsAsUsual) {
    struct Case {
        const char* what;
        int model;
        std::string flood;
        std::vector<std::string> records;
    };
    std::string blankLines;
    for (std::size_t i = 0; i < 2 * ReceiveFraming::bufferSize; ++i) blankLines += "\r\n\t\x01"[i % 4];
    const Case cases[] = {
        {"a line end every byte", 6121, blankLines, {"\r\n  1:  4.5 mm\x03"}},
        {"a line end every byte, a gauge of the CR LF rule", 6135, std::string(blankLines.size(), '\r'),
         {"\r\r\x03", "\n  1:  4.5 mm\x03"}},
        {"bytes above ASCII", 6121, std::string(2 * ReceiveFraming::bufferSize, '\xFF'), {"\r\n  1:  4.5 mm\x03"}},
        {"control bytes", 8525, std::string(2 * ReceiveFraming::bufferSize, '\x1B'), {"\r\n  1:  4.5 mm\x03"}},
    };
    for (const Case& c : cases) {
        const Framed out = frame(c.model, c.flood + "\r\n  1:  4.5 mm\r\n");
        std::vector<std::string> last(out.records.end() - std::min(out.records.size(), c.records.size()),
                                      out.records.end());
        EXPECT_EQ(last, c.records) << c.what;
    }
}

// Noise on the line (a gauge switched on mid-transmission, a wrong speed, an adapter plugged in) whose
// last byte lets no line end close it: once the line has been quiet, the next reading is read whole,
// whatever the model's line-end rule.
TEST(ReceiveFraming, TheReadingAfterNoiseAndAPauseSurvives) {
    const std::string shortNoise = std::string("\x1B\x8F~3\xC1\x07", 6) + std::string(43, '\x93') + '\x80';
    std::string longNoise(64 * 1024, '\0');
    for (std::size_t i = 0; i < longNoise.size(); ++i) longNoise[i] = static_cast<char>(0x80 | (i * 37 % 128));
    for (const GaugeModel& model : gaugeModels()) {
        for (const std::string& noise : {shortNoise, longNoise}) {
            const Framed out = frame(model.number, noise + "\r\n", '#', {"  1:  4.5 mm\r\n"});
            ASSERT_FALSE(out.records.empty()) << model.number;
            const std::string& last = out.records.back();
            EXPECT_EQ(last.substr(last.find_first_not_of("\r\n")), "  1:  4.5 mm\x03")
                << model.number << ", noise of " << noise.size();
        }
    }
}

// Without a pause the rules of each model hold as before: the line ends that follow a byte above ASCII
// close nothing there, and a quiet line closes no record that a line end has not ended.
TEST(ReceiveFraming, OnlyAQuietLineClosesWhatTheRulesLeaveOpen) {
    struct Case {
        int model;
        std::string bytes;
        std::vector<std::string> afterQuiet;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {6121, "12\xB5\r\n34\r\n", {}, {"12\xB5\r\n34\x03"}},
        {6121, "12\xB5\r\n", {"34\r\n"}, {"12\xB5\x03", "\r\n34\x03"}},
        {6121, "12\xB5", {"34\r\n"}, {"12\xB5" "34\x03"}},        // no line end yet: the line goes on
        {6121, "1: 4.5 mm\r\n", {"", ""}, {"1: 4.5 mm\x03"}},         // the line end closed it already
        {6135, "12\n34\n", {"56\r"}, {"12\n34\x03", "\n56\x03"}},
        {6121, "12\xB5\r\r\r\n", {"34\r"}, {"12\xB5\x03", "\r\n34\x03"}},  // the last two line ends are kept
    };
    for (const Case& c : cases) {
        const Framed out = frame(c.model, c.bytes, '#', c.afterQuiet);
        EXPECT_EQ(out.records, c.records) << "model " << c.model << ": " << c.bytes;
    }
}

}  // namespace
}  // namespace valbrix
