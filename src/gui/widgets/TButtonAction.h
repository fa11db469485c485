#pragma once

#include <QPointer>
#include <QPushButton>

class QAction;

// A push button that mirrors one action: its enabled, checked and visible
// state follow the action, and a click triggers it. It never takes the focus.
class TButtonAction : public QPushButton
{
    Q_OBJECT
public:
    explicit TButtonAction(const QString &text, QWidget *parent = nullptr);

    void setAction(QAction *action);

public slots:
    void slotChanged();

private:
    QPointer<QAction> m_action;
};
