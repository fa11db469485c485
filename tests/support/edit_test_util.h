#pragma once
// Typing helpers shared by the edit-widget tests.

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QtTest>

// The line edit inside an edit widget.
inline QLineEdit *lineOf(QWidget *edit)
{
    return edit->findChild<QLineEdit *>();
}

// Erases the text as a user would: all selected, Backspace. It leaves the
// prefix "0x" in a hexadecimal edit.
inline QLineEdit *erase(QWidget *edit)
{
    QLineEdit *line = lineOf(edit);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    return line;
}

// Types the text and Return into the erased edit. Into a hexadecimal edit
// only the digits after "0x" are typed.
inline void enter(QWidget *edit, const QString &text)
{
    QLineEdit *line = erase(edit);
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Return);
}

// Leaves the line as the focus moving on does (without a window on show):
// the line edit's editing ends.
inline void leave(QWidget *edit)
{
    QLineEdit *line = qobject_cast<QLineEdit *>(edit);
    if (!line)
        line = lineOf(edit);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(line, &out);
}

// Commits text into the line as an input method does.
inline void commitText(QLineEdit *line, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(line, &event);
}

inline void press(QWidget *edit, Qt::Key key)
{
    QTest::keyClick(lineOf(edit), key);
}

inline QColor baseOf(QWidget *edit)
{
    return lineOf(edit)->palette().color(QPalette::Active, QPalette::Base);
}

// Puts the cursor by keys: Home, then Right as often as the position says;
// a position of -1 selects the whole text (Ctrl+A).
inline void placeCursor(QLineEdit *line, int position)
{
    if (position < 0) {
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        return;
    }
    QTest::keyClick(line, Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        QTest::keyClick(line, Qt::Key_Right);
}

// Types the keys one by one: '\b' is Backspace, '\x7f' Delete, any other
// character itself (of any script).
inline void typeKeys(QLineEdit *line, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(line, Qt::Key_Backspace);
        else if (c == QChar(0x7f))
            QTest::keyClick(line, Qt::Key_Delete);
        else if (c.unicode() > 0x7F) {
            // As a keyboard layout of that script sends it (QTest's key
            // clicks take ASCII alone).
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(line, &key);
        } else
            QTest::keyClicks(line, QString(c));
    }
}

// Puts the cursor (as placeCursor), pastes the text with Ctrl+V unless it
// is null, then types the keys (as typeKeys).
inline void editAt(QLineEdit *line, int position, const QString &paste, const QString &keys)
{
    placeCursor(line, position);
    if (!paste.isNull()) {
        QGuiApplication::clipboard()->setText(paste);
        QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
    }
    typeKeys(line, keys);
}
