#include "gui/widgets/TWgtLine.h"

TWgtLine::TWgtLine(int height, QWidget *parent) : QLabel(parent)
{
    setFrameStyle(QFrame::HLine | QFrame::Sunken);
    setLineWidth(1);
    setFixedHeight(height);
}
