#pragma once

#include <limits>

#include "gui/widgets/TWgtEditInt.h"

// Hexadecimal edit of an int ("0x" and upper-case digits, a negative value
// as its two's complement). Values set or stepped are clamped to its range;
// an entry outside it, or beyond the int range, is refused.
class TWgtEditHex : public TWgtEditInt
{
    Q_OBJECT
public:
    explicit TWgtEditHex(int value, QWidget *parent = nullptr);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Keeps the value as it is; one outside the new range shows in the
    // error colour until it is edited.
    void setRange(int min, int max);

protected:
    int forced(int value) const override;
    bool allowed(int value) const override;
    QString rangeText() const override;
    QString textOf(int value) const override;
    qint64 valueOf(const QString &text) const override;

private:
    int m_min = std::numeric_limits<int>::min();
    int m_max = std::numeric_limits<int>::max();
};
