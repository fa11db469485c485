// Whole-file writers fail whole: a file-size limit (which root cannot
// bypass) stops each write part-way, and the old file stays byte for byte.
// Project texts that readers would change come back unchanged.

#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataPrj.h"
#include "core/TAppData.h"
#include "formats/TFormat.h"
#include "support/FileSizeLimit.h"
#include "support/SaveWriters.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A project whose texts hold what JSON readers change or refuse.
void fillAwkward(TDataPrj *prj, int commands)
{
    const QString bom = QString(QChar(0xFEFF));
    const int cfg = prj->addCfg(bom + "cfg" + QChar(0x2028), bom + "d" + QChar(0x2029));
    for (int i = 0; i < commands; ++i) {
        TData params;
        params.insert(QLatin1String(REC_ID_CFG), cfg);
        params.insert(QLatin1String(REC_CMD), QStringLiteral("delay"));
        params.insert(QLatin1String(REC_STATUS), 1);
        params.insert(bom + "key", bom + QString("value %1 \"q\" \\ ").arg(i) + QChar(0x2028));
        params.insert(QStringLiteral("lone"), QString("x") + QChar(0xDFFF) + "y" + QChar(0xD800));
        params.insert(QStringLiteral("pair"), QString::fromUtf8("😀 ünï"));
        prj->addCmd(params);
    }
}

bool writeBytesTo(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestFileWrites : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

private slots:
    void writersFailWhole_data()
    {
        QTest::addColumn<int>("writer");
        QTest::newRow("writeFile") << 0;
        QTest::newRow("createProjectFile") << 1;
        QTest::newRow("createProjectListFile") << 2;
        QTest::newRow("project save") << 3;
        QTest::newRow("hex file") << 4;
        QTest::newRow("bin file") << 5;
    }
    void writersFailWhole()
    {
        QFETCH(int, writer);
        const QString path = tmp.path() + QString("/old%1").arg(writer);
        const QByteArray old = "old contents\n";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        TDataPrj prj;
        prj.setPrjFile("x");
        prj.clear();
        fillAwkward(&prj, 60);
        const auto write = [&]() -> bool {
            switch (writer) {
            case 0: return writeFile(path, QByteArray(12000, 'x'));
            case 1: return createProjectFile(path);
            case 2: return createProjectListFile(path);
            case 3: {
                TCtrlProject ctrl;
                return ctrl.save(path, &prj);
            }
            default: {
                // A chip read to a file, its text under the 16 KiB write
                // buffer.
                const int size = writer == 4 ? 2048 : 6016;
                TFormat format(writer == 4 ? "hex" : "bin", path, 0, 0, size - 1, 64);
                if (!format.open(1))
                    return false;
                for (int a = 0; a < size; a += 64)
                    if (!format.write(a, QByteArray(64, char(a / 64))))
                        return false;
                return format.close();
            }
            }
        };
        // The templates are small: a limit below their size.
        QVERIFY(failsUnderLimit(write, writer == 1 || writer == 2 ? 40 : writer == 5 ? 3000 : 4096));
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(tmp.path()).entryList({QString("old%1*").arg(writer)}, QDir::Files | QDir::Hidden),
                 QStringList{QString("old%1").arg(writer)});
        QVERIFY(write());
        QVERIFY(readAll(path) != old);
    }

    // Cut short by the file-size limit, with SIGXFSZ as a program starts
    // with it, each writer fails and names the system's reason (the
    // reason a full disk gives travels the same road), leaves the old file
    // as it was and no temporary file beside it.
    void writersNameTheReason_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<int>("limit");
        QTest::newRow("writeWholeFile, cut in the buffer") << 0 << 3000;
        QTest::newRow("writeWholeFile, cut beyond the buffer") << 0 << 20000;
        QTest::newRow("writeFile") << 1 << 100;
        QTest::newRow("createProjectFile") << 2 << 40;
        QTest::newRow("createProjectListFile") << 3 << 40;
        QTest::newRow("project save") << 4 << 4096;
        QTest::newRow("hex file, at close") << 5 << 1000;
        QTest::newRow("bin file, past the buffer") << 6 << 30000;
        QTest::newRow("bin+ file, copying the old contents") << 7 << 10;
        QTest::newRow("settings") << 8 << 200;
    }
    void writersNameTheReason()
    {
        QFETCH(int, writer);
        QFETCH(int, limit);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("target"));
        const QByteArray old = "old contents\n";
        QVERIFY(writeBytesTo(path, old));
        TDataPrj prj;
        prj.setPrjFile("x");
        prj.clear();
        fillAwkward(&prj, 60);
        const auto write = [&](QString *reason) -> bool {
            switch (writer) {
            case 0: return writeWholeFile(path, QByteArray(40000, 'x'), reason);
            case 1: return writeFile(path, QByteArray(12000, 'x'), reason);
            case 2: return createProjectFile(path, reason);
            case 3: return createProjectListFile(path, reason);
            case 4: {
                TCtrlProject ctrl;
                const bool ok = ctrl.save(path, &prj);
                *reason = ctrl.lastError();
                return ok;
            }
            case 8: {
                setAppFileLocation(folder.path(), QStringLiteral("target"));
                const bool ok = TAppData().save(reason);
                setAppFileLocation(QString());
                return ok;
            }
            default: {
                const int size = writer == 5 ? 2048 : 40000;
                TFormat format(writer == 5 ? "hex" : writer == 6 ? "bin" : "bin+", path, 0, 0, size - 1, 64);
                bool ok = format.open(1);
                for (int a = 0; ok && a < size; a += 64)
                    ok = format.write(a, QByteArray(64, char(a / 64)));
                ok = ok && format.close();
                *reason = format.errorString();
                return ok;
            }
            }
        };
        if (writer == 8)
            QVERIFY(QFile::rename(path, path + QStringLiteral(".ini")));
        const LimitedWrite run = writeUnderLimit(write, rlim_t(limit));
        QVERIFY2(run.finished, qPrintable(QString("ended by signal %1").arg(run.signal)));
        QVERIFY(run.failed);
        const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
        QVERIFY2(run.reason.contains(tooLarge), qPrintable(run.reason));
        const QString kept = writer == 8 ? path + QStringLiteral(".ini") : path;
        QCOMPARE(readAll(kept), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(kept).fileName()});
    }

    // Names of the longest length the file system takes (255 bytes, in
    // ASCII and in several-byte UTF-8) save whole, over and over, with
    // nothing left beside them; a name one byte longer fails with the
    // system's reason and leaves nothing either.
    void longestNamesSave_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<QString>("name");
        const QString ascii = QString(251, 'n') + ".prj";
        const QString utf8 = QString::fromUtf8("😀").repeated(63) + QString::fromUtf8("жx");
        const QList<QPair<const char *, int>> writers = {
            {"settings", saveWriters::Settings}, {"project", saveWriters::Project},
            {"list or catalogue", saveWriters::WholeFile}, {"HEX chip file", saveWriters::HexFile},
            {"bin+ chip file", saveWriters::BinPlusFile}};
        for (const auto &w : writers) {
            QTest::addRow("%s, 255 ASCII bytes", w.first) << w.second << ascii;
            QTest::addRow("%s, 255 UTF-8 bytes", w.first) << w.second << utf8;
        }
    }
    void longestNamesSave()
    {
        QFETCH(int, writer);
        QFETCH(QString, name);
        QCOMPARE(QFile::encodeName(name).size(), 255);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        for (int v : {0, 1, 0}) {
            QString reason;
            QVERIFY2(saveWriters::save(saveWriters::Writer(writer), path, v, &reason), qPrintable(reason));
        }
        QVERIFY(QFileInfo(path).size() > 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});

        QTemporaryDir other;
        QString reason;
        QVERIFY(!saveWriters::save(saveWriters::Writer(writer), other.filePath(name + "x"), 0, &reason));
        QVERIFY2(reason.contains(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG))), qPrintable(reason));
        QCOMPARE(QDir(other.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A log entry that does not fit is taken back whole: the next entry
    // starts on a line of its own.
    void logEntriesWholeOrNot()
    {
        QTemporaryDir folder;
        setAppFileLocation(folder.path());
        const QByteArray old = "01.01.2024 00:00:00 debug first\n";
        QVERIFY(writeBytesTo(logFilePath(), old));
        const LimitedWrite run = writeUnderLimit(
            [](QString *reason) { return writeLog(QStringLiteral("debug"), QString(300, 'x'), reason); },
            rlim_t(old.size() + 40));
        QVERIFY2(run.finished, qPrintable(QString("ended by signal %1").arg(run.signal)));
        QVERIFY(run.failed);
        QVERIFY2(run.reason.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(run.reason));
        QCOMPARE(readAll(logFilePath()), old);
        QVERIFY(writeLog(QStringLiteral("debug"), QStringLiteral("second")));
        const QList<QByteArray> lines = readAll(logFilePath()).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).endsWith(" debug second"));
        setAppFileLocation(QString());
    }

    // Every awkward text through save and load; the file is strict JSON in
    // valid UTF-8 without raw U+FEFF, U+2028 or U+2029.
    void escapesRoundTrip()
    {
        TDataPrj prj;
        prj.setPrjFile("x");
        prj.clear();
        fillAwkward(&prj, 2);
        const QString path = tmp.path() + "/awkward.prj";
        TCtrlProject ctrl;
        QVERIFY(ctrl.save(path, &prj));
        const QByteArray bytes = readAll(path);
        QTextCodec::ConverterState state;
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        QCOMPARE(state.invalidChars, 0);
        for (const char *raw : {"\xEF\xBB\xBF", "\xE2\x80\xA8", "\xE2\x80\xA9"})
            QVERIFY(!bytes.contains(raw));
        QVERIFY(bytes.contains("\\ufeff") && bytes.contains("\\u2028") && bytes.contains("\\udfff"));

        TDataPrj back;
        back.setPrjFile("x");
        back.clear();
        QCOMPARE(TCtrlProject().load(path, &back), 0);
        QCOMPARE(TCtrlProject::projectText(&back), TCtrlProject::projectText(&prj));

        const QString python = QStandardPaths::findExecutable("python3");
        if (!python.isEmpty()) {
            QProcess strict;
            strict.start(python, {"-c",
                                  "import json,sys; json.load(open(sys.argv[1], encoding='utf-8', "
                                  "errors='strict'))",
                                  path});
            QVERIFY(strict.waitForFinished());
            QCOMPARE(strict.exitCode(), 0);
        }
    }

    // Escaped lone surrogates in a file: no crash, and a save of what was
    // loaded loads back the same.
    void loneSurrogates()
    {
        const QString path = tmp.path() + "/lone.prj";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\"version\": 1, \"name\": \"a\\ud800b\", \"description\": \"\",\n"
                       "\"configurations\": [{\"name\": \"c\\udfffd\", \"description\": \"\\udc00\",\n"
                       "\"commands\": [{\"cmd\": \"delay\", \"status\": \"1\", \"x\\ud800\": \"x\\udfffy\"}]}]}\n");
        }
        TDataPrj prj;
        prj.setPrjFile("x");
        prj.clear();
        QCOMPARE(TCtrlProject().load(path, &prj), 0);
        const QString first = TCtrlProject::projectText(&prj);
        const QString again = tmp.path() + "/lone2.prj";
        QVERIFY(TCtrlProject().save(again, &prj));
        TDataPrj back;
        back.setPrjFile("x");
        back.clear();
        QCOMPARE(TCtrlProject().load(again, &back), 0);
        QCOMPARE(TCtrlProject::projectText(&back), first);
    }
};

QTEST_MAIN(TestFileWrites)
#include "test_file_writes.moc"
