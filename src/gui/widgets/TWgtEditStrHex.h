#pragma once

#include <QWidget>

class QLineEdit;

// Edit of a string of hexadecimal digits of a fixed length: the length of
// the stored value. A finished entry is cut to it; a short one keeps the
// stored digits that follow what was typed.
class TWgtEditStrHex : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditStrHex(const QString &value, QWidget *parent = nullptr);

    QString value() const { return m_value; }
    // Stores and shows a new value; an equal one changes nothing.
    void setValue(const QString &value);

signals:
    void valueChanged(const QString &value);

public slots:
    void editingFinished();

private:
    void applyValue(const QString &value);

    QLineEdit *m_edit;
    QString m_value;
};
