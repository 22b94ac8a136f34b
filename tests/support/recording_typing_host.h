#pragma once
// The desk as a test sets it: each answer the export loop asks for is what the test put there last,
// and every question is counted.

#include <mutex>

#include "export/typing_guard.h"

namespace valbrix::testing {

class RecordingTypingHost final : public TypingHost {
public:
    DeskState deskState() override {
        const std::lock_guard<std::mutex> lock(mutex);
        ++questions;
        return desk;
    }

    void set(const DeskState& state) {
        const std::lock_guard<std::mutex> lock(mutex);
        desk = state;
    }

    int asked() const {
        const std::lock_guard<std::mutex> lock(mutex);
        return questions;
    }

private:
    mutable std::mutex mutex;
    DeskState desk;
    int questions = 0;
};

}  // namespace valbrix::testing
