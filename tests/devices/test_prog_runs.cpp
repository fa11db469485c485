// Runs of the programmer commands against the fake programmer, the way the
// main window runs them: every request byte for byte, the programmer's state
// after the run, the same bytes after the project went through its file,
// the failures that end a run, and automatic detection with its routes
// (jump, start, no route, a lost target, a refused set-up, a silent chip).

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevProg.h"
#include "devices/TDevProgExec.h"
#include "devices/TDevTools.h"
#include "devices/check_messages.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"
#include "support/TTestFamily.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString BOX = QStringLiteral("Box");
const QByteArray FLASH_ID = QByteArray::fromHex("EF4016");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Frames as hex texts, so that a mismatch shows the bytes.
QStringList hexList(const QVector<QByteArray> &frames)
{
    QStringList list;
    for (const QByteArray &f : frames)
        list << QString::fromLatin1(f.toHex());
    return list;
}

QString msg(int n)
{
    return lang.text(n);
}

bool writeText(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

class TestProgRuns : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<Receiver> rx;
    std::shared_ptr<JedecChip> chip;
    QTemporaryDir dir;

    int addCmd(int cfg, const char *code, const TData &values = TData())
    {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QString::fromLatin1(code)}};
        if (TDevTools::hasCommand(data.value(REC_CMD).toString()))
            TDevTools(GROUP_TOOLS, TData()).initCmdParam(data);
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        return dataPrj.addCmd(data);
    }

    int addSetProg(int cfg) { return addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, BOX}}); }

    int addAuto(int cfg, const QString &family, const QString &route, int execute, int stop)
    {
        return addCmd(cfg, CMD_AUTO_DETECT, {{AUTO_NAME, family}, {AUTO_ROUTE, route},
                                             {AUTO_EXECUTE, execute}, {AUTO_STOP, stop}});
    }

    void run(int cfg, bool ok)
    {
        dataPrj.validateAll();
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, ok}}));
        QCOMPARE(rx->events.last().code, ok ? EXEC_SUCCESS : EXEC_FAILED);
    }

    QString failure() const { return rx->ofKind(EXEC_FAILED).value(0).text; }

    QVector<QByteArray> wire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }

    QStringList textNext() const { return rx->texts(EXEC_TEXT_NEXT); }

    void restart()
    {
        rx.reset(new Receiver);
        fake->clearRequests();
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(!lang.text(TDevProgExec::MSG_BEYOND_FIELD).contains(QLatin1String("?????")));
        QVERIFY(dir.isValid());
        TTestFamily::registerGroup();

        // The emulated programmer with a socket of four pins.
        QFile emulator(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(emulator.open(QIODevice::ReadOnly));
        QString box = QString::fromUtf8(emulator.readAll());
        for (const char *pin : {"Pin05=1|P5\n", "Pin06=1|P6\n", "Pin07=1|P7\n", "Pin08=1|P8\n"})
            box.remove(QLatin1String(pin));
        QVERIFY(writeText(dir.filePath(QStringLiteral("box4.ini")), box));
        appData.setFolder(&TAppData::pathProgs, dir.path());
        TProgType types;
        types.add(QStringLiteral("Box4"), QStringLiteral("box4.ini"));
        appData.progType.replace(types);

        // Devices: a flash family that reads its identification, an EEPROM
        // family that has none to read, one whose identification fails and
        // a chip without a set-up record.
        appData.setFolder(&TAppData::pathDevices, dir.path());
        QVERIFY(writeText(dir.filePath(QStringLiteral("auto.lst")),
                          "Flash=flash.dev|flash.lst\nEeprom=eeprom.dev|eeprom.lst\nBroken=broken.dev|broken.lst\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("flash.dev")),
                          "gui_type=s|TestFamily\nident=s|spi\nsetup=s|0C0102\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("eeprom.dev")),
                          "gui_type=s|TestFamily\nident=s|none\nsetup=s|0B\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("broken.dev")),
                          "gui_type=s|TestFamily\nident=s|fail\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("plain.dev")), "gui_type=s|TestFamily\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("flash.lst")), "EF4016=W25Q32\nC22016=MX25L32\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("eeprom.lst")), "=24C02\n"));
    }

    void init()
    {
        appData.setFolder(&TAppData::pathDevices, dir.path());
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        chip = std::make_shared<JedecChip>(FLASH_ID);
        fake->setChip(chip);
        TProgName names;
        names.add(true, BOX, fake->portName(), QStringLiteral("Box4"));
        appData.progName.replace(names);
        rx.reset(new Receiver);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, dir.filePath(QStringLiteral("test.prj"))},
                          {PRJ_WORK_PATH, dir.path()}});
    }

    void cleanup()
    {
        dataPrj.clear();
        rx.reset();
        fake.reset();
        chip.reset();
    }

    // Every command's request byte for byte, the programmer's state after
    // the run, and the same bytes once the project went through its file
    // (where every value becomes a text).
    void commandsOnTheWire()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("supply"), QString());
        addSetProg(cfg);
        addCmd(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("Plain")},
                                     {SET_DEVICE_FILE, QStringLiteral("plain.dev")}});
        addCmd(cfg, CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 50.0}, {SUPPLY_OCP, true}});
        addCmd(cfg, CMD_SET_VIPP, {{SUPPLY_VPP, 12.0}, {SUPPLY_IPP, 2.5}, {SUPPLY_OCP, false}});
        addCmd(cfg, CMD_GENERATOR, {{GEN_FREQ, 100000}, {GEN_DUTY, 50}});
        addCmd(cfg, CMD_RESET, {{RESET_DURATION, -400}});
        addCmd(cfg, CMD_RESET, {{RESET_DURATION, 10}});
        addCmd(cfg, CMD_RESET, {{RESET_DURATION, -10}});
        addCmd(cfg, CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});
        addCmd(cfg, CMD_SET_VPP, {{SUPPLY_VPP, 12.5}});
        addCmd(cfg, CMD_SET_VICC, {{SUPPLY_VCC, 5.0}, {SUPPLY_ICC, 1.001}, {SUPPLY_OCP, false}});
        addCmd(cfg, CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HL")}});
        addCmd(cfg, CMD_GENERATOR, {{GEN_FREQ, 8000000}, {GEN_DUTY, 1}});

        const QVector<QByteArray> expected{
            hex("80"), hex("81"), hex("8301"),
            hex("84"),
            hex("8B2150C3000001"), hex("8C78C40900"), hex("87A08601 00F401"),
            hex("8670FE"), hex("860A00"), hex("86F6FF"),
            hex("8921"), hex("8A7D"),
            hex("8B32E803000000"),
            hex("88000005040000"),
            hex("8700127A000A00"),
            hex("85"), hex("8300")};

        run(cfg, true);
        QCOMPARE(hexList(wire()), hexList(expected));
        const FakeProgrammer::State state = fake->state();
        QCOMPARE(state.status, 0);
        QCOMPARE(state.resetPulse, qint16(-10));
        QCOMPARE(state.vcc, quint8(50));
        QCOMPARE(state.icc, quint32(1000));
        QCOMPARE(state.ipp, quint16(2500));
        QVERIFY(!state.iccProtect);
        QCOMPARE(state.frequency, quint32(8000000));
        QCOMPARE(state.duty, quint16(10));
        // The summaries the log shows, with a point for the decimals.
        QStringList summaries;
        for (const Receiver::Event &e : rx->ofKind(EXEC_CMD))
            summaries << e.text2;
        QCOMPARE(summaries.mid(1, 5), (QStringList{QStringLiteral("Plain"), QStringLiteral("3.3 V, 50.000 mA, OCP"),
                                                   QStringLiteral("12.0 V, 2.500 mA"),
                                                   QStringLiteral("100 KHz, 50 %"), QStringLiteral("-400 ms")}));
        QCOMPARE(summaries.at(11), QStringLiteral("HL--"));

        // Saved and loaded again: the same bytes from the texts.
        TCtrlProject ctrl;
        const QString file = dir.filePath(QStringLiteral("wire.prj"));
        QVERIFY2(ctrl.save(file, &dataPrj), qPrintable(ctrl.lastError()));
        dataPrj.clear();
        QCOMPARE(ctrl.load(file, &dataPrj), 0);
        const int reloaded = dataPrj.cfgIdAt(0);
        QCOMPARE(dataPrj.cmdsOfCfg(reloaded).at(2)->toHash().value(SUPPLY_VCC).userType(),
                 int(QMetaType::QString));
        restart();
        run(reloaded, true);
        QCOMPARE(hexList(wire()), hexList(expected));
    }

    // What ends a run: an error reply (its text), silence (nothing sent
    // after it).
    void failuresEndTheRun_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("message");
        QTest::addColumn<QVector<QByteArray>>("frames");
        QTest::newRow("error reply 4") << "error" << 410
                                       << QVector<QByteArray>{hex("80"), hex("81"), hex("8301"), hex("8921"),
                                                              hex("85"), hex("8302")};
        QTest::newRow("silence") << "silence" << 389
                                 << QVector<QByteArray>{hex("80"), hex("81"), hex("8301"), hex("8921")};
    }
    void failuresEndTheRun()
    {
        QFETCH(QString, fault);
        QFETCH(int, message);
        QFETCH(QVector<QByteArray>, frames);
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        addSetProg(cfg);
        addCmd(cfg, CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});
        addCmd(cfg, CMD_SET_VPP, {{SUPPLY_VPP, 5}});
        if (fault == QLatin1String("error"))
            fake->addFault(FakeFault::errorReply(4).onCode(0x89));
        if (fault == QLatin1String("silence"))
            fake->addFault(FakeFault::silence().onCode(0x89));
        run(cfg, false);
        QCOMPARE(failure(), msg(message));
        QCOMPARE(hexList(wire()), hexList(frames));
        if (fault == QLatin1String("error"))
            QCOMPARE(fake->state().status, 2);
    }

    // Every command on a port that no programmer choice opened: message
    // 392 and nothing sent.
    void closedPortSendsNothing()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        addSetProg(cfg);
        addAuto(cfg, QStringLiteral("Flash"), QString(), 0, 0);
        addCmd(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("Plain")},
                                     {SET_DEVICE_FILE, QStringLiteral("plain.dev")}});
        const TData values{{SUPPLY_VCC, 3.3}, {SUPPLY_VPP, 5.0}, {SUPPLY_ICC, 10.0}, {SUPPLY_IPP, 1.0},
                           {RESET_DURATION, 100}, {GEN_FREQ, 1000}, {GEN_DUTY, 50}};
        for (const char *code : {CMD_RESET, CMD_GENERATOR, CMD_SET_IO, CMD_SET_VCC, CMD_SET_VPP, CMD_SET_VICC,
                                 CMD_SET_VIPP})
            addCmd(cfg, code, values);
        dataPrj.validateAll();
        for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg).mid(1)) {
            TSerialPort port;
            TDevProgExec exec(cmd->toHash());
            bool stop = false;
            int cfgId = cfg, last = cmd->id();
            QVERIFY2(!exec.execute(&port, &stop, &cfgId, &last), qPrintable(cmd->cmd()));
            QCOMPARE(exec.errorText(), msg(392));
        }
        QVERIFY(!fake->waitForRequests(1, 100));
    }

    // Values that do not fit their field: the group marks them invalid and
    // the executor, called on its own, refuses them without a request.
    void valuesBeyondTheirFieldAreNeverSent_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("negative voltage") << CMD_SET_VPP << SUPPLY_VPP << QVariant(-1.0);
        QTest::newRow("voltage 25.6") << CMD_SET_VCC << SUPPLY_VCC << QVariant(QStringLiteral("25.6"));
        QTest::newRow("voltage inf") << CMD_SET_VCC << SUPPLY_VCC << QVariant(QStringLiteral("inf"));
        QTest::newRow("voltage nan") << CMD_SET_VICC << SUPPLY_VCC << QVariant(QStringLiteral("nan"));
        QTest::newRow("voltage no number") << CMD_SET_VCC << SUPPLY_VCC << QVariant(QStringLiteral("abc"));
        QTest::newRow("negative current") << CMD_SET_VICC << SUPPLY_ICC << QVariant(-0.5);
        QTest::newRow("ipp 65.536") << CMD_SET_VIPP << SUPPLY_IPP << QVariant(65.536);
        QTest::newRow("icc 1e300") << CMD_SET_VICC << SUPPLY_ICC << QVariant(QStringLiteral("1e300"));
        QTest::newRow("duration 32768") << CMD_RESET << RESET_DURATION << QVariant(32768);
        QTest::newRow("duration -32769") << CMD_RESET << RESET_DURATION << QVariant(-32769);
        QTest::newRow("duration int min") << CMD_RESET << RESET_DURATION
                                          << QVariant(QStringLiteral("-2147483648"));
        QTest::newRow("duration 1e300") << CMD_RESET << RESET_DURATION << QVariant(1e300);
        QTest::newRow("duty 6554") << CMD_GENERATOR << GEN_DUTY << QVariant(6554);
        QTest::newRow("negative freq") << CMD_GENERATOR << GEN_FREQ << QVariant(QStringLiteral("-1"));
        QTest::newRow("freq 2^32") << CMD_GENERATOR << GEN_FREQ << QVariant(qint64(4294967296LL));
    }
    void valuesBeyondTheirFieldAreNeverSent()
    {
        QFETCH(QString, code);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        // A description whose limits would let every one of them pass.
        const QString wide = dir.filePath(QStringLiteral("wide.ini"));
        QVERIFY(writeText(wide, "[Vcc]\nMIN=-1000\nMAX=1e9\n[Vpp]\nMIN=-1000\nMAX=1e9\n[Icc]\nMIN=-1000\n"
                                "MAX=1e300\n[Ipp]\nMIN=-1000\nMAX=1e9\n[Reset]\nMIN=1\nMAX=2147483647\n"
                                "[Generator]\nFQ_MIN=-2147483648\nFQ_MAX=2147483647\nDT_SHOW=1\n"
                                "DT_MIN=-2147483648\nDT_MAX=2147483647\n"
                                "[Commands]\nset_vcc=1\nset_vpp=1\nset_vicc=1\nset_vipp=1\nreset=1\n"
                                "generator=1\n"));
        TProgType types = appData.progType;
        types.add(QStringLiteral("Wide"), QStringLiteral("wide.ini"));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, BOX, fake->portName(), QStringLiteral("Wide"));
        appData.progName.replace(names);

        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        addSetProg(cfg);
        TData values{{SUPPLY_VCC, 3.3}, {SUPPLY_VPP, 5.0}, {SUPPLY_ICC, 10.0}, {SUPPLY_IPP, 1.0},
                     {SUPPLY_OCP, 1}, {RESET_DURATION, 100}, {GEN_FREQ, 1000}, {GEN_DUTY, 50}};
        const int id = addCmd(cfg, code.toLatin1().constData(), values);
        dataPrj.validateAll();
        TDevProg group(GROUP_PROG, TData());
        QVERIFY(group.checkCmdParam(dataPrj.cmdById(id)->toHash()));   // the sane values pass
        values.insert(key, value);
        dataPrj.setCmdParam(id, values);
        TData record = dataPrj.cmdById(id)->toHash();
        QVERIFY(!group.checkCmdParam(record));

        TSerialPort port;
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        TDevProgExec exec(record);
        bool stop = false;
        int cfgId = cfg, last = id;
        QVERIFY(!exec.execute(&port, &stop, &cfgId, &last));
        QCOMPARE(exec.errorText(), msg(TDevProgExec::MSG_BEYOND_FIELD).arg(key, value.toString()));
        QVERIFY(!fake->waitForRequests(1, 100));
    }

    // The generator's frequency and duty stay within the programmer's
    // limits, the duty also where it is not offered to the user: the check
    // marks anything else invalid and the executor refuses it unsent.
    void generatorLimitsHoldOnTheWire_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("duty");
        QTest::addColumn<QString>("error");     // empty: sent
        QTest::addColumn<QByteArray>("payload");
        const QString out = msg(TDevProgExec::MSG_OUT_OF_RANGE);
        QTest::newRow("hidden duty 100") << false << 1000 << 100 << out.arg("duty", "100").arg(1).arg(99) << QByteArray();
        QTest::newRow("hidden duty 0") << false << 1000 << 0 << out.arg("duty", "0").arg(1).arg(99) << QByteArray();
        QTest::newRow("hidden duty 99") << false << 1000 << 99 << QString() << hex("e8030000de03");
        QTest::newRow("shown duty 100") << true << 1000 << 100 << out.arg("duty", "100").arg(1).arg(99) << QByteArray();
        QTest::newRow("shown duty 1") << true << 8000000 << 1 << QString() << hex("00127a000a00");
        QTest::newRow("frequency above") << true << 8000001 << 50
                                         << out.arg("freq", "8000001").arg(1).arg(8000000) << QByteArray();
        QTest::newRow("frequency 0") << false << 0 << 50 << out.arg("freq", "0").arg(1).arg(8000000) << QByteArray();
    }

    void generatorLimitsHoldOnTheWire()
    {
        QFETCH(bool, shown);
        QFETCH(int, freq);
        QFETCH(int, duty);
        QFETCH(QString, error);
        QFETCH(QByteArray, payload);
        const QString ini = dir.filePath(QStringLiteral("gen.ini"));
        QVERIFY(writeText(ini, QStringLiteral("[Generator]\nFQ_MIN=1\nFQ_MAX=8000000\nFQ_DEF=1000\nDT_SHOW=%1\n"
                                              "DT_MIN=1\nDT_MAX=99\nDT_DEF=50\n[Commands]\ngenerator=1\n")
                                   .arg(shown ? 1 : 0)));
        TProgType types = appData.progType;
        types.add(QStringLiteral("Gen"), QStringLiteral("gen.ini"));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, BOX, fake->portName(), QStringLiteral("Gen"));
        appData.progName.replace(names);

        const int cfg = dataPrj.addCfg(QStringLiteral("g"), QString());
        addSetProg(cfg);
        const int id = addCmd(cfg, CMD_GENERATOR, {{GEN_FREQ, freq}, {GEN_DUTY, duty}});
        dataPrj.validateAll();
        QCOMPARE(dataPrj.cmdById(id)->validParam(), error.isEmpty());

        TSerialPort port;
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        TDevProgExec exec(dataPrj.cmdById(id)->toHash());
        bool stop = false;
        int cfgId = cfg, last = id;
        QCOMPARE(exec.execute(&port, &stop, &cfgId, &last), error.isEmpty());
        QCOMPARE(exec.errorText(), error);
        if (error.isEmpty()) {
            QCOMPARE(fake->requestCount(), 1);
            QCOMPARE(fake->requests().at(0).payload.toHex(), payload.toHex());
        } else {
            QVERIFY(!fake->waitForRequests(1, 100));
        }
    }

    // Detection routed to another configuration: the run jumps there, or
    // asks the window to start it; the link is closed either way and the
    // configuration routed to opens it again.
    void detectionFollowsItsRoute_data()
    {
        QTest::addColumn<int>("execute");
        QTest::newRow("jump") << 0;
        QTest::newRow("execute") << 1;
    }
    void detectionFollowsItsRoute()
    {
        QFETCH(int, execute);
        const int a = dataPrj.addCfg(QStringLiteral("detect"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("W25 flash"), QString());
        addSetProg(a);
        addAuto(a, QStringLiteral("Flash"), QStringLiteral("C22016=%1|EF4016=%2").arg(a).arg(b), execute, 1);
        addCmd(a, CMD_SET_VPP, {{SUPPLY_VPP, 5}});
        addSetProg(b);
        addCmd(b, CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});

        const QString detected = msg(401).arg(QStringLiteral("W25Q32 (EF4016)"));
        const QVector<QByteArray> detection{hex("80"), hex("81"), hex("8301"), hex("840C0102"), hex("0303009F")};
        if (execute == 0) {
            run(a, true);
            const QVector<QByteArray> target{hex("80"), hex("81"), hex("8301"), hex("8921"), hex("85"), hex("8300")};
            QCOMPARE(hexList(wire()), hexList(detection + target));
            QCOMPARE(textNext(), QStringList{detected});
            QCOMPARE(rx->ofKind(EXEC_WORK).size(), 1);
            QCOMPARE(rx->ofKind(EXEC_WORK).first().text,
                     QStringLiteral("\n--> %1 \"W25 flash\"").arg(msg(394)));
            QVERIFY(rx->executes.isEmpty());
        } else {
            // The window hears of the start before the run goes on, on a
            // closed link: the next command fails and nothing more is sent.
            run(a, false);
            QCOMPARE(rx->executes, QVector<int>({b}));
            QCOMPARE(hexList(wire()), hexList(detection));
            QCOMPARE(textNext(), (QStringList{detected, msg(403).arg(QStringLiteral("W25 flash"))}));
            QCOMPARE(failure(), msg(392));
        }
        QCOMPARE(chip->setups, QVector<QByteArray>{hex("0C0102")});
    }

    // A family chosen again keeps the flags as the texts "true" and "false":
    // they steer the run as 1 and 0 do (stop on a chip without a route,
    // start the configuration routed to).
    void detectionFlagsKeptAsTexts_data()
    {
        QTest::addColumn<bool>("execute");
        QTest::newRow("stop without a route") << false;
        QTest::newRow("execute the route") << true;
    }
    void detectionFlagsKeptAsTexts()
    {
        QFETCH(bool, execute);
        const int a = dataPrj.addCfg(QStringLiteral("detect"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("W25 flash"), QString());
        addSetProg(a);
        const int detect = addAuto(a, QStringLiteral("Broken"), QString(), execute ? 1 : 0, 1);
        addCmd(a, CMD_SET_VPP, {{SUPPLY_VPP, 5}});
        addSetProg(b);
        dataPrj.validateAll();
        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {AUTO_NAME, QStringLiteral("Flash")}});
        if (execute)
            dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {AUTO_ROUTE, QStringLiteral("EF4016=%1").arg(b)}});
        const TData stored = dataPrj.cmdById(detect)->params();
        QCOMPARE(stored.value(AUTO_STOP).toString(), QStringLiteral("true"));
        QCOMPARE(stored.value(AUTO_EXECUTE).toString(), QLatin1String(execute ? "true" : "false"));
        QVERIFY(dataPrj.cmdById(detect)->validParam());
        const TDataCmd *cmd = dataPrj.cmdById(detect);
        QCOMPARE(cmd->handler()->cmdParamText(cmd->toHash(), nullptr),
                 QLatin1String(execute ? "Flash: Execute, Stop" : "Flash: Jamp, Stop"));

        run(a, false);
        if (execute) {
            QCOMPARE(rx->executes, QVector<int>({b}));
            QCOMPARE(failure(), msg(392));
        } else {
            QVERIFY(rx->executes.isEmpty());
            QCOMPARE(failure(), msg(402).arg(QStringLiteral("W25Q32 (EF4016)")));
        }
    }

    // The shipped 25xx family over its own driver: the flash in the socket
    // identifies itself and the run goes on in the configuration routed,
    // unless that configuration holds an invalid command: then nothing of
    // it is sent.
    void detectionWithTheFlashFamily_data()
    {
        QTest::addColumn<double>("vcc");
        QTest::newRow("routed configuration runs") << 3.3;
        QTest::newRow("routed configuration refused") << 33.0;
    }
    void detectionWithTheFlashFamily()
    {
        QFETCH(double, vcc);
        const bool valid = vcc < 6;
        appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
        fake->setChip(std::make_shared<Spi25Chip>(4 << 20, FLASH_ID));
        const int a = dataPrj.addCfg(QStringLiteral("detect"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("W25Q32"), QString());
        addSetProg(a);
        const int detect = addAuto(a, QString(), QString(), 0, 1);
        addSetProg(b);
        addCmd(b, CMD_SET_VCC, {{SUPPLY_VCC, vcc}});
        dataPrj.validateAll();
        // Chosen in the form: the family first (its device-level keys
        // come with it), then the route.
        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {AUTO_NAME, QStringLiteral("25xx SPI flash")}});
        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {AUTO_ROUTE, QStringLiteral("EF4016=%1").arg(b)}});
        run(a, valid);

        QCOMPARE(textNext(), QStringList{msg(401).arg(QStringLiteral("W25Q32JV (EF4016)"))});
        const QVector<QByteArray> frames = wire();
        QCOMPARE(frames.at(3).left(1), hex("84"));
        QCOMPARE(frames.at(4), hex("0303009F"));
        QCOMPARE(hexList(frames.mid(5)),
                 valid ? hexList({hex("80"), hex("81"), hex("8301"), hex("8921"), hex("85"), hex("8300")})
                       : QStringList());   // the route closed the link, and nothing reopens it
        if (!valid)
            QVERIFY2(failure().contains(QLatin1String(SUPPLY_VCC)), qPrintable(failure()));
    }

    // No route for the chip, a route to a configuration that is gone, a
    // route value that names no configuration, a set-up the chip refuses,
    // an identification that fails or needs no request, and a silent chip.
    void detectionWithoutARoute_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("route");      // %1: the configuration routed to
        QTest::addColumn<int>("stop");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("id");         // id text of the log line
        QTest::addColumn<int>("error");          // message of the failure; 0: none
        QTest::addColumn<bool>("routed");

        QTest::newRow("no route, stop") << "Flash" << "" << 1 << "" << false << "W25Q32 (EF4016)" << 402 << false;
        QTest::newRow("no route, skip") << "Flash" << "" << 0 << "" << true << "W25Q32 (EF4016)" << 0 << false;
        // A route that leads to no configuration is refused before the run.
        QTest::newRow("target gone") << "Flash" << "EF4016=4711" << 1 << "" << false << "" << checkmsg::REFUSED << false;
        QTest::newRow("no number") << "Flash" << "EF4016=abc" << 0 << "" << false << "" << checkmsg::REFUSED << false;
        QTest::newRow("negative") << "Flash" << "EF4016=-1" << 1 << "" << false << "" << checkmsg::REFUSED << false;
        QTest::newRow("refused, stop") << "Flash" << "EF4016=%1" << 1 << "refuse" << false << "" << 411 << false;
        QTest::newRow("refused, skip") << "Flash" << "=%1" << 0 << "refuse" << true << " ()" << 0 << true;
        QTest::newRow("silent chip") << "Flash" << "EF4016=%1" << 0 << "silence" << false << "" << 389 << false;
        QTest::newRow("no ident request") << "Eeprom" << "=%1" << 1 << "" << true << "24C02 ()" << 0 << true;
        QTest::newRow("ident fails, stop") << "Broken" << "=%1" << 1 << "" << false << "" << 458 << false;
        QTest::newRow("ident fails, skip") << "Broken" << "=%1" << 0 << "" << true << " ()" << 0 << true;
    }
    void detectionWithoutARoute()
    {
        QFETCH(QString, family);
        QFETCH(QString, route);
        QFETCH(int, stop);
        QFETCH(QString, fault);
        QFETCH(bool, ok);
        QFETCH(QString, id);
        QFETCH(int, error);
        QFETCH(bool, routed);
        const int a = dataPrj.addCfg(QStringLiteral("detect"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("target"), QString());
        addSetProg(a);
        addAuto(a, family, route.contains(QLatin1String("%1")) ? route.arg(b) : route, 0, stop);
        addCmd(a, CMD_SET_VPP, {{SUPPLY_VPP, 5}});
        addSetProg(b);
        addCmd(b, CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});
        if (fault == QLatin1String("refuse"))
            fake->locked([this] { chip->refuseSetup = 5; });   // the programmer's thread reads it
        if (fault == QLatin1String("silence"))
            fake->addFault(FakeFault::silence().onCode(3));

        run(a, ok);
        const QVector<QByteArray> frames = wire();
        if (error == checkmsg::REFUSED) {
            QCOMPARE(frames, QVector<QByteArray>());
            QCOMPARE(failure(), msg(error).arg(cmdCode.name(QLatin1String(CMD_AUTO_DETECT)), QLatin1String(AUTO_ROUTE),
                                               msg(checkmsg::ROUTE_NONE).arg(route)));
            return;
        }
        QVERIFY(frames.size() >= 4);
        QCOMPARE(frames.at(3).left(1), hex("84"));
        const bool identRequest = family == QLatin1String("Flash") && !(fault == QLatin1String("refuse") && stop);
        if (identRequest)
            QCOMPARE(frames.at(4), hex("0303009F"));
        else
            QVERIFY(frames.size() < 5 || frames.at(4) != hex("0303009F"));
        QStringList expectedLog;
        if (!id.isEmpty())
            expectedLog << msg(401).arg(id);
        if (ok && !routed)
            expectedLog << msg(402).arg(id);
        QCOMPARE(textNext(), expectedLog);
        if (error > 0)
            QCOMPARE(failure(), error == 402 ? msg(402).arg(id) : msg(error));
        if (routed) {
            // Jumped: the target's programmer choice opened the link again.
            QCOMPARE(rx->ofKind(EXEC_WORK).size(), 1);
            QVERIFY(frames.contains(hex("8921")));
            QVERIFY(!frames.contains(hex("8A32")));
        } else if (ok) {
            QVERIFY(frames.contains(hex("8A32")));
            QCOMPARE(frames.last(), hex("8300"));
        } else if (fault == QLatin1String("silence")) {
            QCOMPARE(frames.last(), hex("0303009F"));   // nothing after the lost link
        } else {
            QCOMPARE(frames.last(), hex("8302"));
        }
    }
};

QTEST_GUILESS_MAIN(TestProgRuns)
#include "test_prog_runs.moc"
