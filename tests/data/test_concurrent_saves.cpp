// Saves of one file at the same time: by two threads (scripts/tsan.sh runs
// this suite, so the sanitizer watches the save locks), and settings saved
// by two instances, each of which must keep the keys the other added or
// changed.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/TSaveFile.h"
#include "core/TSettings.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "support/ChildProcess.h"
#include "support/SaveWriters.h"
#include "formats/formatTestUtil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const int KEYS = 200;

// Adds the saver's own keys, one save each; false when a save failed.
bool addKeys(const QString &path, int saver)
{
    bool ok = true;
    for (int i = 0; i < KEYS; ++i) {
        TSettings s(path);
        s.writeInt(QString("/Saver%1/Key%2").arg(saver).arg(i), i);
        ok = s.flush() && ok;
    }
    return ok;
}

// Starts another instance that holds the save locks of the file at path
// until it is let go; true once it does.
bool holdSaveLock(ChildProcess &holder, const QString &path)
{
    return holder.start([&](ChildProcess &self) {
        TSaveFile save(path);
        if (!save.lockTarget())
            return false;
        self.ready();
        self.waitGo();
        return true;
    }) && holder.waitReady();
}

} // namespace

class TestConcurrentSaves : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        lang.load(VELKOR_SOURCE_DIR "/runtime/language/eng.lng");
    }

    // Two savers (threads or processes) each add keys of their own to one
    // settings file at the same time: every save succeeds and every key of
    // both is in the file.
    void settingsSavesKeepEachOthersKeys_data()
    {
        QTest::addColumn<bool>("processes");
        QTest::newRow("two threads") << false;
        QTest::newRow("two processes") << true;
    }
    void settingsSavesKeepEachOthersKeys()
    {
        QFETCH(bool, processes);
        QTemporaryDir folder;
        const QString path = folder.filePath("velkor.ini");
        QVERIFY(TSettings::writeWhole(path, [](TSettings &s) { s.writeString("/Main/Language", "eng"); }));
        if (processes) {
            ChildProcess children[2];
            for (int c = 0; c < 2; ++c) {
                QVERIFY(children[c].start([&, c](ChildProcess &self) {
                    self.ready();
                    self.waitGo();
                    return addKeys(path, c);
                }));
                QVERIFY(children[c].waitReady());
            }
            for (ChildProcess &child : children)
                child.go();
            for (ChildProcess &child : children)
                QCOMPARE(child.wait(), 0);
        } else {
            std::atomic<int> failed{0};
            std::thread savers[2];
            for (int c = 0; c < 2; ++c)
                savers[c] = std::thread([&, c] { failed += addKeys(path, c) ? 0 : 1; });
            for (std::thread &t : savers)
                t.join();
            QCOMPARE(failed.load(), 0);
        }
        const TSettings s(path);
        QCOMPARE(s.readString("/Main/Language", QString()), QString("eng"));
        int missing = 0;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < KEYS; ++i)
                missing += s.readInt(QString("/Saver%1/Key%2").arg(c).arg(i), -1) == i ? 0 : 1;
        QCOMPARE(missing, 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"velkor.ini"});
    }

    // Two copies of the program, this one and another process, save after
    // both read the file: the other unticks a box, moves a programmer up,
    // changes another's port and adds one; this one unticks another box,
    // removes a programmer and adds one as the default. All of it stays.
    void twoCopiesKeepEachOthersChanges()
    {
        QTemporaryDir folder;
        setAppFileLocation(folder.path());
        const auto save = [](bool TAppData::*unticked, const QStringList &names, int byDefault) {
            TProgName list;
            for (const QString &name : names)
                list.add(true, name.section(':', 0, 0), name.section(':', 1), "Box");
            appData.progName.replace(list);
            appData.progDefault = byDefault;
            if (unticked)
                appData.*unticked = false;
            return appData.save();
        };
        appData.load();
        QVERIFY(save(nullptr, {"Bench:COM1", "Spare:COM2", "Old:COM3"}, 0));
        ChildProcess other;
        QVERIFY(other.start([&](ChildProcess &) {
            appData.load();
            return save(&TAppData::windowMainCenter, {"Spare:COM2", "Bench:COM9", "Old:COM3", "A:COM4"}, 1);
        }));
        QCOMPARE(other.wait(), 0);
        QVERIFY(save(&TAppData::confirmCmdPaste, {"Bench:COM1", "Spare:COM2", "B:COM5"}, 2));
        const QByteArray ini = fileBytes(settingsFilePath());
        QVERIFY(ini.contains("Name0=1|Spare|COM2|Box\nName1=1|Bench|COM9|Box\nName2=1|A|COM4|Box\nName3=1|B|COM5|Box\n"));
        QVERIFY(ini.contains("Default=3") && ini.contains("WindowMainCenter=0") && ini.contains("CmdPaste=0"));
        setAppFileLocation(QString());
    }

    // Another copy (a process) saves while this one starts, right after
    // this one read the file: it adds a programmer name and type and
    // changes a key. This copy then saves a change of its own (the settings,
    // the windows) and keeps all the other saved: its load took the values
    // and the ground of its saves from the one read.
    void saveDuringTheLoadIsKept()
    {
        QTemporaryDir folder;
        setAppFileLocation(folder.path());
        bool saved = false;
        TSettings::setReadHook([&](const QString &path) {
            if (saved || path != settingsFilePath())
                return;
            saved = true;
            ChildProcess other;
            QVERIFY(other.start([](ChildProcess &) {
                TAppData d;
                d.load();
                d.language = "eng.lng";
                d.progType.add("Other", "other.ini");
                d.progName.add(true, "Other", "COM2", "Other");
                return d.save();
            }));
            QCOMPARE(other.wait(), 0);
        });
        TAppData mine;
        mine.load();
        TSettings::setReadHook(nullptr);
        QVERIFY(saved);
        mine.progName.add(true, "Mine", "COM1", "Other");
        mine.windowMainWidth = 999;
        QVERIFY(mine.save() && mine.saveWindows());
        TAppData both;
        both.load();
        QCOMPARE(both.language, QString("eng.lng"));
        QCOMPARE(both.progName.names(), QStringList({"Other", "Mine"}));
        QCOMPARE(both.progType.value("Other"), QString("other.ini"));
        QCOMPARE(both.windowMainWidth, 999);
        setAppFileLocation(QString());
    }

    // A user (nobody, when the tests run as root) saves the settings where
    // it may not read the program folder: where it may not write either
    // (mode 0111) the save fails naming the folder and what it lacks; where
    // it may (0333) the lock file orders the saves: it waits for another
    // copy's save, then saves, leaving nothing beside the file.
    void foldersThatCannotBeRead()
    {
        QTemporaryDir folder;
        const QString dir = folder.filePath("program");
        const QString path = dir + "/velkor.ini";
        const auto setMode = [](const QString &p, int m) {
            return ::chmod(QFile::encodeName(p).constData(), mode_t(m)) == 0;
        };
        QVERIFY(QDir().mkdir(dir) && setMode(folder.path(), 0711) && setMode(dir, 0111));
        ChildProcess user, other;
        QVERIFY(user.start([&](ChildProcess &self) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            const auto add = [](TSettings &s) { s.writeString("/Main/Language", "eng"); };
            const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
            QString error;
            const bool named = !TSettings::writeWhole(path, add, &error, 0)
                               && error.endsWith(lang.text(MSG_SAVE_NO_LOCK)
                                                     .arg(dir, denied, path + ".velkor-save.lock", denied));
            self.ready();
            self.waitGo();
            const bool waited =
                !TSettings::writeWhole(path, add, &error, 0) && error.endsWith(lang.text(MSG_SAVE_BUSY));
            self.ready();
            self.waitGo();
            return named && waited && TSettings::writeWhole(path, add, &error, 0);
        }));
        QVERIFY(user.waitReady());
        QVERIFY(setMode(dir, 0333) && holdSaveLock(other, path));
        user.go();
        QVERIFY(user.waitReady());
        other.go();
        QCOMPARE(other.wait(), 0);
        user.go();
        QCOMPARE(user.wait(), 0);
        QVERIFY(setMode(dir, 0700));
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"velkor.ini"});
        QCOMPARE(fileBytes(path), QByteArray("[Main]\nLanguage=eng\n"));
    }

    // A save that may wait only briefly (the window's own) while another
    // instance holds the file's save lock fails saying so and writes
    // nothing, then or later; once the lock is free the same save keeps
    // what the file holds.
    void shortWaitForAHeldLockWritesNothing()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("velkor.ini");
        QVERIFY(TSettings::writeWhole(path, [](TSettings &s) { s.writeString("/Main/Language", "eng"); }));
        const QByteArray before = fileBytes(path);
        ChildProcess holder;
        QVERIFY(holdSaveLock(holder, path));
        const auto add = [](TSettings &s) { s.writeInt("/Main/Debug", 1); };
        QString error;
        QVERIFY(!TSettings::writeWhole(path, add, &error, 0));
        QVERIFY2(error.endsWith(lang.text(MSG_SAVE_BUSY)), qPrintable(error));
        holder.go();
        QCOMPARE(holder.wait(), 0);
        QVERIFY(fileBytes(path) == before);
        QVERIFY2(TSettings::writeWhole(path, add, &error, 0), qPrintable(error));
        const TSettings s(path);
        QCOMPARE(s.readString("/Main/Language", QString()), QString("eng"));
        QCOMPARE(s.readInt("/Main/Debug", 0), 1);
    }

    // Two threads save their own version of one file over and over: every
    // save succeeds, the file is one version whole, nothing is left beside.
    void savesFromTwoThreads_data()
    {
        QTest::addColumn<int>("writer");
        QTest::newRow("project") << int(saveWriters::Project);
        QTest::newRow("whole file") << int(saveWriters::WholeFile);
        QTest::newRow("HEX chip file") << int(saveWriters::HexFile);
        QTest::newRow("bin+ chip file") << int(saveWriters::BinPlusFile);
    }
    void savesFromTwoThreads()
    {
        QFETCH(int, writer);
        QTemporaryDir folder;
        const QString path = folder.filePath("target");
        QByteArray whole[2];
        for (int v : {0, 1}) {
            QVERIFY(saveWriters::save(saveWriters::Writer(writer), path, v));
            whole[v] = fileBytes(path);
        }
        std::atomic<int> failed{0};
        std::thread savers[2];
        for (int v = 0; v < 2; ++v) {
            savers[v] = std::thread([&, v] {
                for (int i = 0; i < 20; ++i)
                    failed += saveWriters::save(saveWriters::Writer(writer), path, v) ? 0 : 1;
            });
        }
        for (std::thread &t : savers)
            t.join();
        QCOMPARE(failed.load(), 0);
        const QByteArray now = fileBytes(path);
        QVERIFY(now == whole[0] || now == whole[1]);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target"});
    }
};

QTEST_GUILESS_MAIN(TestConcurrentSaves)
#include "test_concurrent_saves.moc"
