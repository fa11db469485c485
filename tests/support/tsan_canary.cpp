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

// Written by one thread and read by another with nothing between them.
int shared = 0;
// Tells the reader that the write is done, without ordering anything.
std::atomic<bool> written{false};

void writeShared()
{
    shared = 1;
    written.store(true, std::memory_order_relaxed);
}

void waitWritten()
{
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
}

class CanarySender : public QObject
{
    Q_OBJECT
signals:
    void ping();
};

// A slot a queued signal runs in the main thread, reading what the
// sending thread writes after its signal.
class CanaryReceiver : public QObject
{
    Q_OBJECT
public:
    int seen = 0;
    void onPing()
    {
        waitWritten();
        seen = shared;
        QCoreApplication::quit();
    }
};

// A destructor that deleteLater runs, reading what another thread wrote.
class CanaryDoomed : public QObject
{
    Q_OBJECT
public:
    ~CanaryDoomed() override { std::printf("canary %d\n", shared); }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const char *kind = argc > 1 ? argv[1] : "";
    if (std::strcmp(kind, "queued") == 0) {
        CanarySender sender;
        CanaryReceiver receiver;
        QObject::connect(&sender, &CanarySender::ping, &receiver, &CanaryReceiver::onPing, Qt::QueuedConnection);
        std::thread worker([&sender] {
            emit sender.ping();
            writeShared();
        });
        app.exec();
        worker.join();
        return receiver.seen == 1 ? 0 : 1;
    }
    if (std::strcmp(kind, "deleted") == 0) {
        auto *doomed = new CanaryDoomed;
        std::thread worker(writeShared);
        waitWritten();
        QObject::connect(doomed, &QObject::destroyed, &app, &QCoreApplication::quit);
        doomed->deleteLater();
        app.exec();
        worker.join();
        return 0;
    }
    if (std::strcmp(kind, "plain") == 0) {
        std::thread worker(writeShared);
        waitWritten();
        std::printf("canary %d\n", shared);
        worker.join();
        return 0;
    }
    std::fprintf(stderr, "usage: tsan_canary queued|deleted|plain\n");
    return 2;
}

#include "tsan_canary.moc"
