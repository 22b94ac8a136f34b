#pragma once
// The uinput device file without a kernel behind it: it keeps the requests and the events a sink
// sends, so that tests read them back.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "export/key_sink_uinput.h"

namespace valbrix::testing {

class RecordingUinputFile final : public UinputFile {
public:
    struct Record {
        int opens = 0;                        // how often the device file was opened
        std::vector<unsigned long> requests;  // in order, UI_DEV_SETUP among them
        std::vector<int> keys;                // every UI_SET_KEYBIT
        std::string name;
        std::vector<input_event> events;
        std::vector<std::chrono::steady_clock::time_point> written;  // when each event came
    };

    explicit RecordingUinputFile(Record& record, unsigned long refused = 0) : record(record), refused(refused) {}

    bool control(unsigned long request, int argument) override {
        record.requests.push_back(request);
        if (request == UI_SET_KEYBIT) record.keys.push_back(argument);
        return request != refused;
    }
    bool setup(const uinput_setup& device) override {
        record.requests.push_back(UI_DEV_SETUP);
        record.name = device.name;
        return UI_DEV_SETUP != refused;
    }
    bool write(const input_event& event) override {
        record.events.push_back(event);
        record.written.push_back(std::chrono::steady_clock::now());
        return true;
    }

    // Opens the device file as a sink's opener would; counted in the record.
    static std::unique_ptr<UinputFile> open(Record& record) {
        ++record.opens;
        return std::make_unique<RecordingUinputFile>(record);
    }

private:
    Record& record;
    const unsigned long refused;  // a request the kernel turns down
};

}  // namespace valbrix::testing
