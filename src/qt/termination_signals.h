#pragma once
// SIGTERM and SIGINT end the program as its Exit command does, only without the question. The signal
// handler only writes a byte into a pipe; the user-interface thread reads it and does the rest.

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace valbrix {

class TerminationSignals final {
public:
    // onSignal runs on the thread that creates this object, in its event loop.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> onSignal;
    std::unique_ptr<QSocketNotifier> notifier;
};

}  // namespace valbrix
