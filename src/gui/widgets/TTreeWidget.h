#pragma once

#include <QTreeWidget>

// A tree widget whose items can be addressed by their position in the flat,
// depth-first list of all items (a parent before its children).
class TTreeWidget : public QTreeWidget
{
public:
    explicit TTreeWidget(QWidget *parent = nullptr);

    // Position of the first selected item; -1 when none is selected.
    int selectedIndex() const;
    // Makes the item at the position current; any other position clears
    // the current item.
    void setCurrentIndex(int index);

private:
    QList<QTreeWidgetItem *> flatItems() const;
};
