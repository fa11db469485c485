#pragma once

#include <QValidator>

// Decimal 32-bit integers; an empty text counts as 0, and one that ends in
// a sign (a number being typed) is Intermediate.
class TIntValidator : public QValidator
{
public:
    explicit TIntValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
