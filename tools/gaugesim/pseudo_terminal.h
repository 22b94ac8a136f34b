#pragma once

#include <string>

namespace gaugesim {

// A master/slave pair standing in for the gauge's end of the cable. The simulator writes and reads the
// master; the host opens the slave by its path.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Tells why on stderr when it fails.
    bool open();
    void close();
    int master() const { return masterFd; }
    // Whether bytes written to the master still wait in the slave's input queue for the host.
    bool hostHasUnread() const;
    const std::string& slavePath() const { return slaveName; }

private:
    int masterFd = -1;
    int slave = -1;
    std::string slaveName;
};

}  // namespace gaugesim
