#pragma once
// Scripted serial ports for unit tests of the logic above the driver: what was written, which lines
// were switched, what was restored, and bytes waiting to be read.

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "serial/port_driver.h"

namespace valbrix::testing {

struct FakeLine {
    bool exists = true;
    bool open = false;
    bool failTimeouts = false;
    bool failLineSettings = false;
    bool echo = false;  // every written byte comes straight back, as a gauge echoes its commands
    int providerValue = 0;
    std::string deniedGroup;  // the device is there, but only this group's members may open it
    int opens = 0;
    int restores = 0;
    std::size_t signalsAtFirstRestore = 0;  // how many line signals came before the settings went back
    LineSettings applied;
    std::deque<unsigned char> inbound;
    std::string written;
    std::vector<LineSignal> signals;

    void receive(const std::string& bytes) { inbound.insert(inbound.end(), bytes.begin(), bytes.end()); }
};

class FakeConnection final : public PortConnection {
public:
    explicit FakeConnection(std::shared_ptr<FakeLine> line) : line(std::move(line)) { this->line->open = true; }
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
        if (line->inbound.empty()) return -1;
        const unsigned char byte = line->inbound.front();
        line->inbound.pop_front();
        return byte;
    }
    bool writeByte(unsigned char byte) override {
        line->written += static_cast<char>(byte);
        if (line->echo) line->inbound.push_back(byte);
        return true;
    }
    bool signal(LineSignal which) override {
        line->signals.push_back(which);
        return true;
    }
    int providerValue() override { return line->providerValue; }

private:
    std::shared_ptr<FakeLine> line;
};

class FakePorts final : public PortSystem {
public:
    std::shared_ptr<FakeLine> add(int portNumber) {
        auto line = std::make_shared<FakeLine>();
        lines[portNumber] = line;
        return line;
    }
    std::unique_ptr<PortConnection> open(int portNumber) override {
        const auto found = lines.find(portNumber);
        if (found == lines.end() || !found->second->exists || found->second->open || !found->second->deniedGroup.empty())
            return nullptr;
        ++found->second->opens;
        return std::make_unique<FakeConnection>(found->second);
    }
    std::string lastErrorText() override { return "The device does not recognize the command."; }
    std::string deniedGroup(int portNumber) override {
        const auto found = lines.find(portNumber);
        return found == lines.end() || !found->second->exists ? std::string() : found->second->deniedGroup;
    }

    std::map<int, std::shared_ptr<FakeLine>> lines;
};

}  // namespace valbrix::testing
