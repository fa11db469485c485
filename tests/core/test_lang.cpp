#include "core/TLang.h"

#include <QtTest>

class TestLang : public QObject
{
    Q_OBJECT
private slots:
    void commentsAndPastTheEnd()
    {
        TLang t;
        t.load(QStringLiteral(VELKOR_TEST_DATA_DIR "/lang/three.lng"));
        QCOMPARE(t.text(0), QStringLiteral("Open"));
        QCOMPARE(t.text(1), QStringLiteral("Save"));
        QCOMPARE(t.text(2), QStringLiteral("?????"));
        QCOMPARE(t.text(-1), QStringLiteral("?????"));
    }

    void lineRules()
    {
        // Byte-order mark, CR LF line ends, an empty message, "\n" breaks,
        // a comment, a blank before "#", other backslashes kept.
        TLang t;
        t.load(QStringLiteral(VELKOR_TEST_DATA_DIR "/lang/mixed.lng"));
        QCOMPARE(t.text(0), QStringLiteral("First"));
        QCOMPARE(t.text(1), QString());
        QCOMPARE(t.text(2), QStringLiteral("line one\nline two"));
        QCOMPARE(t.text(3), QStringLiteral(" # not a comment"));
        QCOMPARE(t.text(4), QStringLiteral("back\\slash\\t and #hash"));
        QCOMPARE(t.text(5), QStringLiteral("?????"));
    }

    void missingFileEmptiesTheTable()
    {
        TLang t;
        t.load(QStringLiteral(VELKOR_TEST_DATA_DIR "/lang/three.lng"));
        t.load(QStringLiteral(VELKOR_TEST_DATA_DIR "/lang/no-such-file.lng"));
        QCOMPARE(t.text(0), QStringLiteral("?????"));
    }

    void utf8Text()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ru.lng"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("Да\nНет\n").toUtf8());
        f.close();
        TLang t;
        t.load(path);
        QCOMPARE(t.text(0), QStringLiteral("Да"));
        QCOMPARE(t.text(1), QStringLiteral("Нет"));
        QCOMPARE(t.text(2), QStringLiteral("?????"));
    }
};

QTEST_GUILESS_MAIN(TestLang)
#include "test_lang.moc"
