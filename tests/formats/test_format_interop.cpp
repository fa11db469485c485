// Intel HEX files made by other tools (objcopy, srec_cat) read back to the
// exact image, and files we write read back by those tools.

#include "formatTestUtil.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestFormatInterop : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString objcopy, srecCat;

    QString path(const QString &name) const { return dir.filePath(name); }

    static bool run(const QString &program, const QStringList &args, QString *output = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForFinished(60000))
            return false;
        const QString out = QString::fromLocal8Bit(p.readAll());
        if (output)
            *output = out;
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning("%s %s: %s", qPrintable(program), qPrintable(args.join(' ')), qPrintable(out));
            return false;
        }
        return true;
    }

    static QByteArray transform(const QByteArray &text, bool lowerCase, bool crlf)
    {
        QByteArray out = text;
        out.replace("\r\n", "\n");
        if (crlf)
            out.replace("\n", "\r\n");
        if (lowerCase)
            out = out.toLower();
        return out;
    }

private slots:
    void initTestCase()
    {
        objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
        srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        if (objcopy.isEmpty() || srecCat.isEmpty())
            QSKIP("objcopy and srec_cat are needed (scripts/test.sh installs them)");
        QVERIFY(dir.isValid());
    }

    void otherToolsFilesReadBack_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args"); // %in, %out and %addr are replaced
        QTest::addColumn<qint64>("address");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("mustContain");
        QTest::addColumn<bool>("lowerCase");
        QTest::addColumn<bool>("crlf");

        const QStringList objcopyArgs{"-I", "binary", "-O", "ihex", "--change-addresses", "%addr",
                                      "%in", "%out"};
        QTest::newRow("objcopy, segments") << "objcopy" << objcopyArgs << qint64(0x1230) << 200000
                                           << QByteArray(":020000021000EC") << false << true;
        QTest::newRow("objcopy, linear, start record")
            << "objcopy" << (QStringList{"--set-start", "0x4567"} + objcopyArgs) << qint64(0x123450)
            << 150001 << QByteArray(":020000040013E7") << false << false;
        QTest::newRow("objcopy, lower case") << "objcopy" << objcopyArgs << qint64(0) << 70000
                                             << QByteArray(":020000021000ec") << true << false;

        const QStringList srecArgs{"%in", "-binary", "-offset", "%addr", "-o", "%out", "-intel",
                                   "-output-block-size=32"};
        QTest::newRow("srec_cat, 32 bytes, segments, start record")
            << "srec_cat" << (srecArgs + QStringList{"-address-length=3", "-execution-start-address=0x1234", "-CRLF"})
            << qint64(0xF0F1) << 99999 << QByteArray(":0400000300001234B3") << false << true;
        QTest::newRow("srec_cat, 32 bytes, linear, lower case")
            << "srec_cat" << (srecArgs + QStringList{"-execution-start-address=0x1234"})
            << qint64(0xFFF010) << 80000 << QByteArray(":0200000401") << true << false;
        QTest::newRow("srec_cat, 16 bytes, linear, CRLF")
            << "srec_cat" << QStringList{"%in", "-binary", "-offset", "%addr", "-o", "%out", "-intel", "-CRLF"}
            << qint64(0x7FFFF00) << 5000 << QByteArray(":020000040800F2") << false << true;
    }
    void otherToolsFilesReadBack()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QFETCH(qint64, address);
        QFETCH(int, size);
        QFETCH(QByteArray, mustContain);
        QFETCH(bool, lowerCase);
        QFETCH(bool, crlf);

        const QByteArray image = randomBytes(size, quint32(address) ^ quint32(size));
        const QString in = path(QStringLiteral("image.bin"));
        const QString made = path(QStringLiteral("made.hex"));
        QVERIFY(writeBytes(in, image));
        for (QString &a : args)
            a.replace(QLatin1String("%in"), in)
                .replace(QLatin1String("%out"), made)
                .replace(QLatin1String("%addr"), QStringLiteral("0x%1").arg(address, 0, 16));
        QVERIFY(run(tool == QLatin1String("objcopy") ? objcopy : srecCat, args));
        const QByteArray text = transform(fileBytes(made), lowerCase, crlf);
        QVERIFY(writeBytes(made, text));
        QVERIFY2(text.contains(mustContain), "the tool did not write the record kind under test");

        // The whole image, to chip address 0, in page-sized blocks.
        ReadResult r = readAll(QStringLiteral("hex"), made, address, 0, size, 256);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.blockRuleKept);
        QCOMPARE(r.byteCount(), qint64(size));
        QVERIFY(r.image(0, size) == image);

        // A window inside the image, to another chip address: the rest of
        // the image is a fault of the file unless data outside is allowed.
        r = readAll(QStringLiteral("hex"), made, address + 1000, 0x10005, 3000, 64);
        QVERIFY(!r.ok);
        r = readAll(QStringLiteral("hex"), made, address + 1000, 0x10005, 3000, 64, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.blockRuleKept);
        QCOMPARE(r.byteCount(), qint64(3000));
        QVERIFY(r.image(0x10005, 3000) == image.mid(1000, 3000));
    }

    void gapsStayGaps()
    {
        const QByteArray a = randomBytes(1000, 5), b = randomBytes(777, 6);
        const QString fa = path(QStringLiteral("a.bin")), fb = path(QStringLiteral("b.bin"));
        const QString made = path(QStringLiteral("gaps.hex"));
        QVERIFY(writeBytes(fa, a));
        QVERIFY(writeBytes(fb, b));
        QVERIFY(run(srecCat, {fa, "-binary", "-offset", "0x100", fb, "-binary", "-offset", "0x13000",
                              "-o", made, "-intel", "-address-length=3"}));
        const ReadResult r = readAll(QStringLiteral("hex"), made, 0, 0, 0x20000, 128);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.byteCount(), qint64(a.size() + b.size()));
        QVERIFY(r.image(0x100, a.size()) == a);
        QVERIFY(r.image(0x13000, b.size()) == b);
        QCOMPARE(r.order.first().first, qint64(0x100));
        bool sawSecond = false;
        for (const auto &piece : r.order)
            sawSecond = sawSecond || piece.first == 0x13000;
        QVERIFY(sawSecond);
    }

    void ourFilesConvertBack_data()
    {
        QTest::addColumn<qint64>("address");
        QTest::addColumn<int>("size");
        QTest::newRow("below 64 KiB") << qint64(0x10) << 40000;
        QTest::newRow("segments") << qint64(0x1F003) << 200000;
        QTest::newRow("linear") << qint64(0x10FFFF0) << 131101;
    }
    void ourFilesConvertBack()
    {
        QFETCH(qint64, address);
        QFETCH(int, size);
        const QByteArray image = randomBytes(size, quint32(size));
        const QString ours = path(QStringLiteral("ours.hex"));
        {
            TFormat f(QStringLiteral("hex"), ours, address, 0, size - 1, 256);
            QVERIFY(f.open(1));
            for (int at = 0; at < size; at += 256)
                QVERIFY(f.write(address + at, image.mid(at, 256)));
            QVERIFY(f.close());
        }
        const QString back = path(QStringLiteral("back.bin"));
        QVERIFY(run(srecCat, {ours, "-intel", "-offset", QStringLiteral("-0x%1").arg(address, 0, 16),
                              "-o", back, "-binary"}));
        QVERIFY(fileBytes(back) == image);
        const QString back2 = path(QStringLiteral("back2.bin"));
        QVERIFY(run(objcopy, {"-I", "ihex", "-O", "binary", ours, back2}));
        QVERIFY(fileBytes(back2) == image);
    }
};

QTEST_GUILESS_MAIN(TestFormatInterop)
#include "test_format_interop.moc"
