// The configuration-name, language and about dialogs: answers, sorting,
// fixed heights and the geometry kept on every way out.

#include "core/TAppData.h"
#include "gui/dialogs/TDialogSmall.h"
#include "support/ModalAnswer.h"
#include "support/NumberedLanguage.h"
#include "support/Screenshot.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

class TestSmallDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(NumberedLanguage::load()); }
    void cleanup() { finishModalAnswers(); }

    void cfgEdit()
    {
        appData.windowOtherCenter = false;
        appData.windowCfgEditWidth = 333;
        for (int way = 0; way < 2; ++way) {
            TDialogCfgEdit dialog("Title");
            QCOMPARE(dialog.windowTitle(), QString("Title"));
            QCOMPARE(dialog.minimumHeight(), dialog.maximumHeight());
            QCOMPARE(dialog.height(), dialog.sizeHint().height());
            QCOMPARE(dialog.width(), 333 + way * 100);
            dialog.setName("  old  ");
            answerModal<TDialogCfgEdit>([way](TDialogCfgEdit *d) {
                saveScreenshot(d, "cfg_edit");
                auto *edit = d->findChild<QLineEdit *>();
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Backspace);
                QTest::keyClicks(edit, way ? " x " : "");
                d->resize(d->width() + 100, d->height() + 80);
                QCOMPARE(d->height(), d->minimumHeight());
                if (way)
                    d->reject();
                else
                    d->findChildren<QPushButton *>().constFirst()->click();
            });
            QCOMPARE(dialog.exec(), way ? 0 : 1);
            QCOMPARE(dialog.name(), way ? QString(" x ") : QString());
        }
        QCOMPARE(appData.windowCfgEditWidth, 533);
    }

    void language_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("first");
        QTest::newRow("sorted") << QStringList{"rus.lng", " eng.lng", "deu.lng"} << " eng.lng";
        QTest::newRow("empty") << QStringList() << QString();
    }
    void language()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, first);
        appData.windowLanguageHeight = 300;
        auto owned = std::make_unique<TDialogSetLanguage>(entries);
        TDialogSetLanguage &dialog = *owned;
        QCOMPARE(dialog.windowTitle(), QString("Language"));
        auto *list = dialog.findChild<QListWidget *>();
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        entries.sort();
        QCOMPARE(shown, entries);
        answerModal<TDialogSetLanguage>([](TDialogSetLanguage *d) {
            saveScreenshot(d, "language");
            d->resize(d->width(), 250);
            d->findChildren<QPushButton *>().constFirst()->click(); // Select
        });
        QCOMPARE(dialog.exec(), 1);
        QCOMPARE(dialog.selectedLanguage(), first);
        if (!entries.isEmpty()) {
            list->setCurrentRow(2);
            QCOMPARE(dialog.selectedLanguage(), QString("rus.lng"));
        }
        owned.reset();
        QCOMPARE(appData.windowLanguageHeight, 250);
    }

    void about()
    {
        QMainWindow main;
        main.setGeometry(100, 80, 400, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        TDialogAbout dialog(&main);
        QCOMPARE(dialog.windowTitle(), NumberedLanguage::text(66));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.width(), dialog.sizeHint().width() + 50);
        const QRect g = main.geometry();
        QCOMPARE(dialog.geometry().left(), (g.left() + g.right()) / 2 - dialog.width() / 2);
        QVERIFY(dialog.findChild<QLabel *>()->font().bold());
        saveScreenshot(&dialog, "about");
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
