#include "gui/widgets/TComboBox.h"

#include <QPalette>
#include <QWheelEvent>

#include "core/helpers.h"

TComboBox::TComboBox(QWidget *parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TComboBox::slotChanged);
}

void TComboBox::slotChanged()
{
    if (currentIndex() < 0) {
        QPalette palette;
        const QBrush warning(warningColor(), Qt::SolidPattern);
        palette.setBrush(QPalette::All, QPalette::Base, warning);
        palette.setBrush(QPalette::All, QPalette::Button, warning);
        setPalette(palette);
    } else {
        setPalette(QPalette(paletteBaseColor()));
    }
}

void TComboBox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
