#include "gui/widgets/TTreeWidget.h"

TTreeWidget::TTreeWidget(QWidget *parent) : QTreeWidget(parent) {}

QList<QTreeWidgetItem *> TTreeWidget::flatItems() const
{
    return findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive, 0);
}

int TTreeWidget::selectedIndex() const
{
    const QList<QTreeWidgetItem *> items = flatItems();
    for (int i = 0; i < items.count(); ++i) {
        if (items.at(i)->isSelected())
            return i;
    }
    return -1;
}

void TTreeWidget::setCurrentIndex(int index)
{
    const QList<QTreeWidgetItem *> items = flatItems();
    setCurrentItem(index >= 0 && index < items.count() ? items.at(index) : nullptr);
}
