#pragma once
// A forked child process that a test steps: the child runs a body, tells
// the parent when it has reached a point (ready) and may wait there until
// the parent lets it go on (go); the parent may also kill it outright
// (SIGKILL), at a point the child reached or at any moment. The child never
// returns into the test: it ends with _exit, 0 when its body says so.

#include <csignal>
#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

class ChildProcess
{
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess()
    {
        if (m_pid > 0)
            kill();
        closeFd(m_up[0]);
        closeFd(m_down[1]);
    }

    // Starts the child; body's result becomes its exit status (0 for true).
    bool start(const std::function<bool(ChildProcess &)> &body)
    {
        if (pipe(m_up) != 0)
            return false;
        if (pipe(m_down) != 0)
            return false;
        m_pid = fork();
        if (m_pid < 0)
            return false;
        if (m_pid == 0) {
            closeFd(m_up[0]);
            closeFd(m_down[1]);
            const bool ok = body(*this);
            _exit(ok ? 0 : 1);
        }
        closeFd(m_up[1]);
        closeFd(m_down[0]);
        return true;
    }

    // In the child: tells the parent that it got here.
    void ready()
    {
        const char byte = 1;
        if (::write(m_up[1], &byte, 1) != 1)
            _exit(2);
    }
    // In the child: waits until the parent lets it go on.
    void waitGo()
    {
        char byte = 0;
        if (::read(m_down[0], &byte, 1) != 1)
            _exit(3);
    }

    // In the parent: true once the child reached ready() (false when it
    // ended first).
    bool waitReady()
    {
        char byte = 0;
        return ::read(m_up[0], &byte, 1) == 1;
    }
    // In the parent: lets the child go on from waitGo().
    void go()
    {
        const char byte = 1;
        if (::write(m_down[1], &byte, 1) != 1)
            return;
    }
    // In the parent: the child's exit status, -1 when a signal ended it.
    int wait()
    {
        int status = 0;
        if (m_pid <= 0 || waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // In the parent: ends the child at once, wherever it is.
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        wait();
    }

private:
    static void closeFd(int &fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    pid_t m_pid = -1;
    int m_up[2] = {-1, -1};
    int m_down[2] = {-1, -1};
};
