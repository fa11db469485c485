// Whole-file writers fail whole: a file-size limit (which root cannot
// bypass) stops each write part-way, and the old file stays byte for byte.
// Project texts that readers would change come back unchanged.

#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataPrj.h"
#include "formats/TFormat.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

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
