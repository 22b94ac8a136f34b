#include "gauge/receive_framing.h"

namespace valbrix {
namespace {

enum class Closer {
    AfterAnyPrintable,  // CR or LF after a byte 0x20..0xFF
    AfterAscii,         // CR or LF after a byte 0x20..0x7F
    CrLfPair,           // LF right after CR, or CR after LF or 0x20..0x7F
};

struct LineEndRule {
    int models[3];
    char commandPrefix;
    Closer closer;
};

constexpr LineEndRule rules[] = {
    {{5267, 0, 0}, '@', Closer::AfterAnyPrintable},
    {{6121, 6142, 8525}, '?', Closer::AfterAscii},
    {{7480, 7482, 7483}, '/', Closer::AfterAscii},
};
constexpr LineEndRule otherModels = {{0, 0, 0}, 0, Closer::CrLfPair};

const LineEndRule& ruleFor(int modelNumber) {
    for (const LineEndRule& rule : rules)
        for (int model : rule.models)
            if (model != 0 && model == modelNumber) return rule;
    return otherModels;
}

bool isAscii(unsigned char c) { return c >= 0x20 && c <= 0x7F; }

}  // namespace

LineEndDecision lineEndRule(int modelNumber, unsigned char byte, int receiveLength, unsigned char last) {
    const LineEndRule& rule = ruleFor(modelNumber);
    bool closes = false;
    if ((byte == '\r' || byte == '\n') && receiveLength >= 2) {
        switch (rule.closer) {
            case Closer::AfterAnyPrintable: closes = last >= 0x20; break;
            case Closer::AfterAscii: closes = isAscii(last); break;
            case Closer::CrLfPair:
                closes = (byte == '\n' && last == '\r') || (byte == '\r' && (last == '\n' || isAscii(last)));
                break;
        }
    }
    return {rule.commandPrefix, closes};
}

void ReceiveFraming::append(char c) {
    // One place is kept for ETX, so an over-long record still ends and is recognised as such.
    if (receiveLength + 3 > bufferSize && c != ETX) {
        overlong = true;
        return;
    }
    receiveBuffer[receiveLength++] = c;
    receiveBuffer[receiveLength] = '\0';
}

}  // namespace valbrix
