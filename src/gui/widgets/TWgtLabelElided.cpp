#include "gui/widgets/TWgtLabelElided.h"

#include <QFontMetrics>
#include <QResizeEvent>

TWgtLabelElided::TWgtLabelElided(QWidget *parent) : QLabel(parent) {}

void TWgtLabelElided::setText(const QString &text)
{
    m_text = text;
    QLabel::setText(fontMetrics().elidedText(m_text, Qt::ElideLeft, width()));
}

void TWgtLabelElided::resizeEvent(QResizeEvent *event)
{
    QLabel::setText(fontMetrics().elidedText(m_text, Qt::ElideLeft, event->size().width() - 1));
    QLabel::resizeEvent(event);
}
