#include "core/TSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeIni(const QByteArray &text)
    {
        const QString path = dir.filePath(QStringLiteral("t%1.ini").arg(++files));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        return path;
    }
    int files = 0;

private slots:
    void typedRoundTrip()
    {
        const QString path = dir.filePath(QStringLiteral("round.ini"));
        {
            TSettings s(path);
            s.writeBool(QStringLiteral("/Main/Flag"), true);
            s.writeInt(QStringLiteral("/Main/Int"), -42);
            s.writeString(QStringLiteral("/Main/Text"), QStringLiteral("Привет, мир"));
            s.writeStringList(QStringLiteral("/Main/List"), {QStringLiteral("a"), QString(), QStringLiteral("c,d")});
            s.writeIntList(QStringLiteral("/Main/Sizes"), {185, 460});
            s.writeColor(QStringLiteral("/Main/Red"), QColor(255, 0, 0, 10));
            QVERIFY(s.flush());
        }
        const QByteArray raw = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY(raw.contains("Flag=1"));
        QVERIFY(raw.contains("Red=16711680"));
        QVERIFY(raw.contains("Sizes=185|460"));

        const TSettings s(path);
        QCOMPARE(s.readBool(QStringLiteral("/Main/Flag"), false), true);
        QCOMPARE(s.readInt(QStringLiteral("/Main/Int"), 0), -42);
        QCOMPARE(s.readString(QStringLiteral("/Main/Text"), QString()), QStringLiteral("Привет, мир"));
        QCOMPARE(s.readStringList(QStringLiteral("/Main/List")),
                 QStringList({QStringLiteral("a"), QString(), QStringLiteral("c,d")}));
        QCOMPARE(s.readIntList(QStringLiteral("/Main/Sizes"), {}), QList<int>({185, 460}));
        const QColor red = s.readColor(QStringLiteral("/Main/Red"), Qt::green);
        QCOMPARE(red, QColor(255, 0, 0));
        QCOMPARE(red.alpha(), 255);
    }

    void defaultsAndStoredForms()
    {
        const TSettings s(writeIni("[A]\nT=true\nF=0\nE=\nX=abc\nD=2.5\nBlack=0\n"
                                   "One=7\nTwo=7|8\nBad=7|x|-1\nBars=a||b\n"));
        QCOMPARE(s.readBool(QStringLiteral("/A/T"), false), true);
        QCOMPARE(s.readBool(QStringLiteral("/A/F"), true), false);
        QCOMPARE(s.readBool(QStringLiteral("/A/E"), true), false);
        QCOMPARE(s.readBool(QStringLiteral("/A/Missing"), true), true);
        QCOMPARE(s.readInt(QStringLiteral("/A/X"), 5), 0);
        QCOMPARE(s.readInt(QStringLiteral("/A/Missing"), 5), 5);
        QCOMPARE(s.readDouble(QStringLiteral("/A/D"), 0), 2.5);
        QCOMPARE(s.readDouble(QStringLiteral("/A/X"), 1.0), 0.0);
        QCOMPARE(s.readColor(QStringLiteral("/A/Black"), Qt::white), QColor(0, 0, 0));
        QCOMPARE(s.readColor(QStringLiteral("/A/Missing"), QColor(1, 2, 3)), QColor(1, 2, 3));
        QCOMPARE(s.readStringList(QStringLiteral("/A/Missing")), QStringList({QString()}));
        QCOMPARE(s.readStringList(QStringLiteral("/A/Bars")),
                 QStringList({QStringLiteral("a"), QString(), QStringLiteral("b")}));
        const QList<int> def{1, 2};
        QCOMPARE(s.readIntList(QStringLiteral("/A/One"), def), def);
        QCOMPARE(s.readIntList(QStringLiteral("/A/Missing"), def), def);
        QCOMPARE(s.readIntList(QStringLiteral("/A/Two"), def), QList<int>({7, 8}));
        QCOMPARE(s.readIntList(QStringLiteral("/A/Bad"), def), QList<int>({7, 0, 0}));
    }

    void unquotedCommasReadAsText()
    {
        const TSettings s(writeIni("[Main]\nName=Box, rev 2\nList=1|a, b ,c|3\nN=5,6\n"
                                   "Quoted=\"x, y\"\nTab=\\ta,b\n[General]\nPins=1,2\n"));
        QCOMPARE(s.readString(QStringLiteral("/Main/Name"), QString()), QStringLiteral("Box, rev 2"));
        QCOMPARE(s.readStringList(QStringLiteral("/Main/List")),
                 QStringList({QStringLiteral("1"), QStringLiteral("a, b ,c"), QStringLiteral("3")}));
        QCOMPARE(s.readInt(QStringLiteral("/Main/N"), 9), 0);
        QCOMPARE(s.readString(QStringLiteral("/Main/Quoted"), QString()), QStringLiteral("x, y"));
        QCOMPARE(s.readString(QStringLiteral("/Main/Tab"), QString()), QStringLiteral("\ta,b"));
        QCOMPARE(s.readString(QStringLiteral("/Pins"), QString()), QStringLiteral("1,2"));
    }

    void groups()
    {
        const QString path = writeIni("[ProgNameList]\nName0=1|A|p|t\nName1=0|B|q|t\n[Other]\nK=1\n");
        TSettings s(path);
        QCOMPARE(s.groupKeyPaths(QStringLiteral("ProgNameList")),
                 QStringList({QStringLiteral("/ProgNameList/Name0"), QStringLiteral("/ProgNameList/Name1")}));
        s.removeGroup(QStringLiteral("ProgNameList"));
        QVERIFY(s.groupKeys(QStringLiteral("ProgNameList")).isEmpty());
        QVERIFY(s.flush());
        const TSettings again(path);
        QVERIFY(!again.contains(QStringLiteral("/ProgNameList/Name0")));
        QCOMPARE(again.readInt(QStringLiteral("/Other/K"), 0), 1);
    }

    void unwritableFileIsReported()
    {
        // The folder cannot be made: a plain file stands in its place.
        const QString blocker = writeIni("x");
        TSettings s(blocker + QStringLiteral("/x.ini"));
        s.writeInt(QStringLiteral("/A/B"), 1);
        QVERIFY(!s.flush());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
