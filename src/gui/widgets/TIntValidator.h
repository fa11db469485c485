#pragma once

#include <QValidator>

// Decimal 32-bit integers as typed: an empty text counts as 0 and a lone "-" being typed is let through.
class TIntValidator : public QValidator
{
public:
    explicit TIntValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
