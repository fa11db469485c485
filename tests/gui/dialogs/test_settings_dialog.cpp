// The settings dialog and its pages, driven as a user would, checked
// through what TAppData::save writes: Cancel changes nothing, OK without a
// change rewrites the same bytes, each widget edits exactly its own key,
// the programmer page keeps its rules and refuses entries that would be
// lost, and a save cut short by a full disk leaves the old file whole.

#include "core/TAppData.h"
#include "core/TSettings.h"
#include "core/helpers.h"
#include "gui/dialogs/TDialogSetupPageInterface.h"
#include "gui/dialogs/TDialogSetupPageMain.h"
#include "gui/dialogs/TDialogSetupPageProg.h"
#include "gui/dialogs/TDialogSetupPageProgEdit.h"
#include "gui/dialogs/TDialogSetupSelect.h"
#include "gui/widgets/TComboBox.h"
#include "link/TSerialPort.h"
#include "core/TLang.h"
#include "support/ModalAnswer.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

QByteArray savedBytes()
{
    if (!appData.save())
        return QByteArray("save failed");
    QFile f(settingsFilePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QMap<QString, QVariant> savedKeys()
{
    appData.save();
    TSettings s(settingsFilePath());
    QMap<QString, QVariant> map;
    for (const QString &key : s.allKeys())
        map.insert(key, s.value(key));
    return map;
}

// Writes the settings file as another program would, for the next load.
// The INI reader keeps what it read of a file for as long as the file's
// size and modification time stay the same, and a file's time moves on in
// ticks of several milliseconds: the baseline put back over a save of the
// same size in the same tick would read as that save. Each file put back
// gets a time of its own, long past, that no save of the program gives.
bool putBack(const QByteArray &bytes)
{
    static qint64 count = 0;
    QFile file(settingsFilePath());
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000 + ++count),
                            QFileDevice::FileModificationTime);
}

QStringList changedKeys(const QMap<QString, QVariant> &a, const QMap<QString, QVariant> &b)
{
    QStringList keys;
    QSet<QString> all;
    for (const QString &k : a.keys() + b.keys())
        all.insert(k);
    for (const QString &k : all)
        if (a.value(k) != b.value(k))
            keys << k;
    return keys;
}

QStringList fakePorts()
{
    return {QStringLiteral("ttyUSB1 (FTDI)"), QStringLiteral("ttyUSB10"), QStringLiteral("ttyS0")};
}

// A value unlike its default in every key the pages edit.
void nonDefaults()
{
    appData.style = QStringLiteral("Fusion");
    for (bool *b : {&appData.saveSettingsWindow, &appData.saveSettingsApp, &appData.autoSavePrj,
                    &appData.openLastPrj, &appData.windowMainCenter, &appData.windowOtherCenter,
                    &appData.prjListShowName, &appData.prjListShowFilter, &appData.prjListDragDrop,
                    &appData.prjHideTabCfg, &appData.cmdDelCmdDev, &appData.cmdAddState,
                    &appData.execLogShowTime, &appData.execClearWindow, &appData.confirmQuit,
                    &appData.confirmCmdPaste, &appData.cmdToolsJampColorEnable})
        *b = !*b;
    appData.windowCmdSelector = 4;
    appData.cfgOrientation = 1;
    appData.prjListExpand = 2;
    appData.pathDevices = QStringLiteral("devs dir");
    appData.pathProgs = QStringLiteral("/abs/progs");
    appData.pathLanguage = QString();
    appData.cmdToolsJampColor = QColor(1, 2, 3);
    appData.progType.clear();
    appData.progType.add(QStringLiteral(" Box, \"A\" "), QStringLiteral("box=1#;.ini"));
    appData.progName.clear();
    appData.progName.add(true, QStringLiteral(" Ünï, =#; "), QStringLiteral("/dev/pts/3"),
                         QStringLiteral(" Box, \"A\" "));
    appData.progName.add(false, QStringLiteral("Second"), QStringLiteral("ttyUSB0"),
                         QStringLiteral("Missing"));
    appData.progDefault = 0;
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        // The real texts: their placeholders are filled as in use.
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(!lang.text(176).isEmpty());
        setAppFileLocation(dir.path(), QStringLiteral("velkor"));
        TSerialPort::setPortLister(&fakePorts);
    }

    void init()
    {
        QFile::remove(settingsFilePath());
        appData.load();
        nonDefaults();
        QVERIFY(appData.save());
    }
    void cleanup()
    {
        finishModalAnswers();
    }

    void pagesAndNavigation()
    {
        appData.windowSettingsMainSplitter.clear();
        for (int opening = 0; opening < 2; ++opening) {
            TDialogSetupSelect dialog;
            dialog.loadPages();
            dialog.show();
            auto *tree = dialog.findChild<QTreeView *>();
            auto *title = dialog.findChildren<QLabel *>().first();
            QCOMPARE(tree->model()->rowCount(), 4);
            QStringList names;
            for (int r = 0; r < 4; ++r)
                names << tree->model()->index(r, 0).data().toString();
            QCOMPARE(names, QStringList({lang.text(176), lang.text(212), lang.text(240), lang.text(273)}));
            QCOMPARE(tree->currentIndex().row(), 0);   // Main first, every time
            QVERIFY(title->text().contains(lang.text(177)));

            auto *main = dialog.pages().at(0);
            auto *box = main->findChildren<QCheckBox *>().first();
            box->click();
            const bool changed = box->isChecked();
            tree->setFocus();
            QTest::keyClick(tree, Qt::Key_Down);
            QTest::keyClick(tree, Qt::Key_Down);
            QVERIFY(title->text().contains(lang.text(241)));
            QTest::keyClick(tree, Qt::Key_Home);
            QCOMPARE(box->isChecked(), changed);
            dialog.reject();
        }
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("cancel") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("close") << 2;
    }
    void cancelChangesNothing()
    {
        QFETCH(int, way);
        const QByteArray before = savedBytes();
        appData.windowSettingsLeft = 50;
        {
            TDialogSetupSelect dialog;
            dialog.loadPages();
            answerModal<TDialogSetupSelect>([way](TDialogSetupSelect *shown) {
                for (IDialogSetupPage *page : shown->pages())
                    for (QCheckBox *box : page->findChildren<QCheckBox *>())
                        box->click();
                shown->move(shown->x() + 3, shown->y());
                if (way == 0)
                    shown->findChildren<QPushButton *>().last()->click();
                else if (way == 1)
                    QTest::keyClick(shown, Qt::Key_Escape);
                else
                    shown->close();
            });
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }
        QCOMPARE(savedBytes(), before);
        QVERIFY(appData.windowSettingsLeft != 50);   // geometry is kept all the same
    }

    void okWithoutChangeRewritesTheSameBytes()
    {
        const QByteArray before = savedBytes();
        TDialogSetupSelect dialog;
        dialog.loadPages();
        answerModal<TDialogSetupSelect>([](TDialogSetupSelect *shown) {
            shown->findChildren<QPushButton *>().at(0)->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        dialog.savePages();
        QCOMPARE(savedBytes(), before);
    }

    // Every check box, choice and folder of the Main, Interface and
    // Confirmation pages changes its own key and no other, shown or not.
    void eachWidgetEditsItsOwnKey()
    {
        const QMap<QString, QVariant> baseline = savedKeys();
        const QByteArray baselineBytes = savedBytes();
        int widgets = 0;
        for (int pageIndex : {0, 2, 3}) {
            for (int i = 0;; ++i) {
                QVERIFY(putBack(baselineBytes));
                appData.load();
                TDialogSetupSelect dialog;
                dialog.loadPages();
                IDialogSetupPage *page = dialog.pages().at(pageIndex);
                QList<QWidget *> editable;
                for (QCheckBox *b : page->findChildren<QCheckBox *>())
                    editable << b;
                for (QComboBox *c : page->findChildren<QComboBox *>())
                    editable << c;
                for (QLineEdit *e : page->findChildren<QLineEdit *>())
                    if (!qobject_cast<QComboBox *>(e->parentWidget()))
                        editable << e;
                if (i >= editable.size())
                    break;
                QWidget *w = editable.at(i);
                if (auto *b = qobject_cast<QCheckBox *>(w)) {
                    b->setEnabled(true);
                    b->click();
                } else if (auto *c = qobject_cast<QComboBox *>(w)) {
                    c->setCurrentIndex((c->currentIndex() + 1) % c->count());
                } else {
                    QTest::keyClicks(static_cast<QLineEdit *>(w), "x");
                }
                dialog.savePages();
                const QStringList changed = changedKeys(baseline, savedKeys());
                QVERIFY2(changed.size() == 1, qPrintable(QStringLiteral("page %1 widget %2: %3")
                                                             .arg(pageIndex).arg(i).arg(changed.join(", "))));
                ++widgets;
            }
        }
        QCOMPARE(widgets, 13 + 28 + 18);

        // The milliseconds box follows the show-time box.
        appData.execLogShowTime = false;
        TDialogSetupPageInterface page;
        page.load();
        const auto boxes = page.findChildren<QCheckBox *>();
        QCheckBox *showTime = nullptr, *ms = nullptr;
        for (QCheckBox *b : boxes) {
            if (b->text() == lang.text(263).arg(lang.text(75)))
                showTime = b;
            if (b->text() == lang.text(265).arg(lang.text(75)))
                ms = b;
        }
        QVERIFY(showTime && ms);
        QVERIFY(!ms->isEnabled());
        showTime->click();
        QVERIFY(ms->isEnabled());
    }

    void programmerPageRules()
    {
        appData.progName.clear();
        appData.progName.add(true, "A", "p1", "T");
        appData.progName.add(false, "B", "p2", "T");
        appData.progName.add(true, "C", "p3", "Gone");
        appData.progType.clear();
        appData.progType.add("T", "t.ini");
        appData.progDefault = 0;
        TDialogSetupPageProg page;
        page.load();
        QTableWidget *names = page.aliasTable();
        auto check = [names](int row, int col) { return names->item(row, col)->checkState() == Qt::Checked; };

        QVERIFY(names->item(2, 2)->font().strikeOut());   // its type is missing
        QVERIFY(!names->item(0, 2)->font().strikeOut());
        names->item(1, 0)->setCheckState(Qt::Checked);      // B is not offered
        QVERIFY(!check(1, 0));
        names->item(2, 0)->setCheckState(Qt::Checked);
        QVERIFY(check(2, 0) && !check(0, 0));
        names->item(2, 1)->setCheckState(Qt::Unchecked);
        QVERIFY(!check(2, 0));
        names->item(0, 0)->setCheckState(Qt::Checked);

        // Delete asks; No keeps the row.
        names->setCurrentCell(1, 2);
        answerBox(false);
        page.slotAliasDelete();
        QCOMPARE(names->rowCount(), 3);

        // A name another row has, or a "|", is refused; the dialog stays.
        int refusals = 0;
        answerModal<TDialogSetupPageProgAliasEdit>([&refusals](TDialogSetupPageProgAliasEdit *d) {
            auto *edit = d->findChild<QLineEdit *>();
            for (const char *bad : {"A", "x|y"}) {
                edit->setText(bad);
                answerModal<QMessageBox>([&refusals](QMessageBox *box) {
                    ++refusals;
                    box->accept();
                });
                d->okButton()->click();
            }
            QVERIFY(d->isVisible());
            edit->setText("D");
            d->okButton()->click();
        });
        names->setCurrentCell(0, 2);
        page.slotAliasAdd();
        QCOMPARE(refusals, 2);
        QCOMPARE(names->rowCount(), 4);
        QCOMPARE(names->item(1, 2)->text(), QStringLiteral("D"));

        // Moving the default row: the default follows it.
        names->setCurrentCell(0, 2);
        page.slotAliasMoveDown();
        page.slotAliasMoveDown();
        page.save();
        QCOMPARE(appData.progName.names(), QStringList({"D", "B", "A", "C"}));
        QCOMPARE(appData.progDefault, 2);
        QCOMPARE(appData.progName.find("C").port, QStringLiteral("p3"));
        QVERIFY(!appData.progName.find("C").mark);
    }

    // A description file picked in the type dialog is stored so that it
    // resolves against the programmers folder to the file picked: relative
    // inside that folder, whole elsewhere (another folder, a folder below
    // the one the old file was in). The chooser opens where the file is.
    void typeFilePickedResolves_data()
    {
        QTest::addColumn<QString>("stored");   // relative to the programmers folder, or "@" + tmp-relative
        QTest::addColumn<QString>("picked");   // "P/..." inside it, else tmp-relative
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QString>("opensIn");  // as picked
        QTest::newRow("from inside to another folder") << "box.cfg" << "other/a.cfg" << false << "P";
        QTest::newRow("within another folder") << "@other/a.cfg" << "other/b.cfg" << false << "other";
        QTest::newRow("to a folder below another one") << "@other/a.cfg" << "other/sub/c.cfg" << false << "other";
        QTest::newRow("back into the folder") << "@other/a.cfg" << "P/box.cfg" << true << "other";
        QTest::newRow("into a folder below it") << "box.cfg" << "P/sub/d.cfg" << true << "P";
        QTest::newRow("from below it to beside it") << "sub/d.cfg" << "P/box.cfg" << true << "P/sub";
        QTest::newRow("added from elsewhere") << "" << "other/a.cfg" << false << "P";
    }
    void typeFilePickedResolves()
    {
        QFETCH(QString, stored);
        QFETCH(QString, picked);
        QFETCH(bool, relative);
        QFETCH(QString, opensIn);
        QTemporaryDir tmp;
        const QString progs = tmp.filePath("progs");
        const auto place = [&](const QString &name) {
            return name.startsWith("P") ? progs + name.mid(1) : tmp.filePath(name);
        };
        for (const char *file : {"progs/box.cfg", "progs/sub/d.cfg", "other/a.cfg", "other/b.cfg", "other/sub/c.cfg"}) {
            QVERIFY(QDir().mkpath(QFileInfo(tmp.filePath(file)).path()));
            QFile f(tmp.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        appData.setFolder(&TAppData::pathProgs, progs);
        appData.progType.clear();
        if (!stored.isEmpty())
            appData.progType.add("T", stored.startsWith("@") ? tmp.filePath(stored.mid(1)) : stored);
        TDialogSetupPageProg page;
        page.load();
        QString openedIn;
        answerModal<TDialogSetupPageProgTypeEdit>([&](TDialogSetupPageProgTypeEdit *dialog) {
            if (stored.isEmpty())
                dialog->findChild<QLineEdit *>()->setText("New");
            answerModal<QFileDialog>([&](QFileDialog *chooser) {
                openedIn = chooser->directory().absolutePath();
                enterFileName(chooser, place(picked));
                static_cast<QDialog *>(chooser)->accept();
            });
            for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
                if (b->text() == "...")
                    QTest::mouseClick(b, Qt::LeftButton);
            }
            dialog->okButton()->click();
        });
        if (stored.isEmpty())
            page.slotTypeAdd();
        else
            page.slotTypeEdit();
        QCOMPARE(QDir(openedIn).canonicalPath(), QDir(place(opensIn)).canonicalPath());
        page.save();
        const QString type = stored.isEmpty() ? "New" : "T";
        const QString file = appData.progType.value(type);
        QCOMPARE(QFileInfo(file).isRelative(), relative);
        QCOMPARE(QFileInfo(makeAbsolutePath(appData.folder(&TAppData::pathProgs), file)).canonicalFilePath(),
                 QFileInfo(place(picked)).canonicalFilePath());
    }

    void ports()
    {
        TDialogSetupPageProgAliasEdit dialog("t");
        dialog.setValues("n", "ttyUSB1", "", {});
        auto *port = dialog.findChild<QComboBox *>();
        QCOMPARE(port->count(), 3);
        QCOMPARE(port->currentIndex(), 0);                  // whole name only
        QCOMPARE(dialog.port(), QStringLiteral("ttyUSB1"));
        port->setCurrentIndex(1);
        QCOMPARE(dialog.port(), QStringLiteral("ttyUSB10"));
        port->setEditText("/dev/pts/3");
        QCOMPARE(dialog.port(), QStringLiteral("/dev/pts/3"));

        TDialogSetupPageProgAliasEdit typed("t");
        typed.setValues("n", "ttyUSB", "", {});
        QCOMPARE(typed.findChild<QComboBox *>()->currentIndex(), -1);
        QCOMPARE(typed.port(), QStringLiteral("ttyUSB"));
    }

    void savedListsRoundTrip()
    {
        const QStringList names = appData.progName.names();
        QVERIFY(appData.save());
        appData.progName.clear();
        appData.load();
        QCOMPARE(appData.progName.names(), names);
        QCOMPARE(appData.progName.find(names.at(0)).type, QStringLiteral(" Box, \"A\" "));
        QCOMPARE(appData.progType.value(" Box, \"A\" "), QStringLiteral("box=1#;.ini"));
    }

    void fullDiskKeepsTheOldFile()
    {
        const QByteArray before = savedBytes();
        for (int i = 0; i < 2000; ++i)
            appData.progName.add(true, QStringLiteral("Programmer %1").arg(i), "ttyUSB0", "T");
        struct rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = saved;
        limit.rlim_cur = rlim_t(before.size() + 4096);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const bool ok = appData.save();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok);
        QFile f(settingsFilePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!QFile::exists(settingsFilePath() + ".new"));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
