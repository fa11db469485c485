// The tool commands against the fake programmer: runs that choose the
// programmer, loop with a counter and a jump, pause in another configuration
// and stop; the executor called on its own the way the main window calls it
// (programmer identification), its failures, CRC over data files, external
// programs and delays; and the forms whose stored values must survive.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "crc/ICRC.h"
#include "crc/crc_catalogue.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevTools.h"
#include "devices/TDevToolsExec.h"
#include "devices/exec_messages.h"
#include "formats/format_messages.h"
#include "formats/formatTestUtil.h"
#include "gui/forms/TFormTools.h"
#include "gui/main/startup.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "misc/dev_misc.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/FormHost.h"
#include "support/HostileFiles.h"
#include "support/ModalAnswer.h"
#include "support/NumberedLanguage.h"
#include "support/edit_test_util.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <limits>
#include <memory>

namespace {

const QString EMU = QStringLiteral("Emu");

QString msg(int n)
{
    return NumberedLanguage::text(n);
}

// A message filled as the program fills it, for the tests that load the
// messages with their arguments.
QString T(int n)
{
    return NumberedLanguage::textWithArguments(n);
}

QStringList listedPorts;
QStringList listPorts()
{
    return listedPorts;
}

// What one executor call reported.
struct Outcome
{
    bool ok = false;
    bool stopRun = false;
    QString error;
    QStringList results;   // EXEC_RESULT texts
    QVector<int> percents;
};

} // namespace

class TestToolsExec : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<Receiver> rx;
    QTemporaryDir dir;

    TData record(int cmdId) const { return dataPrj.cmdById(cmdId)->toHash(); }

    void run(int cfg, bool ok)
    {
        dataPrj.validateAll();
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, ok}}));
    }

    QVector<QByteArray> wire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }

    // Runs one command's executor in this thread, as the main window does
    // for its programmer identification; atProgress acts on it at its first
    // percentage.
    Outcome callExec(const TData &params, TSerialPort *port = nullptr,
                     const std::function<void(IDeviceExec &)> &atProgress = {})
    {
        TSerialPort own;
        TDevToolsExec exec(params);
        Outcome out;
        if (atProgress)
            connect(&exec, &IDeviceExec::signalEventProc, this, [&](int) {
                if (out.percents.isEmpty())
                    atProgress(exec);
            });
        connect(&exec, &IDeviceExec::signalEventText, this,
                [&out](TCodeExec code, const QString &text) {
                    if (code == EXEC_RESULT)
                        out.results << text;
                });
        connect(&exec, &IDeviceExec::signalEventProc, this, [&out](int p) { out.percents << p; });
        int cfg = params.value(REC_ID_CFG).toInt();
        int last = params.value(REC_ID_CMD).toInt();
        out.ok = exec.execute(port ? port : &own, &out.stopRun, &cfg, &last);
        out.error = exec.errorText();
        return out;
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        QVERIFY(NumberedLanguage::load());
        QVERIFY(dir.isValid());
        appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
        TProgType types;
        types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.progType.replace(types);
        TSerialPort::setPortLister(&listPorts);
        TDevToolsExec::processWaitMs = 10000;
    }

    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        TProgName names;
        names.add(true, EMU, fake->portName(), QStringLiteral("Emulated"));
        appData.progName.replace(names);
        rx.reset(new Receiver);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }

    void cleanup()
    {
        dataPrj.clear();
        rx.reset();
        fake.reset();
        finishModalAnswers();
        QVERIFY(NumberedLanguage::load());
    }

    // set_prog identifies the programmer; the counter and the jump loop
    // until the limit ends the run, each pass storing the counter.
    void counterLoopRunsToItsLimit()
    {
        QVERIFY(NumberedLanguage::loadWithArguments());
        const int cfg = dataPrj.addCfg(QStringLiteral("loop"), QString());
        addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        const int counter = addToolCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 3}});
        addToolCmd(cfg, CMD_DELAY, {{DELAY_VALUE, 0}});
        addToolCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, counter}});
        const int after = addToolCmd(cfg, CMD_EXECUTE, {{EXECUTE_CFG, cfg}});
        dataPrj.setCmdStatus(after, false);
        run(cfg, true);

        const QVector<QByteArray> frames = wire();
        QVERIFY(frames.size() >= 3);
        QCOMPARE(frames.mid(0, 3), QVector<QByteArray>({QByteArray("\x80"), QByteArray("\x81"),
                                                        QByteArray::fromHex("8301")}));
        QCOMPARE(frames.last(), QByteArray::fromHex("8300"));
        QCOMPARE(record(counter).value(COUNTER_VALUE).toInt(), 3);
        // The counter that ends the run says so.
        const QStringList ended{QString::fromLatin1(FakeProgrammer::DEFAULT_IDENT),
                                T(execmsg::COUNTER_AT_LIMIT).arg(3).arg(3)};
        QCOMPARE(rx->texts(EXEC_RESULT), ended);
        // Three counter passes, two jumps, no jump log line within one configuration.
        int counters = 0;
        for (const Receiver::Event &e : rx->ofKind(EXEC_CMD))
            counters += e.text2.startsWith(QLatin1String("Value:"));
        QCOMPARE(counters, 3);
        QVERIFY(rx->ofKind(EXEC_WORK).isEmpty());
        QVERIFY(rx->executes.isEmpty());

        // At its limit the counter ends the next run at once, unchanged,
        // and says why.
        rx.reset(new Receiver);
        run(cfg, true);
        QCOMPARE(record(counter).value(COUNTER_VALUE).toInt(), 3);
        QCOMPARE(rx->texts(EXEC_RESULT), ended);
    }

    // A jump into another configuration logs it; a pause there is reported
    // for the configuration the worker runs, so that resuming reaches it;
    // "stop" ends the run before the commands after it.
    void jumpPauseAndStopInAnotherConfiguration()
    {
        const int a = dataPrj.addCfg(QStringLiteral("first"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("second"), QString());
        addToolCmd(a, CMD_DELAY, {{DELAY_VALUE, 0}});
        addToolCmd(b, CMD_DELAY, {{DELAY_VALUE, 1}});
        const int pause = addToolCmd(b, CMD_PAUSE);
        addToolCmd(b, CMD_STOP);
        addToolCmd(b, CMD_EXECUTE, {{EXECUTE_CFG, a}});
        addToolCmd(a, CMD_JAMP, {{JAMP_TO_CMD, pause}});
        run(a, true);

        const QVector<Receiver::Event> work = rx->ofKind(EXEC_WORK);
        QCOMPARE(work.size(), 2);
        QCOMPARE(work.at(0).text, QStringLiteral("\n--> %1 \"second\"").arg(msg(394)));
        QCOMPARE(work.at(1).text, msg(396));
        QCOMPARE(rx->pauses, QVector<int>({a}));
        QVERIFY(rx->executes.isEmpty());
        QCOMPARE(rx->ofKind(EXEC_CMD).size(), 4);   // delay, jamp, pause, stop
        QCOMPARE(fake->requestCount(), 0);
    }

    void executeAsksTheWindowForTheOtherRun()
    {
        const int a = dataPrj.addCfg(QStringLiteral("a"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("b"), QString());
        addToolCmd(a, CMD_EXECUTE, {{EXECUTE_CFG, b}});
        addToolCmd(a, CMD_EXECUTE, {{EXECUTE_CFG, b}});
        run(a, true);
        QCOMPARE(rx->executes, QVector<int>({b, b}));

        // A configuration removed after the check fails with its own message.
        const Outcome gone = callExec({{REC_CMD, CMD_EXECUTE}, {EXECUTE_CFG, 4711}});
        QVERIFY(!gone.ok);
        QCOMPARE(gone.error, msg(execmsg::NO_CONFIGURATION));
    }

    void setProgOutsideARun_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");     // "" = none, "port" = the port's own text
        QTest::addColumn<int>("results");
        QTest::newRow("identified") << QString() << true << QString() << 1;
        QTest::newRow("open port reopened") << "open" << true << QString() << 1;
        QTest::newRow("other interface") << "interface" << false << msg(399) << 1;
        QTest::newRow("no description") << "unknown" << false << msg(398) << 0;
        QTest::newRow("missing port") << "alt" << false << "Port /dev/velkor-none: " + msg(393) << 0;
        QTest::newRow("error reply") << "reply" << false << "port" << 0;
    }
    void setProgOutsideARun()
    {
        QFETCH(QString, fault);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        QFETCH(int, results);
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        TData values{{SET_PROG_PROG, fault == QLatin1String("unknown") ? QStringLiteral("Nobody") : EMU}};
        if (fault == QLatin1String("alt")) {
            values.insert(SET_PROG_ALT_ENABLED, true);
            values.insert(SET_PROG_ALT_PORT, QStringLiteral("/dev/velkor-none"));
        }
        const int id = addToolCmd(cfg, CMD_SET_PROG, values);
        dataPrj.validateAll();
        if (fault == QLatin1String("interface"))
            fake->setInterfaceCode(2);
        if (fault == QLatin1String("reply"))
            fake->addFault(FakeFault::errorReply(0).onCode(0x81));

        TSerialPort port;
        if (fault == QLatin1String("open"))
            QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        const Outcome out = callExec(record(id), &port);
        QCOMPARE(out.ok, ok);
        if (error == QLatin1String("port"))
            QCOMPARE(out.error, port.errorString());
        else
            QCOMPARE(out.error, error);
        QVERIFY(!out.error.isEmpty() || ok);
        QCOMPARE(out.results.size(), results);
        if (results)
            QCOMPARE(out.results.first(), QString::fromLatin1(FakeProgrammer::DEFAULT_IDENT));
        if (fault != QLatin1String("unknown") && fault != QLatin1String("alt")) {
            QVERIFY(port.isOpen());   // closing is the run's
            QCOMPARE(fake->requests().first().code, quint8(0x80));
        }
    }

    void calcCrcFeedsEveryAddressOnce_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QByteArray>("fed");   // the bytes the CRC must cover

        const QByteArray bytes("0123456789ABCDEF");
        QTest::newRow("whole file") << "bin" << bytes << qint64(0) << qint64(0) << bytes;
        QTest::newRow("part") << "bin" << bytes << qint64(3) << qint64(4) << QByteArray("3456");
        QTest::newRow("rest of file") << "bin" << bytes << qint64(10) << qint64(0) << QByteArray("ABCDEF");
        QTest::newRow("past the end") << "BIN" << bytes << qint64(12) << qint64(8)
                                      << QByteArray("CDEF") + QByteArray(4, '\xA5');
        // Records at 2..3 and 8..9: fill before, between and after.
        const QByteArray hexFile(":020002001122C9\n:0200080033447F\n:00000001FF\n");
        QTest::newRow("hex gaps") << "hex" << hexFile << qint64(0) << qint64(12)
                                  << QByteArray::fromHex("A5A51122A5A5A5A53344A5A5");
        QTest::newRow("hex inside") << "hex" << hexFile << qint64(3) << qint64(6)
                                    << QByteArray::fromHex("22A5A5A5A533");
    }
    void calcCrcFeedsEveryAddressOnce()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, file);
        QFETCH(qint64, addr);
        QFETCH(qint64, count);
        QFETCH(QByteArray, fed);
        writeFile(QStringLiteral("data.bin"), file);
        const QStringList names{QStringLiteral("CRC-32/ISO-HDLC"), QStringLiteral("CRC-16/ISO-HDLC"),
                                QStringLiteral("CHKSUM-8/MODBUS")};
        for (const QString &name : names) {
            std::unique_ptr<ICRC> crc(createCRC(name));
            QVERIFY(crc);
            crc->update(fed.constData(), fed.size());
            const Outcome out = callExec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, name},
                                          {CRC_FILE, QStringLiteral("data.bin")}, {CRC_FORMAT, format},
                                          {CRC_ADDR, addr}, {CRC_COUNT, count}, {CRC_FILL, qint64(0x7A5)}});
            QVERIFY2(out.ok, qPrintable(out.error));
            QCOMPARE(out.results, QStringList(name + QStringLiteral(": ") + bytesToHexString(crc->result())));
            if (!fed.isEmpty())
                QCOMPARE(out.percents.last(), 100);
        }
    }

    void calcCrcRefusesBadInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("error");   // its start; "" = the format's own
        QTest::newRow("unknown algorithm") << "CRC-99" << "data.bin" << qint64(0) << qint64(4)
                                           << msg(TDevToolsExec::MSG_CRC_UNKNOWN);
        QTest::newRow("negative count") << "CRC-32/ISO-HDLC" << "data.bin" << qint64(0) << qint64(-5)
                                        << msg(TDevToolsExec::MSG_CRC_RANGE);
        QTest::newRow("address past the file") << "CRC-32/ISO-HDLC" << "data.bin" << qint64(40) << qint64(0)
                                               << msg(execmsg::CRC_PAST_DATA);
        QTest::newRow("range overflows") << "CRC-32/ISO-HDLC" << "data.bin" << qint64(2)
                                         << std::numeric_limits<qint64>::max()
                                         << msg(TDevToolsExec::MSG_CRC_RANGE);
        QTest::newRow("missing file") << "CRC-32/ISO-HDLC" << "none.bin" << qint64(0) << qint64(4) << QString();
    }
    void calcCrcRefusesBadInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(qint64, addr);
        QFETCH(qint64, count);
        QFETCH(QString, error);
        writeFile(QStringLiteral("data.bin"), QByteArray("0123456789ABCDEF"));
        const Outcome out = callExec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, name}, {CRC_FILE, file},
                                      {CRC_FORMAT, QStringLiteral("bin")}, {CRC_ADDR, addr},
                                      {CRC_COUNT, count}, {CRC_FILL, qint64(255)}});
        QVERIFY(!out.ok);
        QVERIFY(!out.error.isEmpty());
        if (!error.isEmpty())
            QVERIFY2(out.error.startsWith(error), qPrintable(out.error));
        QVERIFY(out.results.isEmpty());
    }

    // The CRC of a file is that of its data image in address order, gaps
    // filled, whatever the order of its records, as another tool (srec_cat)
    // computes it over the same file and range; count 0 reaches to the
    // file's last data.
    void calcCrcMatchesAnotherTool_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("fill");
        QTest::addColumn<qint64>("last");   // the range's last address for the other tool

        // Records of random bytes in the order given.
        auto hex = [](const QList<QPair<qint64, int>> &recs, bool segments) {
            QList<HexData> data;
            for (const auto &r : recs)
                data.append({r.first, randomBytes(r.second, quint32(r.first))});
            return hexFileOf(data, segments);
        };
        const QByteArray swapped = hex({{0x10, 16}, {0x00, 16}}, false);
        QTest::newRow("higher record first") << "hex" << swapped << qint64(0) << qint64(32) << 0xFF << qint64(31);
        const QByteArray scattered = hex({{0x40, 16}, {0x00, 8}, {0x20, 5}}, false);
        QTest::newRow("out of order, gaps, range beyond the data")
            << "hex" << scattered << qint64(0) << qint64(0x80) << 0x5A << qint64(0x7F);
        QTest::newRow("out of order, range inside the data")
            << "hex" << scattered << qint64(0x04) << qint64(0x30) << 0x00 << qint64(0x33);
        QTest::newRow("count 0 on hex") << "hex" << scattered << qint64(0x08) << qint64(0) << 0xFF << qint64(0x4F);
        QTest::newRow("count 0 on hex, from 0") << "hex" << swapped << qint64(0) << qint64(0) << 0xFF << qint64(31);
        const QByteArray linear = hex({{0x20010, 16}, {0xFFF8, 8}, {0x10000, 16}}, false);
        QTest::newRow("extended linear records")
            << "hex" << linear << qint64(0xFFF0) << qint64(0x10030) << 0xFF << qint64(0x2001F);
        QTest::newRow("extended linear records, count 0")
            << "hex" << linear << qint64(0xFFFC) << qint64(0) << 0x11 << qint64(0x2001F);
        const QByteArray segment = hex({{0x10004, 12}, {0x0000, 16}, {0x1FFF0, 16}}, true);
        QTest::newRow("extended segment records")
            << "hex" << segment << qint64(0x08) << qint64(0x20000) << 0xFF << qint64(0x20007);
        const QByteArray raw = randomBytes(40, 77);
        QTest::newRow("count 0 on bin") << "bin" << raw << qint64(0) << qint64(0) << 0xFF << qint64(39);
        QTest::newRow("count 0 on bin, from inside") << "bin" << raw << qint64(12) << qint64(0) << 0xFF << qint64(39);
        QTest::newRow("bin inside") << "bin" << raw << qint64(5) << qint64(20) << 0xFF << qint64(24);
        QTest::newRow("bin beyond the end") << "bin" << raw << qint64(30) << qint64(30) << 0x3C << qint64(59);
        // Over more than one of the CRC's 16 Mbyte blocks, to the file's end.
        const QByteArray big = randomBytes(16 * 1024 * 1024 + 40, 78);
        QTest::newRow("count 0 on bin, two blocks") << "bin" << big << qint64(0) << qint64(0) << 0xFF
                                                    << qint64(big.size() - 1);
    }
    void calcCrcMatchesAnotherTool()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, file);
        QFETCH(qint64, addr);
        QFETCH(qint64, count);
        QFETCH(int, fill);
        QFETCH(qint64, last);
        const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        if (srecCat.isEmpty())
            QSKIP("srec_cat is needed (scripts/test.sh installs it)");
        writeFile(QStringLiteral("data.bin"), file);

        // Catalogue name, the other tool's filter (%at: where it puts the
        // value, big-endian) and the value's bytes.
        struct Algorithm
        {
            const char *name;
            QStringList filter;
            int width;
        };
        const QList<Algorithm> algorithms{
            {"CRC-32/ISO-HDLC", {"-crc32-b-e", "%at"}, 4},
            {"CRC-16/XMODEM", {"-crc16-b-e", "%at", "-xmodem", "-augment"}, 2},
            {"CRC-16/IBM-3740", {"-crc16-b-e", "%at", "-broken"}, 2},
            {"CRC-16/SPI-FUJITSU", {"-crc16-b-e", "%at", "-ccitt", "-augment"}, 2},
            {"CRC-16/KERMIT", {"-crc16-b-e", "%at", "-xmodem", "-augment", "-least-to-most"}, 2},
            {"CRC-16/ARC", {"-crc16-b-e", "%at", "-xmodem", "-augment", "-least-to-most", "-polynomial", "ibm"}, 2},
            {"CHKSUM-8/HEX", {"-checksum-negative-b-e", "%at", "1", "1"}, 1},
        };
        const auto number = [](qint64 v) { return QStringLiteral("0x%1").arg(v, 0, 16); };
        const QString end = number(last + 1);
        for (const Algorithm &a : algorithms) {
            QStringList args{path(QStringLiteral("data.bin")), format == QLatin1String("hex") ? "-intel" : "-binary",
                             "-crop", number(addr), end, "-fill", number(fill), number(addr), end};
            for (const QString &f : a.filter)
                args << (f == QLatin1String("%at") ? end : f);
            args << "-crop" << end << number(last + 1 + a.width) << "-offset" << QStringLiteral("-") + end << "-o"
                 << path(QStringLiteral("crc.bin")) << "-binary";
            QProcess tool;
            tool.start(srecCat, args);
            QVERIFY(tool.waitForFinished(60000));
            QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
            QFile value(path(QStringLiteral("crc.bin")));
            QVERIFY(value.open(QIODevice::ReadOnly));
            const QByteArray expected = value.readAll();
            QCOMPARE(expected.size(), a.width);

            const Outcome out = callExec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, QString::fromLatin1(a.name)},
                                          {CRC_FILE, QStringLiteral("data.bin")}, {CRC_FORMAT, format},
                                          {CRC_ADDR, addr}, {CRC_COUNT, count}, {CRC_FILL, qint64(fill)}});
            QVERIFY2(out.ok, qPrintable(out.error));
            QCOMPARE(out.results, QStringList(QString::fromLatin1(a.name) + ": " + bytesToHexString(expected)));
        }
    }

    // A range that holds no byte has no CRC: a file without data, a start
    // at or past the file's data with count 0, a range of a count that
    // holds none of the file's bytes. Refused naming the file and where its
    // data end or the range, never a CRC of nothing or of the fill alone.
    void calcCrcRefusesRangesWithoutBytes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("dataEnd");   // "" for a file without data
        const QByteArray hex = hexRecord(0, 0x10, QByteArray(16, 'x')) + ":00000001FF\n";
        const QByteArray endOnly(":00000001FF\n"), bin(16, 'x');
        const qint64 zero = 0, sixteen = 16;
        QTest::newRow("HEX of its end record only") << "hex" << endOnly << zero << zero << QString();
        QTest::newRow("empty BIN") << "bin" << QByteArray() << zero << zero << QString();
        QTest::newRow("BIN, addr at its end") << "bin" << bin << sixteen << zero << "0F";
        QTest::newRow("HEX, addr right after its data") << "hex" << hex << qint64(0x20) << zero << "1F";
        QTest::newRow("HEX, addr past its data") << "hex" << hex << qint64(0x21) << zero << "1F";
        QTest::newRow("HEX of its end record only, a count") << "hex" << endOnly << zero << sixteen << QString();
        QTest::newRow("HEX, a range before its data") << "hex" << hex << zero << sixteen << QString();
        QTest::newRow("HEX, a range after its data") << "hex" << hex << qint64(0x20) << sixteen << QString();
    }
    void calcCrcRefusesRangesWithoutBytes()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, file);
        QFETCH(qint64, addr);
        QFETCH(qint64, count);
        QFETCH(QString, dataEnd);
        QVERIFY(NumberedLanguage::loadWithArguments());
        writeFile(QStringLiteral("data.x"), file);
        const Outcome out = callExec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")},
                                      {CRC_FILE, QStringLiteral("data.x")}, {CRC_FORMAT, format}, {CRC_ADDR, addr},
                                      {CRC_COUNT, count}, {CRC_FILL, qint64(0xFF)}});
        QVERIFY(!out.ok);
        const QString name = path(QStringLiteral("data.x"));
        if (count > 0)
            QCOMPARE(out.error, T(execmsg::CRC_RANGE_NO_DATA).arg(name, hexText64(addr), hexText64(addr + count - 1)));
        else
            QCOMPARE(out.error, dataEnd.isEmpty() ? T(execmsg::CRC_NO_DATA).arg(name)
                                                  : T(execmsg::CRC_PAST_DATA).arg(name, hexText64(addr), dataEnd));
        QVERIFY(out.results.isEmpty());
    }

    // A CRC stopped part-way, or over a file that changes while it is read,
    // has no value: it says so, and only a change is a failure, whatever the
    // file's size and times say. The file spans two of the CRC's blocks. A
    // stamp that moves over the bytes read (touched, a new link, renamed
    // over) changes nothing: the value is that of the file as opened.
    void calcCrcCutShortOrStampMoved_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("rewrite");   // of hostile::rewrites; -1: none
        QTest::addColumn<int>("move");      // of hostile::stampMoves; -1: none
        QTest::newRow("stopped") << true << -1 << -1;
        for (int r = 0; r < int(std::size(hostile::rewrites)); ++r)
            QTest::addRow("file changed, %s", hostile::rewrites[r]) << false << r << -1;
        for (int m = 0; m < int(std::size(hostile::stampMoves)); ++m)
            QTest::addRow("file %s", hostile::stampMoves[m]) << false << -1 << m;
    }
    void calcCrcCutShortOrStampMoved()
    {
        QFETCH(bool, stop);
        QFETCH(int, rewrite);
        QFETCH(int, move);
        QVERIFY(NumberedLanguage::loadWithArguments());
        const QString name = path(QStringLiteral("big.bin"));
        const QByteArray bytes(16 * 1024 * 1024 + 16, '\x5A');
        writeFile(QStringLiteral("big.bin"), bytes);
        const Outcome out = callExec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")},
                                      {CRC_FILE, QStringLiteral("big.bin")}, {CRC_FORMAT, QStringLiteral("bin")},
                                      {CRC_ADDR, qint64(0)}, {CRC_COUNT, qint64(0)}, {CRC_FILL, qint64(0xFF)}},
                                     nullptr, [&](IDeviceExec &exec) {
                                         if (stop)
                                             return exec.slotStop();
                                         QVERIFY(move >= 0 ? hostile::moveStamp(name, move, QByteArray(bytes.size(), '\x33'))
                                                           : hostile::rewrite(name, 16 * 1024 * 1024, "the build's byte", rewrite));
                                     });
        QCOMPARE(out.ok, stop || move >= 0);
        QCOMPARE(out.error, stop || move >= 0 ? QString() : T(fmtmsg::FILE_CHANGED).arg(name));
        std::unique_ptr<ICRC> crc(createCRC(QStringLiteral("CRC-32/ISO-HDLC")));
        crc->update(bytes.constData(), bytes.size());
        QCOMPARE(out.results, QStringList(move >= 0 ? "CRC-32/ISO-HDLC: " + bytesToHexString(crc->result())
                                                    : T(execmsg::CRC_NOT_COMPUTED).arg(QStringLiteral("CRC-32/ISO-HDLC"))));
    }

    // A program named relative to the project runs from there with its
    // arguments; one that does not exist is no failure.
    void processRunsProgramsOfTheProject()
    {
        writeFile(QStringLiteral("mark.sh"), "#!/bin/sh\necho \"$1|$2\" > \"$3\"\n");
        QFile::setPermissions(path(QStringLiteral("mark.sh")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString out = path(QStringLiteral("out.txt"));
        Outcome o = callExec({{REC_CMD, CMD_PROCESS},
                              {PROCESS_FILE, QStringLiteral("mark.sh \"two words\" x %1").arg(out)}});
        QVERIFY(o.ok);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("two words|x\n"));

        o = callExec({{REC_CMD, CMD_PROCESS}, {PROCESS_FILE, QStringLiteral("velkor-no-such-program -x")}});
        QVERIFY(o.ok);
        QVERIFY(o.error.isEmpty());
        QCOMPARE(callExec({{REC_CMD, CMD_SEPARATOR}}).error, msg(449).arg(CMD_SEPARATOR));
        QVERIFY(!callExec({{REC_CMD, CMD_SEPARATOR}}).ok);
    }

    void delayReportsProgressOnlyWhenLong()
    {
        QCOMPARE(callExec({{REC_CMD, CMD_DELAY}, {DELAY_VALUE, -7}}).percents, QVector<int>({0}));
        QCOMPARE(callExec({{REC_CMD, CMD_DELAY}, {DELAY_VALUE, 20}}).percents, QVector<int>({0}));
        const QVector<int> p = callExec({{REC_CMD, CMD_DELAY}, {DELAY_VALUE, 500}}).percents;
        QVERIFY(p.size() >= 3);
        QCOMPARE(p.last(), 0);
        QCOMPARE(p.at(p.size() - 2), 100);
        for (int i = 1; i < p.size() - 1; ++i)
            QVERIFY(p.at(i) > p.at(i - 1));
    }

    // The list's summary pushes a run's stored counter into the open form of
    // that command only.
    void counterSummaryUpdatesItsOwnForm()
    {
        TDevTools tools(GROUP_TOOLS, TData());
        const TData counter{{REC_ID_CMD, 5}, {REC_CMD, CMD_COUNTER}, {COUNTER_VALUE, 2},
                            {COUNTER_LIMIT, 9}, {COUNTER_DELTA, -1}};
        std::unique_ptr<QWidget> form(tools.createCmdForm(counter));
        auto *own = qobject_cast<TFormToolsCounter *>(form.get());
        QVERIFY(own);
        TData other = counter;
        other.insert(REC_ID_CMD, 6);
        other.insert(COUNTER_VALUE, 8);
        QCOMPARE(tools.cmdParamText(other, own), QStringLiteral("Value: 8, Limit: 9, Delta: -1"));
        QSignalSpy spy(own, &TFormToolsCounter::signalChangedCmdParam);
        own->findChildren<TWgtEditDecDef *>().at(1)->setValue(4);   // the limit
        QCOMPARE(spy.last().first().value<TData>().value(COUNTER_VALUE).toInt(), 2);
        TData ran = counter;
        ran.insert(COUNTER_VALUE, 3);
        tools.cmdParamText(ran, own);
        own->findChildren<TWgtEditDecDef *>().at(2)->setValue(-2);  // the delta
        const TData sent = spy.last().first().value<TData>();
        QCOMPARE(sent.value(COUNTER_VALUE).toInt(), 3);
        QCOMPARE(sent.value(COUNTER_LIMIT).toInt(), 4);
        QCOMPARE(sent.value(COUNTER_DELTA).toInt(), -2);
    }

    // A data file picked through the CRC form's file chooser is the file
    // the run reads: the form enters it as the run resolves it, against
    // the project's folder, wherever the program's own folder is.
    void calcCrcFilePickedInTheFormIsRun_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::newRow("beside the project") << "pick.bin";
        QTest::newRow("below the project") << "data/pick.bin";
        QTest::newRow("outside the project") << "../pick-outside.bin";
    }
    void calcCrcFilePickedInTheFormIsRun()
    {
        QFETCH(QString, picked);
        // A project folder deeper than any current folder: a name relative
        // to another folder cannot come out right by chance.
        const QString project = path(QStringLiteral("p/q/r/s/t/u/v/w/x/y"));
        QVERIFY(QDir().mkpath(project));
        dataPrj.fromHash({{INFO_PRJ_FILE, project + QStringLiteral("/test.prj")}, {PRJ_WORK_PATH, project}});
        const QString file = QDir::cleanPath(project + QLatin1Char('/') + picked);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        const QByteArray bytes = "picked file " + picked.toUtf8();
        writeFile(QDir(dir.path()).relativeFilePath(file), bytes);
        TDevTools tools(GROUP_TOOLS, TData());
        const QString name = QStringLiteral("CRC-32/ISO-HDLC");
        const TData stored{{REC_ID_CMD, 4}, {REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, name},
                           {CRC_FILE, QString()}, {CRC_FORMAT, QStringLiteral("bin")}, {CRC_ADDR, 0},
                           {CRC_COUNT, 0}, {CRC_FILL, 0xFF}};
        std::unique_ptr<QWidget> form(tools.createCmdForm(stored));
        auto *crcForm = qobject_cast<TFormToolsCalcCRC *>(form.get());
        QVERIFY(crcForm);
        QSignalSpy spy(crcForm, &TFormToolsCalcCRC::signalChangedCmdParam);
        answerModal<QFileDialog>([&](QFileDialog *chooser) {
            enterFileName(chooser, file);
            static_cast<QDialog *>(chooser)->accept();
        });
        for (QPushButton *button : form->findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("..."))
                QTest::mouseClick(button, Qt::LeftButton);
        }
        QVERIFY(!spy.isEmpty());
        TData params = stored;
        params.insert(CRC_FILE, spy.last().first().value<TData>().value(CRC_FILE));
        std::unique_ptr<ICRC> crc(createCRC(name));
        crc->update(bytes.constData(), bytes.size());
        const Outcome out = callExec(params);
        QVERIFY2(out.ok, qPrintable(out.error));
        QCOMPARE(out.results, QStringList(name + QStringLiteral(": ") + bytesToHexString(crc->result())));
    }

    // The stored other port is matched by its whole name and kept as it was
    // until the user touches the port controls.
    void setProgFormKeepsTheStoredPort()
    {
        listedPorts = QStringList{QStringLiteral("ttyUSB10 (Adapter)"), QStringLiteral("ttyUSB1 (Adapter)")};
        TProgName names;
        names.add(true, EMU, QStringLiteral("ttyUSB10"), QStringLiteral("Emulated"));
        names.add(true, QStringLiteral("Spare"), QStringLiteral("ttyUSB1"), QStringLiteral("Emulated"));
        appData.progName.replace(names);
        const TData stored{{REC_ID_CMD, 7}, {SET_PROG_PROG, EMU}, {SET_PROG_ALT_ENABLED, true},
                           {SET_PROG_ALT_PORT, QStringLiteral("ttyUSB1")}};
        TFormToolsSetProg form(stored);
        auto *port = form.findChildren<TComboBox *>().at(1);
        auto *prog = form.findChildren<TComboBox *>().at(0);
        QCOMPARE(port->currentText(), QStringLiteral("ttyUSB1 (Adapter)"));
        QSignalSpy spy(&form, &TFormToolsSetProg::signalChangedCmdParam);
        prog->setCurrentIndex(1);
        QCOMPARE(spy.size(), 1);
        TData sent = spy.last().first().value<TData>();
        QCOMPARE(sent.value(SET_PROG_PROG).toString(), QStringLiteral("Spare"));
        QCOMPARE(sent.value(SET_PROG_ALT_PORT).toString(), QStringLiteral("ttyUSB1"));
        QCOMPARE(sent.value(SET_PROG_ALT_ENABLED).toBool(), true);

        port->setCurrentIndex(0);
        sent = spy.last().first().value<TData>();
        QCOMPARE(sent.value(SET_PROG_ALT_PORT).toString(), QStringLiteral("ttyUSB10"));

        // A port that is not there now stays the stored one.
        const TData gone{{REC_ID_CMD, 7}, {SET_PROG_PROG, EMU}, {SET_PROG_ALT_ENABLED, true},
                         {SET_PROG_ALT_PORT, QStringLiteral("/dev/pts/9")}};
        TFormToolsSetProg other(gone);
        QCOMPARE(other.findChildren<TComboBox *>().at(1)->currentText(), QStringLiteral("/dev/pts/9"));
        listedPorts.clear();
    }

    // A box without a current item (a stored programmer that is disabled or
    // gone, an algorithm that is not enabled, a format that is not offered)
    // leaves its key as stored while the user edits the other controls.
    void formsKeepWhatHasNoCurrentItem()
    {
        listedPorts = QStringList{QStringLiteral("ttyUSB0 (Adapter)")};
        TProgName names;
        names.add(false, QStringLiteral("Off"), QStringLiteral("ttyUSB9"), QStringLiteral("Emulated"));
        names.add(true, EMU, fake->portName(), QStringLiteral("Emulated"));
        appData.progName.replace(names);
        const int cfg = dataPrj.addCfg(QStringLiteral("forms"), QString());
        for (const char *stored : {"Off", "Gone"}) {
            const int id = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG},
                                           {SET_PROG_PROG, stored}, {SET_PROG_ALT_ENABLED, false},
                                           {SET_PROG_ALT_PORT, QString()}});
            dataPrj.validateAll();
            FormHost host;
            QWidget *form = host.select(id);
            QVERIFY(form);
            auto *alt = form->findChild<QCheckBox *>();
            alt->setFocus();
            QTest::keyClick(alt, Qt::Key_Space);
            QVERIFY(alt->isChecked());
            QCOMPARE(record(id).value(SET_PROG_PROG).toString(), QLatin1String(stored));
            QCOMPARE(record(id).value(SET_PROG_ALT_ENABLED).toBool(), true);
            QCOMPARE(record(id).value(SET_PROG_ALT_PORT).toString(), QStringLiteral("ttyUSB0"));
            QVERIFY(!host.emitted.last().contains(SET_PROG_PROG));
            // Picking a programmer stores it.
            auto *prog = form->findChildren<TComboBox *>().at(0);
            prog->setFocus();
            QTest::keyClick(prog, Qt::Key_Down);
            QCOMPARE(record(id).value(SET_PROG_PROG).toString(), EMU);
        }
        listedPorts.clear();

        const int crc = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_CALC_CRC},
                                        {CRC_CRC_NAME, QStringLiteral("CRC-0/NONE")}, {CRC_FORMAT, QStringLiteral("srec")},
                                        {CRC_FILE, QStringLiteral("a.bin")}, {CRC_ADDR, 0}, {CRC_COUNT, 16},
                                        {CRC_FILL, 255}});
        dataPrj.validateAll();
        FormHost host;
        QWidget *form = host.select(crc);
        QVERIFY(form);
        QTest::keyClicks(lineOf(form->findChild<TWgtEditFileName *>()), QStringLiteral("x"));
        QCOMPARE(host.emitted.size(), 1);
        const TData now = record(crc);
        QCOMPARE(now.value(CRC_FILE).toString(), QStringLiteral("a.binx"));
        QCOMPARE(now.value(CRC_CRC_NAME).toString(), QStringLiteral("CRC-0/NONE"));
        QCOMPARE(now.value(CRC_FORMAT).toString(), QStringLiteral("srec"));
        QCOMPARE(now.value(CRC_COUNT).toLongLong(), 16);
    }
};

QTEST_MAIN(TestToolsExec)
#include "test_tools_exec.moc"
