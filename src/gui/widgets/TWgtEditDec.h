#pragma once

#include <limits>

#include "gui/widgets/TWgtEditInt.h"

// Decimal edit of an int within a range. A value set or stepped outside the
// range becomes its negation when that lies in the range, else the nearer
// bound; an entry outside it is refused (with magnitude steps, a magnitude
// typed takes the field's sign).
class TWgtEditDec : public TWgtEditInt
{
    Q_OBJECT
public:
    explicit TWgtEditDec(int value, QWidget *parent = nullptr);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Keeps the value as it is; one outside the new range shows in the
    // error colour until it is edited.
    void setRange(int min, int max);
    void setMagnitudeStep(bool on) { setMagnitudeStepFlag(on); }

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
