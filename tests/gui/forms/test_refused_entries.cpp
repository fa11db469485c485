// Entries outside their fields, typed into the forms of every command the
// owners offer (each chip family, the programmer, the tools): one past each
// end of every numeric field. None is taken: nothing is emitted, the stored
// command stays as it was, the field shows the entry marked with its range
// and the value kept, and leaving it shows the stored value again. A
// refused voltage (33 typed for 3.3 V) never reaches the programmer.

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
#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/TWgtEditInt64.h"
#include "gui/widgets/widget_messages.h"
#include "link/TExec.h"
#include "misc/dev_misc.h"
#include "support/FormHost.h"
#include "support/NumberedLanguage.h"
#include "support/RunFixture.h"
#include "support/edit_test_util.h"

#include <QFile>
#include <QSet>
#include <QtTest>

#include <algorithm>
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

// Entries one past each end of the edit's range, each with the range as the
// edit names it; none past the ends of its type.
QList<QPair<QString, QString>> pastTheEnds(TWgtEditNum *edit)
{
    QList<QPair<QString, QString>> out;
    if (auto *e = qobject_cast<TWgtEditDouble *>(edit)) {
        const QString shown = lineOf(e)->text();
        const int point = shown.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : shown.size() - point - 1;
        const auto text = [decimals](double v) { return QString::number(v, 'f', decimals); };
        const QString range = text(e->minimum()) + QStringLiteral("..") + text(e->maximum());
        return {qMakePair(text(e->maximum() + 1), range), qMakePair(text(e->minimum() - 1), range)};
    }
    qint64 min = 0, max = 0, lowest = std::numeric_limits<qint64>::min(), highest = -(lowest + 1);
    bool hex = true;
    if (auto *e = qobject_cast<TWgtEditDec *>(edit)) {
        min = e->minimum(), max = e->maximum(), hex = false;
        highest = std::numeric_limits<int>::max() / 10, lowest = -highest;
    } else if (auto *e = qobject_cast<TWgtEditHex *>(edit)) {
        min = e->minimum(), max = e->maximum();
        lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    } else if (auto *e = qobject_cast<TWgtEditInt64 *>(edit)) {
        min = e->minimum(), max = e->maximum(), hex = qobject_cast<TWgtEditHex64 *>(edit);
    } else {
        return out;
    }
    const auto text = [hex](qint64 v) { return hex ? QStringLiteral("0x") + hexText64(v) : QString::number(v); };
    const QString range = text(min) + QStringLiteral("..") + text(max);
    if (max < highest)
        out << qMakePair(text(max + 1), range);
    if (min > lowest)
        out << qMakePair(text(min - 1), range);
    return out;
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

    // Every command of every owner, every numeric field of its form, one
    // past each end.
    void entryOutsideRefused_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("range");
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
                    for (const auto &probe : pastTheEnds(edits.at(i)))
                        QTest::addRow("%s %s %s #%d %s", c.family, qPrintable(code),
                                      qPrintable(keyOf(edits.at(i))), i, qPrintable(probe.first))
                            << id << i << probe.first << probe.second;
                }
            }
        }
        QCOMPARE(served.size(), cmdCode.count());
    }

    void entryOutsideRefused()
    {
        QFETCH(int, id);
        QFETCH(int, edit);
        QFETCH(QString, entry);
        QFETCH(QString, range);
        const TData before = record(id);
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(form);
        TWgtEditNum *e = numericEdits(form).value(edit);
        QVERIFY(e);
        QLineEdit *line = lineOf(e);
        const QString shown = line->text();

        // Typed as the line is to show it: the digits after "0x", a negative
        // number as its magnitude with the sign put in front.
        if (entry.startsWith(QLatin1String("0x")))
            enter(e, entry.mid(2));
        else if (entry.startsWith(QLatin1Char('-')))
            enterNegative(e, entry.mid(1));
        else
            enter(e, entry);
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
        QCOMPARE(line->text(), entry);
        QVERIFY(e->isRefused());
        QCOMPARE(baseOf(e), warningColor());
        QCOMPARE(line->toolTip(), NumberedLanguage::textWithArguments(MSG_ENTRY_OUT_OF_RANGE).arg(range, entry, shown));

        leave(e);
        QCOMPARE(line->text(), shown);
        QVERIFY(!e->isRefused());
        QVERIFY(line->toolTip().isEmpty());
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
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
        rx.reset(new Receiver);
        const int cfg = dataPrj.cmdById(id)->idCfg();
        fake->clearRequests();
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>{cfg});
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QStringList supplies;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code == 0x89)
                supplies << QString::fromLatin1(r.payload.toHex());
        QCOMPARE(supplies, QStringList{QStringLiteral("21")});
        QCOMPARE(fake->state().vcc, quint8(33));
    }
};

QTEST_MAIN(TestRefusedEntries)
#include "test_refused_entries.moc"
