#pragma once
// Parts that the program's dialogs share.

#include <QString>

class QDialog;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

struct TDialogButtons {
    QFrame *frame;
    QHBoxLayout *layout;
    QPushButton *ok;
    QPushButton *cancel;
};

// A frame without frame style of fixed height 40 whose layout (margins 5,
// spacing 5) holds, after a stretch, the accepting and the rejecting
// button, each of fixed size 100 by 24.
TDialogButtons createDialogButtons(QDialog *dialog, const QString &okText,
                                   const QString &cancelText);
// A sunken horizontal line, line width 1.
QLabel *createSeparatorLine(QWidget *parent);
// Stores where a window stands into the settings members that place it
// next time: left, top, width and, for windows of free height, height.
void storeWindowGeometry(const QWidget *window, int *left, int *top, int *width,
                         int *height = nullptr);
