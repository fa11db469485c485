#pragma once

#include <QValidator>

// Strings of hexadecimal digits, upper-cased as they are typed.
class TStrHexValidator : public QValidator
{
public:
    explicit TStrHexValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
