// Every way a run can fail ends it with a banner that says why. Each chip
// family's commands meet a silent programmer, a corrupted reply, an error
// reply and empty replies, and a description whose every algorithm names a
// variant the program lacks; the programmer and tool commands fail on the
// link and on their own rules; a command that fails without a reason of its
// own is named by the worker. All of it runs through the execution worker
// against the fake programmer on a pseudo-terminal. Status registers of the
// shipped chips with one and two of them are written and verified, and a
// read into a command logs the value it read.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/IDeviceExec.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/TDeviceList.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "misc/dev_misc.h"
#include "support/AvrChip.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/RunFixture.h"
#include "support/FakeDevice.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
const QString EMU = QStringLiteral("Emu");

struct Family
{
    const char *name;
    const char *file;
};
const Family FAMILIES[] = {
    {"24C02", "24xx/24c02.dev"},
    {"W25Q80DV", "25xx/w25q80dv.dev"},
    {"ATtiny13", "avr8/attiny13.dev"},
    {"XMC1100", "xmc1/xmc1100.dev"},
};

enum Fault { Silence, BadChecksum, ErrorReply, EmptyReplies, HostileInput, SoundLink };
const char *const FAULT_NAMES[] = {"silence", "bad checksum", "error reply", "empty replies", "hostile input",
                                   "sound link"};

// What a command takes from the user that can be wrong: hex texts, files.
bool takesInput(const QString &code)
{
    return code.contains(QLatin1String("write")) || code.contains(QLatin1String("verify"))
           || code.contains(QLatin1String("file_read")) || code == QLatin1String(CMD_SEC_REG_READ)
           || code == QLatin1String(CMD_SFDP_REG_READ);
}
// What a command meets: every fault of the link, hostile input where it
// takes any, a sound link where it reads into itself (XMC1 reads nothing:
// its chip commands are refused before the run).
bool meets(Fault fault, const char *family, const QString &code)
{
    if (fault == HostileInput)
        return takesInput(code) && !code.contains(QLatin1String("char_"));
    if (fault == SoundLink)
        return qstrcmp(family, "XMC1100") != 0 && code.endsWith(QLatin1String("_read"))
               && schema::hasKey(code, QLatin1String(REG_DATA));
    return true;
}
constexpr quint16 ERROR_CODE = 8;

QString msg(int n)
{
    return lang.text(n);
}

// The run's word on a command its check refuses.
QString refused(const char *code, const char *key, const QString &reason)
{
    return msg(checkmsg::REFUSED).arg(cmdCode.name(QLatin1String(code)), QLatin1String(key), reason);
}

// A chip that takes every set-up record and answers every request empty.
struct AnyChip : ChipModel
{
    ChipReply request(quint8, const QByteArray &) override { return ChipReply::success(); }
};

// A family whose one command fails without saying why.
class MuteExec : public IDeviceExec
{
public:
    using IDeviceExec::IDeviceExec;
    bool execute(TSerialPort *, bool *, int *, int *) override { return false; }
    bool ident(TSerialPort *, QString &) override { return false; }
};
class MuteFamily : public FakeDevice
{
public:
    MuteFamily(const QString &name, const TData &params) : FakeDevice(name, {QLatin1String(CMD_ERASE)})
    {
        setParams(params);
    }
    static IDevice *create(const QString &name, const TData &params) { return new MuteFamily(name, params); }
    IDeviceExec *createExec(const TData &data) override { return new MuteExec(data); }
};

} // namespace

class TestFailureReasons : public QObject, RunFixture
{
    Q_OBJECT

    QSet<QString> variantsNamed;

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QByteArray description(const QString &file)
    {
        QFile f(DEVICES + QLatin1Char('/') + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void startChip(const QString &family)
    {
        std::shared_ptr<ChipModel> chip;
        if (family == QLatin1String("24C02")) {
            chip = std::make_shared<Chip24>(256, 8, 1, 7, 0);
        } else if (family == QLatin1String("W25Q80DV")) {
            chip = std::make_shared<Spi25Chip>(1 << 20, QByteArray::fromHex("EF4014"));
        } else if (family == QLatin1String("ATtiny13")) {
            const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/attiny13.dev"));
            chip = std::make_shared<AvrChip>(AvrChip::specOf(dev), quint16(6));
        } else {
            chip = std::make_shared<AnyChip>();
        }
        fake->setChip(chip);
    }

    int addCmd(int cfg, const char *code, const TData &values = TData(), IDevice *device = nullptr)
    {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QString::fromLatin1(code)}};
        const QString c = QString::fromLatin1(code);
        if (TDevTools::hasCommand(c))
            TDevTools(GROUP_TOOLS, TData()).initCmdParam(data);
        if (device) {
            // As the window does: the defaults of the programmer in force
            // after the configuration's last command.
            const auto cmds = dataPrj.cmdsOfCfg(cfg);
            data.insert(REC_ID_CMD, cmds.isEmpty() ? -1 : cmds.last()->id());
            device->initCmdParam(data);
            data.remove(REC_ID_CMD);
        }
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        return id;
    }

    // set_prog and set_device of the description; returns the device.
    IDevice *configure(int cfg, const QString &name, const QString &file)
    {
        addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        const int setDevice = addCmd(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, name}, {SET_DEVICE_FILE, file}});
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        if (device) {
            TData params = dataPrj.cmdById(setDevice)->toHash();
            device->initDevParam(params);
            dataPrj.cmdById(setDevice)->putParams(params);
            dataPrj.validateAll();
        }
        return device;
    }

    // Small ranges at the start of the memory and real files for the
    // memory commands.
    TData valuesFor(const QString &code, IDevice *device) const
    {
        const TData dev = device->params();
        const qint64 begin = code.startsWith(QLatin1String("flash_")) ? dev.value(DEV_FLASH_ADDR_BEGIN).toLongLong()
                             : code.startsWith(QLatin1String("eeprom_")) ? dev.value(DEV_EEPROM_ADDR_BEGIN).toLongLong()
                             : code.startsWith(QLatin1String("s"))       ? 0
                                                                         : dev.value(DEV_ADDR_BEGIN).toLongLong();
        if (code.contains(QLatin1String("file")) || code.startsWith(QLatin1String("sec_reg_r"))
            || code.startsWith(QLatin1String("sec_reg_w")) || code.startsWith(QLatin1String("sec_reg_v"))
            || code == QLatin1String(CMD_SFDP_REG_READ)) {
            const bool reads = code.endsWith(QLatin1String("read"));
            return {{FILE_FILE, path(reads ? QStringLiteral("out.bin") : QStringLiteral("in.bin"))},
                    {FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, begin},
                    {FILE_COUNT, 16}};
        }
        if (code.contains(QLatin1String("char_")))
            return {{CHAR_ADDR_DEVICE, begin}, {CHAR_COUNT, 16}, {CHAR_FILL_CHAR, 0x5A}};
        if (code.contains(QLatin1String("data_")))
            return {{DATA_ADDR_DEVICE, begin}, {DATA_DATA, QStringLiteral("11 22 33")}};
        if (code.endsWith(QLatin1String("_blocks")))
            return {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 0}, {BLOCKS_COUNT, 1}};
        return TData();
    }

    // Hex texts that are no whole bytes, a HEX file with a broken record, a
    // file to be written in a folder that does not exist.
    void spoil(const QString &code, TData &values) const
    {
        if (values.contains(FILE_FILE)) {
            const bool reads = values.value(FILE_FILE).toString().endsWith(QLatin1String("out.bin"));
            values.insert(FILE_FORMAT, reads ? QStringLiteral("bin") : QStringLiteral("hex"));
            values.insert(FILE_FILE, reads ? path(QStringLiteral("no/such/folder/out.bin")) : path(QStringLiteral("bad.hex")));
        } else if (code.contains(QLatin1String("data_"))) {
            values.insert(DATA_DATA, QStringLiteral("11 2G"));
        } else {
            values.insert(REG_DATA, QStringLiteral("0G"));
        }
    }

    void addFault(Fault fault)
    {
        for (quint8 code = 1; code <= 7; ++code) {
            switch (fault) {
            case Silence: fake->addFault(FakeFault::silence().onCode(code)); break;
            case BadChecksum: fake->addFault(FakeFault::badChecksum().onCode(code)); break;
            case ErrorReply: fake->addFault(FakeFault::errorReply(ERROR_CODE).onCode(code)); break;
            case EmptyReplies:
                fake->addFault(FakeFault::rawReply(TProtocol::frame(0, QByteArray()))
                                   .onCode(code)
                                   .times(FakeFault::ALWAYS));
                break;
            case HostileInput:
            case SoundLink: break;
            }
        }
    }

    // Runs the configuration: true when it succeeded, else the banner.
    bool run(int cfg, QString &banner)
    {
        rx.reset(new Receiver);
        dataPrj.validateAll();
        banner = QStringLiteral("run did not end");
        QPointer<QThread> thread = startExec(cfg, rx.get());
        if (!TExec::waitForThread(thread, 60000))
            return false;
        if (!QTest::qWaitFor([&] { return rx->destroyed == QVector<int>({cfg}); }, 5000))
            return false;
        banner = rx->lastFailure();
        return rx->statuses.value(0).second;
    }
    QString failure(int cfg)
    {
        QString banner;
        return run(cfg, banner) ? QStringLiteral("succeeded") : banner;
    }

    bool chipReached() const
    {
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code <= 7)
                return true;
        return false;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(!lang.text(execmsg::FAILED_NO_REASON).contains(QLatin1String("?????")));
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
        deviceList.addCreator(QStringLiteral("MuteFamily"), &MuteFamily::create);
        // The emulated programmer's description with a short time-out, so
        // that silence costs little.
        QFile ini(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        QVERIFY(text.contains("TimeOut=1000"));
        text.replace("TimeOut=1000", "TimeOut=100");
        writeFile(QStringLiteral("emu.ini"), text);
        TProgType types;
        types.add(QStringLiteral("EmuType"), path(QStringLiteral("emu.ini")));
        appData.progType.replace(types);
        writeFile(QStringLiteral("in.bin"), QByteArray::fromHex("00112233445566778899AABBCCDDEEFF"));
        writeFile(QStringLiteral("mute.dev"), "gui_type=s|MuteFamily\n");
        writeFile(QStringLiteral("bad.hex"), ":1000000000112233445566778899AABBCCDDEEFFF8\n:10001000ZZ\n:00000001FF\n");
    }

    void init()
    {
        QVERIFY2(startProgrammer(), qPrintable(fake->errorString()));
        TProgName names;
        names.add(true, EMU, fake->portName(), QStringLiteral("EmuType"));
        appData.progName.replace(names);
        newProject();
    }

    void cleanup() { endRun(); }

    // Every command of every chip family on a link that goes silent, a
    // reply that is corrupted, an error reply and replies without bytes:
    // a failed run always says why, the link's text when the link failed,
    // the programmer's when it refused. On a sound link a read into the
    // command has its log line show what it read, not what it held.
    void chipCommandsOnFaults_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("fault");
        for (const Family &f : FAMILIES) {
            TData params;
            const TDeviceCreator creator = deviceList.creatorForFile(QLatin1String(f.name), QLatin1String(f.file), params);
            QVERIFY(creator);
            std::unique_ptr<IDevice> device(creator(QLatin1String(f.name), params));
            for (const QString &code : device->cmdList()) {
                if (code == QLatin1String(CMD_SEPARATOR))
                    continue;
                for (int fault = Silence; fault <= SoundLink; ++fault)
                    if (meets(Fault(fault), f.name, code))
                        QTest::addRow("%s %s, %s", f.name, qPrintable(code), FAULT_NAMES[fault])
                        << QString::fromLatin1(f.name) << QString::fromLatin1(f.file) << code << fault;
            }
        }
    }
    void chipCommandsOnFaults()
    {
        QFETCH(QString, family);
        QFETCH(QString, file);
        QFETCH(QString, code);
        QFETCH(int, fault);
        startChip(family);
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        IDevice *device = configure(cfg, family, file);
        QVERIFY(device);
        TData values = valuesFor(code, device);
        if (fault == HostileInput)
            spoil(code, values);
        else if (fault == SoundLink)
            values.insert(REG_DATA, values.contains(DATA_DATA) ? QStringLiteral("A5 A5 A5") : QStringLiteral("A5"));
        const int id = addCmd(cfg, code.toLatin1().constData(), values, device);
        if (fault == SoundLink) {
            const TDataCmd *cmd = dataPrj.cmdById(id);
            const auto shown = [cmd] { return cmd->handler()->cmdParamText(cmd->toHash(), nullptr); };
            const QString held = shown();
            QCOMPARE(failure(cfg), QStringLiteral("succeeded"));
            QVERIFY2(shown() != held, qPrintable(held));
            appData.execLogShowTime = false;
            TWgtConfig page;
            for (const Receiver::Event &e : qAsConst(rx->events))
                page.writeEvent(e.code, e.text, e.text2);
            const QString name = cmdCode.name(code) + QLatin1Char(' ');
            QCOMPARE(page.log()->textView()->toPlainText().split(QLatin1Char('\n')).filter(name),
                     QStringList{name + QStringLiteral("(%1)").arg(shown())});
            return;
        }
        if (fault == HostileInput) {
            // Bad input never ends in success, always says why, and not a
            // byte of it reaches the chip.
            fake->clearRequests();
            QString banner;
            QVERIFY2(!run(cfg, banner), qPrintable(code));
            QVERIFY2(!banner.isEmpty(), qPrintable(code));
            QVERIFY2(!chipReached(), qPrintable(code));
            return;
        }
        // Only the XMC1 codes that no form can fill stay invalid, and the
        // status write of a chip whose description names no write the
        // program has: the rest reach their executor.
        const bool unfilled = (family == QLatin1String("XMC1100")
                               && (code == QLatin1String(CMD_TEST_EMPTY) || code.startsWith(QLatin1String("bmi_"))))
                              || (family == QLatin1String("W25Q80DV") && code == QLatin1String(CMD_STATUS_REG_WRITE));
        QVERIFY2(dataPrj.cmdById(id)->validParam() != unfilled, qPrintable(code));
        QFile::remove(path(QStringLiteral("out.bin")));
        fake->clearRequests();
        addFault(Fault(fault));

        QString banner;
        if (run(cfg, banner))
            return;   // the command does not mind (a write whose reply is not read)
        QVERIFY2(!banner.isEmpty(), qPrintable(code));
        if (!dataPrj.cmdById(id)->validParam() || !chipReached())
            return;
        if (fault == Silence || fault == BadChecksum)
            QCOMPARE(banner, msg(389));
        else if (fault == ErrorReply)
            QCOMPARE(banner, msg(406 + ERROR_CODE));
    }

    // A description whose every algorithm key names variant 9: each command
    // that needs a variant fails naming its key before it sends anything to
    // the chip, and every key is named by some command.
    void variantsNotOffered_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("file");
        for (const Family &f : FAMILIES)
            QTest::newRow(f.name) << QString::fromLatin1(f.name) << QString::fromLatin1(f.file);
    }
    void variantsNotOffered()
    {
        QFETCH(QString, family);
        QFETCH(QString, file);
        QByteArray text = description(file);
        QSet<QString> keys;
        const QRegularExpression alg(QStringLiteral("^(alg_[a-z_]+)=u\\|\\d+$"),
                                     QRegularExpression::MultilineOption);
        for (auto it = alg.globalMatch(QString::fromLatin1(text)); it.hasNext();)
            keys.insert(it.next().captured(1));
        // A chip of fewer than three status registers has its status write
        // refused for that first, whatever the variant.
        if (text.contains("status_reg_def=s|0000\n") || text.contains("status_reg_def=s|00\n"))
            keys.remove(QLatin1String(DEV_ALG_STATUS_REG_WRITE));
        QString changed = QString::fromLatin1(description(file));
        changed.replace(QRegularExpression(QStringLiteral("^(alg_[a-z_]+)=u\\|\\d+$"), QRegularExpression::MultilineOption),
                        QStringLiteral("\\1=u|9"));
        const QString derived = family + QStringLiteral("-v9.dev");
        writeFile(derived, changed.toLatin1());

        startChip(family);
        TData params;
        const TDeviceCreator creator = deviceList.creatorForFile(family, path(derived), params);
        QVERIFY(creator);
        std::unique_ptr<IDevice> probe(creator(family, params));
        QSet<QString> named;
        for (const QString &code : probe->cmdList()) {
            if (code == QLatin1String(CMD_SEPARATOR))
                continue;
            newProject();
            const int cfg = dataPrj.addCfg(QStringLiteral("v"), QString());
            IDevice *device = configure(cfg, family, path(derived));
            QVERIFY(device);
            addCmd(cfg, code.toLatin1().constData(), valuesFor(code, device), device);
            fake->clearRequests();
            QString banner;
            if (run(cfg, banner))
                continue;
            QVERIFY2(!banner.isEmpty(), qPrintable(code));
            for (const QString &key : keys) {
                // The executor's word, or the check's after the key.
                if (banner.endsWith(msg(execmsg::UNKNOWN_ALG).arg(key).arg(9))) {
                    named.insert(key);
                    QVERIFY2(!chipReached(), qPrintable(code));
                }
            }
        }
        // The XMC1 family carries out no chip command, so none needs a variant.
        if (family == QLatin1String("XMC1100"))
            QVERIFY(named.isEmpty());
        else
            QCOMPARE(named, keys);
    }

    // Descriptions that a family cannot serve: the command is refused with
    // the reason before anything reaches the chip.
    void descriptionRefusals_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<QString>("error");
        // What the executors ask of the description their checks ask too
        // (it was the executor's word, after the commands before it had
        // run). A whole-chip erase whose block does not divide the chip
        // would erase nothing or a part of it.
        const struct
        {
            const char *row, *family, *file, *from, *to, *code, *key;
            QString reason;
            TData values;
        } refusedRows[] = {
            {"25xx erase without size", "W25Q80DV", "25xx/w25q80dv.dev", "erase=s|D8|65536", "erase=s|D8", CMD_ERASE,
             DEV_ERASE, msg(execmsg::ERASE_ENTRY).arg("D8"), {}},
            {"25xx size 32768 of 64 Kbyte blocks", "W25Q80DV", "25xx/w25q80dv.dev", "size=D|1048576", "size=D|32768",
             CMD_ERASE, DEV_SIZE, msg(checkmsg::ERASE_MULTIPLE).arg("32768", "65536", "D8|65536"), {}},
            {"25xx size 98304 of 64 Kbyte blocks", "W25Q80DV", "25xx/w25q80dv.dev", "size=D|1048576", "size=D|98304",
             CMD_ERASE, DEV_SIZE, msg(checkmsg::ERASE_MULTIPLE).arg("98304", "65536", "D8|65536"), {}},
            {"25xx four status registers", "W25Q80DV", "25xx/w25q80dv.dev", "status_reg_def=s|0000",
             "status_reg_def=s|00000000", CMD_STATUS_REG_READ, DEV_STATUS_REG_DEF, lang.text(execmsg::STATUS_COUNT, 4), {}},
            {"25xx status write of two registers", "W25Q80DV", "25xx/w25q80dv.dev", "alg_status_reg_write=u|1",
             "alg_status_reg_write=u|0", CMD_STATUS_REG_WRITE, DEV_STATUS_REG_DEF,
             msg(execmsg::STATUS_WRITE_THREE).arg(2), {{REG_DATA, QStringLiteral("1C02")}}},
            {"25xx status write keeping bits by a read variant", "W25Q256JV", "25xx/w25q256jv.dev",
             "alg_status_reg_read=u|0", "alg_status_reg_read=u|1", CMD_STATUS_REG_WRITE, DEV_ALG_STATUS_REG_READ,
             msg(execmsg::UNKNOWN_ALG).arg(DEV_ALG_STATUS_REG_READ).arg(1), {{REG_DATA, QStringLiteral("000060")}}},
            {"24xx page 0", "24C02", "24xx/24c02.dev", "page_size=u|8", "page_size=u|0", CMD_ERASE, DEV_PAGE_SIZE,
             msg(execmsg::BLOCK_ZERO), {}},
            {"24xx address of 3 bytes", "24C02", "24xx/24c02.dev", "addr_size=u|1", "addr_size=u|3", CMD_TEST_EMPTY,
             DEV_ADDR_SIZE, msg(428).arg(3), {}},
            {"24xx past the control byte", "24C02", "24xx/24c02.dev", "size=D|256", "size=D|4096", CMD_CHAR_WRITE,
             DEV_ADDR_SIZE, msg(429).arg("FFF", "7FF"), {{CHAR_ADDR_DEVICE, 0xF00}, {CHAR_COUNT, 256}}},
            {"24xx no memory", "24C02", "24xx/24c02.dev", "size=D|256", "size=D|0", CMD_ERASE, DEV_SIZE,
             lang.text(checkmsg::NO_MEMORY, 0), {}},
            {"24xx read variant", "24C02", "24xx/24c02.dev", "alg_read=u|0", "alg_read=u|1", CMD_DATA_VERIFY,
             DEV_ALG_READ, msg(execmsg::UNKNOWN_ALG).arg(DEV_ALG_READ).arg(1),
             {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, QStringLiteral("11")}}},
            {"25xx page 0", "W25Q80DV", "25xx/w25q80dv.dev", "page_size=u|256", "page_size=u|0", CMD_CHAR_WRITE,
             DEV_PAGE_SIZE, msg(execmsg::BLOCK_ZERO), {{CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, 16}}},
            {"25xx signature not whole", "W25Q80DV", "25xx/w25q80dv.dev", "signature=s|EF4014", "signature=s|EF401",
             CMD_IDENT, DEV_SIGNATURE, notWholeHexReason("EF401"), {}},
            {"AVR8 four fuse bytes", "ATtiny13", "avr8/attiny13.dev", "fuse_def=s|6AFF", "fuse_def=s|6AFFFFFF",
             CMD_FUSE_READ, DEV_FUSE_DEF, lang.text(443, 4), {}},
            {"AVR8 fuse read of none", "ATtiny13", "avr8/attiny13.dev", "fuse_def=s|6AFF", "fuse_def=s|", CMD_FUSE_READ,
             DEV_FUSE_DEF, lang.text(443, 0), {}},
            {"AVR8 no calibration bytes", "ATtiny13", "avr8/attiny13.dev", "osccal_def=s|FFFF", "osccal_def=s|",
             CMD_OSCCAL_READ, DEV_OSCCAL_DEF, msg(448), {}},
            {"AVR8 page 0", "ATtiny13", "avr8/attiny13.dev", "flash_page_size=u|32", "flash_page_size=u|0",
             CMD_FLASH_DATA_WRITE, DEV_FLASH_PAGE_SIZE, msg(execmsg::BLOCK_ZERO),
             {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, QStringLiteral("11 22")}}},
            {"AVR8 flash past the read's reach", "ATtiny13", "avr8/attiny13.dev", "flash_size=D|1024",
             "flash_size=D|131072", CMD_FLASH_CHAR_VERIFY, DEV_ALG_FLASH_READ, msg(446).arg("FFF0", "1000F"),
             {{CHAR_ADDR_DEVICE, 0xFFF0}, {CHAR_COUNT, 32}}},
            {"AVR8 EEPROM of no bytes", "ATtiny13", "avr8/attiny13.dev", "eeprom_size=D|64", "eeprom_size=D|0",
             CMD_TEST_EMPTY_EEPROM, DEV_EEPROM_SIZE, lang.text(checkmsg::NO_MEMORY, 0), {}},
            {"AVR8 signature not whole", "ATtiny13", "avr8/attiny13.dev", "signature=s|1E9007", "signature=s|1E900",
             CMD_IDENT, DEV_SIGNATURE, notWholeHexReason("1E900"), {}},
        };
        for (const auto &r : refusedRows)
            QTest::newRow(r.row) << r.family << r.file << r.from << r.to << r.code << r.values
                                 << refused(r.code, r.key, r.reason);
    }
    void descriptionRefusals()
    {
        QFETCH(QString, family);
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(QString, error);
        QByteArray text = description(file);
        QVERIFY(text.contains(from.toLatin1()));
        text.replace(from.toLatin1(), to.toLatin1());
        const QString derived = path(QStringLiteral("refused.dev"));
        writeFile(QStringLiteral("refused.dev"), text);
        startChip(family);
        const int cfg = dataPrj.addCfg(QStringLiteral("r"), QString());
        IDevice *device = configure(cfg, family + QStringLiteral(" refused"), derived);
        QVERIFY(device);
        const int id = addCmd(cfg, code.toLatin1().constData(), values, device);
        // The check already refuses what it can see; the executor the rest.
        QCOMPARE(dataPrj.cmdById(id)->validParam(), !error.startsWith(QLatin1String("Command \"")));
        fake->clearRequests();
        QCOMPARE(failure(cfg), error);
        QVERIFY(!chipReached());
        // What the check refuses stops the run before anything is sent.
        if (!dataPrj.cmdById(id)->validParam())
            QCOMPARE(fake->requestCount(), 0);
    }

    // The programmer's own commands on a silent link and on an error reply.
    void programmerCommandsOnFaults_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<int>("request");
        QTest::addColumn<bool>("silence");
        const struct
        {
            const char *code;
            TData values;
            int request;
        } rows[] = {
            {CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("24C02")}, {SET_DEVICE_FILE, QStringLiteral("24xx/24c02.dev")}},
             TProtocol::PROG_SETUP},
            {CMD_RESET, {{RESET_DURATION, -400}}, TProtocol::PROG_RESET},
            {CMD_GENERATOR, {{GEN_FREQ, 100000}, {GEN_DUTY, 50}}, TProtocol::PROG_GENERATOR},
            {CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HL")}}, TProtocol::PROG_PINS},
            {CMD_SET_VCC, {{SUPPLY_VCC, 3.3}}, TProtocol::PROG_VCC},
            {CMD_SET_VPP, {{SUPPLY_VPP, 12.0}}, TProtocol::PROG_VPP},
            {CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 50.0}, {SUPPLY_OCP, true}}, TProtocol::PROG_VICC},
            {CMD_SET_VIPP, {{SUPPLY_VPP, 12.0}, {SUPPLY_IPP, 2.5}, {SUPPLY_OCP, false}}, TProtocol::PROG_VIPP},
        };
        for (const auto &r : rows)
            for (bool silence : {true, false})
                QTest::addRow("%s, %s", r.code, silence ? "silence" : "error reply")
                    << QString::fromLatin1(r.code) << r.values << r.request << silence;
    }
    void programmerCommandsOnFaults()
    {
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(int, request);
        QFETCH(bool, silence);
        startChip(QStringLiteral("24C02"));
        const int cfg = dataPrj.addCfg(QStringLiteral("p"), QString());
        const int prog = addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, code}, {REC_ID_CMD, prog}};
        TDevProg(GROUP_PROG, TData()).initCmdParam(data);
        data.remove(REC_ID_CMD);
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        if (IDevice *device = dataPrj.cmdById(id)->device(); device && code == QLatin1String(CMD_SET_DEVICE)) {
            TData params = dataPrj.cmdById(id)->toHash();
            device->initDevParam(params);
            dataPrj.cmdById(id)->putParams(params);
            dataPrj.validateAll();
        }
        QVERIFY2(dataPrj.cmdById(id)->validParam(), qPrintable(code));
        fake->addFault((silence ? FakeFault::silence() : FakeFault::errorReply(ERROR_CODE)).onCode(quint8(request)));
        QCOMPARE(failure(cfg), msg(silence ? 389 : 406 + ERROR_CODE));
    }

    // The tool commands' failures, the worker's refusals and its last word
    // on a command that gave no reason.
    void toolsAndWorker_data()
    {
        QTest::addColumn<QString>("row");
        for (const char *row : {"interface 0x80 silent", "identification refused", "other interface",
                                "unknown programmer", "counter overflow", "unknown CRC", "CRC of a missing file",
                                "CRC of a broken HEX file",
                                "no device", "invalid parameters", "mute command"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }
    void toolsAndWorker()
    {
        QFETCH(QString, row);
        startChip(row == QLatin1String("mute command") ? QStringLiteral("any") : QStringLiteral("24C02"));
        const int cfg = dataPrj.addCfg(QStringLiteral("t"), QString());
        QString expected;
        if (row == QLatin1String("unknown programmer"))
            addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Nobody")}});
        else if (row != QLatin1String("invalid parameters"))
            addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        if (row == QLatin1String("interface 0x80 silent")) {
            fake->addFault(FakeFault::silence().onCode(0x80));
            expected = msg(389);
        } else if (row == QLatin1String("identification refused")) {
            fake->addFault(FakeFault::errorReply(2).onCode(0x81));
            expected = msg(408);
        } else if (row == QLatin1String("other interface")) {
            fake->setInterfaceCode(7);
            expected = msg(399);
        } else if (row == QLatin1String("counter overflow")) {
            addCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, std::numeric_limits<int>::max()}, {COUNTER_DELTA, 1},
                                      {COUNTER_LIMIT, 0}});
            expected = msg(395);
        } else if (row == QLatin1String("unknown CRC")) {
            addCmd(cfg, CMD_CALC_CRC, {{CRC_CRC_NAME, QStringLiteral("CRC-0/NONE")}, {CRC_FILE, path(QStringLiteral("in.bin"))},
                                       {CRC_FORMAT, QStringLiteral("bin")}, {CRC_ADDR, 0}, {CRC_COUNT, 0}, {CRC_FILL, 255}});
            // A name outside the catalogue makes the command invalid: the run
            // refuses it naming the key.
            expected = msg(checkmsg::REFUSED)
                           .arg(cmdCode.name(QLatin1String(CMD_CALC_CRC)), QLatin1String(CRC_CRC_NAME),
                                msg(checkmsg::NOT_ALGORITHM).arg(QStringLiteral("CRC-0/NONE")));
        } else if (row == QLatin1String("CRC of a missing file")) {
            addCmd(cfg, CMD_CALC_CRC, {{CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")}, {CRC_FILE, path(QStringLiteral("none.bin"))},
                                       {CRC_FORMAT, QStringLiteral("bin")}, {CRC_ADDR, 0}, {CRC_COUNT, 16}, {CRC_FILL, 255}});
        } else if (row == QLatin1String("CRC of a broken HEX file")) {
            addCmd(cfg, CMD_CALC_CRC, {{CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")}, {CRC_FILE, path(QStringLiteral("bad.hex"))},
                                       {CRC_FORMAT, QStringLiteral("hex")}, {CRC_ADDR, 0}, {CRC_COUNT, 64}, {CRC_FILL, 255}});
        } else if (row == QLatin1String("no device")) {
            addCmd(cfg, CMD_ERASE);
            expected = msg(387).arg(cmdCode.name(QLatin1String(CMD_ERASE)));
        } else if (row == QLatin1String("invalid parameters")) {
            IDevice *device = configure(cfg, QStringLiteral("24C02"), QStringLiteral("24xx/24c02.dev"));
            addCmd(cfg, CMD_SET_ADDR, {{SET_ADDR_ADDR, 8}}, device);
            expected = refused(CMD_SET_ADDR, SET_ADDR_ADDR, msg(checkmsg::OUTSIDE).arg("8", "0", "7"));
        } else if (row == QLatin1String("mute command")) {
            addCmd(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("Mute")},
                                         {SET_DEVICE_FILE, path(QStringLiteral("mute.dev"))}});
            addCmd(cfg, CMD_ERASE);
            expected = msg(execmsg::FAILED_NO_REASON).arg(cmdCode.name(QLatin1String(CMD_ERASE)));
        }
        QString banner;
        QVERIFY2(!run(cfg, banner), qPrintable(row));
        QVERIFY2(!banner.isEmpty(), qPrintable(row));
        if (!expected.isEmpty())
            QCOMPARE(banner, expected);
    }

    // Status registers of the shipped chips. The write sends one instruction
    // per register, three of them: the chips with one and with two registers
    // have the write refused by the check, saying so, with nothing sent; a verify compares the registers a chip has, and one that
    // differs shows both.
    void statusRegistersOfShippedChips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("jedec");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("writeError");
        QTest::addColumn<QStringList>("wire");
        const auto fewer = [](int n) {
            return refused(CMD_STATUS_REG_WRITE, DEV_STATUS_REG_DEF, msg(execmsg::STATUS_WRITE_THREE).arg(n));
        };
        QTest::newRow("one register") << "W25X10CL" << "25xx/w25x10cl.dev" << "EF3011" << "1C" << fewer(1)
                                      << QStringList();
        QTest::newRow("two registers") << "W25Q80DV" << "25xx/w25q80dv.dev" << "EF4014" << "1C02" << fewer(2)
                                       << QStringList();
        QTest::newRow("three registers") << "W25Q16JV" << "25xx/w25q16jv.dev" << "EF4015" << "1C0260" << QString()
                                         << QStringList{QStringLiteral("01 1C"), QStringLiteral("31 02"),
                                                        QStringLiteral("11 60")};
    }
    void statusRegistersOfShippedChips()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(QString, jedec);
        QFETCH(QString, data);
        QFETCH(QString, writeError);
        QFETCH(QStringList, wire);
        auto chip = std::make_shared<Spi25Chip>(1 << 20, QByteArray::fromHex(jedec.toLatin1()));
        chip->status[0] = chip->status[1] = chip->status[2] = 0;
        fake->setChip(chip);
        const int cfg = dataPrj.addCfg(QStringLiteral("s"), QString());
        IDevice *device = configure(cfg, name, file);
        QVERIFY(device);
        addCmd(cfg, CMD_STATUS_REG_WRITE, {{REG_DATA, data}}, device);
        fake->clearRequests();
        QString banner;
        QCOMPARE(run(cfg, banner), writeError.isEmpty());
        QCOMPARE(banner, writeError);
        QStringList writes;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code == 4)
                writes << QString::fromLatin1(r.payload.toHex(' ').toUpper());
        QCOMPARE(writes, wire);
        QByteArray expected = QByteArray::fromHex(data.toLatin1());
        if (!writeError.isEmpty()) {
            fake->locked([&] { QCOMPARE(chip->status[0], quint8(0)); });
            fake->locked([&] { std::copy(expected.cbegin(), expected.cend(), chip->status); });
        }
        fake->locked([&] { QCOMPARE(QByteArray(reinterpret_cast<const char *>(chip->status), expected.size()), expected); });

        // The verify compares the registers the chip has, as bytes.
        newProject();
        const int verify = dataPrj.addCfg(QStringLiteral("v"), QString());
        IDevice *dev1 = configure(verify, name, file);
        addCmd(verify, CMD_STATUS_REG_VERIFY, {{REG_DATA, data.toLower()}}, dev1);
        QVERIFY2(run(verify, banner), qPrintable(banner));

        // The chip changed behind the program's back: the verify shows both.
        fake->locked([&] { chip->status[0] = 0x00; });
        newProject();
        const int again = dataPrj.addCfg(QStringLiteral("v"), QString());
        IDevice *dev2 = configure(again, name, file);
        addCmd(again, CMD_STATUS_REG_VERIFY, {{REG_DATA, data}}, dev2);
        expected[0] = 0;
        QCOMPARE(failure(again), QStringLiteral("Registers: Data: %1, Read: %2")
                                 .arg(data, QString::fromLatin1(expected.toHex().toUpper())));
    }
};

QTEST_MAIN(TestFailureReasons)
#include "test_failure_reasons.moc"
