#pragma once

#include <QValidator>

// Finite decimal numbers with a '.' point; an empty text counts as 0, and
// one that ends in a sign, the point or an exponent mark (a number being
// typed: "-", ".", "1.", "1e-") is Intermediate.
class TDoubleValidator : public QValidator
{
public:
    explicit TDoubleValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
