#pragma once

#include <QComboBox>

class QWheelEvent;

// A combo box that shows an empty selection in the warning colour and
// leaves the mouse wheel to its parent (a scroll area, say), so turning the
// wheel never changes the selection.
class TComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TComboBox(QWidget *parent = nullptr);

public slots:
    // Repaints after every change of the current item.
    void slotChanged();

protected:
    void wheelEvent(QWheelEvent *event) override;
};
