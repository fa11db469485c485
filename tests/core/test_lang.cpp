#include "core/TLang.h"

#include "core/core_messages.h"

#include <QtTest>

namespace {

// A language file whose message 0 shows a count and whose forms message
// names `forms`.
QString countFile(const QTemporaryDir &dir, const QString &name, const QString &message, const QString &forms)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    QStringList lines{message};
    while (lines.size() < MSG_COUNT_FORMS)
        lines << QStringLiteral("-");
    lines << forms;
    f.write(lines.join(QLatin1Char('\n')).toUtf8());
    return path;
}

} // namespace

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

    // Each count takes the form its language asks for; the group may stand
    // before the number, and a count handed in as a number reads as written.
    void countForms_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("russian");
        QTest::addColumn<QString>("english");
        const QStringList one{"байт", "byte"}, few{"байта", "bytes"}, many{"байтов", "bytes"};
        const QVector<QPair<const char *, QStringList>> rows{
            {"0", many}, {"1", one}, {"2", few}, {"4", few}, {"5", many}, {"11", many}, {"12", many},
            {"14", many}, {"21", {"байт", "bytes"}}, {"22", few}, {"25", many}, {"101", {"байт", "bytes"}},
            {"111", many}, {"33554432", few}, {"-1", one}, {"007", many}, {"0x1", many}};
        for (const auto &row : rows)
            QTest::newRow(row.first) << row.first << row.second.at(0) << row.second.at(1);
    }
    void countForms()
    {
        QFETCH(QString, count);
        QFETCH(QString, russian);
        QFETCH(QString, english);
        QTemporaryDir dir;
        const QVector<QPair<QString, QString>> languages{
            {countFile(dir, "ru.lng", "{%1:Записан|Записано|Записано} %1 {%1:байт|байта|байтов}", "one few many"),
             QString(russian == "байт" ? "Записан" : "Записано") + " " + count + " " + russian},
            {countFile(dir, "en.lng", "%1 {%1:byte|bytes} written", "one other"), count + " " + english + " written"}};
        for (const auto &language : languages) {
            TLang t;
            t.load(language.first);
            QCOMPARE(t.text(0, count), language.second);
            bool number = false;
            const qint64 n = count.toLongLong(&number);
            if (number && count == QString::number(n))
                QCOMPARE(t.text(0, n), language.second);
        }
    }
};

QTEST_GUILESS_MAIN(TestLang)
#include "test_lang.moc"
