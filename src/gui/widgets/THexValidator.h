#pragma once

#include <QValidator>

// Hexadecimal byte texts (white space ignored) of at most maxDigits digits
// (128 unless set), upper-cased as they are typed.
class THexValidator : public QValidator
{
public:
    explicit THexValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;

    void setMaxDigits(int digits) { m_maxDigits = digits; }
    int maxDigits() const { return m_maxDigits; }

private:
    // Twice the largest number of literal data bytes a command may carry (64).
    int m_maxDigits = 128;
};
