#include "gauge/varni_tiny.h"

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
      wakeup(environment.ports->makeWakeup()),
      portLock(*wakeup),
      port(std::make_unique<cCOM>(portNumber, gaugeLineSettings, *environment.ports, *environment.clock)) {
    modelText.text[0] = commandPrefix.load();
    lastByteTime = clock.nowMs();
    if (environment.startThread) thread = std::thread([this] { acquisitionThread(); });
}

cVarniTiny::~cVarniTiny() {
    stopRequested.store(true);
    wakeup->ring();
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
        pauseAfterPass();
    }
}

// While the gauge talks or a command waits for a quiet line, a pass follows every 50 ms. With nothing
// to do the thread sleeps on the port until the gauge sends, a command is queued, another thread wants
// the port or the program ends: a quiet line costs nothing.
void cVarniTiny::pauseAfterPass() {
    if (passRead || !CommandQueueEmpty()) {
        clock.sleepMs(passMs);
        return;
    }
    if (PortLost()) {
        wakeup->wait(static_cast<int>(reopenIntervalMs));
        return;
    }
    const std::unique_lock<std::mutex> held = portLock.take();
    if (!stopRequested.load() && !portLock.wanted() && CommandQueueEmpty()) port->WaitForInput(-1, *wakeup);
}

void cVarniTiny::AcquisitionPass() {
    if (elapsedMs(lastByteTime, clock.nowMs()) > quietMs) {
        statusFlags.fetch_and(~LineActive);
        framing.lineQuiet([this](const char* record) { handleRecord(record); });
    }
    passRead = false;

    if (PortLost()) {
        dropQueuedCommands();
        reopenWhenDue();
        return;
    }

    if ((StatusFlags() & ExchangeBusy) == 0) readWaitingBytes();

    if ((StatusFlags() & LineActive) == 0 && !CommandQueueEmpty()) {
        char command[commandBufferSize];
        if (NextCommand(command, sizeof command)) ExchangeCommand(command);
    }
}

// Bytes are taken off the port while it is held and handled after it is let go: the parser may call
// the application, which must never wait behind a port change. A pass ends early for a thread that
// wants the port, and for the end of the program, however fast the gauge keeps sending.
void cVarniTiny::readWaitingBytes() {
    unsigned char batch[256];
    std::size_t count;
    do {
        count = 0;
        {
            const std::unique_lock<std::mutex> held = portLock.take();
            for (int byte; count < sizeof batch && (byte = port->ReadByte()) >= 0;)
                batch[count++] = static_cast<unsigned char>(byte);
            if (port->Gone()) losePort();
        }
        handOn(batch, count);
    } while (count == sizeof batch && !stopRequested.load() && !portLock.wanted());
}

void cVarniTiny::handOn(const unsigned char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) HandleByte(bytes[i]);
    if (count == 0) return;
    lastByteTime = clock.nowMs();
    passRead = true;
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
        if (!values.pushValue(record)) {
            const std::lock_guard<std::mutex> lock(valueDroppedLock);
            if (valueDropped) valueDropped(*this, record);
        }
    }
    if (result.modelText || result.markIdentified || result.value) changes.ring();
    if (result.identificationReply && (notifyMode & 1) != 0 && notifyCallback) notifyCallback(*this);
}

void cVarniTiny::OnValueDropped(ValueDroppedCallback callback) {
    const std::lock_guard<std::mutex> lock(valueDroppedLock);
    valueDropped = std::move(callback);
}

void cVarniTiny::markNotIdentified() {
    if ((statusFlags.fetch_or(NotIdentified) & NotIdentified) == 0) changes.ring();
}

bool cVarniTiny::QueueCommand(const char* text) {
    const bool queued = commands.QueueCommand(CommandPrefix(), text);
    if (queued) wakeup->ring();
    return queued;
}

ModelText cVarniTiny::GetModelText() const {
    const std::lock_guard<std::mutex> lock(modelTextLock);
    return modelText;
}

void cVarniTiny::SetModelText(const char* text) {
    {
        const std::lock_guard<std::mutex> lock(modelTextLock);
        copyText(modelText.text, text, ModelText::capacity);
    }
    changes.ring();
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
