#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// A row of a label and a plain line edit.
class TWgtLabelEdit : public QWidget
{
public:
    explicit TWgtLabelEdit(const QString &label, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

private:
    QLabel *m_label;
    QLineEdit *m_edit;
};
