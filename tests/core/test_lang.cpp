#include "core/TLang.h"

#include "core/core_messages.h"

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

    // Each count takes its language's form, handed in as text or as a number.
    void countForms()
    {
        QTemporaryDir dir;
        TLang languages[2];
        const char *const groups[2][2] = {{"байт|байта|байтов", "one few many"}, {"byte|bytes", "one other"}};
        for (int i = 0; i < 2; ++i) {
            QFile f(dir.filePath(QString::number(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("%1 {%1:" + QString::fromUtf8(groups[i][0]) + "}\n" + QString("-\n").repeated(MSG_COUNT_FORMS - 1)
                     + groups[i][1]).toUtf8());
            f.close();
            languages[i].load(f.fileName());
        }
        for (const char *row : {"0 байтов bytes", "1 байт byte", "2 байта bytes", "4 байта bytes", "5 байтов bytes",
                                "11 байтов bytes", "12 байтов bytes", "14 байтов bytes", "21 байт bytes", "22 байта bytes",
                                "25 байтов bytes", "101 байт bytes", "111 байтов bytes", "33554432 байта bytes",
                                "0x2 байтов bytes"}) {
            const QStringList f = QString::fromUtf8(row).split(' ');
            bool number = false;
            const qint64 n = f[0].toLongLong(&number);
            for (int i = 0; i < 2; ++i) {
                const QString shown = f[0] + ' ' + f[1 + i];
                QCOMPARE(languages[i].text(0, f[0]), shown);
                if (number)
                    QCOMPARE(languages[i].text(0, n), shown);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLang)
#include "test_lang.moc"
