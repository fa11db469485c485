// A damaged number of a loaded project file as the user meets it on the
// configuration page: the row is red, the form shows the value as stored,
// in the colour of an invalid value, and keeps it while other fields are
// edited; the value the user enters (even 0) or the default button makes
// the command valid. Driven by clicks and keys.

#include "core/TAppData.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormTools.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtPrj.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtEditHexDec64.h"
#include "support/NumberedLanguage.h"
#include "support/edit_test_util.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

// A hand-edited project: a 24xx file write whose count is "abc", a delay
// of "12x" ms and an "execute" of configuration "abc".
QByteArray projectText()
{
    return QStringLiteral(
               "{\"version\": 1, \"configurations\": [{\"name\": \"Config\", \"description\": \"\", \"commands\": [\n"
               "{\"status\": \"1\", \"cmd\": \"set_prog\", \"prog\": \"Box\"},\n"
               "{\"status\": \"1\", \"cmd\": \"set_device\", \"device\": \"24xx\", \"file\": \"%1/24xx/24c02.dev\", "
               "\"clk\": \"400000\", \"addr\": \"0\"},\n"
               "{\"status\": \"1\", \"cmd\": \"file_write\", \"format\": \"hex\", \"file\": \"a.hex\", "
               "\"addr_file\": \"0\", \"addr_device\": \"16\", \"count\": \"abc\"},\n"
               "{\"status\": \"1\", \"cmd\": \"delay\", \"value\": \"12x\"},\n"
               "{\"status\": \"1\", \"cmd\": \"execute\", \"cfg\": \"abc\"}\n"
               "]}]}\n")
        .arg(DEVICES)
        .toUtf8();
}

void clickRow(TWgtCmdList *list, int row)
{
    QTableWidget *t = list->table();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, t->visualItemRect(t->item(row, 1)).center());
}

bool isRed(TWgtCmdList *list, int row)
{
    return list->table()->item(row, 1)->foreground().color() == QColor(Qt::red);
}

QList<QLineEdit *> linesOf(QWidget *edit)
{
    return edit->findChildren<QLineEdit *>();
}

} // namespace

class TestDamagedValues : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    TData stored(int row) const { return dataPrj.cmdList().at(row)->params(); }

    // The hand-edited project, through the project-file reader.
    bool loadProject()
    {
        const QString file = dir.filePath(QStringLiteral("damaged.prj"));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(projectText()) <= 0)
            return false;
        f.close();
        dataPrj.clear();
        if (TCtrlProject().load(file, &dataPrj) != 0)
            return false;
        dataPrj.validateAll();
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        registerMetaTypes();
        setAppFileLocation(dir.path());
        appData.load();
        QVERIFY(NumberedLanguage::load());
        appData.pathDevices = DEVICES;
        TProgType types;
        types.add(QStringLiteral("EmuType"), QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, QStringLiteral("Box"), QStringLiteral("/dev/null"), QStringLiteral("EmuType"));
        appData.progName.replace(names);
    }

    void cleanup() { dataPrj.clear(); }

    void damagedValuesOnThePage()
    {
        QVERIFY(loadProject());
        TWgtPrj view;
        connect(&dataPrj, &TDataPrj::signalChangeData, &view, &TWgtPrj::slotUpdateGUI, Qt::QueuedConnection);
        view.rebuild();
        view.resize(800, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        TWgtConfig *page = view.cfgPage(0);
        page->showPageParam();
        TWgtCmdList *list = page->cmdList();
        QVERIFY(!isRed(list, 1));
        for (int row : {2, 3, 4})
            QVERIFY2(isRed(list, row), qPrintable(QString::number(row)));
        // A red row's tool tip says why; the file write's count is no number.
        QCOMPARE(list->table()->item(1, 1)->toolTip(), QString());
        QVERIFY2(list->table()->item(2, 1)->toolTip().startsWith(QLatin1String("msg 488")),
                 qPrintable(list->table()->item(2, 1)->toolTip()));

        // The file write: the count shows as stored, in the warning colour
        // an out-of-range value has; the other windows as they are.
        clickRow(list, 2);
        auto *form = qobject_cast<TFormDevRWVFile *>(page->openForm());
        QVERIFY(form);
        const auto edits = form->findChildren<TWgtEditHexDec64 *>();
        QCOMPARE(edits.size(), 3);   // file address, device address, count
        TWgtEditHexDec64 *count = edits.at(2);
        for (QLineEdit *line : linesOf(count)) {
            QCOMPARE(line->text(), QStringLiteral("abc"));
            QCOMPARE(line->palette().color(QPalette::Active, QPalette::Base), warningColor());
        }
        QCOMPARE(linesOf(edits.at(1)).last()->text(), QStringLiteral("16"));
        QVERIFY(baseOf(edits.at(1)) != warningColor());

        // Another field changes: the count stays as stored, not 0.
        QLineEdit *name = lineOf(form->findChild<TWgtEditFileName *>());
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("b.hex"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(stored(2).value(FILE_FILE).toString(), QStringLiteral("b.hex"));
        QCOMPARE(stored(2).value(FILE_COUNT).toString(), QStringLiteral("abc"));
        QVERIFY(!dataPrj.cmdList().at(2)->validParam());
        QTest::qWait(0);
        QVERIFY(isRed(list, 2));

        // Return in the untouched count takes nothing either.
        QLineEdit *countDec = linesOf(count).last();
        QTest::mouseClick(countDec, Qt::LeftButton);
        QTest::keyClick(countDec, Qt::Key_Return);
        QCOMPARE(stored(2).value(FILE_COUNT).toString(), QStringLiteral("abc"));

        // A number typed into the count is taken, and the row turns valid.
        QTest::mouseClick(countDec, Qt::LeftButton);
        QTest::keyClicks(countDec, QStringLiteral("128"));
        QTest::keyClick(countDec, Qt::Key_Return);
        QCOMPARE(stored(2).value(FILE_COUNT).toString(), QStringLiteral("128"));
        QVERIFY(dataPrj.cmdList().at(2)->validParam());
        QTRY_VERIFY(!isRed(list, 2));
        for (QLineEdit *line : linesOf(count))
            QVERIFY(line->palette().color(QPalette::Active, QPalette::Base) != warningColor());
        QCOMPARE(linesOf(count).first()->text(), QStringLiteral("0x80"));

        // The delay: "12x" as stored; the default button gives the default.
        clickRow(list, 3);
        QVERIFY(qobject_cast<TFormToolsDelay *>(page->openForm()));
        auto *delay = page->openForm()->findChild<TWgtEditDecDef *>();
        QCOMPARE(lineOf(delay)->text(), QStringLiteral("12x"));
        QCOMPARE(baseOf(delay), warningColor());
        QTest::mouseClick(delay->findChild<QPushButton *>(), Qt::LeftButton);
        QCOMPARE(stored(3).value(DELAY_VALUE).toString(), QStringLiteral("100"));
        QTRY_VERIFY(!isRed(list, 3));

        // The configuration to execute: no item, as for one that is gone;
        // choosing one makes the command valid.
        clickRow(list, 4);
        QVERIFY(qobject_cast<TFormToolsExecute *>(page->openForm()));
        auto *box = page->openForm()->findChild<TComboBox *>();
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(box->palette().color(QPalette::Base), warningColor());
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(stored(4).value(EXECUTE_CFG).toString(), QString::number(dataPrj.cfgIdAt(0)));
        QTRY_VERIFY(!isRed(list, 4));
    }

    // A damaged count entered as 0, the value the edit started from, is
    // taken all the same.
    void zeroIsTakenForADamagedValue()
    {
        QVERIFY(loadProject());
        TWgtPrj view;
        view.rebuild();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        TWgtConfig *page = view.cfgPage(0);
        page->showPageParam();
        clickRow(page->cmdList(), 2);
        TWgtEditHexDec64 *count = page->openForm()->findChildren<TWgtEditHexDec64 *>().at(2);
        enter(count, QStringLiteral("0"));
        QCOMPARE(stored(2).value(FILE_COUNT).toString(), QStringLiteral("0"));
        for (QLineEdit *line : linesOf(count))
            QVERIFY(line->text() == QLatin1String("0") || line->text() == QLatin1String("0x00"));
    }
};

QTEST_MAIN(TestDamagedValues)
#include "test_damaged_values.moc"
