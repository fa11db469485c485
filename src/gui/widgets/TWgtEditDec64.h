#pragma once

#include "gui/widgets/TWgtEditInt64.h"

// Decimal edit of a signed 64-bit value.
class TWgtEditDec64 : public TWgtEditInt64
{
    Q_OBJECT
public:
    explicit TWgtEditDec64(qint64 value, QWidget *parent = nullptr);

protected:
    QString textOf(qint64 value) const override;
    qint64 valueOf(const QString &text) const override;
};
