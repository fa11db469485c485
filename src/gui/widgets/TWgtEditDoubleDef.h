#pragma once

#include <QWidget>

class QPushButton;
class TWgtEditDouble;

// An edit of a double with a fixed number of decimals and a "*" button that
// restores the default value.
class TWgtEditDoubleDef : public QWidget
{
    Q_OBJECT
public:
    TWgtEditDoubleDef(double value, int decimals, QWidget *parent = nullptr);

    void setRange(double min, double max);
    void setValue(double value);
    // The value of the button and of the edit's '*' key.
    void setDefault(double value);
    void setEditToolTip(const QString &text);
    void setDefaultToolTip(const QString &text);
    double value() const;
    double minimum() const;
    double maximum() const;

signals:
    void valueChanged(double value);

public slots:
    void slotChangedValue(double value);
    void slotSetDefaultValue();

private:
    TWgtEditDouble *m_edit;
    QPushButton *m_button;
    double m_default = 0.0;
};
