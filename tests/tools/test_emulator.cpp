// The emulator program, started as a process the way the start script
// starts it: 24xx, 25xx and AVR8 configurations run through the worker against
// it and read back what they wrote; the chips keep their contents across a
// restart; SIGTERM leaves whole contents files; bad requests get the
// protocol's error replies while it keeps serving.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "data/TCtrlProject.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <memory>

namespace {

const QString EMULATOR = QStringLiteral(VELKOR_BIN_DIR "/velkor-emulator");
const QString NAME = QStringLiteral("Emulator");

struct Family
{
    const char *device;
    const char *file;
    int clock;
    int count;        // bytes the image covers
    const char *write;
    const char *verify;
    const char *read;
};

const Family families[] = {
    {"24C256", "24xx/24c256.dev", 400000, 32768, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FILE_READ},
    {"W25Q16JV", "25xx/w25q16jv.dev", 1000000, 65536, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FILE_READ},
    {"ATmega328P", "avr8/atmega328p.dev", 250000, 32768, CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY,
     CMD_FLASH_FILE_READ},
};

} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<QProcess> emulator;

    QString path(const QString &name) const { return dir.filePath(name); }

    QByteArray readFile(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Starts the emulator and makes it the programmer "Emulator".
    void startEmulator()
    {
        emulator.reset(new QProcess);
        emulator->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        emulator->start(EMULATOR, {QStringLiteral("--data"), path(QStringLiteral("chips")),
                                   QStringLiteral("--pty-file"), path(QStringLiteral("pty")),
                                   QStringLiteral("--log"), path(QStringLiteral("requests.log"))});
        QVERIFY2(emulator->waitForStarted(10000), qPrintable(emulator->errorString()));
        QVERIFY(emulator->waitForReadyRead(10000));
        const QString pty = QString::fromUtf8(emulator->readLine()).trimmed();
        QVERIFY(pty.startsWith(QLatin1String("/dev/")));
        QCOMPARE(QString::fromUtf8(readFile(QStringLiteral("pty"))).trimmed(), pty);
        TProgName names;
        names.add(true, NAME, pty, QStringLiteral("Emulated"));
        appData.progName.replace(names);
    }

    void stopEmulator()
    {
        ::kill(pid_t(emulator->processId()), SIGTERM);
        QVERIFY(emulator->waitForFinished(10000));
        QCOMPARE(emulator->exitStatus(), QProcess::NormalExit);
        QCOMPARE(emulator->exitCode(), 0);
        emulator.reset();
    }

    // set_prog, set_device of the family's chip, then the chip commands
    // with the device's defaults and the given values.
    int configure(const Family &family, const QVector<QPair<const char *, TData>> &cmds)
    {
        const int cfg = dataPrj.addCfg(QString::fromLatin1(family.device), QString());
        addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, NAME}});
        const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                              {SET_DEVICE_DEVICE, QString::fromLatin1(family.device)},
                                              {SET_DEVICE_FILE, QString::fromLatin1(family.file)},
                                              {SET_CLK_CLK, family.clock}, {SET_ADDR_ADDR, 0}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        if (!device)
            return -1;
        for (const auto &c : cmds) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(c.first)}, {REC_ID_CMD, -1}};
            device->initCmdParam(data);
            data.remove(REC_ID_CMD);
            for (auto it = c.second.begin(); it != c.second.end(); ++it)
                data.insert(it.key(), it.value());
            dataPrj.addCmd(data);
        }
        dataPrj.validateAll();
        return cfg;
    }

    TData file(const QString &name, int count) const
    {
        return {{FILE_FORMAT, QStringLiteral("bin")}, {FILE_FILE, name}, {FILE_ADDR_FILE, 0},
                {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, count}};
    }

    void run(int cfg)
    {
        QVERIFY(cfg >= 0);
        for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg))
            QVERIFY2(cmd->validDev() && cmd->validParam(), qPrintable(cmd->cmd()));
        Receiver rx;
        QPointer<QThread> thread = startExec(cfg, &rx);
        QVERIFY(TExec::waitForThread(thread, 120000));
        QTRY_COMPARE(rx.destroyed.size(), 1);
        QVERIFY2(rx.lastFailure().isEmpty(), qPrintable(rx.lastFailure()));
        QCOMPARE(rx.statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(QFile::exists(EMULATOR));
        appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
        appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
        TProgType types;
        types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.progType.replace(types);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("demo.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }

    void cleanupTestCase()
    {
        dataPrj.clear();
        if (emulator)
            stopEmulator();
    }

    // Erase, write, verify and read back each family; then the emulator
    // restarts and the chips still hold the images; SIGTERM leaves the
    // contents files whole.
    void writeReadBackAndPersist()
    {
        startEmulator();
        QRandomGenerator random(20261209);
        for (const Family &family : families) {
            QByteArray image(family.count, 0);
            for (char &b : image)
                b = char(random.bounded(256));
            const QString name = QString::fromLatin1(family.device);
            QFile out(path(name + QStringLiteral(".bin")));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(image);
            out.close();
            run(configure(family, {{CMD_ERASE, {}},
                                   {family.write, file(name + QStringLiteral(".bin"), family.count)},
                                   {family.verify, file(name + QStringLiteral(".bin"), family.count)},
                                   {family.read, file(name + QStringLiteral(".back"), family.count)}}));
            QCOMPARE(readFile(name + QStringLiteral(".back")), image);
        }
        stopEmulator();

        startEmulator();
        for (const Family &family : families) {
            const QString name = QString::fromLatin1(family.device);
            run(configure(family, {{family.read, file(name + QStringLiteral(".again"), family.count)}}));
            QCOMPARE(readFile(name + QStringLiteral(".again")), readFile(name + QStringLiteral(".bin")));
        }
        stopEmulator();
        const QStringList left = QDir(path(QStringLiteral("chips"))).entryList(QDir::Files);
        QCOMPARE(left, QStringList({"24xx.bin", "25xx.bin", "avr8.bin"}));
        QCOMPARE(QFileInfo(path(QStringLiteral("chips/24xx.bin"))).size(), qint64(32768));
        QCOMPARE(QFileInfo(path(QStringLiteral("chips/25xx.bin"))).size(), qint64(2097152));
        // Flash, EEPROM, three fuse bytes and the lock byte.
        QCOMPARE(QFileInfo(path(QStringLiteral("chips/avr8.bin"))).size(), qint64(32768 + 1024 + 3 + 1));
        QVERIFY(readFile(QStringLiteral("requests.log")).contains("\n"));
    }

    // The shipped demo list: every configuration of every project runs
    // against the emulator and reads back what it wrote, the automatic
    // detection by continuing with the configuration its route names.
    void demoConfigurationsRun()
    {
        const QString demo = path(QStringLiteral("demo"));
        QVERIFY(QDir().mkpath(demo + QStringLiteral("/images")));
        const QString source = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/demo/");
        QStringList images;
        for (const QString &image : QDir(source + QStringLiteral("images")).entryList(QDir::Files)) {
            images << image;
            QVERIFY(QFile::copy(source + QStringLiteral("images/") + image, demo + QStringLiteral("/images/") + image));
        }
        QCOMPARE(images.size(), 3);
        startEmulator();
        QStringList readBack;
        for (const char *project : {"24xx.prj", "25xx.prj", "avr8.prj"}) {
            const QString file = demo + QLatin1Char('/') + QLatin1String(project);
            QVERIFY(QFile::copy(source + QLatin1String(project), file));
            dataPrj.clear();
            TCtrlProject ctrl;
            QCOMPARE(ctrl.load(file, &dataPrj), 0);
            dataPrj.validateAll();
            const QList<TDataCfg *> cfgs = dataPrj.cfgList();
            QVERIFY(!cfgs.isEmpty());
            for (TDataCfg *cfg : cfgs) {
                // What a configuration reads back goes to <image>_read.bin;
                // a routed detection writes it anew.
                for (const QString &image : images)
                    QFile::remove(demo + QLatin1Char('/') + QFileInfo(image).completeBaseName() + QStringLiteral("_read.bin"));
                run(cfg->id());
                int compared = 0;
                for (const QString &image : images) {
                    const QString back = demo + QLatin1Char('/') + QFileInfo(image).completeBaseName() + QStringLiteral("_read.bin");
                    if (!QFile::exists(back))
                        continue;
                    QFile a(back), b(demo + QStringLiteral("/images/") + image);
                    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
                    QVERIFY2(a.readAll() == b.readAll(), qPrintable(back));
                    readBack << image;
                    ++compared;
                }
                QVERIFY2(compared == 1, qPrintable(cfg->name()));
            }
        }
        readBack.removeDuplicates();
        readBack.sort();
        QCOMPARE(readBack, images);
        stopEmulator();
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("demo.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }

    // A chip option that names no description of its family: the emulator
    // says so and does not start serving.
    void badChipOptionsRefused()
    {
        const QString devices = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices/");
        const QVector<QStringList> options{
            {QStringLiteral("--chip24"), devices + QStringLiteral("24xx/none.dev")},
            {QStringLiteral("--chip25"), devices + QStringLiteral("24xx/24c256.dev")},
            {QStringLiteral("--chipavr8"), devices + QStringLiteral("25xx/w25q16jv.dev")},
            {QStringLiteral("--chipavr8"), devices + QStringLiteral("avr8/none.dev")},
        };
        for (const QStringList &o : options) {
            QProcess p;
            p.start(EMULATOR, o + QStringList{QStringLiteral("--pty-file"), path(QStringLiteral("no-pty"))});
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitCode(), 2);
            QVERIFY2(p.readAllStandardError().contains("no "), qPrintable(o.join(' ')));
            QVERIFY(!QFile::exists(path(QStringLiteral("no-pty"))));
        }
    }

    // Requests the emulator refuses: error replies, and it goes on serving.
    void badRequestsGetErrorReplies()
    {
        startEmulator();
        const QString pty = appData.progName.find(NAME).port;
        {
            // A frame with a wrong checksum, straight onto the line.
            const int fd = ::open(qPrintable(pty), O_RDWR | O_NOCTTY);
            QVERIFY(fd >= 0);
            termios tio{};
            QCOMPARE(tcgetattr(fd, &tio), 0);
            cfmakeraw(&tio);
            QCOMPARE(tcsetattr(fd, TCSANOW, &tio), 0);
            QByteArray bad = TProtocol::frame(0x81, QByteArray());
            bad[bad.size() - 1] = char(bad.at(bad.size() - 1) ^ 0x5A);
            QCOMPARE(::write(fd, bad.constData(), size_t(bad.size())), ssize_t(bad.size()));
            QByteArray reply;
            pollfd p{fd, POLLIN, 0};
            while (reply.size() < TProtocol::FRAME_OVERHEAD + TProtocol::ERROR_CODE_SIZE && ::poll(&p, 1, 5000) > 0) {
                char buf[64];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0)
                    break;
                reply.append(buf, int(n));
            }
            ::close(fd);
            QCOMPARE(reply.size(), TProtocol::FRAME_OVERHEAD + TProtocol::ERROR_CODE_SIZE);
            QCOMPARE(quint8(reply.at(0)), TProtocol::FRAME_START);
            QCOMPARE(quint8(reply.at(1)), TProtocol::STATUS_ERROR);
        }
        TSerialPort port;
        QVERIFY(port.openPort(pty, QIODevice::ReadWrite));
        port.setTimeout(2000);
        port.setMaxData(256);
        const QVector<QPair<quint8, QByteArray>> refused{
            {0x7E, QByteArray()},                              // unknown code
            {0x84, QByteArray::fromHex("99000000000000")},     // unknown algorithm type
            {0x84, QByteArray::fromHex("01")},                 // record too short
            {0x03, QByteArray::fromHex("0100")},               // chip request without a set-up record
        };
        for (const auto &r : refused) {
            QByteArray payload = r.second;
            QVERIFY2(!port.transaction(r.first, payload), qPrintable(QString::number(r.first, 16)));
            QVERIFY(!port.errorString().isEmpty());
        }
        QByteArray ident;
        QVERIFY2(port.transaction(0x81, ident), qPrintable(port.errorString()));
        QVERIFY(!ident.isEmpty());
        port.close();
        stopEmulator();
    }
};

QTEST_MAIN(TestEmulator)
#include "test_emulator.moc"
