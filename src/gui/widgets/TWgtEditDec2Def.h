#pragma once

#include <QWidget>

class QPushButton;
class TWgtEditDec2;

// A decimal edit over a list of allowed ranges with a "*" button that
// restores the default value.
class TWgtEditDec2Def : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditDec2Def(int value, QWidget *parent = nullptr);

    void addRange(int low, int high);
    void setMagnitudeStep(bool on);
    void setValue(int value);
    // The value of the button and of the edit's '*' key.
    void setDefault(int value);
    void setEditToolTip(const QString &text);
    void setDefaultToolTip(const QString &text);
    int value() const;

signals:
    void valueChanged(int value);

public slots:
    void slotChangedValue(int value);
    void slotSetDefaultValue();

private:
    TWgtEditDec2 *m_edit;
    QPushButton *m_button;
    int m_default = 0;
};
