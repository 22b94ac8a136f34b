#pragma once
// The keyboard records a Win32 key sink hands SendInput, in a form that compares and prints.

#include <windows.h>

#include <ostream>
#include <vector>

#include <gtest/gtest.h>

namespace valbrix::testing {

struct KeyRecord {
    WORD virtualKey;
    WORD scanCode;  // the character, for a Unicode record
    DWORD flags;

    bool operator==(const KeyRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const KeyRecord& record) {
    return out << "{vk 0x" << std::hex << record.virtualKey << ", scan 0x" << record.scanCode << ", flags 0x"
               << record.flags << std::dec << "}";
}

inline std::vector<KeyRecord> keyRecords(const std::vector<INPUT>& inputs) {
    std::vector<KeyRecord> records;
    for (const INPUT& input : inputs) {
        EXPECT_EQ(input.type, static_cast<DWORD>(INPUT_KEYBOARD));
        records.push_back({input.ki.wVk, input.ki.wScan, input.ki.dwFlags});
    }
    return records;
}

}  // namespace valbrix::testing
