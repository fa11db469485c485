#pragma once

#include <limits>

#include "gui/widgets/TWgtEditNum.h"

// Edit of a signed 64-bit value. Values set or stepped are clamped to its
// range (no negation rule); an entry outside it is refused.
// The decimal and the hexadecimal edit differ only in their text.
class TWgtEditInt64 : public TWgtEditNum
{
    Q_OBJECT
public:
    qint64 value() const { return m_value; }
    qint64 minimum() const { return m_min; }
    qint64 maximum() const { return m_max; }
    // Keeps the value as it is; one outside the new range shows in the
    // error colour until it is edited.
    void setRange(qint64 min, qint64 max);
    // The value restored by the '*' key.
    void setDefault(qint64 value) { m_default = value; }
    void setValue(qint64 value);
    // The form changed the value from the one given to fit a new range:
    // the field says so until the next value is entered or set.
    void markChangedFrom(qint64 before);

signals:
    void valueChanged(qint64 value);

public slots:
    void editingFinished() override;

protected:
    TWgtEditInt64(QValidator *validator, qint64 value, const QString &text, QWidget *parent);

    void stepKey(int direction) override;
    void defaultKey() override;
    QString valueText() const override { return textOf(m_value); }
    QString rangeText() const override;
    bool takesEntry(const QString &text) const override;

    // The text shown for a value, and the value a text stands for (0 when
    // it does not parse).
    virtual QString textOf(qint64 value) const = 0;
    virtual qint64 valueOf(const QString &text) const = 0;

private:
    void applyValue(qint64 value);

    qint64 m_value;
    qint64 m_min = std::numeric_limits<qint64>::min();
    qint64 m_max = std::numeric_limits<qint64>::max();
    qint64 m_default = 0;
};
