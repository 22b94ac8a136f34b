#include "app/journal.h"

namespace valbrix {

Journal::Journal(JournalFiles& files, WallClock& clock, std::string folder, const std::atomic<int>& language,
                 std::function<void(const std::string& path)> cannotWrite)
    : clock(clock), language(language), writer(files, std::move(folder), std::move(cannotWrite)) {
    thread = std::thread([this] { writeQueued(); });
}

Journal::~Journal() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        ending = true;
    }
    queued.notify_one();
    thread.join();
}

void Journal::record(JournalEntry entry) {
    entry.time = clock.now();
    {
        const std::lock_guard<std::mutex> guard(lock);
        entries.push_back(std::move(entry));
    }
    queued.notify_one();
}

void Journal::writeQueued() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        queued.wait(guard, [this] { return ending || !entries.empty(); });
        if (entries.empty()) return;  // ending, and everything written
        JournalEntry entry = std::move(entries.front());
        entries.pop_front();
        guard.unlock();
        writer.write(entry, language.load());
        guard.lock();
    }
}

}  // namespace valbrix
