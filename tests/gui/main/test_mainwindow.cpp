// The main window: the enabling rule, hot keys, menus, context menus, tool
// bar, geometry and the last project reopened; and the project-list and
// project actions driven as a user drives them, dialogs answered on their
// buttons and file dialogs through their name field.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TSettings.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "data/TCtrlProject.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogSelectPrjList.h"
#include "gui/dialogs/dialog_messages.h"
#include "gui/forms/TFormProgAutoDetect.h"
#include "gui/main/TMainWindow.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtPrjList.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TWgtStatusBar.h"
#include "support/FileSizeLimit.h"
#include "support/ModalAnswer.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The file's bytes and what tells that it was written anew: its inode and
// times.
QByteArray fileState(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return "<missing>";
    return readAll(path) + QString::asprintf("\n[inode %llu, modified %lld.%09ld, changed %lld.%09ld]",
                                             (unsigned long long)st.st_ino, (long long)st.st_mtim.tv_sec,
                                             st.st_mtim.tv_nsec, (long long)st.st_ctim.tv_sec, st.st_ctim.tv_nsec)
                               .toUtf8();
}

// Answers the modal windows to come with the functions, in order, each
// once its window is up; the text of each box answered goes to seen().
class Answers
{
public:
    void add(std::function<void(QWidget *)> answer)
    {
        ++*m_pending;
        answerModal<QWidget>([answer, pending = m_pending, seen = m_seen](QWidget *w) {
            --*pending;
            if (auto *box = qobject_cast<QMessageBox *>(w))
                *seen << box->text();
            answer(w);
        });
    }
    int pending() const { return *m_pending; }
    const QStringList &seen() const { return *m_seen; }

private:
    std::shared_ptr<int> m_pending = std::make_shared<int>(0);
    std::shared_ptr<QStringList> m_seen = std::make_shared<QStringList>();
};

auto clickBox(QMessageBox::StandardButton which)
{
    return [which](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        QTest::mouseClick(box->button(which), Qt::LeftButton);
    };
}

auto typeFileName(const QString &path)
{
    return [path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    };
}

auto fillEntry(const QString &name, const QString &file, QString *prefilled = nullptr)
{
    return [=](QWidget *w) {
        const QList<QLineEdit *> edits = w->findChildren<QLineEdit *>();
        QVERIFY(edits.size() >= 2);
        if (prefilled)
            *prefilled = edits.at(0)->text() + "|" + edits.at(1)->text();
        edits.at(0)->setText(name);
        edits.at(1)->setText(file);
        for (QPushButton *b : w->findChildren<QPushButton *>()) {
            if (b->text() == lang.text(79))
                QTest::mouseClick(b, Qt::LeftButton);
        }
    };
}

const char *kProject = "{\n    \"version\": 1,\n    \"configurations\":\n    [\n"
                       "        {\"name\": \"One\", \"description\": \"\", \"commands\": [\n"
                       "            {\"cmd\": \"delay\", \"status\": \"1\"},\n"
                       "            {\"cmd\": \"pause\", \"status\": \"1\"},\n"
                       "            {\"cmd\": \"stop\", \"status\": \"1\"}]},\n"
                       "        {\"name\": \"Two\", \"description\": \"\", \"commands\": []}\n    ]\n}\n";

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QString folder; // of the list file, fresh for every test
    QStringList shownFolders;
    int round = 0;

    QString at(const QString &name) const { return folder + "/" + name; }

    void writeList()
    {
        writeBytes(at("list.lst"),
                   "{\"list\": [{\"name\": \"Boards\", \"expand\": 1}, {\"parent\": 1, \"name\": \"Board A\","
                   " \"file\": \"a.prj\"}, {\"name\": \"Tools\", \"file\": \"sub/tools.prj\"}]}");
        writeBytes(at("a.prj"), kProject);
        QVERIFY(QDir().mkpath(at("sub")));
        writeBytes(at("sub/tools.prj"), kProject);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        platform::setShowFolderHook([this](const QString &dir) { shownFolders << dir; });
    }
    void init()
    {
        folder = home.filePath(QString::number(++round));
        QVERIFY(QDir().mkpath(folder));
        writeList();
        QFile::remove(hotKeyFilePath());
        appData.pathProjects = folder;
        appData.prjListName = QStringLiteral("Main list");
        appData.prjListFile = QStringLiteral("list.lst");
        appData.prjListExpand = 0;
        appData.openLastPrj = false;
        appData.autoSavePrj = false;
        appData.iconsSet = 0;
        appData.windowMainCenter = false;
        appData.windowMainLeft = 10;
        appData.windowMainTop = 10;
        appData.windowMainWidth = 900;
        appData.windowMainHeight = 600;
        appData.confirmProjectsListReload = true;
        appData.confirmProjectSave = false;
        appData.confirmProjectDeleteCur = true;
        appData.confirmProjectDeleteSubAll = true;
        appData.selectPrjListFile = home.filePath("catalogue.lpl");
        shownFolders.clear();
    }
    void cleanup()
    {
        finishModalAnswers();
        dataPrj.resetModified();
        dataPrj.clear();
    }

    void enablingRule()
    {
        TMainActionFacts none;
        QHash<QString, bool> s = mainActionStates(none);
        for (const QString &n : s.keys())
            QVERIFY2(!s.value(n), qPrintable(n));
        TMainActionFacts f;
        f.listLoaded = f.hasItem = f.prjOpen = true;
        f.singleCfg = true;
        f.cmdCount = 3;
        f.currentRow = 0;
        f.hasCurrentCmd = true;
        s = mainActionStates(f);
        const struct { const char *name; bool on; } expected[] = {
            {"PrjNew", true}, {"PrjEdit", true}, {"PrjDeleteSubAll", false}, {"PrjPasteNew", false},
            {"CfgDelete", false}, {"CfgPasteNew", false}, {"CmdPaste", false}, {"CmdCopyOne", true},
            {"CmdMoveUp", false}, {"CmdMoveDown", true}, {"Exec", true}, {"CmdDeleteAll", true}};
        for (const auto &e : expected)
            QVERIFY2(s.value(e.name) == e.on, e.name);
        f.currentRow = 2;
        f.singleCfg = false;
        f.prjClipboard = f.cfgClipboard = f.cmdClipboard = f.itemHasChildren = true;
        s = mainActionStates(f);
        for (const char *n : {"CmdMoveUp", "CfgDelete", "PrjPasteNew", "CfgPasteNew", "CmdPaste", "PrjDeleteSubAll"})
            QVERIFY2(s.value(n), n);
        QVERIFY(!s.value("CmdMoveDown"));
        f.listLoaded = false;
        QVERIFY(!mainActionStates(f).value("PrjPasteNew"));
    }

    // Hot keys from the file, the fixed run keys, menus, tool bar and the
    // right-hand group, over a window that opens the last project.
    void windowAtStart()
    {
        writeBytes(hotKeyFilePath(), "[HotKeyMain]\nPrjNew=Ctrl+Alt+N\nPrjEdit=\nQuit=Ctrl+Q\n");
        appData.openLastPrj = true;
        appData.lastPrj = 1;
        appData.lastCfg = 1;
        appData.lastCmd = 0;
        appData.windowMainLeft = 100000; // off the screen
        TMainWindow w;
        QCOMPARE(w.geometry().x(), 0);
        QCOMPARE(w.action("PrjNew")->shortcut(), QKeySequence("Ctrl+Alt+N"));
        QVERIFY(w.action("PrjEdit")->shortcut().isEmpty());
        QVERIFY(w.action("PrjListNew")->shortcut().isEmpty());
        QCOMPARE(w.action("Exec")->shortcuts().size(), 2);
        QVERIFY(dataPrj.isOpen());
        QCOMPARE(dataPrj.prjFile(), at("a.prj"));
        QCOMPARE(dataPrj.prjName(), QStringLiteral("Board A"));
        QCOMPARE(w.prjView()->currentIndex(), 1);

        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy run(w.action("Exec"), &QAction::triggered);
        QTest::keyClick(&w, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(&w, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(run.count(), 2);
        // The run started (and asked to stop) has no programmer: it ends.
        QTRY_COMPARE(w.runningCount(), 0);

        QStringList menus;
        for (QAction *a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{lang.text(2), lang.text(56), lang.text(62), "?"}));
        QCOMPARE(w.contextMenuCfg()->actions().size(), 7);
        QCOMPARE(w.contextMenuCmd()->actions().size(), 21);
        QVERIFY(w.contextMenuPrjList()->actions().contains(w.action("PrjListDragDrop")));
        QVERIFY(w.action("CmdNewSetProgDevice")->text().contains(cmdCode.name("set_device")));

        // Right click on the project view: Control gives the configuration menu.
        QWidget *page = w.prjView()->findChild<QTabWidget *>()->currentWidget();
        QVERIFY(page);
        auto *list = qobject_cast<QAbstractItemView *>(page);
        if (!list)
            list = page->findChild<QAbstractItemView *>();
        QVERIFY(list);
        const QPoint pos = list->viewport()->mapTo(&w, QPoint(5, 5));
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, Qt::ControlModifier, pos);
        QTRY_VERIFY(w.contextMenuCfg()->isVisible());
        QVERIFY(!w.contextMenuCmd()->isVisible());
        w.contextMenuCfg()->close();
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, Qt::NoModifier, pos);
        QTRY_VERIFY(w.contextMenuCmd()->isVisible());
        w.contextMenuCmd()->close();

        // Tool bar of set 0; the right group shows only with a project.
        QCOMPARE(w.toolBarFrame()->height(), 37);
        QCOMPARE(w.toolButton("open")->size(), QSize(30, 30));
        QCOMPARE(w.toolButton("exec_start")->size(), QSize(60, 30));
        QCOMPARE(w.toolButton("exec_start")->iconSize(), QSize(28, 16));
        QVERIFY(w.toolBarRight()->isVisible());
        w.prjList()->setCurrentIndex(0); // the group entry closes the project
        QVERIFY(!dataPrj.isOpen());
        QVERIFY(!w.toolBarRight()->isVisible());
        QVERIFY(!w.action("Exec")->isEnabled());
        QVERIFY(!w.action("CfgNew")->isEnabled());

        appData.iconsSet = 1;
        appData.openLastPrj = true;
        appData.lastPrj = 99; // none
        TMainWindow large;
        QVERIFY(!dataPrj.isOpen());
        QCOMPARE(large.prjList()->currentItem(), nullptr);
        QCOMPARE(large.toolBarFrame()->height(), 50);
        QCOMPARE(large.toolButton("save")->size(), QSize(45, 45));
        QCOMPARE(large.toolButton("exec_start")->iconSize(), QSize(46, 32));
    }

    // Lists: new (with its suffix and overwrite question), load, reload,
    // save-as, folders; settings remembered on success.
    void listActions()
    {
        TMainWindow w;
        Answers answers;
        // "fresh" gets ".lst"; an existing "old.lst" is replaced only after Yes.
        writeBytes(at("old.lst"), "{\"list\": [{\"name\": \"Keep me\"}]}");
        answers.add(typeFileName(at("old")));
        answers.add(clickBox(QMessageBox::No));
        w.action("PrjListNew")->trigger();
        QCOMPARE(answers.pending(), 0);
        QVERIFY(readAll(at("old.lst")).contains("Keep me"));
        QCOMPARE(w.prjList()->listFile(), at("list.lst"));

        answers.add(typeFileName(at("fresh")));
        w.action("PrjListNew")->trigger();
        QCOMPARE(w.prjList()->listFile(), at("fresh.lst"));
        QCOMPARE(appData.prjListFile, at("fresh.lst"));
        QCOMPARE(appData.prjListName, at("fresh.lst"));
        QCOMPARE(w.prjList()->tree()->topLevelItemCount(), 0);

        // A new list where no file can be made says so.
        writeBytes(at("plain"), "x");
        answers.add(typeFileName(at("plain/n.lst")));
        answers.add(clickBox(QMessageBox::Ok));
        w.action("PrjListNew")->trigger();
        QVERIFY(answers.seen().last().contains(lang.text(90)));

        answers.add(typeFileName(at("list.lst")));
        w.action("PrjListLoad")->trigger();
        QCOMPARE(w.prjList()->listName(), at("list.lst"));
        QCOMPARE(appData.prjListFile, at("list.lst"));

        // Reload asks first; No keeps everything.
        w.prjList()->setCurrentIndex(1);
        QVERIFY(dataPrj.isOpen());
        answers.add(clickBox(QMessageBox::No));
        w.action("PrjListReload")->trigger();
        QVERIFY(dataPrj.isOpen());
        answers.add(clickBox(QMessageBox::Yes));
        w.action("PrjListReload")->trigger();
        QVERIFY(!dataPrj.isOpen());
        QCOMPARE(answers.seen().last(), lang.text(94).replace("\\n", "\n"));

        // Save as writes the tree first: a move made in the tree is in the copy.
        QTreeWidget *tree = w.prjList()->tree();
        tree->addTopLevelItem(tree->topLevelItem(0)->takeChild(0));
        answers.add(typeFileName(at("copy")));
        w.action("PrjListSaveAs")->trigger();
        QCOMPARE(readAll(at("copy.lst")), w.prjList()->listFileBytes());
        QCOMPARE(readAll(at("list.lst")), w.prjList()->listFileBytes());

        w.action("PrjListOpenFolder")->trigger();
        w.prjList()->setCurrentIndex(1); // Tools, now before the moved entry
        w.action("PrjOpenFolder")->trigger();
        QCOMPARE(shownFolders, (QStringList{folder, QDir(at("sub")).canonicalPath()}));

        // A list that failed to load is not written.
        writeBytes(at("list.lst"), "");
        answers.add(clickBox(QMessageBox::Yes));
        answers.add(clickBox(QMessageBox::Ok));
        w.action("PrjListReload")->trigger();
        QVERIFY(!w.prjList()->isLoaded());
        QVERIFY(!w.action("PrjNew")->isEnabled());
        QCOMPARE(readAll(at("list.lst")), QByteArray());
    }

    // Entries: new, add, copy, paste, edit, remove; their questions, status
    // texts and captions; files never replaced.
    void entryActions()
    {
        TMainWindow w;
        Answers answers;
        w.prjList()->setCurrentIndex(2); // Tools
        answers.add(fillEntry("Fresh", "fresh"));
        w.action("PrjNew")->trigger();
        QVERIFY(QFile::exists(at("fresh.prj")));
        QCOMPARE(dataPrj.prjFile(), at("fresh.prj"));
        QVERIFY(readAll(at("list.lst")).contains("\"name\": \"Fresh\", \"file\": \"fresh.prj\""));

        // An existing file is named in an error and nothing is added.
        const QByteArray listBefore = readAll(at("list.lst"));
        answers.add(fillEntry("Again", "a.prj"));
        answers.add(clickBox(QMessageBox::Ok));
        w.action("PrjNewSub")->trigger();
        QCOMPARE(answers.seen().last(), lang.text(TMainWindow::MSG_PRJ_FILE_EXISTS).replace("\\n", "\n").arg(at("a.prj")));
        QCOMPARE(readAll(at("a.prj")), QByteArray(kProject));
        QCOMPARE(readAll(at("list.lst")), listBefore);

        // Copy and paste: the copy keeps the bytes, the captions name it.
        w.prjList()->setCurrentIndex(1); // Board A
        QVERIFY(!w.action("PrjPasteNew")->isEnabled());
        w.action("PrjCopy")->trigger();
        QCOMPARE(w.statusBarWidget()->currentMessage(), lang.text(107).arg("Board A"));
        QCOMPARE(w.action("PrjPasteNew")->text(), lang.text(17) + " [Board A]");
        QString prefilled;
        answers.add(fillEntry("Board B", "b", &prefilled));
        w.action("PrjPasteNewSub")->trigger();
        QCOMPARE(prefilled, QStringLiteral("Board A|"));
        QCOMPARE(readAll(at("b.prj")), QByteArray(kProject));
        QCOMPARE(w.statusBarWidget()->currentMessage(), lang.text(110).arg("Board A"));
        // An unreadable file keeps the clipboard.
        QVERIFY(QFile::remove(at("b.prj")));
        w.action("PrjCopy")->trigger();
        QCOMPARE(w.prjClipboardName(), QStringLiteral("Board A"));
        QCOMPARE(w.action("PrjPasteNewSub")->text(), lang.text(18) + " [Board A]");

        // Edit: a new name renames the open project; a new file reopens it.
        w.prjList()->setCurrentIndex(1);
        answers.add(fillEntry("Renamed", "a.prj"));
        w.action("PrjEdit")->trigger();
        QCOMPARE(dataPrj.prjName(), QStringLiteral("Renamed"));
        answers.add(fillEntry("Renamed", "sub/tools.prj"));
        w.action("PrjEdit")->trigger();
        QCOMPARE(dataPrj.prjFile(), at("sub/tools.prj"));

        // Remove the children of Boards, after the question.
        w.prjList()->setCurrentIndex(0);
        answers.add(clickBox(QMessageBox::No));
        w.action("PrjDeleteSubAll")->trigger();
        QVERIFY(w.prjList()->currentItem()->childCount() > 0);
        answers.add(clickBox(QMessageBox::Yes));
        w.action("PrjDeleteSubAll")->trigger();
        QCOMPARE(w.prjList()->currentItem()->childCount(), 0);
        QCOMPARE(w.statusBarWidget()->currentMessage(), lang.text(115).arg("Boards"));
        answers.add(clickBox(QMessageBox::Yes));
        w.action("PrjDeleteCur")->trigger();
        QCOMPARE(w.statusBarWidget()->currentMessage(), lang.text(113).arg("Boards"));
        QVERIFY(!readAll(at("list.lst")).contains("Boards"));
        QVERIFY(QFile::exists(at("a.prj")));
        QCOMPARE(answers.pending(), 0);
    }

    // Saving: auto-save switches entries without a question; a failed save
    // keeps the modified flag, and closing asks before dropping the edits.
    void savingAndClosing()
    {
        TMainWindow w;
        Answers answers;
        appData.autoSavePrj = true;
        w.prjList()->setCurrentIndex(1);
        dataPrj.setCfgName(dataPrj.cfgIdAt(0), QStringLiteral("Edited"));
        QVERIFY(dataPrj.isModified());
        w.prjList()->setCurrentIndex(2);
        QVERIFY(readAll(at("a.prj")).contains("Edited"));
        QCOMPARE(dataPrj.prjFile(), at("sub/tools.prj"));

        // A plain file where the project's folder was: every save fails.
        dataPrj.setCfgName(dataPrj.cfgIdAt(0), QStringLiteral("Lost?"));
        QVERIFY(QDir(at("sub")).removeRecursively());
        writeBytes(at("sub"), "plain");
        w.action("PrjSave")->trigger();
        QVERIFY(dataPrj.isModified());
        QVERIFY(w.statusBarWidget()->currentMessage().startsWith(lang.text(85)));

        // Switching entries: the failed auto-save asks; No keeps project and entry.
        answers.add(clickBox(QMessageBox::No));
        w.prjList()->setCurrentIndex(1);
        QCOMPARE(answers.pending(), 0);
        QVERIFY(answers.seen().last().contains(QStringLiteral("Tools")));
        QCOMPARE(dataPrj.prjFile(), at("sub/tools.prj"));
        QVERIFY(dataPrj.isModified());
        QCOMPARE(w.prjList()->currentName(), QStringLiteral("Tools"));
        // List actions stop too, and the window stays open.
        answers.add(clickBox(QMessageBox::Yes));
        answers.add(clickBox(QMessageBox::No));
        w.action("PrjListReload")->trigger();
        QVERIFY(dataPrj.isOpen());
        w.show();
        answers.add(clickBox(QMessageBox::No));
        QVERIFY(!w.close());
        QVERIFY(dataPrj.isModified());
        // Yes drops the edits.
        answers.add(clickBox(QMessageBox::Yes));
        QVERIFY(w.close());
        QVERIFY(!dataPrj.isOpen());
    }
    // Another entry chosen in the tree while the open project has changes,
    // and Cancel on the question: the tree's current and highlighted entry
    // is the open project again, however the other one was chosen.
    void treeAfterCancelShowsTheOpenProject_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"click", "click a group", "Ctrl+click", "Down", "Home", "Down from the filter", "new entry"})
            QTest::newRow(how) << QString(how);
    }
    void treeAfterCancelShowsTheOpenProject()
    {
        QFETCH(QString, how);
        appData.prjListShowFilter = true;
        TMainWindow w;
        Answers answers;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTreeWidget *tree = w.prjList()->tree();
        w.prjList()->setCurrentIndex(1);
        QTreeWidgetItem *open = tree->currentItem();
        dataPrj.setCfgName(dataPrj.cfgIdAt(0), QStringLiteral("Edited"));
        const QString shown = w.statusBarWidget()->currentMessage();

        if (how == "new entry")
            answers.add(fillEntry("New", "new.prj"));
        answers.add(clickBox(QMessageBox::Cancel));
        QTreeWidgetItem *other = tree->topLevelItem(how == "click a group" ? 0 : 1);
        if (how == "new entry") {
            w.action("PrjNew")->trigger();
        } else if (how.contains("click")) {
            QTest::mouseClick(tree->viewport(), Qt::LeftButton,
                              how == "Ctrl+click" ? Qt::ControlModifier : Qt::NoModifier,
                              tree->visualItemRect(other).center());
        } else if (how == "Down from the filter") {
            QLineEdit *filter = w.prjList()->findChild<QLineEdit *>();
            QTest::keyClick(filter, Qt::Key_Down);
        } else {
            QTest::keyClick(tree, how == "Down" ? Qt::Key_Down : Qt::Key_Home);
        }
        QCOMPARE(answers.pending(), 0);
        QCOMPARE(dataPrj.prjFile(), at("a.prj"));
        QCOMPARE(tree->currentItem(), open);
        QStringList highlighted;
        for (QTreeWidgetItem *item : tree->selectedItems())
            highlighted << item->text(0);
        QCOMPARE(highlighted, QStringList{open->text(0)});
        QCOMPARE(w.prjList()->selectedIndex(), 1);
        QCOMPARE(w.statusBarWidget()->currentMessage(), shown);
    }

    // A project, a project list or a catalogue whose text is not valid
    // JSON is refused saying where: the line and column where the reader
    // stopped and what it expected there. The file stays as it was,
    // auto-save on (valid JSON of another shape takes the same way: each
    // shape is in test_file_shapes). A project says so in the status bar
    // with the command selector open too, no page of the one before left.
    void brokenJsonSaysWhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("selector");
        for (const char *file : {"a.prj", "bad.lst", "catalogue"})
            QTest::newRow(file) << file << false;
        QTest::newRow("a.prj, command selector open") << "a.prj" << true;
    }
    void brokenJsonSaysWhere()
    {
        QFETCH(QString, file);
        QFETCH(bool, selector);
        appData.autoSavePrj = true;
        const QString path = file == QLatin1String("catalogue") ? appData.selectPrjListFile : at(file);
        const QByteArray text("{\n    \"list\":\n    [{\"name\": \"A\" \"file\": \"a.prj\"}]\n}\n");
        writeBytes(path, text);
        const QString where = lang.text(MSG_JSON_AT).arg(3).arg(19).arg(lang.text(MSG_JSON_EXPECTED));
        {
            TMainWindow w;
            w.show();
            Answers answers;
            if (file == QLatin1String("a.prj")) {
                w.prjList()->setCurrentIndex(2); // Tools
                if (selector)
                    w.action("CmdSelector")->trigger();
                w.prjList()->setCurrentIndex(1); // Board A
                QCoreApplication::processEvents();
                QVERIFY(!dataPrj.isOpen());
                QCOMPARE(w.prjView()->count(), 0);
                QCOMPARE(w.statusBarWidget()->currentMessage(), QString("%1: %2: %3").arg(lang.text(87), path, where));
                if (selector)
                    w.action("CmdSelector")->trigger(); // a top-level window: it would outlive this one
            } else {
                if (file == QLatin1String("bad.lst"))
                    answers.add(typeFileName(path));
                answers.add(clickBox(QMessageBox::Ok));
                w.action(file == QLatin1String("bad.lst") ? "PrjListLoad" : "PrjListSelect")->trigger();
                QCOMPARE(answers.pending(), 0);
                QCOMPARE(answers.seen().last(),
                         lang.text(file == QLatin1String("bad.lst") ? 97 : 96).arg(path).replace("\\n", "\n") + "\n"
                             + where);
            }
        }
        QCOMPARE(readAll(path), text);
    }

    // Entries moved in the tree reach the list file before another list
    // (a new one, a loaded one, one chosen in the catalogue) replaces the
    // tree, and at quit. A write that fails asks: No keeps the tree, the
    // list and the window; Yes goes on. A project closed on the way leaves
    // no path in the status bar.
    void treeMovesSurviveListChanges_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("failure");   // 0 written, 1 fails and kept, 2 fails and given up
        for (const char *action : {"new", "load", "select", "quit"}) {
            for (int failure : {0, 1, 2})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(action).arg(failure))) << action << failure;
        }
    }
    void treeMovesSurviveListChanges()
    {
        QFETCH(QString, action);
        QFETCH(int, failure);
        appData.confirmQuit = false;
        writeBytes(at("other.lst"), "{\"list\": [{\"name\": \"Only\", \"file\": \"a.prj\"}]}");
        writeBytes(appData.selectPrjListFile, catalogueText({{"Other", at("other.lst")}}));
        auto w = std::make_unique<TMainWindow>();
        w->show();
        Answers answers;
        w->prjList()->setCurrentIndex(2); // Tools
        QVERIFY(dataPrj.isOpen());
        QCOMPARE(w->statusBarWidget()->currentMessage(), at("sub/tools.prj"));
        QVERIFY(!w->prjList()->isModified());
        // Board A leaves Boards for the top level, as a drop would put it.
        QTreeWidget *tree = w->prjList()->tree();
        tree->addTopLevelItem(tree->topLevelItem(0)->takeChild(0));
        QVERIFY(w->prjList()->isModified());
        const QByteArray moved = w->prjList()->listFileBytes();
        if (failure) {
            QVERIFY(QFile::remove(at("list.lst")));
            QVERIFY(QDir().mkpath(at("list.lst")));
        }

        if (action == QLatin1String("new")) {
            answers.add(typeFileName(at("fresh")));
        } else if (action == QLatin1String("load")) {
            answers.add(typeFileName(at("other.lst")));
        } else if (action == QLatin1String("select")) {
            answers.add([](QWidget *d) {
                auto *dialog = qobject_cast<TDialogSelectPrjList *>(d);
                QVERIFY(dialog);
                dialog->findChild<QTableWidget *>()->setCurrentCell(0, 0);
                for (QPushButton *b : dialog->findChildren<QPushButton *>())
                    if (b->text() == lang.text(78))
                        QTest::mouseClick(b, Qt::LeftButton);
            });
        }
        if (failure)
            answers.add(clickBox(failure == 1 ? QMessageBox::No : QMessageBox::Yes));
        const QString actionName = action == QLatin1String("new")      ? QStringLiteral("PrjListNew")
                                   : action == QLatin1String("load")   ? QStringLiteral("PrjListLoad")
                                   : action == QLatin1String("select") ? QStringLiteral("PrjListSelect")
                                                                       : QString();
        bool closed = false;
        if (actionName.isEmpty())
            closed = w->close();
        else
            w->action(actionName)->trigger();
        QCOMPARE(answers.pending(), 0);
        if (failure) {
            // The question names the list file and why it could not be written.
            QVERIFY(!w->prjList()->saveError().isEmpty());
            QCOMPARE(answers.seen().last(), lang.text(TMainWindow::MSG_LIST_DISCARD).replace("\\n", "\n")
                                              .arg(at("list.lst") + "\n" + w->prjList()->saveError()));
        }

        const bool replaced = failure != 1;
        if (actionName.isEmpty()) {
            QCOMPARE(closed, replaced);
            QCOMPARE(w->isVisible(), !replaced);
        } else {
            QCOMPARE(w->prjList()->listFile() == at("list.lst"), !replaced);
        }
        QCOMPARE(dataPrj.isOpen(), !replaced);
        if (replaced)
            QCOMPARE(w->statusBarWidget()->currentMessage(), QString());
        else
            QCOMPARE(w->prjList()->listFileBytes(), moved);
        if (!failure)
            QCOMPARE(readAll(at("list.lst")), moved);
        // Quitting without the tree's file: the window goes without telling
        // that failure a second time.
        const bool givenUpAtQuit = failure == 2 && actionName.isEmpty();
        if (failure && !givenUpAtQuit)
            QVERIFY(QDir(at("list.lst")).removeRecursively());
        dataPrj.resetModified();
        // No box comes as the window goes (one would be closed unanswered).
        const int unanswered = modal::closedUnanswered();
        w.reset();
        QCOMPARE(modal::closedUnanswered(), unanswered);
        if (givenUpAtQuit)
            QVERIFY(QDir(at("list.lst")).removeRecursively());
    }

    // Writes cut short (by the file-size limit, as a full disk cuts them)
    // are told with the system's reason and lose nothing unasked: Save
    // settings, a new entry's project file, closing with auto-save (No
    // keeps the window and the edits), and the window going with its
    // project open, whose settings, list and project failures come in one
    // box. Every file stays as it was, with nothing left beside it.
    void failedSavesAreToldWithTheirReason()
    {
        appData.saveSettingsApp = true;
        appData.saveSettingsWindow = true;
        appData.autoSavePrj = true;
        QVERIFY(appData.save());
        const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
        const QString settingsFailed = lang.text(484).arg(settingsFilePath() + QStringLiteral(": ") + tooLarge);
        auto *w = new TMainWindow;
        Answers answers;
        w->show();
        w->prjList()->setCurrentIndex(1);
        QCOMPARE(dataPrj.prjName(), QStringLiteral("Board A"));
        dataPrj.setCfgName(dataPrj.cfgIdAt(0), QStringLiteral("Edited"));
        const QByteArray list = readAll(at("list.lst"));
        const QByteArray project = readAll(at("a.prj"));
        const QByteArray settings = readAll(settingsFilePath());
        const QStringList homeFiles = QDir(home.path()).entryList(QDir::Files | QDir::Hidden);
        const QStringList listFiles = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        {
            const ScopedFileSizeLimit limit(64);
            QVERIFY(limit.isSet());

            answers.add(clickBox(QMessageBox::Yes));
            answers.add(clickBox(QMessageBox::Ok));
            w->action("SaveSettings")->trigger();
            QCOMPARE(answers.pending(), 0);
            QCOMPARE(answers.seen().last(), settingsFailed);

            answers.add(fillEntry(QStringLiteral("New"), QStringLiteral("new.prj")));
            answers.add(clickBox(QMessageBox::Ok));
            w->action("PrjNew")->trigger();
            QCOMPARE(answers.pending(), 0);
            QCOMPARE(answers.seen().last(), lang.text(437).arg(at("new.prj")) + "\n" + tooLarge);

            answers.add(clickBox(QMessageBox::No));
            QVERIFY(!w->close());
            QCOMPARE(answers.pending(), 0);
            QVERIFY2(answers.seen().last().contains(tooLarge), qPrintable(answers.seen().last()));
            QVERIFY(w->isVisible());
            QVERIFY(dataPrj.isModified());
            QCOMPARE(dataPrj.cfgName(dataPrj.cfgIdAt(0)), QStringLiteral("Edited"));

            answers.add(clickBox(QMessageBox::Ok));
            delete w;
            QCOMPARE(answers.pending(), 0);
            QCOMPARE(answers.seen().last(),
                     QStringList({settingsFailed, lang.text(485).arg(QStringLiteral("Board A"), tooLarge)})
                         .join("\n\n"));
        }
        QCOMPARE(readAll(at("list.lst")), list);
        QCOMPARE(readAll(at("a.prj")), project);
        QCOMPARE(readAll(settingsFilePath()), settings);
        QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), homeFiles);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), listFiles);
        appData.saveSettingsApp = false;
        appData.saveSettingsWindow = false;
    }

    // Every writer of the settings file and every reader of the hot-key
    // file, run by this copy after another copy changed the file (keys, a
    // programmer, a hot key, a comment by hand): a copy that changed nothing
    // leaves the file as it is, byte for byte and with its times; one that
    // changed something (a setting, its window's size, the emulator's port)
    // writes that into the file as it stands, and what the other wrote
    // stays.
    void writersKeepAnotherCopysFile_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("changed");
        const char *writers[] = {"Save settings", "exit", "settings dialog OK, then exit", "velkor-setup",
                                 "hot keys: main window", "hot keys: list chooser", "hot keys: settings page",
                                 "hot keys: auto-detect form"};
        for (int writer = 0; writer < 8; ++writer)
            for (const bool changed : {false, true})
                if (writer < 4 || !changed)
                    QTest::newRow(QByteArray(writers[writer]) + (changed ? ", changed" : "")) << writer << changed;
    }
    void writersKeepAnotherCopysFile()
    {
        QFETCH(int, writer);
        QFETCH(bool, changed);
        // This test's copy starts from the defaults, and gets back its own
        // settings at the end.
        QTemporaryDir own, copies;
        setAppFileLocation(own.path());
        QVERIFY(appData.save() && appData.saveWindows());
        setAppFileLocation(copies.path());
        appData.load();
        init();
        appData.confirmQuit = false;
        appData.openLastPrj = true;
        appData.lastPrj = 1;
        appData.lastCfg = 1;
        appData.lastCmd = 0;
        writeBytes(hotKeyFilePath(), "[HotKeyMain]\nQuit=Ctrl+Q\n");
        const QString path = writer > 3 ? hotKeyFilePath() : settingsFilePath();
        // Run by a user: Save settings confirmed, the settings dialog with
        // OK (its hot keys with Cancel), the list chooser with Escape.
        const char *action = writer == 0 ? "SaveSettings" : writer == 2 || writer == 6 ? "Setup"
                                                          : writer == 5                ? "PrjListSelect"
                                                                                       : nullptr;
        const auto run = [&](TMainWindow *w) {
            Answers answers;
            if (action) {
                answers.add([writer](QWidget *dialog) {
                    if (writer == 0)
                        clickBox(QMessageBox::Yes)(dialog);
                    else if (writer == 2)
                        QTest::mouseClick(dialog->findChildren<QPushButton *>().at(0), Qt::LeftButton);
                    else
                        QTest::keyClick(dialog, Qt::Key_Escape);
                });
                w->action(action)->trigger();
                QCOMPARE(answers.pending(), 0);
            }
            if (writer == 3)
                QCOMPARE(QProcess::execute(VELKOR_BIN_DIR "/velkor-setup", {"--dir", copies.path(), "--port",
                                                                           changed ? "/dev/moved" : "/dev/emulated"}),
                         0);
            if (writer == 7)
                TFormProgAutoDetect({{REC_ID_CMD, 99999}, {AUTO_NAME, "Mem"}, {AUTO_ROUTE, "0x50=1"}}).show();
            if (w)
                QVERIFY(w->close());
        };
        // A first run (saving everything) leaves what the windows keep of
        // themselves; the copy starts again on that.
        appData.saveSettingsApp = appData.saveSettingsWindow = true;
        QVERIFY(appData.save() && appData.saveWindows());
        std::unique_ptr<TMainWindow> w(new TMainWindow);
        w->show();
        run(w.get());
        w.reset(writer == 3 ? nullptr : new TMainWindow);
        if (w)
            w->show();
        TAppData other;
        other.load();
        other.confirmCmdPaste = !appData.confirmCmdPaste;
        other.windowLanguageHeight = 410;
        other.progType.add("Emulator", "emulator.ini");
        other.progName.add(true, "Emulator", "/dev/emulated", "Emulator");
        QVERIFY(other.save() && other.saveWindows());
        QVERIFY(TSettings::writeWhole(hotKeyFilePath(),
                                      [](TSettings &s) { s.writeString("/HotKeyMain/PrjNew", "F9"); }));
        writeBytes(path, readAll(path) + "; by hand\n");
        const QByteArray before = fileState(path);
        const QString others = copies.filePath("others.ini");
        QVERIFY(QFile::copy(settingsFilePath(), others));
        if (changed) {
            appData.cmdEnableHLJamp = !appData.cmdEnableHLJamp;
            if (w)
                w->resize(w->width() + 13, w->height());
        }
        run(w.get());
        w.reset();
        if (!changed) {
            QCOMPARE(fileState(path), before);
        } else {
            // Every key as the other left it, but those this copy changed.
            const QStringList mine = {"Interface/CmdEnableHLJamp", "WindowMain/Width", "WindowMain/PrjSplitter",
                                      "WindowMain/CfgSplitter", "ProgNameList/Name0"};
            const QSettings theirs(others, QSettings::IniFormat), now(settingsFilePath(), QSettings::IniFormat);
            for (const QString &key : theirs.allKeys())
                if (!mine.contains(key))
                    QVERIFY2(now.value(key) == theirs.value(key), qPrintable(key));
            QCOMPARE(now.value("ProgNameList/Name0").toString(),
                     QString("1|Emulator|%1|Emulator").arg(writer == 3 ? "/dev/moved" : "/dev/emulated"));
            if (writer < 3)
                QCOMPARE(now.value("Interface/CmdEnableHLJamp").toBool(), appData.cmdEnableHLJamp);
        }
        setAppFileLocation(own.path());
        appData.load();
        setAppFileLocation(home.path());
    }

    // Two copies with one file open, for every writer of lists and projects:
    // the other copy (B) writes the file while this one (the window) has it
    // open. This copy, changing nothing, leaves B's file as it is, times
    // and all, at exit too; changing the list or catalogue, it keeps B's
    // entries with its own, or asks where both changed the same ones (No
    // keeps B's file); saving its project, it asks first.
    void anotherCopysWorkIsKept_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("change");   // this copy's: none, own, clash
        for (const char *writer : {"list", "catalogue", "project"})
            for (const char *change : {"none", "own", "clash"})
                if (QByteArray(writer) != "project" || QByteArray(change) != "clash")
                    QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(writer, change))) << writer << change;
    }
    void anotherCopysWorkIsKept()
    {
        QFETCH(QString, writer);
        QFETCH(QString, change);
        const bool own = change != "none", clash = change == "clash";
        appData.autoSavePrj = true;
        appData.confirmProjectsListDelete = false;
        const QString cat = appData.selectPrjListFile;
        writeBytes(cat, catalogueText({{"Main", "list.lst"}, {"Other", "b.lst"}, {"Third", "c.lst"}}));
        const QString file = writer == "list" ? at("list.lst") : writer == "catalogue" ? cat : at("sub/tools.prj");
        auto w = std::make_unique<TMainWindow>();
        w->show();
        w->prjList()->setCurrentIndex(2); // Tools
        QByteArray theirs;
        QDateTime theirTime;
        const auto otherCopy = [&] {
            if (writer == "list") {
                TWgtPrjList b;
                QVERIFY(b.load("B", file, 0));
                b.tree()->setCurrentItem(b.tree()->topLevelItem(1));
                if (clash)
                    b.setCurrentTexts("Tools B", "sub/tools.prj");
                else
                    QVERIFY(b.addItem(1, "From B", folder, "b.prj", false, {}));
                QVERIFY(b.saveList());
            } else if (writer == "catalogue") {
                TDialogSelectPrjList b;
                QVERIFY(b.loadCatalogue(file));
                b.findChild<QTableWidget *>()->setCurrentCell(2, 0);
                clash ? b.slotMoveUp() : b.slotDelete();
                QVERIFY(b.saveCatalogue(file));
            } else {
                TDataPrj b;
                TCtrlProject ctrl;
                QCOMPARE(ctrl.load(file, &b), 0);
                b.setCfgName(b.cfgIdAt(0), "From B");
                QVERIFY(ctrl.save(file, &b));
            }
            theirs = readAll(file);
            theirTime = QFileInfo(file).lastModified();
        };
        Answers answers;
        if (writer == "catalogue") {
            answers.add([&](QWidget *d) {
                otherCopy();
                d->findChild<QTableWidget *>()->setCurrentCell(1, 0);
                if (own)
                    qobject_cast<TDialogSelectPrjList *>(d)->slotMoveUp();
                qobject_cast<QDialog *>(d)->reject();
            });
        } else {
            otherCopy();
            if (writer == "list" && own)
                answers.add(fillEntry(clash ? "Tools A" : "From A", clash ? "sub/tools.prj" : "a.prj"));
            if (writer == "project" && own)
                dataPrj.setCfgName(dataPrj.cfgIdAt(1), "From A");
        }
        if (clash || (writer == "project" && own))
            answers.add(clickBox(QMessageBox::No));
        if (own || writer == "catalogue")
            w->action(writer == "catalogue" ? "PrjListSelect" : writer == "project" ? "PrjSave"
                                                              : clash              ? "PrjEdit"
                                                                                   : "PrjAdd")
                ->trigger();
        QCOMPARE(answers.pending(), 0);
        if (clash || (writer == "project" && own))
            QCOMPARE(answers.seen().last(),
                     (writer == "project" ? lang.text(TMainWindow::MSG_PRJ_CHANGED_ASK).arg("Tools", file)
                                          : lang.text(MSG_LIST_CHANGED_ASK).arg(file))
                         .replace("\\n", "\n"));
        if (writer == "list" && own && !clash)
            QCOMPARE(w->prjList()->tree()->findItems("From B", Qt::MatchRecursive).size(), 1);
        // The tree still holds the clashing change: the exit asks again.
        if (clash && writer == "list")
            answers.add(clickBox(QMessageBox::No));
        dataPrj.resetModified();
        w.reset();
        QCOMPARE(answers.pending(), 0);
        if (!own || clash || writer == "project") {
            QCOMPARE(readAll(file), theirs);
            QCOMPARE(QFileInfo(file).lastModified(), theirTime);
        } else if (writer == "list") {
            QVERIFY(readAll(file).contains("\"From A\"") && readAll(file).contains("\"From B\""));
        } else {
            QCOMPARE(readAll(file), catalogueText({{"Other", "b.lst"}, {"Main", "list.lst"}}));
        }
        appData.autoSavePrj = false;
    }

    // The catalogue of lists through the window: a missing one opens empty
    // and stays missing; a list opens only on OK; changed rows are written
    // after Cancel too, unchanged rows leave the file byte-identical; a
    // failed write is reported with its reason, an unreadable catalogue
    // without showing the dialog.
    void catalogueThroughTheWindow()
    {
        TMainWindow w;
        Answers answers;
        const QString cat = appData.selectPrjListFile;
        QFile::remove(cat);
        const auto inDialog = [](std::function<void(TDialogSelectPrjList *)> act) {
            return [act](QWidget *d) {
                auto *dialog = qobject_cast<TDialogSelectPrjList *>(d);
                QVERIFY(dialog);
                act(dialog);
            };
        };
        answers.add(inDialog([](TDialogSelectPrjList *d) {
            QCOMPARE(d->findChild<QTableWidget *>()->rowCount(), 0);
            d->reject();
        }));
        w.action("PrjListSelect")->trigger();
        QCOMPARE(answers.pending(), 0);
        QVERIFY(!QFile::exists(cat));

        writeBytes(at("b.lst"), "{\"list\": [{\"name\": \"Only\", \"file\": \"a.prj\"}]}");
        writeBytes(cat, "{\"list\": [{\"name\": \"Main\", \"file\": \"list.lst\"},"
                        " {\"name\": \"Other\", \"file\": \"b.lst\"}]}");
        answers.add(inDialog([](TDialogSelectPrjList *d) {
            d->findChild<QTableWidget *>()->setCurrentCell(1, 0);
            d->slotMoveUp();
            d->reject();
        }));
        w.action("PrjListSelect")->trigger();
        QCOMPARE(w.prjList()->listFile(), at("list.lst"));
        const QByteArray written = catalogueText({{"Other", "b.lst"}, {"Main", "list.lst"}});
        QCOMPARE(readAll(cat), written);

        answers.add(inDialog([](TDialogSelectPrjList *d) {
            for (QPushButton *b : d->findChildren<QPushButton *>())
                if (b->text() == lang.text(78))
                    QTest::mouseClick(b, Qt::LeftButton);
        }));
        w.action("PrjListSelect")->trigger();
        QCOMPARE(w.prjList()->listFile(), at("b.lst"));
        QCOMPARE(appData.prjListName, QStringLiteral("Other"));
        QCOMPARE(w.prjList()->tree()->topLevelItemCount(), 1);
        QCOMPARE(readAll(cat), written);

        // A folder takes the catalogue's place while the dialog is open.
        answers.add(inDialog([&cat](TDialogSelectPrjList *d) {
            d->slotMoveDown();
            QVERIFY(QFile::remove(cat) && QDir().mkpath(cat));
            d->reject();
        }));
        answers.add(clickBox(QMessageBox::Ok));
        w.action("PrjListSelect")->trigger();
        QCOMPARE(answers.pending(), 0);
        const QString head = lang.text(MSG_CATALOGUE_WRITE).arg(cat, QString()).replace("\\n", "\n");
        QVERIFY(answers.seen().last().startsWith(head) && answers.seen().last().size() > head.size());

        answers.add(clickBox(QMessageBox::Ok));
        w.action("PrjListSelect")->trigger();
        QCOMPARE(answers.pending(), 0);
        const QString unreadable = lang.text(96).arg(cat).replace("\\n", "\n") + "\n";
        QVERIFY(answers.seen().last().startsWith(unreadable) && answers.seen().last().size() > unreadable.size());
        QCOMPARE(w.prjList()->listFile(), at("b.lst"));
        QVERIFY(QDir(cat).removeRecursively());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
