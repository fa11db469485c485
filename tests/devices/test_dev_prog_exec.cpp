// The programmer requests that belong to no command, byte for byte on the
// wire of the fake programmer.

#include "devices/TDevProgExec.h"
#include "link/TSerialPort.h"
#include "support/FakeProgrammer.h"
#include "support/NumberedLanguage.h"

#include <QtTest>

class TestDevProgExec : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
    }

    void closedPortSendsNothing()
    {
        FakeProgrammer fake;
        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        TSerialPort port;
        port.setPortName(fake.portName());
        QVERIFY(!TDevProgExec::sendStatus(&port, TDevProgExec::STATE_IDLE));
        QVERIFY(!TDevProgExec::sendFinish(&port));
        QVERIFY(!TDevProgExec::sendFinish(nullptr));
        QVERIFY(!TDevProgExec::sendReset(&port, -400));
        QVERIFY(!fake.waitForRequests(1, 200));
    }

    void framesOnTheWire()
    {
        FakeProgrammer fake;
        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        TSerialPort port;
        QVERIFY2(port.openPort(fake.portName(), QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.setTimeout(400);

        QVERIFY(TDevProgExec::sendFinish(&port));
        QVERIFY(TDevProgExec::sendStatus(&port, TDevProgExec::STATE_FAILED));
        QVERIFY(TDevProgExec::sendStatus(&port, -1));   // the low 8 bits travel
        const auto log = fake.requests();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(0).frame, QByteArray::fromHex("c0850000bb"));
        QCOMPARE(log.at(1).frame, QByteArray::fromHex("c083010002ba"));
        QCOMPARE(log.at(2).payload, QByteArray::fromHex("ff"));
        QCOMPARE(fake.state().status, -1);
        QCOMPARE(fake.state().finishCount, 1);

        // A reset pulse: its sign travels in the 16-bit field; one beyond
        // the field is refused without a request.
        QVERIFY(TDevProgExec::sendReset(&port, -400));
        QVERIFY(TDevProgExec::sendReset(&port, 32767));
        QVERIFY(TDevProgExec::sendReset(&port, -32768));
        for (qint64 beyond : {qint64(32768), qint64(-32769), qint64(-2147483648LL), qint64(65536 + 400)})
            QVERIFY(!TDevProgExec::sendReset(&port, beyond));
        QCOMPARE(fake.requestCount(), 6);
        QCOMPARE(fake.requests().at(3).frame, QByteArray::fromHex("c086020070fe4a"));
        QCOMPARE(fake.requests().at(4).payload, QByteArray::fromHex("ff7f"));
        QCOMPARE(fake.state().resetPulse, qint16(-32768));

        // An error reply is a failure the port explains.
        fake.addFault(FakeFault::errorReply(3).onCode(0x83));
        QVERIFY(!TDevProgExec::sendStatus(&port, TDevProgExec::STATE_RUNNING));
        QVERIFY(!port.isFailed());
        QCOMPARE(port.errorString(), NumberedLanguage::text(409));
        // Silence is a link failure.
        port.setTimeout(150);
        fake.addFault(FakeFault::silence().onCode(0x85));
        QVERIFY(!TDevProgExec::sendFinish(&port));
        QVERIFY(port.isFailed());
    }
};

QTEST_GUILESS_MAIN(TestDevProgExec)
#include "test_dev_prog_exec.moc"
