#pragma once

#include <QIcon>
#include <QString>

// Sizes in pixels of the main window's tool bar for one icon set.
struct TToolBarMetrics
{
    int barHeight;       // fixed height of the tool bar
    int buttonHeight;    // fixed height of every tool button
    int buttonWidth;     // fixed width of the square buttons
    int wideButtonWidth; // fixed width of "id_prog" and "reset"
    int runButtonWidth;  // fixed width of the run button
    int iconHeight;      // icon height of every tool button
    int iconWidth;       // icon width of the square and wide buttons
    int runIconWidth;    // icon width of the run button
};

// The metrics of icon set 0 (small) for 0, of the large set for any other.
TToolBarMetrics toolBarMetrics(int iconSet);

// The icon ":/images/<set>/<name>.png" of the given icon set, built once
// (GUI thread only): every call for the same image gives the same icon.
QIcon iconFor(int iconSet, const QString &name);
