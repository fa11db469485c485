// The main window's configuration and command editing actions.

#include "gui/main/TMainWindow.h"

void TMainWindow::slotCfgNew() {}
void TMainWindow::slotCfgCopy() {}
void TMainWindow::slotCfgPaste() {}
void TMainWindow::slotCfgEdit() {}
void TMainWindow::slotCfgDelete() {}
void TMainWindow::slotCmdSelector() {}
void TMainWindow::slotCmdNewSetProgDevice() {}
void TMainWindow::slotCmdNewSetProg() {}
void TMainWindow::slotCmdNewSetDevice() {}
void TMainWindow::slotCmdCopy() {}
void TMainWindow::slotCmdCopySelected() {}
void TMainWindow::slotCmdPaste() {}
void TMainWindow::slotCmdDeleteCur() {}
void TMainWindow::slotCmdDeleteSelected() {}
void TMainWindow::slotCmdDeleteError() {}
void TMainWindow::slotCmdDeleteDev() {}
void TMainWindow::slotCmdDeleteAll() {}
void TMainWindow::slotCmdCheckAll() {}
void TMainWindow::slotCmdUcheckAll() {}
void TMainWindow::slotCmdMoveUp() {}
void TMainWindow::slotCmdMoveDown() {}
void TMainWindow::slotCmdUncheckHide() {}
void TMainWindow::slotSelectCmd() {}
