// Opening a chip-data file for reading checks it whole: every fault of an
// Intel HEX file fails the open with the file, the line and what is wrong;
// names that are no file fail for reading and for writing; bounded work on
// hostile files.

#include "formatTestUtil.h"
#include "formats/format_messages.h"
#include "support/HostileFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace fmtmsg;

namespace {

QString T(int number)
{
    return NumberedLanguage::textWithArguments(number);
}

// Sixteen bytes of a record at the offset, as text.
QByteArray data16(quint16 offset)
{
    return hexRecord(0, offset, randomBytes(16, offset));
}

// n records of 16 bytes from address 0.
QByteArray records(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += data16(quint16(16 * i));
    return text;
}

const QByteArray END = ":00000001FF\r\n";

} // namespace

class TestFormatChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // The open of a window of 256 bytes from file address 0.
    QString openError(const QString &file, bool outsideAllowed = false, qint64 count = 256)
    {
        TFormat f(QStringLiteral("hex"), file, 0, 0, count - 1, 64);
        f.setDataOutsideWindow(outsideAllowed);
        if (f.open(0))
            return QString();
        const QString error = f.errorString();
        qint64 address = 0;
        QByteArray data;
        if (f.read(address, data))
            return QStringLiteral("read after a failed open");
        return error;
    }
    QString lineError(const QString &file, int line, const QString &what) const
    {
        return T(FILE_LINE).arg(file, QString::number(line), what);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::loadWithArguments());
        QVERIFY(dir.isValid());
    }

    void brokenLinesNameLineAndFault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("what");

        QByteArray badSum = data16(0x50);
        badSum[badSum.size() - 3] = badSum.at(badSum.size() - 3) == '0' ? '1' : '0';
        const QByteArray goodSum = data16(0x50).mid(badSum.size() - 4, 2);
        const QByteArray wrongSum = badSum.mid(badSum.size() - 4, 2);
        QTest::newRow("checksum of line 6") << records(5) + badSum + records(3) + END << 6
                                            << T(LINE_CHECKSUM).arg(QString(wrongSum), QString(goodSum));
        QTest::newRow("unknown type") << records(2) + hexRecord(6, 0x20, "ab") + END << 3
                                      << T(LINE_TYPE).arg("06");
        // Length byte 0x10 over 15 data bytes, checksum right for what is there.
        QByteArray shortRecord = hexRecord(0, 0x10, randomBytes(15, 3));
        shortRecord.replace(1, 2, "10");
        QTest::newRow("length byte") << records(1) + shortRecord + END << 2 << T(LINE_LENGTH).arg(16).arg(15);
        QTest::newRow("no end record") << records(4) << 5 << T(LINE_NO_END);
        QTest::newRow("empty file") << QByteArray() << 1 << T(LINE_NO_END);
        QTest::newRow("data past the range") << records(4) + hexRecord(0, 0xF8, "0123456789") + END << 5
                                             << T(LINE_OUTSIDE).arg("0xF8", "0x101", "0x00", "0xFF");
        QTest::newRow("data above 64 KiB") << records(1) + ":020000040001F9\r\n" + data16(0) + END << 3
                                           << T(LINE_OUTSIDE).arg("0x10000", "0x1000F", "0x00", "0xFF");
        QTest::newRow("overlap") << data16(0x00) + data16(0x40) + hexRecord(0, 0x08, "abcd") + END << 3
                                 << T(LINE_OVERLAP).arg("0x08", "0x0B");
        QTest::newRow("overlap in order") << data16(0x00) + hexRecord(0, 0x0F, "ab") + END << 2
                                          << T(LINE_OVERLAP).arg("0x0F", "0x10");
        QTest::newRow("same record twice") << data16(0x30) + data16(0x10) + data16(0x30) + END << 3
                                           << T(LINE_OVERLAP).arg("0x30", "0x3F");
        QTest::newRow("empty line") << records(2) + "\r\n" + END << 3 << T(LINE_EMPTY);
        QTest::newRow("no colon") << records(1) + " :00000001FF\r\n" << 2 << T(LINE_NO_COLON);
        QTest::newRow("letter") << ":04001000010203G4E2\r\n" + END << 1 << T(LINE_NOT_HEX).arg("\"G\"");
        QTest::newRow("NUL") << records(3) + QByteArray(":0400\0", 6) + "\r\n" + END << 4
                             << T(LINE_NOT_HEX).arg("0x00");
        QTest::newRow("odd digits") << ":0400100001020304E\r\n" + END << 1 << T(LINE_ODD_DIGITS);
        QTest::newRow("too short") << ":00\r\n" + END << 1 << T(LINE_TOO_SHORT).arg(1);
        QTest::newRow("end record with data") << records(1) + ":0100000100FE\r\n" << 2
                                              << T(LINE_TYPE_LENGTH).arg("01").arg(1).arg(0);
        QTest::newRow("extended of one byte") << ":0100000410EB\r\n" + END << 1
                                              << T(LINE_TYPE_LENGTH).arg("04").arg(1).arg(2);
        QTest::newRow("start record of two bytes") << ":020000031234B5\r\n" + END << 1
                                                   << T(LINE_TYPE_LENGTH).arg("03").arg(2).arg(4);
        QTest::newRow("long line") << records(2) + ":" + QByteArray(1100, ' ') + "00000001FF\r\n" << 3
                                   << T(LINE_TOO_LONG).arg(1023);
        QTest::newRow("long last line without end") << records(1) + QByteArray(5000, ':') << 2
                                                    << T(LINE_TOO_LONG).arg(1023);
        QTest::newRow("two files joined") << records(2) + END + records(1) + END << 4 << T(LINE_AFTER_END);
    }
    void brokenLinesNameLineAndFault()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, what);
        const QString file = path(QStringLiteral("broken.hex"));
        QVERIFY(writeBytes(file, text));
        QCOMPARE(openError(file), lineError(file, line, what));
    }

    // Data outside the window is passed over when allowed; the file must
    // still be sound, and a window of no bytes takes any data.
    void windowRules()
    {
        const QString file = path(QStringLiteral("wide.hex"));
        QVERIFY(writeBytes(file, records(32) + END));
        QCOMPARE(openError(file), lineError(file, 17, T(LINE_OUTSIDE).arg("0x100", "0x10F", "0x00", "0xFF")));
        QCOMPARE(openError(file, true), QString());
        QCOMPARE(openError(file, false, 0), QString());
        const ReadResult r = readAll(QStringLiteral("hex"), file, 0, 0, 256, 64, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.byteCount(), qint64(256));

        QByteArray far = hexRecord(0, 0x400, QByteArray(4, 'x'));
        const QString sum = QString::fromLatin1(far.mid(far.size() - 4, 2));
        far.replace(far.size() - 4, 2, sum == QLatin1String("00") ? "01" : "00");
        QVERIFY(writeBytes(file, records(2) + far + END));
        QCOMPARE(openError(file, true),
                 lineError(file, 3, T(LINE_CHECKSUM).arg(sum == QLatin1String("00") ? "01" : "00", sum)));

        // What follows the end record is no concern unless it is a record.
        QVERIFY(writeBytes(file, records(2) + END + "\r\n  \r\nnotes: 0x10\n\x01\x02"));
        QCOMPARE(openError(file), QString());
        QVERIFY(writeBytes(file, records(2) + END + "notes\n \t:10000000\n"));
        QCOMPARE(openError(file), lineError(file, 5, T(LINE_AFTER_END)));
    }

    void namesThatAreNoFile()
    {
        const QString missing = path(QStringLiteral("none.hex"));
        const QString folder = path(QStringLiteral("folder.hex"));
        const QString fifo = path(QStringLiteral("fifo.hex"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = QStringLiteral("/dev/zero");
        for (const char *format : {"hex", "bin"}) {
            const auto error = [&](const QString &file, int mode) {
                TFormat f(QLatin1String(format), file, 0, 0, 255, 64);
                return f.open(mode) ? QString() : f.errorString();
            };
            QCOMPARE(error(missing, 0), T(FILE_MISSING).arg(missing));
            QCOMPARE(error(folder, 0), T(NOT_A_FILE).arg(folder));
            QCOMPARE(error(fifo, 0), T(NOT_A_FILE).arg(fifo));   // would wait for a writer
            QCOMPARE(error(zero, 0), T(NOT_A_FILE).arg(zero));   // would never end
            // Written files take the name's place: never a folder's, a pipe's or a device's.
            QCOMPARE(error(folder, 1), T(NOT_A_FILE).arg(folder));
            QCOMPARE(error(fifo, 1), T(NOT_A_FILE).arg(fifo));
        }
        QVERIFY(QFileInfo(folder).isDir());
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        const QString shortBin = path(QStringLiteral("short.bin"));
        QVERIFY(writeBytes(shortBin, QByteArray(16, 'x')));
        TFormat f(QStringLiteral("bin"), shortBin, 0x100, 0, 255, 64);
        QVERIFY(!f.open(0));
        QCOMPARE(f.errorString(), T(FILE_SHORT).arg(shortBin, "0x100"));
    }

    // Noise of every kind fails the open with a line of the file named,
    // whatever the window, and never reads out of bounds.
    void hostileNoise()
    {
        const QString file = path(QStringLiteral("noise.hex"));
        const QString head = QStringLiteral("msg %1 [%2] [").arg(FILE_LINE).arg(file);
        for (int seed = 0; seed < 24; ++seed) {
            QByteArray bytes = hostile::noise(4096 + 97 * seed, seed);
            if (seed % 3 == 1)
                bytes.prepend(records(3));   // noise after sound records
            if (seed % 3 == 2)
                bytes.prepend(':');
            QVERIFY(hostile::writeFile(file, bytes));
            for (bool outside : {false, true}) {
                const QString error = openError(file, outside);
                QVERIFY2(error.startsWith(head), qPrintable(QString::number(seed) + ": " + error));
            }
        }
    }

    // The address ranges kept by the check are bounded: a file that
    // scatters more pieces than that fails, naming where.
    void scatteredDataIsBounded()
    {
        const QString file = path(QStringLiteral("scattered.hex"));
        QByteArray text;
        const int pieces = (1 << 20) + 1;
        text.reserve(pieces * 18 + 64);
        int line = 0;
        for (int i = 0; i < pieces; ++i) {
            if (i % 32768 == 0) {
                const char ext[2] = {char(i >> 23), char((i >> 15) & 0xFF)};
                text += hexRecord(4, 0, QByteArray(ext, 2));
                ++line;
            }
            text += hexRecord(0, quint16((i % 32768) * 2), QByteArray(1, char(i)));
            ++line;
        }
        QVERIFY(writeBytes(file, text + END));
        TFormat f(QStringLiteral("hex"), file, 0, 0, 0xFFFFFFFFLL, 256);
        QVERIFY(!f.open(0));
        QCOMPARE(f.errorString(), lineError(file, line, T(LINE_PIECES).arg(1 << 20)));
    }

    // A file written anew in place while it is read gives nothing of its
    // new version, whatever its size and times say: the reads stop with the
    // change before the first new byte. The files outgrow the HEX reader's
    // buffer, so that the change lies beyond what it holds.
    void rewrittenFileGivesNothingNew_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("rewrite");
        for (const char *format : {"bin", "hex"})
            for (int r = 0; r < int(std::size(hostile::rewrites)); ++r)
                QTest::addRow("%s, %s", format, hostile::rewrites[r]) << format << r;
    }
    void rewrittenFileGivesNothingNew()
    {
        QFETCH(QString, format);
        QFETCH(int, rewrite);
        const int size = 1 << 20, changedFrom = size - size / 4;
        const QByteArray old = randomBytes(size, 1), fresh = old.left(changedFrom) + randomBytes(size - changedFrom, 2);
        const auto fileOf = [&](const QByteArray &bytes) {
            QList<HexData> records;
            for (int at = 0; at < size; at += 16)
                records.append({at, bytes.mid(at, 16)});
            return format == QLatin1String("hex") ? hexFileOf(records) : bytes;
        };
        const QByteArray oldFile = fileOf(old), newFile = fileOf(fresh);
        const QString file = path(QStringLiteral("rewritten.") + format);
        QVERIFY(writeBytes(file, oldFile));
        TFormat f(format, file, 0, 0, size - 1, 256);
        QVERIFY(f.open(0));
        const qint64 at = std::mismatch(oldFile.begin(), oldFile.end(), newFile.begin()).first - oldFile.begin();
        qint64 next = 0;
        QByteArray data;
        while (f.read(next, data) && !data.isEmpty()) {
            QVERIFY(data == old.mid(int(next), data.size()));
            QVERIFY(next > 0 || hostile::rewrite(file, at, newFile.mid(int(at)), rewrite));
            next += data.size();
        }
        QCOMPARE(f.errorString(), T(FILE_CHANGED).arg(file));
        QVERIFY(next <= changedFrom);
    }
};

QTEST_GUILESS_MAIN(TestFormatChecks)
#include "test_format_checks.moc"
