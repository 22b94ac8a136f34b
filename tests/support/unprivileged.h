#pragma once
// Runs part of a test in a child process as a user that file permissions hold for: the tests run as
// root in CI, and root writes into any folder whatever its mode says. POSIX only.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace valbrix::testing {

// body's result as the child's exit status: 0 for true, 1 for false, 2 when root could not be dropped,
// -1 when the child did not end normally. The files the child needs must be open to others.
template <typename Body>
int runUnprivileged(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(nobody, nobody, nobody) != 0 ||
                               setresuid(nobody, nobody, nobody) != 0))
            _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace valbrix::testing
