// The start script on a scratch program folder (the built tools and the
// run-time files copied there), stopped before the window opens: the first
// start adds the programmer "Emulator" on the emulator's port and installs
// the demo list; later starts only move the port; what the user had
// (programmers, types, the default programmer, lists, edited demo files,
// keys the program never writes) stays.

#include "core/TSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(file));
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStartScript : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString bin;

    QString at(const QString &name) const { return bin + QLatin1Char('/') + name; }

    // Runs the script; returns the port the emulator had.
    QString start()
    {
        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELKOR_BUILD_DIR"), dir.path());
        script.setProcessEnvironment(env);
        script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        script.start(QStringLiteral("bash"), {QStringLiteral(VELKOR_SOURCE_DIR "/scripts/start.sh"),
                                              QStringLiteral("--no-build"), QStringLiteral("--no-window")});
        if (!script.waitForFinished(60000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
            return QString();
        return QString::fromUtf8(readAll(at(QStringLiteral("emulator/pty")))).trimmed();
    }

    QStringList group(const QString &name)
    {
        TSettings s(at(QStringLiteral("velkor.ini")));
        QStringList keys = s.groupKeyPaths(name);
        keys.sort();
        QStringList values;
        for (const QString &key : keys)
            values << s.readStringList(key).join(QLatin1Char('|'));
        return values;
    }

    QString value(const QString &key)
    {
        return TSettings(at(QStringLiteral("velkor.ini"))).readString(key, QStringLiteral("-"));
    }

    void writeSettings(const QByteArray &text)
    {
        QFile::remove(at(QStringLiteral("velkor.lpl")));
        QDir(at(QStringLiteral("projects"))).removeRecursively();
        QFile f(at(QStringLiteral("velkor.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        bin = dir.filePath(QStringLiteral("bin"));
        QVERIFY(copyTree(QStringLiteral(VELKOR_SOURCE_DIR "/runtime"), bin));
        for (const char *tool : {"velkor-emulator", "velkor-setup"})
            QVERIFY(QFile::copy(QStringLiteral(VELKOR_BIN_DIR "/") + QLatin1String(tool), at(QLatin1String(tool))));
    }

    void firstAndLaterStarts()
    {
        const QString first = start();
        QVERIFY(first.startsWith(QLatin1String("/dev/")));
        QCOMPARE(group(QStringLiteral("ProgNameList")), QStringList{QStringLiteral("1|Emulator|%1|Emulator").arg(first)});
        QCOMPARE(group(QStringLiteral("ProgTypeList")), QStringList{QStringLiteral("Emulator|emulator.ini")});
        QCOMPARE(value(QStringLiteral("/Main/PrjListFile")), QStringLiteral("demo/demo.lst"));
        for (const char *file : {"demo.lst", "24xx.prj", "25xx.prj", "avr8.prj", "images/w25q16jv.bin"})
            QCOMPARE(readAll(at(QStringLiteral("projects/demo/")) + QLatin1String(file)),
                     readAll(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/demo/") + QLatin1String(file)));
        QVERIFY(readAll(at(QStringLiteral("velkor.lpl"))).contains("\"file\": \"demo/demo.lst\""));

        // The user edits a demo project and sets a key the program only reads.
        QFile edited(at(QStringLiteral("projects/demo/24xx.prj")));
        QVERIFY(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
        edited.write("{}");
        edited.close();
        {
            TSettings s(at(QStringLiteral("velkor.ini")));
            s.writeInt(QStringLiteral("/Main/IconsSet"), 1);
            s.writeString(QStringLiteral("/Main/PrjListName"), QStringLiteral("Mine"));
        }
        const QString second = start();
        QVERIFY(second.startsWith(QLatin1String("/dev/")));
        QCOMPARE(group(QStringLiteral("ProgNameList")), QStringList{QStringLiteral("1|Emulator|%1|Emulator").arg(second)});
        QCOMPARE(group(QStringLiteral("ProgTypeList")), QStringList{QStringLiteral("Emulator|emulator.ini")});
        QCOMPARE(readAll(at(QStringLiteral("projects/demo/24xx.prj"))), QByteArray("{}"));
        QCOMPARE(value(QStringLiteral("/Main/IconsSet")), QStringLiteral("1"));
        QCOMPARE(value(QStringLiteral("/Main/PrjListName")), QStringLiteral("Mine"));
        QCOMPARE(readAll(at(QStringLiteral("velkor.lpl"))).count("demo/demo.lst"), 1);
    }

    // Settings of a user with programmers of their own.
    void otherProgrammersKept_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("names");     // %1: the emulator's port
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("list");

        QTest::newRow("no Emulator yet")
            << QByteArray("[Main]\nPrjListFile=boards.lst\n[Prog]\nDefault=1\n"
                          "[ProgTypeList]\nType0=Box|box.ini\nType1=Emulator|other.ini\n"
                          "[ProgNameList]\nName0=1|Bench|/dev/ttyUSB0|Box\nName1=0|Spare|/dev/ttyUSB1|Box\n")
            << QStringList{"1|Bench|/dev/ttyUSB0|Box", "0|Spare|/dev/ttyUSB1|Box", "1|Emulator|%1|Emulator 2"}
            << QStringList{"Box|box.ini", "Emulator|other.ini", "Emulator 2|emulator.ini"}
            << QStringLiteral("boards.lst");
        QTest::newRow("Emulator of a type of its own")
            << QByteArray("[ProgTypeList]\nType0=Box|box.ini\nType1=Emu|emulator.ini\n"
                          "[ProgNameList]\nName0=0|Emulator|/dev/gone|Box\nName1=1|Bench|COM3|Emu\n")
            << QStringList{"0|Emulator|%1|Box", "1|Bench|COM3|Emu"}
            << QStringList{"Box|box.ini", "Emu|emulator.ini"}
            << QStringLiteral("demo/demo.lst");
    }

    void otherProgrammersKept()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, names);
        QFETCH(QStringList, types);
        QFETCH(QString, list);
        writeSettings(ini);
        const QString port = start();
        QVERIFY(port.startsWith(QLatin1String("/dev/")));
        for (QString &n : names)
            n = n.arg(port);
        QCOMPARE(group(QStringLiteral("ProgNameList")), names);
        QCOMPARE(group(QStringLiteral("ProgTypeList")), types);
        QCOMPARE(value(QStringLiteral("/Main/PrjListFile")), list);
        QCOMPARE(QFile::exists(at(QStringLiteral("projects/demo/demo.lst"))), list == QLatin1String("demo/demo.lst"));
        if (ini.contains("Default=1"))
            QCOMPARE(value(QStringLiteral("/Prog/Default")), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestStartScript)
#include "test_start_script.moc"
