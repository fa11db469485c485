// The pin-state, set-device and auto-detect forms on a resolved project:
// the emulated programmer's eight pins, devices and families from their
// list files, and the records the forms store.

#include "forms_fixture.h"
#include "core/TSettings.h"
#include "gui/dialogs/TDialogSelectDevice.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormProgAutoDetect.h"
#include "gui/forms/TFormProgSetDevice.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "misc/TNormCmdParam.h"
#include "support/ModalAnswer.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

#include <functional>
#include <memory>

using namespace formsfixture;

namespace {

void pick(TDialogSelectDevice *dialog, const QString &name)
{
    auto *list = dialog->findChild<QListWidget *>();
    const auto items = list->findItems(name, Qt::MatchExactly);
    if (!items.isEmpty())
        list->setCurrentItem(items.first());
    dialog->accept();
}

QPushButton *allButton(QWidget *form, QChar letter)
{
    for (QPushButton *b : form->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("All '%1'").arg(letter))
            return b;
    return nullptr;
}

} // namespace

class TestDeviceForms : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int cfg = 0, dup1 = 0, dup2 = 0;
    int setDevice = 0, leave = 0, setIo = 0;

private slots:
    void initTestCase()
    {
        setUp(dir);
        QVERIFY(dir.isValid());
    }

    void init()
    {
        newProject(dir);
        cfg = dataPrj.addCfg(QStringLiteral("main"), QString());
        dup1 = dataPrj.addCfg(QStringLiteral("dup"), QString());
        dup2 = dataPrj.addCfg(QStringLiteral("dup"), QString());
        add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, "Emu"}});
        setIo = add(cfg, CMD_SET_IO, {{SET_IO_STATE, ""}});
        setDevice = add(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, "ChipA"}, {SET_DEVICE_FILE, "chipA.dev"}});
        leave = add(cfg, "leave", {{LEAVE_STATE, "xI"}});
        dataPrj.validateAll();
        QVERIFY(dataPrj.cmdById(leave)->prog());
        QVERIFY(dataPrj.cmdById(leave)->device());
    }
    void cleanup()
    {
        finishModalAnswers();
    }

    void pinStates()
    {
        IDevice *chip = dataPrj.cmdById(leave)->device();
        Page page;
        std::unique_ptr<TFormDevLeave> form(createLeaveCmdForm(chip, record(leave), false));
        QVERIFY(form);
        page.host(form.get());
        const auto boxes = form->findChildren<TComboBox *>();
        QCOMPARE(boxes.size(), 8);
        QVERIFY(!form->findChild<QCheckBox *>()->isVisibleTo(form.get()));
        // "x" is no pin type of the programmer: no item, kept through
        // another pin's change.
        QCOMPARE(boxes.at(0)->currentIndex(), -1);
        QCOMPARE(boxes.at(1)->currentText().at(0), QChar('I'));
        boxes.at(2)->setCurrentIndex(boxes.at(2)->findText("Z", Qt::MatchStartsWith));
        QCOMPARE(page.emitted.size(), 1);
        QCOMPARE(keysOf(page.emitted.last()), QStringList({REC_ID_CMD, LEAVE_STATE}));
        QCOMPARE(page.emitted.last().value(LEAVE_STATE).toString(), QStringLiteral("xIZ-----"));
        QVERIFY(!isLeaveCmdValid(record(leave), false));

        // "All 'Z'" sets every box at once with one emission.
        allButton(form.get(), 'Z')->click();
        QCOMPARE(page.emitted.size(), 2);
        QCOMPARE(page.emitted.last().value(LEAVE_STATE).toString(), QString(8, 'Z'));
        for (TComboBox *box : boxes)
            QVERIFY(box->currentText().startsWith('Z'));
        QVERIFY(isLeaveCmdValid(record(leave), false));
        QCOMPARE(pinStateBytes(leave, false), QByteArray::fromHex("00000808080808080808"));

        // set_io without a device still describes the eight pins.
        std::unique_ptr<TFormDevLeave> io(createLeaveCmdForm(nullptr, record(setIo), false));
        QVERIFY(io);
        QCOMPARE(io->findChildren<TComboBox *>().size(), 8);
        // No form without the command or its programmer.
        QVERIFY(!createLeaveCmdForm(chip, {{REC_ID_CMD, 99999}}, false));
    }

    void resetPulse()
    {
        IDevice *chip = dataPrj.cmdById(leave)->device();
        TData p = record(leave);
        p.insert(LEAVE_RESET, true);
        p.insert(LEAVE_DURATION, -20);
        dataPrj.setCmdParam(leave, p);
        Page page;
        std::unique_ptr<TFormDevLeave> form(createLeaveCmdForm(chip, record(leave), true));
        page.host(form.get());
        auto *duration = form->findChild<TWgtEditDecDef *>();
        // The chip's reset is active low: the programmer's 10..1000 ms as
        // negative lengths.
        QCOMPARE(duration->minimum(), -1000);
        QCOMPARE(duration->maximum(), -10);
        QLineEdit *line = duration->findChild<QLineEdit *>();
        line->selectAll();
        QTest::keyClicks(line, "400");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(page.emitted.last().value(LEAVE_DURATION).toInt(), -400);
        QCOMPARE(page.emitted.last().value(LEAVE_RESET).toBool(), true);
        form->findChildren<TComboBox *>().at(0)->setCurrentIndex(
            form->findChildren<TComboBox *>().at(0)->findText("H", Qt::MatchStartsWith));
        allButton(form.get(), '-');
        TData state = record(leave);
        state.insert(LEAVE_STATE, "H");
        dataPrj.setCmdParam(leave, state);
        QCOMPARE(pinStateBytes(leave, true), QByteArray::fromHex("70FE0500000000000000"));

        form->findChild<QCheckBox *>()->click();
        QVERIFY(!duration->isEnabled());
        QCOMPARE(page.emitted.last().value(LEAVE_RESET).toBool(), false);
        QCOMPARE(page.emitted.last().value(LEAVE_DURATION).toInt(), -400);

        // 16 bits carry the pulse: no range past 32767 ms, and never 0.
        TFormDevLeave wide(1, "", {}, "-", {"-"}, true, true, 5, true, 0, 40000, 100);
        auto *edit = wide.findChild<TWgtEditDecDef *>();
        QCOMPARE(edit->minimum(), 1);
        QCOMPARE(edit->maximum(), 32767);
    }

    void setDeviceForm()
    {
        Page page;
        std::unique_ptr<TFormProgSetDevice> form(new TFormProgSetDevice(record(setDevice)));
        page.host(form.get());
        auto *name = form->findChild<QLineEdit *>();
        QCOMPARE(name->text(), QStringLiteral("ChipA"));
        auto *connection = form->findChild<QTextEdit *>("connection");
        QVERIFY(connection->toPlainText().startsWith("  1 -< P1 - A0\n  2 -< P2 - A1"));
        QVERIFY(connection->toPlainText().endsWith(QString(50, '-') + "\nfirst note\nsecond note"));
        auto *devForm = form->findChild<TTestDevForm *>();
        QVERIFY(devForm);

        // The device-level form's records pass through as the form's own.
        devForm->edit->setText("7");
        emit devForm->edit->editingFinished();
        QCOMPARE(page.emitted.size(), 1);
        QCOMPARE(page.emitted.last().value("clk").toString(), QStringLiteral("7"));

        // The names offered sorted; a rejected or empty pick changes nothing.
        QStringList offered;
        answerModal<TDialogSelectDevice>([&offered](TDialogSelectDevice *d) {
            for (int i = 0; i < d->findChild<QListWidget *>()->count(); ++i)
                offered << d->findChild<QListWidget *>()->item(i)->text();
            d->reject();
        });
        form->findChild<QPushButton *>()->click();
        QCOMPARE(offered, QStringList({"ChipA", "ChipB", "chip0"}));
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { d->accept(); });
        form->findChild<QPushButton *>()->click();
        QCOMPARE(page.emitted.size(), 1);

        // Another device: stored with its file, the view follows it.
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { pick(d, "ChipB"); });
        form->findChild<QPushButton *>()->click();
        QCOMPARE(page.emitted.size(), 2);
        QCOMPARE(keysOf(page.emitted.last()), QStringList({SET_DEVICE_DEVICE, SET_DEVICE_FILE, REC_ID_CMD}));
        QCOMPARE(page.emitted.last().value(SET_DEVICE_FILE).toString(), QStringLiteral("chipB.dev"));
        QCOMPARE(name->text(), QStringLiteral("ChipB"));
        QVERIFY(!form->findChild<TTestDevForm *>());
        QVERIFY(!connection->toPlainText().contains(QString(50, '-')));

        // The same device again is stored again and the embedded form rebuilt.
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { pick(d, "ChipA"); });
        form->findChild<QPushButton *>()->click();
        const QPointer<TTestDevForm> first = form->findChild<TTestDevForm *>();
        QVERIFY(first);
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { pick(d, "ChipA"); });
        form->findChild<QPushButton *>()->click();
        QCOMPARE(page.emitted.size(), 4);
        QVERIFY(!first);
        QVERIFY(form->findChild<TTestDevForm *>());

        // A command without device in force shows nothing of one.
        TFormProgSetDevice none({{REC_ID_CMD, setIo}});
        QVERIFY(none.findChild<QLineEdit *>()->text().isEmpty());
        QVERIFY(!none.findChild<TTestDevForm *>());
    }

    void routes()
    {
        const QString route = QStringLiteral("0x51=%1|0x99=%2||bad|0x50=%3|=4|0x50=1=2")
                                  .arg(dup2).arg(cfg).arg(dup2);
        const int detect = add(cfg, CMD_AUTO_DETECT,
                               {{AUTO_NAME, "Mem"}, {AUTO_ROUTE, route}, {AUTO_EXECUTE, 7}, {AUTO_STOP, 1}});
        dataPrj.validateAll();
        Page page;
        std::unique_ptr<TFormProgAutoDetect> form(new TFormProgAutoDetect(record(detect)));
        page.host(form.get());
        QVERIFY(page.emitted.isEmpty());
        auto *table = form->findChild<QTableWidget *>();
        // A row each; an item that leads to no configuration shows as stored.
        QCOMPARE(table->rowCount(), 6);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Twin"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("dup"));
        QVERIFY(table->item(1, 0)->text().isEmpty());   // unknown identifier
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("bad"));
        QVERIFY(table->item(5, 1)->text().isEmpty());
        const auto boxes = form->findChildren<TComboBox *>();
        QCOMPARE(boxes.at(0)->currentIndex(), -1);        // "execute" 7

        // Moving rows keeps every identifier and configuration id, even
        // the unknown one and the second of two equal names, and every item
        // that leads nowhere as stored.
        table->setCurrentCell(3, 0);
        form->slotMoveUp();
        const QString moved =
            QStringLiteral("0x51=%1|0x99=%2|0x50=%1|bad|=4|0x50=1=2").arg(dup2).arg(cfg);
        QCOMPARE(page.emitted.last().value(AUTO_ROUTE).toString(), moved);
        QCOMPARE(record(detect).value(AUTO_EXECUTE).toInt(), 7);

        // Editing a row: the dialog starts on that row's own entries and
        // stores the picked ones; OK needs a device and a configuration.
        table->setCurrentCell(0, 0);
        answerModal<TFormProgAutoDetectEdit>([this](TFormProgAutoDetectEdit *d) {
            QCOMPARE(d->deviceKey(), QStringLiteral("0x51"));
            QCOMPARE(d->cfgId(), dup2);
            d->deviceBox()->setCurrentIndex(d->deviceBox()->findData("0x52"));
            d->cfgBox()->setCurrentIndex(d->cfgBox()->findData(cfg));
            d->okButton()->click();
        });
        form->slotEdit();
        QCOMPARE(page.emitted.last().value(AUTO_ROUTE).toString(),
                 QStringLiteral("0x52=%1|0x99=%1|0x50=%2|bad|=4|0x50=1=2").arg(cfg).arg(dup2));
        answerModal<TFormProgAutoDetectEdit>([](TFormProgAutoDetectEdit *d) {
            QVERIFY(!d->okButton()->isEnabled());
            d->deviceBox()->setCurrentIndex(0);
            QVERIFY(!d->okButton()->isEnabled());
            d->reject();
        });
        const int before = page.emitted.size();
        form->slotAdd();
        QCOMPARE(page.emitted.size(), before);

        // Delete asks; No keeps the row.
        answerModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        form->slotDelete();
        QCOMPARE(table->rowCount(), 6);
        answerModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
        form->slotDelete();
        QCOMPARE(table->rowCount(), 5);

        // The family already shown changes nothing; another empties the routes.
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { pick(d, "Mem"); });
        form->slotBtnSelectFamily();
        QCOMPARE(table->rowCount(), 5);
        answerModal<TDialogSelectDevice>([](TDialogSelectDevice *d) { pick(d, "Other"); });
        form->slotBtnSelectFamily();
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(record(detect).value(AUTO_NAME).toString(), QStringLiteral("Other"));
        QCOMPARE(record(detect).value(AUTO_ROUTE).toString(), QString());
    }

    void routeHotKeysAndMissingCommand()
    {
        setAppFileLocation(dir.path(), QStringLiteral("velkor"));
        {
            TSettings keys(hotKeyFilePath());
            keys.writeString("/HotKeyCmdAutoDetect/MoveDown", "Ctrl+D");
        }
        const int detect = add(cfg, CMD_AUTO_DETECT,
                               {{AUTO_NAME, "Mem"}, {AUTO_ROUTE, QStringLiteral("0x50=%1|0x51=%2").arg(cfg).arg(dup1)}});
        Page page;
        TFormProgAutoDetect form(record(detect));
        page.host(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *table = form.findChild<QTableWidget *>();
        form.findChildren<TComboBox *>().at(0)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(page.emitted.isEmpty());
        table->setFocus();
        table->setCurrentCell(0, 0);
        QTest::keyClick(table, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(page.emitted.size(), 1);
        QCOMPARE(page.emitted.last().value(AUTO_ROUTE).toString(),
                 QStringLiteral("0x51=%1|0x50=%2").arg(dup1).arg(cfg));
        setAppFileLocation(QString(), QString());

        // Built for a record the project lacks: no crash, no device.
        TFormProgAutoDetect orphan({{REC_ID_CMD, 99999}, {AUTO_NAME, "Mem"}, {AUTO_ROUTE, "0x50=1"}});
        QCOMPARE(orphan.findChild<QLineEdit *>()->text(), QStringLiteral("Mem"));
        QCOMPARE(orphan.findChild<QTableWidget *>()->rowCount(), 1);
    }
};

QTEST_MAIN(TestDeviceForms)
#include "test_device_forms.moc"
