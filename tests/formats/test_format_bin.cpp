// Raw binary files, and the promise of every format that a write succeeds
// only when every byte reached the file.

#include "formatTestUtil.h"

#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <QDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

class TestFormatBin : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
    }

    void binPlusKeepsTheRest()
    {
        const QByteArray old = randomBytes(32, 1);
        const QString plus = path(QStringLiteral("plus.bin"));
        const QString plain = path(QStringLiteral("plain.bin"));
        QVERIFY(writeBytes(plus, old));
        QVERIFY(writeBytes(plain, old));
        for (const QString &p : {plus, plain}) {
            TFormat f(p == plus ? QStringLiteral("bin+") : QStringLiteral("bin"), p, 8, 0, 3, 16);
            QVERIFY(f.open(1));
            QVERIFY(f.write(8, "WXYZ"));
            QVERIFY(f.close());
        }
        QCOMPARE(fileBytes(plus), old.left(8) + "WXYZ" + old.mid(12));
        QCOMPARE(fileBytes(plain), QByteArray(8, 0) + "WXYZ");
    }

    void binPlusCreatesAMissingFile()
    {
        const QString p = path(QStringLiteral("new+.bin"));
        TFormat f(QStringLiteral("bin+"), p, 0, 0, 3, 16);
        QVERIFY(f.open(1));
        QVERIFY(f.write(2, "ab"));
        QVERIFY(f.close());
        QCOMPARE(fileBytes(p), QByteArray("\0\0ab", 4));
    }

    void readingFollowsTheBlockRule()
    {
        // The file is read from addrFile on; the chip address decides the
        // piece lengths and is handed back unchanged.
        const QByteArray data = randomBytes(300, 2);
        const QString p = path(QStringLiteral("r.bin"));
        QVERIFY(writeBytes(p, data));
        const ReadResult r = readAll(QStringLiteral("bin"), p, 0x10, 0x1F0, 0x100, 0x100);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.order, (QList<QPair<qint64, int>>{{0x1F0, 0x10}, {0x200, 0xF0}}));
        QCOMPARE(r.image(0x1F0, 0x100), data.mid(0x10, 0x100));
    }

    void shortFileEndsTheData()
    {
        const QString p = path(QStringLiteral("short.bin"));
        QVERIFY(writeBytes(p, randomBytes(40, 3)));
        const ReadResult r = readAll(QStringLiteral("bin"), p, 8, 0, 0x100, 16);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.byteCount(), qint64(32));
    }

    void missingOrShortFile()
    {
        const QString p = path(QStringLiteral("tiny.bin"));
        QVERIFY(writeBytes(p, "12345"));
        TFormat shorter(QStringLiteral("bin"), p, 6, 0, 15, 16);
        QVERIFY(!shorter.open(0));
        QCOMPARE(shorter.errorString(), NumberedLanguage::text(419));
        TFormat atEnd(QStringLiteral("bin"), p, 5, 0, 15, 16);
        QVERIFY(atEnd.open(0));
        TFormat missing(QStringLiteral("bin"), path(QStringLiteral("none.bin")), 0, 0, 15, 16);
        QVERIFY(!missing.open(0));
        QCOMPARE(missing.errorString(), NumberedLanguage::text(418));
        TFormat missingHex(QStringLiteral("hex"), path(QStringLiteral("none.hex")), 0, 0, 15, 16);
        QVERIFY(!missingHex.open(0));
        QCOMPARE(missingHex.errorString(), NumberedLanguage::text(418));
    }

    void unopenableFileIsReported()
    {
        const QString p = path(QStringLiteral("no/such/folder/x.bin"));
        for (const char *name : {"bin", "bin+", "hex"}) {
            TFormat f(QLatin1String(name), p, 0, 0, 15, 16);
            QVERIFY(!f.open(1));
            QVERIFY2(f.errorString().startsWith(NumberedLanguage::text(420)), qPrintable(f.errorString()));
        }
        QVERIFY(!QFile::exists(p));
    }

    void negativeAddressIsRefused()
    {
        const QString p = path(QStringLiteral("neg.bin"));
        TFormat f(QStringLiteral("bin"), p, 0, 0, 15, 16);
        QVERIFY(f.open(1));
        QVERIFY(!f.write(-4, "abcd"));
        QVERIFY(f.close());
        QCOMPARE(fileBytes(p), QByteArray());
    }

    void abandonedWriteKeepsTheOldFile()
    {
        const QString p = path(QStringLiteral("keep.bin"));
        QVERIFY(writeBytes(p, "old contents"));
        for (const char *name : {"bin", "bin+"}) {
            TFormat f(QLatin1String(name), p, 0, 0, 0xFF, 16);
            QVERIFY(f.open(1));
            QVERIFY(f.write(0, QByteArray(64, 'x')));
        }
        QCOMPARE(fileBytes(p), QByteArray("old contents"));
    }

#ifdef Q_OS_UNIX
    void writesInAFolderWithoutWriteAccess_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("bin") << QStringLiteral("bin");
        QTest::newRow("bin+") << QStringLiteral("bin+");
        QTest::newRow("hex") << QStringLiteral("hex");
    }
    void writesInAFolderWithoutWriteAccess()
    {
        // No temporary file can be made beside a writable file: the write
        // fails and leaves the file as it was, never cut or emptied; its
        // check before the write says so.
        QFETCH(QString, format);
        const QByteArray old = randomBytes(32, 5);
        const QString folder = path(QStringLiteral("locked"));
        const QString p = folder + QStringLiteral("/plus.bin");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeBytes(p, old));
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                         | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        const auto readOnlyDir = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                 | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(p, all));
        QVERIFY(QFile::setPermissions(folder, readOnlyDir));
        QVERIFY(QFile::setPermissions(dir.path(), readOnlyDir | QFile::WriteOwner));
        auto pass = [&] {
            TFormat f(format, p, 8, 0, 3, 16);
            return f.open(1) && f.write(8, "WXYZ") && f.close();
        };
        const auto foreseen = [&] { return !TFormat::writeProblem(p).isEmpty(); };
        bool ok = false, seen = false;
        if (geteuid() != 0) {
            ok = pass();
            seen = foreseen();
        } else {
            // Root writes anywhere: make the pass as an unprivileged user.
            const pid_t pid = fork();
            QVERIFY(pid >= 0);
            if (pid == 0) {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(3);
                _exit(pass() ? 0 : foreseen() ? 1 : 2);
            }
            int status = 0;
            QVERIFY(waitpid(pid, &status, 0) == pid && WIFEXITED(status));
            if (WEXITSTATUS(status) == 3)
                QSKIP("cannot drop privileges");
            ok = WEXITSTATUS(status) == 0;
            seen = WEXITSTATUS(status) == 1;
        }
        QVERIFY(QFile::setPermissions(folder, readOnlyDir | QFile::WriteOwner));
        QVERIFY(!ok);
        QVERIFY(seen);
        QCOMPARE(fileBytes(p), old);
    }

    void incompleteWritesFail()
    {
        // A file-size limit lets only part of the data reach the disk; no
        // format may then report success, nor leave a half-written file.
        struct rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const QByteArray image = randomBytes(50000, 4);
        for (const char *name : {"bin", "bin+", "hex"}) {
            const QString p = path(QStringLiteral("limited.") + QLatin1String(name));
            QVERIFY(writeBytes(p, "previous"));
            struct rlimit limit = saved;
            limit.rlim_cur = 4096;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
            bool ok;
            QString error;
            {
                TFormat f(QLatin1String(name), p, 0, 0, image.size() - 1, 256);
                ok = f.open(1);
                for (int at = 0; ok && at < image.size(); at += 1000)
                    ok = f.write(at, image.mid(at, 1000));
                ok = ok && f.close();
                error = f.errorString();
            }
            QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
            QVERIFY2(!ok, name);
            QVERIFY(!error.isEmpty());
            QCOMPARE(fileBytes(p), QByteArray("previous"));
        }
        std::signal(SIGXFSZ, oldHandler);
    }
#endif
};

QTEST_GUILESS_MAIN(TestFormatBin)
#include "test_format_bin.moc"
