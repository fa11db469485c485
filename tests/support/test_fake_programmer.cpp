// The fake programmer itself, driven over its pty with plain reads and
// writes, so that the link's tests stand on a programmer known to be right.

#include "link/TProtocol.h"
#include "support/FakeProgrammer.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The host side of the pty without any of our link code.
class RawHost
{
public:
    explicit RawHost(const QString &path)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios tio;
        if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }
    ~RawHost()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool isOpen() const { return fd >= 0; }
    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
    // What arrives until a whole frame is in or the line has been quiet for
    // quietMs; bytes before the start byte are kept.
    QByteArray receive(int quietMs = 150)
    {
        QByteArray got;
        pollfd p = {fd, POLLIN, 0};
        char buffer[4096];
        while (!holdsFrame(got) && ::poll(&p, 1, quietMs) > 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, int(n));
        }
        return got;
    }
    QByteArray exchange(quint8 code, const QByteArray &payload)
    {
        send(TProtocol::frame(code, payload));
        return receive();
    }

private:
    static bool holdsFrame(const QByteArray &bytes)
    {
        const int start = bytes.indexOf(char(TProtocol::FRAME_START));
        if (start < 0 || bytes.size() - start < TProtocol::HEADER_SIZE)
            return false;
        const int length = quint8(bytes.at(start + 2)) | quint8(bytes.at(start + 3)) << 8;
        return bytes.size() - start >= length + TProtocol::FRAME_OVERHEAD;
    }

    int fd = -1;
};

QByteArray ok(const QByteArray &payload = QByteArray())
{
    return TProtocol::frame(0x00, payload);
}

QByteArray error(quint16 code)
{
    QByteArray p;
    p.append(char(code & 0xFF));
    p.append(char(code >> 8));
    return TProtocol::frame(TProtocol::STATUS_ERROR, p);
}

// Answers code 1 with its payload reversed; refuses set-up records that do
// not start with 0x42.
class MirrorChip : public ChipModel
{
public:
    ChipReply setup(const QByteArray &record) override
    {
        return record.startsWith('\x42') ? ChipReply::success() : ChipReply::failure(9);
    }
    ChipReply request(quint8 code, const QByteArray &payload) override
    {
        ++requests;
        if (code != 1)
            return ChipReply::failure(10);
        QByteArray r = payload;
        std::reverse(r.begin(), r.end());
        return ChipReply::success(r);
    }
    int requests = 0;
};

} // namespace

class TestFakeProgrammer : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        host.reset(new RawHost(fake->portName()));
        QVERIFY(host->isOpen());
    }
    void cleanup()
    {
        host.reset();
        fake.reset();
    }

    void checksumOfWorkedFrames()
    {
        QCOMPARE(TProtocol::frame(0x85, QByteArray()), hex("C0850000BB"));
        QCOMPARE(TProtocol::frame(0x83, hex("02")), hex("C083010002BA"));
    }

    void identifiesItself()
    {
        fake->setInterfaceCode(0x1234);
        fake->setIdentification("box 7");
        QCOMPARE(host->exchange(0x80, QByteArray()), ok(hex("3412")));
        QCOMPARE(host->exchange(0x81, QByteArray()), ok("box 7"));
        QCOMPARE(fake->requestCount(), 2);
    }

    void parsesFramesAcrossPiecesAndNoise()
    {
        const QByteArray frame = TProtocol::frame(0x83, hex("01"));
        host->send(hex("00 11 FF") + frame.left(2));
        QTest::qWait(20);
        host->send(frame.mid(2));
        QCOMPARE(host->receive(), ok());
        // A start byte inside the payload is payload.
        QCOMPARE(host->exchange(0x88, hex("0000C0C0")), ok());
        const auto log = fake->requests();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].code, quint8(0x83));
        QCOMPARE(log[0].payload, hex("01"));
        QCOMPARE(log[1].payload, hex("0000C0C0"));
        QCOMPARE(fake->state().status, 1);
    }

    void refusesBadRequests()
    {
        QByteArray frame = TProtocol::frame(0x89, hex("32"));
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) + 1);
        host->send(frame);
        QCOMPARE(host->receive(), error(FakeProgrammer::ERR_CHECKSUM));
        QVERIFY(!fake->requests().at(0).checksumOk);
        QCOMPARE(fake->state().vcc, quint8(0));

        QCOMPARE(host->exchange(0x89, hex("3233")), error(FakeProgrammer::ERR_LENGTH));
        QCOMPARE(host->exchange(0x82, QByteArray()), error(FakeProgrammer::ERR_UNKNOWN_CODE));
        QCOMPARE(host->exchange(0x03, hex("00")), error(FakeProgrammer::ERR_NO_DEVICE));
    }

    void dropsARequestThatStalls()
    {
        host->send(hex("C0 89 01"));   // the rest never comes
        QTest::qWait(500);
        QCOMPARE(host->exchange(0x85, QByteArray()), ok());
        QCOMPARE(fake->requestCount(), 1);
        QCOMPARE(fake->state().finishCount, 1);
    }

    void keepsWhatProgrammerRequestsCarried()
    {
        QCOMPARE(host->exchange(0x8B, hex("2150C3000001")), ok());
        QCOMPARE(host->exchange(0x8C, hex("78C40900")), ok());
        QCOMPARE(host->exchange(0x87, hex("A0860100F401")), ok());
        QCOMPARE(host->exchange(0x86, hex("70FE")), ok());
        QCOMPARE(host->exchange(0x88, hex("00000504")), ok());
        QCOMPARE(host->exchange(0x83, hex("FE")), ok());
        QCOMPARE(host->exchange(0x84, hex("0500024042")), ok());
        const FakeProgrammer::State s = fake->state();
        QCOMPARE(s.vcc, quint8(33));
        QCOMPARE(s.icc, quint32(50000));
        QVERIFY(s.iccProtect);
        QCOMPARE(s.vpp, quint8(120));
        QCOMPARE(s.ipp, quint16(2500));
        QVERIFY(!s.ippProtect);
        QCOMPARE(s.frequency, quint32(100000));
        QCOMPARE(s.duty, quint16(500));
        QCOMPARE(s.resetPulse, qint16(-400));
        QCOMPARE(s.pins, hex("00000504"));
        QCOMPARE(s.status, -2);
        QVERIFY(s.setupReceived);
        QCOMPARE(s.setup, hex("0500024042"));
    }

    void chipAnswersAfterItsSetup()
    {
        auto chip = std::make_shared<MirrorChip>();
        fake->setChip(chip);
        QCOMPARE(host->exchange(0x01, hex("0102")), error(FakeProgrammer::ERR_NO_DEVICE));
        QCOMPARE(host->exchange(0x84, hex("41")), error(9));   // refused record
        QCOMPARE(host->exchange(0x01, hex("0102")), error(FakeProgrammer::ERR_NO_DEVICE));
        QCOMPARE(host->exchange(0x84, hex("42")), ok());
        QCOMPARE(host->exchange(0x01, hex("010203")), ok(hex("030201")));
        QCOMPARE(host->exchange(0x07, QByteArray()), error(10));
        QCOMPARE(host->exchange(0x08, QByteArray()), error(FakeProgrammer::ERR_UNKNOWN_CODE));
        int seen = 0;
        fake->locked([&] { seen = chip->requests; });
        QCOMPARE(seen, 2);
    }

    void faultsReplaceReplies()
    {
        fake->addFault(FakeFault::errorReply(3));
        QCOMPARE(host->exchange(0x89, hex("32")), error(3));
        QCOMPARE(fake->state().vcc, quint8(0));   // refused, not carried out
        QCOMPARE(host->exchange(0x89, hex("32")), ok());   // only once

        fake->addFault(FakeFault::silence());
        QCOMPARE(host->exchange(0x85, QByteArray()), QByteArray());
        QCOMPARE(fake->state().finishCount, 1);   // carried out, reply lost

        fake->addFault(FakeFault::badChecksum());
        QByteArray bad = host->exchange(0x81, QByteArray());
        QCOMPARE(bad.size(), ok(FakeProgrammer::DEFAULT_IDENT).size());
        QVERIFY(TProtocol::checksum(bad) != 0);

        fake->addFault(FakeFault::lengthAbove(100));
        QCOMPARE(host->exchange(0x85, QByteArray()), hex("C0006400"));

        fake->addFault(FakeFault::noise(hex("0102C1")));
        QCOMPARE(host->exchange(0x85, QByteArray()), hex("0102C1") + ok());

        fake->addFault(FakeFault::shortReply());
        QCOMPARE(host->exchange(0x85, QByteArray()), ok().left(4));

        fake->addFault(FakeFault::rawReply(hex("C0FF010040")));
        QCOMPARE(host->exchange(0x85, QByteArray()), hex("C0FF010040"));
        QCOMPARE(fake->state().finishCount, 4);   // all but the raw reply
    }

    void faultsForOneCodeAndCount()
    {
        fake->addFault(FakeFault::errorReply(7).onCode(0x86).times(2));
        QCOMPARE(host->exchange(0x85, QByteArray()), ok());
        QCOMPARE(host->exchange(0x86, hex("0A00")), error(7));
        QCOMPARE(host->exchange(0x86, hex("0A00")), error(7));
        QCOMPARE(host->exchange(0x86, hex("0A00")), ok());

        fake->addFault(FakeFault::errorReply(1).onCode(0x85).times(FakeFault::ALWAYS));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(host->exchange(0x85, QByteArray()), error(1));
        fake->clearFaults();
        QCOMPARE(host->exchange(0x85, QByteArray()), ok());
    }

    void carriesLargePayloads()
    {
        auto chip = std::make_shared<MirrorChip>();
        fake->setChip(chip);
        QCOMPARE(host->exchange(0x84, hex("42")), ok());
        QByteArray big(20000, '\0');
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        QByteArray reversed = big;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(host->exchange(0x01, big), ok(reversed));
        QCOMPARE(fake->requests().last().payload, big);
    }

    // A held reply goes only when released, whole, and the next request is
    // answered at once; a programmer stopped while it holds one does not hang.
    void holdsAReplyUntilReleased()
    {
        fake->addFault(FakeFault::held().onCode(0x81));
        QCOMPARE(host->exchange(0x80, QByteArray()), ok(hex("0100")));
        host->send(TProtocol::frame(0x81, QByteArray()));
        QVERIFY(fake->waitHeld(2000));
        QCOMPARE(host->receive(300), QByteArray());
        fake->releaseHeld();
        QCOMPARE(host->receive(), ok(QByteArray(FakeProgrammer::DEFAULT_IDENT)));
        QCOMPARE(host->exchange(0x81, QByteArray()), ok(QByteArray(FakeProgrammer::DEFAULT_IDENT)));

        fake->addFault(FakeFault::held());
        host->send(TProtocol::frame(0x85, QByteArray()));
        QVERIFY(fake->waitHeld(2000));
        fake->stop();
        QVERIFY(!fake->isRunning());
    }

    void stopsWhileTheHostKeepsThePortOpen()
    {
        fake->addFault(FakeFault::lengthAbove(65535));
        host->send(TProtocol::frame(0x85, QByteArray()));
        QVERIFY(fake->waitForRequests(1, 2000));
        fake->stop();   // must not hang
        QVERIFY(!fake->isRunning());
    }

private:
    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<RawHost> host;
};

QTEST_GUILESS_MAIN(TestFakeProgrammer)
#include "test_fake_programmer.moc"
