#include "core/platform.h"

#include <QTemporaryDir>
#include <QDir>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void programDir_data()
    {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("dir");
        QTest::newRow("windows") << "C:\\Tools\\Velkor\\velkor.exe" << "C:\\Tools\\Velkor";
        QTest::newRow("posix") << "/opt/velkor/bin/velkor" << "/opt/velkor/bin";
        QTest::newRow("mixed") << "/opt/a\\b/velkor" << "/opt/a\\b";
        QTest::newRow("bare name") << "velkor" << "velkor";
        QTest::newRow("empty") << "" << "";
    }
    void programDir()
    {
        QFETCH(QString, arg);
        QFETCH(QString, dir);
        QCOMPARE(platform::programDirFromArgument(arg), dir);
    }

    void pluginPathsKeepQtsOwn()
    {
        QTemporaryDir tmp;
        const QStringList qt{QStringLiteral("/usr/lib/qt5/plugins")};
        QCOMPARE(platform::pluginPaths(tmp.path(), qt), qt);
        QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("platforms")));
        QCOMPARE(platform::pluginPaths(tmp.path(), qt),
                 QStringList({tmp.path() + QStringLiteral("/platforms"), qt.first()}));
    }

    // Paths of any length for the Windows calls of the save locks.
    void extendedPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extended");
        QTest::newRow("drive") << "C:/Users/a/projects/p.prj" << "\\\\?\\C:\\Users\\a\\projects\\p.prj";
        QTest::newRow("share") << "//server/share/p.prj" << "\\\\?\\UNC\\server\\share\\p.prj";
        QTest::newRow("already extended") << "\\\\?\\C:\\p.prj" << "\\\\?\\C:\\p.prj";
        QTest::newRow("device") << "\\\\.\\COM3" << "\\\\.\\COM3";
        QTest::newRow("relative") << "a/p.prj" << "a\\p.prj";
    }
    void extendedPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, extended);
        QCOMPARE(platform::extendedPath(path), extended);
    }

    void storedPaths()
    {
        QCOMPARE(platform::fromStoredPath(QStringLiteral("fw\\a.bin")), QStringLiteral("fw/a.bin"));
        QCOMPARE(platform::fromStoredPath(QStringLiteral("fw/a.bin")), QStringLiteral("fw/a.bin"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
