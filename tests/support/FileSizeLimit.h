#pragma once
// Runs a writer in a child process whose files may not grow beyond a limit
// (RLIMIT_FSIZE with SIGXFSZ ignored: writes past it fail, and root cannot
// bypass it), so that a test can see a write fail part-way.

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// True when the writer reported failure under a limit of `limit` bytes.
inline bool failsUnderLimit(const std::function<bool()> &write, rlim_t limit)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        _exit(write() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
