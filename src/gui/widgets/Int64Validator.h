#pragma once

#include <QValidator>

// Decimal signed 64-bit integers; an empty text counts as 0, and one that
// ends in a sign (a number being typed) is Intermediate.
class Int64Validator : public QValidator
{
public:
    explicit Int64Validator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
