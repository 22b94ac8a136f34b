// The command exchange: the frame goes out a byte a millisecond and the gauge has 300 ms to echo it.
// The port is held for one step at a time, so that another thread that wants it (a port change, a
// probe) waits no longer than a step; when the port has been closed or opened meanwhile, the exchange
// has lost its gauge and fails.
#include <cstring>

#include "common/text.h"
#include "gauge/echo_watch.h"
#include "gauge/frame_characters.h"
#include "gauge/varni_tiny.h"

namespace valbrix {

bool cVarniTiny::ExchangeCommand(const char* text) {
    statusFlags.fetch_or(ExchangeBusy);
    const std::size_t textLength = std::strlen(text);
    if (textLength == 0 || textLength > CommandQueue::longestCommand + 1 || !port->IsConfigured()) {
        statusFlags.fetch_and(~ExchangeBusy);
        return false;
    }
    char frame[commandBufferSize + 2];
    frame[0] = STX;
    std::memcpy(frame + 1, text, textLength);
    frame[textLength + 1] = ETX;
    frame[textLength + 2] = '\0';
    const std::size_t frameLength = textLength + 2;
    lastCommand = sentCommand(frame);

    std::uint32_t generation = 0;
    const bool echoed = sendFrame(frame, frameLength, generation) && awaitEcho(frame, frameLength, generation);
    if (!echoed) markNotIdentified();
    statusFlags.fetch_and(~ExchangeBusy);
    return echoed;
}

bool cVarniTiny::sendFrame(const char* frame, std::size_t length, std::uint32_t& generation) {
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; ++i) {
        {
            const std::unique_lock<std::mutex> held = portLock.take();
            if (i == 0) generation = portGeneration;
            else if (portGeneration != generation) return false;
            written += port->WriteByte(static_cast<unsigned char>(frame[i])) ? 1 : 0;
            if (port->Gone()) {
                losePort();
                return false;
            }
        }
        clock.sleepMs(1);
    }
    return written == length;
}

// Waits on the port itself: a byte, a thread that wants the port or the end of the window wakes it.
// Whatever the gauge prints besides the echo is handed on as it comes, and the reply that follows the
// echo stays in the port for the next pass.
bool cVarniTiny::awaitEcho(const char* frame, std::size_t length, std::uint32_t generation) {
    EchoWatch watch(frame, length);
    const std::uint32_t start = clock.nowMs();
    for (;;) {
        const std::uint32_t waited = elapsedMs(start, clock.nowMs());
        // The end of the program does not wait for the rest of the window.
        if (watch.done() || waited >= echoWindowMs || stopRequested.load()) return watch.echoed();
        unsigned char others[256];
        std::size_t count = 0;
        bool lost = false;
        {
            const std::unique_lock<std::mutex> held = portLock.take();
            if (portGeneration != generation) return false;
            bool received = false;
            for (int byte; !watch.done() && count + 2 <= sizeof others && (byte = port->ReadByte()) >= 0;) {
                received = true;
                count += static_cast<std::size_t>(watch.take(static_cast<unsigned char>(byte), others + count));
            }
            if (!received && !port->Gone()) port->WaitForInput(static_cast<int>(echoWindowMs - waited), *wakeup);
            if (port->Gone()) {
                losePort();
                lost = true;
            }
        }
        handOn(others, count);
        if (lost) return false;
    }
}

}  // namespace valbrix
