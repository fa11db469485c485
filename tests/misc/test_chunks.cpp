// The chunk rule that cuts every chip transfer: chunk lengths at blocks,
// boundaries and length limits, rules that cannot make progress, every
// chunk of random walks checked against the limits it must keep, and the
// walks over a range and over a chip-data file.

#include "formats/TFormat.h"
#include "misc/chunks.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

namespace {

// A rule of a block, boundaries and a length limit (0: none).
TChunkRule makeRule(qint64 block, const QVector<qint64> &boundaries, qint64 atMost)
{
    TChunkRule rule(block);
    for (qint64 b : boundaries)
        rule.within(b);
    if (atMost)
        rule.atMost(atMost);
    return rule;
}

struct Chunk
{
    qint64 address;
    qint64 length;
    bool operator==(const Chunk &o) const { return address == o.address && length == o.length; }
};

} // namespace

Q_DECLARE_METATYPE(QVector<qint64>)

class TestChunks : public QObject
{
    Q_OBJECT

private slots:
    void lengths_data()
    {
        QTest::addColumn<qint64>("block");
        QTest::addColumn<QVector<qint64>>("boundaries");
        QTest::addColumn<qint64>("atMost");
        QTest::addColumn<qint64>("pos");
        QTest::addColumn<qint64>("last");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("ruleBlock");
        const qint64 top = std::numeric_limits<qint64>::max();
        // The block alone is the block rule.
        QTest::newRow("to the next block") << qint64(0x100) << QVector<qint64>{} << qint64(0) << qint64(0x1F0)
                                           << qint64(0x3FF) << qint64(0x10) << qint64(0x100);
        QTest::newRow("a whole block") << qint64(0x100) << QVector<qint64>{} << qint64(0) << qint64(0x200)
                                       << qint64(0x3FF) << qint64(0x100) << qint64(0x100);
        QTest::newRow("cut at last") << qint64(64) << QVector<qint64>{} << qint64(0) << qint64(0x105)
                                     << qint64(0x107) << qint64(3) << qint64(64);
        QTest::newRow("pos is last") << qint64(64) << QVector<qint64>{} << qint64(0) << qint64(7) << qint64(7)
                                     << qint64(1) << qint64(64);
        QTest::newRow("beyond last") << qint64(64) << QVector<qint64>{} << qint64(0) << qint64(8) << qint64(7)
                                     << qint64(0) << qint64(64);
        QTest::newRow("negative pos") << qint64(64) << QVector<qint64>{} << qint64(0) << qint64(-4) << qint64(7)
                                      << qint64(0) << qint64(64);
        QTest::newRow("at the top of 64 bits") << qint64(256) << QVector<qint64>{} << qint64(0) << top - 5
                                               << top << qint64(6) << qint64(256);
        // A block that divides the boundary: the boundary changes nothing.
        QTest::newRow("64 within a page of 256") << qint64(64) << QVector<qint64>{256} << qint64(0)
                                                 << qint64(0xF0) << qint64(0x3FF) << qint64(0x10) << qint64(64);
        // A block that does not: chunks end at both.
        QTest::newRow("60 within 256, before the end") << qint64(60) << QVector<qint64>{256} << qint64(0)
                                                       << qint64(0xF0) << qint64(0x3FF) << qint64(0x10)
                                                       << qint64(60);
        QTest::newRow("60 within 256, after the end") << qint64(60) << QVector<qint64>{256} << qint64(0)
                                                      << qint64(0x100) << qint64(0x3FF) << qint64(44)
                                                      << qint64(60);
        QTest::newRow("100 within 256, a whole block") << qint64(100) << QVector<qint64>{256} << qint64(0)
                                                       << qint64(300) << qint64(0x3FF) << qint64(100)
                                                       << qint64(100);
        // A block larger than the boundary shrinks to it.
        QTest::newRow("1000 within 256") << qint64(1000) << QVector<qint64>{256} << qint64(0) << qint64(0x300)
                                         << qint64(0x7FF) << qint64(256) << qint64(256);
        QTest::newRow("page, then 64 KiB") << qint64(100) << QVector<qint64>{128, 0x10000} << qint64(0)
                                           << qint64(0xFFC0) << qint64(0x1FFFF) << qint64(28) << qint64(100);
        QTest::newRow("64 KiB end before the page end") << qint64(1000) << QVector<qint64>{0x10000, 3000}
                                                        << qint64(0) << qint64(0xFFF0) << qint64(0x1FFFF)
                                                        << qint64(16) << qint64(1000);
        // The length limit cuts a chunk without moving the block.
        QTest::newRow("length limit") << qint64(0xFFFF) << QVector<qint64>{} << qint64(0xFFFB) << qint64(0)
                                      << qint64(0x2FFFF) << qint64(0xFFFB) << qint64(0xFFFF);
        QTest::newRow("limit above the chunk") << qint64(64) << QVector<qint64>{} << qint64(1000) << qint64(10)
                                               << qint64(0xFFF) << qint64(54) << qint64(64);
        // Rules that cannot make progress give nothing.
        QTest::newRow("block 0") << qint64(0) << QVector<qint64>{} << qint64(0) << qint64(0) << qint64(10)
                                 << qint64(0) << qint64(0);
        QTest::newRow("page 0") << qint64(64) << QVector<qint64>{0} << qint64(0) << qint64(0) << qint64(10)
                                << qint64(0) << qint64(0);
        QTest::newRow("negative boundary") << qint64(64) << QVector<qint64>{256, -256} << qint64(0) << qint64(0)
                                           << qint64(10) << qint64(0) << qint64(0);
        QTest::newRow("limit below 1") << qint64(64) << QVector<qint64>{} << qint64(-1) << qint64(0)
                                       << qint64(10) << qint64(0) << qint64(0);
        QTest::newRow("more boundaries than kept") << qint64(64) << QVector<qint64>{2, 4, 8, 16, 32}
                                                   << qint64(0) << qint64(0) << qint64(10) << qint64(0)
                                                   << qint64(0);
    }
    void lengths()
    {
        QFETCH(qint64, block);
        QFETCH(QVector<qint64>, boundaries);
        QFETCH(qint64, atMost);
        QFETCH(qint64, pos);
        QFETCH(qint64, last);
        QFETCH(qint64, length);
        QFETCH(qint64, ruleBlock);
        const TChunkRule rule = makeRule(block, boundaries, atMost);
        QCOMPARE(rule.length(pos, last), length);
        QCOMPARE(rule.block(), ruleBlock);
        QCOMPARE(rule.valid(), ruleBlock > 0);
    }

    // Random rules over random ranges: the chunks follow each other without
    // gap or overlap over exactly the range, none crosses a multiple of the
    // rule's block or of a boundary, none is longer than the programmer's
    // block or the limit, and each runs to the first end the rule sets.
    void randomWalksKeepEveryLimit()
    {
        QRandomGenerator random(20240611);
        const qint64 sizes[] = {1, 2, 3, 16, 32, 60, 63, 64, 100, 128, 255, 256, 264, 1000, 4096, 65535, 65536};
        const auto pick = [&] { return sizes[random.bounded(int(sizeof sizes / sizeof *sizes))]; };
        for (int round = 0; round < 3000; ++round) {
            const qint64 block = pick();
            QVector<qint64> boundaries;
            for (int i = random.bounded(3); i > 0; --i)
                boundaries << pick();
            const qint64 atMost = random.bounded(4) == 0 ? pick() : 0;
            const TChunkRule rule = makeRule(block, boundaries, atMost);
            // The block shrinks to the smallest boundary: chunks keep to its
            // multiples, and so never grow past the programmer's block.
            const QVector<qint64> ends = QVector<qint64>(boundaries) << rule.block();
            const qint64 first = random.bounded(0x30000);
            const qint64 last = first + random.bounded(3000) - 1;
            qint64 expect = first;
            const TWalkEnd end = walkRange(rule, first, last, [&](qint64 a, qint64 n) {
                const QString where = QStringLiteral("round %1: %2+%3").arg(round).arg(a, 0, 16).arg(n);
                if (a != expect || n < 1 || a + n - 1 > last)
                    return false;
                if ((atMost && n > atMost) || n > block)
                    return false;
                bool reachesAnEnd = a + n - 1 == last || n == atMost;
                for (qint64 b : ends) {
                    if (a / b != (a + n - 1) / b) {
                        qWarning("%s crosses a multiple of %lld", qPrintable(where), b);
                        return false;
                    }
                    reachesAnEnd = reachesAnEnd || (a + n) % b == 0;
                }
                if (!reachesAnEnd) {
                    qWarning("%s stops short", qPrintable(where));
                    return false;
                }
                expect = a + n;
                return true;
            });
            QVERIFY2(end == TWalkEnd::Done, qPrintable(QString::number(round)));
            QCOMPARE(expect, last + 1);
        }
    }

    // How a walk over a range ends: each stop, failure and refusal, and
    // what was moved until then.
    void rangeWalks_data()
    {
        QTest::addColumn<qint64>("block");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("last");
        QTest::addColumn<int>("stopAfter");   // chunks; 0: no stop
        QTest::addColumn<int>("failAt");      // chunk that fails; 0: none
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("progressCalls");
        const int done = int(TWalkEnd::Done), stopped = int(TWalkEnd::Stopped), failed = int(TWalkEnd::Failed);
        QTest::newRow("three chunks") << qint64(64) << qint64(0x20) << qint64(0xA0) << 0 << 0 << done << 3 << 3;
        QTest::newRow("empty range") << qint64(64) << qint64(0x20) << qint64(0x1F) << 0 << 0 << done << 0 << 0;
        QTest::newRow("stop after the first") << qint64(64) << qint64(0x20) << qint64(0xA0) << 1 << 0 << stopped
                                              << 1 << 1;
        QTest::newRow("stop after the last is done") << qint64(64) << qint64(0x20) << qint64(0xA0) << 3 << 0
                                                     << done << 3 << 3;
        QTest::newRow("second fails") << qint64(64) << qint64(0x20) << qint64(0xA0) << 0 << 2 << failed << 2 << 1;
        QTest::newRow("no progress possible") << qint64(0) << qint64(0) << qint64(0xA0) << 0 << 0 << failed << 0
                                              << 0;
        QTest::newRow("negative start") << qint64(64) << qint64(-1) << qint64(0xA0) << 0 << 0 << failed << 0 << 0;
    }
    void rangeWalks()
    {
        QFETCH(qint64, block);
        QFETCH(qint64, first);
        QFETCH(qint64, last);
        QFETCH(int, stopAfter);
        QFETCH(int, failAt);
        QFETCH(int, end);
        QFETCH(int, moved);
        QFETCH(int, progressCalls);
        int moves = 0, calls = 0;
        const TWalkEnd result = walkRange(
            TChunkRule(block), first, last, [&](qint64, qint64) { return ++moves != failAt; },
            [&](qint64) { return ++calls == stopAfter; });
        QCOMPARE(int(result), end);
        QCOMPARE(moves, moved);
        QCOMPARE(calls, progressCalls);
    }

    // A walk over a file's pieces: each piece at its chip address, the
    // progress after each, a stop, a failing step and a broken file.
    void fileWalks()
    {
        QTemporaryDir dir;
        const QString bin = dir.filePath(QStringLiteral("ten.bin"));
        QFile f(bin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("0123456789");
        f.close();
        const auto walk = [&](int stopAfter, int failAt, QVector<Chunk> &pieces, QVector<qint64> &nexts,
                              QString &error) {
            TFormat format(QStringLiteral("bin"), bin, 0, 0x102, 0x10B, 4);
            if (!format.open(0))
                return TWalkEnd::Failed;
            return walkFile(
                format, 0x102,
                [&](qint64 a, const QByteArray &bytes) {
                    pieces.append({a, bytes.size()});
                    return pieces.size() != failAt;
                },
                [&](qint64 next) {
                    nexts << next;
                    return nexts.size() == stopAfter;
                },
                error);
        };
        QVector<Chunk> pieces;
        QVector<qint64> nexts;
        QString error;
        QCOMPARE(walk(0, 0, pieces, nexts, error), TWalkEnd::Done);
        QCOMPARE(pieces, (QVector<Chunk>{{0x102, 2}, {0x104, 4}, {0x108, 4}}));
        QCOMPARE(nexts, (QVector<qint64>{0x104, 0x108, 0x10C}));
        QVERIFY(error.isEmpty());

        pieces.clear();
        nexts.clear();
        QCOMPARE(walk(2, 0, pieces, nexts, error), TWalkEnd::Stopped);
        QCOMPARE(pieces.size(), 2);
        pieces.clear();
        nexts.clear();
        QCOMPARE(walk(0, 2, pieces, nexts, error), TWalkEnd::Failed);
        QCOMPARE(pieces.size(), 2);
        QCOMPARE(nexts.size(), 1);
        QVERIFY(error.isEmpty());

        // A record that is no record fails the walk with the format's text.
        // The open checks the whole file, so the file breaks after it.
        const QString hex = dir.filePath(QStringLiteral("bad.hex"));
        QFile h(hex);
        QVERIFY(h.open(QIODevice::WriteOnly));
        h.write(":0400000001020304F2\r\n:00000001FF\r\n");
        h.close();
        TFormat format(QStringLiteral("hex"), hex, 0, 0, 0xFF, 16);
        QVERIFY(format.open(0));
        QVERIFY(h.open(QIODevice::WriteOnly));
        h.write(":0400000001020304F2\r\n:04000400zz\r\n");
        h.close();
        pieces.clear();
        const TWalkEnd end = walkFile(
            format, 0,
            [&](qint64 a, const QByteArray &bytes) {
                pieces.append({a, bytes.size()});
                return true;
            },
            TProgressStep(), error);
        QCOMPARE(end, TWalkEnd::Failed);
        QCOMPARE(error, format.errorString());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestChunks)
#include "test_chunks.moc"
