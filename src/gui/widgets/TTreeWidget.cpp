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

void TTreeWidget::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    ++m_moves;
    QTreeWidget::currentChanged(current, previous);
}

template <typename Handle>
void TTreeWidget::selectingCurrent(Handle handle)
{
    const unsigned before = m_moves;
    handle();
    // An action that left the current item alone keeps what it did to the
    // selection (Ctrl+click may clear it).
    const QModelIndex current = currentIndex();
    if (m_moves != before && current.isValid() && selectionModel() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TTreeWidget::keyPressEvent(QKeyEvent *event)
{
    selectingCurrent([&] { QTreeWidget::keyPressEvent(event); });
}

void TTreeWidget::mousePressEvent(QMouseEvent *event)
{
    selectingCurrent([&] { QTreeWidget::mousePressEvent(event); });
}

void TTreeWidget::mouseMoveEvent(QMouseEvent *event)
{
    selectingCurrent([&] { QTreeWidget::mouseMoveEvent(event); });
}
