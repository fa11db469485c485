#pragma once

#include <QWidget>

class QLineEdit;

// Edit of a string of hexadecimal digits of a fixed length: the length of
// the stored value. The line has one place per digit and is typed over, so
// that no digit ever moves: a typed digit replaces the one at the cursor,
// Backspace and Delete (and typing over a selection) leave a blank "_" in
// the place of each digit they remove. Only a whole entry is stored, as it
// was typed. While a place is blank the line is painted in the warning
// colour with a tool-tip that says so; Return or leaving the line then
// stores nothing and shows the stored value again. The places take the
// ASCII hex digits 0-9, A-F and a-f alone, typed, pasted or committed by an
// input method; the digits of other scripts are refused.
//
// A paste (keys, context menu, middle button) is taken only when it holds
// hex digits alone (white space ignored): as many as the stored value
// replace the whole entry, fewer are typed over from the cursor (or the
// selection) when they fit there; anything else changes nothing and marks
// the line, saying so, until it changes or editing ends. Text cannot be
// dropped on the line.
class TWgtEditStrHex : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtEditStrHex(const QString &value, QWidget *parent = nullptr);

    QString value() const { return m_value; }
    // Stores a new value, emitting when it differs, and shows the stored
    // value whatever the line held.
    void setValue(const QString &value);
    // Every place of the line holds a digit.
    bool isComplete() const;

signals:
    void valueChanged(const QString &value);

public slots:
    // Return or focus out: a whole entry is stored; the line then shows
    // the stored value.
    void editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyValue(const QString &value);
    void showStored();
    void updateState();
    void showState();
    void paste(const QString &text);

    QLineEdit *m_edit;
    QString m_value;
    // The tool-tip on a paste not taken, until the line changes.
    QString m_refusedPaste;
    bool m_shownMarked = false;
};
