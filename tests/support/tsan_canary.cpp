// Races that ThreadSanitizer must report with the suppressions of
// tests/tsan.supp: scripts/tsan.sh runs each and fails when one passes
// unreported, so a suppression that hides the program's own races (in a
// slot that a queued signal runs, in a destructor that deleteLater runs,
// or anywhere) cannot stay unnoticed. Never part of a suite: each run is
// meant to race.
//
//   tsan_canary queued|deleted|plain

#include <QCoreApplication>
#include <QObject>

#include <atomic>
#include <cstdio>
#include <cstring>
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

// Reads in the slot a queued signal runs, or in the destructor.
class Canary : public QObject
{
    Q_OBJECT
public:
    bool readAtDestruction = false;
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
    } else {
        std::fprintf(stderr, "usage: tsan_canary queued|deleted|plain\n");
        return 2;
    }
    return 0;
}

#include "tsan_canary.moc"
