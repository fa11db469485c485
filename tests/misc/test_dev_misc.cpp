// Texts and conversions shared by the drivers.

#include "misc/dev_misc.h"

#include <QtTest>

class TestDevMisc : public QObject
{
    Q_OBJECT

private slots:
    void hexNumbers()
    {
        QCOMPARE(hexText(5), QStringLiteral("05"));
        QCOMPARE(hexText(255), QStringLiteral("FF"));
        QCOMPARE(hexText(4096), QStringLiteral("1000"));
        QCOMPARE(hexText(0), QStringLiteral("00"));
        QCOMPARE(hexText(-1), QStringLiteral("FFFFFFFFFFFFFFFF"));
        QCOMPARE(hexText64(0x123456789ALL), QStringLiteral("123456789A"));
        QCOMPARE(hexText64(-2), QStringLiteral("FFFFFFFFFFFFFFFE"));
    }

    void ranges()
    {
        QCOMPARE(rangeText(0, 256, 0xFF), QStringLiteral("0x00..0xFF :0xFF"));
        QCOMPARE(rangeText(0, 0, 0xFF), QStringLiteral("0x00..0xFFFFFFFFFFFFFFFF :0xFF"));
        QCOMPARE(rangeText(0x1F0, 0x10, 0x0A), QStringLiteral("0x1F0..0x1FF :0x0A"));
        QCOMPARE(rangeSizeText(0x100, QStringLiteral("de ad be")), QStringLiteral("0x100..0x102 :DE AD BE"));
        QCOMPARE(rangeSizeText(0x100, QString()), QStringLiteral("0x100..0x100 :"));
        QCOMPARE(rangeSizeText(0x10, QStringLiteral("  de  ad\tbe ef ")),
                 QStringLiteral("0x10..0x13 :DE AD BE EF"));
        QCOMPARE(rangeSizeText(0, QStringLiteral("abc")), QStringLiteral("0x00..0x01 :ABC"));
        QCOMPARE(formatFileText(QStringLiteral("bin+"), QStringLiteral("fw/a.bin")),
                 QStringLiteral("BIN+: fw/a.bin"));
    }

    void sizeNames_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("name");
        QTest::newRow("1 K") << qint64(1024) << "1 Kbyte";
        QTest::newRow("512 K") << qint64(512 * 1024) << "512 Kbyte";
        QTest::newRow("192 K") << qint64(196608) << "192 Kbyte";
        QTest::newRow("384 K") << qint64(393216) << "384 Kbyte";
        QTest::newRow("768 K") << qint64(786432) << "768 Kbyte";
        QTest::newRow("1 M") << qint64(1048576) << "1 Mbyte";
        QTest::newRow("1 M + 1") << qint64(1048577) << "1048577 byte";
        QTest::newRow("64 G") << (qint64(64) << 30) << "64 Gbyte";
        QTest::newRow("512 T") << (qint64(512) << 40) << "512 Tbyte";
        QTest::newRow("1024 T") << (qint64(1024) << 40) << QString::number(qint64(1024) << 40) + " byte";
        QTest::newRow("1536") << qint64(1536) << "1536 byte";
        QTest::newRow("0") << qint64(0) << "0 byte";
        QTest::newRow("512") << qint64(512) << "512 byte";
    }
    void sizeNames()
    {
        QFETCH(qint64, size);
        QFETCH(QString, name);
        QCOMPARE(sizeName(size), name);
    }

    void frequencies()
    {
        QCOMPARE(freqText(400), QStringLiteral("400 Hz"));
        QCOMPARE(freqText(999), QStringLiteral("999 Hz"));
        QCOMPARE(freqText(1000), QStringLiteral("1 KHz"));
        QCOMPARE(freqText(32768), QStringLiteral("32.768 KHz"));
        QCOMPARE(freqText(999999), QStringLiteral("999.999 KHz"));
        QCOMPARE(freqText(4000000), QStringLiteral("4 MHz"));
        QCOMPARE(freqText(1843200), QStringLiteral("1.8432 MHz"));
        QCOMPARE(freqText(123456789), QStringLiteral("123.456789 MHz"));
        QCOMPARE(generatorText(100000, 50), QStringLiteral("100 KHz, 50 %"));
    }

    void mismatch()
    {
        QCOMPARE(verifyMismatchText(0x1234, 0xAB, 0x5), QStringLiteral("Address: 0x1234, Data: 0xAB, Read: 0x05"));
    }

    void overline()
    {
        const QString open = QStringLiteral("<span style=\"text-decoration: overline\">");
        const QString close = QStringLiteral("</span>");
        QCOMPARE(overlineText(QStringLiteral("RESET")), QStringLiteral("RESET"));
        QCOMPARE(overlineText(QStringLiteral("#RESET, A0")), open + "RESET" + close + ", A0");
        QCOMPARE(overlineText(QStringLiteral("A/#CS")), "A/" + open + "CS" + close);
        QCOMPARE(overlineText(QStringLiteral("#W#P:x")), open + "W" + open + "P" + close + ":x");
        for (const QChar sep : QStringLiteral(" .,/!?<>;:'\""))
            QCOMPARE(overlineText(QStringLiteral("#A") + sep + "B"), open + "A" + close + sep + "B");
        QCOMPARE(overlineText(QStringLiteral("#A-B")), open + "A-B" + close);
    }

    void numbersFromText()
    {
        QCOMPARE(toUInt(QStringLiteral("03")), 3u);
        QCOMPARE(toUInt(QStringLiteral("zz")), 0u);
        QCOMPARE(toUInt(QStringLiteral("FFFFFFFF")), 0xFFFFFFFFu);
        QCOMPARE(toUInt(QStringLiteral("100000000")), 0u);
        QCOMPARE(toLongLong(QStringLiteral("1F")), qint64(31));
        QCOMPARE(toLongLong(QStringLiteral("x")), qint64(0));
    }

    void hexTextToBytes()
    {
        QCOMPARE(hexStringToBytes(QStringLiteral("de ad\tBE ef")), QByteArray("\xDE\xAD\xBE\xEF"));
        QCOMPARE(hexStringToBytes(QStringLiteral("ABC")), QByteArray("\x0A\xBC"));
        QCOMPARE(hexStringToBytes(QString()), QByteArray());
        QCOMPARE(bytesToHexString(QByteArray("\x01\xab\xff")), QStringLiteral("01ABFF"));
        QCOMPARE(bytesToHexStringLike(QStringLiteral("01 02 0304"), QByteArray("\xAA\xBB\xCC\xDD")),
                 QStringLiteral("AA BB CCDD"));
        QCOMPARE(bytesToHexStringLike(QStringLiteral("0102"), QByteArray("\xAA\xBB")), QStringLiteral("AABB"));
        // A template longer than the bytes adds no trailing blanks.
        QCOMPARE(bytesToHexStringLike(QStringLiteral("01 02 03"), QByteArray("\xAA")), QStringLiteral("AA"));
    }

    // The checked conversion takes whole bytes of hex digits only; what the
    // lenient one would re-align is refused, with no bytes.
    void wholeHexBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("upper") << "62D9FF" << true << QByteArray("\x62\xD9\xFF");
        QTest::newRow("lower and blanks") << " 62 d9\tff\n" << true << QByteArray("\x62\xD9\xFF");
        QTest::newRow("blank inside a byte") << "6 2" << true << QByteArray("\x62");
        QTest::newRow("empty") << "" << true << QByteArray();
        QTest::newRow("blanks only") << "   " << true << QByteArray();
        QTest::newRow("odd digit") << "62D9F" << false << QByteArray();
        QTest::newRow("one digit") << "F" << false << QByteArray();
        QTest::newRow("stray letter") << "62D9FG" << false << QByteArray();
        QTest::newRow("prefix") << "0x1B" << false << QByteArray();
        QTest::newRow("comma") << "01,02" << false << QByteArray();
        QTest::newRow("full-width digit") << QString::fromUtf8("\xEF\xBC\x91\xEF\xBC\x92") << false << QByteArray();
    }

    void wholeHexBytes()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(QByteArray, bytes);
        QByteArray out("left over");
        QCOMPARE(hexStringToBytesChecked(text, out), whole);
        QCOMPARE(out, bytes);
        // The data commands unpack their text the same way.
        int id = 0;
        qint64 first = 0, last = 0;
        QString kept;
        QCOMPARE(getDataCmdParams({{"addr_device", 16}, {"data", text}}, id, first, last, out, kept), whole);
        QCOMPARE(out, bytes);
        QCOMPARE(last, 16 + bytes.size() - 1);
    }

    void chunks()
    {
        QCOMPARE(chunkLength(0x1F0, 0x3FF, 0x100), qint64(0x10));
        QCOMPARE(chunkLength(0x200, 0x3FF, 0x100), qint64(0x100));
        QCOMPARE(chunkLength(0x3F0, 0x3FF, 0x100), qint64(0x10));
        QCOMPARE(chunkLength(0x205, 0x210, 0x100), qint64(0xC));
        QCOMPARE(chunkLength(7, 7, 16), qint64(1));
        QCOMPARE(chunkLength(8, 7, 16), qint64(0));
        QCOMPARE(chunkLength(0, 100, 1), qint64(1));
        QCOMPARE(chunkLength(0, 100, 0), qint64(0));
        QCOMPARE(chunkLength(0, 100, -16), qint64(0));
        QCOMPARE(chunkLength(-1, 100, 16), qint64(0));
        QCOMPARE(chunkLength(0, 0x7FFFFFFFFFFFFFFFLL, 0x10000), qint64(0x10000));
        QCOMPARE(chunkLength(0x7FFFFFFFFFFFFFF0LL, 0x7FFFFFFFFFFFFFFFLL, 0x100), qint64(0x10));
    }
};

QTEST_GUILESS_MAIN(TestDevMisc)
#include "test_dev_misc.moc"
