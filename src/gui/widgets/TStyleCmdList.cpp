#include "gui/widgets/TStyleCmdList.h"

#include <QPainter>
#include <QStyleOptionViewItem>

TStyleCmdList::TStyleCmdList() : QProxyStyle() {}

void TStyleCmdList::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                  QPainter *painter, const QWidget *widget) const
{
    if (element != PE_PanelItemViewItem) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
    if (!item || item->version < 4)
        return;
    const QColor base = item->palette.color(item->palette.currentColorGroup(), QPalette::Base);
    painter->setBrush(QBrush(base, Qt::SolidPattern));
    painter->setBackground(QBrush(Qt::green, Qt::SolidPattern));
    QProxyStyle::drawPrimitive(element, item, painter, widget);
}
