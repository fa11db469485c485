// Saves cut short by the end of their process (SIGKILL) at any point: the
// file is always the old whole file or the new whole file, what the cut
// save left goes at the next save of the file (the settings' also at
// start-up), a live save's files in another process or this one are never
// touched, and neither is any file this program did not leave.

#include "core/TSaveFile.h"
#include "core/TSettings.h"
#include "core/helpers.h"
#include "formats/TFormat.h"
#include "formats/formatTestUtil.h"
#include "support/ChildProcess.h"
#include "support/SaveWriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files beside the target that only look like what a cut save leaves: a
// user's copies, another program's files, the leftovers of another file,
// an earlier version's copy that no lock proves a save's. Every save and
// clean-up must keep them as they are.
QMap<QString, QByteArray> makeLookAlikes(const QString &dir, const QString &target)
{
    const QString t = target;
    QMap<QString, QByteArray> files;
    for (const QString &name : QStringList{t + ".bak", t + ".lock", t + ".new", t + ".velkor-save-1234abc.new",
                                t + ".velkor-save-1234abcg.new", t + ".velkor-save-1234ABCD.new",
                                t + ".velkor-save-1234abcd", t + ".velkor-save-1234abcd.new.bak",
                                t + ".velkor-save-1234abcd.New", t + "x.velkor-save-1234abcd.new",
                                "x" + t + ".velkor-save-1234abcd.lock", t + ".AbCdEf", t + ".AbCdEf.GhIjKl",
                                t + ".QwErTy", "qt_temp.AbCdEf", t + ".1234ab"})
        files.insert(name, "user's " + name.toUtf8());
    // A stale lock of another program beside an old-style name.
    files.insert(t + ".QwErTy.lock",
                 "2147480000\nanother-program\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeBytes(dir + "/" + it.key(), it.value());
    QDir(dir).mkdir(t + ".velkor-save-1234abce.new");
    QFile::link(dir + "/" + t + ".bak", dir + "/" + t + ".velkor-save-1234abcf.new");
    return files;
}

// The entries of the folder other than the target and the look-alikes.
QStringList leftovers(const QString &dir, const QString &target, const QMap<QString, QByteArray> &lookAlikes)
{
    QStringList left;
    const QStringList all = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                | QDir::NoDotAndDotDot);
    for (const QString &name : all) {
        if (name != target && !lookAlikes.contains(name) && name != target + ".velkor-save-1234abce.new"
            && name != target + ".velkor-save-1234abcf.new")
            left << name;
    }
    return left;
}

bool lookAlikesKept(const QString &dir, const QString &target, const QMap<QString, QByteArray> &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (fileBytes(dir + "/" + it.key()) != it.value())
            return false;
    }
    return QFileInfo(dir + "/" + target + ".velkor-save-1234abce.new").isDir()
           && QFileInfo(dir + "/" + target + ".velkor-save-1234abcf.new").isSymLink();
}

// The saves whose files are among the names.
QSet<QString> tokensOf(const QStringList &names, const QString &target)
{
    const QRegularExpression re("^" + QRegularExpression::escape(target) + "\\.velkor-save-([0-9a-f]{8})\\.");
    QSet<QString> tokens;
    for (const QString &name : names) {
        const QRegularExpressionMatch m = re.match(name);
        if (m.hasMatch())
            tokens.insert(m.captured(1));
    }
    return tokens;
}

// The path of the lock of the save whose work file is at path.
QString lockOfWorkFile(const QString &workFile)
{
    return workFile.left(workFile.lastIndexOf('.')) + ".lock";
}

} // namespace

class TestKilledSaves : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setAppFileLocation(QString());
    }

    // Each writer saves two versions in turn, over and over, in a child
    // that is killed at a new moment each time. After every kill the file
    // is one of the two whole versions and at most the killed save's files
    // are left (each save removes what the one before it left); after the
    // last, the next save (or, for the settings, the start-up) leaves
    // nothing but the file.
    void killedSavesLeaveNothing_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("atStartUp");
        QTest::newRow("settings, then the start-up") << int(saveWriters::Settings) << true;
        QTest::newRow("settings, then the next save") << int(saveWriters::Settings) << false;
        QTest::newRow("project") << int(saveWriters::Project) << false;
        QTest::newRow("whole file (project list, catalogue)") << int(saveWriters::WholeFile) << false;
        QTest::newRow("HEX chip file") << int(saveWriters::HexFile) << false;
        QTest::newRow("bin+ chip file") << int(saveWriters::BinPlusFile) << false;
    }
    void killedSavesLeaveNothing()
    {
        QFETCH(int, writer);
        QFETCH(bool, atStartUp);
        QTemporaryDir folder;
        const QString dir = folder.path();
        setAppFileLocation(dir);
        const QString path = writer == saveWriters::Settings ? settingsFilePath() : dir + "/target";
        const QString target = QFileInfo(path).fileName();
        const QMap<QString, QByteArray> lookAlikes = makeLookAlikes(dir, target);
        const auto save = [&](int version) {
            return saveWriters::save(saveWriters::Writer(writer), path, version);
        };
        QByteArray whole[2];
        for (int v : {0, 1}) {
            QVERIFY(save(v));
            whole[v] = fileBytes(path);
        }
        QVERIFY(whole[0] != whole[1]);

        // Kills at moments spread over a save, at least 50 of them and on
        // until one has cut a save short (the child saves all the time, but
        // a loaded machine may let a kill land before its next save began).
        int cutSaves = 0;
        int kill = 0;
        for (; kill < 2000 && (kill < 50 || cutSaves == 0); ++kill) {
            ChildProcess child;
            bool started = false;
            QVERIFY(child.start([&](ChildProcess &self) {
                for (int v = 0;; v ^= 1) {
                    save(v);
                    if (v == 0 && !started) {
                        started = true;
                        self.ready();
                    }
                }
                return true;
            }));
            QVERIFY(child.waitReady());
            usleep(useconds_t(kill * 173 % 4000));
            child.kill();
            const QByteArray now = fileBytes(path);
            QVERIFY2(now == whole[0] || now == whole[1], qPrintable(QString("kill %1").arg(kill)));
            const QStringList left = leftovers(dir, target, lookAlikes);
            // Only this program's own names, of the one save just cut.
            QVERIFY2(tokensOf(left, target).size() <= 1, qPrintable(left.join(' ')));
            for (const QString &name : left)
                QVERIFY2(name.startsWith(target + ".velkor-save"), qPrintable(name));
            cutSaves += left.isEmpty() ? 0 : 1;
        }
        QVERIFY2(cutSaves > 0, qPrintable(QString("none of %1 kills cut a save short").arg(kill)));

        if (atStartUp) {
            const QByteArray before = fileBytes(path);
            TSaveFile::removeLeftovers(settingsFilePath());
            QCOMPARE(fileBytes(path), before);
        } else {
            QVERIFY(save(0));
            QCOMPARE(fileBytes(path), whole[0]);
        }
        QCOMPARE(leftovers(dir, target, lookAlikes), QStringList());
        QVERIFY(lookAlikesKept(dir, target, lookAlikes));
    }

    // Every state a save can be cut in, made by a real save whose process
    // then ends, goes at the next save of the file; so does the copy an
    // earlier version of the program was writing, under its own lock.
    void cutSavesGoAtTheNextSave_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("only the lock") << 0;
        QTest::newRow("the lock and the work file") << 1;
        QTest::newRow("the INI writer's copy, lock and file") << 2;
        QTest::newRow("files whose lock is gone") << 3;
        QTest::newRow("an earlier version's copy under its lock") << 4;
        QTest::newRow("an earlier version's lock alone") << 5;
    }
    void cutSavesGoAtTheNextSave()
    {
        QFETCH(int, state);
        QTemporaryDir folder;
        const QString dir = folder.path();
        const QString path = dir + "/list.lst";
        QVERIFY(writeBytes(path, "old"));
        const QMap<QString, QByteArray> lookAlikes = makeLookAlikes(dir, "list.lst");
        ChildProcess child;
        QVERIFY(child.start([&](ChildProcess &self) {
            if (state >= 4) {
                QLockFile lock(path + ".XyZabc.lock");
                if (!lock.lock())
                    return false;
                if (state == 4 && !(writeBytes(path + ".XyZabc", "copy") && writeBytes(path + ".XyZabc.UvWxyz", "temp")))
                    return false;
                self.ready();
                self.waitGo();
                return false;
            }
            TSaveFile save(path);
            if (!save.open(QIODevice::WriteOnly) || save.write("cut") != 3 || !save.flush())
                return false;
            if (state == 0)
                QFile::remove(save.fileName());
            if (state == 2) {
                const QString copy = save.sidePath("edit");
                QLockFile lock(copy + ".lock");
                if (!writeBytes(copy, "[G]\nA=1\n") || !writeBytes(copy + ".QrStuv", "[G]\n") || !lock.lock())
                    return false;
                self.ready();
                self.waitGo();
                return false;
            }
            if (state == 3)
                QFile::remove(lockOfWorkFile(save.fileName()));
            self.ready();
            self.waitGo();
            return false;
        }));
        QVERIFY(child.waitReady());
        child.kill();
        const QStringList cut = leftovers(dir, "list.lst", lookAlikes);
        QVERIFY(!cut.isEmpty());
        QCOMPARE(fileBytes(path), QByteArray("old"));

        QVERIFY(writeWholeFile(path, "new"));
        QCOMPARE(fileBytes(path), QByteArray("new"));
        QCOMPARE(leftovers(dir, "list.lst", lookAlikes), QStringList());
        QVERIFY(lookAlikesKept(dir, "list.lst", lookAlikes));
    }

    // A save that is still running, in another process or in this one, keeps
    // its files whatever other saves of the same file do meanwhile, and
    // ends as it would have: its file replaces the target.
    void liveSavesAreKept_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("a save in another process") << 0;
        QTest::newRow("a chip-file pass in another process") << 1;
        QTest::newRow("an earlier version's save in another process") << 2;
        QTest::newRow("a save in this process") << 3;
    }
    void liveSavesAreKept()
    {
        QFETCH(int, kind);
        QTemporaryDir folder;
        const QString dir = folder.path();
        const QString path = dir + "/data.bin";
        QVERIFY(writeBytes(path, "old"));
        const QMap<QString, QByteArray> lookAlikes = makeLookAlikes(dir, "data.bin");
        const QByteArray chip(1024, char(0x5A));

        ChildProcess child;
        std::unique_ptr<TSaveFile> here;
        if (kind == 3) {
            here = std::make_unique<TSaveFile>(path);
            QVERIFY(here->open(QIODevice::WriteOnly));
            QCOMPARE(here->write("mine"), 4);
            QVERIFY(here->flush());
        } else {
            QVERIFY(child.start([&](ChildProcess &self) {
                switch (kind) {
                case 0: {
                    TSaveFile save(path);
                    if (!save.open(QIODevice::WriteOnly) || save.write("mine") != 4 || !save.flush())
                        return false;
                    self.ready();
                    self.waitGo();
                    return save.commit();
                }
                case 1: {
                    TFormat file("bin", path, 0, 0, chip.size() - 1, 256);
                    if (!file.open(1) || !file.write(0, chip.left(512)))
                        return false;
                    self.ready();
                    self.waitGo();
                    return file.write(512, chip.mid(512)) && file.close();
                }
                default: {
                    QLockFile lock(path + ".XyZabc.lock");
                    if (!lock.lock() || !writeBytes(path + ".XyZabc", "copy"))
                        return false;
                    self.ready();
                    self.waitGo();
                    return QFile::remove(path + ".XyZabc");
                }
                }
            }));
            QVERIFY(child.waitReady());
        }
        const QStringList live = leftovers(dir, "data.bin", lookAlikes);
        QVERIFY(!live.isEmpty());
        QMap<QString, QByteArray> liveBytes;
        for (const QString &name : live)
            liveBytes.insert(name, fileBytes(dir + "/" + name));

        // Other saves of the file, and a clean-up of its own.
        QVERIFY(writeWholeFile(path, "parent's"));
        QVERIFY(saveWriters::writeChipFile("bin", path, 7));
        const QByteArray parents = fileBytes(path);
        TSaveFile::removeLeftovers(path);
        const QStringList now = leftovers(dir, "data.bin", lookAlikes);
        QCOMPARE(now, live);
        for (const QString &name : live)
            QCOMPARE(fileBytes(dir + "/" + name), liveBytes.value(name));

        if (kind == 3) {
            QVERIFY(here->commit());
        } else {
            child.go();
            QCOMPARE(child.wait(), 0);
        }
        QCOMPARE(fileBytes(path), kind == 1 ? chip : kind == 2 ? parents : QByteArray("mine"));
        QCOMPARE(leftovers(dir, "data.bin", lookAlikes), QStringList());
        QVERIFY(lookAlikesKept(dir, "data.bin", lookAlikes));
    }

    // A settings save of another user who keeps their files to themselves
    // (umask 077), killed part-way in a shared folder beside the lock file
    // of earlier versions: neither bars a later save of a third user.
    void killedSaveOfAnotherUser()
    {
        if (geteuid() != 0)
            QSKIP("acting as two other users takes root");
        const auto become = [](uid_t user) { return setgid(user) == 0 && setuid(user) == 0; };
        QTemporaryDir folder;
        const QString path = folder.filePath("velkor.ini");
        QVERIFY(TSettings::writeWhole(path, [](TSettings &s) { s.writeString("/Main/Language", "eng"); }));
        for (const QString &shared : {folder.path(), path})
            QVERIFY(::chmod(QFile::encodeName(shared).constData(), 0777) == 0);
        ChildProcess other, later;
        QVERIFY(other.start([&](ChildProcess &self) {
            ::umask(077);
            TSaveFile save(path);
            if (!become(65533) || !save.lockTarget() || !save.open(QIODevice::WriteOnly) || save.write("cut") != 3
                || !writeBytes(path + ".velkor-save.lock", ""))
                return false;
            self.ready();
            self.waitGo();
            return false;
        }));
        QVERIFY(other.waitReady());
        other.kill();
        QVERIFY(later.start([&](ChildProcess &) {
            return become(65534) && TSettings::writeWhole(path, [](TSettings &s) { s.writeInt("/Main/Debug", 1); });
        }));
        QCOMPARE(later.wait(), 0);
        QCOMPARE(fileBytes(path), QByteArray("[Main]\nDebug=1\nLanguage=eng\n"));
    }
};

QTEST_GUILESS_MAIN(TestKilledSaves)
#include "test_killed_saves.moc"
