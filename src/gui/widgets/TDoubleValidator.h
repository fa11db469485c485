#pragma once

#include <QValidator>

// Finite decimal numbers with a '.' point; an empty text counts as 0.
class TDoubleValidator : public QValidator
{
public:
    explicit TDoubleValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
