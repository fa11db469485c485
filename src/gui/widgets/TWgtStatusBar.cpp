#include "gui/widgets/TWgtStatusBar.h"

#include <QPalette>

#include "core/helpers.h"

TWgtStatusBar::TWgtStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setFixedHeight(21);
}

void TWgtStatusBar::showMessage(const QString &text, int kind)
{
    QColor color;
    if (kind == 1)
        color = Qt::red;
    else if (kind == 2)
        color = Qt::darkGreen;
    else
        color = paletteTextColor();
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(color, Qt::SolidPattern));
    setPalette(palette);
    QStatusBar::showMessage(text, 0);
}
