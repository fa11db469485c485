// The device picker: wildcard filter, count, keyboard hand-over between the
// filter and the list, the answer, and the geometry kept on every way out.

#include "core/TAppData.h"
#include "gui/dialogs/TDialogSelectDevice.h"
#include "support/ModalAnswer.h"
#include "support/NumberedLanguage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

int shownRows(QListWidget *list)
{
    int n = 0;
    for (int i = 0; i < list->count(); ++i)
        n += list->item(i)->isHidden() ? 0 : 1;
    return n;
}

} // namespace

class TestSelectDevice : public QObject
{
    Q_OBJECT

    const QStringList names{"AT24C02", "AT24C04", "W25Q32", "at25x", "M[1]"};

private slots:
    void initTestCase() { QVERIFY(NumberedLanguage::load()); }
    void cleanup() { finishModalAnswers(); }

    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("shown");
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("lower case finds upper") << "at24" << 2;
        QTest::newRow("question mark") << "24C0?" << 2;
        QTest::newRow("inner star") << "a*x" << 1;
        QTest::newRow("set") << "[WM]" << 2;
        QTest::newRow("none") << "zz" << 0;
    }
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(int, shown);
        TDialogSelectDevice dialog(names);
        auto *edit = dialog.findChild<QLineEdit *>();
        auto *list = dialog.findChild<QListWidget *>();
        QTest::keyClicks(edit, text);
        QCOMPARE(shownRows(list), shown);
        QVERIFY(dialog.findChild<QLabel *>()->text().endsWith(QStringLiteral(": %1").arg(shown)));
        dialog.findChild<QPushButton *>("")->click(); // first button: clear
        QVERIFY(edit->text().isEmpty());
        QVERIFY(dialog.findChild<QLabel *>()->text().endsWith(": 5"));
    }

    void keyboardAndAnswer()
    {
        TDialogSelectDevice dialog(names);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *edit = dialog.findChild<QLineEdit *>();
        auto *list = dialog.findChild<QListWidget *>();
        QCOMPARE(dialog.selectedDevice(), QString());
        edit->setFocus();
        QTest::keyClicks(edit, "25");
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(dialog.selectedDevice(), QStringLiteral("W25Q32"));
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(list->selectedItems().isEmpty());

        // A row the filter hides is no answer any more.
        list->setCurrentRow(2);
        QTest::keyClicks(edit, "x");
        QVERIFY(list->item(2)->isHidden());
        QCOMPARE(dialog.selectedDevice(), QString());

        // Nothing shown: the list takes the focus without a current row.
        QTest::keyClicks(edit, "zz");
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(dialog.selectedDevice(), QString());
    }

    void geometryOnEveryExit_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("ok") << 0;
        QTest::newRow("cancel") << 1;
        QTest::newRow("escape") << 2;
        QTest::newRow("double click") << 3;
    }
    void geometryOnEveryExit()
    {
        QFETCH(int, way);
        appData.windowSelectDeviceLeft = 10;
        appData.windowSelectDeviceTop = 20;
        appData.windowSelectDeviceWidth = 300;
        appData.windowSelectDeviceHeight = 400;
        appData.windowOtherCenter = false;
        int result = -1;
        QString chosen;
        {
            TDialogSelectDevice dialog(names);
            answerModal<TDialogSelectDevice>([way](TDialogSelectDevice *shown) {
                shown->move(shown->x() + 5, shown->y() + 7);
                auto *list = shown->findChild<QListWidget *>();
                list->setCurrentRow(1);
                const auto buttons = shown->findChildren<QPushButton *>();
                if (way == 0)
                    buttons.at(1)->click();
                else if (way == 1)
                    buttons.at(2)->click();
                else if (way == 2)
                    QTest::keyClick(shown, Qt::Key_Escape);
                else
                    emit list->itemDoubleClicked(list->item(1));
            });
            result = dialog.exec();
            chosen = dialog.selectedDevice();
        }
        QCOMPARE(result == QDialog::Accepted, way == 0 || way == 3);
        QCOMPARE(chosen, QStringLiteral("AT24C04"));
        QCOMPARE(appData.windowSelectDeviceLeft, 15);
        QCOMPARE(appData.windowSelectDeviceTop, 27);
        QCOMPARE(appData.windowSelectDeviceWidth, 300);
        QCOMPARE(appData.windowSelectDeviceHeight, 400);
    }
};

QTEST_MAIN(TestSelectDevice)
#include "test_select_device.moc"
