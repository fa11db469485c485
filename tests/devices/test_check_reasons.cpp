// Every refusal of a command's parameters names the key at fault and says
// why, and a run of a configuration that holds a refused command sends
// nothing at all. One bad value per command code, for every provider that
// offers the code; the codes of all providers together are the catalogue.
// The projects go through their file before they run.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "formats/format_messages.h"
#include "gui/main/startup.h"
#include "link/run_check.h"
#include "support/ExecHarness.h"
#include "support/RunFixture.h"
#include "support/Spi25Chip.h"

#include <QFile>
#include <QSet>
#include <QtTest>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
const QString EMU = QStringLiteral("Emu");

// A provider: a chip description, or one of the two command groups.
struct Provider
{
    const char *name;
    const char *file;   // null for a group
};
const Provider PROVIDERS[] = {
    {"24C02", "24xx/24c02.dev"},   {"W25Q16JV", "25xx/w25q16jv.dev"}, {"ATtiny13", "avr8/attiny13.dev"},
    {"XMC1100", "xmc1/xmc1100.dev"}, {GROUP_TOOLS, nullptr},         {GROUP_PROG, nullptr},
};

// The value that spoils a command, and the key its refusal names; no key:
// the command takes nothing that can be wrong.
struct Bad
{
    std::initializer_list<const char *> codes;
    const char *key;
    const char *value;
};
const Bad BAD[] = {
    {{CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY, CMD_EEPROM_CHAR_WRITE,
      CMD_EEPROM_CHAR_VERIFY, CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FLASH_DATA_READ,
      CMD_FLASH_DATA_WRITE, CMD_FLASH_DATA_VERIFY, CMD_EEPROM_DATA_READ, CMD_EEPROM_DATA_WRITE,
      CMD_EEPROM_DATA_VERIFY, CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FLASH_FILE_READ,
      CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY, CMD_EEPROM_FILE_READ, CMD_EEPROM_FILE_WRITE,
      CMD_EEPROM_FILE_VERIFY},
     CHAR_ADDR_DEVICE, "3000000"},
    {{CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY, CMD_SFDP_REG_READ, CMD_TEST_EMPTY_BLOCKS},
     FILE_COUNT, "100000"},
    {{CMD_ERASE_BLOCKS}, BLOCKS_SIZE, "12345"},
    // One byte where the chip has three (two fuses), and two where it has one.
    {{CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY, CMD_FUSE_WRITE, CMD_FUSE_VERIFY}, REG_DATA, "00"},
    {{CMD_LOCK_WRITE, CMD_LOCK_VERIFY}, REG_DATA, "0000"},
    {{CMD_SET_CLK}, SET_CLK_CLK, "50000000"},
    {{CMD_SET_ADDR}, SET_ADDR_ADDR, "8"},
    {{CMD_LEAVE, CMD_SET_IO}, LEAVE_STATE, "X"},
    {{CMD_SET_PROG}, SET_PROG_PROG, "Nobody"},
    {{CMD_EXECUTE}, EXECUTE_CFG, "999"},
    {{CMD_DELAY}, DELAY_VALUE, "-1"},
    {{CMD_COUNTER}, COUNTER_LIMIT, "-5"},
    {{CMD_JAMP}, JAMP_TO_CMD, "999"},
    {{CMD_CALC_CRC, CMD_PROCESS}, CRC_FILE, ""},
    {{CMD_SET_DEVICE}, SET_DEVICE_DEVICE, "Nope"},
    {{CMD_AUTO_DETECT}, AUTO_NAME, "Nope"},
    {{CMD_RESET}, RESET_DURATION, "0"},
    {{CMD_GENERATOR}, GEN_FREQ, "9000000"},
    {{CMD_SET_VCC}, SUPPLY_VCC, "33"},
    {{CMD_SET_VPP}, SUPPLY_VPP, "33"},
    {{CMD_SET_VICC}, SUPPLY_ICC, "900"},
    {{CMD_SET_VIPP}, SUPPLY_IPP, "90"},
    {{CMD_IDENT, CMD_ERASE, CMD_TEST_EMPTY, CMD_TEST_EMPTY_FLASH, CMD_TEST_EMPTY_EEPROM, CMD_STATUS_REG_READ,
      CMD_UNIQUE_ID_READ, CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY, CMD_FUSE_READ, CMD_LOCK_READ,
      CMD_OSCCAL_READ, CMD_PAUSE, CMD_STOP, CMD_BMI_READ, CMD_BMI_WRITE, CMD_BMI_VERIFY, CMD_SEPARATOR},
     nullptr, nullptr},
};

const Bad *badOf(const QString &code)
{
    for (const Bad &b : BAD)
        for (const char *c : b.codes)
            if (code == QLatin1String(c))
                return &b;
    return nullptr;
}

// Codes that a provider lists but never carries out: refused whatever
// they hold, by the code itself.
bool neverRuns(const QString &provider, const QString &code)
{
    return code == QLatin1String(CMD_SEPARATOR)
           || (provider == QLatin1String("XMC1100")
               && (code == QLatin1String(CMD_TEST_EMPTY) || code.startsWith(QLatin1String("bmi_"))));
}

} // namespace

class TestCheckReasons : public QObject, RunFixture
{
    Q_OBJECT

    QString inFile() const { return path(QStringLiteral("in.bin")); }

    // An enabled command with its provider's defaults (of the programmer in
    // force after the configuration's last command), then the values.
    int addCmd(int cfg, const QString &code, IDevice *handler, const TData &values = TData())
    {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, code}};
        const auto cmds = dataPrj.cmdsOfCfg(cfg);
        data.insert(REC_ID_CMD, cmds.isEmpty() ? -1 : cmds.last()->id());
        if (handler)
            handler->initCmdParam(data);
        data.remove(REC_ID_CMD);
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        return id;
    }

    // set_prog, and set_device of a chip; returns the provider's object.
    IDevice *configure(int cfg, const Provider &p)
    {
        addCmd(cfg, CMD_SET_PROG, nullptr, {{SET_PROG_PROG, EMU}});
        if (!p.file)
            return dataPrj.deviceByName(QLatin1String(p.name), QString());
        const int setDevice = addCmd(cfg, CMD_SET_DEVICE, dataPrj.deviceByName(GROUP_PROG, QString()),
                                     {{SET_DEVICE_DEVICE, QLatin1String(p.name)}, {SET_DEVICE_FILE, QLatin1String(p.file)}});
        return withDeviceDefaults(setDevice);
    }

    // As the set-device form does: the chip's device-level defaults.
    IDevice *withDeviceDefaults(int setDevice)
    {
        TDataCmd *cmd = dataPrj.cmdById(setDevice);
        TData params = cmd->toHash();
        if (cmd->device() && cmd->device()->initDevParam(params)) {
            cmd->putParams(params);
            dataPrj.validateAll();
        }
        return cmd->device();
    }

    // Values that make each command sound: small ranges at the start of
    // its memory, real files, a target that exists.
    TData soundValues(const QString &code, IDevice *handler, int cfg) const
    {
        const TData dev = handler->params();
        const qint64 begin = code.startsWith(QLatin1String("flash_"))    ? dev.value(DEV_FLASH_ADDR_BEGIN).toLongLong()
                             : code.startsWith(QLatin1String("eeprom_")) ? dev.value(DEV_EEPROM_ADDR_BEGIN).toLongLong()
                             : code.startsWith(QLatin1String("s"))       ? 0
                                                                         : dev.value(DEV_ADDR_BEGIN).toLongLong();
        if (code.contains(QLatin1String("data_")))
            return {{DATA_ADDR_DEVICE, begin}, {DATA_DATA, QStringLiteral("11 22")}};
        if (code.contains(QLatin1String("file_")) || code.startsWith(QLatin1String("sec_reg_r"))
            || code.startsWith(QLatin1String("sec_reg_w")) || code.startsWith(QLatin1String("sec_reg_v"))
            || code == QLatin1String(CMD_SFDP_REG_READ))
            return {{FILE_FILE, inFile()}, {FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_DEVICE, begin},
                    {FILE_COUNT, 16}};
        if (code.contains(QLatin1String("char_")))
            return {{CHAR_ADDR_DEVICE, begin}, {CHAR_COUNT, 16}};
        if (code == QLatin1String(CMD_EXECUTE))
            return {{EXECUTE_CFG, cfg}};
        if (code == QLatin1String(CMD_SET_PROG))
            return {{SET_PROG_PROG, EMU}};
        if (code == QLatin1String(CMD_CALC_CRC) || code == QLatin1String(CMD_PROCESS))
            return {{CRC_FILE, inFile()}};
        if (code == QLatin1String(CMD_SET_DEVICE))
            return {{SET_DEVICE_DEVICE, QStringLiteral("W25Q80DV")}, {SET_DEVICE_FILE, QStringLiteral("25xx/w25q80dv.dev")}};
        if (code == QLatin1String(CMD_AUTO_DETECT))
            return {{AUTO_NAME, QStringLiteral("25xx SPI flash")}};
        return TData();
    }

    // The project through its file, as a user's project reaches a run.
    void storeAndLoad()
    {
        const QString file = path(QStringLiteral("test.prj"));
        QVERIFY(TCtrlProject().save(file, &dataPrj));
        dataPrj.clear();
        QCOMPARE(TCtrlProject().load(file, &dataPrj), 0);
        dataPrj.validateAll();
    }

    // Runs the configuration, which must fail; the banner.
    QString refusedRun(int cfg)
    {
        rx.reset(new Receiver);
        fake->clearRequests();
        QPointer<QThread> thread = startExec(cfg, rx.get());
        if (!TExec::waitForThread(thread, 60000)
            || !QTest::qWaitFor([&] { return rx->destroyed == QVector<int>({cfg}); }, 5000))
            return QStringLiteral("run did not end");
        return rx->statuses.value(0).second ? QStringLiteral("succeeded") : failure();
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(!lang.text(checkmsg::NOT_OFFERED).contains(QLatin1String("?????")));
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
        QFile in(inFile());
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write(QByteArray(64, 'x')) == 64);
        QFile empty(path(QStringLiteral("empty.bin")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }

    void init()
    {
        QVERIFY2(startProgrammer(), qPrintable(fake->errorString()));
        useProgrammer(EMU, fake->portName(), QStringLiteral("EmuType"),
                      QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        newProject();
    }

    void cleanup() { endRun(); }

    // The providers together offer every code of the catalogue, and every
    // code has its row: a bad value, or none when nothing it takes can be
    // wrong. Each bad value makes its command invalid with a refusal that
    // names the key and says why, and the run of it sends nothing.
    void everyRefusalNamesItsKey()
    {
        QSet<QString> codes;
        for (const Provider &p : PROVIDERS) {
            newProject();
            const int cfg = dataPrj.addCfg(QStringLiteral("probe"), QString());
            IDevice *provider = configure(cfg, p);
            QVERIFY2(provider, p.name);
            for (const QString &code : provider->cmdList()) {
                codes.insert(code);
                const Bad *bad = badOf(code);
                QVERIFY2(bad, qPrintable(QStringLiteral("no row for %1").arg(code)));
                const bool never = neverRuns(QLatin1String(p.name), code);
                if (!bad->key && !never)
                    continue;
                const QString row = QStringLiteral("%1 %2").arg(QLatin1String(p.name), code);

                newProject();
                const int run = dataPrj.addCfg(row, QString());
                IDevice *handler = configure(run, p);
                TData values = soundValues(code, handler, run);
                const int sound = addCmd(run, code, handler, values);
                if (code == QLatin1String(CMD_SET_DEVICE) || code == QLatin1String(CMD_AUTO_DETECT))
                    withDeviceDefaults(sound);
                QVERIFY2(never || dataPrj.cmdById(sound)->validParam(), qPrintable(row));
                if (bad->key) {
                    values.insert(QLatin1String(bad->key), QLatin1String(bad->value));
                    if (code == QLatin1String(CMD_SET_DEVICE))   // a device with no description
                        values.insert(SET_DEVICE_FILE, QStringLiteral("none.dev"));
                    dataPrj.setCmdParam(sound, values);
                }
                storeAndLoad();
                const TDataCmd *cmd = dataPrj.cmdsOfCfg(run).last();
                QVERIFY2(!cmd->validParam(), qPrintable(row));
                const TCheck check = cmd->handler()->paramCheck(cmd->toHash());
                QCOMPARE(check.key(), QLatin1String(bad->key ? bad->key : REC_CMD));
                QVERIFY2(!check.reason().isEmpty() && !check.reason().contains(QLatin1String("?????")),
                         qPrintable(row));
                const QString text = cmd->handler()->refusalText(cmd->toHash());
                QVERIFY2(text.contains(check.key()) && text.contains(check.reason()), qPrintable(text));
                QCOMPARE(refusedRun(run), text);
                QCOMPARE(rx->ofKind(EXEC_CMD).size(), 1);
                QVERIFY2(fake->requests().isEmpty(), qPrintable(row));
            }
        }
        for (const Bad &b : BAD)
            for (const char *c : b.codes)
                QVERIFY2(codes.contains(QLatin1String(c)), c);
        codes.remove(QLatin1String(CMD_SEPARATOR));   // a divider of the lists, no command
        QCOMPARE(codes.size(), cmdCode.count());
        for (const QString &code : qAsConst(codes))
            QVERIFY2(!cmdCode.name(code).isEmpty(), qPrintable(code));
    }

    // Commands refused for what the commands before them choose, or for
    // what they hold, as a project file gives them: the run's banner names
    // the command (by its code where the catalogue has no name) and what is
    // lacking, in words that fit any count; nothing is sent.
    void refusalsSayWhatIsLacking_data()
    {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QString>("error");
        const QByteArray prog = R"({"status": "1", "cmd": "set_prog", "prog": "Emu"},)";
        const QByteArray flash = prog + R"({"status": "1", "cmd": "set_device", "device": "W25Q16JV", "file": "25xx/w25q16jv.dev", "clk": "1000000"},)";
        const QByteArray avr = prog + R"({"status": "1", "cmd": "set_device", "device": "ATtiny13", "file": "avr8/attiny13.dev", "clk": "250000"},)";
        QTest::newRow("separator row") << flash + R"({"status": "1", "cmd": "separator"})"
                                       << R"(Command "separator": cmd: Tools does not carry out "separator")";
        QTest::newRow("unknown code") << flash + R"({"status": "1", "cmd": "blank_check"})"
                                      << R"(Command "blank_check": cmd: W25Q16JV does not carry out "blank_check")";
        QTest::newRow("code of another family") << flash + R"({"status": "1", "cmd": "fuse_read"})"
                                                << R"(Command "Fuse Bits Read": cmd: W25Q16JV does not carry out "fuse_read")";
        QTest::newRow("no programmer") << QByteArray(R"({"status": "1", "cmd": "ident"})")
                                       << R"(Command "Identification": prog: no programmer is chosen for the command)";
        QTest::newRow("no device") << prog + R"({"status": "1", "cmd": "ident"})"
                                   << R"(Command "Identification": the device is not set or not found)";
        QTest::newRow("programmer without it") << prog + R"({"status": "1", "cmd": "set_vpp", "vpp": "12.0"})"
                                               << R"(Command "Set Vpp": cmd: Emu does not carry out "set_vpp")";
        QTest::newRow("one fuse byte of two") << avr + R"({"status": "1", "cmd": "fuse_write", "data": "6A"})"
                                              << R"(Command "Fuse Bits Write": data: the length in bytes is 1, the chip has 2)";
        // What the executor would refuse only after the erase before it.
        const QByteArray erase = R"({"status": "1", "cmd": "erase"},)";
        QTest::newRow("no security register selected")
            << flash + erase + R"({"status": "1", "cmd": "sec_reg_erase", "data": "0"})"
            << R"(Command "Security Reg Erase": data: No security register of the device is selected (it has 3): )"
               R"(there is nothing to erase or compare)";
        QTest::newRow("a chip without security registers")
            << prog + R"({"status": "1", "cmd": "set_device", "device": "W25X10CL", "file": "25xx/w25x10cl.dev", )"
                      R"("clk": "1000000"},)" + erase + R"({"status": "1", "cmd": "sec_reg_test_empty", "data": "255"})"
            << R"(Command "Security Reg Test Empty": security_reg_size: the device describes no memory for the )"
               R"(command (0 bytes))";
    }
    void refusalsSayWhatIsLacking()
    {
        QFETCH(QByteArray, commands);
        QFETCH(QString, error);
        // A programmer type whose description lacks "set_vpp".
        QFile ini(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QFile noVpp(path(QStringLiteral("novpp.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly) && noVpp.open(QIODevice::WriteOnly));
        noVpp.write(ini.readAll().replace("set_vpp=1", "set_vpp=0"));
        noVpp.close();
        useProgrammer(EMU, fake->portName(), QStringLiteral("EmuType"), noVpp.fileName());
        QFile file(path(QStringLiteral("test.prj")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"configurations": [{"name": "c", "commands": [)" + commands + "]}]}");
        file.close();
        dataPrj.clear();
        QCOMPARE(TCtrlProject().load(file.fileName(), &dataPrj), 0);
        dataPrj.validateAll();
        QCOMPARE(refusedRun(dataPrj.cfgIdAt(0)), error);
        QVERIFY(fake->requests().isEmpty());
    }

    // A production run (set_prog, set_device, erase, file_write) whose
    // write cannot be done sends nothing, so the chip is not left erased;
    // nor does a run whose jump would move it into such a configuration. A
    // read that makes the file only after the write does not help the
    // write. The same of a file without data for the write's range, and of
    // a CRC over a range without data after the erase.
    void runsRefusedBeforeTheChipChanges_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("jump");
        QTest::addColumn<bool>("readBack");
        const QString name = cmdCode.name(QLatin1String(CMD_FILE_WRITE));
        const QString missing = path(QStringLiteral("missing.bin"));
        const QString refused = lang.text(checkmsg::REFUSED);
        const QString rows[][3] = {
            {FILE_FILE, missing, refused.arg(name, FILE_FILE, lang.text(fmtmsg::FILE_MISSING).arg(missing))},
            {FILE_COUNT, QStringLiteral("0"), refused.arg(name, FILE_COUNT, lang.text(execmsg::FILE_RANGE_EMPTY).arg(inFile(), QStringLiteral("00")))},
            {FILE_COUNT, QStringLiteral("abc"), lang.text(execmsg::NOT_A_NUMBER).arg(name, FILE_COUNT, QStringLiteral("abc"))},
            {FILE_ADDR_DEVICE, QStringLiteral("3000000"),
             refused.arg(name, FILE_ADDR_DEVICE,
                         lang.text(checkmsg::PAST_LAST).arg(QStringLiteral("3000000"), QStringLiteral("2DC6C0"),
                                                            QStringLiteral("1FFFFF")))},
        };
        const QString empty = path(QStringLiteral("empty.bin")), crc = cmdCode.name(QLatin1String(CMD_CALC_CRC));
        const QString noData[][4] = {
            {CMD_FILE_WRITE, FILE_FILE, empty,
             refused.arg(name, FILE_FILE, lang.text(execmsg::FILE_NO_DATA).arg(empty, QStringLiteral("00"), QStringLiteral("0F")))},
            {CMD_FILE_WRITE, FILE_ADDR_FILE, QStringLiteral("64"),
             refused.arg(name, FILE_FILE, lang.text(execmsg::FILE_NO_DATA).arg(inFile(), QStringLiteral("00"), QStringLiteral("0F")))},
            {CMD_CALC_CRC, CRC_FILE, empty, refused.arg(crc, CRC_FILE, lang.text(execmsg::CRC_NO_DATA).arg(empty))},
            {CMD_CALC_CRC, CRC_ADDR, QStringLiteral("64"),
             refused.arg(crc, CRC_FILE, lang.text(execmsg::CRC_PAST_DATA).arg(inFile(), QStringLiteral("40"), QStringLiteral("3F")))},
        };
        for (bool jump : {false, true}) {
            for (const auto &r : rows)
                QTest::addRow("%s%s", qPrintable(r[0]), jump ? " after a jump" : "")
                    << QString::fromLatin1(CMD_FILE_WRITE) << r[0] << r[1] << r[2] << jump << false;
            for (const auto &r : noData)
                QTest::addRow("%s %s, no data%s", qPrintable(r[0]), qPrintable(r[1]), jump ? " after a jump" : "")
                    << r[0] << r[1] << r[2] << r[3] << jump << false;
        }
        QTest::newRow("file read back after the write")
            << QString::fromLatin1(CMD_FILE_WRITE) << rows[0][0] << rows[0][1] << rows[0][2] << false << true;
    }
    void runsRefusedBeforeTheChipChanges()
    {
        QFETCH(QString, code);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, error);
        QFETCH(bool, jump);
        QFETCH(bool, readBack);
        fake->setChip(std::make_shared<Spi25Chip>(2 << 20, QByteArray::fromHex("EF4015")));
        const int start = dataPrj.addCfg(QStringLiteral("start"), QString());
        const int production = dataPrj.addCfg(QStringLiteral("production"), QString());
        IDevice *flash = configure(production, {"W25Q16JV", "25xx/w25q16jv.dev"});
        addCmd(production, CMD_ERASE, flash);
        IDevice *handler = code == QLatin1String(CMD_CALC_CRC) ? dataPrj.deviceByName(GROUP_TOOLS, QString()) : flash;
        TData write = soundValues(code, flash, production);
        write.insert(key, value);
        addCmd(production, code, handler, write);
        if (readBack)
            addCmd(production, CMD_FILE_READ, flash, write);
        if (jump) {
            addCmd(start, CMD_SET_PROG, nullptr, {{SET_PROG_PROG, EMU}});
            addCmd(start, CMD_JAMP, nullptr, {{JAMP_TO_CMD, dataPrj.cmdsOfCfg(production).first()->id()}});
        }
        storeAndLoad();
        QCOMPARE(refusedRun(jump ? start : production), error);
        QVector<quint8> codes;
        for (const FakeProgrammer::Request &r : fake->requests())
            codes << r.code;
        // Nor is the start's programmer opened: the run refuses before it
        // sends what stands ahead of the jump.
        QCOMPARE(codes, QVector<quint8>());
    }

    // A file that the configuration before the jump reads from the chip is
    // there for the one after it, for a write and a CRC: no refusal.
    void aFileReadBeforeAJumpIsMade()
    {
        const int start = dataPrj.addCfg(QStringLiteral("start"), QString());
        const int production = dataPrj.addCfg(QStringLiteral("production"), QString());
        IDevice *flash = configure(production, {"W25Q16JV", "25xx/w25q16jv.dev"});
        TData write = soundValues(CMD_FILE_WRITE, flash, production);
        write.insert(FILE_FILE, path(QStringLiteral("backup.bin")));
        addCmd(production, CMD_FILE_WRITE, flash, write);
        addCmd(production, CMD_CALC_CRC, dataPrj.deviceByName(GROUP_TOOLS, QString()), {{CRC_FILE, write.value(FILE_FILE)}});
        configure(start, {"W25Q16JV", "25xx/w25q16jv.dev"});
        addCmd(start, CMD_FILE_READ, flash, write);
        addCmd(start, CMD_JAMP, nullptr, {{JAMP_TO_CMD, dataPrj.cmdsOfCfg(production).first()->id()}});
        storeAndLoad();
        runcheck::Refusal refusal;
        QVERIFY2(!runcheck::findRefusal(dataPrj.cfgIdAt(0), refusal), qPrintable(refusal.text));
    }
};

QTEST_MAIN(TestCheckReasons)
#include "test_check_reasons.moc"
