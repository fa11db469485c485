// Valid JSON of another shape than its reader takes, for the three readers
// of the program's JSON files (a project, a project list, the catalogue of
// project lists): each is refused saying where the shape is wrong, reads
// nothing, and leaves nothing that a later save would write over the file.
// Members left out, and a list entry's "expand" as true or false, are no
// other shape: they load, and what a save writes of them loads the same.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "data/TCtrlProject.h"
#include "data/TDataCfg.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogSelectPrjList.h"
#include "gui/views/TWgtPrjList.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
}

// What the reader reads of the file, in short (a project: each
// configuration's name and number of commands; a list: each entry indented
// by its depth, "+" when expanded; a catalogue: each row's name and file),
// written again to `saveTo` when given.
QStringList readBack(const QString &reader, const QString &path, const QString &saveTo = QString())
{
    QStringList read;
    if (reader == QLatin1String("project")) {
        TDataPrj prj;
        TCtrlProject ctrl;
        if (ctrl.load(path, &prj) != 0)
            return {ctrl.lastError()};
        for (const TDataCfg *cfg : prj.cfgList())
            read << QStringLiteral("%1: %2").arg(cfg->name()).arg(prj.cmdsOfCfg(cfg->id()).size());
        if (!saveTo.isEmpty() && !ctrl.save(saveTo, &prj))
            read << ctrl.lastError();
    } else if (reader == QLatin1String("list")) {
        TWgtPrjList list;
        if (!list.load(QStringLiteral("List"), path, 0))
            return {list.errorText()};
        for (QTreeWidgetItemIterator it(list.tree()); *it; ++it) {
            int depth = 0;
            for (const QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
                ++depth;
            read << QString(depth, QLatin1Char(' ')) + (*it)->text(0) + ((*it)->isExpanded() ? "+" : "");
        }
        if (!saveTo.isEmpty() && !list.save(saveTo))
            read << list.saveError();
    } else {
        TDialogSelectPrjList dialog;
        if (!dialog.loadCatalogue(path))
            return {dialog.loadError()};
        const QTableWidget *table = dialog.findChild<QTableWidget *>();
        for (int row = 0; row < table->rowCount(); ++row)
            read << table->item(row, 0)->text() + "|" + table->item(row, 1)->text();
        if (!saveTo.isEmpty() && !dialog.saveCatalogue(saveTo))
            read << dialog.errorString();
    }
    return read;
}

} // namespace

class TestFileShapes : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        appData.pathProjects = dir.path();
    }

    void wrongShapesAreRefusedSayingWhere_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("where");
        const auto row = [](const char *reader, const char *name, const QByteArray &text, const char *where) {
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(reader, name))) << reader << text << where;
        };
        const QByteArray fourCommands = R"({"cmd": "delay"}, {"cmd": "delay"}, {"cmd": "delay"}, {"cmd": "delay"})";
        row("project", "top-level array", "[]", "the top level of the file: an array where an object is expected");
        row("project", "configuration no object", R"({"configurations": [{"commands": []}, 3]})",
            "configuration 2: the number 3 where an object is expected");
        row("project", "name no text", R"({"configurations": [{"name": true, "commands": []}]})",
            R"(configuration 1, key "name": true where a text is expected)");
        row("project", "commands a text", R"({"configurations": [{"name": "A", "commands": "delay"}]})",
            R"(configuration 1, key "commands": a text where an array is expected)");
        row("project", "command no object", R"({"configurations": [{"name": "A", "commands": [["delay"]]}]})",
            "configuration 1, command 1: an array where an object is expected");
        row("project", "value a number",
            R"({"configurations": [{"commands": []}, {"commands": [)" + fourCommands
                + R"(, {"cmd": "file_write", "count": 100}]}]})",
            R"(configuration 2, command 5, key "count": the number 100 where a text is expected)");
        row("project", "value an object", R"({"configurations": [{"commands": [{"cmd": "delay", "value": {}}]}]})",
            R"(configuration 1, command 1, key "value": an object where a text is expected)");
        for (const char *reader : {"list", "catalogue"}) {
            row(reader, "top-level array", "[1, 2]", "the top level of the file: an array where an object is expected");
            row(reader, "list an object", R"({"list": {"name": "A"}})",
                R"(key "list": an object where an array is expected)");
            row(reader, "entry no object", R"({"list": [{"name": "A"}, "B"]})",
                "entry 2: a text where an object is expected");
            row(reader, "file a number", R"({"list": [{"name": "A", "file": 5}]})",
                R"(entry 1, key "file": the number 5 where a text is expected)");
            row(reader, "name null", R"({"list": [{"name": null}]})",
                R"(entry 1, key "name": null where a text is expected)");
        }
        row("list", "parent a text", R"({"list": [{"name": "A"}, {"parent": "1"}]})",
            R"(entry 2, key "parent": a text where a whole number is expected)");
        row("list", "parent a fraction", R"({"list": [{"name": "A"}, {"parent": 1.5}]})",
            R"(entry 2, key "parent": the number 1.5 where a whole number is expected)");
        row("list", "parent below 0", R"({"list": [{"name": "A"}, {"parent": -1}]})",
            R"(entry 2, key "parent": the number -1 where 0 or the number of an entry before this one (below 2) is expected)");
        row("list", "parent itself", R"({"list": [{"name": "A"}, {"parent": 2}]})",
            R"(entry 2, key "parent": the number 2 where 0 or the number of an entry before this one (below 2) is expected)");
        row("list", "expand a text", R"({"list": [{"name": "A", "expand": "1"}]})",
            R"(entry 1, key "expand": a text where a whole number, true or false is expected)");
    }
    void wrongShapesAreRefusedSayingWhere()
    {
        QFETCH(QString, reader);
        QFETCH(QByteArray, text);
        QFETCH(QString, where);
        const QString path = dir.filePath(QStringLiteral("file.json"));
        writeFile(path, text);
        QFile file(path);

        if (reader == QLatin1String("project")) {
            TDataPrj prj;
            TCtrlProject ctrl;
            QCOMPARE(ctrl.load(path, &prj), 2);
            QCOMPARE(ctrl.lastError(), where);
            // Nothing read, not even what came before the fault; not open,
            // so nothing is saved over the file.
            QVERIFY(prj.cfgList().isEmpty());
            QVERIFY(prj.cmdList().isEmpty());
            QVERIFY(!prj.isOpen());
        } else if (reader == QLatin1String("list")) {
            TWgtPrjList list;
            QVERIFY(!list.load(QStringLiteral("List"), path, 0));
            QCOMPARE(list.errorText(), where);
            QCOMPARE(list.tree()->topLevelItemCount(), 0);
            QVERIFY(!list.isLoaded());
            QVERIFY(!list.isModified());
        } else {
            TDialogSelectPrjList dialog;
            QVERIFY(!dialog.loadCatalogue(path));
            QCOMPARE(dialog.loadError(), where);
            QCOMPARE(dialog.findChild<QTableWidget *>()->rowCount(), 0);
            QVERIFY(!dialog.saveCatalogue(path));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text);
    }

    void leftOutMembersReadAsEmpty_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("read");
        for (const char *reader : {"project", "list", "catalogue"})
            QTest::newRow(qPrintable(QStringLiteral("%1: {}").arg(reader))) << reader << QByteArray("{}") << QStringList();
        QTest::newRow("project: no configurations") << "project" << QByteArray(R"({"version": 1})") << QStringList();
        QTest::newRow("project: configuration without commands")
            << "project" << QByteArray(R"({"configurations": [{"name": "A"}, {"commands": [{"cmd": "delay"}]}]})")
            << QStringList{"A: 0", ": 1"};
        QTest::newRow("list: expand true or false")
            << "list"
            << QByteArray(R"({"list": [{"name": "A", "expand": true}, {"parent": 1, "name": "B", "expand": false},)"
                          R"( {"parent": 2, "name": "C"}, {"parent": 1, "name": "D", "expand": true}]})")
            << QStringList{"A+", " B", "  C", " D+"};
    }
    void leftOutMembersReadAsEmpty()
    {
        QFETCH(QString, reader);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, read);
        const QString path = dir.filePath(QStringLiteral("lenient.json"));
        const QString saved = dir.filePath(QStringLiteral("saved.json"));
        writeFile(path, text);
        QCOMPARE(readBack(reader, path, saved), read);
        QCOMPARE(readBack(reader, saved), read);
    }
};

QTEST_MAIN(TestFileShapes)
#include "test_file_shapes.moc"
