#pragma once
// Waiting with a time limit, for tests that watch other processes and windows.

#include <algorithm>
#include <chrono>
#include <thread>

namespace valbrix::testing {

class Deadline {
public:
    explicit Deadline(int timeoutMs) : end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}

    // Milliseconds still left, never below zero.
    int leftMs() const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<long long>(left.count(), 0));
    }
    bool passed() const { return leftMs() == 0; }

private:
    std::chrono::steady_clock::time_point end;
};

// The first answer of `probe` that counts as true, asked every 20 ms until timeoutMs have passed;
// else its last answer.
template <class Probe>
auto pollFor(int timeoutMs, const Probe& probe) -> decltype(probe()) {
    const Deadline deadline(timeoutMs);
    for (;;) {
        auto answer = probe();
        if (answer || deadline.passed()) return answer;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace valbrix::testing
