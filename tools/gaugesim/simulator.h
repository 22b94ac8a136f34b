#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gaugesim/command_framer.h"
#include "gaugesim/options.h"
#include "gaugesim/pseudo_terminal.h"

namespace gaugesim {

// A gauge on the far end of a pseudo-terminal: it echoes and answers the host's command frames and
// prints whatever it is given, at 4800 baud unless told otherwise. Printing, waiting, the queries and
// the setters may be called from any thread; start, unplug and plugIn belong to one controlling thread.
class Simulator {
public:
    explicit Simulator(Options options = {});
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the pseudo-terminal and starts the gauge thread. With a linkPath, a symbolic link to the slave
    // is made there (an older link is replaced, missing folders are made). Tells why on stderr when it fails.
    bool start(const std::string& linkPath = "");
    std::string slavePath() const;  // e.g. /dev/pts/7; empty while unplugged
    std::string linkPath() const;

    // Printouts. Each line is one output item; a reply to a command waits until the line being sent is
    // complete. Nothing is queued before start, or while the gauge is silent or unplugged.
    void send(const std::string& rawBytes);
    void sendLine(const std::string& text);
    void reading(int number, const std::string& valueToken, const std::string& unit);         // "%4d:  %s %s"
    void colonlessReading(int number, const std::string& valueToken, const std::string& unit); // "%05d %s %s"
    bool banner(int model);  // false for a model that prints no banner
    void memoryDump(int count, int gridColumns, const std::string& unit, double first = 10.0, double step = 0.1,
                    int decimals = 1);
    void statistics(const std::string& unit);
    void dateLine();
    // True when everything queued, echoes and replies included, has been written to the master.
    bool waitIdle(int timeoutMs);
    // True once the host has also read all of it. Closing the master (unplug, destruction) throws away
    // what the host has not read yet, so wait for this first when the tail of the output matters.
    // False once the host has taken nothing for timeoutMs: a slow host (a sanitizer build on a busy
    // machine) that keeps reading a long flood is waited for, however long the whole flood takes.
    bool waitHostRead(int timeoutMs);
    // The last printout item that was completely written, with the time its last byte went out.
    std::optional<WrittenItem> lastPrintout() const;

    // Command frames from the host without STX and ETX, prefix included, e.g. "?G00".
    std::vector<std::string> commands() const;
    bool waitForCommands(std::size_t count, int timeoutMs);
    // The index of the first frame at or after `from` whose command, prefix ignored, is `command`.
    std::optional<std::size_t> waitForCommand(const std::string& command, std::size_t from, int timeoutMs);
    // What the host wrote: each frame (STX..ETX, or the one still open) is an element, and so is each
    // run of bytes between frames.
    std::vector<std::string> rawReceived() const;
    std::string receivedBytes() const;  // the same, in one piece

    // The gauge takes a reading just as the host's next command comes in: the line goes out ahead of
    // that command's echo, as the last item being printed when the command arrived would.
    void printBeforeNextEcho(const std::string& text);
    void setEcho(EchoMode mode);
    void setSilent(bool silent);  // switching off also drops what was still queued
    void setModel(int model, const std::string& text = "");

    // Pulls the cable: the link goes, then the master closes, so the host's reads end and its writes
    // fail. Queued output is dropped.
    void unplug();
    // A new pseudo-terminal, linked at the same path. True at once when plugged in already.
    bool plugIn();

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        WrittenItem::Kind kind;
        std::string bytes;
        Clock::time_point queuedAt;
    };

    void run();
    void receive(int master);
    void answer(const std::string& frame);
    std::optional<Pending> takeNext();
    void delivered(Pending item);
    void queue(std::vector<std::string> items);
    void queueLines(const std::vector<std::string>& lines);
    void wake();
    void stopThread();
    void closePort();

    mutable std::mutex mutex;
    std::condition_variable changed;
    Options options;
    std::string linkName;
    PseudoTerminal pty;
    bool plugged = false;
    bool stopping = false;
    std::deque<Pending> answers;
    std::string beforeNextEcho;  // with its line end
    std::deque<Pending> printouts;
    bool writing = false;  // the gauge thread holds an item it took from a queue
    std::atomic<std::uint64_t> bytesOut{0};  // written to the master, so taken by the host as it drains
    std::optional<WrittenItem> lastWritten;
    CommandFramer framer;
    std::vector<std::string> receivedCommands;
    int wakeFd = -1;
    std::thread thread;
};

}  // namespace gaugesim
