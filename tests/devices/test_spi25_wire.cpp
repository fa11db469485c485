// The 25xx request builders byte for byte, as the fake programmer logs them:
// the worked payloads, the variants that send nothing, and the register
// reads that stop at a failed or short reply.

#include "devices/spi25.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/FakeProgrammer.h"
#include "support/NumberedLanguage.h"
#include "support/Spi25Chip.h"

#include <QtTest>

#include <functional>
#include <memory>

using namespace spi25;

namespace {

// A chip that refuses its n-th device-level request with error code 5.
class FailNth : public Spi25Chip
{
public:
    FailNth() : Spi25Chip(1 << 17, QByteArray::fromHex("EF3011")) {}
    ChipReply request(quint8 code, const QByteArray &payload) override
    {
        if (++seen == failAt)
            return ChipReply::failure(5);
        return Spi25Chip::request(code, payload);
    }
    int seen = 0;
    int failAt = 0;
};

typedef std::function<bool(TSerialPort *, QString &)> Call;

} // namespace

class TestSpi25Wire : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeProgrammer> fake;
    std::shared_ptr<FailNth> chip;
    TSerialPort port;

    // "<code> <payload>" of every device-level request since the set-up.
    QStringList sent() const
    {
        QStringList out;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code != TProtocol::PROG_SETUP)
                out << QString::number(r.code) + QLatin1Char(' ') + QString::fromLatin1(r.payload.toHex(' ').toUpper());
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(NumberedLanguage::load()); }

    void init()
    {
        fake.reset(new FakeProgrammer);
        chip = std::make_shared<FailNth>();
        fake->setChip(chip);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        port.setTimeout(1000);
        port.setMaxData(1024);
        QByteArray setup = QByteArray::fromHex("05000040420F00");
        QVERIFY(port.transaction(TProtocol::PROG_SETUP, setup));
    }

    void cleanup()
    {
        port.close();
        fake.reset();
    }

    // Each builder alone on a fresh log.
    void payloads()
    {
        struct Row
        {
            const char *name;
            Call call;
            QStringList wire;
        };
        QVector<Row> rows;
        const auto row = [&rows](const char *name, Call call, QStringList wire) {
            rows.append({name, call, wire});
        };
        row("clock 1 MHz", [](TSerialPort *p, QString &e) { return spi25SetClk(p, 1000000, e); },
            {"2 40 42 0F 00"});
        row("leave", [](TSerialPort *p, QString &e) { return spi25Leave(p, QByteArray::fromHex("000005"), e); },
            {"1 00 00 05"});
        row("JEDEC ID", [](TSerialPort *p, QString &e) { QByteArray b; return spi25ReadJedecId(p, b, e); },
            {"3 03 00 9F"});
        row("read 16 at 0x012345",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25Read(p, 0x012345, 16, b, e); },
            {"3 10 00 0B 01 23 45 00"});
        row("read at bit 24 sends zero address",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25Read(p, 0x1000000, 2, b, e); },
            {"3 02 00 0B 00 00 00 00"});
        row("block erase",
            [](TSerialPort *p, QString &e) { return spi25Erase(p, 0x20, 0x3000, e); }, {"4 20 00 30 00"});
        row("page program",
            [](TSerialPort *p, QString &e) { return spi25PageProgram(p, 0x0100FE, QByteArray::fromHex("AABB"), e); },
            {"4 02 01 00 FE AA BB"});
        row("status read",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25ReadStatus(p, b, e) && b == QByteArray::fromHex("000260"); },
            {"3 01 00 05", "3 01 00 35", "3 01 00 15"});
        row("status write",
            [](TSerialPort *p, QString &e) { return spi25WriteStatus(p, QByteArray::fromHex("000260"), e); },
            {"4 01 00", "4 31 02", "4 11 60"});
        row("SFDP 8 at 0x30",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25ReadSfdp(p, 0x30, 8, b, e); },
            {"3 08 00 5A 00 00 30 00"});
        row("security erase index 2",
            [](TSerialPort *p, QString &e) { return spi25EraseSecurityReg(p, 2, e); }, {"4 44 00 30 00"});
        row("security read 4 at 0x0105",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25ReadSecurityReg(p, 0x0105, 4, b, e); },
            {"3 04 00 48 00 20 05 00"});
        row("security program at 0x0210",
            [](TSerialPort *p, QString &e) { return spi25ProgramSecurityReg(p, 0x0210, QByteArray("\x11", 1), e); },
            {"4 42 00 30 10 11"});
        row("unique ID",
            [](TSerialPort *p, QString &e) { QByteArray b; return spi25ReadUniqueId(p, b, e) && b.size() == 8; },
            {"3 08 00 4B 00 00 00 00"});
        row("status write of two bytes sends nothing",
            [](TSerialPort *p, QString &e) { return !spi25WriteStatus(p, QByteArray(2, 0), e) && e.isEmpty(); },
            {});
        for (const Row &r : rows) {
            fake->clearRequests();
            QString error;
            QVERIFY2(r.call(&port, error), r.name);
            QVERIFY2(sent() == r.wire, qPrintable(QString::fromLatin1(r.name) + ": " + sent().join(" / ")));
        }
    }

    void securityIndexKeepsEightBits()
    {
        QCOMPARE(securityIndexByte(0), quint8(0x10));
        QCOMPARE(securityIndexByte(14), quint8(0xF0));
        QCOMPARE(securityIndexByte(15), quint8(0x00));
    }

    // The emulated chip itself, one chip select at a time: what needs the
    // write-enable latch, how programs and erases change the array.
    void chipSemantics()
    {
        Spi25Chip c(1 << 17, QByteArray::fromHex("EF3011"));
        c.busyPolls = 0;
        const auto cmd = [&c](const char *hex) { return c.transfer(QByteArray::fromHex(hex), 0); };
        cmd("02000000F0");                       // no write enable: ignored
        QCOMPARE(quint8(c.array.at(0)), quint8(0xFF));
        QCOMPARE(c.ignored, 1);
        cmd("06");
        cmd("020000FE0F0F3C");                   // ANDs, wraps from 0xFF to 0x00 of the page
        QCOMPARE(c.array.mid(0xFE, 2), QByteArray::fromHex("0F0F"));
        QCOMPARE(quint8(c.array.at(0)), quint8(0x3C));
        QCOMPARE(quint8(c.array.at(0x100)), quint8(0xFF));
        cmd("06");
        cmd("020000FEF0");
        QCOMPARE(quint8(c.array.at(0xFE)), quint8(0x00));
        cmd("06");
        cmd("C7000000");                         // chip erase with address bytes: ignored
        QCOMPARE(quint8(c.array.at(0xFE)), quint8(0x00));
        cmd("C7");                               // the latch outlives an ignored instruction

        QCOMPARE(c.array, QByteArray(1 << 17, char(0xFF)));

        // BUSY keeps everything but status reads out; WEL reads back.
        c.busyPolls = 2;
        cmd("06");
        QCOMPARE(c.transfer(QByteArray::fromHex("05"), 1), QByteArray::fromHex("02"));
        cmd("0200001055");
        QCOMPARE(c.transfer(QByteArray::fromHex("0B00001000"), 1), QByteArray::fromHex("FF"));
        QCOMPARE(c.busyRejected, 1);
        QCOMPARE(c.transfer(QByteArray::fromHex("05"), 2), QByteArray::fromHex("0101"));
        QCOMPARE(c.transfer(QByteArray::fromHex("05"), 1), QByteArray::fromHex("01"));
        QCOMPARE(c.transfer(QByteArray::fromHex("05"), 1), QByteArray::fromHex("00"));
        QCOMPARE(c.transfer(QByteArray::fromHex("0B00001000"), 1), QByteArray::fromHex("55"));

        // Status registers keep their read-only and reserved bits; lock bits stay.
        c.busyPolls = 0;
        cmd("06");
        cmd("31FF");
        QCOMPARE(int(c.status[1]), 0x7B);
        cmd("06");
        cmd("3100");
        QCOMPARE(int(c.status[1]), 0x38);
        cmd("06");
        cmd("42002000AA");                       // security register 1 is locked now
        QCOMPARE(quint8(c.security.at(0).at(0)), quint8(0xFF));
    }

    // Every dispatcher refuses a variant other than 0 without a request
    // and without touching the error text.
    void otherVariantsSendNothing()
    {
        QByteArray b;
        const QByteArray data(4, 0);
        const QVector<std::function<bool(int, QString &)>> calls = {
            [&](int a, QString &e) { return spi25ReadJedecIdByAlg(a, &port, b, e); },
            [&](int a, QString &e) { return spi25EraseByAlg(a, &port, 0x20, 0, e); },
            [&](int a, QString &e) { return spi25ReadByAlg(a, &port, 0, 4, b, e); },
            [&](int a, QString &e) { return spi25PageProgramByAlg(a, &port, 0, data, e); },
            [&](int a, QString &e) { return spi25ReadStatusByAlg(a, &port, b, e); },
            [&](int a, QString &e) { return spi25WriteStatusByAlg(a, &port, QByteArray(3, 0), e); },
            [&](int a, QString &e) { return spi25ReadSfdpByAlg(a, &port, 0, 4, b, e); },
            [&](int a, QString &e) { return spi25EraseSecurityRegByAlg(a, &port, 0, e); },
            [&](int a, QString &e) { return spi25ReadSecurityRegByAlg(a, &port, 0, 4, b, e); },
            [&](int a, QString &e) { return spi25ProgramSecurityRegByAlg(a, &port, 0, data, e); },
            [&](int a, QString &e) { return spi25ReadUniqueIdByAlg(a, &port, b, e); },
        };
        for (int i = 0; i < calls.size(); ++i) {
            QString error = QStringLiteral("kept");
            QVERIFY2(!calls[i](1, error), qPrintable(QString::number(i)));
            QCOMPARE(error, QStringLiteral("kept"));
            QVERIFY2(calls[i](0, error), qPrintable(QString::number(i)));
        }
        QCOMPARE(sent().size(), 3 + 3 + 9);   // status read and write send three each
    }

    // A failed second status read leaves one byte and sends no third; a
    // reply of no byte is no register value.
    void statusReadStopsAtAFailedOrShortReply()
    {
        fake->locked([this] { chip->failAt = 2; });   // the programmer's thread reads it
        QByteArray out;
        QString error;
        QVERIFY(!spi25ReadStatus(&port, out, error));
        QCOMPARE(out, QByteArray(1, 0));
        QCOMPARE(error, NumberedLanguage::text(406 + 5));
        QCOMPARE(sent().size(), 2);

        fake->addFault(FakeFault::rawReply(TProtocol::frame(0, QByteArray())).onCode(3));
        out.clear();
        error.clear();
        QVERIFY(!spi25ReadStatus(&port, out, error));
        QVERIFY(out.isEmpty());
        QVERIFY(error.isEmpty());
        QCOMPARE(sent().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSpi25Wire)
#include "test_spi25_wire.moc"
