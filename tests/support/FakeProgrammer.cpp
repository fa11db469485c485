#include "support/FakeProgrammer.h"

#include "link/TProtocol.h"

#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A request whose bytes stop arriving for this long is dropped, so that the
// next start byte begins a fresh frame.
constexpr int RESYNC_MS = 300;
// A reply that the host does not take within this time is given up.
constexpr int SEND_GIVE_UP_MS = 5000;

quint16 le16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(b.constData()) + at);
}

quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData()) + at);
}

QByteArray errorPayload(quint16 code)
{
    QByteArray p(TProtocol::ERROR_CODE_SIZE, 0);
    qToLittleEndian<quint16>(code, reinterpret_cast<uchar *>(p.data()));
    return p;
}

QByteArray replyFrame(const ChipReply &reply)
{
    return reply.ok ? TProtocol::frame(0x00, reply.payload)
                    : TProtocol::frame(TProtocol::STATUS_ERROR, errorPayload(reply.error));
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

const char *const FakeProgrammer::DEFAULT_IDENT = "Velkor emulated programmer 1.0";

FakeProgrammer::FakeProgrammer()
    : identification(DEFAULT_IDENT)
{
}

FakeProgrammer::~FakeProgrammer()
{
    stop();
}

bool FakeProgrammer::start()
{
    if (thread.joinable())
        return true;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no flow control.
    termios tio;
    if (::tcgetattr(master, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    if (::pipe(stopPipe) != 0) {
        error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        closeFd(master);
        closeFd(slave);
        return false;
    }
    slaveName = QString::fromLocal8Bit(name);
    thread = std::thread(&FakeProgrammer::serve, this);
    return true;
}

void FakeProgrammer::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        logChanged.notify_all();
    }
    if (thread.joinable()) {
        const char c = 'q';
        while (::write(stopPipe[1], &c, 1) < 0 && errno == EINTR) {
        }
        thread.join();
    }
    closeFd(stopPipe[0]);
    closeFd(stopPipe[1]);
    // The slave stays open as long as the master is served (the master
    // reads EIO once no slave descriptor is left).
    closeFd(master);
    closeFd(slave);
    std::lock_guard<std::mutex> lock(mutex);
    stopping = false;
}

bool FakeProgrammer::isRunning() const
{
    return thread.joinable();
}

QString FakeProgrammer::portName() const
{
    return slaveName;
}

QString FakeProgrammer::errorString() const
{
    return error;
}

void FakeProgrammer::setInterfaceCode(quint16 code)
{
    std::lock_guard<std::mutex> lock(mutex);
    interfaceCode = code;
}

void FakeProgrammer::setIdentification(const QByteArray &text)
{
    std::lock_guard<std::mutex> lock(mutex);
    identification = text;
}

void FakeProgrammer::setChip(std::shared_ptr<ChipModel> model)
{
    std::lock_guard<std::mutex> lock(mutex);
    chip = std::move(model);
    chipReady = false;
}

FakeProgrammer::State FakeProgrammer::state() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return current;
}

QVector<FakeProgrammer::Request> FakeProgrammer::requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    // A copy of its own: one that shared the log's storage would be copied
    // again by the test's thread while this one appends to the log.
    QVector<Request> copy;
    copy.reserve(log.size());
    for (const Request &r : log)
        copy.append(r);
    return copy;
}

int FakeProgrammer::requestCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return log.size();
}

void FakeProgrammer::clearRequests()
{
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

QVector<FakeProgrammer::Request> FakeProgrammer::takeRequests()
{
    std::lock_guard<std::mutex> lock(mutex);
    QVector<Request> taken;
    taken.swap(log);
    return taken;
}

bool FakeProgrammer::waitForRequests(int count, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    return logChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return log.size() >= count; });
}

void FakeProgrammer::addFault(const FakeFault &fault)
{
    std::lock_guard<std::mutex> lock(mutex);
    faults.append(fault);
}

void FakeProgrammer::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex);
    faults.clear();
}

bool FakeProgrammer::waitHeld(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    return logChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return holding; });
}

void FakeProgrammer::releaseHeld()
{
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
    logChanged.notify_all();
}

void FakeProgrammer::locked(const std::function<void()> &fn) const
{
    std::lock_guard<std::mutex> lock(mutex);
    fn();
}

void FakeProgrammer::serve()
{
    pollfd fds[2] = {{master, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    char buffer[4096];
    for (;;) {
        const int wait = input.isEmpty() ? -1 : RESYNC_MS;
        const int n = ::poll(fds, 2, wait);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (n == 0) {
            input.clear();   // an incomplete request went quiet
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got > 0) {
                input.append(buffer, int(got));
                takeFrames();
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                return;
            }
        } else if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            return;
        }
    }
}

void FakeProgrammer::takeFrames()
{
    for (;;) {
        const int start = input.indexOf(char(TProtocol::FRAME_START));
        if (start < 0) {
            input.clear();
            return;
        }
        input.remove(0, start);
        if (input.size() < TProtocol::HEADER_SIZE)
            return;
        const int size = le16(input, 2) + TProtocol::FRAME_OVERHEAD;
        if (input.size() < size)
            return;
        const QByteArray frame = input.left(size);
        input.remove(0, size);
        handleFrame(frame);
    }
}

void FakeProgrammer::handleFrame(const QByteArray &frame)
{
    Request request;
    request.code = quint8(frame.at(1));
    request.payload = frame.mid(TProtocol::HEADER_SIZE, frame.size() - TProtocol::FRAME_OVERHEAD);
    request.frame = frame;
    request.checksumOk = TProtocol::checksum(frame.constData(), frame.size() - 1)
                         == quint8(frame.at(frame.size() - 1));

    QByteArray reply;
    {
        std::unique_lock<std::mutex> lock(mutex);
        log.append(request);
        logChanged.notify_all();

        FakeFault fault;
        bool faulty = false;
        for (int i = 0; i < faults.size(); ++i) {
            FakeFault &f = faults[i];
            if (f.code != FakeFault::ANY_CODE && f.code != request.code)
                continue;
            if (f.skip > 0) {
                --f.skip;
                continue;
            }
            fault = f;
            faulty = true;
            if (f.count != FakeFault::ALWAYS && --f.count <= 0)
                faults.remove(i);
            break;
        }

        if (faulty && fault.kind == FakeFault::ErrorReply) {
            reply = replyFrame(ChipReply::failure(fault.errorCode));
        } else if (faulty && fault.kind == FakeFault::RawReply) {
            reply = fault.bytes;
        } else {
            reply = replyFrame(request.checksumOk ? carryOut(request)
                                                  : ChipReply::failure(ERR_CHECKSUM));
            if (faulty) {
                switch (fault.kind) {
                case FakeFault::Silence:
                    reply.clear();
                    break;
                case FakeFault::BadChecksum:
                    reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0x5A);
                    break;
                case FakeFault::LengthAbove:
                    reply = reply.left(TProtocol::HEADER_SIZE);
                    reply[2] = char(fault.length & 0xFF);
                    reply[3] = char(fault.length >> 8);
                    break;
                case FakeFault::Noise:
                    reply.prepend(fault.bytes);
                    break;
                case FakeFault::ShortReply:
                    reply.chop(1);
                    break;
                case FakeFault::ErrorReply:
                case FakeFault::RawReply:
                case FakeFault::Held:
                    break;
                }
            }
        }
        if (faulty && fault.kind == FakeFault::Held) {
            holding = true;
            released = false;
            logChanged.notify_all();
            logChanged.wait(lock, [&] { return released || stopping; });
            holding = false;
        }
    }
    if (!reply.isEmpty())
        send(reply);
}

ChipReply FakeProgrammer::carryOut(const Request &request)
{
    const QByteArray &p = request.payload;
    const auto needs = [&](int size) { return p.size() == size; };
    switch (request.code) {
    case TProtocol::PROG_INTERFACE: {
        QByteArray code(2, 0);
        qToLittleEndian<quint16>(interfaceCode, reinterpret_cast<uchar *>(code.data()));
        return ChipReply::success(code);
    }
    case TProtocol::PROG_IDENT:
        return ChipReply::success(identification);
    case TProtocol::PROG_STATUS:
        if (!needs(1))
            return ChipReply::failure(ERR_LENGTH);
        current.status = qint8(p.at(0));
        return ChipReply::success();
    case TProtocol::PROG_SETUP: {
        current.setupReceived = true;
        current.setup = p;
        chipReady = false;
        if (!chip)
            return ChipReply::success();
        const ChipReply r = chip->setup(p);
        chipReady = r.ok;
        return r.ok ? ChipReply::success() : r;
    }
    case TProtocol::PROG_FINISH:
        if (!needs(0))
            return ChipReply::failure(ERR_LENGTH);
        ++current.finishCount;
        return ChipReply::success();
    case TProtocol::PROG_RESET:
        if (!needs(2))
            return ChipReply::failure(ERR_LENGTH);
        current.resetReceived = true;
        current.resetPulse = qint16(le16(p, 0));
        return ChipReply::success();
    case TProtocol::PROG_GENERATOR:
        if (!needs(6))
            return ChipReply::failure(ERR_LENGTH);
        current.frequency = le32(p, 0);
        current.duty = le16(p, 4);
        return ChipReply::success();
    case TProtocol::PROG_PINS:
        current.pinsReceived = true;
        current.pins = p;
        return ChipReply::success();
    case TProtocol::PROG_VCC:
        if (!needs(1))
            return ChipReply::failure(ERR_LENGTH);
        current.vcc = quint8(p.at(0));
        return ChipReply::success();
    case TProtocol::PROG_VPP:
        if (!needs(1))
            return ChipReply::failure(ERR_LENGTH);
        current.vpp = quint8(p.at(0));
        return ChipReply::success();
    case TProtocol::PROG_VICC:
        if (!needs(6))
            return ChipReply::failure(ERR_LENGTH);
        current.vcc = quint8(p.at(0));
        current.icc = le32(p, 1);
        current.iccProtect = p.at(5) != 0;
        return ChipReply::success();
    case TProtocol::PROG_VIPP:
        if (!needs(4))
            return ChipReply::failure(ERR_LENGTH);
        current.vpp = quint8(p.at(0));
        current.ipp = le16(p, 1);
        current.ippProtect = p.at(3) != 0;
        return ChipReply::success();
    default:
        break;
    }
    if (request.code >= TProtocol::DEVICE_CODE_FIRST && request.code <= TProtocol::DEVICE_CODE_LAST) {
        if (!chip || !chipReady)
            return ChipReply::failure(ERR_NO_DEVICE);
        return chip->request(request.code, p);
    }
    return ChipReply::failure(ERR_UNKNOWN_CODE);
}

bool FakeProgrammer::send(const QByteArray &bytes)
{
    int done = 0;
    pollfd fds[2] = {{master, POLLOUT, 0}, {stopPipe[0], POLLIN, 0}};
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // The host has not taken enough yet: wait for room, or for stop.
        const int ready = ::poll(fds, 2, SEND_GIVE_UP_MS);
        if (ready <= 0 || fds[1].revents)
            return false;
    }
    return true;
}
