// The number readers take any text, of any length, without overrunning their working copies.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/numbers.h"
#include "common/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();  // the readers see zero-terminated texts
    valbrix::readDecimal(text.c_str());
    valbrix::readInteger(text.c_str());
    valbrix::readHex(text.c_str());
    valbrix::truncateToInt(valbrix::readDecimal(text.c_str()));
    valbrix::keepNumberChars(text.data());
    return 0;
}
