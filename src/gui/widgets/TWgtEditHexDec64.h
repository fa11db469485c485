#pragma once

#include <QWidget>

class QPushButton;
class TWgtEditDec64;
class TWgtEditHex64;

// A hexadecimal and a decimal edit that always show the same signed 64-bit
// value, with a "*" button that restores the default. Each change in either
// edit gives exactly one valueChanged, carrying the decimal edit's value.
class TWgtEditHexDec64 : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditHexDec64(qint64 value, QWidget *parent = nullptr);

    // Sets the range and its tool-tips on both edits; the value stays.
    void setRange(qint64 min, qint64 max);
    // setRange with the current minimum.
    void setMaximum(qint64 max);
    // Puts the value into the decimal edit, then into the hexadecimal one.
    void setValue(qint64 value);
    // Both edits say that the form changed the value from the one given to
    // fit a new range, until the next value is entered or set.
    void markChangedFrom(qint64 before);
    // The value of the button and of both edits' '*' key.
    void setDefault(qint64 value);
    qint64 value() const;
    qint64 minimum() const;
    qint64 maximum() const;

signals:
    void valueChanged(qint64 value);

public slots:
    void slotChangedHex(qint64 value);
    void slotChangedDec(qint64 value);
    void slotSetDefault();

private:
    TWgtEditHex64 *m_hex;
    TWgtEditDec64 *m_dec;
    QPushButton *m_button;
    qint64 m_default = 0;
};
