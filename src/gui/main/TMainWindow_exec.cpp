// The main window's execution control, settings, language and shutdown.

#include "gui/main/TMainWindow.h"

#include <QCloseEvent>

TMainWindow::~TMainWindow() = default;

void TMainWindow::closeEvent(QCloseEvent *event)
{
    if (closeProject())
        event->accept();
    else
        event->ignore();
}

bool TMainWindow::refuseStructuralEdit(int idCfg)
{
    Q_UNUSED(idCfg)
    return false;
}

bool TMainWindow::refuseProjectChange()
{
    return false;
}

void TMainWindow::slotExecIDProg() {}
void TMainWindow::slotExecReset() {}
void TMainWindow::slotExecCfg() {}
void TMainWindow::slotExecClearState() {}
void TMainWindow::slotExecClearAllState() {}
void TMainWindow::slotSettings() {}
void TMainWindow::slotSetLanguage() {}
void TMainWindow::slotSaveSettings() {}
void TMainWindow::slotHelp() {}
void TMainWindow::slotAbout() {}
void TMainWindow::slotAboutQt() {}
