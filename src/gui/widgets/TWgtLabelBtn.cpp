#include "gui/widgets/TWgtLabelBtn.h"

#include <QMouseEvent>

TWgtLabelBtn::TWgtLabelBtn(QWidget *parent) : QLabel(parent) {}

TWgtLabelBtn::TWgtLabelBtn(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void TWgtLabelBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}
