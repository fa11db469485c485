#pragma once

#include <QWidget>

class QPushButton;
class TWgtEditDec;
class TWgtEditHex;

// A hexadecimal and a decimal edit that always show the same int, with a
// "*" button that restores the default. Each change in either edit gives
// exactly one valueChanged, carrying the decimal edit's value.
class TWgtEditHexDec : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditHexDec(int value, QWidget *parent = nullptr);

    // Sets the range and its tool-tips on both edits; the value stays.
    void setRange(int min, int max);
    // The value of the button and of both edits' '*' key.
    void setDefault(int value);
    int value() const;
    int minimum() const;
    int maximum() const;

signals:
    void valueChanged(int value);

public slots:
    void slotChangedHex(int value);
    void slotChangedDec(int value);
    void slotSetDefaultValue();

private:
    TWgtEditHex *m_hex;
    TWgtEditDec *m_dec;
    QPushButton *m_button;
    int m_default = 0;
};
