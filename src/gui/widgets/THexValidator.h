#pragma once

#include <QValidator>

// Hexadecimal byte texts (white space ignored) of at most 128 digits, upper-cased as they are typed.
class THexValidator : public QValidator
{
public:
    explicit THexValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
