#pragma once

#include <QValidator>

// Strings of hexadecimal digits (an empty one too), upper-cased.
class TStrHexValidator : public QValidator
{
public:
    explicit TStrHexValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
