#pragma once
// Typing helpers shared by the edit-widget tests.

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

// A lone "-" is refused by the 64-bit and double validators: a negative
// number is typed as its magnitude, then the sign in front.
inline void enterNegative(QWidget *edit, const QString &magnitude)
{
    QLineEdit *line = erase(edit);
    QTest::keyClicks(line, magnitude);
    QTest::keyClick(line, Qt::Key_Home);
    QTest::keyClicks(line, "-");
    QTest::keyClick(line, Qt::Key_Return);
}

inline void press(QWidget *edit, Qt::Key key)
{
    QTest::keyClick(lineOf(edit), key);
}

inline QColor baseOf(QWidget *edit)
{
    return lineOf(edit)->palette().color(QPalette::Active, QPalette::Base);
}
