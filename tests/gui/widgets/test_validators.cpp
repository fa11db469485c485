#include <QtTest>

#include <memory>

#include "gui/widgets/Int64Validator.h"
#include "gui/widgets/TDoubleValidator.h"
#include "gui/widgets/THex64Validator.h"
#include "gui/widgets/THexValidator.h"
#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/TStrHexValidator.h"

using State = QValidator::State;
Q_DECLARE_METATYPE(State)

class TestValidators : public QObject
{
    Q_OBJECT
private slots:
    void validate_data();
    void validate();
};

void TestValidators::validate_data()
{
    // validator, input, cursor (-1: at the end), state, text afterwards
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("pos");
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("output");
    const State ok = QValidator::Acceptable;
    const State bad = QValidator::Invalid;
    // A number being typed that is none yet.
    const State typing = QValidator::Intermediate;
    auto row = [&](const char *kind, const QString &input, int pos, State state,
                   const QString &output) {
        QTest::addRow("%s '%s'", kind, qPrintable(input.left(20)))
            << QString(kind) << input << pos << state << output;
    };

    row("int", "", -1, ok, "");
    row("int", "-", 1, typing, "-");
    row("int", "5-", -1, bad, "5-");
    row("int", "2147483647", -1, ok, "2147483647");
    row("int", "2147483648", -1, bad, "2147483648");
    row("int", "-2147483648", -1, ok, "-2147483648");
    row("int", "12a", -1, bad, "12a");

    row("int64", "", -1, ok, "");
    row("int64", "-", 1, typing, "-");
    row("int64", "-9223372036854775808", -1, ok, "-9223372036854775808");
    row("int64", "9223372036854775807", -1, ok, "9223372036854775807");
    row("int64", "9223372036854775808", -1, bad, "9223372036854775808");

    row("hex64", "0xab", -1, ok, "0xAB");
    row("hex64", "0x" + QString(16, 'F'), -1, ok, "0x" + QString(16, 'F'));
    row("hex64", "0x" + QString(17, 'F'), -1, bad, "0x" + QString(17, 'F'));
    row("hex64", "0xG", -1, bad, "0xG");
    // Blanks, signs and a prefix that is not in front are no digits.
    row("hex64", "0x 1", -1, bad, "0x 1");
    row("hex64", "0x+1", -1, bad, "0x+1");
    row("hex64", "0x10x1", -1, bad, "0x10x1");
    // An entry over the whole text, with or without its own prefix (one
    // pasted behind the edit's too), is the number entered.
    row("hex64", "5", 1, ok, "0x5");
    row("hex64", "0X1ffff0", -1, ok, "0x1FFFF0");
    row("hex64", "0x0x1", -1, ok, "0x1");
    // Digits too many for 64 bits keep the prefix the edit shows them with.
    row("hex64", QString(17, 'F'), -1, bad, "0x" + QString(17, 'F'));
    // The prefix cannot be edited away.
    row("hex64", "x12", 0, bad, "x12");

    row("double", "", -1, ok, "");
    row("double", "-0.25", -1, ok, "-0.25");
    row("double", "1,5", -1, bad, "1,5");
    for (const char *unfinished : {"-", ".", "-.", "1.", "1e-"})
        row("double", unfinished, -1, typing, unfinished);
    row("double", "e", -1, bad, "e");
    // Not a number and infinity parse, but no edit can range-check them.
    row("double", "nan", -1, bad, "nan");
    row("double", "inf", -1, bad, "inf");
    row("double", "1e400", -1, bad, "1e400");

    row("strhex", "", -1, ok, "");
    row("strhex", "0a1b", -1, ok, "0A1B");
    row("strhex", "12g", -1, bad, "12g");
    row("strhex", "1 2", -1, bad, "1 2");

    // The digits of other scripts (Arabic-Indic one, Devanagari one,
    // full-width one and A) and blanks around a number are none of ours.
    const QString arabic(QChar(0x0661)), devanagari(QChar(0x0967)), wideOne(QChar(0xFF11)),
        wideA(QChar(0xFF21));
    for (const QString &digit : {arabic, devanagari, wideOne}) {
        for (const char *kind : {"int", "int64", "double", "strhex", "hex"})
            row(kind, "1" + digit, -1, bad, "1" + digit);
        row("hex64", "0x1" + digit, -1, bad, "0x1" + digit);
    }
    row("strhex", wideA, -1, bad, wideA);
    row("hex", wideA + "1", -1, bad, wideA + "1");
    row("int", " 5", -1, bad, " 5");
    row("int64", "5 ", -1, bad, "5 ");
    row("double", " 3.3", -1, bad, " 3.3");
    row("double", QString(QChar(0x3000)) + "3.3", -1, bad, QString(QChar(0x3000)) + "3.3");

    row("hex", "   ", -1, ok, "   ");
    row("hex", "de ad\tbe ef", -1, ok, "DE AD\tBE EF");
    row("hex", "0g", -1, bad, "0g");
    // 128 digits are the limit; blanks do not count.
    row("hex", QString(64, 'a') + " " + QString(64, 'b'), -1, ok,
        QString(64, 'A') + " " + QString(64, 'B'));
    row("hex", QString(129, 'a'), -1, bad, QString(129, 'a'));
}

void TestValidators::validate()
{
    QFETCH(QString, kind);
    QFETCH(QString, input);
    QFETCH(int, pos);
    QFETCH(State, state);
    QFETCH(QString, output);

    std::unique_ptr<QValidator> v;
    if (kind == "int")
        v.reset(new TIntValidator);
    else if (kind == "int64")
        v.reset(new Int64Validator);
    else if (kind == "hex64")
        v.reset(new THex64Validator);
    else if (kind == "double")
        v.reset(new TDoubleValidator);
    else if (kind == "strhex")
        v.reset(new TStrHexValidator);
    else
        v.reset(new THexValidator);

    if (pos < 0)
        pos = input.length();
    QCOMPARE(v->validate(input, pos), state);
    QCOMPARE(input, output);
}

QTEST_GUILESS_MAIN(TestValidators)
#include "test_validators.moc"
