#pragma once
// The journal's seams as the tests see them: files kept in memory that can refuse every write as a
// read-only folder would, a wall clock set by hand, and a journal that keeps the entries it is told.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/journal_files.h"
#include "common/local_time.h"
#include "export/value_journal.h"

namespace valbrix::testing {

class RecordingJournalFiles final : public JournalFiles {
public:
    bool isEmpty(const std::string& path) override {
        const std::lock_guard<std::mutex> guard(lock);
        const auto found = files.find(path);
        return found == files.end() || found->second.empty();
    }
    bool append(const std::string& path, const std::string& bytes) override {
        const std::lock_guard<std::mutex> guard(lock);
        ++attempts;
        if (refuse) return false;
        files[path] += bytes;
        return true;
    }

    std::map<std::string, std::string> contents() const {
        const std::lock_guard<std::mutex> guard(lock);
        return files;
    }
    int attemptCount() const {
        const std::lock_guard<std::mutex> guard(lock);
        return attempts;
    }
    void refuseWrites() {
        const std::lock_guard<std::mutex> guard(lock);
        refuse = true;
    }
    void keep(const std::string& path, const std::string& bytes) {
        const std::lock_guard<std::mutex> guard(lock);
        files[path] = bytes;
    }

private:
    mutable std::mutex lock;
    std::map<std::string, std::string> files;
    bool refuse = false;
    int attempts = 0;
};

class SetWallClock final : public WallClock {
public:
    LocalTime now() override {
        const std::lock_guard<std::mutex> guard(lock);
        return time;
    }
    void set(const LocalTime& to) {
        const std::lock_guard<std::mutex> guard(lock);
        time = to;
    }

private:
    std::mutex lock;
    LocalTime time{2026, 12, 8, 14, 3, 27, 60};
};

class RecordingJournal final : public ValueJournal {
public:
    void record(JournalEntry entry) override {
        const std::lock_guard<std::mutex> guard(lock);
        entries.push_back(std::move(entry));
    }
    void clear() {
        const std::lock_guard<std::mutex> guard(lock);
        entries.clear();
    }
    std::vector<JournalEntry> recorded() const {
        const std::lock_guard<std::mutex> guard(lock);
        return entries;
    }

private:
    mutable std::mutex lock;
    std::vector<JournalEntry> entries;
};

}  // namespace valbrix::testing
