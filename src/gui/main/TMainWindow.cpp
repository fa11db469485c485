#include "gui/main/TMainWindow.h"

#include "core/consts.h"

TMainWindow::TMainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QString::fromUtf8(APP_SHORT_NAME));
    resize(800, 600);
}

TMainWindow::~TMainWindow() = default;
