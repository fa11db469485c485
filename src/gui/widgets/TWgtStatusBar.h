#pragma once

#include <QStatusBar>

// The main window's status bar: each message stays until the next one, in
// red (kind 1), dark green (kind 2) or the normal text colour (any other).
class TWgtStatusBar : public QStatusBar
{
public:
    explicit TWgtStatusBar(QWidget *parent = nullptr);

    void showMessage(const QString &text, int kind);
};
