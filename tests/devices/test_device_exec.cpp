// The executor's progress step and the device interface's small helpers.

#include <QtTest>

#include "core/consts.h"
#include "devices/IDeviceExec.h"
#include "devices/exec_messages.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/FakeDevice.h"
#include "support/FakeProgrammer.h"
#include "support/NumberedLanguage.h"

namespace {

class Exec : public IDeviceExec
{
public:
    Exec() : IDeviceExec(TData()) {}
    bool execute(TSerialPort *, bool *, int *, int *) override { return true; }
    bool ident(TSerialPort *, QString &) override { return false; }
};

} // namespace

class TestDeviceExec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(NumberedLanguage::load()); }

    void requestsGoThroughTheLink()
    {
        Exec exec;
        TSerialPort port;
        QVERIFY(!exec.checkPort(&port));
        QCOMPARE(exec.errorText(), NumberedLanguage::text(392));
        QVERIFY(!exec.checkPort(nullptr));

        FakeProgrammer fake;
        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        QVERIFY(port.openPort(fake.portName(), QIODevice::ReadWrite));
        port.setTimeout(300);
        exec.setErrorText(QString());
        QVERIFY(exec.checkPort(&port));
        QCOMPARE(exec.errorText(), QString());

        QByteArray payload;
        QVERIFY(exec.transact(&port, TProtocol::PROG_IDENT, payload));
        QCOMPARE(payload, QByteArray(FakeProgrammer::DEFAULT_IDENT));

        fake.addFault(FakeFault::errorReply(0));
        payload.clear();
        QVERIFY(!exec.transact(&port, TProtocol::PROG_IDENT, payload));
        QCOMPARE(exec.errorText(), NumberedLanguage::text(406));

        fake.addFault(FakeFault::silence());
        QVERIFY(!exec.transact(&port, TProtocol::PROG_IDENT, payload));
        QCOMPARE(exec.errorText(), NumberedLanguage::text(389));
        port.close();
        fake.stop();
    }

    void zeroTotalIsComplete()
    {
        Exec exec;
        QSignalSpy spy(&exec, &IDeviceExec::signalEventProc);
        int counter = 0;
        int last = -1;
        QVERIFY(!exec.progress(counter, last, 0, 0));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 100);
        QCOMPARE(last, 100);
    }

    void onePercentageSignalPerChange()
    {
        Exec exec;
        QSignalSpy spy(&exec, &IDeviceExec::signalEventProc);
        int counter = 0;
        int last = -1;
        const qint64 total = qint64(400) << 32; // large sizes stay exact
        for (qint64 done = 0; done <= total; done += total / 400)
            exec.progress(counter, last, done, total);
        QCOMPARE(spy.count(), 101);
        for (int i = 0; i <= 100; ++i)
            QCOMPARE(spy.at(i).at(0).toInt(), i);
        // Truncated, not rounded.
        exec.progress(counter, last, 199, 200);
        QCOMPARE(spy.last().at(0).toInt(), 99);
    }

    void eventsRunOnEverySixteenthUnchangedCall()
    {
        Exec exec;
        int counter = 0;
        int last = -1;
        exec.progress(counter, last, 1, 2); // a change: events run, counter 1
        QCOMPARE(counter, 1);
        QList<int> delivered;
        for (int call = 1; call <= 40; ++call) {
            bool ran = false;
            QMetaObject::invokeMethod(&exec, [&ran]() { ran = true; }, Qt::QueuedConnection);
            exec.progress(counter, last, 1, 2);
            if (ran)
                delivered << call;
            QCoreApplication::processEvents(); // drain what was left
        }
        QCOMPARE(delivered, (QList<int>{16, 32}));
    }

    void stopReachesTheCallerThroughProgress()
    {
        Exec exec;
        int counter = 0;
        int last = -1;
        QVERIFY(!exec.progress(counter, last, 1, 10));
        // A stop request queued from elsewhere arrives while the events run.
        QMetaObject::invokeMethod(&exec, &IDeviceExec::slotStop, Qt::QueuedConnection);
        QVERIFY(exec.progress(counter, last, 5, 10));
        QVERIFY(exec.progress(counter, last, 5, 10));
        QVERIFY(exec.isStopped());
    }

    void errorTextAndDeviceHelpers()
    {
        Exec exec;
        QCOMPARE(exec.errorText(), QString());
        exec.setErrorText(QStringLiteral("failed"));
        QCOMPARE(exec.errorText(), QStringLiteral("failed"));

        FakeDevice device(QStringLiteral("AT25"));
        QCOMPARE(device.objectName(), QStringLiteral("AT25"));
        QCOMPARE(device.name(), QStringLiteral("AT25"));
        QVERIFY(!device.isReset());
        QCOMPARE(device.prgPar(), QString());
        QCOMPARE(device.prgCon(), QString());
        TData params;
        params.insert(DEV_RESET, QStringLiteral("1"));
        params.insert(DEV_PRG_PAR, QStringLiteral("SPI"));
        params.insert(DEV_PRG_CON, QStringLiteral("SPI_25"));
        device.setParams(params);
        QVERIFY(device.isReset());
        QCOMPARE(device.prgPar(), QStringLiteral("SPI"));
        QCOMPARE(device.prgCon(), QStringLiteral("SPI_25"));

        TData cmd;
        cmd.insert(REC_CMD, QString(CMD_FLASH_FILE_WRITE));
        QCOMPARE(device.cmdName(cmd), QStringLiteral("Flash File Write"));
        cmd.insert(REC_CMD, QString(CMD_SEPARATOR));
        QCOMPARE(device.cmdName(cmd), QString());
    }

    // A write cut short names the parts the programmer confirmed, in
    // whatever order they were sent: merged where they meet, the first
    // eight of many and how many more, beside the request that failed.
    void changeLeftOpenNamesItsParts()
    {
        QVERIFY(NumberedLanguage::loadWithArguments());
        const auto T = NumberedLanguage::textWithArguments;
        Exec exec;
        exec.beginChange(IDeviceExec::ChangeUnit::Addresses, 0x10, 0x13F);
        // Backwards: two requests that meet, then every other 16 bytes; the last fails.
        for (qint64 a : {0x130, 0x120, 0x100, 0xE0, 0xC0, 0xA0, 0x80, 0x60, 0x40, 0x20, 0x10}) {
            exec.changeRequest(a, a + 0xF);
            if (a > 0x10)
                exec.changeConfirmed();
        }
        const char *named = "0x20..0x2F, 0x40..0x4F, 0x60..0x6F, 0x80..0x8F, 0xA0..0xAF, 0xC0..0xCF, "
                            "0xE0..0xEF, 0x100..0x10F";
        const QString parts = T(execmsg::CHANGE_PARTS_MORE).arg(named).arg(1);
        QCOMPARE(exec.unfinishedChangeText(), QStringList({T(execmsg::CHANGE_PARTS).arg(parts, "10", "13F"),
                                                           T(execmsg::CHANGE_UNSURE).arg("10", "1F")}));
        QVERIFY(NumberedLanguage::load());
    }
};

QTEST_GUILESS_MAIN(TestDeviceExec)
#include "test_device_exec.moc"
