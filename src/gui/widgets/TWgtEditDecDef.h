#pragma once

#include <QWidget>

class QPushButton;
class TWgtEditDec;

// A decimal edit with a "*" button that restores the default value.
class TWgtEditDecDef : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditDecDef(int value, QWidget *parent = nullptr);

    void setRange(int min, int max);
    void setMagnitudeStep(bool on);
    void setValue(int value);
    // The edit says that the form changed the value from the one given to
    // fit a new range, until the next value is entered or set.
    void markChangedFrom(int before);
    // The value of the button and of the edit's '*' key.
    void setDefault(int value);
    void setEditToolTip(const QString &text);
    void setDefaultToolTip(const QString &text);
    int value() const;
    int minimum() const;
    int maximum() const;

signals:
    void valueChanged(int value);

public slots:
    void slotChangedValue(int value);
    void slotSetDefaultValue();

private:
    TWgtEditDec *m_edit;
    QPushButton *m_button;
    int m_default = 0;
};
