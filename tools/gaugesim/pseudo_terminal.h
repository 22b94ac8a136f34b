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
    int master() const { return master_; }
    // Whether bytes written to the master still wait in the slave's input queue for the host.
    bool hostHasUnread() const;
    const std::string& slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace gaugesim
