#pragma once
// Runs a writer in a child process whose files may not grow beyond a limit
// (RLIMIT_FSIZE, which root cannot bypass), so that a test can see a write
// fail part-way. SIGXFSZ keeps the default disposition every program starts
// with, under which the system ends a process that writes past the limit:
// the writer passes only when the program's own code turns such a write
// into a failure it reports.

#include <QByteArray>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// What the writer did in the child.
struct LimitedWrite
{
    bool finished = false; // the child ended on its own (not by a signal)
    bool failed = false;   // the writer reported failure
    int signal = 0;        // the signal that ended the child, if one did
    QString reason;        // the reason the writer gave
};

inline LimitedWrite writeUnderLimit(const std::function<bool(QString *reason)> &write, rlim_t limit)
{
    LimitedWrite result;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return result;
    const pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return result;
    }
    if (child == 0) {
        close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        QString reason;
        const bool ok = write(&reason);
        const QByteArray bytes = reason.toUtf8();
        for (qint64 done = 0; done < bytes.size();) {
            const ssize_t n = ::write(pipeFds[1], bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        close(pipeFds[1]);
        _exit(ok ? 1 : 0);
    }
    close(pipeFds[1]);
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, int(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.finished = WIFEXITED(status);
    result.failed = result.finished && WEXITSTATUS(status) == 0;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.reason = QString::fromUtf8(bytes);
    return result;
}

// True when the writer reported failure under a limit of `limit` bytes
// (and was not ended by the system instead).
inline bool failsUnderLimit(const std::function<bool()> &write, rlim_t limit)
{
    return writeUnderLimit([&write](QString *) { return write(); }, limit).failed;
}

// Lowers this process's own file-size limit while it lives (the soft limit,
// which may be raised back without privileges). SIGXFSZ is left as it is:
// the code under test has to keep a write past the limit from ending the
// process. Only for writes the test makes on purpose meanwhile.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t limit)
    {
        m_set = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        if (m_set) {
            rlimit lowered = m_saved;
            lowered.rlim_cur = limit;
            m_set = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
        }
    }
    ~ScopedFileSizeLimit()
    {
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit &) = delete;
    ScopedFileSizeLimit &operator=(const ScopedFileSizeLimit &) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    bool m_set = false;
};
