#include "gui/widgets/TButtonAction.h"

#include <QAction>

TButtonAction::TButtonAction(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TButtonAction::setAction(QAction *action)
{
    if (m_action) {
        disconnect(m_action, nullptr, this, nullptr);
        disconnect(this, &QPushButton::clicked, m_action, &QAction::trigger);
    }
    m_action = action;
    if (!action)
        return;
    setToolTip(action->toolTip());
    slotChanged();
    connect(this, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, this, &TButtonAction::slotChanged);
}

void TButtonAction::slotChanged()
{
    if (!m_action)
        return;
    setEnabled(m_action->isEnabled());
    setCheckable(m_action->isCheckable());
    setChecked(m_action->isChecked());
    // A button not yet placed in a window must not pop up as a window of
    // its own; it shows with its parent.
    if (!m_action->isVisible())
        setVisible(false);
    else if (parentWidget())
        setVisible(true);
}
