// Entries outside their fields, typed into the forms of every command the
// owners offer (each chip family, the programmer, the tools) as a user
// types them: one past each end of every numeric field, and the entries of
// careless users (an address past a 2 MiB chip, 33 for 3.3 V). None of
// them is taken: nothing is emitted, the stored command stays as it was,
// the field shows the entry marked with its range and the value kept, and
// leaving it shows the stored value again. A count the form cuts when the
// address moves says so; a refused voltage never reaches the programmer.

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
    if (auto *e = qobject_cast<TWgtEditDec *>(edit)) {
        const QString range = QStringLiteral("%1..%2").arg(e->minimum()).arg(e->maximum());
        if (e->maximum() < std::numeric_limits<int>::max() / 10)
            out << qMakePair(QString::number(qint64(e->maximum()) + 1), range);
        if (e->minimum() > -(std::numeric_limits<int>::max() / 10))
            out << qMakePair(QString::number(qint64(e->minimum()) - 1), range);
    } else if (auto *e = qobject_cast<TWgtEditHex *>(edit)) {
        const QString range = QStringLiteral("0x%1..0x%2").arg(hexText(e->minimum()), hexText(e->maximum()));
        if (e->maximum() < std::numeric_limits<int>::max())
            out << qMakePair(QStringLiteral("0x") + hexText(e->maximum() + 1), range);
        if (e->minimum() > std::numeric_limits<int>::min())
            out << qMakePair(QStringLiteral("0x") + hexText64(qint64(e->minimum()) - 1), range);
    } else if (auto *e = qobject_cast<TWgtEditInt64 *>(edit)) {
        const bool hex = qobject_cast<TWgtEditHex64 *>(edit);
        const auto text = [hex](qint64 v) { return hex ? QStringLiteral("0x") + hexText64(v) : QString::number(v); };
        const QString range = text(e->minimum()) + QStringLiteral("..") + text(e->maximum());
        if (e->maximum() < std::numeric_limits<qint64>::max())
            out << qMakePair(text(e->maximum() + 1), range);
        if (e->minimum() > std::numeric_limits<qint64>::min())
            out << qMakePair(text(e->minimum() - 1), range);
    } else if (auto *e = qobject_cast<TWgtEditDouble *>(edit)) {
        const QString shown = lineOf(e)->text();
        const int point = shown.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : shown.size() - point - 1;
        const auto text = [decimals](double v) { return QString::number(v, 'f', decimals); };
        const QString range = text(e->minimum()) + QStringLiteral("..") + text(e->maximum());
        out << qMakePair(text(e->maximum() + 1), range) << qMakePair(text(e->minimum() - 1), range);
    }
    return out;
}

bool marked(QLineEdit *line)
{
    return line->palette().color(QPalette::Active, QPalette::Base) == warningColor();
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
        int index = 0;
        const QList<TDataCmd *> list = dataPrj.cmdList();
        for (int i = 0; i < list.size(); ++i)
            if (list.at(i)->idCfg() == anchor->idCfg())
                index = i + 1;
        const int id = dataPrj.addCmd(data, index);
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

    // The index among the form's numeric edits of the key's edit; the
    // decimal half of a pair when asked for.
    static int editIndex(QWidget *form, const QString &key, bool decimal)
    {
        const QList<TWgtEditNum *> edits = numericEdits(form);
        int found = -1;
        for (int i = 0; i < edits.size(); ++i)
            if (keyOf(edits.at(i)) == key && (found < 0 || decimal))
                found = i;
        return found;
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
    // past each end; and the careless users' entries.
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

        // An address of 3000000 on a 2 MiB chip; 33 typed for 3.3 V.
        const int write = addCommand(QStringLiteral("25xx"), QLatin1String(CMD_FILE_WRITE));
        const int vcc = addCommand(QStringLiteral("24xx"), QLatin1String(CMD_SET_VCC));
        FormHost host;
        QTest::newRow("25xx file_write device address 3000000")
            << write << editIndex(host.select(write), FILE_ADDR_DEVICE, true) << "3000000" << "0..2097151";
        QTest::newRow("set_vcc 33 for 3.3 V")
            << vcc << editIndex(host.select(vcc), SUPPLY_VCC, false) << "33" << "1.8..5.5";
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

        enterAsShown(e, entry);
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
        QCOMPARE(line->text(), entry);
        QVERIFY(e->isRefused());
        QVERIFY(marked(line));
        QCOMPARE(line->toolTip(), NumberedLanguage::textWithArguments(MSG_ENTRY_OUT_OF_RANGE).arg(range, entry, shown));

        leave(e);
        QCOMPARE(line->text(), shown);
        QVERIFY(!e->isRefused());
        QVERIFY(line->toolTip().isEmpty());
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id), before);
    }

    // A count that stood before the start moved on: the form cuts it to
    // what is left of the chip, stores that, and the field says so until a
    // count is entered.
    void countCutSaysSo_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("countKey");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("startKey");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("note");   // per edit of the count: before, now, range
        // 2 MiB: 0x100 bytes are left from 0x1FFF00; 32 blocks of 64 KiB.
        QTest::newRow("file write") << CMD_FILE_WRITE << FILE_COUNT << "512" << FILE_ADDR_DEVICE << "2096896"
                                    << QStringList{"0x200", "0x100", "0x00..0x100", "512", "256", "0..256"};
        QTest::newRow("erase blocks") << CMD_ERASE_BLOCKS << BLOCKS_COUNT << "4" << BLOCKS_BEGIN << "30"
                                      << QStringList{"4", "2", "1..2"};
    }

    void countCutSaysSo()
    {
        QFETCH(QString, code);
        QFETCH(QString, countKey);
        QFETCH(QString, count);
        QFETCH(QString, startKey);
        QFETCH(QString, start);
        QFETCH(QStringList, note);
        buildProject();
        const int id = addCommand(QStringLiteral("25xx"), code);
        FormHost host;
        QWidget *form = host.select(id);
        const QList<TWgtEditNum *> edits = numericEdits(form);
        enter(edits.value(editIndex(form, countKey, true)), count);
        enter(edits.value(editIndex(form, startKey, true)), start);
        QCOMPARE(record(id).value(startKey).toString(), start);
        QCOMPARE(record(id).value(countKey).toString(), note.at(note.size() - 2));
        QList<TWgtEditNum *> countEdits;
        for (TWgtEditNum *e : edits)
            if (keyOf(e) == countKey)
                countEdits << e;
        QCOMPARE(countEdits.size() * 3, note.size());
        for (int i = 0; i < countEdits.size(); ++i) {
            QVERIFY(marked(lineOf(countEdits.at(i))));
            QCOMPARE(lineOf(countEdits.at(i))->toolTip(),
                     NumberedLanguage::textWithArguments(MSG_VALUE_CHANGED_TO_FIT)
                         .arg(note.at(3 * i), note.at(3 * i + 1), note.at(3 * i + 2)));
        }
        enter(countEdits.last(), QStringLiteral("1"));
        for (TWgtEditNum *e : qAsConst(countEdits)) {
            QVERIFY(!marked(lineOf(e)));
            QVERIFY(lineOf(e)->toolTip().isEmpty());
        }
    }

    // "33" typed for 3.3 V is refused, and the run sets 3.3 V: 33 tenths
    // on the wire, never the top of the range.
    void refusedVoltageNeverReachesTheChip()
    {
        buildProject();
        const int id = addCommand(QStringLiteral("24xx"), QLatin1String(CMD_SET_VCC));
        QCOMPARE(record(id).value(SUPPLY_VCC).toDouble(), 3.3);
        FormHost host;
        QWidget *form = host.select(id);
        enter(numericEdits(form).value(editIndex(form, SUPPLY_VCC, false)), QStringLiteral("33"));
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
