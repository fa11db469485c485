#pragma once

#include <limits>

#include "gui/widgets/TWgtEditNum.h"

// Decimal edit of an int within a range. A value outside the range becomes
// its negation when that lies in the range, else the nearer bound.
class TWgtEditDec : public TWgtEditNum
{
    Q_OBJECT
public:
    explicit TWgtEditDec(int value, QWidget *parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Keeps the value as it is; one outside the new range shows in the
    // error colour until it is edited.
    void setRange(int min, int max);
    // The value restored by the '*' key.
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
    void applyValue(int value);
    void updateText();
    void updateColor();

    int m_value;
    int m_min = std::numeric_limits<int>::min();
    int m_max = std::numeric_limits<int>::max();
    int m_default = 0;
    bool m_magnitudeStep = false;
};
