#pragma once

#include <QColor>

#include <functional>
#include <initializer_list>

class QEvent;
class QLineEdit;
class QWidget;

// Sets the Base colour of all colour groups of the widget's palette to a
// solid brush of the colour and turns background filling on. The one way
// in which edits and combo boxes are coloured.
void setBackgroundColor(QWidget *widget, const QColor &color);

class QPushButton;

// Lays the edits out in a row on the owner (margins 0, spacing 3, each edit
// at least 70 pixels wide) followed by a "*" button of 21 by 21 pixels that
// takes no focus, and returns that button.
QPushButton *layOutWithDefaultButton(QWidget *owner, std::initializer_list<QWidget *> edits);

// The event is the focus leaving a line for good (not for a pop-up such as
// its context menu).
bool leavesLine(const QEvent *event);
// The event is a press of Return or Enter.
bool isReturnKey(const QEvent *event);
// leavesLine while the line holds an entry that its validator does not
// take: the line edit itself then ends no editing, and the owner shows what
// is stored.
bool leavesUntakenEntry(const QLineEdit *line, const QEvent *event);

// Hands every paste into the line (the paste keys, the Paste of its context
// menu, the middle button's selection where the system has one) to the
// function, in place of the line's own insertion of the text as it stands.
void routePastes(QLineEdit *line, std::function<void(const QString &text)> paste);

// A square button of 21 by 21 pixels with the text that never takes focus.
QPushButton *createSmallButton(const QString &text);
