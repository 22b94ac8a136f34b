#pragma once
// Scripted serial ports for unit tests of the logic above the driver: what was written, which lines
// were switched, what was restored, and bytes waiting to be read.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/clock.h"
#include "serial/port_driver.h"

namespace valbrix::testing {

struct FakeLine {
    bool exists = true;
    bool open = false;
    bool failTimeouts = false;
    bool failLineSettings = false;
    bool echo = false;  // every written byte comes straight back, as a gauge echoes its commands
    bool gone = false;  // pulled out: the open handle fails every read and write
    int providerValue = 0;
    std::string deniedGroup;  // the device is there, but only this group's members may open it
    int opens = 0;
    int tries = 0;  // opens asked for, also while the device is missing
    int restores = 0;
    std::size_t signalsAtFirstRestore = 0;  // how many line signals came before the settings went back
    LineSettings applied;
    std::deque<unsigned char> inbound;
    std::string written;
    std::vector<LineSignal> signals;

    void receive(const std::string& bytes) { inbound.insert(inbound.end(), bytes.begin(), bytes.end()); }
    // The adapter is pulled: the device goes and the handle that is open fails from now on.
    void pull() {
        gone = true;
        exists = false;
        inbound.clear();
    }
    // A new adapter under the same name.
    void plugBackIn() {
        gone = false;
        exists = true;
    }
};

// Waits pass on the test's clock, a millisecond at a time, so that a scripted gauge can deliver bytes
// meanwhile (FakeClock::onSleep). A wait without limit ends only when rung.
class FakeWakeup final : public PortWakeup {
public:
    explicit FakeWakeup(Clock& clock) : clock(clock) {}
    void ring() override { rung.store(true); }
    void wait(int timeoutMs) override {
        for (int waited = 0; !takeRing() && (timeoutMs < 0 || waited < timeoutMs); ++waited) clock.sleepMs(1);
    }
    bool takeRing() { return rung.exchange(false); }

    Clock& clock;
    std::atomic<bool> rung{false};
};

class FakeConnection final : public PortConnection {
public:
    FakeConnection(std::shared_ptr<FakeLine> line, Clock& clock) : line(std::move(line)), clock(clock) {
        this->line->open = true;
    }
    ~FakeConnection() override { line->open = false; }
    bool applyTimeouts() override { return !line->failTimeouts; }
    bool applyLineSettings(const LineSettings& settings) override {
        line->applied = settings;
        return !line->failLineSettings;
    }
    void restore() override {
        if (line->restores++ == 0) line->signalsAtFirstRestore = line->signals.size();
    }
    int readByte() override {
        if (line->gone || line->inbound.empty()) return -1;
        const unsigned char byte = line->inbound.front();
        line->inbound.pop_front();
        return byte;
    }
    bool writeByte(unsigned char byte) override {
        if (line->gone) return false;
        line->written += static_cast<char>(byte);
        if (line->echo) line->inbound.push_back(byte);
        return true;
    }
    void waitForInput(int timeoutMs, PortWakeup& wakeup) override {
        auto& fake = static_cast<FakeWakeup&>(wakeup);
        for (int waited = 0; line->inbound.empty() && !line->gone && (timeoutMs < 0 || waited < timeoutMs); ++waited) {
            if (fake.takeRing()) return;
            clock.sleepMs(1);
        }
    }
    bool gone() override { return line->gone; }
    bool signal(LineSignal which) override {
        line->signals.push_back(which);
        return true;
    }
    int providerValue() override { return line->providerValue; }

private:
    std::shared_ptr<FakeLine> line;
    Clock& clock;
};

// Opens of a port that wait until the test lets them go, as a Bluetooth port keeps whoever opens it
// waiting for seconds before the open fails.
class OpenGate {
public:
    // Called by the open: returns once the gate is released.
    void pass() {
        std::unique_lock<std::mutex> lock(mutex);
        ++arrived;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
    }
    // Returns once an open is waiting at the gate (or has passed it).
    void waitUntilHeld() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return arrived > 0; });
    }
    void release() {
        const std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
    int opensArrived() {
        const std::lock_guard<std::mutex> lock(mutex);
        return arrived;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    bool released = false;
};

// Safe to open from several threads, as the port scan does while the gauge object opens its port.
class FakePorts final : public PortSystem {
public:
    explicit FakePorts(Clock& clock) : clock(clock) {}

    std::shared_ptr<FakeLine> add(int portNumber) {
        auto line = std::make_shared<FakeLine>();
        const std::lock_guard<std::mutex> lock(mutex);
        lines[portNumber] = line;
        return line;
    }
    // From now on every open of the port waits at the gate.
    std::shared_ptr<OpenGate> hold(int portNumber) {
        auto gate = std::make_shared<OpenGate>();
        const std::lock_guard<std::mutex> lock(mutex);
        gates[portNumber] = gate;
        return gate;
    }
    std::unique_ptr<PortConnection> open(int portNumber) override {
        std::shared_ptr<OpenGate> gate;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            const auto held = gates.find(portNumber);
            if (held != gates.end()) gate = held->second;
        }
        if (gate) gate->pass();
        const std::lock_guard<std::mutex> lock(mutex);
        const auto found = lines.find(portNumber);
        if (found != lines.end()) ++found->second->tries;
        if (found == lines.end() || !found->second->exists || found->second->open || !found->second->deniedGroup.empty())
            return nullptr;
        ++found->second->opens;
        return std::make_unique<FakeConnection>(found->second, clock);
    }
    std::string lastErrorText() override { return "The device does not recognize the command."; }
    std::string deniedGroup(int portNumber) override {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto found = lines.find(portNumber);
        return found == lines.end() || !found->second->exists ? std::string() : found->second->deniedGroup;
    }

    std::unique_ptr<PortWakeup> makeWakeup() override { return std::make_unique<FakeWakeup>(clock); }

    std::map<int, std::shared_ptr<FakeLine>> lines;
    Clock& clock;

private:
    std::mutex mutex;
    std::map<int, std::shared_ptr<OpenGate>> gates;
};

}  // namespace valbrix::testing
