#include "gui/widgets/TActionWidget.h"

#include <QShortcut>

TActionWidget::TActionWidget(QWidget *widget, QObject *parent) : QAction(parent)
{
    bind(widget);
}

TActionWidget::TActionWidget(QWidget *widget, const QString &text, QObject *parent)
    : QAction(text, parent)
{
    bind(widget);
}

TActionWidget::~TActionWidget()
{
    delete m_shortcut;
}

void TActionWidget::bind(QWidget *widget)
{
    m_shortcut = new QShortcut(QKeySequence(), widget);
    m_shortcut->setContext(Qt::WidgetShortcut);
    // The action's own copy of the key is for menus to show; added to a
    // window it must not answer the key all over that window.
    setShortcutContext(Qt::WidgetShortcut);
    // The key goes quiet with the action however it was disabled (through
    // QAction itself or its action group), not only through setEnabled here.
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (isEnabled())
            emit triggered(isChecked());
    });
}

void TActionWidget::setShortcut(const QKeySequence &key)
{
    if (m_shortcut)
        m_shortcut->setKey(key);
    QAction::setShortcut(key);
}

void TActionWidget::setEnabled(bool enabled)
{
    if (m_shortcut)
        m_shortcut->setEnabled(enabled);
    QAction::setEnabled(enabled);
}
