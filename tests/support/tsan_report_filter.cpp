// The last word on a ThreadSanitizer report, linked into every test and the
// race canary of a sanitizer build (tests/CMakeLists.txt); compiled without
// the sanitizer, as the sanitizer calls it while it builds a report.
//
// Qt is not built with the sanitizer: of what Qt's code does, the sanitizer
// sees only its calls into the C library (memcpy, memmove, malloc, free,
// new, delete, ...), never its own locks and reference counts, so what Qt
// hands between threads looks like races. The rules of tests/tsan.supp
// match functions by name; much of Qt's bookkeeping is code Qt does not
// export, with no name to match. This filter drops a race by what its two
// accesses were, and only a race Qt made alone:
//
//  a. one access was Qt's on a thread where no function of the program is
//     running: a thread Qt started for itself (the file dialog's gatherer
//     of file information) or a thread's event loop between two slots;
//  b. Qt released memory (free, delete), or its unexported code touched
//     memory, that Qt allocated in another thread (an event or a queued
//     argument the receiving thread deletes, the storage of Qt's own
//     containers), or Qt's unexported code met itself (the queue of posted
//     events, which the posting and the receiving thread both change under
//     Qt's lock);
//  c. Qt released memory after an atomic access of ours: the reference we
//     dropped before Qt dropped the last one and freed the data.
//
// An access of our code, and a copy an exported Qt function makes for our
// code (the canary "filled" of tests/support/tsan_canary.cpp), keep their
// report.

#include <dlfcn.h>

#include <cstddef>
#include <cstring>

extern "C" {
int __tsan_get_report_data(void *report, const char **description, int *count, int *stackCount,
                           int *mopCount, int *locCount, int *mutexCount, int *threadCount,
                           int *uniqueTidCount, void **sleepTrace, size_t traceSize);
int __tsan_get_report_mop(void *report, size_t idx, int *tid, void **addr, int *size, int *write,
                          int *atomic, void **trace, size_t traceSize);
}

namespace {

constexpr size_t TRACE = 64;

bool startsWith(const char *text, const char *head)
{
    return text && std::strncmp(text, head, std::strlen(head)) == 0;
}

bool contains(const char *text, const char *part)
{
    return text && std::strstr(text, part) != nullptr;
}

// What the sanitizer recorded of one access.
struct Access
{
    bool atomic = false;
    bool byQt = false;        // made by a Qt library through the C library
    bool unexported = false;  // by Qt's code outside its exported functions
    bool qtAlone = false;     // no function of the program on its thread's stack
    bool allocation = false;  // malloc, calloc, realloc, new
    bool release = false;     // free, realloc, delete
};

Access accessOf(void *report, size_t index)
{
    Access access;
    void *trace[TRACE] = {};
    int tid = 0, size = 0, write = 0, atomic = 0;
    void *addr = nullptr;
    if (!__tsan_get_report_mop(report, index, &tid, &addr, &size, &write, &atomic, trace, TRACE))
        return access;
    access.atomic = atomic != 0;
    Dl_info info;
    if (!trace[0] || !dladdr(trace[0], &info) || !contains(info.dli_fname, "libtsan"))
        return access;
    const char *call = info.dli_sname ? info.dli_sname : "";
    if (startsWith(call, "__interceptor_"))
        call += std::strlen("__interceptor_");
    const bool renew = std::strcmp(call, "realloc") == 0;
    access.allocation = renew || std::strcmp(call, "malloc") == 0 || std::strcmp(call, "calloc") == 0
                        || startsWith(call, "_Znw") || startsWith(call, "_Zna");
    access.release = renew || std::strcmp(call, "free") == 0 || startsWith(call, "_Zdl") || startsWith(call, "_Zda");
    // Past the sanitizer's own frames, the code that called it.
    size_t at = 1;
    while (at < TRACE && trace[at] && dladdr(trace[at], &info) && contains(info.dli_fname, "libtsan"))
        ++at;
    if (at == TRACE || !trace[at] || !dladdr(trace[at], &info) || !contains(info.dli_fname, "/libQt5"))
        return access;
    access.byQt = true;
    access.unexported = info.dli_sname == nullptr;
    // Beyond that caller the stack holds one frame for each function of the
    // program running on the thread (inlined frames repeat an address).
    size_t next = at + 1;
    while (next < TRACE && trace[next] == trace[at])
        ++next;
    access.qtAlone = next == TRACE || !trace[next];
    return access;
}

bool qtAllocation(const Access &a)
{
    return a.byQt && a.allocation;
}

// Qt's unexported code, or any of Qt's code releasing memory, against
// memory Qt allocated in another thread; Qt's unexported code against
// itself; Qt releasing memory after our atomic access.
bool byQtAlone(const Access &current, const Access &previous)
{
    const auto againstAllocation = [](const Access &a, const Access &b) {
        return (a.unexported || (a.byQt && a.release)) && qtAllocation(b);
    };
    return current.qtAlone || previous.qtAlone || againstAllocation(current, previous)
           || againstAllocation(previous, current) || (current.unexported && previous.unexported)
           || (current.byQt && current.release && previous.atomic);
}

bool madeByQtAlone(void *report)
{
    const char *description = nullptr;
    int count = 0, stacks = 0, mops = 0, locs = 0, mutexes = 0, threads = 0, tids = 0;
    void *sleep[1] = {};
    if (!__tsan_get_report_data(report, &description, &count, &stacks, &mops, &locs, &mutexes, &threads,
                                &tids, sleep, 1)
        || mops != 2 || !(startsWith(description, "data-race") || startsWith(description, "heap-use-after-free")))
        return false;
    return byQtAlone(accessOf(report, 0), accessOf(report, 1));
}

} // namespace

namespace __tsan {
struct ReportDesc;

// Takes the place of the sanitizer's own (weak) answer, which is whether a
// rule of the suppressions file matched.
bool OnReport(const ReportDesc *report, bool suppressed)
{
    return suppressed || madeByQtAlone(const_cast<ReportDesc *>(report));
}
} // namespace __tsan
