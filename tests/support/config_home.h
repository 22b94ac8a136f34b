#pragma once
// A per-user folder of the program's own in a temporary directory, so that tests can map COM numbers
// to pseudo-terminals through its ports/ folder without touching the user's real settings.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/user_folder.h"

namespace valbrix::testing {

class ConfigHome {
public:
    ConfigHome() {
        char pattern[] = "/tmp/valbrix-test-XXXXXX";
        root = mkdtemp(pattern);
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        if (previous != nullptr) saved = previous;
        hadPrevious = previous != nullptr;
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        std::filesystem::create_directories(portsFolder());
    }
    ~ConfigHome() {
        if (hadPrevious) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    std::string portsFolder() const { return userConfigFolder() + "/ports"; }
    std::string portLink(int portNumber) const { return portsFolder() + "/COM" + std::to_string(portNumber); }
    void link(int portNumber, const std::string& device) const {
        std::error_code ignored;
        std::filesystem::remove(portLink(portNumber), ignored);
        std::filesystem::create_symlink(device, portLink(portNumber));
    }

    std::string root;

private:
    std::string saved;
    bool hadPrevious = false;
};

}  // namespace valbrix::testing
