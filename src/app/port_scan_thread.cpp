#include "app/port_scan_thread.h"

#include <utility>

namespace valbrix {

void PortScanThread::start(Scan scan) {
    if (thread.joinable()) thread.join();
    // Once stopped for the end of the program, no scan starts: what it uses is about to go.
    if (cancelled.load()) return;
    thread = std::thread([this, scan = std::move(scan)] { scan(cancelled); });
}

void PortScanThread::stop() {
    cancel();
    if (thread.joinable()) thread.join();
}

}  // namespace valbrix
