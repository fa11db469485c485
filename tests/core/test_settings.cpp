#include "core/TSettings.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The edits of the cases below: `lines` hot-key entries, and the old
// group of programmer names removed, through either settings class.
template <class Settings>
void edit(Settings &s, int lines)
{
    for (int i = 0; i < lines; ++i)
        s.setValue(QStringLiteral("/HotKeyMain/Action%1").arg(i), QStringLiteral("Ctrl+Shift+%1, Ä").arg(i));
    s.remove(QStringLiteral("/ProgNameList"));
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeIni(const QByteArray &text)
    {
        const QString path = dir.filePath(QStringLiteral("t%1.ini").arg(++files));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        return path;
    }
    int files = 0;

private slots:
    void typedRoundTrip()
    {
        const QString path = dir.filePath(QStringLiteral("round.ini"));
        {
            TSettings s(path);
            s.writeBool(QStringLiteral("/Main/Flag"), true);
            s.writeInt(QStringLiteral("/Main/Int"), -42);
            s.writeString(QStringLiteral("/Main/Text"), QStringLiteral("Привет, мир"));
            s.writeStringList(QStringLiteral("/Main/List"), {QStringLiteral("a"), QString(), QStringLiteral("c,d")});
            s.writeIntList(QStringLiteral("/Main/Sizes"), {185, 460});
            s.writeColor(QStringLiteral("/Main/Red"), QColor(255, 0, 0, 10));
            QVERIFY(s.flush());
        }
        const QByteArray raw = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY(raw.contains("Flag=1"));
        QVERIFY(raw.contains("Red=16711680"));
        QVERIFY(raw.contains("Sizes=185|460"));

        const TSettings s(path);
        QCOMPARE(s.readBool(QStringLiteral("/Main/Flag"), false), true);
        QCOMPARE(s.readInt(QStringLiteral("/Main/Int"), 0), -42);
        QCOMPARE(s.readString(QStringLiteral("/Main/Text"), QString()), QStringLiteral("Привет, мир"));
        QCOMPARE(s.readStringList(QStringLiteral("/Main/List")),
                 QStringList({QStringLiteral("a"), QString(), QStringLiteral("c,d")}));
        QCOMPARE(s.readIntList(QStringLiteral("/Main/Sizes"), {}), QList<int>({185, 460}));
        const QColor red = s.readColor(QStringLiteral("/Main/Red"), Qt::green);
        QCOMPARE(red, QColor(255, 0, 0));
        QCOMPARE(red.alpha(), 255);
    }

    void defaultsAndStoredForms()
    {
        const TSettings s(writeIni("[A]\nT=true\nF=0\nE=\nX=abc\nD=2.5\nBlack=0\n"
                                   "One=7\nTwo=7|8\nBad=7|x|-1\nBars=a||b\n"));
        QCOMPARE(s.readBool(QStringLiteral("/A/T"), false), true);
        QCOMPARE(s.readBool(QStringLiteral("/A/F"), true), false);
        QCOMPARE(s.readBool(QStringLiteral("/A/E"), true), false);
        QCOMPARE(s.readBool(QStringLiteral("/A/Missing"), true), true);
        QCOMPARE(s.readInt(QStringLiteral("/A/X"), 5), 0);
        QCOMPARE(s.readInt(QStringLiteral("/A/Missing"), 5), 5);
        QCOMPARE(s.readDouble(QStringLiteral("/A/D"), 0), 2.5);
        QCOMPARE(s.readDouble(QStringLiteral("/A/X"), 1.0), 0.0);
        QCOMPARE(s.readColor(QStringLiteral("/A/Black"), Qt::white), QColor(0, 0, 0));
        QCOMPARE(s.readColor(QStringLiteral("/A/Missing"), QColor(1, 2, 3)), QColor(1, 2, 3));
        QCOMPARE(s.readStringList(QStringLiteral("/A/Missing")), QStringList({QString()}));
        QCOMPARE(s.readStringList(QStringLiteral("/A/Bars")),
                 QStringList({QStringLiteral("a"), QString(), QStringLiteral("b")}));
        const QList<int> def{1, 2};
        QCOMPARE(s.readIntList(QStringLiteral("/A/One"), def), def);
        QCOMPARE(s.readIntList(QStringLiteral("/A/Missing"), def), def);
        QCOMPARE(s.readIntList(QStringLiteral("/A/Two"), def), QList<int>({7, 8}));
        QCOMPARE(s.readIntList(QStringLiteral("/A/Bad"), def), QList<int>({7, 0, 0}));
    }

    void unquotedCommasReadAsText()
    {
        const TSettings s(writeIni("[Main]\nName=Box, rev 2\nList=1|a, b ,c|3\nN=5,6\n"
                                   "Quoted=\"x, y\"\nTab=\\ta,b\n[General]\nPins=1,2\n"));
        QCOMPARE(s.readString(QStringLiteral("/Main/Name"), QString()), QStringLiteral("Box, rev 2"));
        QCOMPARE(s.readStringList(QStringLiteral("/Main/List")),
                 QStringList({QStringLiteral("1"), QStringLiteral("a, b ,c"), QStringLiteral("3")}));
        QCOMPARE(s.readInt(QStringLiteral("/Main/N"), 9), 0);
        QCOMPARE(s.readString(QStringLiteral("/Main/Quoted"), QString()), QStringLiteral("x, y"));
        QCOMPARE(s.readString(QStringLiteral("/Main/Tab"), QString()), QStringLiteral("\ta,b"));
        QCOMPARE(s.readString(QStringLiteral("/Pins"), QString()), QStringLiteral("1,2"));
    }

    // A value holding a comma is read as the INI reader splits the file's
    // lines, whatever ends them: a line feed, CR LF, a lone carriage
    // return, or a mix.
    void commaValuesFollowTheReadersLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray keys = "[HotKeyMain]%New=Ctrl+A, Ctrl+B%Edit=F2%";
        const struct { const char *name; const char *end; } ends[] = {
            {"LF", "\n"}, {"CRLF", "\r\n"}, {"CR", "\r"}, {"LF CR", "\n\r"}};
        for (const auto &e : ends) {
            QByteArray text = keys;
            text.replace('%', e.end);
            QTest::newRow(QByteArray(e.name).append(": the comma value").constData())
                << text << "/HotKeyMain/New" << "Ctrl+A, Ctrl+B";
            QTest::newRow(QByteArray(e.name).append(": the line after it").constData())
                << text << "/HotKeyMain/Edit" << "F2";
            text.chop(int(qstrlen(e.end)));
            QTest::newRow(QByteArray(e.name).append(": no end on the last line").constData())
                << text << "/HotKeyMain/Edit" << "F2";
        }
        QTest::newRow("CR only, comma value last")
            << QByteArray("[HotKeyMain]\rEdit=F2\rNew=Ctrl+A, Ctrl+B") << "/HotKeyMain/New" << "Ctrl+A, Ctrl+B";
        QTest::newRow("mixed ends, sections between")
            << QByteArray("[A]\r\nX=1\r[HotKeyMain]\nNew=Ctrl+A,  Ctrl+B \r\n[B]\rNew=z") << "/HotKeyMain/New"
            << "Ctrl+A,  Ctrl+B";
        QTest::newRow("comment after the value")
            << QByteArray("[G]\rK=a, b ;note\rL=c") << "/G/K" << "a, b";
        QTest::newRow("comment lines between")
            << QByteArray("[G]\r;K=old, x\r  ; more\rK=a, b\r") << "/G/K" << "a, b";
        QTest::newRow("backslash joins two lines")
            << QByteArray("[G]\rK=a, \\\r\nb\rL=c") << "/G/K" << "a, b";
        QTest::newRow("quotes over a line end")
            << QByteArray("[G]\rK=\"a,\rb\", c\rL=d") << "/G/K" << "a,\rb, c";
        QTest::newRow("byte-order mark, blanks before the key")
            << QByteArray("\xEF\xBB\xBF[G]\r\n   K  =  x, y\r\n") << "/G/K" << "x, y";
        QTest::newRow("the last of two wins")
            << QByteArray("[G]\rK=1, 2\r[H]\rK=5\r[G]\rK=3, 4\r") << "/G/K" << "3, 4";
        QTest::newRow("general section")
            << QByteArray("K=0\r[General]\rPins=1,2\r[X]\rPins=9") << "/Pins" << "1,2";
        QTest::newRow("escaped key and section")
            << QByteArray("[a%20b]\rc\\d=1, 2\r") << "/a b/c/d" << "1, 2";
        QTest::newRow("escapes in the value")
            << QByteArray("[G]\rK=\\x41\\102, \\q\\t\r") << "/G/K" << "AB, \t";
        QTest::newRow("a text beginning with @") << QByteArray("[G]\nK=\"@@at, b\"") << "/G/K" << "@at, b";
        QTest::newRow("bytes") << QByteArray("[G]\nK=@ByteArray(xy)") << "/G/K" << "xy";
        QTest::newRow("no value") << QByteArray("[G]\nK=@Invalid()") << "/G/K" << "";
    }
    void commaValuesFollowTheReadersLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const TSettings s(writeIni(text));
        QCOMPARE(s.readString(key, QStringLiteral("<default>")), value);
    }

    // Against the INI reader itself over many files of mixed line ends,
    // blanks, commas, comments and quotes: the same keys, and every value
    // it splits at commas comes back with the items it gives.
    void commaValuesMatchTheReader()
    {
        const char *pieces[] = {"a", "b", " ", ",", ", ", "\r", "\n", "\r\n", "=", ";c", "[S]", "\\\n", "K",
                                "L", "1", "\""};
        const int count = int(sizeof pieces / sizeof *pieces);
        uint seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7FFF;
        };
        for (int file = 0; file < 400; ++file) {
            QByteArray text = "[G]\n";
            const int length = 4 + int(next() % 40);
            for (int i = 0; i < length; ++i)
                text += pieces[next() % count];
            const QString path = writeIni(text);
            QSettings plain(path, QSettings::IniFormat);
            plain.setIniCodec("UTF-8");
            const TSettings ours(path);
            QCOMPARE(ours.allKeys(), plain.allKeys());
            for (const QString &key : plain.allKeys()) {
                const QVariant v = plain.value(key);
                const QString mine = ours.readString(QLatin1Char('/') + key, QString());
                if (v.userType() != QMetaType::QStringList) {
                    QCOMPARE(mine, v.toString());
                    continue;
                }
                if (text.contains('"'))
                    continue; // quoted commas are text to us, item ends to the reader
                QStringList items = mine.split(QLatin1Char(','));
                for (QString &item : items)
                    item = item.trimmed();
                QStringList theirs = v.toStringList();
                for (QString &item : theirs)
                    item = item.trimmed();
                QVERIFY2(items == theirs, qPrintable(QString::fromLatin1(text.toPercentEncoding())));
            }
        }
    }

    void groups()
    {
        const QString path = writeIni("[ProgNameList]\nName0=1|A|p|t\nName1=0|B|q|t\n[Other]\nK=1\n");
        TSettings s(path);
        QCOMPARE(s.groupKeyPaths(QStringLiteral("ProgNameList")),
                 QStringList({QStringLiteral("/ProgNameList/Name0"), QStringLiteral("/ProgNameList/Name1")}));
        s.removeGroup(QStringLiteral("ProgNameList"));
        QVERIFY(s.groupKeys(QStringLiteral("ProgNameList")).isEmpty());
        QVERIFY(s.flush());
        const TSettings again(path);
        QVERIFY(!again.contains(QStringLiteral("/ProgNameList/Name0")));
        QCOMPARE(again.readInt(QStringLiteral("/Other/K"), 0), 1);
    }

    void unwritableFileIsReported()
    {
        // The folder cannot be made: a plain file stands in its place.
        const QString blocker = writeIni("x");
        TSettings s(blocker + QStringLiteral("/x.ini"));
        s.writeInt(QStringLiteral("/A/B"), 1);
        QVERIFY(!s.flush());
        QVERIFY(s.errorString().contains(QStringLiteral("x.ini")));
    }

    // Every write of a settings file (flush, the destructor, writeWhole)
    // is whole or nothing: cut part-way, in the INI writer's own buffered
    // write (under 16 KiB, which it reports as written) or beyond it, the
    // old file stays byte for byte and no temporary file is left. Written
    // whole, the text is the one the INI writer gives.
    void writesFailWhole_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("limit");
        QTest::newRow("flush, cut in the buffer") << 0 << 150 << 3000;
        QTest::newRow("flush, cut beyond the buffer") << 0 << 900 << 20000;
        QTest::newRow("destructor") << 1 << 150 << 3000;
        QTest::newRow("writeWhole") << 2 << 150 << 3000;
        QTest::newRow("old file over the limit") << 0 << 0 << 100;
    }
    void writesFailWhole()
    {
        QFETCH(int, way);
        QFETCH(int, lines);
        QFETCH(int, limit);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("velkor.hky"));
        QByteArray old = "[HotKeyMain]\nExec=Ctrl+E\n[ProgNameList]\n";
        for (int i = 0; i < 8; ++i)
            old += QStringLiteral("Name%1=1|Box %1|ttyUSB%1|T\n").arg(i).toUtf8();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        const auto write = [&]() -> bool {
            QString error;
            switch (way) {
            case 0: {
                TSettings s(path);
                edit(s, lines);
                const bool ok = s.flush();
                return ok || s.errorString().isEmpty();
            }
            case 1: {
                TSettings s(path);
                edit(s, lines);
                return false;
            }
            default:
                return TSettings::writeWhole(path, [&](TSettings &s) { edit(s, lines); }, &error)
                       || error.isEmpty();
            }
        };
        QVERIFY(failsUnderLimit(write, rlim_t(limit)));
        QCOMPARE(bytesOf(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"velkor.hky"});

        // Unlimited, the same edits reach the file as the INI writer puts
        // them into a copy of the old one.
        const QString copy = folder.filePath(QStringLiteral("copy.hky"));
        QVERIFY(QFile::copy(path, copy));
        {
            QSettings plain(copy, QSettings::IniFormat);
            plain.setIniCodec("UTF-8");
            edit(plain, lines);
        }
        const bool wrote = write();
        QVERIFY(wrote || way == 1);
        QCOMPARE(bytesOf(path), bytesOf(copy));
        QVERIFY(bytesOf(path) != old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"copy.hky", "velkor.hky"}));
    }

    // A write that fails names the system's reason, whichever step the
    // limit cuts (the copy of the old file, the INI writer's own write
    // into the buffer or past it, the replacement of the file), and leaves
    // neither its copy nor a lock file behind.
    void failedWritesNameTheReason_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("limit");
        QTest::newRow("copy of the old file") << 10 << 100;
        QTest::newRow("INI writer, in its buffer") << 150 << 3000;
        QTest::newRow("INI writer, past its buffer") << 900 << 20000;
        QTest::newRow("a little above the old file") << 3 << 260;
    }
    void failedWritesNameTheReason()
    {
        QFETCH(int, lines);
        QFETCH(int, limit);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("velkor.ini"));
        QByteArray old = "[ProgNameList]\n";
        for (int i = 0; i < 8; ++i)
            old += QStringLiteral("Name%1=1|Box %1|ttyUSB%1|T\n").arg(i).toUtf8();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        const LimitedWrite run = writeUnderLimit(
            [&](QString *reason) {
                TSettings s(path);
                edit(s, lines);
                s.writeString(QStringLiteral("/Main/Long"), QString(200, QLatin1Char('v')));
                const bool ok = s.flush();
                *reason = s.errorString();
                return ok;
            },
            rlim_t(limit));
        QVERIFY2(run.finished, qPrintable(QString("ended by signal %1").arg(run.signal)));
        QVERIFY(run.failed);
        QVERIFY2(run.reason.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(run.reason));
        QVERIFY(run.reason.contains(QStringLiteral("velkor.ini")));
        QCOMPARE(bytesOf(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"velkor.ini"});
    }

    // Changes not yet written read back at once, and only what is still
    // pending reaches the file at the next write.
    void pendingChangesRead()
    {
        const QString path = writeIni("[G]\nA=1\nB=2\n[H]\nC=3\n");
        TSettings s(path);
        s.removeGroup(QStringLiteral("G"));
        s.writeInt(QStringLiteral("/G/B"), 5);
        s.writeString(QStringLiteral("/G/Z/Deep"), QStringLiteral("x, y"));
        QCOMPARE(s.groupKeys(QStringLiteral("G")), QStringList({"B", "Z/Deep"}));
        QCOMPARE(s.readInt(QStringLiteral("/G/A"), -1), -1);
        QCOMPARE(s.readInt(QStringLiteral("/G/B"), -1), 5);
        QVERIFY(s.contains(QStringLiteral("//H/C/")));
        QCOMPARE(bytesOf(path), QByteArray("[G]\nA=1\nB=2\n[H]\nC=3\n"));
        QVERIFY(s.flush());
        // Changed behind this object's back: its next write keeps that.
        {
            QSettings other(path, QSettings::IniFormat);
            other.setValue(QStringLiteral("H/C"), 9);
        }
        s.writeInt(QStringLiteral("/G/B"), 6);
        QVERIFY(s.flush());
        TSettings again(path);
        QCOMPARE(again.groupKeys(QStringLiteral("G")), QStringList({"B", "Z/Deep"}));
        QCOMPARE(again.readInt(QStringLiteral("/G/B"), -1), 6);
        QCOMPARE(again.readString(QStringLiteral("/G/Z/Deep"), QString()), QStringLiteral("x, y"));
        QCOMPARE(again.readInt(QStringLiteral("/H/C"), -1), 9);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
