#pragma once
// Driving the main window in tests as a user does: the command table of a
// tab with a row selected and the keyboard focus in it (the actions that
// edit commands, run ID Prog or Reset, or start a run ask for that focus),
// and the settings that make the window open a list's entry at start.

#include "core/TAppData.h"
#include "gui/main/TMainWindow.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtPrj.h"

#include <QtTest>

inline void focusCmdRow(TMainWindow &w, int tab, int row)
{
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.prjView()->selectCfgCmd(tab, row);
    QVERIFY(w.prjView()->currentPage());
    w.prjView()->currentPage()->setFocusCmdList();
    QTRY_VERIFY(w.prjView()->hasFocusCmdList());
}

// The list file `file` of `folder`, named "List"; entry `entry` (pre-order)
// opens at start with its tab `cfg` and row `cmd` current.
inline void openAtStart(const QString &folder, const QString &file, int entry, int cfg = 0, int cmd = 0)
{
    appData.pathProjects = folder;
    appData.prjListName = QStringLiteral("List");
    appData.prjListFile = file;
    appData.openLastPrj = true;
    appData.lastPrj = entry;
    appData.lastCfg = cfg;
    appData.lastCmd = cmd;
}
