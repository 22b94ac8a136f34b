#pragma once
// The thread that probes the serial ports for the port list. Opening a port may take seconds (a
// Bluetooth port fails only once its connection attempt has timed out), so the user-interface thread
// never opens one for the list: it starts a scan here and gets the results posted back.

#include <atomic>
#include <functional>
#include <thread>

namespace valbrix {

class PortScanThread {
public:
    // The scan looks at the flag between two ports and ends when it is set.
    using Scan = std::function<void(const std::atomic<bool>& cancelled)>;

    PortScanThread() = default;
    ~PortScanThread() { stop(); }
    PortScanThread(const PortScanThread&) = delete;
    PortScanThread& operator=(const PortScanThread&) = delete;

    // Runs the scan on a thread of its own. The previous scan must have said that it is done; its
    // thread, which has nothing left to do but end, is joined first. After stop() nothing starts.
    void start(Scan scan);
    // The scan ends before its next port.
    void cancel() { cancelled.store(true); }
    // Cancels the scan and waits for it: at most for the one probe under way, which the system ends by
    // its own timeout.
    void stop();

private:
    std::atomic<bool> cancelled{false};
    std::thread thread;
};

}  // namespace valbrix
