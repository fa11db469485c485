// Races that ThreadSanitizer must report with the suppressions of
// tests/tsan.supp and the report filter of tsan_report_filter.cpp
// (linked in): scripts/tsan.sh runs each and fails when one passes
// unreported, so a suppression that hides the program's own races (in a
// slot that a queued signal runs, in a destructor that deleteLater runs,
// or anywhere) cannot stay unnoticed. The last four have no Qt hand-over
// at all, only what a hand-over also does: a text copied, a record looked
// up, an object's private data reached (here after another thread deleted
// the object), and bytes of ours that Qt's own code copies (its memcpy on a
// buffer another thread fills). Never part of a suite: each run is meant to
// race.
//
//   tsan_canary queued|deleted|plain|text|record|freed|filled

#include "core/TData.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

namespace {

// Written by one thread and read by another with nothing between them: the
// flag tells the reader that the write is done without ordering anything.
int shared = 0;
std::atomic<bool> written{false};

void writeShared()
{
    shared = 1;
    written.store(true, std::memory_order_relaxed);
}

void readShared()
{
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
    std::printf("canary %d\n", shared);
}

// The same for what the calls write and read.
void afterWrite(const std::function<void()> &write, const std::function<void()> &read)
{
    std::thread writer([&] {
        write();
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
    read();
    writer.join();
}

// Reads in the slot a queued signal runs, or in the destructor.
class Canary : public QObject
{
    Q_OBJECT
public:
    bool readAtDestruction = false;
    // What Qt's inline calls on an object reach first (signalsBlocked(),
    // parent(), ...), short of following the pointer into freed memory.
    bool hasPrivate() const { return !d_ptr.isNull(); }
    ~Canary() override
    {
        if (readAtDestruction)
            readShared();
    }
    void onPing()
    {
        readShared();
        QCoreApplication::quit();
    }
signals:
    void ping();
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const char *kind = argc > 1 ? argv[1] : "";
    if (std::strcmp(kind, "queued") == 0) {
        Canary canary;
        QObject::connect(&canary, &Canary::ping, &canary, &Canary::onPing, Qt::QueuedConnection);
        std::thread worker([&canary] {
            emit canary.ping();
            writeShared();
        });
        app.exec();
        worker.join();
    } else if (std::strcmp(kind, "deleted") == 0) {
        auto *doomed = new Canary;
        doomed->readAtDestruction = true;
        std::thread worker(writeShared);
        QObject::connect(doomed, &QObject::destroyed, &app, &QCoreApplication::quit);
        doomed->deleteLater();
        app.exec();
        worker.join();
    } else if (std::strcmp(kind, "plain") == 0) {
        std::thread worker(writeShared);
        readShared();
        worker.join();
    } else if (std::strcmp(kind, "text") == 0) {
        QString text = QStringLiteral("before");
        afterWrite([&] { text = QString::number(argc); },
                   [&] { std::printf("canary %d\n", int(QString(text).size())); });
    } else if (std::strcmp(kind, "record") == 0) {
        TData record{{QStringLiteral("a"), 1}};
        afterWrite([&] { record.insert(QStringLiteral("b"), 2); },
                   [&] { std::printf("canary %d\n", record.value(QStringLiteral("b")).toInt()); });
    } else if (std::strcmp(kind, "freed") == 0) {
        auto *doomed = new Canary;
        afterWrite([&] { delete doomed; }, [&] { std::printf("canary %d\n", int(doomed->hasPrivate())); });
    } else if (std::strcmp(kind, "filled") == 0) {
        QByteArray buffer(16, '0');
        afterWrite([&] { std::fill(buffer.begin(), buffer.end(), char('0' + argc)); },
                   [&] { std::printf("canary %d\n", int(QByteArray(buffer.constData(), buffer.size()).size())); });
    } else {
        std::fprintf(stderr, "usage: tsan_canary queued|deleted|plain|text|record|freed|filled\n");
        return 2;
    }
    return 0;
}

#include "tsan_canary.moc"
