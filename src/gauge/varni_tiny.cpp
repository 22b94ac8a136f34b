#include "gauge/varni_tiny.h"

#include <cstring>

#include "common/text.h"
#include "common/thread_priority.h"
#include "gauge/frame_characters.h"

namespace valbrix {

cVarniTiny::cVarniTiny(std::int16_t portNumber, NotifyCallback notifyCallback, int notifyMode,
                       GaugeEnvironment environment)
    : cCOM(*environment.ports, *environment.clock),
      notifyCallback(std::move(notifyCallback)),
      portNumber(portNumber),
      notifyMode(notifyMode),
      clock(*environment.clock),
      port(std::make_unique<cCOM>(portNumber, gaugeLineSettings, *environment.ports, *environment.clock)) {
    modelText.text[0] = commandPrefix.load();
    lastByteTime = clock.nowMs();
    if (environment.startThread) thread = std::thread([this] { acquisitionThread(); });
}

cVarniTiny::~cVarniTiny() {
    stopRequested.store(true);
    if (thread.joinable()) thread.join();
    // The thread no longer touches the port.
    sayGoodbyeAndClose();
}

// Tells the gauge that the host is leaving the line.
void cVarniTiny::sayGoodbyeAndClose() {
    port->WriteByte(STX);
    port->WriteByte(ETX);
    clock.sleepMs(50);
    port->Close();
}

void cVarniTiny::acquisitionThread() {
    raiseCurrentThreadPriority();
    lastByteTime = clock.nowMs();
    while (!stopRequested.load()) {
        AcquisitionPass();
        clock.sleepMs(passMs);
    }
}

void cVarniTiny::AcquisitionPass() {
    if (elapsedMs(lastByteTime, clock.nowMs()) > quietMs) statusFlags.fetch_and(~LineActive);

    if ((StatusFlags() & ExchangeBusy) == 0) {
        // Bytes are taken off the port under its lock and handled after it is released: the parser
        // may call the application, which must never wait behind a port change.
        unsigned char batch[256];
        std::size_t count;
        do {
            count = 0;
            {
                const std::lock_guard<std::mutex> lock(portLock);
                for (int byte; count < sizeof batch && (byte = port->ReadByte()) >= 0;)
                    batch[count++] = static_cast<unsigned char>(byte);
            }
            for (std::size_t i = 0; i < count; ++i) HandleByte(batch[i]);
            if (count > 0) lastByteTime = clock.nowMs();
        } while (count == sizeof batch);
    }

    if ((StatusFlags() & LineActive) == 0 && !CommandQueueEmpty()) {
        char command[commandBufferSize];
        if (NextCommand(command, sizeof command)) ExchangeCommand(command);
    }
}

bool cVarniTiny::HandleByte(int byte) {
    if (!port->IsConfigured()) return false;
    const ReceiveFraming::Step step = framing.handle(static_cast<unsigned char>(byte), GetDeviceModel(),
                                                     commandPrefix, [this](const char* record) { handleRecord(record); });
    if (step.processed) statusFlags.fetch_or(LineActive);
    return step.recordClosed;
}

void cVarniTiny::handleRecord(const char* record) {
    const GaugeView view{GetDeviceModel(), CommandPrefix(), modelTextEmpty()};
    apply(parseLine(lastCommand, record, view));
}

void cVarniTiny::apply(const ParseResult& result) {
    if (result.preparedCommand) prepare(lastCommand, *result.preparedCommand);
    if (result.modelText) {
        const std::lock_guard<std::mutex> lock(modelTextLock);
        modelText = *result.modelText;
    }
    if (result.modelNumber) modelNumber.store(*result.modelNumber);
    if (result.commandPrefix) commandPrefix.store(*result.commandPrefix);
    if (result.gridColumns) gridColumns.store(*result.gridColumns);
    // A 6135 that cannot be asked for its extended identification has no name yet: it stays
    // unidentified, so the identification poll starts over.
    const bool asked = !result.queueExtendedIdentification || QueueCommand("G0A");
    if (result.markIdentified && asked) statusFlags.fetch_and(~NotIdentified);
    if (result.value) {
        MeasuredValue record = *result.value;
        record.gridColumns = GridColumns();
        values.pushValue(record);
    }
    if (result.identificationReply && (notifyMode & 1) != 0 && notifyCallback) notifyCallback(*this);
}

bool cVarniTiny::ExchangeCommand(const char* text) {
    statusFlags.fetch_or(ExchangeBusy);
    const std::lock_guard<std::mutex> lock(portLock);
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

    bool echoed = false;
    if (port->WriteString(frame, 1)) {
        char echo[ReceiveFraming::bufferSize];
        std::size_t echoLength = 0;
        const std::uint32_t start = clock.nowMs();
        while (elapsedMs(start, clock.nowMs()) < echoWindowMs) {
            if (echoLength == frameLength && std::memcmp(echo, frame, frameLength) == 0) break;
            const int byte = port->ReadByte();
            if (byte < 0) {
                clock.sleepMs(1);
            } else {
                echo[echoLength++] = static_cast<char>(byte);
                if (echoLength >= sizeof echo) break;
            }
        }
        echoed = echoLength == frameLength && std::memcmp(echo, frame, frameLength) == 0;
    }
    if (!echoed) statusFlags.fetch_or(NotIdentified);
    statusFlags.fetch_and(~ExchangeBusy);
    return echoed;
}

int cVarniTiny::ChangePort(int n) {
    const std::lock_guard<std::mutex> lock(portLock);
    sayGoodbyeAndClose();
    if (port->Open(n, gaugeLineSettings)) {
        portNumber.store(n);
        return n;
    }
    clock.sleepMs(1);
    port->Close();
    const int previous = portNumber.load();
    return port->Open(previous, gaugeLineSettings) ? previous : -1;
}

bool cVarniTiny::QueueCommand(const char* text) { return commands.QueueCommand(CommandPrefix(), text); }

ModelText cVarniTiny::GetModelText() const {
    const std::lock_guard<std::mutex> lock(modelTextLock);
    return modelText;
}

void cVarniTiny::SetModelText(const char* text) {
    const std::lock_guard<std::mutex> lock(modelTextLock);
    copyText(modelText.text, text, ModelText::capacity);
}

bool cVarniTiny::modelTextEmpty() const {
    const std::lock_guard<std::mutex> lock(modelTextLock);
    return modelText.text[0] == '\0';
}

bool cVarniTiny::RequestIdentification() {
    SetModelText("");
    return QueueCommand("G00");
}

bool cVarniTiny::QueueFollowUpRequests() {
    bool queued = true;
    for (const char* command : {"G170000", "G160000", "G150000"}) queued = QueueCommand(command) && queued;
    clock.sleepMs(10);
    return queued;
}

}  // namespace valbrix
