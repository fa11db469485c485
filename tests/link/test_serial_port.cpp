// The serial link against the fake programmer over a real pseudo-terminal,
// and its line settings, option lists and port entries without one.

#include "core/TLang.h"
#include "link/TPortSettings.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/FakeProgrammer.h"
#include "support/NumberedLanguage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString msg(int number)
{
    return NumberedLanguage::text(number);
}

// Answers code 1 with the payload it got.
class EchoChip : public ChipModel
{
public:
    ChipReply request(quint8, const QByteArray &payload) override
    {
        return ChipReply::success(payload);
    }
};

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
    }

    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        port.reset(new TSerialPort);
        QVERIFY2(port->openPort(fake->portName(), QIODevice::ReadWrite),
                 qPrintable(port->errorString()));
        port->setTimeout(400);
    }

    void cleanup()
    {
        port.reset();
        fake.reset();
    }

    void startsWithDefaults()
    {
        TSerialPort fresh;
        QVERIFY(!fresh.isOpen());
        QCOMPARE(fresh.timeout(), 1000);
        QCOMPARE(fresh.maxData(), quint16(64));
        QVERIFY(!fresh.isFailed());
    }

    void sendsTheWorkedFrames()
    {
        QByteArray payload;
        QVERIFY2(port->transaction(0x85, payload), qPrintable(port->errorString()));
        payload = hex("02");
        QVERIFY(port->transaction(0x83, payload));
        QVERIFY(payload.isEmpty());   // an empty reply empties the payload
        const auto log = fake->requests();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].frame, hex("C0850000BB"));
        QCOMPARE(log[1].frame, hex("C083010002BA"));
        QCOMPARE(fake->state().status, 2);
    }

    void returnsTheReplyPayload()
    {
        fake->setInterfaceCode(0xC0C0);   // start bytes inside a reply are payload
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_INTERFACE, payload));
        QCOMPARE(payload, hex("C0C0"));
        QVERIFY(port->transaction(TProtocol::PROG_IDENT, payload));
        QCOMPARE(payload, QByteArray(FakeProgrammer::DEFAULT_IDENT));
    }

    void takesRepliesUpToMaxData()
    {
        port->setMaxData(4);
        fake->setIdentification("abcd");
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_IDENT, payload));
        QCOMPARE(payload, QByteArray("abcd"));
        fake->setIdentification("abcde");
        QVERIFY(!port->transaction(TProtocol::PROG_IDENT, payload));
        QVERIFY(port->isFailed());
        QCOMPARE(payload, QByteArray("abcd"));
    }

    void carriesLargePayloadsBothWays()
    {
        fake->setChip(std::make_shared<EchoChip>());
        port->setMaxData(4096);
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_SETUP, payload));
        QByteArray data(4096, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 31 + 7);
        payload = data;
        QVERIFY2(port->transaction(1, payload), qPrintable(port->errorString()));
        QCOMPARE(payload, data);
        QCOMPARE(fake->requests().last().payload, data);
    }

    void skipsNoiseBeforeTheStartByte()
    {
        fake->addFault(FakeFault::noise(hex("00FF11C1BB")));
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_IDENT, payload));
        QCOMPARE(payload, QByteArray(FakeProgrammer::DEFAULT_IDENT));
    }

    void endlessNoiseFailsAfterTheTimeOut()
    {
        // A line that keeps sending bytes but never a start byte.
        int master = -1, slave = -1;
        char name[256] = {};
        QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);
        termios raw;
        QCOMPARE(tcgetattr(master, &raw), 0);
        cfmakeraw(&raw);
        QCOMPARE(tcsetattr(master, TCSANOW, &raw), 0);
        std::atomic<bool> stop{false};
        std::thread chatter([&] {
            while (!stop) {
                const char noise = 0x55;
                if (::write(master, &noise, 1) < 0)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        TSerialPort noisy;
        const bool opened = noisy.openPort(QString::fromLocal8Bit(name), QIODevice::ReadWrite);
        noisy.setTimeout(200);
        QByteArray payload("keep");
        const bool ok = opened && noisy.transaction(TProtocol::PROG_IDENT, payload);
        stop = true;
        chatter.join();
        noisy.close();
        ::close(slave);
        ::close(master);
        QVERIFY(opened);
        QVERIFY(!ok);
        QVERIFY(noisy.isFailed());
        QCOMPARE(noisy.errorString(), msg(389));
        QCOMPARE(payload, QByteArray("keep"));
    }

    void acceptsAnyStatusButTheErrorMark()
    {
        fake->addFault(FakeFault::rawReply(TProtocol::frame(0x42, "ok")));
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_FINISH, payload));
        QCOMPARE(payload, QByteArray("ok"));
    }

    void dropsStaleBytesBeforeARequest()
    {
        // A reply followed by a second, stale one: the next request must not
        // take the stale one for its own.
        fake->addFault(FakeFault::rawReply(TProtocol::frame(0x00, "one") + TProtocol::frame(0x00, "two")));
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_FINISH, payload));
        QCOMPARE(payload, QByteArray("one"));
        QVERIFY(port->transaction(TProtocol::PROG_IDENT, payload));
        QCOMPARE(payload, QByteArray(FakeProgrammer::DEFAULT_IDENT));
    }

    void failsAtOnceOnALengthAboveMaxData()
    {
        port->setTimeout(5000);
        fake->addFault(FakeFault::lengthAbove(65));
        QByteArray payload("keep");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!port->transaction(TProtocol::PROG_FINISH, payload));
        QVERIFY2(clock.elapsed() < 2500, "waited for a payload it had refused");
        QVERIFY(port->isFailed());
        QCOMPARE(port->errorString(), msg(389));
        QCOMPARE(payload, QByteArray("keep"));
        // The next exchange is clean again.
        payload.clear();
        QVERIFY2(port->transaction(TProtocol::PROG_FINISH, payload), qPrintable(port->errorString()));
        QVERIFY(!port->isFailed());
    }

    void linkFailures_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("bad checksum") << int(FakeFault::BadChecksum);
        QTest::newRow("silence") << int(FakeFault::Silence);
        QTest::newRow("short reply") << int(FakeFault::ShortReply);
    }
    void linkFailures()
    {
        QFETCH(int, kind);
        FakeFault fault;
        fault.kind = FakeFault::Kind(kind);
        fake->addFault(fault);
        QByteArray payload("keep");
        QVERIFY(!port->transaction(TProtocol::PROG_IDENT, payload));
        QVERIFY(port->isFailed());
        QCOMPARE(port->errorString(), msg(389));
        QCOMPARE(payload, QByteArray("keep"));
        QVERIFY(port->transaction(TProtocol::PROG_IDENT, payload));
        QVERIFY(!port->isFailed());
    }

    void errorRepliesKeepTheLinkUp_data()
    {
        QTest::addColumn<QByteArray>("errorPayload");
        QTest::addColumn<QString>("text");
        QTest::newRow("code 0") << hex("0000") << msg(406);
        QTest::newRow("code 3") << hex("0300") << msg(409);
        QTest::newRow("code 11") << hex("0B00") << msg(417);
        QTest::newRow("code 3 and more bytes") << hex("030077") << msg(409);
    }
    void errorRepliesKeepTheLinkUp()
    {
        QFETCH(QByteArray, errorPayload);
        QFETCH(QString, text);
        fake->addFault(FakeFault::rawReply(TProtocol::frame(TProtocol::STATUS_ERROR, errorPayload)));
        QByteArray payload("keep");
        QVERIFY(!port->transaction(TProtocol::PROG_VCC, payload));
        QVERIFY(!port->isFailed());
        QCOMPARE(port->errorString(), text);
        QCOMPARE(payload, QByteArray("keep"));
    }

    // The fake programmer's own refusals read as what they are.
    void refusalsOfTheProgrammerReadAsTheirTexts()
    {
        QByteArray payload;
        QVERIFY(!port->transaction(0x82, payload));
        QCOMPARE(port->errorString(), msg(406));   // unknown command
        payload = hex("3233");
        QVERIFY(!port->transaction(TProtocol::PROG_VCC, payload));
        QCOMPARE(port->errorString(), msg(407));   // wrong data length
        payload = hex("00");
        QVERIFY(!port->transaction(TProtocol::DEVICE_CODE_FIRST, payload));
        QCOMPARE(port->errorString(), msg(409));   // no device set up
        QVERIFY(!port->isFailed());
    }

    void errorRepliesWithoutAKnownCode_data()
    {
        QTest::addColumn<QByteArray>("errorPayload");
        QTest::addColumn<QString>("carried");
        QTest::newRow("code 12") << hex("0C00") << "12";
        QTest::newRow("code 0x1234") << hex("3412") << "4660";
        QTest::newRow("one byte") << hex("03") << "03";
        QTest::newRow("no bytes") << QByteArray() << "no bytes";
    }
    void errorRepliesWithoutAKnownCode()
    {
        QFETCH(QByteArray, errorPayload);
        QFETCH(QString, carried);
        fake->addFault(FakeFault::rawReply(TProtocol::frame(TProtocol::STATUS_ERROR, errorPayload)));
        QByteArray payload;
        QVERIFY(!port->transaction(TProtocol::PROG_FINISH, payload));
        QVERIFY(!port->isFailed());
        const QString text = port->errorString();
        QVERIFY2(text.contains(QLatin1String("Programmer error")), qPrintable(text));
        QVERIFY2(text.contains(carried), qPrintable(text));
        QVERIFY2(!text.startsWith(QLatin1String("msg ")), qPrintable(text));
    }

    void refusesAnOversizedRequestWithoutSending()
    {
        QByteArray payload(TProtocol::MAX_PAYLOAD + 1, 'x');
        QVERIFY(!port->transaction(1, payload));
        QCOMPARE(payload.size(), TProtocol::MAX_PAYLOAD + 1);
        QVERIFY(!port->isFailed());
        QVERIFY(port->errorString().contains(QLatin1String("65536")));
        QVERIFY(!fake->waitForRequests(1, 200));
    }

    void closedPortIsALinkFailure()
    {
        port->close();
        QByteArray payload;
        QVERIFY(!port->transaction(TProtocol::PROG_FINISH, payload));
        QVERIFY(port->isFailed());
        QCOMPARE(port->errorString(), msg(389));
    }

    void missingPortGivesItsOwnMessage()
    {
        TSerialPort other;
        QVERIFY(!other.openPort(QStringLiteral("/dev/velkor-no-such-port"), QIODevice::ReadWrite));
        QCOMPARE(other.errorString(), msg(393));

        // A port that answered with an error before: the failed open tells
        // why it failed, not what the programmer said last time.
        fake->addFault(FakeFault::errorReply(3));
        QByteArray payload;
        QVERIFY(!port->transaction(TProtocol::PROG_FINISH, payload));
        QCOMPARE(port->errorString(), msg(409));
        port->close();
        QVERIFY(!port->openPort(QStringLiteral("/dev/velkor-no-such-port"), QIODevice::ReadWrite));
        QCOMPARE(port->errorString(), msg(393));
    }

    // A port that a link of the program holds is refused to every other
    // link, whatever name reaches it, with its holder named and nothing
    // sent; it is free again once the holder closes or goes. A port that
    // another program holds is refused as taken, not as a permission fault.
    void portsInUse()
    {
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        const QString name = fake->portName();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString alias = dir.filePath(QStringLiteral("alias"));
        QVERIFY(QFile::link(name, alias));
        QVERIFY(name.startsWith(QLatin1String("/dev/")));

        const struct {
            QString holder;
            QString expected;
        } holders[] = {
            {QStringLiteral("run A"), lang.text(TSerialPort::MSG_PORT_IN_USE_BY).arg(QStringLiteral("run A"))},
            {QString(), lang.text(TSerialPort::MSG_PORT_IN_USE)},
        };
        for (const auto &h : holders) {
            port->setHolder(h.holder);
            QCOMPARE(TSerialPort::holderOf(alias), h.holder.isNull() ? QString(QLatin1String("")) : h.holder);
            for (const QString &n : {name, name.mid(5), alias}) {
                TSerialPort other;
                other.setHolder(QStringLiteral("run B"));
                QVERIFY2(!other.openPort(n, QIODevice::ReadWrite), qPrintable(n));
                QVERIFY(!other.isOpen());
                QCOMPARE(other.errorString(), h.expected);
                QByteArray payload;
                QVERIFY(!other.transaction(TProtocol::PROG_FINISH, payload));
            }
        }
        QCOMPARE(fake->requestCount(), 0);
        QByteArray payload;
        QVERIFY(port->transaction(TProtocol::PROG_FINISH, payload));

        // Closed: another link takes it, and the first one is refused now.
        port->close();
        QVERIFY(TSerialPort::holderOf(name).isNull());
        auto other = std::make_unique<TSerialPort>();
        other->setHolder(QStringLiteral("run B"));
        QVERIFY2(other->openPort(alias, QIODevice::ReadWrite), qPrintable(other->errorString()));
        QCOMPARE(TSerialPort::holderOf(name), QStringLiteral("run B"));
        QVERIFY(!port->openPort(name, QIODevice::ReadWrite));
        QCOMPARE(port->errorString(), lang.text(TSerialPort::MSG_PORT_IN_USE_BY).arg(QStringLiteral("run B")));
        // Gone without a close: free.
        other.reset();
        QVERIFY(TSerialPort::holderOf(name).isNull());
        QVERIFY2(port->openPort(name, QIODevice::ReadWrite), qPrintable(port->errorString()));
        port->close();

        // Held outside the program's links (here by a port of Qt's own, as
        // another program would): taken, said as such.
        QSerialPort foreign(name);
        QVERIFY2(foreign.open(QIODevice::ReadWrite), qPrintable(foreign.errorString()));
        QVERIFY(!port->openPort(name, QIODevice::ReadWrite));
        QCOMPARE(port->errorString(), lang.text(TSerialPort::MSG_PORT_IN_USE_ELSEWHERE));
        foreign.close();
        QVERIFY2(port->openPort(name, QIODevice::ReadWrite), qPrintable(port->errorString()));
        QVERIFY(NumberedLanguage::load());
    }

    // Line settings on a closed port (a pty refuses parity and data-bit changes).
    void positionSetters()
    {
        TSerialPort p;
        const QSerialPort::DataBits bits[] = {QSerialPort::Data5, QSerialPort::Data6,
                                              QSerialPort::Data7, QSerialPort::Data8};
        for (quint8 i = 0; i < 4; ++i) {
            QVERIFY(p.setDataBits(i));
            QCOMPARE(p.dataBits(), bits[i]);
        }
        QVERIFY(!p.setDataBits(quint8(4)));
        QCOMPARE(p.dataBits(), QSerialPort::Data8);

        const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                QSerialPort::SpaceParity};
        for (quint8 i = 0; i < 5; ++i) {
            QVERIFY(p.setParity(i));
            QCOMPARE(p.parity(), parities[i]);
            QVERIFY(p.setParityByName(TSerialPort::parityList().at(i)));
            QCOMPARE(p.parity(), parities[i]);
        }
        QVERIFY(!p.setParity(quint8(5)));
        QVERIFY(!p.setParityByName(QStringLiteral("even")));
        QVERIFY(!p.setParity(QSerialPort::UnknownParity));
        QCOMPARE(p.parity(), QSerialPort::SpaceParity);

        const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                               QSerialPort::TwoStop};
        for (quint8 i = 0; i < 3; ++i) {
            QVERIFY(p.setStopBits(i));
            QCOMPARE(p.stopBits(), stops[i]);
            QVERIFY(p.setStopBitsByName(TSerialPort::stopBitsList().at(i)));
            QCOMPARE(p.stopBits(), stops[i]);
        }
        QVERIFY(!p.setStopBits(quint8(3)));
        QVERIFY(!p.setStopBitsByName(QStringLiteral("3")));
        QCOMPARE(p.stopBits(), QSerialPort::TwoStop);

        const QSerialPort::FlowControl flows[] = {QSerialPort::NoFlowControl,
                                                  QSerialPort::HardwareControl,
                                                  QSerialPort::SoftwareControl};
        for (quint8 i = 0; i < 3; ++i) {
            QVERIFY(p.setFlowControl(i));
            QCOMPARE(p.flowControl(), flows[i]);
            QVERIFY(p.setFlowControlByName(TSerialPort::flowControlList().at(i)));
            QCOMPARE(p.flowControl(), flows[i]);
        }
        QVERIFY(!p.setFlowControl(quint8(3)));
        QVERIFY(!p.setFlowControlByName(QStringLiteral("Custom")));
        QCOMPARE(p.flowControl(), QSerialPort::SoftwareControl);

        QVERIFY(p.setBaudRate(57600));
        QCOMPARE(p.baudRate(), 57600);
    }

    void settingsFromADescription_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("flow");
        QTest::addColumn<int>("timeout");
        QTest::newRow("nothing given") << QString() << 115200 << int(QSerialPort::Data8)
                                       << int(QSerialPort::NoParity) << int(QSerialPort::OneStop)
                                       << int(QSerialPort::NoFlowControl) << 1000;
        QTest::newRow("all given")
            << "[Port]\nBaudRate=9600\nDataBits=7\nParity=Even\nStopBits=2\nFlowControl=Hardware\nTimeOut=250\n"
            << 9600 << int(QSerialPort::Data7) << int(QSerialPort::EvenParity)
            << int(QSerialPort::TwoStop) << int(QSerialPort::HardwareControl) << 250;
        QTest::newRow("emulator") << QStringLiteral("@emulator") << 115200 << int(QSerialPort::Data8)
                                  << int(QSerialPort::NoParity) << int(QSerialPort::OneStop)
                                  << int(QSerialPort::NoFlowControl) << 1000;
    }
    void settingsFromADescription()
    {
        QFETCH(QString, ini);
        QString file;
        QTemporaryDir dir;
        if (ini == QLatin1String("@emulator")) {
            file = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini");
        } else {
            file = dir.filePath(QStringLiteral("prog.ini"));
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(ini.toUtf8());
        }
        const TProg prog(file);
        TSerialPort p;
        // Start away from every expected value.
        p.setDataBits(quint8(0));
        p.setParity(QSerialPort::OddParity);
        p.setStopBits(QSerialPort::OneAndHalfStop);
        p.setFlowControl(QSerialPort::SoftwareControl);
        QVERIFY(p.applyPortSettings(prog.portSettings()));
        QTEST(p.baudRate(), "baud");
        QTEST(int(p.dataBits()), "dataBits");
        QTEST(int(p.parity()), "parity");
        QTEST(int(p.stopBits()), "stopBits");
        QTEST(int(p.flowControl()), "flow");
        QTEST(p.timeout(), "timeout");
    }

    void badCountsInADescriptionChangeNothing()
    {
        TPortSettings s;
        s.dataBits = 9;
        s.stopBits = 0;
        s.parity = QStringLiteral("Weird");
        TSerialPort p;
        QVERIFY(!p.applyPortSettings(s));
        QCOMPARE(p.dataBits(), QSerialPort::Data8);
        QCOMPARE(p.stopBits(), QSerialPort::OneStop);
        QCOMPARE(p.parity(), QSerialPort::NoParity);
    }

    void optionLists()
    {
        QCOMPARE(TSerialPort::baudRateList().join(' '),
                 QStringLiteral("110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 "
                                "115200 230400 460800 921600"));
        QCOMPARE(TSerialPort::dataBitsList().join(' '), QStringLiteral("5 6 7 8"));
        QCOMPARE(TSerialPort::parityList().join(' '), QStringLiteral("None Odd Even Mark Space"));
        QCOMPARE(TSerialPort::stopBitsList().join(' '), QStringLiteral("1 1.5 2"));
        QCOMPARE(TSerialPort::flowControlList().join(' '),
                 QStringLiteral("None Hardware Software Custom"));
    }

    void portEntries_data()
    {
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("entry");
        QTest::newRow("both") << "FTDI" << "USB Serial" << "ttyUSB0 (FTDI USB Serial)";
        QTest::newRow("description only") << "" << "USB Serial" << "ttyUSB0 (USB Serial)";
        QTest::newRow("manufacturer only") << "FTDI" << "" << "ttyUSB0";
        QTest::newRow("neither") << "" << "" << "ttyUSB0";
    }
    void portEntries()
    {
        QFETCH(QString, manufacturer);
        QFETCH(QString, description);
        QFETCH(QString, entry);
        QCOMPARE(TSerialPort::portEntry(QStringLiteral("ttyUSB0"), manufacturer, description), entry);
        QCOMPARE(TSerialPort::portNameOf(entry), QStringLiteral("ttyUSB0"));
    }

    void portNameOfOddEntries()
    {
        QCOMPARE(TSerialPort::portNameOf(QStringLiteral("(odd)")), QStringLiteral("(odd)"));
        QCOMPARE(TSerialPort::portNameOf(QStringLiteral("COM3 (a (b))")), QStringLiteral("COM3"));
        QCOMPARE(TSerialPort::portNameOf(QString()), QString());
    }

    void availablePortsNameRealPorts()
    {
        QStringList names;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            names.append(info.portName());
        const QStringList entries = TSerialPort::availablePorts();
        QCOMPARE(entries.size(), names.size());
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(TSerialPort::portNameOf(entries.at(i)), names.at(i));
    }

private:
    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<TSerialPort> port;
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
