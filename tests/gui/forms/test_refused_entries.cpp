// Entries typed into the forms of every command the owners offer (each
// chip family, the programmer, the tools). One past each end of every
// numeric field is not taken: nothing is emitted, the stored command stays
// as it was, the field shows the entry marked with its range and the value
// kept, and leaving it shows the stored value again; so is an entry that
// is no number of the field (a lone sign, a letter, digits too many for
// its type). Every entry, however it is given (typed or pasted over a
// selection, with or without "0x", signed), is shown and stored as the
// number given, or shown refused. A refused voltage
// (33 typed for 3.3 V) never reaches the programmer, and a fill entered by
// paste writes at the address pasted.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "gui/main/startup.h"
#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/TWgtEditDec2.h"
#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/TWgtEditInt64.h"
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
#include <functional>
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

// The row's field: the numeric edit at its place in the form of its
// command, which the host shows.
TWgtEditNum *shownField(FormHost &host, int id, int edit)
{
    QWidget *form = host.select(id);
    return form ? numericEdits(form).value(edit) : nullptr;
}

// The first of the edits that the form tagged with the key.
TWgtEditNum *fieldOf(const QList<TWgtEditNum *> &edits, const QString &key)
{
    const auto found = std::find_if(edits.begin(), edits.end(), [&key](QWidget *e) { return keyOf(e) == key; });
    return found == edits.end() ? nullptr : *found;
}

// An entry as the line is to show it, whether the edit takes it, the range
// as the edit names it and whether it is a number the edit can hold.
struct Probe
{
    QString text;
    bool taken;
    QString range;
    bool number = true;
};

// The largest value the edit takes, its smallest where that is negative,
// entries one past each end of its range (none past the ends of its type),
// and entries that are no number of it: beyond its type, with a letter, a
// sign or point that no digit follows.
QList<Probe> probesOf(TWgtEditNum *edit)
{
    if (auto *e = qobject_cast<TWgtEditDouble *>(edit)) {
        const QString shown = lineOf(e)->text();
        const int point = shown.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : shown.size() - point - 1;
        const auto text = [decimals](double v) { return QString::number(v, 'f', decimals); };
        const QString range = text(e->minimum()) + QStringLiteral("..") + text(e->maximum());
        QList<Probe> out{{text(e->maximum()), true, range}, {text(e->maximum() + 1), false, range},
                         {text(e->minimum() - 1), false, range}};
        if (e->minimum() < 0)
            out << Probe{text(e->minimum()), true, range};
        for (const char *entry : {"-", ".", "-.", "1.", "1,5", "1e400"})
            out << Probe{QLatin1String(entry), false, range, false};
        return out;
    }
    qint64 min = 0, max = 0, lowest = std::numeric_limits<qint64>::min(), highest = -(lowest + 1);
    bool hex = true;
    QString beyond = QStringLiteral("0x1") + QString(16, QLatin1Char('0'));
    QString range;
    if (auto *e = qobject_cast<TWgtEditDec *>(edit)) {
        min = e->minimum(), max = e->maximum(), hex = false;
        highest = std::numeric_limits<int>::max() / 10, lowest = -highest;
    } else if (auto *e = qobject_cast<TWgtEditDec2 *>(edit)) {
        QStringList ranges;
        min = std::numeric_limits<int>::max(), max = std::numeric_limits<int>::min(), hex = false;
        for (const auto &r : e->ranges()) {
            min = qMin<qint64>(min, r.first), max = qMax<qint64>(max, r.second);
            ranges << QStringLiteral("%1..%2").arg(r.first).arg(r.second);
        }
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
    QList<Probe> out{{text(max), true, range}};
    if (max < highest)
        out << Probe{text(max + 1), false, range};
    if (min > lowest)
        out << Probe{text(min - 1), false, range};
    if (!hex) {
        beyond = qobject_cast<TWgtEditInt64 *>(edit) ? QStringLiteral("9223372036854775808")
                                                      : QStringLiteral("2147483648");
        if (min < 0)
            out << Probe{text(min), true, range};
        out << Probe{QStringLiteral("-"), false, range, false};
    }
    out << Probe{beyond, false, range, false}
        << Probe{hex ? QStringLiteral("0x12G") : QStringLiteral("1x"), false, range, false};
    return out;
}

// Gives the entry to the line one way, then Return: typed or pasted over
// the whole text ("type", "paste", and "damaged" after the edit was made to
// show a damaged value), the same with "0x" in front ("type 0x", "paste
// 0x"), typed over the digits selected ("type digits"), pasted with "0x"
// into the emptied line ("paste 0x emptied"); the other ways give a
// hexadecimal entry without its "0x". The damaged value is selected with
// Ctrl+A, and a Return on it alone takes nothing; the other texts are
// selected by Home and Shift+End.
void give(QLineEdit *line, const QString &how, const QString &entry)
{
    const bool hex = entry.startsWith(QLatin1String("0x"));
    const bool prefixed = how.contains(QLatin1String("0x"));
    const QString given = hex && !prefixed ? entry.mid(2) : entry;
    if (how == QLatin1String("damaged")) {
        placeCursor(line, -1);
        QTest::keyClick(line, Qt::Key_Return);
    } else {
        placeCursor(line, how == QLatin1String("type digits") ? 2 : 0);
        QTest::keyClick(line, Qt::Key_End, Qt::ShiftModifier);
    }
    if (how.endsWith(QLatin1String("emptied")))
        QTest::keyClick(line, Qt::Key_Backspace);
    if (how.startsWith(QLatin1String("paste"))) {
        QGuiApplication::clipboard()->setText(given);
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

    // Every command of every owner (after each family's "set_device") and
    // every numeric field of its form: the command, the field's place among
    // the form's edits and the field.
    void forEveryField(const std::function<void(const QString &name, int id, int edit, TWgtEditNum *e)> &fn)
    {
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
                    fn(family + QLatin1Char(' ') + code + QLatin1Char(' ') + keyOf(edits.at(i)), id, i, edits.at(i));
                }
            }
        }
        QCOMPARE(served.size(), cmdCode.count());
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
        QVERIFY(NumberedLanguage::loadWithArguments());
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

    // Every numeric field of every form, one past each end and entries that
    // are no number of it.
    void entryOutsideRefused_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("message");
        forEveryField([](const QString &name, int id, int edit, TWgtEditNum *e) {
            for (const Probe &probe : probesOf(e))
                if (!probe.taken)
                    QTest::addRow("%s #%d %s", qPrintable(name), edit, qPrintable(probe.text))
                        << id << edit << probe.text << probe.range
                        << (probe.number ? MSG_ENTRY_OUT_OF_RANGE : MSG_ENTRY_NO_NUMBER);
        });
    }

    void entryOutsideRefused()
    {
        QFETCH(int, id);
        QFETCH(int, edit);
        QFETCH(QString, entry);
        QFETCH(QString, range);
        QFETCH(int, message);
        const TData before = record(id);
        FormHost host;
        TWgtEditNum *e = shownField(host, id, edit);
        QVERIFY(e);
        QLineEdit *line = lineOf(e);
        const QString shown = line->text();

        // Typed as the line is to show it: the digits after "0x".
        enter(e, entry.startsWith(QLatin1String("0x")) ? entry.mid(2) : entry);
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
        QCOMPARE(line->text(), entry);
        QVERIFY(e->isRefused());
        QCOMPARE(baseOf(e), warningColor());
        QCOMPARE(line->toolTip(), NumberedLanguage::textWithArguments(message).arg(range, entry, shown));

        leave(e);
        QCOMPARE(line->text(), shown);
        QVERIFY(!e->isRefused());
        QVERIFY(line->toolTip().isEmpty());
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
    }

    // Every field of every form and every probe of it (signed ones too),
    // entered as a user would: typed or pasted over the whole text, with or
    // without "0x", typed over the digits selected, pasted with its "0x"
    // into the emptied field, typed over a damaged value. The line then
    // shows the entry as it was given (one refused with or without its
    // "0x"); it is stored as that number, or refused and marked with
    // nothing stored.
    void entryTakenAsGiven_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("how");
        forEveryField([](const QString &name, int id, int edit, TWgtEditNum *e) {
            const bool hex = qobject_cast<TWgtEditHex *>(e) || qobject_cast<TWgtEditHex64 *>(e);
            QStringList hows{"type", "paste", "damaged"};
            if (hex)
                hows << "type 0x" << "paste 0x" << "type digits" << "paste 0x emptied";
            for (const Probe &probe : probesOf(e))
                for (const QString &how : qAsConst(hows))
                    QTest::addRow("%s #%d %s %s", qPrintable(name), edit, qPrintable(probe.text), qPrintable(how))
                        << id << edit << probe.text << probe.taken << how;
        });
    }

    void entryTakenAsGiven()
    {
        QFETCH(int, id);
        QFETCH(int, edit);
        QFETCH(QString, entry);
        QFETCH(bool, taken);
        QFETCH(QString, how);
        const TData before = record(id);
        // The next row finds the command as the table was made from it.
        const auto restore = qScopeGuard([id, before] { dataPrj.setCmdParam(id, before); });
        FormHost host;
        TWgtEditNum *e = shownField(host, id, edit);
        QVERIFY(e);
        QLineEdit *line = lineOf(e);
        const bool hex = entry.startsWith(QLatin1String("0x"));
        if (how == QLatin1String("damaged"))
            e->showDamaged(QStringLiteral("12x"));
        give(line, how, entry);

        if (taken)
            QCOMPARE(line->text(), entry);
        else
            QCOMPARE(line->text().mid(hexDigitsStart(line->text())), entry.mid(hexDigitsStart(entry)));
        QCOMPARE(e->isRefused(), !taken);
        QCOMPARE(baseOf(e) == warningColor(), !taken);
        if (!taken) {
            QVERIFY(host.emitted.isEmpty());
            QCOMPARE(record(id), before);
            return;
        }
        const QVariant stored = record(id).value(keyOf(e));
        if (qobject_cast<TWgtEditDouble *>(e))
            QVERIFY2(qFuzzyCompare(stored.toDouble(), entry.toDouble()), qPrintable(stored.toString()));
        else
            QCOMPARE(stored.toLongLong(), hex ? qint64(entry.mid(2).toULongLong(nullptr, 16)) : entry.toLongLong());
    }

    // "33" typed for 3.3 V is refused, and the run sets 3.3 V: 33 tenths
    // on the wire, never the top of the range.
    void refusedVoltageNeverReachesTheChip()
    {
        buildProject();
        const int id = addCommand(QStringLiteral("24xx"), QLatin1String(CMD_SET_VCC));
        QCOMPARE(record(id).value(SUPPLY_VCC).toDouble(), 3.3);
        FormHost host;
        TWgtEditNum *vcc = fieldOf(numericEdits(host.select(id)), SUPPLY_VCC);
        QVERIFY(vcc);
        enter(vcc, QStringLiteral("33"));
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
        const QList<TWgtEditNum *> edits = numericEdits(host.select(id));
        const QPair<const char *, const char *> entries[] = {
            {CHAR_ADDR_DEVICE, "0x1FFFF0"}, {CHAR_COUNT, "0x10"}, {CHAR_FILL_CHAR, "0xA5"}};
        for (const auto &entry : entries) {
            QVERIFY(fieldOf(edits, entry.first));
            give(lineOf(fieldOf(edits, entry.first)), QStringLiteral("paste"), entry.second);
        }
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
