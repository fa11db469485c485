// Damaged and refused values in project files, over the whole command
// catalogue. Every key the schema gives a command, damaged in a project
// file that the project-file reader loads, and every value a command's own
// check refuses, make the command invalid; it stays so, with the value, over
// a save and a reload; the refusal names the key and says why, and a run of
// such a configuration sends nothing at all. Every key that a command's
// check, summary, form or run reads has its entry. Whatever the program
// itself writes (the defaults and values of every command, through the
// writer) loads valid again.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevTools.h"
#include "devices/TDevProg.h"
#include "devices/TMemoryExec.h"
#include "devices/TDeviceList.h"
#include "devices/check_messages.h"
#include "devices/dev_lists.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "formats/format_messages.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/run_check.h"
#include "support/AvrChip.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/RunFixture.h"
#include "support/FakeProgrammer.h"
#include "support/FormHost.h"
#include "support/NumberedLanguage.h"
#include "support/Spi25Chip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMetaMethod>
#include <QSet>
#include <QTabWidget>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <mutex>

namespace {

const QString EMU = QStringLiteral("Emu");   // the programmer name
const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

struct Family
{
    const char *name;
    const char *description;
    TData setup;   // the device-level values of its "set_device"
};

const Family families[] = {
    {"24xx", "24xx/24c02.dev", {{SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, 0}}},
    {"25xx", "25xx/w25q16jv.dev", {{SET_CLK_CLK, 1000000}}},
    {"AVR8", "avr8/atmega328p.dev", {{SET_CLK_CLK, 250000}}},
    {"XMC1", "xmc1/xmc1100.dev", {}},
};
enum { F24, F25, FAVR, FXMC };

bool isFileCode(const QString &code)
{
    return code.contains(QLatin1String("file_")) || code.startsWith(QLatin1String("sec_reg_r"))
           || code.startsWith(QLatin1String("sec_reg_w")) || code.startsWith(QLatin1String("sec_reg_v"))
           || code == QLatin1String(CMD_SFDP_REG_READ);
}

// Values of the programmer and tool commands as their forms store them.
TData progOrToolValues(const QString &code)
{
    static const QHash<QString, TData> values = {
        {CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}, {SET_PROG_ALT_ENABLED, false}}},
        {CMD_SET_VCC, {{SUPPLY_VCC, QStringLiteral("3.3")}}},
        {CMD_SET_VPP, {{SUPPLY_VPP, QStringLiteral("12.0")}}},
        {CMD_SET_VICC, {{SUPPLY_VCC, QStringLiteral("5.0")}, {SUPPLY_ICC, QStringLiteral("50.000")}, {SUPPLY_OCP, 1}}},
        {CMD_SET_VIPP, {{SUPPLY_VPP, 12.5}, {SUPPLY_IPP, 2.5}, {SUPPLY_OCP, false}}},
        {CMD_RESET, {{RESET_DURATION, -400}}},
        {CMD_GENERATOR, {{GEN_FREQ, 100000}, {GEN_DUTY, 50}}},
        {CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HL--")}}},
        {CMD_AUTO_DETECT, {{AUTO_NAME, QStringLiteral("25xx SPI flash")}, {AUTO_ROUTE, QString()},
                           {AUTO_STOP, 1}, {AUTO_EXECUTE, 0}, {SET_CLK_CLK, 1000000}}},
        {CMD_DELAY, {{DELAY_VALUE, 100}}},
        {CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 10}, {COUNTER_DELTA, -1}}},
        {CMD_JAMP, {{JAMP_TO_CMD, 0}}},
        {CMD_EXECUTE, {{EXECUTE_CFG, 0}}},
        {CMD_CALC_CRC, {{CRC_FILE, QStringLiteral("a.bin")}, {CRC_FORMAT, QStringLiteral("bin")},
                        {CRC_ADDR, qint64(16)}, {CRC_COUNT, qint64(0)}, {CRC_FILL, qint64(255)}}},
        {CMD_PAUSE, {}},
        {CMD_STOP, {}},
        {CMD_PROCESS, {{PROCESS_FILE, QStringLiteral("true")}}},
    };
    return values.value(code);
}

// A damaged value of a key and the message the run refuses it with.
struct Damage
{
    int family;
    const char *code;
    const char *key;
    const char *text;
    int message;
    bool onForm = true;   // false: a check-box form, which shows no value as invalid
};

constexpr int NAN_ = execmsg::NOT_A_NUMBER;
constexpr int OUT = execmsg::NUMBER_OUTSIDE;

// Every numeric key of every command kind, each with a damaged text.
const Damage damages[] = {
    // 24xx: clock, chip-select address, fill, data and file commands.
    {F24, CMD_SET_DEVICE, SET_CLK_CLK, "4e5", NAN_},
    {F24, CMD_SET_DEVICE, SET_ADDR_ADDR, "abc", NAN_, false},
    {F24, CMD_SET_CLK, SET_CLK_CLK, "", NAN_},
    {F24, CMD_SET_ADDR, SET_ADDR_ADDR, "256", OUT, false},
    {F24, CMD_CHAR_WRITE, CHAR_ADDR_DEVICE, "0x10", NAN_},
    {F24, CMD_CHAR_WRITE, CHAR_COUNT, "12x", NAN_},
    {F24, CMD_CHAR_VERIFY, CHAR_FILL_CHAR, "256", OUT},
    {F24, CMD_DATA_WRITE, DATA_ADDR_DEVICE, " ", NAN_},
    {F24, CMD_FILE_WRITE, FILE_COUNT, "abc", NAN_},
    {F24, CMD_FILE_WRITE, FILE_ADDR_FILE, "1.5", NAN_},
    {F24, CMD_FILE_VERIFY, FILE_ADDR_DEVICE, "--1", NAN_},
    {F24, CMD_FILE_READ, FILE_COUNT, "99999999999999999999", OUT},
    // 25xx: blocks, security-register selection and files, SFDP.
    {F25, CMD_SET_DEVICE, SET_CLK_CLK, "-1", OUT},
    {F25, CMD_ERASE_BLOCKS, BLOCKS_SIZE, "64K", NAN_},
    {F25, CMD_ERASE_BLOCKS, BLOCKS_BEGIN, "", NAN_},
    {F25, CMD_TEST_EMPTY_BLOCKS, BLOCKS_COUNT, "1e3", NAN_},
    {F25, CMD_SEC_REG_ERASE, REG_DATA, "FF", NAN_, false},
    {F25, CMD_SEC_REG_TEST_EMPTY, REG_DATA, "300", OUT, false},
    {F25, CMD_SEC_REG_WRITE, FILE_ADDR_FILE, "abc", NAN_},
    {F25, CMD_SFDP_REG_READ, FILE_COUNT, "x", NAN_},
    {F25, CMD_DATA_READ, DATA_ADDR_DEVICE, "zero", NAN_},
    {F25, CMD_CHAR_VERIFY, CHAR_FILL_CHAR, "-1", OUT},
    // AVR8: flash and EEPROM areas, the reset pulse of "leave", the clock.
    {FAVR, CMD_SET_CLK, SET_CLK_CLK, "4294967296", OUT},
    {FAVR, CMD_FLASH_CHAR_WRITE, CHAR_FILL_CHAR, "300", OUT},
    {FAVR, CMD_FLASH_FILE_WRITE, FILE_COUNT, "abc", NAN_},
    {FAVR, CMD_FLASH_DATA_READ, DATA_ADDR_DEVICE, "0x0", NAN_},
    {FAVR, CMD_EEPROM_FILE_VERIFY, FILE_ADDR_DEVICE, "12x", NAN_},
    {FAVR, CMD_EEPROM_DATA_WRITE, DATA_ADDR_DEVICE, "", NAN_},
    {FAVR, CMD_EEPROM_CHAR_VERIFY, CHAR_COUNT, "1.0", NAN_},
    {FAVR, CMD_LEAVE, LEAVE_DURATION, "abc", NAN_},
    {FAVR, CMD_LEAVE, LEAVE_DURATION, "-40000", OUT},
    // XMC1: its flash commands.
    {FXMC, CMD_FLASH_FILE_VERIFY, FILE_COUNT, "abc", NAN_},
    {FXMC, CMD_FLASH_CHAR_WRITE, CHAR_FILL_CHAR, "", NAN_},
    // Programmer commands: voltages, currents, the pulse, the generator,
    // the flags of automatic detection.
    {F24, CMD_SET_VCC, SUPPLY_VCC, "abc", NAN_},
    {F24, CMD_SET_VPP, SUPPLY_VPP, "3,3", NAN_},
    {F24, CMD_SET_VICC, SUPPLY_VCC, "nan", NAN_},
    {F24, CMD_SET_VICC, SUPPLY_ICC, "inf", NAN_},
    {F24, CMD_SET_VIPP, SUPPLY_IPP, "", NAN_},
    {F24, CMD_SET_VIPP, SUPPLY_VPP, "1e400", NAN_},
    {F24, CMD_RESET, RESET_DURATION, "abc", NAN_},
    {F24, CMD_RESET, RESET_DURATION, "70000", OUT},
    {F24, CMD_GENERATOR, GEN_FREQ, "1e5", NAN_},
    {F24, CMD_GENERATOR, GEN_FREQ, "4294967296", OUT},
    {F24, CMD_GENERATOR, GEN_DUTY, "50%", NAN_},
    {F24, CMD_AUTO_DETECT, AUTO_STOP, "yes", NAN_},
    {F24, CMD_AUTO_DETECT, AUTO_EXECUTE, "", NAN_},
    {F24, CMD_AUTO_DETECT, SET_CLK_CLK, "fast", NAN_},
    // Tool commands: delay, counter, jump target, configuration, CRC range.
    {F24, CMD_DELAY, DELAY_VALUE, "abc", NAN_},
    {F24, CMD_DELAY, DELAY_VALUE, "2147483648", OUT},
    {F24, CMD_COUNTER, COUNTER_VALUE, "", NAN_},
    {F24, CMD_COUNTER, COUNTER_LIMIT, "12x", NAN_},
    {F24, CMD_COUNTER, COUNTER_DELTA, "1.5", NAN_},
    {F24, CMD_JAMP, JAMP_TO_CMD, "first", NAN_},
    {F24, CMD_EXECUTE, EXECUTE_CFG, "0x0", NAN_},
    {F24, CMD_CALC_CRC, CRC_ADDR, "abc", NAN_},
    {F24, CMD_CALC_CRC, CRC_COUNT, "1e3", NAN_},
    {F24, CMD_CALC_CRC, CRC_FILL, "256", OUT},
};

// A project file as a user or another program may have written it: every
// value a JSON text.
using Commands = QVector<TData>;
bool writeProjectFile(const QString &path, const QVector<Commands> &configurations)
{
    QJsonArray cfgs;
    for (const Commands &commands : configurations) {
        QJsonArray cmds;
        for (const TData &c : commands) {
            QJsonObject o;
            for (auto it = c.begin(); it != c.end(); ++it)
                o.insert(it.key(), it.value().toString());
            cmds.append(o);
        }
        cfgs.append(QJsonObject{{PRJ_NAME, QStringLiteral("Config")}, {PRJ_DESCRIPTION, QString()}, {PRJ_COMMANDS, cmds}});
    }
    const QJsonObject root{{PRJ_VERSION, 1}, {PRJ_CONFIGURATIONS, cfgs}};
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && f.write(QJsonDocument(root).toJson()) > 0;
}

// Values that read as their kind but that the command's own check refuses
// (past the chip, a target that is not there, beyond what the programmer
// gives), by code. Every code a family offers has its row; a row without a
// key: the schema's damaged values are all that can be wrong with it.
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
    // One byte where the chip has three, and two where it has one.
    {{CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY, CMD_FUSE_WRITE, CMD_FUSE_VERIFY}, REG_DATA, "00"},
    {{CMD_LOCK_WRITE, CMD_LOCK_VERIFY}, REG_DATA, "0000"},
    {{CMD_SET_CLK}, SET_CLK_CLK, "50000000"},
    {{CMD_SET_ADDR}, SET_ADDR_ADDR, "8"},
    {{CMD_DELAY}, DELAY_VALUE, "-1"},
    {{CMD_COUNTER}, COUNTER_LIMIT, "-5"},
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
      CMD_OSCCAL_READ, CMD_PAUSE, CMD_STOP, CMD_BMI_READ, CMD_BMI_WRITE, CMD_BMI_VERIFY, CMD_SET_PROG,
      CMD_LEAVE, CMD_SET_IO, CMD_CALC_CRC, CMD_PROCESS, CMD_EXECUTE, CMD_JAMP},
     nullptr, nullptr},
};

TData merged(TData record, const TData &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        record.insert(it.key(), it.value());
    return record;
}

const Bad *badOf(const QString &code)
{
    for (const Bad &b : BAD)
        for (const char *c : b.codes)
            if (code == QLatin1String(c))
                return &b;
    return nullptr;
}

QString T(int number)
{
    return NumberedLanguage::textWithArguments(number);
}

// The form shows a value as invalid: an edit on show in the warning colour,
// or a list box without current item, on any of its tabs.
bool showsInvalidHere(QWidget *form)
{
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(form))
            continue;
        if (auto *line = qobject_cast<QLineEdit *>(w))
            if (!line->isReadOnly() && line->palette().color(QPalette::Base) == warningColor())
                return true;
        if (auto *box = qobject_cast<QComboBox *>(w))
            if (box->currentIndex() < 0)
                return true;
    }
    return false;
}

bool showsInvalid(QWidget *form)
{
    const QList<QTabWidget *> tabs = form->findChildren<QTabWidget *>();
    if (tabs.isEmpty())
        return showsInvalidHere(form);
    for (QTabWidget *t : tabs)
        for (int i = 0; i < t->count(); ++i) {
            t->setCurrentIndex(i);
            if (showsInvalidHere(form))
                return true;
        }
    return false;
}


// Texts the program never writes for a value of the kind (for a reference
// also ids no record has: one the records made after the load would reach,
// and -1); none for a key that takes any text.
QStringList damagedTexts(schema::Kind kind)
{
    switch (kind) {
    case schema::Kind::Integer:
    case schema::Kind::Real: return {"abc"};
    case schema::Kind::Flag: return {"flase"};
    case schema::Kind::Format: return {"srec"};
    case schema::Kind::Algorithm: return {"CRC-0/NONE"};
    case schema::Kind::Programmer: return {"NoSuchProgrammer"};
    case schema::Kind::Name:
    case schema::Kind::File:
    case schema::Kind::CommandLine: return {""};
    case schema::Kind::Hex: return {"0G"};
    case schema::Kind::Pins: return {"?"};
    case schema::Kind::Configuration:
    case schema::Kind::Command: return {"abc", "7", "-1"};
    case schema::Kind::Routes: return {"abc", "EF4015=abc", "EF4015=7", "EF4015=-1"};
    case schema::Kind::Text: break;
    }
    return {};
}

// (command code, key) of every read of a command record, from any thread
// (a standard mutex, which the race checker sees).
std::mutex readsMutex;
QSet<QPair<QString, QString>> reads;

void recordRead(const TData &data, const QString &key)
{
    const auto code = data.constFind(QLatin1String(REC_CMD));
    if (code == data.constEnd())
        return;
    const std::lock_guard<std::mutex> locker(readsMutex);
    reads.insert({code.value().toString(), key});
}

// Has the form and its own parts emit as their edits do: the slots that
// take a change or set the default (none opens a dialog).
void makeEmit(QWidget *form)
{
    QList<QWidget *> widgets = form->findChildren<QWidget *>();
    widgets.prepend(form);
    for (QWidget *w : qAsConst(widgets)) {
        const QMetaObject *meta = w->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            const QByteArray name = m.name();
            if (m.methodType() == QMetaMethod::Slot && m.parameterCount() == 0
                && (name.startsWith("slotChange") || name == "slotSetDefault" || name == "editingFinished"))
                m.invoke(w, Qt::DirectConnection);
        }
    }
}
} // namespace

Q_DECLARE_METATYPE(QVector<Commands>)

class TestDamagedNumbers : public QObject, RunFixture
{
    Q_OBJECT

    static TData record(const char *code, const TData &values = TData())
    {
        TData data{{REC_STATUS, QStringLiteral("1")}, {REC_CMD, QLatin1String(code)}};
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        return data;
    }

    static TData setDeviceRecord(const Family &family)
    {
        TData values = family.setup;
        values.insert(SET_DEVICE_DEVICE, QLatin1String(family.name));
        values.insert(SET_DEVICE_FILE, DEVICES + QLatin1Char('/') + QLatin1String(family.description));
        return record(CMD_SET_DEVICE, values);
    }

    // The family's device object, made by validating a "set_device".
    IDevice *deviceOf(const Family &family)
    {
        newProject();
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        TData setProg = record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        setProg.insert(REC_ID_CFG, cfg);
        dataPrj.addCmd(setProg);
        TData setDevice = setDeviceRecord(family);
        setDevice.insert(REC_ID_CFG, cfg);
        const int id = dataPrj.addCmd(setDevice);
        dataPrj.validateAll();
        return dataPrj.cmdById(id)->device();
    }

    // A sound record of a command: the device's defaults and the values its
    // forms would store; programmer and tool commands by their table.
    TData soundRecord(const Family &family, const QString &code)
    {
        if (code == QLatin1String(CMD_SET_DEVICE))
            return setDeviceRecord(family);
        TData values = progOrToolValues(code);
        if (TDevTools::hasCommand(code)) {
            TData data{{REC_CMD, code}};
            TDevTools(GROUP_TOOLS, TData()).initCmdParam(data);
            for (auto it = values.begin(); it != values.end(); ++it)
                data.insert(it.key(), it.value());
            return record(qPrintable(code), data);
        }
        if (!values.isEmpty())
            return record(qPrintable(code), values);
        IDevice *device = deviceOf(family);
        if (!device)
            return TData();
        TData data{{REC_CMD, code}, {REC_ID_CMD, -1}};
        device->initCmdParam(data);
        data.remove(REC_ID_CMD);
        if (isFileCode(code))
            data.insert(FILE_FILE, QStringLiteral("a.hex"));
        if (code.contains(QLatin1String("data_")))
            data.insert(DATA_DATA, QStringLiteral("00 11 22 33"));
        if (code == QLatin1String(CMD_SET_CLK))
            data.insert(SET_CLK_CLK, family.setup.value(SET_CLK_CLK));
        if (code == QLatin1String(CMD_LEAVE) && device->isReset()) {
            data.insert(LEAVE_RESET, true);
            data.insert(LEAVE_DURATION, -400);
        }
        return record(qPrintable(code), data);
    }

    // set_prog, the family's set_device (or the "set_device" given first),
    // then the commands; loaded through the project-file reader and
    // validated.
    bool load(const Family &family, QVector<TData> commands)
    {
        const auto codeAt = [&commands](int i) {
            return i < commands.size() ? commands.at(i).value(REC_CMD).toString() : QString();
        };
        QVector<TData> all = commands;
        if (codeAt(0) != QLatin1String(CMD_SET_PROG))
            all.prepend(record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}}));
        if (all.size() < 2 || all.at(1).value(REC_CMD).toString() != QLatin1String(CMD_SET_DEVICE))
            all.insert(1, setDeviceRecord(family));
        return loadConfigs({all});
    }
    // The configurations as they stand, through the project-file reader.
    bool loadConfigs(const QVector<Commands> &configurations)
    {
        const QString file = path(QStringLiteral("damaged.prj"));
        return writeProjectFile(file, configurations) && loadFile(file);
    }
    // The project through the program's writer and back.
    bool storeAndLoad()
    {
        const QString file = path(QStringLiteral("saved.prj"));
        return TCtrlProject().save(file, &dataPrj) && loadFile(file);
    }
    bool loadFile(const QString &file)
    {
        dataPrj.clear();
        if (TCtrlProject().load(file, &dataPrj) != 0)
            return false;
        dataPrj.validateAll();
        return true;
    }

    // The codes a family offers: its chip's, and the programmer's and the
    // tools' beside the 24xx (beside the others the device-level ones).
    QStringList offered(int family)
    {
        QStringList codes = deviceOf(families[family])->cmdList();
        codes += family == F24 ? TDevTools::cmdCodeList() + TDevProg::cmdCodeList()
                               : QStringList{CMD_SET_DEVICE, CMD_AUTO_DETECT, CMD_SET_IO};
        codes.removeAll(QLatin1String(CMD_SEPARATOR));
        codes.removeDuplicates();
        return codes;
    }

    // A file command of the 25xx over 16 bytes of a BIN file.
    TData fileRecord(const char *code, const QString &file)
    {
        return merged(soundRecord(families[F25], QLatin1String(code)),
                      {{FILE_FILE, file}, {FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_DEVICE, 0},
                       {FILE_ADDR_FILE, 0}, {FILE_COUNT, 16}});
    }

    TDataCmd *lastCmd() const { return dataPrj.cmdList().last(); }

    // Runs the project's one configuration; the wire as hex frames.
    QStringList run(bool ok)
    {
        bool ended = false;
        QStringList frames = runAny(ended);
        if (rx->statuses.size() == 1 && ended != ok)
            return {QStringLiteral("run ended %1").arg(ok ? "failed" : "well")};
        return frames;
    }
    QStringList runAny(bool &ok)
    {
        fake->clearRequests();
        rx.reset(new Receiver);
        // A run that pauses, or starts another: the operator, or the run
        // started, makes made.bin meanwhile.
        rx->onRequest = [this] {
            QFile made(path(QStringLiteral("made.bin")));
            QVERIFY(made.open(QIODevice::WriteOnly) && made.write(QByteArray(16, 'x')) == 16);
        };
        const int cfg = dataPrj.cfgIdAt(0);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        if (!TExec::waitForThread(thread, 20000))
            return {QStringLiteral("run did not end")};
        for (int i = 0; i < 1000 && rx->destroyed != QVector<int>{cfg}; ++i)
            QTest::qWait(10);
        if (rx->statuses.size() != 1 || rx->statuses.first().first != cfg)
            return {QStringLiteral("run did not report")};
        ok = rx->statuses.first().second;
        QStringList frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            frames << QString::fromLatin1((QByteArray(1, char(r.code)) + r.payload).toHex());
        return frames;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        QVERIFY(NumberedLanguage::loadWithArguments());
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
        QFile(path(QStringLiteral("a.bin"))).open(QIODevice::WriteOnly);
        QFile in(path(QStringLiteral("in.bin")));
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write(QByteArray(64, 'x')) == 64);
        // The program folder, with the list of the CRC algorithms offered.
        setAppFileLocation(dir.path());
        QFile crcList(path(QStringLiteral("crc.lst")));
        QVERIFY(crcList.open(QIODevice::WriteOnly));
        crcList.write("CRC-32=1\n");
    }

    void init()
    {
        QVERIFY2(startProgrammerAs(EMU), qPrintable(fake->errorString()));
    }

    void cleanup() { endRun(); }

    // The same command loads valid with its sound value and invalid with
    // the damaged one; the reason names the key and the text.
    void damagedNumberMakesItsCommandInvalid_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(sizeof(damages) / sizeof(damages[0])); ++i) {
            const Damage &d = damages[i];
            QTest::addRow("%s %s %s=\"%s\"", families[d.family].name, d.code, d.key, d.text) << i;
        }
    }
    void damagedNumberMakesItsCommandInvalid()
    {
        QFETCH(int, row);
        const Damage &d = damages[row];
        const Family &family = families[d.family];
        TData sound = soundRecord(family, QLatin1String(d.code));
        QVERIFY(!sound.isEmpty());
        QVERIFY(sound.contains(QLatin1String(d.key)));

        QVERIFY(load(family, {sound}));
        QVERIFY(lastCmd()->validDev());
        QVERIFY(lastCmd()->validParam());

        TData damaged = sound;
        damaged.insert(QLatin1String(d.key), QLatin1String(d.text));
        QVERIFY(load(family, {damaged}));
        const TDataCmd *cmd = lastCmd();
        QCOMPARE(cmd->cmd(), QLatin1String(d.code));
        QVERIFY(cmd->validDev());
        QVERIFY(!cmd->validParam());
        QCOMPARE(schema::faultyKeys(cmd->toHash()), QStringList{QLatin1String(d.key)});
        const QString name = cmd->handler()->cmdName(cmd->toHash());
        // The field of a number beyond it follows the key and the number.
        const QString text = schema::faultText(name, cmd->toHash());
        if (d.message == OUT)
            QVERIFY2(text.startsWith(QStringLiteral("msg %1 [%2] [%3] [%4] [").arg(OUT).arg(name, d.key, d.text)),
                     qPrintable(text));
        else
            QCOMPARE(text, T(NAN_).arg(name, QLatin1String(d.key), QLatin1String(d.text)));
        // The rest of the configuration is untouched by it.
        QVERIFY(dataPrj.cmdList().first()->validParam());
    }

    // A run of the damaged configuration sends nothing, not even what the
    // commands before the damaged one would send, and fails naming the key
    // and the text.
    void runSendsNothingOfADamagedCommand_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(sizeof(damages) / sizeof(damages[0])); ++i) {
            const Damage &d = damages[i];
            // "auto_detect" needs a routed chip; the loads above cover it.
            if (d.code != QLatin1String(CMD_AUTO_DETECT))
                QTest::addRow("%s %s %s=\"%s\"", families[d.family].name, d.code, d.key, d.text) << i;
        }
    }
    void runSendsNothingOfADamagedCommand()
    {
        QFETCH(int, row);
        const Damage &d = damages[row];
        const Family &family = families[d.family];
        TData damaged = soundRecord(family, QLatin1String(d.code));
        damaged.insert(QLatin1String(d.key), QLatin1String(d.text));
        QVERIFY(load(family, {damaged}));
        QCOMPARE(run(false), QStringList());
        const TDataCmd *cmd = lastCmd();
        const QString name = cmd->handler()->cmdName(cmd->toHash());
        QCOMPARE(failure(), schema::faultText(name, cmd->toHash()));
        QVERIFY(failure().startsWith(QStringLiteral("msg %1 [%2] [%3]").arg(d.message).arg(name, d.key)));
    }

    // Every command of every family and group, with the values the program
    // stores (typed, as forms and defaults give them), goes through the
    // project-file writer and reader and comes back as valid as it was,
    // with no damaged number.
    void whatTheProgramWritesLoadsValid()
    {
        const QStringList groups = TDevTools::cmdCodeList()
                                   + QStringList{CMD_SET_VCC, CMD_SET_VPP, CMD_SET_VICC, CMD_SET_VIPP, CMD_RESET,
                                                 CMD_GENERATOR, CMD_SET_IO, CMD_AUTO_DETECT};
        for (const Family &family : families) {
            IDevice *device = deviceOf(family);
            QVERIFY(device);
            QStringList codes = device->cmdList() + groups;
            codes.removeAll(QLatin1String(CMD_SEPARATOR));
            QVector<TData> records;
            for (const QString &code : codes)
                records << soundRecord(family, code);

            newProject();
            const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
            QVector<int> ids;
            for (TData r : QVector<TData>{record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}}), setDeviceRecord(family)}
                               + records) {
                r.insert(REC_ID_CFG, cfg);
                ids << dataPrj.addCmd(r);
            }
            dataPrj.validateAll();
            QVector<bool> valid;
            for (int id : ids) {
                const TDataCmd *c = dataPrj.cmdById(id);
                valid << c->validParam();
                // XMC1's "test_empty" and boot-mode commands have no rule
                // that passes in the driver the family shares with AVR8.
                const bool noRule = family.name == QLatin1String("XMC1")
                                    && (c->cmd().startsWith(QLatin1String("bmi_"))
                                        || c->cmd() == QLatin1String(CMD_TEST_EMPTY));
                if (!noRule)
                    QVERIFY2(c->validParam(), qPrintable(QStringLiteral("%1 %2").arg(family.name, c->cmd())));
            }

            const QString file = path(QStringLiteral("round.prj"));
            QVERIFY(TCtrlProject().save(file, &dataPrj));
            dataPrj.clear();
            QCOMPARE(TCtrlProject().load(file, &dataPrj), 0);
            dataPrj.validateAll();
            const QList<TDataCmd *> loaded = dataPrj.cmdList();
            QCOMPARE(loaded.size(), ids.size());
            for (int i = 0; i < loaded.size(); ++i) {
                const QString what = QStringLiteral("%1 %2").arg(family.name, loaded.at(i)->cmd());
                QVERIFY2(schema::faultyKeys(loaded.at(i)->toHash()).isEmpty(), qPrintable(what));
                QVERIFY2(loaded.at(i)->validParam() == valid.at(i), qPrintable(what));
            }
        }
    }

    // The command's form shows the damaged value as invalid where the sound
    // one shows nothing so; the value stays stored as it was.
    void damagedNumberShowsOnTheForm_data() { damagedNumberMakesItsCommandInvalid_data(); }
    void damagedNumberShowsOnTheForm()
    {
        QFETCH(int, row);
        const Damage &d = damages[row];
        if (!d.onForm)
            QSKIP("a check-box form");
        const Family &family = families[d.family];
        TData sound = soundRecord(family, QLatin1String(d.code));
        FormHost host;
        QVERIFY(load(family, {sound}));
        QWidget *form = host.select(lastCmd()->id());
        QVERIFY(form);
        form->show();
        QVERIFY(!showsInvalid(form));

        TData damaged = sound;
        damaged.insert(QLatin1String(d.key), QLatin1String(d.text));
        QVERIFY(load(family, {damaged}));
        form = host.select(lastCmd()->id());
        QVERIFY(form);
        form->show();
        QVERIFY(showsInvalid(form));
        QCOMPARE(lastCmd()->params().value(QLatin1String(d.key)).toString(), QLatin1String(d.text));
        host.clear();
    }


    // ---- The schema over the command catalogue -------------------------------

    // The family that offers a code first (the programmer and tool
    // commands: the first whose sound record holds the key).
    int familyFor(const QString &code, const QString &key)
    {
        if (TDevTools::hasCommand(code) || TDevProg::hasCommand(code)) {
            for (int f = 0; f < int(sizeof(families) / sizeof(families[0])); ++f)
                if (soundRecord(families[f], code).contains(key))
                    return f;
            return F24;
        }
        for (int f = 0; f < int(sizeof(families) / sizeof(families[0])); ++f) {
            IDevice *device = deviceOf(families[f]);
            if (device && device->hasCmd(code))
                return f;
        }
        return -1;
    }

    // Every code of the catalogue has its entry, and the table no other;
    // every code a family offers has its row of values its check refuses.
    void everyCodeOfTheCatalogueHasItsEntry()
    {
        QStringList codes = cmdCode.codes();
        QCOMPARE(codes.size(), cmdCode.count());
        for (const QString &code : qAsConst(codes)) {
            QVector<schema::Entry> entries;
            QVERIFY2(schema::entriesOf(code, entries), qPrintable(code));
            QVERIFY2(familyFor(code, QLatin1String(REC_STATUS)) >= 0, qPrintable(code));
            QCOMPARE(QLatin1String(entries.first().key), QLatin1String(REC_STATUS));
        }
        QStringList table = schema::codes();
        table.sort();
        QCOMPARE(table, codes);
        for (int f = 0; f < int(std::size(families)); ++f)
            for (const QString &code : offered(f))
                QVERIFY2(badOf(code), qPrintable(code));
    }

    // For every code of the catalogue, every key the schema gives it with a
    // value the program never writes there (damaged), and the value of its
    // row that its check refuses, on every family that offers the code: the
    // command is invalid, and stays so with the value over a save and a
    // reload; the refusal names the key and why; a run sends nothing and
    // fails with that refusal, the command its one log line. A reference to
    // no record is damaged too, and records made later leave it so.
    void aBadValueIsRefusedNamingItsKey_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("damaged");
        const auto row = [](int f, const QString &code, const char *key, const char *text, bool damaged) {
            QTest::addRow("%s %s %s=\"%s\"", families[f].name, qPrintable(code), key, text)
                << f << code << QString::fromLatin1(key) << QString::fromLatin1(text) << damaged;
        };
        for (const QString &code : cmdCode.codes()) {
            QVector<schema::Entry> entries;
            schema::entriesOf(code, entries);
            for (const schema::Entry &e : qAsConst(entries))
                for (const QString &text : damagedTexts(e.kind))
                    row(familyFor(code, QLatin1String(e.key)), code, e.key, qPrintable(text), true);
        }
        for (int f = 0; f < int(std::size(families)); ++f)
            for (const QString &code : offered(f))
                if (const Bad *bad = badOf(code); bad && bad->key)
                    row(f, code, bad->key, bad->value, false);
    }
    void aBadValueIsRefusedNamingItsKey()
    {
        QFETCH(int, family);
        QFETCH(QString, code);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, damaged);
        const Family &f = families[family];
        const auto tested = [&] { return code == QLatin1String(CMD_SET_PROG) ? dataPrj.cmdList().first() : lastCmd(); };
        TData record = soundRecord(f, code);
        QVERIFY(load(f, {record}));
        // XMC1's boot-mode commands have no rule that passes.
        QVERIFY(tested()->validParam() || code.startsWith(QLatin1String("bmi_")));

        record.insert(key, text);
        if (code == QLatin1String(CMD_SET_DEVICE) && !damaged)   // a device with no description
            record.insert(SET_DEVICE_FILE, QStringLiteral("none.dev"));
        QVERIFY(load(f, {record}));
        QVERIFY(storeAndLoad());
        const TDataCmd *cmd = tested();
        const TData stored = cmd->toHash();
        QCOMPARE(cmd->cmd(), code);
        QVERIFY(cmd->status());
        QVERIFY(!cmd->validParam());
        if (damaged)   // a reference to nothing is written as such
            QCOMPARE(stored.value(key).toString(), text);
        QCOMPARE(schema::faultyKeys(stored), damaged ? QStringList{key} : QStringList());
        const TCheck check = cmd->handler()->paramCheck(stored);
        QCOMPARE(check.key(), key);
        const QString refusal = cmd->handler()->refusalText(stored);
        QVERIFY2(!check.reason().isEmpty() && refusal.contains(check.reason()) && refusal.contains(key),
                 qPrintable(refusal));

        QCOMPARE(run(false), QStringList());
        QCOMPARE(failure(), refusal);
        QCOMPARE(rx->ofKind(EXEC_CMD).size(), 1);

        // Records made later never come to be what a reference to nothing names.
        for (int i = 0; i < 8; ++i)
            dataPrj.addCmd({{REC_ID_CFG, dataPrj.addCfg(QStringLiteral("later"), QString())}, {REC_CMD, CMD_PAUSE}});
        dataPrj.validateAll();
        QVERIFY(!cmd->validParam());
    }

    // Commands refused for what the commands before them choose, for what
    // they are, or for a file they cannot use, as a project file gives
    // them: the banner names the command (by its code where the catalogue
    // has no name) and what is lacking, and nothing is sent. A production
    // run (set_prog, set_device, erase, then the write or CRC) so leaves
    // the chip as it was, and so does a run whose jump would move it into
    // that configuration; a read that makes the file only after the write
    // does not help it, nor one where no path of the run leads; a read into
    // a missing folder is refused. Where something that may run before could
    // make the file or folder (a read on any path there, a pause, a run
    // started, a process; names compared cleaned), the run completes.
    void refusedBeforeAnythingIsSentOrCompleted_data()
    {
        QTest::addColumn<QVector<Commands>>("configurations");
        QTest::addColumn<QString>("error");
        const TData prog = record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}}), flash = setDeviceRecord(families[F25]);
        const TData erase = record(CMD_ERASE);
        const auto refused = [](const char *code, const char *key, const QString &reason) {
            const QString name = cmdCode.name(QLatin1String(code));
            return T(checkmsg::REFUSED).arg(name.isEmpty() ? QLatin1String(code) : name, QLatin1String(key), reason);
        };
        const auto notOffered = [&](const char *code, const char *by) {
            return refused(code, REC_CMD, T(checkmsg::NOT_OFFERED).arg(QLatin1String(code), QLatin1String(by)));
        };
        const auto one = [](const Commands &commands) { return QVector<Commands>{commands}; };
        QTest::newRow("separator row") << one({prog, flash, record(CMD_SEPARATOR)}) << notOffered(CMD_SEPARATOR, GROUP_TOOLS);
        QTest::newRow("code of another family") << one({prog, flash, record(CMD_FUSE_READ)})
                                                << notOffered(CMD_FUSE_READ, families[F25].name);
        QTest::newRow("programmer without it") << one({prog, record(CMD_SET_VPP, {{SUPPLY_VPP, "12.0"}})})
                                               << notOffered(CMD_SET_VPP, "Emu");
        // What the executor would refuse only after the erase before it.
        QTest::newRow("a chip without security registers")
            << one({prog, setDeviceRecord({"W25X10CL", "25xx/w25x10cl.dev", {{SET_CLK_CLK, 1000000}}}), erase,
                    record(CMD_SEC_REG_TEST_EMPTY, {{REG_DATA, "255"}})})
            << refused(CMD_SEC_REG_TEST_EMPTY, DEV_SECURITY_REG_SIZE, T(checkmsg::NO_MEMORY).arg(0));

        const QString missing = path(QStringLiteral("missing.bin")), empty = path(QStringLiteral("a.bin"));
        const QString in = path(QStringLiteral("in.bin"));
        const TData crc = soundRecord(families[F25], QLatin1String(CMD_CALC_CRC));
        const struct
        {
            const char *row;
            TData command;
            QString error;
        } files[] = {
            {"missing file", fileRecord(CMD_FILE_WRITE, missing),
             refused(CMD_FILE_WRITE, FILE_FILE, T(fmtmsg::FILE_MISSING).arg(missing))},
            {"file without data", fileRecord(CMD_FILE_WRITE, empty),
             refused(CMD_FILE_WRITE, FILE_FILE, T(execmsg::FILE_NO_DATA).arg(empty, "00", "0F"))},
            {"CRC of a file without data", merged(crc, {{CRC_FILE, empty}, {CRC_ADDR, 0}}),
             refused(CMD_CALC_CRC, CRC_FILE, T(execmsg::CRC_NO_DATA).arg(empty))},
            {"CRC past the file's data", merged(crc, {{CRC_FILE, in}, {CRC_ADDR, 64}}),
             refused(CMD_CALC_CRC, CRC_FILE, T(execmsg::CRC_PAST_DATA).arg(in, "40", "3F"))},
        };
        // The jump's target is the command's position in the file.
        const Commands jump{prog, record(CMD_JAMP, {{JAMP_TO_CMD, 2}})};
        for (const auto &f : files) {
            const Commands production{prog, flash, erase, f.command};
            QTest::addRow("%s", f.row) << one(production) << f.error;
            QTest::addRow("%s, after a jump", f.row) << QVector<Commands>{jump, production} << f.error;
        }
        QTest::newRow("file read back after the write")
            << one({prog, flash, erase, files[0].command, merged(files[0].command, {{REC_CMD, CMD_FILE_READ}})})
            << files[0].error;

        const QString made = path(QStringLiteral("made.bin")), folder = path(QStringLiteral("made"));
        const QString inFolder = folder + QStringLiteral("/copy.bin");
        const TData read = fileRecord(CMD_FILE_READ, made), write = fileRecord(CMD_FILE_WRITE, made);
        const auto jampTo = [&](int at) { return record(CMD_JAMP, {{JAMP_TO_CMD, at}}); };
        QTest::newRow("read where a jump leads, then back to the write")
            << QVector<Commands>{{prog, flash, jampTo(4), write}, {prog, flash, read, jampTo(3)}} << QString();
        QTest::newRow("read where no path of the run leads")
            << QVector<Commands>{{prog, flash, erase, write}, {prog, flash, read, jampTo(3)}}
            << refused(CMD_FILE_WRITE, FILE_FILE, T(fmtmsg::FILE_MISSING).arg(made));
        // Only what may run before the write's first visit counts: a loop
        // back to it lends nothing to it, a route, or a loop from a read
        // before it, does.
        const QString missingMade = refused(CMD_FILE_WRITE, FILE_FILE, T(fmtmsg::FILE_MISSING).arg(made));
        const TData counter = record(CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 2}, {COUNTER_DELTA, 1}});
        QTest::newRow("write, then a jump to the read and back")
            << QVector<Commands>{{prog, flash, erase, write, jampTo(5)}, {prog, flash, read, jampTo(3)}} << missingMade;
        QTest::newRow("write, read, back to the write") << one({prog, flash, erase, write, read, jampTo(3)}) << missingMade;
        QTest::newRow("write, read, a counter, back to the write")
            << one({prog, flash, erase, write, read, counter, jampTo(3)}) << missingMade;
        QTest::newRow("read, write, a counter, back to the read")
            << one({prog, flash, read, write, counter, jampTo(2)}) << QString();
        const TData detect = merged(soundRecord(families[F25], QLatin1String(CMD_AUTO_DETECT)),
                                    {{AUTO_ROUTE, QStringLiteral("EF4015=1")}});
        QTest::newRow("read where a route leads, then back to the write")
            << QVector<Commands>{{prog, flash, detect, write}, {prog, flash, read, jampTo(3)}} << QString();
        QTest::newRow("read through a link to the folder")
            << one({prog, flash, fileRecord(CMD_FILE_READ, path(QStringLiteral("alias/copy.bin"))),
                    fileRecord(CMD_FILE_WRITE, QStringLiteral("copy.bin"))})
            << QString();
        const QString kernel = QStringLiteral("/proc/x.bin");
        QTest::newRow("read into a folder that takes no files, even of the owner")
            << one({prog, flash, erase, fileRecord(CMD_FILE_READ, kernel)})
            << refused(CMD_FILE_READ, FILE_FILE,
                       T(fmtmsg::FILE_OPEN).arg(kernel, T(MSG_SAVE_FOLDER_LOCKED).arg(QStringLiteral("/proc"))));
        QTest::newRow("made by the operator in a pause") << one({prog, flash, record(CMD_PAUSE), write}) << QString();
        QTest::newRow("read by a run it starts")
            << QVector<Commands>{{prog, flash, record(CMD_EXECUTE, {{EXECUTE_CFG, 1}}), write}, {prog, flash, read}}
            << QString();
        QTest::newRow("read under another name")
            << one({prog, flash, fileRecord(CMD_FILE_READ, dir.path() + QStringLiteral("/./copy.bin")),
                    fileRecord(CMD_FILE_WRITE, QStringLiteral("copy.bin"))})
            << QString();
        QTest::newRow("folder made by a process")
            << one({prog, flash, record(CMD_PROCESS, {{PROCESS_FILE, QStringLiteral("mkdir \"%1\"").arg(folder)}}),
                    fileRecord(CMD_FILE_READ, inFolder)})
            << QString();
        for (int f : {F24, F25, FAVR})
            for (const QString &code : offered(f))
                if (TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Makes)
                    QTest::addRow("%s %s into a missing folder", families[f].name, qPrintable(code))
                        << one({prog, setDeviceRecord(families[f]),
                                merged(soundRecord(families[f], code), {{FILE_FILE, inFolder}})})
                        << refused(qPrintable(code), FILE_FILE,
                                   T(fmtmsg::FILE_OPEN).arg(inFolder, T(MSG_SAVE_NO_FOLDER).arg(folder)));
    }
    void refusedBeforeAnythingIsSentOrCompleted()
    {
        QFETCH(QVector<Commands>, configurations);
        QFETCH(QString, error);
        // A programmer type whose description lacks "set_vpp".
        QFile ini(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QFile noVpp(path(QStringLiteral("novpp.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly) && noVpp.open(QIODevice::WriteOnly));
        noVpp.write(ini.readAll().replace("set_vpp=1", "set_vpp=0"));
        noVpp.close();
        useProgrammer(EMU, fake->portName(), QStringLiteral("EmuType"), noVpp.fileName());
        fake->setChip(std::make_shared<Spi25Chip>(1 << 21, QByteArray::fromHex("EF4015")));
        for (const char *name : {"made.bin", "copy.bin"})
            QFile::remove(path(QLatin1String(name)));
        QDir(path(QStringLiteral("made"))).removeRecursively();
        QFile::link(dir.path(), path(QStringLiteral("alias")));
        QVERIFY(loadConfigs(configurations));
        const QStringList frames = run(error.isEmpty());
        if (error.isEmpty())
            QCOMPARE(rx->texts(EXEC_SUCCESS), QStringList{T(execmsg::COMPLETED)});
        else
            QCOMPARE(frames, QStringList());
        QCOMPARE(failure(), error);
    }

    // A file that the configuration before the jump reads from the chip is
    // there for the one after it, for a write and a CRC: no refusal.
    void aFileReadBeforeAJumpIsMade()
    {
        const QString backup = path(QStringLiteral("backup.bin"));
        const TData prog = record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}}), flash = setDeviceRecord(families[F25]);
        const TData crc = merged(soundRecord(families[F25], QLatin1String(CMD_CALC_CRC)), {{CRC_FILE, backup}, {CRC_ADDR, 0}});
        QVERIFY(loadConfigs({{prog, flash, fileRecord(CMD_FILE_READ, backup), record(CMD_JAMP, {{JAMP_TO_CMD, 4}})},
                             {prog, flash, fileRecord(CMD_FILE_WRITE, backup), crc}}));
        runcheck::Refusal refusal;
        QVERIFY2(!runcheck::findRefusal(dataPrj.cfgIdAt(0), -1, refusal), qPrintable(refusal.text));
    }

    // The checker a run keeps from move to move asks again what may have
    // changed since its last call: the file (made empty, then given data)
    // and the project (a read put before the write).
    void aCheckerSeesWhatChangedSinceItsLastCall()
    {
        const QString file = path(QStringLiteral("later.bin"));
        QFile::remove(file);
        QVERIFY(loadConfigs({{record(CMD_SET_PROG, {{SET_PROG_PROG, EMU}}), setDeviceRecord(families[F25]),
                              fileRecord(CMD_FILE_WRITE, file)}}));
        const int cfg = dataPrj.cfgIdAt(0);
        runcheck::Checker check;
        runcheck::Refusal refusal;
        QVERIFY(check.findRefusal(cfg, -1, refusal));
        QVERIFY2(refusal.text.contains(T(fmtmsg::FILE_MISSING).arg(file)), qPrintable(refusal.text));
        QFile made(file);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.close();
        QVERIFY(check.findRefusal(cfg, -1, refusal));
        QVERIFY2(refusal.text.contains(T(execmsg::FILE_NO_DATA).arg(file, "00", "0F")), qPrintable(refusal.text));
        QVERIFY(made.open(QIODevice::WriteOnly) && made.write(QByteArray(16, 'x')) == 16);
        made.close();
        QVERIFY2(!check.findRefusal(cfg, -1, refusal), qPrintable(refusal.text));
        QVERIFY(made.remove());
        QVERIFY(check.findRefusal(cfg, -1, refusal));
        dataPrj.addCmd(merged(fileRecord(CMD_FILE_READ, file), {{REC_ID_CFG, cfg}}), 2);
        dataPrj.validateAll();
        QVERIFY2(!check.findRefusal(cfg, -1, refusal), qPrintable(refusal.text));
    }

    // Every key that a command's check, summary, form (built and made to
    // emit) and run read has its entry: the commands of every family and
    // group, with their sound values, on the programmer with its chip.
    void everyKeyReadIsInTheSchema()
    {
        reads.clear();
        setParamReadHook(recordRead);
        for (int fi = 0; fi < int(sizeof(families) / sizeof(families[0])); ++fi) {
            const Family &family = families[fi];
            if (fi == F24)
                fake->setChip(std::make_shared<Chip24>(256, 8, 1));
            else if (fi == F25)
                fake->setChip(std::make_shared<Spi25Chip>(2 << 20, QByteArray::fromHex("EF4015")));
            else if (fi == FAVR)
                fake->setChip(std::make_shared<AvrChip>(
                    AvrChip::specOf(TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega328p.dev"))),
                    quint16(deviceTypeOf(QStringLiteral("AVR8_SPI")))));
            const QStringList codes = offered(fi);
            for (const QString &code : qAsConst(codes)) {
                TData sound = soundRecord(family, code);
                // Short transfers; a jump to the stop after it.
                for (const char *key : {CHAR_COUNT, FILE_COUNT})
                    if (sound.contains(QLatin1String(key)))
                        sound.insert(QLatin1String(key), 16);
                QVERIFY(load(family, {sound, record(CMD_STOP)}));
                const int at = code == QLatin1String(CMD_SET_PROG) ? 0 : code == QLatin1String(CMD_SET_DEVICE) ? 1 : 2;
                TDataCmd *cmd = dataPrj.cmdList().at(at);
                QCOMPARE(cmd->cmd(), code);
                IDevice *handler = cmd->handler();
                QVERIFY2(handler, qPrintable(code));
                handler->cmdParamText(cmd->toHash(), nullptr);
                FormHost host;
                if (QWidget *form = host.select(cmd->id())) {
                    handler->cmdParamText(cmd->toHash(), form);
                    makeEmit(form);
                }
                host.clear();
                if (code == QLatin1String(CMD_JAMP))
                    dataPrj.setCmdParam(cmd->id(), {{REC_ID_CMD, cmd->id()}, {JAMP_TO_CMD, lastCmd()->id()}});
                bool ok = false;
                runAny(ok);
            }
        }
        setParamReadHook(nullptr);
        QStringList missing;
        for (const auto &read : qAsConst(reads))
            if (!TDataCmd::isRecordKey(read.second) && !schema::hasKey(read.first, read.second))
                missing << read.first + QLatin1Char(' ') + read.second;
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
        QVERIFY(reads.size() > 100);
    }


    // "status" is on or off as the program writes it ("1", "0") or as a flag
    // reads; any other value keeps the command ticked and makes it invalid,
    // so that a run refuses it, and stays stored until the user ticks or
    // unticks it.
    void statusIsReadStrictly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("valid");
        QTest::newRow("1") << "1" << true << true;
        QTest::newRow("0") << "0" << false << true;
        QTest::newRow("true") << "true" << true << true;
        QTest::newRow("yes") << "yes" << true << false;
        QTest::newRow("1.0") << "1.0" << true << false;
    }
    void statusIsReadStrictly()
    {
        QFETCH(QString, text);
        QFETCH(bool, ticked);
        QFETCH(bool, valid);
        QVERIFY(load(families[F25], {merged(soundRecord(families[F25], QLatin1String(CMD_FILE_VERIFY)),
                                            {{REC_STATUS, text}})}));
        QVERIFY(storeAndLoad());
        QCOMPARE(lastCmd()->status(), ticked);
        QCOMPARE(lastCmd()->validParam(), valid);
        QCOMPARE(lastCmd()->statusText(), valid ? QString(ticked ? "1" : "0") : text);
        if (valid)
            return;
        // Unticked, the command is sound again and stored as the program writes it.
        dataPrj.setCmdStatus(lastCmd()->id(), false);
        QVERIFY(lastCmd()->validParam());
        QVERIFY(storeAndLoad());
        QCOMPARE(lastCmd()->statusText(), QStringLiteral("0"));
    }

    // A hex image of any length reads: 32768 bytes written to a 24C256 on
    // the wire, byte for byte.
    void aLongHexImageIsWritten()
    {
        const Family big{"24xx", "24xx/24c256.dev", {{SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, 0}}};
        QByteArray image(32768, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7 + (i >> 8));
        QStringList bytes;
        for (const char b : qAsConst(image))
            bytes << QString::fromLatin1(QByteArray(1, b).toHex().toUpper());
        const QString text = bytes.join(QLatin1Char(' '));
        QVERIFY(text.size() > 65536);
        auto chip = std::make_shared<Chip24>(32768, 64, 2);
        fake->setChip(chip);
        QVERIFY(load(big, {record(CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, text}})}));
        QVERIFY(lastCmd()->validParam());
        bool ok = false;
        runAny(ok);
        QVERIFY2(ok, qPrintable(failure()));
        QByteArray memory;
        fake->locked([&] { memory = chip->memory; });
        QCOMPARE(memory, image);
    }


    // A damaged flag shows on its form neither ticked nor unticked; an edit of
    // another field keeps it as stored, a click sets it.
    void aDamagedFlagShowsOnItsForm_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::newRow("set_prog alt_enabled") << int(F24) << QString(CMD_SET_PROG) << QString(SET_PROG_ALT_ENABLED);
        QTest::newRow("set_vicc ocp") << int(F24) << QString(CMD_SET_VICC) << QString(SUPPLY_OCP);
        QTest::newRow("leave reset") << int(FAVR) << QString(CMD_LEAVE) << QString(LEAVE_RESET);
    }
    void aDamagedFlagShowsOnItsForm()
    {
        QFETCH(int, family);
        QFETCH(QString, code);
        QFETCH(QString, key);
        TData damaged = soundRecord(families[family], code);
        damaged.insert(key, QStringLiteral("flase"));
        QVERIFY(load(families[family], {damaged}));
        TDataCmd *cmd = code == QLatin1String(CMD_SET_PROG) ? dataPrj.cmdList().first() : lastCmd();
        QVERIFY(!cmd->validParam());
        FormHost host;
        QWidget *form = host.select(cmd->id());
        QVERIFY(form);
        QCheckBox *box = nullptr;
        for (QCheckBox *b : form->findChildren<QCheckBox *>())
            if (b->property("paramKey").toString() == key)
                box = b;
        QVERIFY(box);
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        makeEmit(form);
        QCOMPARE(cmd->params().value(key).toString(), QStringLiteral("flase"));
        QVERIFY(!cmd->validParam());
        if (!box->isEnabled())
            return;   // no port to choose: the flag cannot be set here
        form->show();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(box->checkState(), Qt::Checked);
        bool on = false;
        QVERIFY(schema::readFlag(cmd->params().value(key), on) && on);
        QVERIFY(cmd->validParam());
    }

    // The texts every reader takes, and what they refuse.
    void readersTakeWhatTheProgramWrites_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<bool>("real");
        QTest::addColumn<bool>("flag");
        QTest::newRow("0") << QVariant("0") << true << true << true;
        QTest::newRow("-1") << QVariant("-1") << true << true << true;
        QTest::newRow("+5 with blanks") << QVariant(" +5 ") << true << true << true;
        QTest::newRow("int64 max") << QVariant("9223372036854775807") << true << true << true;
        QTest::newRow("past int64") << QVariant("9223372036854775808") << false << true << false;
        QTest::newRow("3.3") << QVariant("3.3") << false << true << false;
        QTest::newRow("double 5.0") << QVariant(5.0) << true << true << true;
        QTest::newRow("double 2.5") << QVariant(2.5) << false << true << false;
        QTest::newRow("1e3") << QVariant("1e3") << false << true << false;
        QTest::newRow("true") << QVariant("true") << false << false << true;
        QTest::newRow("FALSE") << QVariant("FALSE") << false << false << true;
        QTest::newRow("bool") << QVariant(true) << false << true << true;
        QTest::newRow("empty") << QVariant("") << false << false << false;
        QTest::newRow("absent") << QVariant() << false << false << false;
        QTest::newRow("abc") << QVariant("abc") << false << false << false;
        QTest::newRow("0x10") << QVariant("0x10") << false << false << false;
        QTest::newRow("12 trailing junk") << QVariant("12x") << false << false << false;
        QTest::newRow("inf") << QVariant("inf") << false << false << false;
        QTest::newRow("nan") << QVariant("nan") << false << false << false;
        QTest::newRow("comma") << QVariant("3,3") << false << false << false;
        // An unsigned value past 2^63 - 1 would read as its low bits.
        QTest::newRow("unsigned 2^64-1") << QVariant(quint64(-1)) << false << true << false;
        QTest::newRow("unsigned 2^63-1") << QVariant(quint64(9223372036854775807ULL)) << true << true << true;
    }
    void readersTakeWhatTheProgramWrites()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, integer);
        QFETCH(bool, real);
        QFETCH(bool, flag);
        qint64 i = 0;
        double r = 0;
        bool f = false;
        QCOMPARE(schema::readInteger(value, i), integer);
        QCOMPARE(schema::readReal(value, r), real);
        QCOMPARE(schema::readFlag(value, f), flag);
    }
};

QTEST_MAIN(TestDamagedNumbers)
#include "test_damaged_numbers.moc"
