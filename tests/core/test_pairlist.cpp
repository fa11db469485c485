#include "core/TPairStringList.h"

#include <QtTest>

class TestPairList : public QObject
{
    Q_OBJECT
private slots:
    void parsing()
    {
        const TPairStringList p(QStringLiteral(" A = 1 ||#x=2| |noeq|k=v=w|id=3"));
        QCOMPARE(p.count(), 3);
        QCOMPARE(p.key(0), QStringLiteral("A "));
        QCOMPARE(p.value(0), QStringLiteral(" 1"));
        QCOMPARE(p.key(1), QStringLiteral("k"));
        QCOMPARE(p.value(1), QStringLiteral("v=w"));
        QCOMPARE(p.keys(), QStringList({QStringLiteral("A "), QStringLiteral("k"), QStringLiteral("id")}));
        QCOMPARE(p.values(), QStringList({QStringLiteral(" 1"), QStringLiteral("v=w"), QStringLiteral("3")}));
        QVERIFY(!p.contains(QStringLiteral("#x")));
        QVERIFY(!p.contains(QStringLiteral("A")));
        QCOMPARE(p.valueOf(QStringLiteral("id")), QStringLiteral("3"));
        QCOMPARE(p.keyOf(QStringLiteral("v=w")), QStringLiteral("k"));
    }

    void duplicatesKeepBothInOrderAndLastInHash()
    {
        TPairStringList p;
        p.add(QStringLiteral("A"), QStringLiteral("1"));
        p.add(QStringLiteral("A"), QStringLiteral("2"));
        QCOMPARE(p.count(), 2);
        QCOMPARE(p.value(0), QStringLiteral("1"));
        QCOMPARE(p.value(1), QStringLiteral("2"));
        QCOMPARE(p.valueOf(QStringLiteral("A")), QStringLiteral("2"));
        QCOMPARE(p.keyOf(QStringLiteral("1")), QString());
    }

    void emptyList()
    {
        const TPairStringList p(QString{});
        QCOMPARE(p.count(), 0);
        QCOMPARE(p.valueOf(QStringLiteral("A")), QString());
        QCOMPARE(p.keyOf(QString()), QString());
        QVERIFY(!p.contains(QString()));
    }
};

QTEST_GUILESS_MAIN(TestPairList)
#include "test_pairlist.moc"
