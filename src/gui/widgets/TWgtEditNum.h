#pragma once

#include <QWidget>

class QValidator;
class TLineEdit;

// What every numeric edit shares: one line edit of height 21 with the
// edit's validator, the background colour that tells whether the stored
// value lies in range, and the Up, Down and '*' keys.
//
// The keys are caught by a filter on the application object (not on the
// line edit) that looks only at key presses sent to this edit's line edit.
class TWgtEditNum : public QWidget
{
    Q_OBJECT
public:
    ~TWgtEditNum() override;

public slots:
    // The line edit lost the focus or Return was pressed: take its text.
    virtual void editingFinished() = 0;

protected:
    // Takes ownership of the validator.
    TWgtEditNum(QValidator *validator, const QString &text, QWidget *parent);

    TLineEdit *lineEdit() const { return m_edit; }

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Up (+1) or Down (-1) was pressed with the line edit's text as it is.
    virtual void stepKey(int direction) = 0;
    // '*' was pressed: restore the default.
    virtual void defaultKey() = 0;

    // Paints the line edit's background: normal or error colour.
    void paintInRange(bool inRange);

private:
    TLineEdit *m_edit;
};
