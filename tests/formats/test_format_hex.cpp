// Intel HEX: the exact text written, and reading records of every shape
// into the right chip addresses.

#include "formatTestUtil.h"

#include <QTemporaryDir>
#include <limits>
#include <QtTest>

class TestFormatHex : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // Writes pieces (file address, bytes) through a HEX window and gives the text.
    QByteArray writeHex(qint64 addrFile, qint64 count, const QList<QPair<qint64, QByteArray>> &pieces)
    {
        const QString p = path(QStringLiteral("w.hex"));
        TFormat f(QStringLiteral("hex"), p, addrFile, 0, count - 1, 64);
        if (!f.open(1))
            return "open: " + f.errorString().toUtf8();
        for (const auto &piece : pieces)
            if (!f.write(piece.first, piece.second))
                return "write: " + f.errorString().toUtf8();
        if (!f.close())
            return "close: " + f.errorString().toUtf8();
        return fileBytes(p);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
    }

    void hundredBytesMakeSevenRecords()
    {
        QByteArray data(100, 0);
        for (int i = 0; i < 100; ++i)
            data[i] = char(i);
        const QByteArray text = writeHex(0, 0x1000, {{0, data}});
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.size(), 9); // 7 data records, the end record, empty rest
        QCOMPARE(lines[0], QByteArray(":10000000000102030405060708090A0B0C0D0E0F78\r"));
        QByteArray expected;
        for (int i = 0; i < 6; ++i)
            expected += hexRecord(0, quint16(16 * i), data.mid(16 * i, 16));
        expected += hexRecord(0, 96, data.mid(96));
        expected += ":00000001FF\r\n";
        QCOMPARE(text, expected);
    }

    void piecesContinueAcrossWrites()
    {
        // Pieces that follow each other make full records; a jump starts a
        // new record.
        const QByteArray a = randomBytes(7, 1), b = randomBytes(30, 2), c = randomBytes(5, 3);
        const QByteArray text = writeHex(0, 0x1000, {{0x10, a}, {0x17, b}, {0x100, c}});
        const QByteArray all = a + b;
        QByteArray expected = hexRecord(0, 0x10, all.left(16)) + hexRecord(0, 0x20, all.mid(16, 16))
                            + hexRecord(0, 0x30, all.mid(32)) + hexRecord(0, 0x100, c)
                            + ":00000001FF\r\n";
        QCOMPARE(text, expected);
    }

    void extendedRecordOfTheWindow_data()
    {
        QTest::addColumn<qint64>("addrFile");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("below 64 KiB: none") << qint64(0) << qint64(0x10000) << QByteArray(":10");
        QTest::newRow("64 KiB + 1 from 0: segment 0") << qint64(0) << qint64(0x10001)
                                                    << QByteArray(":020000020000FC\r\n");
        QTest::newRow("1 MiB from 0: segment 0") << qint64(0) << qint64(0x100000)
                                               << QByteArray(":020000020000FC\r\n");
        QTest::newRow("segment of the start") << qint64(0x12340) << qint64(0x100)
                                              << QByteArray(":020000021000EC\r\n");
        QTest::newRow("above 1 MiB: linear 0") << qint64(0) << qint64(0x100001)
                                             << QByteArray(":020000040000FA\r\n");
        QTest::newRow("linear of the start") << qint64(0x12345678) << qint64(0x10)
                                             << QByteArray(":020000041234B4\r\n");
    }
    void extendedRecordOfTheWindow()
    {
        QFETCH(qint64, addrFile);
        QFETCH(qint64, count);
        QFETCH(QByteArray, first);
        const QByteArray text = writeHex(addrFile, count, {{addrFile, QByteArray(16, 'x')}});
        QVERIFY2(text.startsWith(first), text.constData());
        QVERIFY(text.endsWith(":00000001FF\r\n"));
    }

    void crossingSixtyFourKiB_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QByteArray>("extended");
        QTest::newRow("segment") << qint64(0x20000) << QByteArray(":020000021000EC\r\n");
        QTest::newRow("linear") << qint64(0x200000) << QByteArray(":020000040001F9\r\n");
    }
    void crossingSixtyFourKiB()
    {
        QFETCH(qint64, count);
        QFETCH(QByteArray, extended);
        // 8 bytes below the boundary, 3 above: the 3 need their own base.
        const QByteArray data = randomBytes(11, 7);
        const QByteArray text = writeHex(0, count, {{0xFFF8, data}});
        const QByteArray first = text.left(text.indexOf('\n') + 1);
        QCOMPARE(text, first + hexRecord(0, 0xFFF8, data.left(8)) + extended
                           + hexRecord(0, 0, data.mid(8)) + ":00000001FF\r\n");
    }

    void dataAboveTheWindowNeverLooksLikeData()
    {
        // The window asked for no extended records, yet data above 64 KiB
        // arrives: it gets a real extended record, not a data record.
        const QByteArray data = randomBytes(4, 9);
        const QByteArray text = writeHex(0, 0x100, {{0x10000, data}, {0x200000, data}});
        QCOMPARE(text, ":020000021000EC\r\n" + hexRecord(0, 0, data)
                           + ":020000040020DA\r\n" + hexRecord(0, 0, data) + ":00000001FF\r\n");
    }

    void addressesBeyondThirtyTwoBitsAreRejected()
    {
        const QString p = path(QStringLiteral("big.hex"));
        TFormat window(QStringLiteral("hex"), p, 0xFFFFFFF0LL, 0, 0x10, 16); // 17 bytes
        QVERIFY(!window.open(1));
        QVERIFY(!window.errorString().isEmpty());
        QVERIFY(!window.open(0));

        TFormat exact(QStringLiteral("hex"), p, 0xFFFFFFF0LL, 0, 0xF, 16);
        QVERIFY(exact.open(1));
        QVERIFY(!exact.write(0xFFFFFFF8LL, QByteArray(9, 'x')));
        QVERIFY(!exact.write(-1, QByteArray(1, 'x')));
        QVERIFY(!exact.write(std::numeric_limits<qint64>::max(), QByteArray(4, 'x')));
        QVERIFY(exact.write(0xFFFFFFF8LL, QByteArray(8, 'x')));
        QVERIFY(exact.close());
        QCOMPARE(fileBytes(p), ":02000004FFFFFC\r\n" + hexRecord(0, 0xFFF8, QByteArray(8, 'x'))
                                   + ":00000001FF\r\n");
    }

    void badWindowsAreRejected_data()
    {
        QTest::addColumn<qint64>("addrFile");
        QTest::addColumn<qint64>("addrDevice");
        QTest::addColumn<qint64>("endDevice");
        QTest::addColumn<qint64>("block");
        QTest::addColumn<bool>("binToo");
        QTest::newRow("negative file address") << qint64(-1) << qint64(0) << qint64(15) << qint64(16) << true;
        QTest::newRow("negative device address") << qint64(0) << qint64(-16) << qint64(15) << qint64(16) << true;
        QTest::newRow("negative count") << qint64(0) << qint64(16) << qint64(14) << qint64(16) << true;
        QTest::newRow("block 0") << qint64(0) << qint64(0) << qint64(15) << qint64(0) << true;
        QTest::newRow("end beyond 4 GiB") << qint64(0) << qint64(0) << qint64(0x7FFFFFFFFFFFFFFFLL) << qint64(16) << false;
    }
    void badWindowsAreRejected()
    {
        QFETCH(qint64, addrFile);
        QFETCH(qint64, addrDevice);
        QFETCH(qint64, endDevice);
        QFETCH(qint64, block);
        QFETCH(bool, binToo);
        const QString p = path(QStringLiteral("r.hex"));
        QVERIFY(writeBytes(p, hexRecord(0, 0, "abcd") + ":00000001FF\r\n"));
        for (const char *fmt : {"hex", "bin"}) {
            if (!binToo && fmt[0] == 'b')
                continue;
            TFormat f(QLatin1String(fmt), p, addrFile, addrDevice, endDevice, block);
            QVERIFY(!f.open(0));
            QVERIFY(!f.errorString().isEmpty());
        }
        QCOMPARE(fileBytes(p), hexRecord(0, 0, "abcd") + ":00000001FF\r\n");
    }

    // ------------------------------------------------------------ reading

    void longRecordsComeInBlocks()
    {
        const QByteArray data = randomBytes(96, 11);
        QByteArray text;
        for (int i = 0; i < 3; ++i)
            text += hexRecord(0, quint16(0x100 + 32 * i), data.mid(32 * i, 32));
        text += ":00000001FF\r\n";
        const QString p = path(QStringLiteral("long.hex"));
        QVERIFY(writeBytes(p, text));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x1000, 16);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.order.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(r.order[i], qMakePair(qint64(0x100 + 16 * i), 16));
        QCOMPARE(r.image(0x100, 96), data);
    }

    void unalignedStartGivesAShortFirstBlock()
    {
        const QByteArray data = randomBytes(200, 12);
        QByteArray text;
        for (int i = 0; i < 200; i += 16)
            text += hexRecord(0, quint16(0x23 + i), data.mid(i, 16));
        const QString p = path(QStringLiteral("unaligned.hex"));
        QVERIFY(writeBytes(p, text + ":00000001FF\r\n"));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x1000, 64);
        QVERIFY2(r.ok, qPrintable(r.error));
        const QList<QPair<qint64, int>> expected{{0x23, 0x1D}, {0x40, 64}, {0x80, 64}, {0xC0, 0x2B}};
        QCOMPARE(r.order, expected);
        QCOMPARE(r.image(0x23, 200), data);
    }

    void fileAddressesMapToChipAddresses()
    {
        // Records at file addresses 0x0FF0..0x110F; the window takes file
        // addresses 0x1000..0x10FF to chip addresses 0x40..0x13F, where data
        // outside the window may be passed over.
        const QByteArray data = randomBytes(0x120, 13);
        QByteArray text;
        for (int i = 0; i < 0x120; i += 16)
            text += hexRecord(0, quint16(0xFF0 + i), data.mid(i, 16));
        const QString p = path(QStringLiteral("map.hex"));
        QVERIFY(writeBytes(p, text + ":00000001FF\r\n"));
        QVERIFY(!readAll(QStringLiteral("hex"), p, 0x1000, 0x40, 0x100, 0x40).ok);
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0x1000, 0x40, 0x100, 0x40, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.blockRuleKept);
        QCOMPARE(r.order.first().first, qint64(0x40));
        QCOMPARE(r.byteCount(), qint64(0x100));
        QCOMPARE(r.image(0x40, 0x100), data.mid(0x10, 0x100));
    }

    void recordsReachingIntoTheWindowAreCut()
    {
        // One 32-byte record straddles each end of the window.
        const QByteArray data = randomBytes(64, 14);
        const QString p = path(QStringLiteral("cut.hex"));
        QVERIFY(writeBytes(p, hexRecord(0, 0x00, data.left(32)) + hexRecord(0, 0x20, data.mid(32))
                                  + ":00000001FF\r\n"));
        QVERIFY(!readAll(QStringLiteral("hex"), p, 0x10, 0x1000, 0x20, 0x100).ok);
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0x10, 0x1000, 0x20, 0x100, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.order, (QList<QPair<qint64, int>>{{0x1000, 0x20}}));
        QCOMPARE(r.pieces.value(0x1000), data.mid(0x10, 0x20));
    }

    void recordsOutOfAddressOrderAreAllDelivered()
    {
        // A file that lists a higher block first (merged files often do):
        // the lower block lies behind the reading position yet inside the
        // window, and must not be lost. Records outside the window stay out.
        const QByteArray low = randomBytes(32, 20), high = randomBytes(32, 21);
        const QString p = path(QStringLiteral("unordered.hex"));
        QVERIFY(writeBytes(p, hexRecord(0, 0x90, high.left(16)) + hexRecord(0, 0xA0, high.mid(16))
                                  + hexRecord(0, 0x00, randomBytes(16, 22))
                                  + hexRecord(0, 0x10, low.left(16)) + hexRecord(0, 0x20, low.mid(16))
                                  + ":00000001FF\r\n"));
        QVERIFY(!readAll(QStringLiteral("hex"), p, 0x10, 0x1000, 0xA0, 0x100).ok);
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0x10, 0x1000, 0xA0, 0x100, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.byteCount(), qint64(64));
        QCOMPARE(r.pieces.value(0x1080), high);
        QCOMPARE(r.pieces.value(0x1000), low);
    }

    void extendedRecordsPlaceTheData()
    {
        // Segment base 0x1000 * 16, then linear base 0x0002 << 16; an
        // extended record after a part block ends that block first.
        const QByteArray a = randomBytes(8, 15), b = randomBytes(8, 16), c = randomBytes(8, 17);
        const QByteArray text = hexRecord(0, 0xFFF0, a) + ":020000021000EC\r\n" + hexRecord(0, 0, b)
                              + ":020000040002F8\r\n" + hexRecord(0, 0x10, c) + ":00000001FF\r\n";
        const QString p = path(QStringLiteral("ext.hex"));
        QVERIFY(writeBytes(p, text));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x30000, 0x100);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.order, (QList<QPair<qint64, int>>{{0xFFF0, 8}, {0x10000, 8}, {0x20010, 8}}));
        QCOMPARE(r.pieces.value(0xFFF0), a);
        QCOMPARE(r.pieces.value(0x10000), b);
        QCOMPARE(r.pieces.value(0x20010), c);
    }

    void gapsAndStartRecords()
    {
        const QByteArray a = randomBytes(5, 18), b = randomBytes(5, 19);
        const QByteArray text = ":0400000300001234B3\r\n" + hexRecord(0, 0x10, a) + hexRecord(0, 0x30, b)
                              + hexRecord(5, 0, QByteArray::fromHex("00001234")) + ":00000001FF\r\n"
                              + "whatever follows the end record\r\n";
        const QString p = path(QStringLiteral("gaps.hex"));
        QVERIFY(writeBytes(p, text));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x100, 0x100);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.order, (QList<QPair<qint64, int>>{{0x10, 5}, {0x30, 5}}));
    }

    void writtenFilesReadBack()
    {
        // Odd pieces over a window above 1 MiB, read back through another
        // device address.
        const QByteArray image = randomBytes(70000, 20);
        const QString p = path(QStringLiteral("round.hex"));
        {
            TFormat f(QStringLiteral("hex"), p, 0xFFF00, 0, image.size() - 1, 64);
            QVERIFY(f.open(1));
            for (int at = 0, n = 1; at < image.size(); at += n, n = n % 97 + 13)
                QVERIFY(f.write(0xFFF00 + at, image.mid(at, n)));
            QVERIFY(f.close());
        }
        QVERIFY(fileBytes(p).startsWith(":02000004000FEB\r\n"));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0xFFF00, 0x300, image.size(), 256);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.blockRuleKept);
        QCOMPARE(r.byteCount(), qint64(image.size()));
        QCOMPARE(r.image(0x300, image.size()), image);
    }

    void invalidLinesFail_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("checksum") << QByteArray(":0400100001020304E3\r\n");
        QTest::newRow("length") << QByteArray(":0500100001020304E2\r\n");
        QTest::newRow("no colon") << QByteArray("0400100001020304E2\r\n");
        QTest::newRow("empty line") << QByteArray("\r\n");
        QTest::newRow("odd digits") << QByteArray(":0400100001020304E\r\n");
        QTest::newRow("not hex") << QByteArray(":04001000010203G4E2\r\n");
        QTest::newRow("too short") << QByteArray(":00\r\n");
        QTest::newRow("extended of one byte") << QByteArray(":0100000410EB\r\n");
        QTest::newRow("too long") << QByteArray(":" + QByteArray(1100, ' ') + "00000001FF\r\n");
    }
    void invalidLinesFail()
    {
        QFETCH(QByteArray, line);
        const QString p = path(QStringLiteral("bad.hex"));
        QVERIFY(writeBytes(p, hexRecord(0, 0, "ab") + line + ":00000001FF\r\n"));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x100, 0x100);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, NumberedLanguage::text(421));
    }

    void blanksInsideRecordsAreAllowed()
    {
        const QString p = path(QStringLiteral("blank.hex"));
        QVERIFY(writeBytes(p, ": 04 0010 00 01020304 E2 \n:00000001FF"));
        const ReadResult r = readAll(QStringLiteral("hex"), p, 0, 0, 0x100, 0x100);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.pieces.value(0x10), QByteArray("\x01\x02\x03\x04"));
    }

    void abandonedWriteKeepsTheOldFile()
    {
        const QString p = path(QStringLiteral("keep.hex"));
        QVERIFY(writeBytes(p, "old contents"));
        {
            TFormat f(QStringLiteral("hex"), p, 0, 0, 0xFF, 16);
            QVERIFY(f.open(1));
            QVERIFY(f.write(0, QByteArray(64, 'x')));
        } // never closed: the pass failed somewhere
        QCOMPARE(fileBytes(p), QByteArray("old contents"));
    }

    void operationsOutOfOrderFail()
    {
        const QString p = path(QStringLiteral("order.hex"));
        TFormat f(QStringLiteral("hex"), p, 0, 0, 0xFF, 16);
        qint64 a = 0;
        QByteArray d;
        QVERIFY(!f.write(0, "x"));
        QVERIFY(!f.read(a, d));
        QVERIFY(f.open(1));
        QVERIFY(!f.read(a, d));
        QVERIFY(!f.open(1));
        QVERIFY(f.close());
        QVERIFY(!f.open(2));
    }

    void formatNames()
    {
        QCOMPARE(TFormat::formatList(), QStringList({"HEX", "BIN", "BIN+"}));
        QCOMPARE(TFormat::filter(), QStringLiteral("*.bin *.hex"));
        // Names other than "bin" and "bin+" (case-sensitive) mean HEX.
        const QString p = path(QStringLiteral("name"));
        for (const char *name : {"hex", "BIN", "srec"}) {
            TFormat f(QLatin1String(name), p, 0, 0, 3, 16);
            QVERIFY(f.open(1));
            QVERIFY(f.write(0, "abcd"));
            QVERIFY(f.close());
            QCOMPARE(fileBytes(p), hexRecord(0, 0, "abcd") + ":00000001FF\r\n");
        }
    }
};

QTEST_GUILESS_MAIN(TestFormatHex)
#include "test_format_hex.moc"
