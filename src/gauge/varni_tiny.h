#pragma once
// cVarniTiny: the program's one connection to a gauge. It owns the serial port, runs the acquisition
// thread that reads the line every 50 ms, frames and parses what the gauge prints, and sends queued
// commands only while the line is quiet, checking that the gauge echoes each one.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "common/change_signal.h"
#include "common/clock.h"
#include "gauge/command_queue.h"
#include "gauge/port_lock.h"
#include "gauge/receive_framing.h"
#include "gauge/report_parser.h"
#include "gauge/value_ring.h"
#include "serial/com.h"

namespace valbrix {

// Where the gauge object finds its port driver and its time; tests hand in their own and drive the
// acquisition passes themselves.
struct GaugeEnvironment {
    PortSystem* ports = &systemPorts();
    Clock* clock = &systemClock();
    bool startThread = true;
};

class cVarniTiny : public cCOM {
public:
    static constexpr std::uint32_t ExchangeBusy = 0x2;
    static constexpr std::uint32_t LineActive = 0x10;
    static constexpr std::uint32_t NotIdentified = 0x100;

    static constexpr int passMs = 50;
    static constexpr std::uint32_t quietMs = 500;
    static constexpr std::uint32_t echoWindowMs = 300;
    // How often the acquisition thread tries to open a port again whose device has gone.
    static constexpr std::uint32_t reopenIntervalMs = 500;

    // Called on the acquisition thread after the gauge has identified itself; it gets the gauge so
    // that it can queue the follow-up commands without reaching for the object from outside.
    using NotifyCallback = std::function<void(cVarniTiny&)>;
    // Called on the acquisition thread with each value the full ring turned away, so that none is lost
    // without a trace.
    using ValueDroppedCallback = std::function<void(cVarniTiny&, const MeasuredValue&)>;

    cVarniTiny(std::int16_t portNumber, NotifyCallback notifyCallback, int notifyMode,
               GaugeEnvironment environment = {});
    ~cVarniTiny();
    cVarniTiny(const cVarniTiny&) = delete;
    cVarniTiny& operator=(const cVarniTiny&) = delete;

    // Moves to port n; when n cannot be opened the old port is opened again. Returns the port now in
    // use, or -1 when neither could be opened. The failures the port reports while set up are shown
    // once the port is no longer held, and the acquisition thread lets go of the port at once: neither
    // a box nor an echo wait holds the caller up.
    int ChangePort(int n);
    void OnValueDropped(ValueDroppedCallback callback);

    // Queues a command and wakes the acquisition thread to send it once the line is quiet.
    bool QueueCommand(const char* text);
    bool NextCommand(char* out, std::size_t outSize) { return commands.NextCommand(out, outSize); }
    bool CommandQueueEmpty() const { return commands.CommandQueueEmpty(); }
    // Sends prefix and command framed by STX and ETX, one byte a millisecond, and waits up to 300 ms
    // for the gauge's echo. False (and the gauge counts as unidentified) without a correct echo. What
    // the gauge prints meanwhile goes to the framing as if read by a pass.
    bool ExchangeCommand(const char* text);
    // One received byte into the framing; true when a record was parsed during this call.
    bool HandleByte(int byte);
    // One pass of the acquisition thread: after 500 quiet ms clear the line state and close a record
    // left waiting for its line end, read and handle all waiting bytes, send one queued command when
    // the line is quiet. While the port's device is gone, the pass drops the queued commands instead
    // and tries every 500 ms to open the port again.
    void AcquisitionPass();

    bool IsIdentified() const { return (StatusFlags() & NotIdentified) == 0; }
    std::uint32_t StatusFlags() const { return statusFlags.load(std::memory_order_acquire); }
    ModelText GetModelText() const;
    void SetModelText(const char* text);
    int GetDeviceModel() const { return modelNumber.load(std::memory_order_relaxed); }
    void SetDeviceModel(int model) { modelNumber.store(model, std::memory_order_relaxed); }
    char CommandPrefix() const { return commandPrefix.load(std::memory_order_relaxed); }
    int GridColumns() const { return gridColumns.load(std::memory_order_relaxed); }
    int PortNumber() const { return portNumber.load(std::memory_order_relaxed); }
    bool RequestIdentification();
    bool QueueFollowUpRequests();

    bool takeValue(MeasuredValue& out) { return values.takeValue(out); }
    bool HasValue() const { return values.hasValue(); }
    std::uint32_t DroppedValues() const { return values.droppedValues(); }

    // The port's device went away under the open port (a USB adapter pulled out). The port is closed
    // and the gauge counts as unidentified until the acquisition thread has opened the same port
    // number again, which it does by itself once the device is back.
    bool PortLost() const { return portLost.load(); }
    // Rung whenever something the export loop shows or acts on changes here: a value, the model text,
    // the identification, the port's state. Whoever changes what else the loop reads rings it too.
    ChangeSignal& Changes() { return changes; }

    // The port for any thread but the acquisition thread, which lets go of it at once.
    void RaiseDtrAndRts();
    // For the port list. The port the gauge holds open counts as available and its provider value is
    // left as it is; any other is opened for a moment on its own, without holding the gauge's port:
    // a port that takes seconds to fail must not hold up the acquisition thread.
    bool ProbePort(int portNumber, int& providerValue);
    // True when the gauge holds this port open, with the provider value the open port reports.
    bool HoldsPort(int portNumber, int& providerValue);
    int OpenPortNumber();
    // The port object itself, for what may be read from any thread (IsConfigured).
    cCOM& Port() { return *port; }

private:
    static constexpr std::size_t commandBufferSize = 1000;

    void acquisitionThread();
    void pauseAfterPass();
    void readWaitingBytes();
    void handOn(const unsigned char* bytes, std::size_t count);
    void sayGoodbyeAndClose();
    void handleRecord(const char* record);
    void apply(const ParseResult& result);
    bool modelTextEmpty() const;
    void markNotIdentified();

    // varni_tiny_exchange.cpp: the command frame out, its echo back.
    bool sendFrame(const char* frame, std::size_t length, std::uint32_t& generation);
    bool awaitEcho(const char* frame, std::size_t length, std::uint32_t generation);

    // varni_tiny_port.cpp: the port's device going and coming back. Both with the port held.
    void losePort();
    void reopenWhenDue();
    void dropQueuedCommands();

    NotifyCallback notifyCallback;
    std::mutex valueDroppedLock;  // set on the user-interface thread, called on the acquisition thread
    ValueDroppedCallback valueDropped;
    mutable std::mutex modelTextLock;  // readers on other threads never see half a text
    ModelText modelText;
    CommandQueue commands;
    std::atomic<int> portNumber;
    int notifyMode;
    std::atomic<int> modelNumber{modelGroup1Device};
    std::atomic<char> commandPrefix{'?'};
    LastCommand lastCommand;  // acquisition thread only
    std::atomic<std::uint32_t> statusFlags{NotIdentified};
    std::atomic<int> gridColumns{0};
    Clock& clock;
    ChangeSignal changes;
    // Wakes the acquisition thread where it waits on the port: a command queued, the port wanted, the end.
    std::unique_ptr<PortWakeup> wakeup;
    // Held while the port is used, so that ChangePort never closes it under the acquisition thread.
    PortLock portLock;
    std::unique_ptr<cCOM> port;
    std::uint32_t portGeneration = 0;  // under portLock; counts the closes and opens of the port
    std::atomic<bool> portLost{false};  // written under portLock
    MeasuredValueRing values;
    ReceiveFraming framing;             // acquisition thread only
    std::uint32_t lastByteTime = 0;     // acquisition thread only
    std::uint32_t lastReopenTime = 0;   // acquisition thread only
    bool passRead = false;              // acquisition thread only: the pass took bytes from the gauge
    std::atomic<bool> stopRequested{false};
    std::thread thread;
};

}  // namespace valbrix
