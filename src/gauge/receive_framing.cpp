#include "gauge/receive_framing.h"

#include "gauge/gauge_models.h"

namespace valbrix {
namespace {

bool isAscii(unsigned char c) { return c >= 0x20 && c <= 0x7F; }

}  // namespace

LineEndDecision lineEndRule(int modelNumber, unsigned char byte, int receiveLength, unsigned char last) {
    const GaugeModel* model = findModel(modelNumber);
    const char prefix = model != nullptr ? model->framingPrefix : 0;
    const LineEnd lineEnd = model != nullptr ? model->lineEnd : LineEnd::CrLfPair;
    bool closes = false;
    if ((byte == '\r' || byte == '\n') && receiveLength >= 2) {
        switch (lineEnd) {
            case LineEnd::AfterAnyPrintable: closes = last >= 0x20; break;
            case LineEnd::AfterAscii: closes = isAscii(last); break;
            case LineEnd::CrLfPair:
                closes = (byte == '\n' && last == '\r') || (byte == '\r' && (last == '\n' || isAscii(last)));
                break;
        }
    }
    return {prefix, closes};
}

void ReceiveFraming::append(char c) {
    // Line-end characters that follow line-end characters gather at the front of the next record, and
    // the parser passes over them: of a run of blank lines only the last two are kept, which the line-end
    // rules look at, so that a line end every byte never fills the buffer.
    const bool lineEndByte = c >= 1 && c <= 13 && c != ETX;
    if (onlyLineEnds && lineEndByte && receiveLength >= 2) {
        receiveBuffer[0] = receiveBuffer[1];
        receiveBuffer[1] = c;
        return;
    }
    onlyLineEnds = onlyLineEnds && lineEndByte;
    // One place is kept for ETX, so an over-long record still ends and is recognised as such.
    if (receiveLength + 3 > bufferSize && c != ETX) {
        overlong = true;
        return;
    }
    receiveBuffer[receiveLength++] = c;
    receiveBuffer[receiveLength] = '\0';
}

}  // namespace valbrix
