// The hex row of the register forms built from the shipped device
// descriptions (ATmega328P fuses, lock and calibration, W25Q64JV status
// registers), typed into as a user would: what the form emits, what the
// project stores and what the row shows.

#include "forms_fixture.h"
#include "devices/IDevice.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "support/edit_test_util.h"

#include <QApplication>
#include <QCheckBox>

#include <memory>

using namespace formsfixture;

namespace {

// The boxes of the form, ticked or not, in their order.
QList<bool> ticks(QWidget *form)
{
    QList<bool> out;
    for (QCheckBox *box : form->findChildren<QCheckBox *>())
        out << box->isChecked();
    return out;
}

} // namespace

class TestHexEntryForms : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QMap<QString, int> ids;   // "fuse", "lock", "osccal", "status"

    // A command with the defaults its device gives it.
    int addWithDefaults(int cfg, int setDevice, const char *code)
    {
        TData data{{REC_ID_CMD, -1}, {REC_CMD, code}};
        dataPrj.cmdById(setDevice)->device()->initCmdParam(data);
        data.remove(REC_ID_CMD);
        return add(cfg, code, data);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setUp(dir);
        appData.pathDevices = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
    }

    void init()
    {
        newProject(dir);
        struct Device
        {
            const char *name;
            const char *file;
            QList<QPair<QString, const char *>> cmds;
        };
        const Device devices[] = {
            {"ATmega328P", "avr8/atmega328p.dev",
             {{"fuse", CMD_FUSE_WRITE}, {"lock", CMD_LOCK_WRITE}, {"osccal", CMD_OSCCAL_READ}}},
            {"W25Q64JV", "25xx/w25q64jv.dev", {{"status", CMD_STATUS_REG_WRITE}}},
        };
        for (const Device &d : devices) {
            const int cfg = dataPrj.addCfg(QLatin1String(d.name), QString());
            add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, "Emu"}});
            const int setDevice = add(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, d.name},
                                                           {SET_DEVICE_FILE, d.file},
                                                           {SET_CLK_CLK, 250000}});
            dataPrj.validateAll();
            QVERIFY(dataPrj.cmdById(setDevice)->validParam());
            for (const auto &c : d.cmds)
                ids[c.first] = addWithDefaults(cfg, setDevice, c.second);
            dataPrj.validateAll();
            for (const auto &c : d.cmds)
                QVERIFY(dataPrj.cmdById(ids.value(c.first))->validDev());
        }
    }

    // Each row selects the command's form, puts the cursor by keys (-1:
    // the whole row selected), pastes or types ('\b' Backspace, '\x7f'
    // Delete) and ends with Return or with Tab to the next widget.
    void hexRow_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("paste");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("tab");
        QTest::addColumn<QString>("shown");   // while editing
        QTest::addColumn<QString>("stored");
        const QString none;
        // The digit after the D deleted must never store 629FFF (high fuse
        // 9F: debugWIRE on, SPI programming off).
        QTest::newRow("fuse: Backspace after the D, Return")
            << "fuse" << "62D9FF" << 3 << none << "\b" << false << "62_9FF" << "62D9FF";
        QTest::newRow("fuse: short entry, Return")
            << "fuse" << "62D9FF" << -1 << none << "62D9F" << false << "62D9F_" << "62D9FF";
        QTest::newRow("fuse: short entry, focus leaves")
            << "fuse" << "62D9FF" << -1 << none << "62D9F" << true << "62D9F_" << "62D9FF";
        QTest::newRow("fuse: whole entry typed")
            << "fuse" << "62D9FF" << -1 << none << "e2d9fe" << false << "E2D9FE" << "E2D9FE";
        QTest::newRow("fuse: one digit typed over, focus leaves")
            << "fuse" << "62D9FF" << 0 << none << "E" << true << "E2D9FF" << "E2D9FF";
        QTest::newRow("fuse: whole value pasted at the cursor")
            << "fuse" << "62D9FF" << 3 << "E2D9FF" << none << false << "E2D9FF" << "E2D9FF";
        QTest::newRow("fuse: paste of four bytes")
            << "fuse" << "62D9FF" << -1 << "E2D9FF07" << none << false << "62D9FF" << "62D9FF";
        QTest::newRow("lock: Delete on the first digit, Return")
            << "lock" << "FF" << 0 << none << "\x7f" << false << "_F" << "FF";
        QTest::newRow("lock: one digit, focus leaves")
            << "lock" << "FF" << -1 << none << "C" << true << "C_" << "FF";
        QTest::newRow("lock: whole entry typed")
            << "lock" << "FF" << -1 << none << "fc" << false << "FC" << "FC";
        QTest::newRow("lock: pasted with a prefix")
            << "lock" << "FF" << -1 << "0xFC" << none << false << "FF" << "FF";
        QTest::newRow("status: Backspace mid-entry, Return")
            << "status" << "000060" << 4 << none << "\b" << false << "000_60" << "000060";
        QTest::newRow("status: short entry, focus leaves")
            << "status" << "000060" << -1 << none << "0000" << true << "0000__" << "000060";
        QTest::newRow("status: whole entry typed")
            << "status" << "000060" << -1 << none << "000064" << false << "000064" << "000064";
        QTest::newRow("status: whole value pasted")
            << "status" << "000060" << 6 << "00 00 7C" << none << false << "00007C" << "00007C";
    }

    void hexRow()
    {
        QFETCH(QString, form);
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, paste);
        QFETCH(QString, keys);
        QFETCH(bool, tab);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        const int id = ids.value(form);
        QCOMPARE(record(id).value(REG_DATA).toString(), before);

        FormHost host;
        auto *shownForm = qobject_cast<TFormDevCfg *>(host.select(id));
        QVERIFY(shownForm);
        shownForm->show();
        QApplication::setActiveWindow(shownForm);
        QVERIFY(QTest::qWaitForWindowActive(shownForm));
        auto *edit = shownForm->findChild<TWgtEditStrHex *>();
        QVERIFY(edit);
        QLineEdit *line = lineOf(edit);
        QCOMPARE(line->displayText(), before);
        const QList<bool> ticksBefore = ticks(shownForm);
        line->setFocus();
        QVERIFY(line->hasFocus());

        editAt(line, cursor, paste, keys);
        QCOMPARE(line->displayText(), shown);
        // A blank, or a paste that is not taken, marks the row.
        const bool marked = shown.contains(QLatin1Char('_')) || (!paste.isNull() && shown == before);
        QCOMPARE(showsWarning(line), marked);
        QCOMPARE(line->toolTip().isEmpty(), !marked);
        // Nothing is emitted or stored while the row is typed in, and the
        // boxes still show what is stored.
        QCOMPARE(host.emitted.size(), 0);
        QCOMPARE(record(id).value(REG_DATA).toString(), before);
        QCOMPARE(ticks(shownForm), ticksBefore);

        if (tab) {
            QTest::keyClick(line, Qt::Key_Tab);
            QVERIFY(!line->hasFocus());
        } else {
            QTest::keyClick(line, Qt::Key_Return);
        }
        QCOMPARE(record(id).value(REG_DATA).toString(), stored);
        QVERIFY(dataPrj.cmdById(id)->validParam());
        if (stored == before) {
            QCOMPARE(host.emitted.size(), 0);
        } else {
            QCOMPARE(host.emitted.size(), 1);
            QCOMPARE(keysOf(host.emitted.first()), QStringList({REG_DATA, REC_ID_CMD}));
            QCOMPARE(host.emitted.first().value(REG_DATA).toString(), stored);
        }
        QCOMPARE(line->displayText(), stored);
        QVERIFY(!anyWarning(shownForm));
        QVERIFY(line->toolTip().isEmpty());
        // The boxes show what is stored: a form built afresh from the
        // stored command ticks the same ones.
        std::unique_ptr<QWidget> fresh(dataPrj.cmdById(id)->handler()->createCmdForm(record(id)));
        QCOMPARE(ticks(shownForm), ticks(fresh.get()));
    }

    // Only the ASCII hex digits are taken, however they come: digits of
    // other scripts typed, committed by an input method or pasted leave
    // their places as they were, and Return stores nothing of them.
    void otherScriptDigits_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("cursor");   // -1: the whole row selected
        QTest::addColumn<QString>("how");  // "type", "commit" or "paste"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        const QChar arabic1(0x0661), arabic2(0x0662), devanagari1(0x0967), wide1(0xFF11), wideA(0xFF21);
        QTest::newRow("lock: Arabic-Indic digit, then A")
            << "lock" << -1 << "type" << QString(arabic1) + "A" << "A_" << "FF";
        QTest::newRow("fuse: full-width digit over the first")
            << "fuse" << 0 << "type" << QString(wide1) << "62D9FF" << "62D9FF";
        QTest::newRow("fuse: full-width letter over the first")
            << "fuse" << 0 << "type" << QString(wideA) << "62D9FF" << "62D9FF";
        QTest::newRow("lock: committed with an ASCII digit")
            << "lock" << 0 << "commit" << QString(arabic2) + "C" << "FF" << "FF";
        QTest::newRow("lock: committed ASCII digits")
            << "lock" << -1 << "commit" << "ab" << "AB" << "AB";
        QTest::newRow("fuse: pasted with a Devanagari digit")
            << "fuse" << -1 << "paste" << QStringLiteral("E2D9F") + devanagari1 << "62D9FF" << "62D9FF";
    }

    void otherScriptDigits()
    {
        QFETCH(QString, form);
        QFETCH(int, cursor);
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        const int id = ids.value(form);
        const QString before = record(id).value(REG_DATA).toString();
        FormHost host;
        QWidget *shownForm = host.select(id);
        QVERIFY(qobject_cast<TFormDevCfg *>(shownForm));
        QLineEdit *line = lineOf(shownForm->findChild<TWgtEditStrHex *>());
        if (how == QLatin1String("paste")) {
            editAt(line, cursor, text, QString());
        } else {
            placeCursor(line, cursor);
            if (how == QLatin1String("commit"))
                commitText(line, text);
            else
                typeKeys(line, text);
        }
        QCOMPARE(line->displayText(), shown);
        QCOMPARE(host.emitted.size(), 0);
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(record(id).value(REG_DATA).toString(), stored);
        QCOMPARE(host.emitted.size(), stored == before ? 0 : 1);
        QCOMPARE(line->displayText(), stored);
    }

    // The calibration form has no hex row: its byte is shown read-only,
    // and keys typed into it store nothing.
    void calibrationForm()
    {
        const int id = ids.value("osccal");
        const QString before = record(id).value(REG_DATA).toString();
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(qobject_cast<TFormDevCfg *>(form));
        QVERIFY(!form->findChild<TWgtEditStrHex *>());
        const QList<QLineEdit *> lines = form->findChildren<QLineEdit *>();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first()->isReadOnly());
        placeCursor(lines.first(), 0);
        typeKeys(lines.first(), QStringLiteral("\b12"));
        QTest::keyClick(lines.first(), Qt::Key_Return);
        QCOMPARE(host.emitted.size(), 0);
        QCOMPARE(record(id).value(REG_DATA).toString(), before);
    }
};

QTEST_MAIN(TestHexEntryForms)
#include "test_hex_entry_forms.moc"
