#pragma once

#include <QValidator>

// Hexadecimal numbers of up to 64 bits behind a "0x" prefix that an entry
// with or without one gets; digits are upper-cased as they are typed.
class THex64Validator : public QValidator
{
public:
    explicit THex64Validator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};
