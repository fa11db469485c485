// The catalogue of project lists and the name-and-file entry dialogs: the
// catalogue's bytes and what loads from hostile files, a write that fails
// part-way, every row action as a user reaches it (hot keys from a fixture,
// the context menu, the dialogs answered), and the entry dialogs' files,
// suffixes and geometry.

#include "core/TAppData.h"
#include "core/helpers.h"
#include "gui/dialogs/TDialogPrjEdit.h"
#include "gui/dialogs/TDialogSelectPrjList.h"
#include "gui/dialogs/dialog_messages.h"
#include "gui/widgets/TActionWidget.h"
#include "support/ModalAnswer.h"
#include "support/NumberedLanguage.h"
#include "support/Screenshot.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray emptyList = "{\n    \"version\": 1,\n    \"list\":\n    [\n    ]\n}\n";

QVector<TCatalogueRow> tableRows(QTableWidget *table)
{
    QVector<TCatalogueRow> rows;
    for (int i = 0; i < table->rowCount(); ++i)
        rows.append({table->item(i, 0)->text(), table->item(i, 1)->text()});
    return rows;
}

TActionWidget *action(QWidget *dialog, int message)
{
    for (TActionWidget *a : dialog->findChildren<TActionWidget *>())
        if (a->text() == NumberedLanguage::text(message))
            return a;
    return nullptr;
}

QPushButton *button(QWidget *parent, const QString &text)
{
    for (QPushButton *b : parent->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// The entry dialog that opens next: records its title and values, then
// sets the name (when given) and presses OK, or Cancel.
struct Entry {
    QString title, name, file;
};
void answerEntry(Entry *seen, bool ok, const QString &newName = QString(),
                 std::function<void(TDialogPrjListEdit *)> extra = nullptr)
{
    answerModal<TDialogPrjListEdit>([=](TDialogPrjListEdit *d) {
        seen->title = d->windowTitle();
        seen->name = d->name();
        seen->file = d->fileName();
        saveScreenshot(d, "prjlist_entry");
        if (extra)
            extra(d);
        if (!newName.isNull())
            d->findChild<QLineEdit *>()->setText(newName);
        if (ok)
            d->accept();
        else
            d->reject();
    });
}

// Receives the URLs the desktop would open.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestPrjListDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir root;
    QString projects;

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
        QVERIFY(root.isValid());
        projects = root.path() + "/projects";
        QVERIFY(QDir().mkpath(projects));
        appData.pathProjects = projects;
        QVERIFY(QFile::copy(VELKOR_TEST_DATA_DIR "/dialogs/velkor.hk", root.path() + "/velkor.hk"));
        setAppFileLocation(root.path(), "velkor");
    }
    void cleanup()
    {
        finishModalAnswers();
    }

    void catalogueGoldens()
    {
        QCOMPARE(catalogueText({}), emptyList);
        QCOMPARE(catalogueText({{"A", "a.lst"}}),
                 QByteArray("{\n    \"version\": 1,\n    \"list\":\n    [\n"
                            "        {\"name\": \"A\", \"file\": \"a.lst\"}\n    ]\n}\n"));
        QCOMPARE(catalogueText({{"A", "a"}, {"B", "b"}, {"C", "c"}}),
                 QByteArray("{\n    \"version\": 1,\n    \"list\":\n    [\n"
                            "        {\"name\": \"A\", \"file\": \"a\"},\n"
                            "        {\"name\": \"B\", \"file\": \"b\"},\n"
                            "        {\"name\": \"C\", \"file\": \"c\"}\n    ]\n}\n"));
    }

    // Every text comes back unchanged through a save and a load of the
    // dialog, and a second save gives the same bytes.
    void textsRoundTrip()
    {
        const QVector<TCatalogueRow> rows{
            {"say \"hi\"", "C:\\lists\\a.lst"},
            {"tab\there\x01", "%2 and %1"},
            {"%1", "%2"},
            {QString::fromUtf8("Проекты ünï 😀"), QString::fromUtf8("папка/список.lst")},
            {"", ""},
            {"line\nbreak\r", "/abs/path.lst"}};
        const QString path = root.path() + "/roundtrip.lpl";
        QVERIFY(writeAll(path, catalogueText(rows)));
        TDialogSelectPrjList dialog;
        QVERIFY(dialog.loadCatalogue(path));
        QCOMPARE(tableRows(dialog.findChild<QTableWidget *>()), rows);
        QCOMPARE(dialog.currentName(), rows.first().first);
        const QString again = root.path() + "/roundtrip2.lpl";
        QVERIFY(dialog.saveCatalogue(again));
        QCOMPARE(readAll(again), readAll(path));
        QVERIFY(!readAll(again).contains('\t'));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("flat"); // name, file, name, file...
        // Valid JSON of another shape is refused (each shape and its
        // message: test_file_shapes); members left out read as empty.
        QTest::newRow("empty object") << QByteArray("{}") << true << QStringList();
        QTest::newRow("0 bytes") << QByteArray() << false << QStringList();
        QTest::newRow("invalid") << QByteArray("{\"list\": [") << false << QStringList();
        QTest::newRow("noise") << QByteArray("\x00\x01{]", 4) << false << QStringList();
        QTest::newRow("list no array") << QByteArray("{\"list\": {\"name\": \"x\"}}") << false
                                       << QStringList();
        QTest::newRow("elements no objects")
            << QByteArray("{\"list\": [1, \"x\", {\"name\": \"n\", \"file\": \"f\"}]}") << false
            << QStringList();
        QTest::newRow("members no strings")
            << QByteArray("{\"list\": [{\"name\": 5, \"file\": null}, {\"file\": \"f\"}]}") << false
            << QStringList();
        QTest::newRow("members left out")
            << QByteArray("{\"list\": [{\"name\": \"n\"}, {\"file\": \"f\"}, {}]}") << true
            << QStringList{"n", "", "", "f", "", ""};
        QTest::newRow("crlf") << QByteArray("{\r\n\"list\": [{\"name\": \"a\", \"file\": \"b\"}]\r\n}\r\n")
                              << true << QStringList{"a", "b"};
    }
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(QStringList, flat);
        const QString path = root.path() + "/load.lpl";
        QVERIFY(writeAll(path, bytes));
        TDialogSelectPrjList dialog;
        QCOMPARE(dialog.loadCatalogue(path), ok);
        QStringList got;
        for (const TCatalogueRow &row : tableRows(dialog.findChild<QTableWidget *>()))
            got << row.first << row.second;
        QCOMPARE(got, flat);
        // A catalogue that did not load is never written over.
        if (!ok) {
            QVERIFY(!dialog.saveCatalogue(path));
            QVERIFY(!dialog.errorString().isEmpty());
            QCOMPARE(readAll(path), bytes);
        }
    }

    void missingAndUnreadable()
    {
        TDialogSelectPrjList dialog;
        const QString missing = root.path() + "/none/velkor.lpl";
        QVERIFY(dialog.loadCatalogue(missing));
        QCOMPARE(dialog.findChild<QTableWidget *>()->rowCount(), 0);
        QCOMPARE(dialog.currentName(), QString());
        // With no row only New, Add and AddCurr are offered.
        for (int message = 153; message <= 161; ++message)
            QCOMPARE(action(&dialog, message)->isEnabled(), message <= 155);
        // Created on the first save (its folder must exist).
        const QString fresh = root.path() + "/fresh.lpl";
        QVERIFY(dialog.loadCatalogue(fresh));
        QVERIFY(dialog.saveCatalogue(fresh));
        QCOMPARE(readAll(fresh), emptyList);
        // A folder where the file should be cannot be read: false.
        QVERIFY(QDir().mkpath(root.path() + "/adir.lpl"));
        QVERIFY(!dialog.loadCatalogue(root.path() + "/adir.lpl"));
        QVERIFY(!dialog.saveCatalogue(root.path() + "/adir.lpl"));
    }

    // A file-size limit stops the write part-way (root cannot bypass it):
    // false, a reason, and the old catalogue byte for byte.
    void writeFailsPartWay()
    {
        const QString path = root.path() + "/limited.lpl";
        const QByteArray old = catalogueText({{"old", "old.lst"}});
        QVERIFY(writeAll(path, old));
        QVector<TCatalogueRow> rows;
        for (int i = 0; i < 250; ++i)
            rows.append({QString("row %1").arg(i), QString("lists/list%1.lst").arg(i)});
        const QByteArray text = catalogueText(rows);
        QVERIFY(text.size() > 12000 && text.size() < 16384);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            QString error;
            const bool written = writeWholeFile(path, text, &error);
            _exit(written ? 1 : error.isEmpty() ? 2 : 0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(root.path()).entryList({"limited.lpl*"}, QDir::Files | QDir::Hidden),
                 QStringList{"limited.lpl"});
    }

    // Every row action, reached as a user reaches it, in one run.
    void rowActions()
    {
        const QString cat = root.path() + "/actions.lpl";
        QVERIFY(writeAll(projects + "/a.lst", "alist"));
        QVERIFY(writeAll(projects + "/sub/b.lst", "blist"));
        QVERIFY(writeAll(cat, catalogueText({{"A", "a.lst"}, {"B", "sub/b.lst"}})));
        appData.confirmProjectsListDelete = true;

        TDialogSelectPrjList dialog;
        QVERIFY(dialog.loadCatalogue(cat));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *table = dialog.findChild<QTableWidget *>();
        // Hot keys act while the table has the focus.
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QApplication::setActiveWindow(&dialog);
            table->setFocus();
            QTest::keyClick(table, k, mods);
        };
        QCOMPARE(table->currentRow(), 0);
        QVERIFY(!action(&dialog, 160)->isEnabled());
        QVERIFY(action(&dialog, 161)->isEnabled());
        QVERIFY(action(&dialog, 156)->isEnabled());

        // New by its hot key: ".lst" appended, the row below the current
        // one, the empty list written.
        Entry entry;
        QString caption, folder;
        answerFileDialog(projects + "/fresh", [&] { answerEntry(&entry, true, "Fresh"); },
                         &caption, &folder);
        key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(caption, NumberedLanguage::text(162));
        QCOMPARE(folder, projects);
        QCOMPARE(entry.title, NumberedLanguage::text(162));
        QCOMPARE(entry.name, QString());
        QCOMPARE(entry.file, QString("fresh.lst"));
        QCOMPARE(readAll(projects + "/fresh.lst"), emptyList);
        QCOMPARE(tableRows(table),
                 (QVector<TCatalogueRow>{{"A", "a.lst"}, {"Fresh", "fresh.lst"}, {"B", "sub/b.lst"}}));
        QCOMPARE(table->currentRow(), 1);
        QVERIFY(dialog.isModified());
        saveScreenshot(&dialog, "select_prjlist");

        // New onto an existing list of the final name asks, No by default;
        // No writes nothing and adds no row.
        QVERIFY(writeAll(projects + "/keep.lst", "precious"));
        int boxes = 0;
        QString question;
        bool entryOpened = false;
        answerFileDialog(projects + "/keep", [&] {
            answerModal<QDialog>([&](QDialog *d) {
                if (auto *box = qobject_cast<QMessageBox *>(d)) {
                    ++boxes;
                    question = box->text();
                    QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                    box->button(QMessageBox::No)->click();
                } else {
                    entryOpened = true;
                    d->reject();
                }
            });
        });
        dialog.slotNew();
        QCOMPARE(boxes, 1);
        QVERIFY(!entryOpened);
        QCOMPARE(question, NumberedLanguage::text(MSG_REPLACE_LIST_FILE).arg(projects + "/keep.lst"));
        QCOMPARE(readAll(projects + "/keep.lst"), QByteArray("precious"));
        QCOMPARE(table->rowCount(), 3);

        // Add through the context menu, a file outside the projects folder
        // picked again inside the entry dialog: stored relative to the
        // projects folder, so it resolves to itself.
        QVERIFY(writeAll(root.path() + "/other/x.lst", "x"));
        QVERIFY(writeAll(root.path() + "/other/y.lst", "y"));
        QString chooserDir;
        answerPopup<QMenu>([&](QMenu *menu) {
            for (QAction *a : menu->actions())
                QVERIFY(a->isSeparator() || a->isEnabled());
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(action(&dialog, 154)).center());
        });
        answerFileDialog(root.path() + "/other/x.lst", [&] {
            answerEntry(&entry, true, "Y", [&](TDialogPrjListEdit *d) {
                answerFileDialog(root.path() + "/other/y.lst", nullptr, nullptr, &chooserDir);
                QTest::mouseClick(button(d, "..."), Qt::LeftButton);
            });
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5));
        QApplication::sendEvent(table->viewport(), &menuEvent);
        QTRY_COMPARE(table->rowCount(), 4);
        QCOMPARE(entry.title, NumberedLanguage::text(164));
        QCOMPARE(entry.file, QString("../other/x.lst"));
        QCOMPARE(chooserDir, root.path() + "/other");
        QCOMPARE(table->currentRow(), 2);
        QCOMPARE(dialog.currentName(), QString("Y"));
        QCOMPARE(makeAbsolutePath(TDialogSelectPrjList::projectsDir(), dialog.currentFile()),
                 root.path() + "/other/y.lst");

        // AddCurr by its hot key, pre-filled; Cancel changes no row.
        dialog.setCurrentList("Cur", root.path() + "/other/cur.lst");
        answerEntry(&entry, false);
        key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(entry.title, NumberedLanguage::text(165));
        QCOMPARE(entry.name, QString("Cur"));
        QCOMPARE(entry.file, root.path() + "/other/cur.lst");
        QCOMPARE(table->rowCount(), 4);
        dialog.setCurrentList(root.path() + "/l.lst", root.path() + "/l.lst");
        answerEntry(&entry, false);
        dialog.slotAddCurr();
        QCOMPARE(entry.name, QString());

        // Edit (F2) of the first row.
        table->setCurrentCell(0, 0);
        answerEntry(&entry, true, "A2");
        key(Qt::Key_F2);
        QCOMPARE(entry.title, NumberedLanguage::text(166));
        QCOMPARE(entry.name, QString("A"));
        QCOMPARE(entry.file, QString("a.lst"));
        QCOMPARE(dialog.currentName(), QString("A2"));

        // Copy: "_new" proposed, ".lst" appended, the copy kept on Cancel;
        // a copy onto an existing file is refused with message 98.
        answerFileDialog(projects + "/copy", [&] { answerEntry(&entry, false); });
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(entry.title, NumberedLanguage::text(167));
        QCOMPARE(entry.name, QString("A2_new"));
        QCOMPARE(entry.file, QString("copy.lst"));
        QCOMPARE(readAll(projects + "/copy.lst"), QByteArray("alist"));
        QCOMPARE(table->rowCount(), 4);
        QString refusal;
        answerFileDialog(projects + "/copy.lst", [&] { answerBox(true, nullptr, &refusal); });
        dialog.slotCopy();
        QCOMPARE(refusal,
                 NumberedLanguage::text(98).arg(projects + "/a.lst", projects + "/copy.lst"));
        QCOMPARE(table->rowCount(), 4);

        // OpenFolder: the folder of the row's file against the projects
        // folder.
        UrlSink sink;
        QDesktopServices::setUrlHandler("file", &sink, "openUrl");
        table->setCurrentCell(3, 0);
        QVERIFY(!action(&dialog, 161)->isEnabled());
        action(&dialog, 159)->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(sink.urls.size(), 1);
        QCOMPARE(sink.urls.first().toLocalFile(), projects + "/sub");

        // Moves by hot key; Delete asks, No keeps the row.
        key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(table->currentRow(), 2);
        QCOMPARE(dialog.currentName(), QString("B"));
        boxes = 0;
        answerBox(false, &boxes, &question);
        key(Qt::Key_Delete);
        QCOMPARE(boxes, 1);
        QCOMPARE(question, NumberedLanguage::text(168).arg("B"));
        QCOMPARE(table->rowCount(), 4);
        answerBox(true, &boxes);
        key(Qt::Key_Delete);
        QCOMPARE(table->rowCount(), 3);
        appData.confirmProjectsListDelete = false;
        table->setCurrentCell(0, 0);
        dialog.slotDelete();
        QCOMPARE(boxes, 2);
        appData.confirmProjectsListDelete = true;

        const QVector<TCatalogueRow> rows{{"Fresh", "fresh.lst"}, {"Y", "../other/y.lst"}};
        QCOMPARE(tableRows(table), rows);
        QVERIFY(dialog.saveCatalogue(cat));
        QCOMPARE(readAll(cat), catalogueText(rows));
        QCOMPARE(readAll(projects + "/a.lst"), QByteArray("alist"));
    }

    // The caller's order: rows unchanged (moves at the ends included)
    // leave the modified flag, so the catalogue stays byte-identical; OK
    // gives the current row, Cancel after a change still writes.
    void callerOrder()
    {
        const QString cat = root.path() + "/order.lpl";
        const QByteArray bytes = "{\"list\": [{\"name\": \"A\", \"file\": \"a.lst\"},\n"
                                 "{\"name\": \"B\", \"file\": \"b.lst\"}]}";
        QVERIFY(writeAll(cat, bytes));
        for (int round = 0; round < 2; ++round) {
            TDialogSelectPrjList dialog;
            QVERIFY(dialog.loadCatalogue(cat));
            auto *table = dialog.findChild<QTableWidget *>();
            dialog.slotMoveUp();
            table->setCurrentCell(1, 0);
            dialog.slotMoveDown();
            QVERIFY(!dialog.isModified());
            if (round == 1)
                dialog.slotMoveUp();
            answerModal<TDialogSelectPrjList>([round](TDialogSelectPrjList *d) {
                if (round == 0)
                    button(d, NumberedLanguage::text(78))->click();
                else
                    d->reject();
            });
            const int result = dialog.exec();
            QCOMPARE(result, round == 0 ? 1 : 0);
            if (round == 0) {
                QCOMPARE(dialog.currentName(), QString("B"));
                QCOMPARE(dialog.currentFile(), QString("b.lst"));
            }
            QCOMPARE(dialog.isModified(), round == 1);
            if (dialog.isModified())
                QVERIFY(dialog.saveCatalogue(cat));
            QCOMPARE(readAll(cat) == bytes, round == 0);
        }
        QCOMPARE(readAll(cat), catalogueText({{"B", "b.lst"}, {"A", "a.lst"}}));
    }

    void entryDialogs_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<QString>("picked"); // relative to the base folder
        QTest::addColumn<QString>("shown");
        QTest::newRow("project, suffix appended") << true << "../up/p" << "../up/p.prj";
        QTest::newRow("project, kept") << true << "in/q.prj" << "in/q.prj";
        QTest::newRow("project, two dots") << true << "r.prj.bak" << "r.prj.bak.prj";
        QTest::newRow("list, nothing appended") << false << "../up/l.txt" << "../up/l.txt";
    }
    void entryDialogs()
    {
        QFETCH(bool, project);
        QFETCH(QString, picked);
        QFETCH(QString, shown);
        const QString base = root.path() + "/base";
        QVERIFY(QDir().mkpath(base + "/in"));
        QVERIFY(QDir().mkpath(root.path() + "/up"));
        int *width = project ? &appData.windowPrjEditWidth : &appData.windowPrjListEditWidth;
        *width = 420;
        QString caption;
        {
            std::unique_ptr<TDialogNameFileEdit> dialog(
                project ? static_cast<TDialogNameFileEdit *>(new TDialogPrjEdit("T"))
                        : new TDialogPrjListEdit("T"));
            QCOMPARE(dialog->width(), 420);
            QCOMPARE(dialog->minimumHeight(), dialog->maximumHeight());
            QVERIFY(dialog->minimumWidth() < dialog->maximumWidth());
            dialog->setValues("", "", base);
            answerModal<QDialog>([&](QDialog *d) {
                answerFileDialog(QDir::cleanPath(base + "/" + picked), nullptr, &caption);
                QTest::mouseClick(button(d, "..."), Qt::LeftButton);
                QCOMPARE(qobject_cast<TDialogNameFileEdit *>(d)->fileName(), shown);
                d->resize(517, d->height());
                d->reject(); // geometry kept on Cancel too
            });
            saveScreenshot(dialog.get(), project ? "prj_edit" : "prjlist_edit");
            QCOMPARE(dialog->exec(), 0);
            if (project)
                QCOMPARE(caption, NumberedLanguage::text(106));
            // OK with empty fields is accepted.
            dialog->setValues("", "", base);
            answerModal<QDialog>([](QDialog *d) {
                button(d, NumberedLanguage::text(79))->click();
            });
            QCOMPARE(dialog->exec(), 1);
            QCOMPARE(dialog->name(), QString());
            QCOMPARE(dialog->fileName(), QString());
        }
        QCOMPARE(*width, 517);
    }
};

QTEST_MAIN(TestPrjListDialogs)
#include "test_prjlist_dialogs.moc"
