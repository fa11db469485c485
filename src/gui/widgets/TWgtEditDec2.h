#pragma once

#include <QList>
#include <QPair>

#include "gui/widgets/TWgtEditInt.h"

// Decimal edit of an int that must lie in one of several ranges. A value set
// or stepped in no range becomes its negation when that lies in a range,
// else the nearest range bound (on a tie the range added first, within a
// range its low bound); an entry in no range is refused.
class TWgtEditDec2 : public TWgtEditInt
{
    Q_OBJECT
public:
    explicit TWgtEditDec2(int value, QWidget *parent = nullptr);

    // Appends an allowed range; ranges are tried in the order of adding.
    void addRange(int low, int high);
    QList<QPair<int, int>> ranges() const { return m_ranges; }
    void setMagnitudeStep(bool on) { setMagnitudeStepFlag(on); }

protected:
    int forced(int value) const override;
    bool allowed(int value) const override;
    // Without ranges every entry is taken.
    bool takes(int value) const override;
    QString rangeText() const override;
    QString textOf(int value) const override;
    qint64 valueOf(const QString &text) const override;

private:
    bool inSomeRange(qint64 value) const;

    QList<QPair<int, int>> m_ranges;
};
