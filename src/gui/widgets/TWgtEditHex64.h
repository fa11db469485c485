#pragma once

#include "gui/widgets/TWgtEditInt64.h"

// Hexadecimal edit of a signed 64-bit value: "0x" and upper-case digits,
// a negative value as its two's complement.
class TWgtEditHex64 : public TWgtEditInt64
{
    Q_OBJECT
public:
    explicit TWgtEditHex64(qint64 value, QWidget *parent = nullptr);

protected:
    QString textOf(qint64 value) const override;
    qint64 valueOf(const QString &text) const override;
};
