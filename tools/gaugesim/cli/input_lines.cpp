#include "input_lines.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

InputLines::Result InputLines::next(std::string& line) {
    for (;;) {
        if (const std::size_t end = buffer.find('\n'); end != std::string::npos || (ended && !buffer.empty())) {
            line = buffer.substr(0, end);
            buffer.erase(0, end == std::string::npos ? end : end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Result::Line;
        }
        if (ended) return Result::End;
        pollfd watch[2] = {{fd, POLLIN, 0}, {signals.fd(), POLLIN, 0}};
        if (poll(watch, 2, -1) < 0 && errno != EINTR) return Result::End;
        if (signals.wait(0)) return Result::Stopped;
        if (watch[0].revents == 0) continue;
        char chunk[1024];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            ended = true;
        }
    }
}
