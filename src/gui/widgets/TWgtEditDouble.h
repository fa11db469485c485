#pragma once

#include "gui/widgets/TWgtEditNum.h"

// Edit of a double with a fixed number of decimals. Values set or stepped
// are clamped to its range; an entry outside it is refused, and so is one
// with more decimals than the edit's (it is never rounded). Values are
// compared at the precision of the decimals. Entries take the decimal mark
// of the interface's language as well as the point; the edit shows the
// point.
class TWgtEditDouble : public TWgtEditNum
{
    Q_OBJECT
public:
    TWgtEditDouble(double value, int decimals, QWidget *parent = nullptr);

    double value() const { return m_value; }
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    // Keeps the value as it is; one outside the new range shows in the
    // error colour until it is edited.
    void setRange(double min, double max);
    // The value restored by the '*' key.
    void setDefault(double value) { m_default = value; }
    void setValue(double value);

signals:
    void valueChanged(double value);

public slots:
    void editingFinished() override;

protected:
    void stepKey(int direction) override;
    void defaultKey() override;
    QString valueText() const override;
    QString rangeText() const override;
    bool takesEntry(const QString &text) const override;
    bool holdsDigitsOf(const QString &text) const override;

private:
    // The value in units of the last decimal, rounded half away from zero.
    qint64 scaled(double value) const;
    void applyValue(double value);
    double parsedText() const;
    static double parsed(const QString &text);
    void updateText();
    void updateColor();

    double m_value;
    double m_min = -2147483648.0;
    double m_max = 2147483647.0;
    double m_default = 0.0;
    int m_decimals;
    double m_step;
    double m_scale;
};
