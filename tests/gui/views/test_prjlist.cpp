// The project-list tree and its file: the exact bytes written, reading back,
// damaged and odd files, adding and removing entries, the name filter typed
// as a user types it, and the keyboard hand-over between filter and tree.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "gui/views/TWgtPrjList.h"
#include "support/ModalAnswer.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

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

QTreeWidgetItem *entry(QTreeWidgetItem *parent, QTreeWidget *tree, const QString &name, const QString &file)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, name);
    item->setText(1, file);
    return item;
}

// Names of all entries in pre-order, a child indented by one blank per level,
// "+" for an expanded entry, "~" for a hidden one.
QStringList shape(QTreeWidget *tree)
{
    QStringList out;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
        out << QString(depth, QLatin1Char(' ')) + item->text(0) + (item->isExpanded() ? "+" : "")
                   + (item->isHidden() ? "~" : "");
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return out;
}

const QByteArray kHead = "{\r    \"version\": 1,\r    \"list\":\r    [\r";
const QByteArray kTail = "    ]\r}\r";

} // namespace

class TestPrjList : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
    }
    void init()
    {
        appData.pathProjects = dir.path();
        appData.prjListShowFilter = true;
        appData.prjListShowName = true;
    }

    void savedBytesAndReadBack_data()
    {
        QTest::addColumn<int>("shapeId");
        QTest::addColumn<QByteArray>("entries");
        QTest::newRow("empty") << 0 << QByteArray();
        QTest::newRow("one") << 1 << QByteArray("        {\"parent\": 0, \"expand\": 0, \"name\": \"Solo\", \"file\": \"solo.prj\"}\r");
        QTest::newRow("worked example")
            << 2
            << QByteArray("        {\"parent\": 0, \"expand\": 1, \"name\": \"Boards\", \"file\": \"\"},\r"
                          "        {\"parent\": 1, \"expand\": 0, \"name\": \"Board A\", \"file\": \"boardA.prj\"},\r"
                          "        {\"parent\": 0, \"expand\": 0, \"name\": \"Tools\", \"file\": \"tools.prj\"}\r");
        QTest::newRow("escapes and placeholders")
            << 3
            << QByteArray("        {\"parent\": 0, \"expand\": 0, \"name\": \"say \\\"hi\\\" %1 100%\", "
                          "\"file\": \"C:\\\\p\\\\%2.prj\"},\r"
                          "        {\"parent\": 1, \"expand\": 0, \"name\": \"tab\\there\\nline\\u0001\", "
                          "\"file\": \"\xd0\x96.prj\"}\r");
    }
    void savedBytesAndReadBack()
    {
        QFETCH(int, shapeId);
        QFETCH(QByteArray, entries);
        TWgtPrjList list;
        QTreeWidget *tree = list.tree();
        if (shapeId == 1) {
            entry(nullptr, tree, "Solo", "solo.prj");
        } else if (shapeId == 2) {
            QTreeWidgetItem *boards = entry(nullptr, tree, "Boards", "");
            entry(boards, tree, "Board A", "boardA.prj");
            entry(nullptr, tree, "Tools", "tools.prj");
            boards->setExpanded(true);
        } else if (shapeId == 3) {
            QTreeWidgetItem *top = entry(nullptr, tree, "say \"hi\" %1 100%", "C:\\p\\%2.prj");
            entry(top, tree, QString::fromUtf8("tab\there\nline\x01"), QString::fromUtf8("Ж.prj"));
        }
        const QString file = path(QStringLiteral("golden.lst"));
        QVERIFY(list.save(file));
        QCOMPARE(readAll(file), kHead + entries + kTail);

        TWgtPrjList back;
        QVERIFY(back.load(QStringLiteral("golden"), file, 0));
        QCOMPARE(shape(back.tree()), shape(tree));
        QCOMPARE(back.listFileBytes(), readAll(file));
    }

    void loadingOddFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("expected");
        // Valid JSON of another shape is refused, not read as an empty or
        // rearranged tree that the next save would write over the file
        // (each shape and its message: test_file_shapes); members left out
        // read as empty.
        QTest::newRow("{}") << QByteArray("{}") << 0 << true << QStringList();
        QTest::newRow("list not an array") << QByteArray("{\"list\": {\"a\": 1}}") << 0 << false << QStringList();
        QTest::newRow("top-level array") << QByteArray("[1, 2]") << 0 << false << QStringList();
        QTest::newRow("parent as text or a fraction")
            << QByteArray("{\"list\": [{\"name\": \"A\", \"expand\": 1}, {\"parent\": \"1\", \"name\": \"B\"},"
                          " {\"parent\": 1, \"expand\": true, \"name\": \"C\"}, {\"parent\": 1.5, \"name\": \"D\"}]}")
            << 0 << false << QStringList();
        QTest::newRow("parents out of range")
            << QByteArray("{\"list\": [{\"name\": \"A\"}, {\"parent\": -1, \"name\": \"B\"},"
                          " {\"parent\": 3, \"name\": \"C\"}, {\"parent\": 99, \"name\": \"D\"}, 7, {\"parent\": 1}]}")
            << 0 << false << QStringList();
        QTest::newRow("members left out")
            << QByteArray("{\"list\": [{\"name\": \"A\", \"expand\": 1}, {\"parent\": 1}, {\"file\": \"c.prj\"}]}")
            << 0 << true << QStringList{"A+", " ", ""};
        QTest::newRow("expand true or false")
            << QByteArray(R"({"list": [{"name": "A", "expand": true}, {"parent": 1, "name": "B", "expand": false},)"
                          R"( {"parent": 2, "name": "C"}, {"parent": 1, "name": "D", "expand": true}]})")
            << 0 << true << QStringList{"A+", " B", "  C", " D+"};
        QTest::newRow("mode 2 expands all")
            << QByteArray("{\"list\": [{\"name\": \"A\"}, {\"parent\": 1, \"name\": \"B\"}]}") << 2 << true
            << QStringList{"A+", " B+"};
        QTest::newRow("mode 1 collapses all")
            << QByteArray("{\"list\": [{\"name\": \"A\", \"expand\": 1}, {\"parent\": 1, \"name\": \"B\"}]}") << 1
            << true << QStringList{"A", " B"};
        QTest::newRow("0 bytes") << QByteArray() << 0 << false << QStringList();
        QTest::newRow("blanks") << QByteArray("  \r\n ") << 0 << false << QStringList();
        QTest::newRow("cut short") << QByteArray("{\"list\": [{\"name\": \"A\"}") << 0 << false << QStringList();
    }
    void loadingOddFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, mode);
        QFETCH(bool, ok);
        QFETCH(QStringList, expected);
        writeBytes(path("odd.lst"), bytes);
        TWgtPrjList list;
        QSignalSpy selected(&list, &TWgtPrjList::signalProjectSelect);
        // Relative to the projects folder.
        QCOMPARE(list.load(QStringLiteral("Odd"), QStringLiteral("odd.lst"), mode), ok);
        QCOMPARE(list.isLoaded(), ok);
        QCOMPARE(list.listFile(), path("odd.lst"));
        QCOMPARE(shape(list.tree()), expected);
        QCOMPARE(selected.count(), 0);
        QCOMPARE(list.findChild<QLineEdit *>()->isEnabled(), ok);
        if (bytes.isEmpty())
            QCOMPARE(list.errorText(), lang.text(MSG_JSON_EMPTY));
        else if (!ok)
            QVERIFY(!list.errorText().isEmpty());
    }

    // Two copies change one list file: this copy's save takes in what the
    // other wrote meanwhile, entry by entry, and shows it; where both changed
    // the same place, or the other removed the entry this copy stands on,
    // it asks, and No keeps the other's file.
    void mergingAnotherCopysList()
    {
        using Op = std::function<void(TWgtPrjList &)>;
        const auto add = [this](int at, const char *name, bool below) {
            return Op([=](TWgtPrjList &l) { l.setCurrentIndex(at); QVERIFY(l.addItem(1, name, dir.path(), "", below, {})); });
        };
        const auto rename = [](int at, const char *name) {
            return Op([=](TWgtPrjList &l) { l.setCurrentIndex(at); l.setCurrentTexts(name, l.currentFile()); });
        };
        const auto remove = [](int at) { return Op([=](TWgtPrjList &l) { l.setCurrentIndex(at); l.removeCurrent(); }); };
        // Entries in pre-order: 0 Boards, 1 Board A, 2 Board B, 3 Tools.
        const struct { Op theirs, mine; int stand; QStringList merged; } rows[] = {
            {add(3, "New B", false), rename(2, "Board 2"), -1, {"Boards+", " Board A", " Board 2", "Tools", "New B"}},
            {remove(2), add(1, "Sub", true), -1, {"Boards+", " Board A", "  Sub", "Tools"}},
            {remove(0), add(1, "Sub", true), -1, {}},
            {rename(3, "Tools B"), rename(3, "Tools A"), -1, {}},
            {remove(1), rename(3, "T2"), 1, {}},
        };
        const QString file = path("shared.lst");
        for (const auto &row : rows) {
            writeBytes(file, R"({"list": [{"name": "Boards", "expand": 1}, {"parent": 1, "name": "Board A"},)"
                             R"( {"parent": 1, "name": "Board B"}, {"name": "Tools"}]})");
            TWgtPrjList mine, theirs;
            QVERIFY(mine.load("A", file, 0) && theirs.load("B", file, 0));
            row.theirs(theirs);
            QVERIFY(theirs.saveList());
            const QByteArray written = readAll(file);
            row.mine(mine);
            if (row.stand >= 0)
                mine.setCurrentIndex(row.stand);
            if (row.merged.isEmpty())
                answerBox(false);
            QCOMPARE(mine.saveList(), !row.merged.isEmpty());
            finishModalAnswers();
            if (row.merged.isEmpty()) {
                QVERIFY(mine.saveDeclined());
                QCOMPARE(readAll(file), written);
                continue;
            }
            TWgtPrjList back;
            QVERIFY(back.load("C", file, 0));
            QCOMPARE(shape(back.tree()), row.merged);
            QCOMPARE(shape(mine.tree()), row.merged);
        }
    }

    void failedWriteChangesNothing()
    {
        writeBytes(path("plain"), "not a folder");
        TWgtPrjList list;
        entry(nullptr, list.tree(), "A", "a.prj");
        QVERIFY(!list.save(path("plain/list.lst")));
        QCOMPARE(readAll(path("plain")), QByteArray("not a folder"));
        const QString missing = path("nowhere.lst");
        QVERIFY(!list.load(QStringLiteral("x"), missing, 0));
        QVERIFY(!QFile::exists(missing));
    }

    // Adding: the ".prj" rule, the place of the new entry, files never
    // replaced, and the new entry reported as the selected project.
    void addingEntries()
    {
        const QString base = path("add");
        QVERIFY(QDir().mkpath(base));
        writeBytes(base + "/list.lst", "{\"list\": [{\"name\": \"Top\", \"expand\": 1}, {\"parent\": 1, \"name\": \"Kid\"},"
                                      " {\"name\": \"Next\"}]}");
        TWgtPrjList list;
        QVERIFY(list.load(QStringLiteral("L"), base + "/list.lst", 0));
        QSignalSpy selected(&list, &TWgtPrjList::signalProjectSelect);

        const struct { const char *typed; const char *stored; } names[] = {
            {"a.b.prj", "a.b.prj.prj"}, {"X.PRJ", "X.PRJ.prj"}, {"plain", "plain.prj"}, {"ok.prj", "ok.prj"},
            {"sub/deep.prj", "sub/deep.prj"}};
        QVERIFY(QDir().mkpath(base + "/sub"));
        for (const auto &n : names) {
            list.setCurrentIndex(0);
            QVERIFY2(list.addItem(0, n.typed, base, n.typed, false, {}), n.typed);
            QCOMPARE(list.currentFile(), QString::fromLatin1(n.stored));
            QVERIFY(QFile::exists(base + "/" + n.stored));
            QCOMPARE(selected.last().at(0).toString(), base + "/" + n.stored);
        }
        // Each new entry came right after "Top" and its child, before the
        // ones added earlier.
        QCOMPARE(shape(list.tree()), (QStringList{"Top+", " Kid", "sub/deep.prj", "ok.prj", "plain", "X.PRJ",
                                                  "a.b.prj", "Next"}));

        // Modes 0 and 2 never replace a file, also one reached through ".prj".
        writeBytes(base + "/keep.prj", "precious");
        const int before = selected.count();
        QVERIFY(!list.addItem(0, "k", base, "keep", false, {}));
        QCOMPARE(list.addFailure(), TWgtPrjList::AddFileExists);
        QCOMPARE(list.addPath(), base + "/keep.prj");
        QVERIFY(!list.addItem(2, "k", base, "keep.prj", true, "other"));
        QCOMPARE(readAll(base + "/keep.prj"), QByteArray("precious"));
        QCOMPARE(selected.count(), before);
        QCOMPARE(list.tree()->topLevelItemCount(), 7);
        // A folder that is a plain file cannot hold the new file.
        QVERIFY(!list.addItem(0, "w", base, "keep.prj/x.prj", false, {}));
        QCOMPARE(list.addFailure(), TWgtPrjList::AddWriteFailed);
        // Mode 1 takes the existing file as it is; mode 2 writes the bytes.
        QVERIFY(list.addItem(1, "k", base, "keep", true, {}));
        QCOMPARE(readAll(base + "/keep.prj"), QByteArray("precious"));
        QVERIFY(list.addItem(2, "copy", base, "copy", false, "bytes"));
        QCOMPARE(readAll(base + "/copy.prj"), QByteArray("bytes"));
        // A group, and a path outside the folder stays absolute.
        QVERIFY(list.addItem(0, "group", base, "", false, {}));
        QCOMPARE(selected.last().at(0).toString(), QString());
        const QString outside = path("outside.prj");
        QVERIFY(list.addItem(1, "out", base + "/sub", outside, false, {}));
        QCOMPARE(list.currentFile(), QStringLiteral("../../outside.prj"));

        // As child without a current entry: top level, last.
        list.setCurrentIndex(-1);
        QVERIFY(list.addItem(1, "lone", base, "", true, {}));
        QCOMPARE(list.tree()->topLevelItem(list.tree()->topLevelItemCount() - 1)->text(0), QStringLiteral("lone"));
    }

    void removingReportsTheNewCurrentEntry()
    {
        writeBytes(path("rm.lst"), "{\"list\": [{\"name\": \"A\", \"file\": \"a.prj\"}, {\"name\": \"B\"},"
                                   " {\"parent\": 2, \"name\": \"B1\"}, {\"parent\": 2, \"name\": \"B2\"},"
                                   " {\"name\": \"C\", \"file\": \"c.prj\"}]}");
        TWgtPrjList list;
        QVERIFY(list.load("rm", path("rm.lst"), 0));
        QSignalSpy selected(&list, &TWgtPrjList::signalProjectSelect);
        list.setCurrentIndex(1); // B
        QVERIFY(list.removeChildren());
        QCOMPARE(shape(list.tree()), (QStringList{"A", "B", "C"}));
        QCOMPARE(list.currentName(), QStringLiteral("B"));
        selected.clear();
        QVERIFY(list.removeCurrent()); // the previous sibling takes its place
        QCOMPARE(list.currentName(), QStringLiteral("A"));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.last().at(0).toString(), path("a.prj"));
        QVERIFY(list.removeCurrent()); // no previous one: the next
        QCOMPARE(selected.last().at(0).toString(), path("c.prj"));
        QVERIFY(list.removeCurrent());
        QCOMPARE(list.currentItem(), nullptr);
        QCOMPARE(selected.count(), 2);
        QVERIFY(QFile::remove(path("rm.lst")) || true);
    }

    // The filter typed key by key, then cleared; and the arrows between the
    // filter field and the tree.
    void filterAsTyped()
    {
        writeBytes(path("f.lst"), "{\"list\": [{\"name\": \"Alpha\", \"expand\": 0}, {\"parent\": 1, \"name\": \"Deep\","
                                  " \"expand\": 0}, {\"parent\": 2, \"name\": \"xxABCxx\"},"
                                  " {\"name\": \"Beta\", \"expand\": 1}, {\"parent\": 4, \"name\": \"other\"},"
                                  " {\"name\": \"abc top\"}]}");
        TWgtPrjList list;
        list.show();
        QVERIFY(list.load("f", path("f.lst"), 0));
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.setCurrentIndex(2); // xxABCxx, hidden inside collapsed Alpha/Deep
        QLineEdit *filter = list.findChild<QLineEdit *>();
        QTest::keyClicks(filter, QStringLiteral("aB"));
        QCOMPARE(shape(list.tree()), (QStringList{"Alpha+", " Deep+", "  xxABCxx+", "Beta+~", " other+~", "abc top+"}));
        QTest::keyClick(filter, Qt::Key_C);
        QCOMPARE(shape(list.tree()), (QStringList{"Alpha+", " Deep+", "  xxABCxx+", "Beta+~", " other+~", "abc top+"}));
        QTest::keyClick(filter, Qt::Key_D);
        QCOMPARE(shape(list.tree()), (QStringList{"Alpha+~", " Deep+~", "  xxABCxx+~", "Beta+~", " other+~", "abc top+~"}));
        // Saving while filtered writes the filtered view's states.
        QVERIFY(list.listFileBytes().contains("\"expand\": 1, \"name\": \"Alpha\""));
        QTest::keyClick(filter, Qt::Key_Backspace);
        QTest::keyClick(filter, Qt::Key_Backspace);
        QTest::keyClick(filter, Qt::Key_Backspace);
        QTest::keyClick(filter, Qt::Key_Backspace);
        // Former states, with the way to the selected entry opened.
        QCOMPARE(shape(list.tree()), (QStringList{"Alpha+", " Deep+", "  xxABCxx", "Beta+", " other", "abc top"}));

        // Down in the filter field hands over to the tree; Up on the top
        // entry hands back and deselects it.
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Down);
        QVERIFY(list.tree()->hasFocus());
        QCOMPARE(list.currentName(), QStringLiteral("Alpha"));
        QTest::keyClick(list.tree(), Qt::Key_Up);
        QVERIFY(filter->hasFocus());
        QCOMPARE(list.selectedIndex(), -1);
        QCOMPARE(list.currentName(), QStringLiteral("Alpha"));

        // Hiding the filter row clears an active filter.
        QTest::keyClicks(filter, QStringLiteral("zz"));
        list.showFilter(false);
        QCOMPARE(filter->text(), QString());
        QVERIFY(!shape(list.tree()).join("").contains("~"));
    }
};

QTEST_MAIN(TestPrjList)
#include "test_prjlist.moc"
