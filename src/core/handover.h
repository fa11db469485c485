#pragma once
// Values that one thread hands to another through a queued or blocking-queued
// connection. Qt orders such a hand-over with its own locks, which
// ThreadSanitizer cannot see (Qt is not built with it), so it would take the
// receiver's first look at the value for a race. These calls tell it that
// order, for the one value named and in sanitizer builds only (elsewhere
// they are empty); any other access of the sender and the receiver stays
// checked.
//
// A blocking-queued signal hands the slot the sender's own objects, and the
// sender goes on only after every slot returned: the sender lends them around
// the emit (Lend), each slot borrows them while it runs (Borrow). A queued
// signal hands the slot Qt's copy of a record, which shares its data with the
// sender's: give() before the emit, take() before the slot reads any of it.
// A value a thread leaves for the slot of its finished() signal: release()
// as the thread's work ends, acquire() first thing in the slot.

#include "core/TData.h"

#include <cstring>

#if defined(__SANITIZE_THREAD__)
#define VELKOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELKOR_TSAN 1
#endif
#endif

#ifdef VELKOR_TSAN
#include <sanitizer/tsan_interface.h>
// The sanitizer's own annotations: accesses between the two are not checked.
extern "C" void AnnotateIgnoreReadsBegin(const char *file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char *file, int line);
#endif

namespace handover {

#ifdef VELKOR_TSAN
inline void release(const void *value)
{
    if (value)
        __tsan_release(const_cast<void *>(value));
}
inline void acquire(const void *value)
{
    if (value)
        __tsan_acquire(const_cast<void *>(value));
}
// Reads Qt's copy of a queued argument, unchecked: Qt allocated and filled
// it in the sending thread and handed it over under its own lock.
template <typename Read>
inline auto readQtCopy(Read read)
{
    AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
    auto value = read();
    AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
    return value;
}
#else
inline void release(const void *) {}
inline void acquire(const void *) {}
template <typename Read>
inline auto readQtCopy(Read read)
{
    return read();
}
#endif

// Objects of a blocking-queued emit, handed one way as the loan is made and
// back as it ends.
template <void (*Begin)(const void *), void (*End)(const void *)>
class Loan
{
public:
    Loan(const void *first, const void *second) : m_first(first), m_second(second)
    {
        Begin(first);
        Begin(second);
    }
    ~Loan()
    {
        End(m_first);
        End(m_second);
    }
    Loan(const Loan &) = delete;
    Loan &operator=(const Loan &) = delete;

private:
    const void *m_first;
    const void *m_second;
};

// The sender's side, around the emit: its objects pass to the slots and come
// back after the emit.
using Lend = Loan<release, acquire>;
// The slot's side: the sender's objects are the slot's while it runs.
using Borrow = Loan<acquire, release>;

// A record's copies share its data, and a record is nothing but its pointer
// to that data: the pointer names what is handed over without reading any
// of it (the receiver may look only after take()). An empty record shares
// the one empty data of all records, and hands nothing over.
inline const void *sharedOf(const TData &record)
{
    static_assert(sizeof(TData) == sizeof(void *), "a record holds its shared data's pointer only");
    static const TData none;
    const void *shared = nullptr;
    if (!record.isSharedWith(none))
        std::memcpy(&shared, &record, sizeof shared);
    return shared;
}

inline void give(const TData &record)
{
    release(sharedOf(record));
}

// The slot reads the copy returned: letting go of its own reference, in the
// program's code, orders what it read before the free by whichever owner
// of the data lets go last (the sender's included). Qt's copy itself is
// read only for its pointer and its reference, both handed over by Qt.
inline TData take(const TData &record)
{
    return readQtCopy([&record] {
        acquire(sharedOf(record));
        return TData(record);
    });
}

} // namespace handover
