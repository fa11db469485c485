#include <QtTest>

#include "gui/widgets/Int64Validator.h"
#include "gui/widgets/TDoubleValidator.h"
#include "gui/widgets/THex64Validator.h"
#include "gui/widgets/THexValidator.h"
#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/TStrHexValidator.h"

namespace {
// Runs a validator on a copy of the text with the cursor at its end (or at
// pos) and gives the state and the text as the validator left it.
QValidator::State check(const QValidator &v, QString &text, int pos = -1)
{
    if (pos < 0)
        pos = text.length();
    return v.validate(text, pos);
}
}

class TestValidators : public QObject
{
    Q_OBJECT
private slots:
    void intValidator();
    void int64Validator();
    void hex64Validator();
    void doubleValidator();
    void strHexValidator();
    void hexValidator();
};

void TestValidators::intValidator()
{
    TIntValidator v;
    QString t;
    QCOMPARE(check(v, t = ""), QValidator::Acceptable);
    QCOMPARE(check(v, t = "-", 1), QValidator::Acceptable);
    QCOMPARE(check(v, t = "-5"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "2147483647"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "2147483648"), QValidator::Invalid);
    // Eleven characters: the smallest int cannot be typed.
    QCOMPARE(check(v, t = "-2147483648"), QValidator::Invalid);
    QCOMPARE(check(v, t = "12a"), QValidator::Invalid);
    QCOMPARE(check(v, t = "1.5"), QValidator::Invalid);
}

void TestValidators::int64Validator()
{
    Int64Validator v;
    QString t;
    QCOMPARE(check(v, t = ""), QValidator::Acceptable);
    QCOMPARE(check(v, t = "-", 1), QValidator::Invalid);
    QCOMPARE(check(v, t = "9223372036854775807"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "9223372036854775808"), QValidator::Invalid);
    QCOMPARE(check(v, t = "-922337203685477580"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "12x"), QValidator::Invalid);
}

void TestValidators::hex64Validator()
{
    THex64Validator v;
    QString t;
    QCOMPARE(check(v, t = "0xab"), QValidator::Acceptable);
    QCOMPARE(t, QString("0xAB"));
    QCOMPARE(check(v, t = "0x"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "0x" + QString(16, 'F')), QValidator::Acceptable);
    QCOMPARE(check(v, t = "0x" + QString(17, 'F')), QValidator::Invalid);
    QCOMPARE(check(v, t = "0xG"), QValidator::Invalid);
    // Blanks, signs and a second prefix are no digits.
    QCOMPARE(check(v, t = "0x 1"), QValidator::Invalid);
    QCOMPARE(check(v, t = "0x+1"), QValidator::Invalid);
    QCOMPARE(check(v, t = "0x0x1"), QValidator::Invalid);

    // An edit that leaves the cursor in front of the prefix starts afresh:
    // the whole text selected and a digit typed loses the digit.
    int pos = 1;
    t = "5";
    QCOMPARE(v.validate(t, pos), QValidator::Acceptable);
    QCOMPARE(t, QString("0x"));
    QCOMPARE(pos, 2);
}

void TestValidators::doubleValidator()
{
    TDoubleValidator v;
    QString t;
    QCOMPARE(check(v, t = ""), QValidator::Acceptable);
    QCOMPARE(check(v, t = "1.25"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "-0.5"), QValidator::Acceptable);
    QCOMPARE(check(v, t = "1,5"), QValidator::Invalid);
    QCOMPARE(check(v, t = "abc"), QValidator::Invalid);
    // Not a number and infinity parse, but no edit can range-check them.
    QCOMPARE(check(v, t = "nan"), QValidator::Invalid);
    QCOMPARE(check(v, t = "inf"), QValidator::Invalid);
    QCOMPARE(check(v, t = "1e400"), QValidator::Invalid);
}

void TestValidators::strHexValidator()
{
    TStrHexValidator v;
    QString t;
    QCOMPARE(check(v, t = ""), QValidator::Acceptable);
    QCOMPARE(check(v, t = "0a1b"), QValidator::Acceptable);
    QCOMPARE(t, QString("0A1B"));
    QCOMPARE(check(v, t = "12g"), QValidator::Invalid);
    QCOMPARE(check(v, t = "1 2"), QValidator::Invalid);
}

void TestValidators::hexValidator()
{
    THexValidator v;
    QString t;
    QCOMPARE(check(v, t = ""), QValidator::Acceptable);
    QCOMPARE(check(v, t = "   "), QValidator::Acceptable);
    QCOMPARE(check(v, t = "de ad\tbe ef"), QValidator::Acceptable);
    QCOMPARE(t, QString("DE AD\tBE EF"));
    QCOMPARE(check(v, t = "0g"), QValidator::Invalid);
    // 128 digits are the limit; blanks do not count.
    QCOMPARE(check(v, t = QString(128, 'a')), QValidator::Acceptable);
    QCOMPARE(check(v, t = QString(64, 'a') + " " + QString(64, 'b')), QValidator::Acceptable);
    QCOMPARE(check(v, t = QString(129, 'a')), QValidator::Invalid);
}

QTEST_GUILESS_MAIN(TestValidators)
#include "test_validators.moc"
