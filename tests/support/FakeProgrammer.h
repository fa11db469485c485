#pragma once
// A programmer on a pseudo-terminal, for tests and benchmarks. start() opens
// a pty pair and serves its master side in a thread of its own; the host
// opens portName() (the slave) like any serial port. Every request frame gets
// exactly one reply unless a fault says otherwise, and every request is
// logged byte for byte.
//
// The programmer's own requests are answered and their values kept in
// state(); device-level requests (codes 1 to 7) go to the chip model once a
// set-up record arrived. All accessors are safe to call from the test's
// thread while the programmer runs.

#include "support/ChipModel.h"
#include "support/FakeFault.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class FakeProgrammer
{
public:
    // Error codes the programmer gives on its own, with the meaning the
    // language table gives them (message 406 + code). Chip models pick theirs.
    enum Error : quint16 {
        ERR_UNKNOWN_CODE = 0,  // request code not known ("unknown command")
        ERR_LENGTH = 1,        // payload length wrong for the code ("wrong data length")
        ERR_CHECKSUM = 1,      // request checksum wrong: bytes lost or added on the way
        ERR_NO_DEVICE = 3,     // device-level request without chip or set-up record ("no device set up")
    };

    static constexpr quint16 DEFAULT_INTERFACE = 0x0001;
    static const char *const DEFAULT_IDENT;

    struct Request
    {
        quint8 code = 0;
        QByteArray payload;
        QByteArray frame;          // the whole request as it came on the wire
        bool checksumOk = true;
    };

    // What the programmer's own requests carried, last one each.
    struct State
    {
        int status = -1;           // PROG_STATUS byte as signed; -1 before any
        bool setupReceived = false;
        QByteArray setup;          // PROG_SETUP record
        int finishCount = 0;       // PROG_FINISH requests
        bool resetReceived = false;
        qint16 resetPulse = 0;     // PROG_RESET, ms, sign = polarity
        quint32 frequency = 0;     // PROG_GENERATOR, Hz
        quint16 duty = 0;          // PROG_GENERATOR, 0.1 %
        bool pinsReceived = false;
        QByteArray pins;           // PROG_PINS payload as sent
        quint8 vcc = 0;            // 0.1 V
        quint8 vpp = 0;            // 0.1 V
        quint32 icc = 0;           // uA
        quint16 ipp = 0;           // uA
        bool iccProtect = false;
        bool ippProtect = false;
    };

    FakeProgrammer();
    ~FakeProgrammer();
    FakeProgrammer(const FakeProgrammer &) = delete;
    FakeProgrammer &operator=(const FakeProgrammer &) = delete;

    bool start();
    void stop();
    bool isRunning() const;
    QString portName() const;      // slave device path
    QString errorString() const;   // why start() failed

    void setInterfaceCode(quint16 code);
    void setIdentification(const QByteArray &text);
    // The chip in the socket; it answers device-level requests after the
    // next set-up record it accepts.
    void setChip(std::shared_ptr<ChipModel> chip);

    State state() const;
    QVector<Request> requests() const;
    int requestCount() const;
    void clearRequests();
    // The requests logged so far, leaving the log empty (one locked step).
    QVector<Request> takeRequests();
    // Waits until at least `count` requests are logged.
    bool waitForRequests(int count, int timeoutMs);

    void addFault(const FakeFault &fault);
    void clearFaults();
    // A request under a held fault: waits until the programmer holds one
    // back; releaseHeld lets it reply (stop() does too).
    bool waitHeld(int timeoutMs);
    void releaseHeld();

    // Runs fn under the programmer's lock, e.g. to read a chip model.
    void locked(const std::function<void()> &fn) const;

private:
    void serve();
    void takeFrames();
    void handleFrame(const QByteArray &frame);
    ChipReply carryOut(const Request &request);
    bool send(const QByteArray &bytes);

    mutable std::mutex mutex;
    std::condition_variable logChanged;
    std::thread thread;
    int master = -1;
    int slave = -1;
    int stopPipe[2] = {-1, -1};
    QString slaveName;
    QString error;
    QByteArray input;              // bytes of an incomplete request

    quint16 interfaceCode = DEFAULT_INTERFACE;
    QByteArray identification;
    std::shared_ptr<ChipModel> chip;
    bool chipReady = false;
    State current;
    QVector<Request> log;
    QVector<FakeFault> faults;
    bool holding = false;          // a reply is held back
    bool released = false;         // ... and may go
    bool stopping = false;
};
