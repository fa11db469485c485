#pragma once

#include "gui/widgets/TWgtEditNum.h"

// Edit of an int: what the decimal, the multi-range and the hexadecimal
// edit share. Each forces values into its allowed values in its own way
// and shows them in its own text.
class TWgtEditInt : public TWgtEditNum
{
    Q_OBJECT
public:
    int value() const { return m_value; }
    // The value restored by the '*' key.
    void setDefault(int value) { m_default = value; }
    void setValue(int value);
    // The form changed the value from the one given to fit a new range:
    // the field says so until the next value is entered or set.
    void markChangedFrom(int before);

signals:
    void valueChanged(int value);

public slots:
    void editingFinished() override;

protected:
    TWgtEditInt(QValidator *validator, int value, const QString &text, QWidget *parent);

    void stepKey(int direction) override;
    void defaultKey() override;
    QString valueText() const override { return textOf(m_value); }
    bool takesEntry(const QString &text) const override;

    // The allowed value a value is forced to, and whether it is allowed
    // (the colour of the stored value).
    virtual int forced(int value) const = 0;
    virtual bool allowed(int value) const = 0;
    // Whether an entry of the value is taken: an allowed one.
    virtual bool takes(int value) const { return allowed(value); }
    // The text shown for a value, and the value a text stands for (0 when
    // it does not parse; it may lie beyond the int range).
    virtual QString textOf(int value) const = 0;
    virtual qint64 valueOf(const QString &text) const = 0;

    // With the flag on, Up and Down act on the magnitude of a negative
    // value: Up makes it more negative.
    void setMagnitudeStepFlag(bool on) { m_magnitudeStep = on; }
    // Repaints after a change of the allowed values.
    void updateColor();

private:
    void applyValue(int value);

    int m_value;
    int m_default = 0;
    bool m_magnitudeStep = false;
};
