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

    // Shows a stored value that is no number (or none for this edit) as it
    // stands, in the error colour. The edit keeps the value it has; the
    // first value the user enters, even an equal one, or the form sets is
    // taken and reported. The first editing key puts the value's own text
    // back, so that the entry starts from a number.
    void showDamaged(const QString &stored);
    // The damaged text is still on show: no value was entered or set since.
    bool isDamaged() const { return m_damaged; }

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

    // The text the edit shows for its value.
    virtual QString valueText() const = 0;

    // Paints the line edit's background: normal or error colour (always the
    // error colour while a damaged value is on show).
    void paintInRange(bool inRange);
    // Ends the damaged state; true when it was on, so that the value is
    // reported even where it did not change.
    bool takeDamaged();
    // The damaged text stands untouched: finishing the edit takes nothing.
    bool damagedUntouched() const;

private:
    TLineEdit *m_edit;
    bool m_damaged = false;
    QString m_damagedText;
};
