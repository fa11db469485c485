// Valid JSON of another shape than its reader takes, for the three readers
// of the program's JSON files (a project, a project list, the catalogue of
// project lists): each is refused saying where the shape is wrong, reads
// nothing, and leaves nothing that a later save would write over the file.
// Members left out are no other shape: they load, and what a save writes of
// them loads the same.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/core_messages.h"
#include "data/TCtrlProject.h"
#include "data/TDataCfg.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogSelectPrjList.h"
#include "gui/views/TWgtPrjList.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

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
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
        file.close();

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

    // Members a reader does not know, of every object of every file, are
    // written back as they stood, in their place; a version the program
    // does not read is refused naming it, the file kept.
    void unknownMembersAndVersions_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("saved");   // the error for a refused file
        QTest::newRow("project kept")
            << "project"
            << QByteArray(R"({"version": 1, "name": "N", "description": "D", "configurations": [{"name": "A",)"
                          R"( "color": "red", "commands": [], "tags": [1, {"b": 2}]}], "x": {"a": [1, 2]}})")
            << QByteArray("{\n    \"version\": 1,\n    \"name\": \"N\",\n    \"description\": \"D\",\n"
                          "    \"configurations\":\n    [\n        {\n            \"name\": \"A\",\n"
                          "            \"description\": \"\",\n            \"color\": \"red\",\n"
                          "            \"commands\":\n            [\n\n            ],\n"
                          "            \"tags\": [1, {\"b\": 2}]\n        }\n    ],\n    \"x\": {\"a\": [1, 2]}\n}\n");
        QTest::newRow("list kept")
            << "list"
            << QByteArray(R"({"title": "T", "list": [{"name": "A", "file": "a.prj", "tag": [1]}], "version": 1, "z": null})")
            << QByteArray("{\r    \"version\": 1,\r    \"title\": \"T\",\r    \"list\":\r    [\r"
                          "        {\"parent\": 0, \"expand\": 0, \"name\": \"A\", \"file\": \"a.prj\", \"tag\": [1]}\r"
                          "    ],\r    \"z\": null\r}\r");
        QTest::newRow("catalogue kept")
            << "catalogue" << QByteArray(R"({"list": [{"file": "a.lst", "pin": true, "name": "A"}], "note": "n"})")
            << QByteArray("{\n    \"version\": 1,\n    \"list\":\n    [\n"
                          "        {\"name\": \"A\", \"file\": \"a.lst\", \"pin\": true}\n    ],\n    \"note\": \"n\"\n}\n");
        const auto version = [](const char *v) { return lang.text(MSG_JSON_VERSION).arg(v).toUtf8(); };
        QTest::newRow("project version 2") << "project" << QByteArray(R"({"version": 2, "configurations": []})")
                                           << version("2");
        QTest::newRow("list version \"1\"") << "list" << QByteArray(R"({"version": "1", "list": []})")
                                            << version("\"1\"");
        QTest::newRow("catalogue version 1.5") << "catalogue" << QByteArray(R"({"list": [], "version": 1.5})")
                                               << version("1.5");
    }
    void unknownMembersAndVersions()
    {
        QFETCH(QString, reader);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, saved);
        const QString in = dir.filePath(QStringLiteral("in.json"));
        const QString out = dir.filePath(QStringLiteral("out.json"));
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
        file.close();
        const bool refused = !saved.startsWith('{');
        // Loaded and saved twice: as given, then as saved.
        for (const QString &from : {in, out}) {
            QString error;
            bool ok = false;
            if (reader == QLatin1String("project")) {
                TDataPrj prj;
                TCtrlProject ctrl;
                ok = ctrl.load(from, &prj) == 0 && ctrl.save(out, &prj);
                error = ctrl.lastError();
            } else if (reader == QLatin1String("list")) {
                TWgtPrjList list;
                ok = list.load(QStringLiteral("List"), from, 0) && list.save(out);
                error = list.errorText();
            } else {
                TDialogSelectPrjList dialog;
                ok = dialog.loadCatalogue(from) && dialog.saveCatalogue(out);
                error = dialog.loadError();
            }
            QCOMPARE(ok, !refused);
            if (refused) {
                QCOMPARE(error.toUtf8(), saved);
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(file.readAll(), text);
                return;
            }
            QFile written(out);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), saved);
        }
    }

    void leftOutMembersReadAsEmpty()
    {
        // Each configuration's name and number of commands.
        const QPair<QByteArray, QStringList> rows[] = {
            {R"({"version": 1})", {}},
            {R"({"configurations": [{"name": "A"}, {"commands": [{"cmd": "delay"}]}]})", {"A: 0", ": 1"}}};
        const QString path = dir.filePath(QStringLiteral("lenient.json"));
        for (const auto &row : rows) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(row.first) == row.first.size());
            file.close();
            for (int pass = 0; pass < 2; ++pass) {   // as given, then as saved
                TDataPrj prj;
                TCtrlProject ctrl;
                QVERIFY2(ctrl.load(path, &prj) == 0, qPrintable(ctrl.lastError()));
                QStringList read;
                for (const TDataCfg *cfg : prj.cfgList())
                    read << QStringLiteral("%1: %2").arg(cfg->name()).arg(prj.cmdsOfCfg(cfg->id()).size());
                QCOMPARE(read, row.second);
                QVERIFY(ctrl.save(path, &prj));
            }
        }
    }
};

QTEST_MAIN(TestFileShapes)
#include "test_file_shapes.moc"
