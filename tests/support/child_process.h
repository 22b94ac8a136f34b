#pragma once
// A program the test starts, with its standard output read back line by line, and ended by the test
// if it is still running when the test ends.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "deadline.h"

extern char** environ;

namespace valbrix::testing {

// Sanitizer builds start programs several times slower; nothing waits this long when all is well.
inline constexpr int patienceMs = 30000;

// The value of an environment variable, empty when it is unset.
inline std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> arguments) {
        int output[2];
        if (pipe2(output, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        readEnd = output[0];
    }
    ~ChildProcess() {
        if (pid > 0 && !status) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (readEnd >= 0) close(readEnd);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid > 0; }
    void signal(int number) const { kill(pid, number); }

    // The first line of output from now on that contains `part`; nullopt when none came within
    // timeoutMs or the program ended. Every line read is kept in `lines`.
    std::optional<std::string> waitForLine(const std::string& part, int timeoutMs) {
        const Deadline deadline(timeoutMs);
        for (;;) {
            for (std::size_t newline; (newline = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, newline);
                pending.erase(0, newline + 1);
                lines.push_back(line);
                if (line.find(part) != std::string::npos) return line;
            }
            pollfd ready{readEnd, POLLIN, 0};
            if (deadline.passed() || poll(&ready, 1, deadline.leftMs()) <= 0) return std::nullopt;
            char buffer[4096];
            const ssize_t got = read(readEnd, buffer, sizeof buffer);
            if (got <= 0) return std::nullopt;
            pending.append(buffer, static_cast<std::size_t>(got));
        }
    }

    // The exit status once the program has ended within timeoutMs; nullopt while it still runs.
    std::optional<int> waitForExit(int timeoutMs) {
        return pollFor(timeoutMs, [this] {
            if (int raw = 0; !status && waitpid(pid, &raw, WNOHANG) == pid) status = raw;
            return status;
        });
    }

    std::vector<std::string> lines;

private:
    pid_t pid = -1;
    int readEnd = -1;
    std::string pending;
    std::optional<int> status;
};

}  // namespace valbrix::testing
