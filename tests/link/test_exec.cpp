// The execution worker, run the way the main window runs it: in a QThread of
// its own, its signals connected to a receiver in the test's thread (blocking
// queued for events, requests and status), against the fake programmer over
// a pseudo-terminal. Test providers stand in for the command groups: their
// executors open the port, send a request, fail, or steer the run through
// stopRun, cfgId and lastCmdId.

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDeviceExec.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/FakeDevice.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QPointer>
#include <QThread>
#include <QtTest>

#include <memory>
#include <mutex>

namespace {

const QString DO = QStringLiteral("do");
const QString TAG = QStringLiteral("tag");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// What the executors saw, shared with the test (a standard mutex, which
// the race checker sees).
struct Trace
{
    std::mutex mutex;
    QString portName;
    QStringList executed;       // tags in the order the commands ran
    QList<bool> openAtStart;    // port state when each executor started
    int jumps = 0;

    void note(const QString &tag, bool open)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        executed << tag;
        openAtStart << open;
    }
};

// An executor whose "do" parameter says what it does.
class ScriptExec : public IDeviceExec
{
    Q_OBJECT
public:
    ScriptExec(const TData &data, Trace *trace) : IDeviceExec(data), trace(trace) {}

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override
    {
        const TData p = params();
        const QString what = p.value(DO).toString();
        trace->note(p.value(TAG).toString(), port->isOpen());
        if (what == QLatin1String("open")) {
            if (!port->openPort(trace->portName, QIODevice::ReadWrite)) {
                setErrorText(port->errorString());
                return false;
            }
            port->setTimeout(p.value(QStringLiteral("timeout"), 1000).toInt());
            port->setMaxData(64);
            return true;
        }
        if (what == QLatin1String("send")) {
            QByteArray payload = QByteArray::fromHex(p.value(QStringLiteral("payload")).toByteArray());
            return checkPort(port) && transact(port, quint8(p.value(QStringLiteral("code")).toInt()), payload);
        }
        if (what == QLatin1String("fail")) {
            setErrorText(p.value(QStringLiteral("text")).toString());
            return false;
        }
        if (what == QLatin1String("stop")) {
            *stopRun = true;
            return true;
        }
        if (what == QLatin1String("goto")) {
            // Jumps a given number of times, then lets the run go on.
            const int times = p.value(QStringLiteral("times"), 1).toInt();
            if (trace->jumps < times) {
                ++trace->jumps;
                *cfgId = p.value(QStringLiteral("cfg")).toInt();
                *lastCmdId = p.value(QStringLiteral("after")).toInt();
            }
            return true;
        }
        if (what == QLatin1String("execute")) {
            emit signalExecuteFromCmd(p.value(QStringLiteral("cfg")).toInt());
            return true;
        }
        if (what == QLatin1String("pause")) {
            emit signalPauseFromCmd(p.value(REC_ID_CFG).toInt());
            while (!resumed && !isStopped()) {
                QThread::msleep(2);
                QCoreApplication::processEvents();
            }
            return true;
        }
        if (what == QLatin1String("wait")) {
            // Runs until told to stop, as a long read does.
            emit signalEventText(EXEC_TEXT, QStringLiteral("waiting"));
            int counter = 0;
            int last = -1;
            qint64 done = 0;
            const qint64 limit = p.value(QStringLiteral("limit"), -1).toLongLong();
            while (!progress(counter, last, done % 100, 100)) {
                if (++done == limit)
                    return true;
                QThread::msleep(1);
            }
            if (p.value(QStringLiteral("failOnStop")).toBool()) {
                setErrorText(QStringLiteral("interrupted"));
                return false;
            }
            return true;
        }
        if (what == QLatin1String("chatty")) {
            while (!isStopped()) {
                emit signalEventText(EXEC_TEXT, QStringLiteral("tick"));
                QCoreApplication::processEvents();
            }
            return true;
        }
        return true;
    }
    bool ident(TSerialPort *, QString &) override { return false; }

signals:
    void signalExecuteFromCmd(int id_cfg);
    void signalPauseFromCmd(int id_cfg);

public slots:
    void slotPauseReset() { resumed = true; }

private:
    Trace *trace;
    bool resumed = false;
};

class ScriptDevice : public FakeDevice
{
public:
    explicit ScriptDevice(Trace *trace) : FakeDevice(QStringLiteral("Script")), trace(trace) {}
    QString cmdParamText(const TData &data, QWidget *) override
    {
        return QStringLiteral("tag=") + data.value(TAG).toString();
    }
    IDeviceExec *createExec(const TData &data) override
    {
        const QString tag = data.value(TAG).toString();
        const std::lock_guard<std::mutex> lock(askedLock);   // runs at once ask from threads of their own
        asked << tag;
        return tag == noExecTag ? nullptr : new ScriptExec(data, trace);
    }
    Trace *trace;
    // The tags of the commands an executor was asked for.
    QStringList askedTags() const { const std::lock_guard<std::mutex> lock(askedLock); return asked; }
    QString noExecTag;   // the command it cannot carry out

private:
    mutable std::mutex askedLock;
    QStringList asked;
};


} // namespace

class TestExec : public QObject
{
    Q_OBJECT

    Trace trace;
    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<ScriptDevice> device;
    std::unique_ptr<Receiver> rx;

    // A command of the configuration, valid and handled by the script device
    // unless told otherwise.
    int addCmd(int cfg, const QString &code, const QString &what, const QString &tag,
               const TData &extra = TData())
    {
        TData data = extra;
        data.insert(REC_ID_CFG, cfg);
        data.insert(REC_STATUS, 1);
        data.insert(REC_CMD, code);
        data.insert(DO, what);
        data.insert(TAG, tag);
        // A memory code moves a byte: the run refuses one of none.
        if (!data.contains(FILE_COUNT))
            data.insert(FILE_COUNT, 1);
        const int id = dataPrj.addCmd(data);
        TDataCmd *cmd = dataPrj.cmdById(id);
        cmd->setHandler(device.get());
        cmd->setValidDev(true);
        cmd->setValidParam(true);
        return id;
    }

    // Starts the worker as the main window does; returns its thread.
    QPointer<QThread> start(int cfg)
    {
        return startExec(cfg, rx.get());
    }

    // Runs the configuration to its end and checks what every run reports.
    void run(int cfg, bool ok)
    {
        QPointer<QThread> thread = start(cfg);
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses.size(), 1);
        QCOMPARE(rx->statuses.first().first, cfg);
        QCOMPARE(rx->statuses.first().second, ok);
        QVERIFY(!rx->events.isEmpty());
        QCOMPARE(rx->events.last().code, ok ? EXEC_SUCCESS : EXEC_FAILED);
        QCOMPARE(rx->seenIn, QThread::currentThread());
        QCOMPARE(rx->ofKind(EXEC_SUCCESS).size() + rx->ofKind(EXEC_FAILED).size(), 1);
        QCOMPARE(dataPrj.activeRuns(), 0);
    }

    QVector<QByteArray> wire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }

    QString name(const char *code) const { return cmdCode.name(QString::fromLatin1(code)); }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(!lang.text(391).contains(QLatin1String("?????")));
    }

    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        {
            const std::lock_guard<std::mutex> lock(trace.mutex);
            trace.portName = fake->portName();
            trace.executed.clear();
            trace.openAtStart.clear();
            trace.jumps = 0;
        }
        device.reset(new ScriptDevice(&trace));
        rx.reset(new Receiver);
        dataPrj.setPrjFile(QStringLiteral("test.prj"));
        dataPrj.clear();
        dataPrj.setPrjFile(QStringLiteral("test.prj"));
    }

    void cleanup()
    {
        dataPrj.clear();
        rx.reset();
        device.reset();
        fake.reset();
    }

    void emptyConfigurationCompletesAtOnce()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("empty"), QString());
        const int off = addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("off"));
        dataPrj.setCmdStatus(off, false);
        run(cfg, true);
        QCOMPARE(rx->codes(), QVector<TCodeExec>({EXEC_SUCCESS}));
        QCOMPARE(rx->events.first().text, lang.text(391));
        QVERIFY(device->askedTags().isEmpty());
        QVERIFY(rx->percents.isEmpty());
        QCOMPARE(fake->requestCount(), 0);
    }

    void programmerRunEndsWithFinishAndIdle()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("run"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        addCmd(cfg, CMD_SET_DEVICE, QString(), QStringLiteral("d"));
        run(cfg, true);
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("85"), hex("8300")}));
        QCOMPARE(rx->codes(), QVector<TCodeExec>({EXEC_CMD, EXEC_CMD, EXEC_SUCCESS}));
        QCOMPARE(rx->events.at(0).text, name(CMD_SET_PROG));
        QCOMPARE(rx->events.at(0).text2, QStringLiteral("tag=p"));
        QCOMPARE(rx->events.at(1).text, name(CMD_SET_DEVICE));
        QCOMPARE(rx->events.at(2).text, lang.text(391));
        QCOMPARE(rx->percents, QVector<int>({0, 0}));
        QCOMPARE(trace.executed, QStringList({"p", "d"}));
    }

    void leaveEndsWithoutFinish()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("leave"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        addCmd(cfg, CMD_LEAVE, QString(), QStringLiteral("l"));
        run(cfg, true);
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("8300")}));
    }

    void secondProgrammerClosesTheFirst()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("two"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p1"));
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p2"));
        run(cfg, true);
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("85"), hex("8300"), hex("8301"),
                                              hex("85"), hex("8300")}));
        QCOMPARE(trace.openAtStart, QList<bool>({false, false}));
    }

    // A command marked invalid stops the run before anything of its
    // configuration is sent; one whose handler makes no executor only
    // when the run reaches it. The failure says what is lacking: here no
    // programmer is chosen, and the script device does not carry it out.
    void invalidCommandsFailAfterTheirLogLine_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("error");
        const QString name = cmdCode.name(QLatin1String(CMD_FLASH_FILE_WRITE));
        const QString noProg = lang.text(checkmsg::REFUSED).arg(name, SET_PROG_PROG, lang.text(checkmsg::NO_PROG));
        QTest::newRow("invalid device") << 0 << noProg;
        QTest::newRow("invalid parameters") << 1 << lang.text(execmsg::INVALID_PARAMS).arg(name);
        QTest::newRow("no handler") << 2 << noProg;
        QTest::newRow("no executor") << 3
                                     << lang.text(checkmsg::REFUSED).arg(name, REC_CMD,
                                                                         lang.text(checkmsg::NOT_OFFERED).arg(CMD_FLASH_FILE_WRITE, "Script"));
    }
    void invalidCommandsFailAfterTheirLogLine()
    {
        QFETCH(int, fault);
        QFETCH(QString, error);
        const int cfg = dataPrj.addCfg(QStringLiteral("bad"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        const int bad = addCmd(cfg, CMD_FLASH_FILE_WRITE, QStringLiteral("fail"), QStringLiteral("b"),
                               {{QStringLiteral("text"), QStringLiteral("must not run")}});
        addCmd(cfg, CMD_LEAVE, QString(), QStringLiteral("after"));
        TDataCmd *cmd = dataPrj.cmdById(bad);
        if (fault == 0)
            cmd->setValidDev(false);
        else if (fault == 1)
            cmd->setValidParam(false);   // a check that passes now: the flag alone refuses
        else if (fault == 2) {
            // A device command with no device chosen before it.
            cmd->setHandler(nullptr);
            cmd->setValidDev(false);
        }
        else
            device->noExecTag = QStringLiteral("b");
        run(cfg, false);
        const bool reached = fault == 3;
        QCOMPARE(trace.executed, reached ? QStringList({"p"}) : QStringList());
        QCOMPARE(rx->codes(), reached ? QVector<TCodeExec>({EXEC_CMD, EXEC_CMD, EXEC_FAILED})
                                      : QVector<TCodeExec>({EXEC_CMD, EXEC_FAILED}));
        QCOMPARE(rx->events.at(rx->events.size() - 2).text, name(CMD_FLASH_FILE_WRITE));
        QCOMPARE(rx->events.last().text, error);
        QCOMPARE(device->askedTags(), reached ? QStringList({"p", "b"}) : QStringList());
        // Reached: the programmer still answers, the run is ended and marked
        // failed. Refused before: nothing at all.
        QCOMPARE(wire(), reached ? QVector<QByteArray>({hex("8301"), hex("85"), hex("8302")})
                                 : QVector<QByteArray>());
    }

    void timeoutEndsTheRunWithNothingMoreSent()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("silent"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"),
               {{QStringLiteral("timeout"), 200}});
        addCmd(cfg, CMD_SET_VCC, QStringLiteral("send"), QStringLiteral("v"),
               {{QStringLiteral("code"), 0x89}, {QStringLiteral("payload"), QStringLiteral("21")}});
        addCmd(cfg, CMD_SET_VCC, QStringLiteral("send"), QStringLiteral("never"),
               {{QStringLiteral("code"), 0x89}, {QStringLiteral("payload"), QStringLiteral("32")}});
        fake->addFault(FakeFault::silence().onCode(TProtocol::PROG_VCC));
        run(cfg, false);
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("8921")}));
        QCOMPARE(rx->events.last().text, lang.text(389));
        QCOMPARE(trace.executed, QStringList({"p", "v"}));
    }

    void errorReplyEndsTheRunOnALiveLink()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("refused"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        addCmd(cfg, CMD_SET_VCC, QStringLiteral("send"), QStringLiteral("v"),
               {{QStringLiteral("code"), 0x89}, {QStringLiteral("payload"), QStringLiteral("21")}});
        fake->addFault(FakeFault::errorReply(4).onCode(TProtocol::PROG_VCC));
        run(cfg, false);
        QCOMPARE(rx->events.last().text, lang.text(410));
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("8921"), hex("85"), hex("8302")}));
    }

    void failedWorkerRequestsFailTheRun()
    {
        // The programmer refuses the state byte after "set_prog".
        const int cfg = dataPrj.addCfg(QStringLiteral("state"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        addCmd(cfg, CMD_SET_VCC, QString(), QStringLiteral("never"));
        fake->addFault(FakeFault::errorReply(2).onCode(TProtocol::PROG_STATUS));
        run(cfg, false);
        QCOMPARE(trace.executed, QStringList({"p"}));
        QCOMPARE(rx->events.last().text, lang.text(408));
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("85"), hex("8302")}));

        // The end-of-run request itself times out: failure, and no state byte
        // is sent on the dead link.
        init();
        const int cfg2 = dataPrj.addCfg(QStringLiteral("finish"), QString());
        addCmd(cfg2, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"),
               {{QStringLiteral("timeout"), 200}});
        fake->addFault(FakeFault::silence().onCode(TProtocol::PROG_FINISH));
        run(cfg2, false);
        QCOMPARE(rx->events.last().text, lang.text(389));
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("85")}));
    }

    // The requests that end the run (end of run, then idle) failing fail it
    // with the link's text, as they do at a change of programmer; the log
    // says that the commands themselves were carried out.
    void failedEndOfRunFailsTheRun_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fault");   // FakeFault::Kind
        QTest::addColumn<int>("text");
        QTest::addColumn<QVector<QByteArray>>("frames");
        const QVector<QByteArray> live{hex("8301"), hex("85"), hex("8300"), hex("8302")};
        const QVector<QByteArray> dead{hex("8301"), hex("85"), hex("8300")};
        QTest::newRow("idle refused") << int(TProtocol::PROG_STATUS) << int(FakeFault::ErrorReply) << 408 << live;
        QTest::newRow("idle unanswered") << int(TProtocol::PROG_STATUS) << int(FakeFault::Silence) << 389 << dead;
        QTest::newRow("idle answer corrupted") << int(TProtocol::PROG_STATUS) << int(FakeFault::BadChecksum) << 389 << dead;
        QTest::newRow("end of run refused") << int(TProtocol::PROG_FINISH) << int(FakeFault::ErrorReply) << 408
                                            << QVector<QByteArray>{hex("8301"), hex("85"), hex("8302")};
    }
    void failedEndOfRunFailsTheRun()
    {
        QFETCH(int, code);
        QFETCH(int, fault);
        QFETCH(int, text);
        QFETCH(QVector<QByteArray>, frames);
        const int cfg = dataPrj.addCfg(QStringLiteral("end"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"), {{QStringLiteral("timeout"), 200}});
        addCmd(cfg, CMD_SET_DEVICE, QString(), QStringLiteral("d"));
        FakeFault f = fault == FakeFault::ErrorReply ? FakeFault::errorReply(2)
                      : fault == FakeFault::Silence  ? FakeFault::silence()
                                                     : FakeFault::badChecksum();
        // The first state byte is the one after "set_prog".
        fake->addFault(f.onCode(quint8(code)).after(code == TProtocol::PROG_STATUS ? 1 : 0));
        run(cfg, false);
        QCOMPARE(trace.executed, QStringList({"p", "d"}));
        QCOMPARE(wire(), frames);
        QCOMPARE(rx->events.last().text, lang.text(text));
        const QVector<Receiver::Event> lines = rx->ofKind(EXEC_TEXT_NEXT);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().text, lang.text(execmsg::END_REQUEST_FAILED));
    }

    void executorFailureWithoutPort()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("fail"), QString());
        addCmd(cfg, CMD_DELAY, QStringLiteral("fail"), QStringLiteral("f"),
               {{QStringLiteral("text"), QStringLiteral("broken")}});
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("never"));
        run(cfg, false);
        QCOMPARE(rx->events.last().text, QStringLiteral("broken"));
        QCOMPARE(trace.executed, QStringList({"f"}));
        QCOMPARE(fake->requestCount(), 0);
    }

    void userStopEndsTheRun()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("stop"), QString());
        addCmd(cfg, CMD_SET_PROG, QStringLiteral("open"), QStringLiteral("p"));
        addCmd(cfg, CMD_FLASH_FILE_READ, QStringLiteral("wait"), QStringLiteral("w"));
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("never"));
        rx->stopsOnWaiting = {cfg + 1000, cfg};   // another run's stop is not for this one
        run(cfg, true);
        QCOMPARE(rx->events.last().text, lang.text(390));
        QCOMPARE(trace.executed, QStringList({"p", "w"}));
        QCOMPARE(wire(), QVector<QByteArray>({hex("8301"), hex("85"), hex("8300")}));
        QVERIFY(!rx->percents.isEmpty());

        // A command that fails on the stop fails the run.
        init();
        const int cfg2 = dataPrj.addCfg(QStringLiteral("stop2"), QString());
        addCmd(cfg2, CMD_FLASH_FILE_READ, QStringLiteral("wait"), QStringLiteral("w"),
               {{QStringLiteral("failOnStop"), true}});
        rx->stopsOnWaiting = {cfg2};
        run(cfg2, false);
        QCOMPARE(rx->events.last().text, QStringLiteral("interrupted"));

        // Only its own configuration's stop reaches a run.
        init();
        const int cfg3 = dataPrj.addCfg(QStringLiteral("stop3"), QString());
        addCmd(cfg3, CMD_FLASH_FILE_READ, QStringLiteral("wait"), QStringLiteral("w"),
               {{QStringLiteral("limit"), 200}});
        addCmd(cfg3, CMD_DELAY, QString(), QStringLiteral("next"));
        rx->stopsOnWaiting = {cfg3 + 1};
        run(cfg3, true);
        QCOMPARE(rx->events.last().text, lang.text(391));
        QCOMPARE(trace.executed, QStringList({"w", "next"}));

        // A stop that arrives while the command's line is being logged, before
        // its executor runs, still reaches that executor.
        init();
        const int cfg4 = dataPrj.addCfg(QStringLiteral("stop4"), QString());
        addCmd(cfg4, CMD_FLASH_FILE_READ, QStringLiteral("wait"), QStringLiteral("w"),
               {{QStringLiteral("limit"), 3000}, {QStringLiteral("failOnStop"), true}});
        rx->stopsOnWaiting = {cfg4};
        rx->stopOnCmdParams = QStringLiteral("tag=w");
        run(cfg4, false);
        QCOMPARE(rx->events.last().text, QStringLiteral("interrupted"));
    }

    void stopCommandCompletesTheRun()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("stopcmd"), QString());
        addCmd(cfg, CMD_STOP, QStringLiteral("stop"), QStringLiteral("s"));
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("never"));
        run(cfg, true);
        QCOMPARE(trace.executed, QStringList({"s"}));
        QCOMPARE(rx->events.last().text, lang.text(391));
    }

    void jumpsContinueWhereTheExecutorSays()
    {
        // Back to the start of the configuration once, then on to the end.
        const int cfg = dataPrj.addCfg(QStringLiteral("loop"), QString());
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("a"));
        addCmd(cfg, CMD_JAMP, QStringLiteral("goto"), QStringLiteral("j"),
               {{QStringLiteral("cfg"), cfg}, {QStringLiteral("after"), -1}});
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("b"));
        run(cfg, true);
        QCOMPARE(trace.executed, QStringList({"a", "j", "a", "j", "b"}));
    }

    void handOffToAnotherConfiguration()
    {
        const int first = dataPrj.addCfg(QStringLiteral("first"), QString());
        const int second = dataPrj.addCfg(QStringLiteral("second"), QString());
        addCmd(first, CMD_DELAY, QString(), QStringLiteral("a1"));
        const int b1 = addCmd(second, CMD_DELAY, QString(), QStringLiteral("b1"));
        addCmd(second, CMD_DELAY, QString(), QStringLiteral("b2"));
        // Continues in the second configuration after its first command.
        addCmd(first, CMD_AUTO_DETECT, QStringLiteral("goto"), QStringLiteral("route"),
               {{QStringLiteral("cfg"), second}, {QStringLiteral("after"), b1}});
        addCmd(first, CMD_DELAY, QString(), QStringLiteral("a3"));
        addCmd(second, CMD_STOP, QStringLiteral("stop"), QStringLiteral("b3"));
        addCmd(second, CMD_DELAY, QString(), QStringLiteral("b4"));
        run(first, true);
        QCOMPARE(trace.executed, QStringList({"a1", "route", "b2", "b3"}));
        QCOMPARE(rx->statuses.first().first, first);
    }

    void requestsReachTheMainWindow()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("requests"), QString());
        addCmd(cfg, CMD_EXECUTE, QStringLiteral("execute"), QStringLiteral("e"),
               {{QStringLiteral("cfg"), 77}});
        // A request signal is forwarded only for the commands that have it.
        addCmd(cfg, CMD_DELAY, QStringLiteral("execute"), QStringLiteral("d"),
               {{QStringLiteral("cfg"), 78}});
        addCmd(cfg, CMD_PAUSE, QStringLiteral("pause"), QStringLiteral("p"));
        addCmd(cfg, CMD_DELAY, QString(), QStringLiteral("after"));
        run(cfg, true);
        QCOMPARE(rx->executes, QVector<int>({77}));
        QCOMPARE(rx->pauses, QVector<int>({cfg}));
        QCOMPARE(trace.executed, QStringList({"e", "d", "p", "after"}));
    }

    // The GUI never waits for a worker without handling its events: a worker
    // blocked in an emit towards the GUI cannot end while the GUI sits in a
    // plain wait, and ends at once when the GUI's wait handles events.
    void waitingForAWorkerHandlesEvents()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("chatty"), QString());
        addCmd(cfg, CMD_DELAY, QStringLiteral("chatty"), QStringLiteral("c"));
        QPointer<QThread> thread = start(cfg);
        QTRY_VERIFY(!rx->events.isEmpty() && rx->events.last().text == QLatin1String("tick"));
        emit rx->signalStop(cfg);
        QVERIFY(!thread->wait(300));
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QCOMPARE(rx->events.last().text, lang.text(390));
        QVERIFY(TExec::waitForThread(nullptr, 10));
    }

    void severalRunsAtOnce()
    {
        const int a = dataPrj.addCfg(QStringLiteral("a"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("b"), QString());
        addCmd(a, CMD_DELAY, QString(), QStringLiteral("a"));
        addCmd(b, CMD_DELAY, QString(), QStringLiteral("b"));
        QPointer<QThread> ta = start(a);
        QPointer<QThread> tb = start(b);
        QVERIFY(TExec::waitForThread(ta, 20000));
        QVERIFY(TExec::waitForThread(tb, 20000));
        QTRY_COMPARE(rx->destroyed.size(), 2);
        QCOMPARE(rx->statuses.size(), 2);
        QVERIFY(rx->statuses.contains({a, true}));
        QVERIFY(rx->statuses.contains({b, true}));
    }
};

QTEST_MAIN(TestExec)
#include "test_exec.moc"
