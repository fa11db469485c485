#pragma once

#include <QTreeWidget>

// A tree widget whose items can be addressed by their position in the flat,
// depth-first list of all items (a parent before its children).
//
// A key or mouse action that moves the current item ends with the item then
// current selected. A handler of the move may take it back (the window
// keeps the open project's entry current when the user cancels the change);
// the view's own handling would still select the item the action chose, so
// that the tree would highlight another entry than its current one.
class TTreeWidget : public QTreeWidget
{
public:
    explicit TTreeWidget(QWidget *parent = nullptr);

    // Position of the first selected item; -1 when none is selected.
    int selectedIndex() const;
    // Makes the item at the position current; any other position clears
    // the current item.
    void setCurrentIndex(int index);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QList<QTreeWidgetItem *> flatItems() const;
    template <typename Handle>
    void selectingCurrent(Handle handle);

    // Changes of the current item so far.
    unsigned m_moves = 0;
};
