#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "support/ModalAnswer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString savedCwd;

    QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
        savedCwd = QDir::currentPath();
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(savedCwd);
        setAppFileLocation(QString());
    }
    void cleanup()
    {
        finishModalAnswers();
    }

    // A text that is not valid JSON is refused saying where the reader
    // stopped (line, and column in characters) and what it expected there.
    void jsonErrorsSayWhere_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("expected"); // QJsonParseError's code
        QTest::newRow("no comma between members")
            << QByteArray("{\n    \"list\":\n    [{\"name\": \"A\" \"file\": \"a.prj\"}]\n}\n") << 3 << 19 << 1;
        QTest::newRow("no colon after a name") << QByteArray("{\n  \"a\" 1\n}") << 2 << 7 << 2;
        QTest::newRow("no comma between values") << QByteArray("[1 2]") << 1 << 4 << 4;
        QTest::newRow("comma before the end") << QByteArray("[1, 2,\n]") << 2 << 1 << 11;
        QTest::newRow("columns in characters") << QByteArray("{\"\xD0\xB6\xF0\x9F\x98\x80\": tru}") << 1 << 8 << 5;
        QTest::newRow("text ends in a string") << QByteArray("{\"a\": \"abc") << 1 << 11 << 10;
        QTest::newRow("more after the document") << QByteArray("{}\r\nx") << 2 << 1 << 14;
        QTest::newRow("first character") << QByteArray("]\n\n\n\n\n") << 1 << 1 << 5;
        QTest::newRow("ends after CR LF") << QByteArray("{\"a\": 1\r\n") << 1 << 8 << 1;
        QTest::newRow("lines ended by CR") << QByteArray("{\r\"a\" 1}\r") << 2 << 5 << 2;
        QTest::newRow("more after CR") << QByteArray("{}\rx") << 2 << 1 << 14;
    }
    void jsonErrorsSayWhere()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, expected);
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QJsonDocument doc;
        QString error;
        QVERIFY(!readJsonText(text, &doc, &error));
        QCOMPARE(error, lang.text(MSG_JSON_AT).arg(line).arg(column).arg(lang.text(MSG_JSON_EXPECTED + expected - 1)));
        QVERIFY(readJsonText("{\"a\": [1]}", &doc, &error));
        QCOMPARE(doc.object().value("a").toArray().size(), 1);
    }

    void filesNamedAfterTheProgram()
    {
        QCOMPARE(appDirPath(), home.path());
        QCOMPARE(settingsFilePath(), home.path() + QStringLiteral("/velkor.ini"));
        QCOMPARE(hotKeyFilePath(), home.path() + QStringLiteral("/velkor.hk"));
        QCOMPARE(logFilePath(), home.path() + QStringLiteral("/velkor.log"));
    }

    void getParamLogsMissingKeysOnlyInDebug()
    {
        const TData data{{QString::fromLatin1(FILE_COUNT), 16}};
        QFile::remove(logFilePath());
        appData.debug = 0;
        QCOMPARE(getParam(QStringLiteral("devices\\TDev24"), 12, data, QString::fromLatin1(FILE_COUNT)).toInt(), 16);
        QVERIFY(!getParam(QStringLiteral("devices\\TDev24"), 12, data, QString::fromLatin1(FILE_FILE)).isValid());
        QVERIFY(!QFile::exists(logFilePath()));

        appData.debug = 1;
        QVERIFY(!getParam(QStringLiteral("devices\\TDev24"), 42, data, QString::fromLatin1(FILE_FILE)).isValid());
        appData.debug = 0;
        const QString log = QString::fromUtf8(readAll(logFilePath()));
        QVERIFY2(QRegularExpression(QStringLiteral(
                     "^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d Error Param devices\\\\TDev24, 42: file not found\\n$"))
                     .match(log)
                     .hasMatch(),
                 qPrintable(log));
    }

    void logLineFormatAndAppend()
    {
        const QDateTime when(QDate(2024, 3, 2), QTime(7, 5, 9));
        QCOMPARE(logLine(when, QStringLiteral("debug"), QStringLiteral("Да")),
                 QStringLiteral("02.03.2024 07:05:09 debug Да\n"));
        QFile::remove(logFilePath());
        writeLog(QStringLiteral("a"), QStringLiteral("one"));
        writeLog(QStringLiteral("b"), QStringLiteral("two\r"));
        const QList<QByteArray> lines = readAll(logFilePath()).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).endsWith(" a one"));
        QVERIFY(lines.at(1).endsWith(" b two\r"));
        QVERIFY(lines.at(2).isEmpty());
    }

    void pathHelpers()
    {
        QDir::setCurrent(home.path());
        const QString cwd = QDir::currentPath();
        QCOMPARE(makeAbsolutePath(QStringLiteral("language"), QStringLiteral("rus.lng")),
                 cwd + QStringLiteral("/language/rus.lng"));
        QCOMPARE(makeAbsolutePath(QStringLiteral("language"), QStringLiteral("/opt/x/rus.lng")),
                 QStringLiteral("/opt/x/rus.lng"));
        QCOMPARE(makeAbsolutePath(QStringLiteral("/base"), QStringLiteral("fw\\..\\img\\a.bin")),
                 QStringLiteral("/base/img/a.bin"));
        QCOMPARE(absoluteFilePath(QStringLiteral("a.bin")), cwd + QStringLiteral("/a.bin"));

        QCOMPARE(dirOfPath(QStringLiteral("projects"), QString()), cwd + QStringLiteral("/projects"));
        QCOMPARE(dirOfPath(QStringLiteral("/base"), QStringLiteral("sub/a.prj")), QStringLiteral("/base/sub"));
        QCOMPARE(dirOfPath(QStringLiteral("/base"), QStringLiteral("/other/a.prj")), QStringLiteral("/other"));
        QCOMPARE(dirOfFile(QStringLiteral("x/y.bin")), cwd + QStringLiteral("/x"));

        QCOMPARE(suffixOf(QStringLiteral("dir.v2/a.tar.gz")), QStringLiteral("tar.gz"));
        QCOMPARE(suffixOf(QStringLiteral("dir.v2/noext")), QString());

        QCOMPARE(toRelativePath(QStringLiteral("/base/prj"), QStringLiteral("/base/prj/fw/a.bin")),
                 QStringLiteral("fw/a.bin"));
        QCOMPARE(toRelativePath(QStringLiteral("/base/prj"), QStringLiteral("/base/img/a.bin")),
                 QStringLiteral("../img/a.bin"));
        QCOMPARE(toRelativePath(QStringLiteral("sub"), cwd + QStringLiteral("/sub/a.bin")),
                 QStringLiteral("a.bin"));
        QCOMPARE(toAppRelativePath(home.path() + QStringLiteral("/progs/p.ini")),
                 QStringLiteral("progs/p.ini"));
        // Relative and absolute forms lead to the same file.
        const QString rel = toRelativePath(QStringLiteral("/base/prj"), QStringLiteral("/etc/hosts"));
        QCOMPARE(makeAbsolutePath(QStringLiteral("/base/prj"), rel), QStringLiteral("/etc/hosts"));
    }

    void escapes()
    {
        const QString text = QStringLiteral("a \"b\"\nc");
        const QString escaped = escapeText(text);
        QCOMPARE(escaped, QStringLiteral("a |wb|w|nc"));
        QVERIFY(!escaped.contains(QLatin1Char('\n')));
        QCOMPARE(unescapeText(escaped), text);
        // A text that held "|n" before escaping comes back with a line break.
        QCOMPARE(unescapeText(escapeText(QStringLiteral("x|ny"))), QStringLiteral("x\ny"));
        QCOMPARE(unescapeText(QStringLiteral("|N|W")), QStringLiteral("|N|W"));
    }

    void geometryFitsTheScreen()
    {
        const QSize screen(1000, 800);
        const QPoint mid(500, 400);
        QCOMPARE(fitGeometry(screen, false, mid, 100, 100, 650, 550), QRect(100, 100, 650, 550));
        QCOMPARE(fitGeometry(screen, false, mid, 300, 200, 1200, 550), QRect(0, 200, 1000, 550));
        QCOMPARE(fitGeometry(screen, false, mid, -5, 900, 100, 900), QRect(0, 0, 100, 800));
        QCOMPARE(fitGeometry(screen, true, mid, 10, 10, 201, 101), QRect(400, 350, 201, 101));
        QCOMPARE(fitGeometry(screen, true, QPoint(100, 100), 10, 10, 300, 100), QRect(-50, 50, 300, 100));
    }

    void moveRows()
    {
        QTableWidget t(3, 2);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                t.setItem(r, c, new QTableWidgetItem(QStringLiteral("%1%2").arg(r).arg(c)));
        moveTableRow(&t, 1); // no current row
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("00"));
        t.setCurrentCell(0, 1);
        moveTableRow(&t, -1);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("00"));
        moveTableRow(&t, 1);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("10"));
        QCOMPARE(t.item(1, 1)->text(), QStringLiteral("01"));
        QCOMPARE(t.currentRow(), 1);
        QCOMPARE(t.currentColumn(), 0);
    }

    void wholeFileWrites()
    {
        const QString path = home.filePath(QStringLiteral("data.bin"));
        QVERIFY(writeFile(path, QByteArray("\x01\x02\x03", 3)));
        QCOMPARE(readAll(path), QByteArray("\x01\x02\x03", 3));
        QVERIFY(!writeFile(path, QByteArray()));
        QCOMPARE(readAll(path), QByteArray("\x01\x02\x03", 3)); // left as it was
        QVERIFY(!writeFile(home.filePath(QStringLiteral("no/such/dir/a.bin")), "x"));

        const QString prj = home.filePath(QStringLiteral("new.prj"));
        QVERIFY(createProjectFile(prj));
        const QJsonObject o = QJsonDocument::fromJson(readAll(prj)).object();
        QCOMPARE(o.value(QStringLiteral("configurations")).toArray().at(0).toObject()
                     .value(QStringLiteral("name")).toString(),
                 QStringLiteral("Config"));
        const QString list = home.filePath(QStringLiteral("new.lpl"));
        QVERIFY(createProjectListFile(list));
        QCOMPARE(readAll(list), QByteArray("{\n    \"version\": 1,\n    \"list\":\n    [\n    ]\n}\n"));
    }

    void askYesNoEscapeIsNo()
    {
        answerModal<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
        QVERIFY(!askYesNo(QStringLiteral("?")));
        answerModal<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
        QVERIFY(askYesNo(QStringLiteral("?")));
    }

    void colours()
    {
        QCOMPARE(warningColor(), QColor(255, 200, 200));
        QVERIFY(paletteBaseColor().isValid());
        QVERIFY(styleKeys().contains(QStringLiteral("Fusion")));
    }
};

QTEST_MAIN(TestHelpers)
#include "test_helpers.moc"
