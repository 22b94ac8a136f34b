#include "gauge/port_lock.h"

namespace valbrix {

PortLock::Use::Use(PortLock& lock) : lock(lock) {
    {
        const std::lock_guard<std::mutex> guard(lock.waitingLock);
        lock.waiting.fetch_add(1);
    }
    lock.wakeup.ring();
    lock.port.lock();
    {
        const std::lock_guard<std::mutex> guard(lock.waitingLock);
        lock.waiting.fetch_sub(1);
    }
    lock.nobodyWaiting.notify_all();
}

PortLock::Use::~Use() { lock.port.unlock(); }

std::unique_lock<std::mutex> PortLock::take() {
    {
        std::unique_lock<std::mutex> guard(waitingLock);
        nobodyWaiting.wait(guard, [this] { return waiting.load() == 0; });
    }
    return std::unique_lock<std::mutex>(port);
}

}  // namespace valbrix
