// Entries outside their fields, typed into the forms of every command the
// owners offer (each chip family, the programmer, the tools): one past each
// end of every numeric field. None is taken: nothing is emitted, the stored
// command stays as it was, the field shows the entry marked with its range
// and the value kept, and leaving it shows the stored value again. A
// refused voltage (33 typed for 3.3 V) never reaches the programmer.
// Entries that are no number of the field are refused alike, the ends of
// its range are stored as given, typed or pasted, with or without "0x",
// and a fill entered by paste writes at the address pasted.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/main/startup.h"
#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/TWgtEditDec2.h"
#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/TWgtEditInt64.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "gui/widgets/edit_arith.h"
#include "gui/widgets/widget_messages.h"
#include "link/TExec.h"
#include "misc/dev_misc.h"
#include "support/FormHost.h"
#include "support/NumberedLanguage.h"
#include "support/RunFixture.h"
#include "support/Spi25Chip.h"
#include "support/edit_test_util.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
const QString EMU = QStringLiteral("Emu");

// A chip of each family, with the clock of its "set_device".
struct Chip
{
    const char *family;
    const char *file;
    int clk;
};
const Chip chips[] = {
    {"24xx", "24xx/24c02.dev", 400000},
    {"25xx", "25xx/w25q16jv.dev", 1000000},
    {"AVR8", "avr8/atmega328p.dev", 250000},
    {"XMC1", "xmc1/xmc1100.dev", 0},
};

// The numeric edits of a form the user sees, in a fixed order.
QList<TWgtEditNum *> numericEdits(QWidget *form)
{
    QList<TWgtEditNum *> edits;
    for (TWgtEditNum *e : form->findChildren<TWgtEditNum *>())
        if (e->isVisibleTo(form))
            edits << e;
    return edits;
}

// The command key a form tagged the edit (or the pair it is in) with.
QString keyOf(QWidget *edit)
{
    for (QWidget *w = edit; w; w = w->parentWidget())
        if (w->property("paramKey").isValid())
            return w->property("paramKey").toString();
    return QString();
}

// An entry for the edit with the message that refuses it (0: taken).
using Probe = QPair<QString, int>;

// The largest value the edit takes, its smallest where that is negative,
// entries one past each end of its range (none past the ends of its type)
// and entries that are no number of it: beyond its type, with a letter, a
// sign or point that no digit follows. The range is as the edit names it.
QList<Probe> probesOf(TWgtEditNum *edit, QString &range)
{
    const int outside = MSG_ENTRY_OUT_OF_RANGE, none = MSG_ENTRY_NO_NUMBER;
    if (auto *e = qobject_cast<TWgtEditDouble *>(edit)) {
        const QString shown = lineOf(e)->text();
        const int point = shown.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : shown.size() - point - 1;
        const auto text = [decimals](double v) { return QString::number(v, 'f', decimals); };
        range = text(e->minimum()) + QStringLiteral("..") + text(e->maximum());
        const QString top = text(e->maximum()), whole = QString::number(std::floor(e->maximum()));
        // The top with the language's decimal mark, a digit more than the
        // field holds (never rounded) and a point that no digit follows.
        QList<Probe> out{{top, 0}, {QString(top).replace('.', ','), 0}, {top + '1', MSG_ENTRY_TOO_PRECISE},
                         {whole + '.', std::floor(e->maximum()) < e->minimum() ? outside : 0},
                         {text(e->maximum() + 1), outside}, {text(e->minimum() - 1), outside}};
        if (e->minimum() < 0)
            out << Probe{text(e->minimum()), 0};
        for (const char *entry : {"-", ".", "1,5.3", "1e400"})
            out << Probe{QLatin1String(entry), none};
        return out;
    }
    qint64 min = 0, max = 0, lowest = std::numeric_limits<qint64>::min(), highest = -(lowest + 1);
    bool hex = true;
    if (auto *e = qobject_cast<TWgtEditDec *>(edit)) {
        min = e->minimum(), max = e->maximum(), hex = false;
        highest = std::numeric_limits<int>::max() / 10, lowest = -highest;
    } else if (auto *e = qobject_cast<TWgtEditDec2 *>(edit)) {
        QStringList ranges;   // in ascending order
        for (const auto &r : e->ranges())
            ranges << QStringLiteral("%1..%2").arg(r.first).arg(r.second);
        min = e->ranges().constFirst().first, max = e->ranges().constLast().second, hex = false;
        highest = std::numeric_limits<int>::max() / 10, lowest = -highest, range = ranges.join(QStringLiteral(", "));
    } else if (auto *e = qobject_cast<TWgtEditHex *>(edit)) {
        min = e->minimum(), max = e->maximum();
        lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    } else if (auto *e = qobject_cast<TWgtEditInt64 *>(edit)) {
        min = e->minimum(), max = e->maximum(), hex = qobject_cast<TWgtEditHex64 *>(edit);
    } else {
        return {};
    }
    const auto text = [hex](qint64 v) { return hex ? QStringLiteral("0x") + hexText64(v) : QString::number(v); };
    if (range.isEmpty())
        range = text(min) + QStringLiteral("..") + text(max);
    QList<Probe> out{{text(max), 0}};
    if (max < highest)
        out << Probe{text(max + 1), outside};
    if (min > lowest)
        out << Probe{text(min - 1), outside};
    if (hex)
        return out << Probe{QStringLiteral("0x1") + QString(16, QLatin1Char('0')), none}
                   << Probe{QStringLiteral("0x12G"), none};
    if (min < 0)
        out << Probe{text(min), 0};
    const char *beyond = qobject_cast<TWgtEditInt64 *>(edit) ? "9223372036854775808" : "2147483648";
    return out << Probe{QStringLiteral("-"), none} << Probe{QLatin1String(beyond), none}
               << Probe{QStringLiteral("1x"), none};
}

// The ways of giving an entry: the first three for every entry, the next
// four for hexadecimal edits alone, the last for entries taken (a number
// pasted with blanks and a line end around it, as copied from a terminal).
const char *const ways[] = {"type emptied", "paste", "damaged", "type", "type 0x", "paste 0x", "paste 0x emptied",
                            "paste padded"};

// Gives the entry one way, then Return: with the whole text selected by
// Ctrl+A (a damaged one, which Ctrl+A and Return leave as it is, too) or
// erased by Backspace then, typed or pasted, with its "0x" where the way
// names it.
void give(QLineEdit *line, const QString &how, const QString &entry)
{
    placeCursor(line, -1);
    if (how == QLatin1String("damaged"))
        QTest::keyClick(line, Qt::Key_Return);
    if (how.endsWith(QLatin1String("emptied")))
        QTest::keyClick(line, Qt::Key_Backspace);
    const QString given = how.contains(QLatin1String("0x")) ? entry : entry.mid(hexDigitsStart(entry));
    if (how.startsWith(QLatin1String("paste"))) {
        QGuiApplication::clipboard()->setText(how.endsWith(QLatin1String("padded")) ? " \t" + given + "\r\n" : given);
        QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeKeys(line, given);
    }
    QTest::keyClick(line, Qt::Key_Return);
}

} // namespace

class TestRefusedEntries : public QObject, RunFixture
{
    Q_OBJECT

    // Each family's configuration and the id of its "set_device".
    QHash<QString, int> setDevices;

    TData record(int id) const { return dataPrj.cmdById(id)->toHash(); }

    // A command with the defaults its owner gives it after the family's
    // "set_device".
    int addCommand(const QString &family, const QString &code)
    {
        const int setDevice = setDevices.value(family);
        const TDataCmd *anchor = dataPrj.cmdById(setDevice);
        std::unique_ptr<IDevice> own;
        IDevice *owner = anchor->device();
        if (TDevTools::hasCommand(code))
            owner = (own.reset(TDevTools::create(QLatin1String(GROUP_TOOLS), TData())), own.get());
        else if (TDevProg::hasCommand(code))
            owner = (own.reset(TDevProg::create(QLatin1String(GROUP_PROG), TData())), own.get());
        TData data{{REC_ID_CFG, anchor->idCfg()}, {REC_ID_CMD, setDevice}, {REC_STATUS, 1}, {REC_CMD, code}};
        owner->initCmdParam(data);
        data.remove(REC_ID_CMD);
        // At the end of its configuration, as the project lists them.
        const int last = dataPrj.cmdsOfCfg(anchor->idCfg()).constLast()->id();
        const int id = dataPrj.addCmd(data, dataPrj.cmdIndexById(last) + 1);
        dataPrj.validateAll();
        return id;
    }

    // A project of one configuration per family: "set_prog", "set_device".
    void buildProject()
    {
        newProject();
        for (const Chip &c : chips) {
            const int cfg = dataPrj.addCfg(QLatin1String(c.family), QString());
            dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}, {SET_PROG_PROG, EMU}});
            TData setDevice{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                            {SET_DEVICE_DEVICE, QLatin1String(c.family)},
                            {SET_DEVICE_FILE, DEVICES + QLatin1Char('/') + QLatin1String(c.file)}};
            if (c.clk)
                setDevice.insert(SET_CLK_CLK, c.clk);
            setDevices.insert(QLatin1String(c.family), dataPrj.addCmd(setDevice));
        }
        dataPrj.validateAll();
    }

    // Runs the configuration to its end, which must be a success.
    void runToSuccess(int cfg)
    {
        rx.reset(new Receiver);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>{cfg});
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        // The decimal mark of the default interface, Russian.
        QVERIFY(NumberedLanguage::loadWithArguments({{MSG_DECIMAL_MARK, QStringLiteral(",")}}));
        QVERIFY(dir.isValid());
        setAppFileLocation(dir.path());
        QFile crcList(path(QStringLiteral("crc.lst")));
        QVERIFY(crcList.open(QIODevice::WriteOnly));
        crcList.write("CRC-32=1\n");
        crcList.close();
        appData.pathDevices = DEVICES;
        QVERIFY2(startProgrammerAs(EMU), qPrintable(fake->errorString()));
    }

    void cleanupTestCase() { endRun(); }

    // Every command of every owner, every numeric field of its form, every
    // probe given every way: shown as given (one that is no number with or
    // without its "0x"), and stored, or refused as above.
    void entryTakenOrRefused_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("how");
        buildProject();
        QSet<QString> served;
        for (const Chip &c : chips) {
            const QString family = QLatin1String(c.family);
            QStringList codes = dataPrj.cmdById(setDevices.value(family))->device()->cmdList();
            if (family == QLatin1String("24xx"))
                codes << TDevProg::cmdCodeList() << TDevTools::cmdCodeList();
            for (const QString &code : qAsConst(codes)) {
                if (cmdCode.name(code).isEmpty())
                    continue;   // the separator
                served.insert(code);
                const int id = addCommand(family, code);
                FormHost host;
                QWidget *form = host.select(id);
                if (!form)
                    continue;
                const QList<TWgtEditNum *> edits = numericEdits(form);
                for (int i = 0; i < edits.size(); ++i) {
                    QVERIFY2(!keyOf(edits.at(i)).isEmpty(), qPrintable(code));
                    QString range;
                    for (const Probe &probe : probesOf(edits.at(i), range))
                        for (int way = 0; way < 8; ++way)
                            if (way < 3 || (way < 7 ? probe.first.startsWith(QLatin1String("0x")) : !probe.second))
                                QTest::addRow("%s %s %s #%d %s %s", c.family, qPrintable(code),
                                              qPrintable(keyOf(edits.at(i))), i, qPrintable(probe.first), ways[way])
                                    << id << i << probe.first << range << probe.second << QString(ways[way]);
                }
            }
        }
        QCOMPARE(served.size(), cmdCode.count());
    }

    void entryTakenOrRefused()
    {
        QFETCH(int, id);
        QFETCH(int, edit);
        QFETCH(QString, entry);
        QFETCH(QString, range);
        QFETCH(int, refusal);
        QFETCH(QString, how);
        const TData before = record(id);
        // The next row finds the command as the table was made from it.
        const auto restore = qScopeGuard([id, before] { dataPrj.setCmdParam(id, before); });
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(form);
        TWgtEditNum *e = numericEdits(form).value(edit);
        QVERIFY(e);
        QLineEdit *line = lineOf(e);
        if (how == QLatin1String("damaged"))
            e->showDamaged(QStringLiteral("12x"));
        const QString shown = line->text();

        give(line, how, entry);
        const QString given = line->text();
        const bool real = qobject_cast<TWgtEditDouble *>(e);
        if (refusal == MSG_ENTRY_NO_NUMBER)
            QCOMPARE(given.mid(hexDigitsStart(given)), entry.mid(hexDigitsStart(entry)));
        else if (refusal || !real)   // a real taken shows as the edit writes it
            QCOMPARE(given, entry);
        QCOMPARE(e->isRefused(), refusal != 0);
        QCOMPARE(baseOf(e) == warningColor(), refusal != 0);
        if (!refusal) {
            const QVariant stored = record(id).value(keyOf(e));
            if (real)
                QCOMPARE(stored.toDouble(), QString(entry).replace(',', '.').toDouble());
            else
                QCOMPARE(stored.toLongLong(), entry.startsWith(QLatin1String("0x"))
                                                  ? qint64(entry.mid(2).toULongLong(nullptr, 16))
                                                  : entry.toLongLong());
            return;
        }
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
        QCOMPARE(line->toolTip(), NumberedLanguage::textWithArguments(refusal).arg(range, given, shown));

        leave(e);
        QCOMPARE(line->text(), shown);
        QVERIFY(!e->isRefused());
        QVERIFY(line->toolTip().isEmpty());
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
    }

    // A stored value is no entry: every hex data and register line of every
    // family's forms shows it unmarked, data of 65 and 100 bytes too, and
    // it is edited in place (its last digit typed over) and stored so.
    void storedValuesUnmarkedAndEditable_data()
    {
        QTest::addColumn<int>("id");
        buildProject();
        for (const Chip &c : chips) {
            const QString family = QLatin1String(c.family);
            for (const QString &code : dataPrj.cmdById(setDevices.value(family))->device()->cmdList()) {
                const int id = addCommand(family, code);
                FormHost host;
                QWidget *form = host.select(id);
                if (form && form->findChild<TWgtEditStrHex *>())
                    QTest::addRow("%s %s", c.family, qPrintable(code)) << id;
                if (!qobject_cast<TFormDevRWVData *>(form))
                    continue;
                for (int bytes : {1, 65, 100}) {
                    QStringList data;
                    for (int i = 0; i < bytes; ++i)
                        data << hexText(i);
                    const int copy = addCommand(family, code);
                    dataPrj.setCmdParam(copy, {{REC_ID_CMD, copy}, {DATA_DATA, data.join(' ')}});
                    QTest::addRow("%s %s %d bytes", c.family, qPrintable(code), bytes) << copy;
                }
            }
        }
    }

    void storedValuesUnmarkedAndEditable()
    {
        QFETCH(int, id);
        dataPrj.validateAll();
        QVERIFY(dataPrj.cmdById(id)->validParam());
        FormHost host;
        QWidget *form = host.select(id);
        auto *strHex = form->findChild<TWgtEditStrHex *>();
        QLineEdit *line = strHex ? lineOf(strHex) : form->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(line);
        const char *key = strHex ? REG_DATA : DATA_DATA;
        const QString stored = record(id).value(key).toString();
        QCOMPARE(line->text(), stored);
        QVERIFY(line->palette().color(QPalette::Base) != warningColor());
        QVERIFY2(!line->toolTip().contains(NumberedLanguage::text(MSG_PASTE_NOT_TAKEN)), qPrintable(line->toolTip()));

        const QChar digit = stored.endsWith('0') ? '1' : '0';
        QTest::keyClick(line, Qt::Key_End);
        typeKeys(line, QStringLiteral("\b") + digit);
        QVERIFY(line->palette().color(QPalette::Base) != warningColor());
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(record(id).value(key).toString(), stored.chopped(1) + digit);
    }

    // "33" typed for 3.3 V is refused, and the run sets 3.3 V: 33 tenths
    // on the wire, never the top of the range.
    void refusedVoltageNeverReachesTheChip()
    {
        buildProject();
        const int id = addCommand(QStringLiteral("24xx"), QLatin1String(CMD_SET_VCC));
        QCOMPARE(record(id).value(SUPPLY_VCC).toDouble(), 3.3);
        FormHost host;
        const QList<TWgtEditNum *> edits = numericEdits(host.select(id));
        const auto vcc = std::find_if(edits.begin(), edits.end(), [](QWidget *e) { return keyOf(e) == SUPPLY_VCC; });
        QVERIFY(vcc != edits.end());
        enter(*vcc, QStringLiteral("33"));
        QVERIFY(host.emitted.isEmpty());
        fake->clearRequests();
        runToSuccess(dataPrj.cmdById(id)->idCfg());
        QStringList supplies;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code == 0x89)
                supplies << QString::fromLatin1(r.payload.toHex());
        QCOMPARE(supplies, QStringList{QStringLiteral("21")});
        QCOMPARE(fake->state().vcc, quint8(33));
    }

    // A fill pasted without "0x" writes where it was entered: 16 bytes of
    // A5 from 0x1FFFF0, none at 0xFFF0.
    void enteredAddressReachesTheChip()
    {
        buildProject();
        const int id = addCommand(QStringLiteral("25xx"), QLatin1String(CMD_CHAR_WRITE));
        FormHost host;
        QHash<QString, QString> entries{{CHAR_ADDR_DEVICE, "0x1FFFF0"}, {CHAR_COUNT, "0x10"}, {CHAR_FILL_CHAR, "0xA5"}};
        for (TWgtEditNum *e : numericEdits(host.select(id)))
            if (entries.contains(keyOf(e)))
                give(lineOf(e), QStringLiteral("paste"), entries.take(keyOf(e)));
        QVERIFY(entries.isEmpty());
        auto chip = std::make_shared<Spi25Chip>(2 << 20, QByteArray::fromHex("EF4015"));
        fake->setChip(chip);
        runToSuccess(dataPrj.cmdById(id)->idCfg());
        fake->locked([&] {
            QCOMPARE(chip->array.mid(0x1FFFE0, 32), QByteArray(16, char(0xFF)) + QByteArray(16, char(0xA5)));
            QCOMPARE(chip->array.mid(0xFFF0, 16), QByteArray(16, char(0xFF)));
        });
    }
};

QTEST_MAIN(TestRefusedEntries)
#include "test_refused_entries.moc"
