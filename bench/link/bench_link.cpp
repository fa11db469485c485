// The time of one round trip through TSerialPort::transaction against the
// fake programmer over a pseudo-terminal, at several payload sizes, beside
// the same frames exchanged with plain read and write calls on the
// descriptor. The ratio is the link's time over the plain time: above 1 the
// link costs more than the pty itself.

#include "bench_setup.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/FakeProgrammer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int RUN_MS = 1000;   // time spent per measurement
constexpr quint8 ECHO_CODE = 1;

class EchoChip : public ChipModel
{
public:
    ChipReply request(quint8, const QByteArray &payload) override
    {
        return ChipReply::success(payload);
    }
};

QByteArray payloadOf(int size)
{
    QByteArray p(size, '\0');
    for (int i = 0; i < size; ++i)
        p[i] = char(i * 13 + 1);
    return p;
}

// Microseconds per round trip, 0 on a failed exchange.
double linkMicros(TSerialPort &port, int size)
{
    const QByteArray data = payloadOf(size);
    QElapsedTimer clock;
    clock.start();
    long count = 0;
    while (clock.elapsed() < RUN_MS) {
        QByteArray payload = data;
        if (!port.transaction(ECHO_CODE, payload) || payload.size() != size) {
            std::fprintf(stderr, "link: %s\n", qPrintable(port.errorString()));
            return 0;
        }
        ++count;
    }
    return double(clock.nsecsElapsed()) / 1000.0 / double(count);
}

bool readExactly(int fd, char *buffer, int size)
{
    int got = 0;
    pollfd p = {fd, POLLIN, 0};
    while (got < size) {
        if (::poll(&p, 1, 1000) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer + got, size_t(size - got));
        if (n <= 0)
            return false;
        got += int(n);
    }
    return true;
}

double rawMicros(const QString &path, int size)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return 0;
    termios tio;
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);

    const QByteArray frame = TProtocol::frame(ECHO_CODE, payloadOf(size));
    QByteArray reply(size + TProtocol::FRAME_OVERHEAD, '\0');
    QElapsedTimer clock;
    clock.start();
    long count = 0;
    bool ok = true;
    while (ok && clock.elapsed() < RUN_MS) {
        ok = ::write(fd, frame.constData(), size_t(frame.size())) == frame.size()
             && readExactly(fd, reply.data(), reply.size());
        ++count;
    }
    ::close(fd);
    if (!ok) {
        std::fprintf(stderr, "raw: exchange failed\n");
        return 0;
    }
    return double(clock.nsecsElapsed()) / 1000.0 / double(count);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FakeProgrammer fake;
    fake.setChip(std::make_shared<EchoChip>());
    if (!benchsetup::start(fake))
        return 1;
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite)) {
        std::fprintf(stderr, "%s\n", qPrintable(port.errorString()));
        return 1;
    }
    port.setMaxData(4096);
    QByteArray setup;
    if (!port.transaction(TProtocol::PROG_SETUP, setup)) {
        std::fprintf(stderr, "%s\n", qPrintable(port.errorString()));
        return 1;
    }

    std::printf("serial link, microseconds per round trip (request and reply of the same payload)\n");
    std::printf("%8s %14s %14s %18s\n", "payload", "transaction", "plain fd", "time link / plain");
    for (int size : {0, 64, 1024, 4096}) {
        const double link = linkMicros(port, size);
        const double raw = rawMicros(fake.portName(), size);
        if (link <= 0 || raw <= 0)
            continue;
        std::printf("%8d %14.1f %14.1f %18.2f\n", size, link, raw, link / raw);
    }
    return 0;
}
