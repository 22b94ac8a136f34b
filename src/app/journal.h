#pragma once
// The journal as the export and acquisition threads meet it: each entry is stamped with the wall
// clock and queued at once, and a thread of the journal's own writes the queue to the files, so that
// a slow or stuck disk never holds up typing or reading the line. At its end the journal writes what
// is still queued.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/journal_files.h"
#include "app/journal_writer.h"
#include "common/local_time.h"
#include "export/value_journal.h"

namespace valbrix {

class Journal final : public ValueJournal {
public:
    // language is read for each line, so the heading of a new file follows the interface language.
    Journal(JournalFiles& files, WallClock& clock, std::string folder, const std::atomic<int>& language,
            std::function<void(const std::string& path)> cannotWrite);
    ~Journal() override;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    void record(JournalEntry entry) override;

private:
    void writeQueued();

    WallClock& clock;
    const std::atomic<int>& language;
    JournalWriter writer;  // the journal's thread only
    std::mutex lock;
    std::condition_variable queued;
    std::deque<JournalEntry> entries;
    bool ending = false;
    std::thread thread;
};

}  // namespace valbrix
