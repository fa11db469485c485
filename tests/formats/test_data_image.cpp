// The data image of a chip-data file: the range in address order, gaps as
// the fill byte, whatever the order of the file's records; count 0 up to the
// file's last data; runs that keep to the block.

#include "formatTestUtil.h"

#include "formats/TDataImage.h"
#include "formats/format_messages.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the range first .. first + count - 1 of the records must read as.
QByteArray imageOf(const QList<HexData> &recs, qint64 first, qint64 count, char fill)
{
    QByteArray out(int(count), fill);
    for (const HexData &r : recs)
        for (int i = 0; i < r.bytes.size(); ++i) {
            const qint64 at = r.addr + i - first;
            if (at >= 0 && at < count)
                out[int(at)] = r.bytes.at(i);
        }
    return out;
}

QByteArray bytes(int size, quint32 seed)
{
    return randomBytes(size, seed);
}

} // namespace

class TestDataImage : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::loadWithArguments());
        QVERIFY(dir.isValid());
    }

    void rangeInAddressOrder_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("block");
        QTest::addColumn<qint64>("resolved");   // count() after open
        QTest::addColumn<QByteArray>("image");  // what the range reads as

        const char fill = char(0xA5);
        auto hex = [&](const char *name, const QList<HexData> &recs, qint64 first, qint64 count, qint64 block,
                       qint64 resolved = -1, bool segments = false) {
            const qint64 n = count ? count : resolved;
            QTest::newRow(name) << "hex" << hexFileOf(recs, segments) << first << count << block << n
                                << imageOf(recs, first, n, fill);
        };
        const QList<HexData> ordered{{0x00, bytes(16, 1)}, {0x20, bytes(8, 2)}};
        hex("in order, a gap", ordered, 0, 0x30, 16);
        hex("in order, small block", ordered, 0, 0x30, 7);
        const QList<HexData> swapped{{0x10, bytes(16, 3)}, {0x00, bytes(16, 4)}};
        hex("higher record first", swapped, 0, 32, 16777216);
        hex("higher record first, small block", swapped, 0, 32, 5);
        const QList<HexData> scattered{{0x40, bytes(16, 5)}, {0x00, bytes(8, 6)}, {0x20, bytes(5, 7)}};
        hex("out of order, range beyond the data", scattered, 0, 0x80, 16);
        hex("out of order, range inside the data", scattered, 0x04, 0x40, 16);
        hex("out of order, runs across records", scattered, 0x02, 0x50, 11);
        // Data far apart: the blocks between hold no data.
        const QList<HexData> far{{0x1008, bytes(16, 8)}, {0x0C, bytes(16, 9)}};
        hex("out of order, far apart", far, 0, 0x1020, 16);
        const QList<HexData> linear{{0x20010, bytes(16, 10)}, {0xFFF8, bytes(8, 11)}, {0x10000, bytes(16, 12)}};
        hex("extended linear, out of order", linear, 0xFFF0, 0x10030, 0x8000);
        const QList<HexData> segment{{0x10004, bytes(12, 13)}, {0x0000, bytes(16, 14)}, {0x1FFF0, bytes(16, 15)}};
        hex("extended segment, out of order", segment, 0x0008, 0x20000, 0x10000, -1, true);
        hex("count 0: up to the last data", scattered, 0x08, 0, 16, 0x48);
        hex("count 0, in order", ordered, 0, 0, 16, 0x28);
        hex("count 0, one past the data", scattered, 0x50, 0, 16, 0);
        hex("count 0, no data", QList<HexData>(), 0, 0, 16, 0);

        const QByteArray raw = bytes(40, 16);
        QTest::newRow("bin, count 0") << "bin" << raw << qint64(0) << qint64(0) << qint64(16) << qint64(40) << raw;
        QTest::newRow("bin, count 0 from inside") << "bin" << raw << qint64(30) << qint64(0) << qint64(16)
                                                  << qint64(10) << raw.mid(30);
        QTest::newRow("bin, beyond the end") << "bin+" << raw << qint64(36) << qint64(10) << qint64(3) << qint64(10)
                                             << raw.mid(36) + QByteArray(6, fill);
        QTest::newRow("bin, count 0 at the end") << "bin" << raw << qint64(40) << qint64(0) << qint64(16)
                                                 << qint64(0) << QByteArray();
    }
    void rangeInAddressOrder()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, file);
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        QFETCH(qint64, block);
        QFETCH(qint64, resolved);
        QFETCH(QByteArray, image);
        const QString path = dir.filePath(QStringLiteral("data"));
        QVERIFY(writeBytes(path, file));

        TDataImage data(format, path, first, count, quint8(0xA5), block);
        QVERIFY2(data.open(), qPrintable(data.errorString()));
        QCOMPARE(data.count(), resolved);
        QByteArray got;
        for (qint64 next = first;;) {
            qint64 at = -1;
            QByteArray run;
            QVERIFY2(data.read(at, run), qPrintable(data.errorString()));
            if (run.isEmpty())
                break;
            QCOMPARE(at, next);
            QVERIFY(run.size() <= block);
            got += run;
            next += run.size();
            QVERIFY(got.size() <= image.size());
        }
        QCOMPARE(got.toHex(), image.toHex());
        QVERIFY(data.close());
    }

    // A file the checked open refuses gives no image; a first address two
    // past the data with count 0 is no range.
    void refusals()
    {
        const QString path = dir.filePath(QStringLiteral("bad.hex"));
        QVERIFY(writeBytes(path, hexFileOf({{0x10, bytes(16, 17)}, {0x08, bytes(16, 18)}})));
        TDataImage overlap(QStringLiteral("hex"), path, 0, 0x20, 0xFF, 16);
        QVERIFY(!overlap.open());
        QVERIFY2(overlap.errorString().contains(
                     NumberedLanguage::textWithArguments(fmtmsg::LINE_OVERLAP).arg("0x08", "0x17")),
                 qPrintable(overlap.errorString()));

        QVERIFY(writeBytes(path, hexFileOf({{0x10, bytes(16, 19)}})));
        TDataImage past(QStringLiteral("hex"), path, 0x30, 0, 0xFF, 16);
        QVERIFY(past.open());
        QCOMPARE(past.count(), qint64(-0x10));

        TDataImage missing(QStringLiteral("bin"), dir.filePath(QStringLiteral("none")), 0, 0, 0xFF, 16);
        QVERIFY(!missing.open());
        QCOMPARE(missing.errorString(),
                 NumberedLanguage::textWithArguments(fmtmsg::FILE_MISSING).arg(dir.filePath("none")));
    }
};

QTEST_GUILESS_MAIN(TestDataImage)
#include "test_data_image.moc"
