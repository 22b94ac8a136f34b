#include "input_lines.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

InputLines::Result InputLines::next(std::string& line) {
    for (;;) {
        if (const std::size_t end = buffer_.find('\n'); end != std::string::npos || (ended_ && !buffer_.empty())) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end == std::string::npos ? end : end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Result::Line;
        }
        if (ended_) return Result::End;
        pollfd watch[2] = {{fd_, POLLIN, 0}, {signals_.fd(), POLLIN, 0}};
        if (poll(watch, 2, -1) < 0 && errno != EINTR) return Result::End;
        if (signals_.wait(0)) return Result::Stopped;
        if (watch[0].revents == 0) continue;
        char chunk[1024];
        const ssize_t got = read(fd_, chunk, sizeof chunk);
        if (got > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            ended_ = true;
        }
    }
}
