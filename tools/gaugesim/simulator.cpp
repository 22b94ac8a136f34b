#include "gaugesim/simulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <utility>

#include "gaugesim/device_link.h"
#include "gaugesim/errors.h"
#include "gaugesim/printouts.h"
#include "gaugesim/replies.h"

namespace gaugesim {
namespace {

// 4800 baud with start bit, eight data bits and stop bit: ten bit times for every byte.
constexpr std::chrono::nanoseconds byteTime(10'000'000'000 / 4800);

timespec pollTimeout(std::chrono::steady_clock::duration wait) {
    const auto ns = std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count());
    return timespec{static_cast<std::time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

Simulator::Simulator(Options options) : options(std::move(options)) {}

Simulator::~Simulator() {
    stopThread();
    closePort();
    if (wakeFd >= 0) ::close(wakeFd);
}

bool Simulator::start(const std::string& linkPath) {
    if (wakeFd >= 0) {
        reportError("the simulator has been started already");
        return false;
    }
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        reportSystemError("cannot create an event descriptor");
        return false;
    }
    {
        std::lock_guard lock(mutex);
        linkName = linkPath;
    }
    return plugIn();
}

std::string Simulator::slavePath() const {
    std::lock_guard lock(mutex);
    return pty.slavePath();
}

std::string Simulator::linkPath() const {
    std::lock_guard lock(mutex);
    return linkName;
}

void Simulator::send(const std::string& rawBytes) { queue({rawBytes}); }

void Simulator::sendLine(const std::string& text) { queueLines({text}); }

void Simulator::reading(int number, const std::string& valueToken, const std::string& unit) {
    queueLines({readingLine(number, valueToken, unit)});
}

void Simulator::colonlessReading(int number, const std::string& valueToken, const std::string& unit) {
    queueLines({colonlessReadingLine(number, valueToken, unit)});
}

bool Simulator::banner(int model) {
    const std::vector<std::string> lines = bannerLines(model);
    queueLines(lines);
    return !lines.empty();
}

void Simulator::memoryDump(int count, int gridColumns, const std::string& unit, double first, double step,
                           int decimals) {
    queueLines(memoryDumpLines(count, gridColumns, unit, first, step, decimals));
}

void Simulator::statistics(const std::string& unit) { queueLines(statisticsLines(unit)); }

void Simulator::dateLine() { queueLines({dateLineText(std::time(nullptr))}); }

bool Simulator::waitIdle(int timeoutMs) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return answers.empty() && printouts.empty() && !writing; });
}

bool Simulator::waitHostRead(int timeoutMs) {
    const auto patience = std::chrono::milliseconds(timeoutMs);
    Clock::time_point deadline = Clock::now() + patience;
    std::uint64_t seen = bytesOut.load();
    for (;;) {
        {
            std::lock_guard lock(mutex);
            const bool allWritten = answers.empty() && printouts.empty() && !writing;
            if (allWritten && (!plugged || !pty.hostHasUnread())) return true;
        }
        if (const std::uint64_t now = bytesOut.load(); now != seen) {
            seen = now;
            deadline = Clock::now() + patience;
        } else if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::optional<WrittenItem> Simulator::lastPrintout() const {
    std::lock_guard lock(mutex);
    return lastWritten;
}

std::vector<std::string> Simulator::commands() const {
    std::lock_guard lock(mutex);
    return receivedCommands;
}

bool Simulator::waitForCommands(std::size_t count, int timeoutMs) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return receivedCommands.size() >= count; });
}

std::optional<std::size_t> Simulator::waitForCommand(const std::string& command, std::size_t from, int timeoutMs) {
    std::optional<std::size_t> found;
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (std::size_t i = from; i < receivedCommands.size(); ++i) {
            if (commandOf(receivedCommands[i]) == command) {
                found = i;
                return true;
            }
        }
        from = receivedCommands.size();
        return false;
    });
    return found;
}

std::vector<std::string> Simulator::rawReceived() const {
    std::lock_guard lock(mutex);
    return framer.segments();
}

std::string Simulator::receivedBytes() const {
    std::string bytes;
    for (const std::string& segment : rawReceived()) bytes += segment;
    return bytes;
}

void Simulator::printBeforeNextEcho(const std::string& text) {
    std::lock_guard lock(mutex);
    beforeNextEcho = text + std::string(lineEndBytes(options.lineEnd));
}

void Simulator::setEcho(EchoMode mode) {
    std::lock_guard lock(mutex);
    options.echo = mode;
}

void Simulator::setSilent(bool silent) {
    std::lock_guard lock(mutex);
    options.silent = silent;
    if (silent) {
        answers.clear();
        printouts.clear();
        changed.notify_all();
    }
}

void Simulator::setModel(int model, const std::string& text) {
    std::lock_guard lock(mutex);
    options.model = model;
    options.modelText = text;
}

void Simulator::unplug() {
    stopThread();
    closePort();
}

bool Simulator::plugIn() {
    if (thread.joinable()) return true;
    if (wakeFd < 0) {
        reportError("plug in after start");
        return false;
    }
    PseudoTerminal opened;
    if (!opened.open()) return false;
    const std::string link = linkPath();
    if (!link.empty() && !linkTo(link, opened.slavePath())) return false;
    {
        std::lock_guard lock(mutex);
        pty = std::move(opened);
        plugged = true;
        stopping = false;
    }
    thread = std::thread(&Simulator::run, this);
    return true;
}

void Simulator::run() {
    const int master = pty.master();
    std::optional<Pending> current;
    std::size_t sent = 0;
    bool blocked = false;          // the host is not reading and the slave's input queue is full
    Clock::time_point lineFreeAt;  // when the last byte sent so far has fully arrived
    Clock::time_point byteDue;     // when the next byte of `current` will have fully arrived
    for (;;) {
        bool paced = false;
        {
            std::lock_guard lock(mutex);
            if (stopping) return;
            if (!current && (current = takeNext())) {
                sent = 0;
                // Deadlines run on from the previous item when this one was waiting for the line, so
                // back-to-back lines keep the exact average rate however late the thread wakes.
                byteDue = std::max(lineFreeAt, current->queuedAt) + byteTime;
            }
            paced = options.paced;
        }
        timespec timeout{};
        timespec* wait = nullptr;  // nothing to send: sleep until the host writes or a queue wakes us
        if (current && !blocked) {
            timeout = pollTimeout(paced ? byteDue - Clock::now() : Clock::duration::zero());
            wait = &timeout;
        }
        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (blocked ? POLLOUT : 0)), 0}, {wakeFd, POLLIN, 0}};
        if (::ppoll(fds, 2, wait, nullptr) < 0) {
            if (errno == EINTR) continue;
            reportSystemError("cannot poll the pseudo-terminal");
            return;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t wakeups = 0;
            [[maybe_unused]] const ssize_t drained = ::read(wakeFd, &wakeups, sizeof wakeups);
        }
        if (fds[0].revents & POLLIN) receive(master);
        if (!current || (blocked && !(fds[0].revents & POLLOUT))) continue;

        const Clock::time_point now = Clock::now();
        std::size_t count = current->bytes.size() - sent;
        if (paced) {
            if (now < byteDue) continue;
            count = std::min<std::size_t>(count, 1 + (now - byteDue) / byteTime);
        }
        const ssize_t written = ::write(master, current->bytes.data() + sent, count);
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            reportSystemError("cannot write to the pseudo-terminal");
            current.reset();
            std::lock_guard lock(mutex);
            writing = false;
            changed.notify_all();
            continue;
        }
        const std::size_t done = written > 0 ? static_cast<std::size_t>(written) : 0;
        bytesOut += done;
        blocked = done < count;
        sent += done;
        if (paced && done > 0) {
            lineFreeAt = byteDue + static_cast<Clock::rep>(done - 1) * byteTime;
            byteDue += static_cast<Clock::rep>(done) * byteTime;
        }
        if (sent == current->bytes.size()) {
            delivered(std::move(*current));
            current.reset();
        }
    }
}

void Simulator::receive(int master) {
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) return;
        std::vector<std::string> frames;
        {
            std::lock_guard lock(mutex);
            frames = framer.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
            for (const std::string& frame : frames) {
                receivedCommands.push_back(frame);
                answer(frame);
            }
            changed.notify_all();
        }
        if (options.onCommand) {
            for (const std::string& frame : frames) options.onCommand(frame);
        }
    }
}

void Simulator::answer(const std::string& frame) {
    if (options.silent) return;
    const Clock::time_point now = Clock::now();
    if (!beforeNextEcho.empty()) answers.push_back({WrittenItem::Kind::Printout, std::exchange(beforeNextEcho, {}), now});
    if (std::string echo = echoOf(frame, options.echo); !echo.empty()) {
        answers.push_back({WrittenItem::Kind::Echo, std::move(echo), now});
    }
    if (const std::optional<std::string> reply = replyTo(frame, options)) {
        answers.push_back({WrittenItem::Kind::Reply, *reply + std::string(lineEndBytes(options.lineEnd)), now});
    }
}

std::optional<Simulator::Pending> Simulator::takeNext() {
    // Echoes and replies go first: the host gives up on an echo after 300 ms, however long the printout.
    std::deque<Pending>& queue = answers.empty() ? printouts : answers;
    if (queue.empty()) return std::nullopt;
    Pending next = std::move(queue.front());
    queue.pop_front();
    writing = true;
    return next;
}

void Simulator::delivered(Pending item) {
    const WrittenItem written{item.kind, std::move(item.bytes), Clock::now()};
    {
        std::lock_guard lock(mutex);
        writing = false;
        if (written.kind == WrittenItem::Kind::Printout) lastWritten = written;
        changed.notify_all();
    }
    if (options.onItemWritten) options.onItemWritten(written);
}

void Simulator::queue(std::vector<std::string> items) {
    {
        std::lock_guard lock(mutex);
        if (!plugged || options.silent) return;
        const Clock::time_point now = Clock::now();
        for (std::string& item : items) printouts.push_back({WrittenItem::Kind::Printout, std::move(item), now});
    }
    wake();
}

void Simulator::queueLines(const std::vector<std::string>& lines) {
    const std::string_view end = lineEndBytes(options.lineEnd);
    std::vector<std::string> items;
    items.reserve(lines.size());
    for (const std::string& line : lines) items.push_back(line + std::string(end));
    queue(std::move(items));
}

void Simulator::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
}

void Simulator::stopThread() {
    if (!thread.joinable()) return;
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake();
    thread.join();
}

void Simulator::closePort() {
    std::lock_guard lock(mutex);
    if (!plugged) return;
    // The link goes first, so a host that reopens as soon as its port fails finds no stale device.
    if (!linkName.empty()) removeLinkTo(linkName, pty.slavePath());
    pty.close();
    plugged = false;
    answers.clear();
    printouts.clear();
    writing = false;
    framer.abandonFrame();
    changed.notify_all();
}

}  // namespace gaugesim
