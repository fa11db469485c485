#pragma once

#include <QList>
#include <QPair>

#include "gui/widgets/TWgtEditNum.h"

// Decimal edit of an int that must lie in one of several ranges. A value in
// no range becomes its negation when that lies in a range, else the nearest
// range bound (on a tie the range added first, within a range its low bound).
class TWgtEditDec2 : public TWgtEditNum
{
    Q_OBJECT
public:
    explicit TWgtEditDec2(int value, QWidget *parent = nullptr);

    int value() const { return m_value; }
    // Appends an allowed range; ranges are tried in the order of adding.
    void addRange(int low, int high);
    void setDefault(int value) { m_default = value; }
    void setMagnitudeStep(bool on) { m_magnitudeStep = on; }
    void setValue(int value);

signals:
    void valueChanged(int value);

public slots:
    void editingFinished() override;

protected:
    void stepKey(int direction) override;
    void defaultKey() override;

private:
    bool inSomeRange(qint64 value) const;
    void applyValue(int value);
    void updateText();
    void updateColor();

    int m_value;
    int m_default = 0;
    bool m_magnitudeStep = false;
    QList<QPair<int, int>> m_ranges;
};
