#pragma once

#include <QWidget>

class QValidator;
class TEntryValidator;
class TLineEdit;

// What every numeric edit shares: one line edit of height 21 with the
// edit's validator, the background colour that tells whether the stored
// value lies in range, and the Up, Down and '*' keys.
//
// An entry that lies outside the edit's allowed values is refused, never
// forced into them: while the line holds one (as it is typed, and after
// Return) it is painted in the warning colour with a tool-tip that names
// the range and the value kept; nothing is stored or emitted, and Up and
// Down leave it alone. Leaving the line shows the stored value again. So
// does an entry that is no number (a lone sign, a letter, digits too many
// for the type), typed or pasted: the line keeps it as given rather than
// dropping or cutting it (`TEntryValidator`), and it is refused; and one
// with more digits than the field holds, never rounded. A number being
// typed that Return or leaving finishes ("3." is 3) is taken as that
// number. A paste is taken without the blanks and line ends around it. A
// stored value outside a range set later is kept and shown in the error
// colour; the keys and the forms' own settings force values into range.
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

    // The line holds an entry that will not be taken; the reason is its
    // tool-tip.
    bool isRefused() const { return !m_refusal.isEmpty(); }

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
    // The allowed values as the edit shows them ("0x00..0xFF").
    virtual QString rangeText() const = 0;
    // Whether finishing the text would store it (or leave the value as it
    // is, for a text of the stored value).
    virtual bool takesEntry(const QString &text) const = 0;
    // Whether the field holds every digit of the number (one that the
    // validator takes), so that taking it rounds nothing.
    virtual bool holdsDigitsOf(const QString &text) const
    {
        Q_UNUSED(text)
        return true;
    }

    // Paints the line edit's background: normal or error colour (always the
    // error colour while a damaged value, a refused entry or a note is on
    // show).
    void paintInRange(bool inRange);
    // A value is entered or set: ends the damaged state and the note; true
    // when the damaged state was on, so that the value is reported even
    // where it did not change.
    bool takeDamaged();
    // The damaged text stands untouched: finishing the edit takes nothing.
    bool damagedUntouched() const;
    // Finishing the edit with a refused entry: true, and, when the line is
    // left rather than Return pressed, the stored value is shown again.
    // Otherwise false; an entry typed then ends the note.
    bool finishRefused();
    // Marks the field with a note on its value until the next value is
    // entered or set: the form changed the value from the text given.
    void showChangedFrom(const QString &before);

private:
    // A number being typed that the edit would take is finished in the
    // line, so that the line edit ends the editing.
    void finishTyping();
    void updateRefusal();
    void repaint();
    void showKept();

    TLineEdit *m_edit;
    TEntryValidator *m_entry;
    bool m_damaged = false;
    QString m_damagedText;
    bool m_inRange = true;
    // Return was pressed: the refused entry stays on show.
    bool m_returnPressed = false;
    QString m_refusal;
    QString m_note;
};
