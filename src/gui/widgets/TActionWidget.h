#pragma once

#include <QAction>
#include <QPointer>

class QShortcut;

// An action whose key also works while one given widget (and only it) has
// the keyboard focus. The key emits triggered() directly, so a checkable
// action is not toggled by it.
class TActionWidget : public QAction
{
    Q_OBJECT
public:
    TActionWidget(QWidget *widget, QObject *parent);
    TActionWidget(QWidget *widget, const QString &text, QObject *parent);
    ~TActionWidget() override;

    // The key of both the widget's shortcut and the action (menus show it).
    void setShortcut(const QKeySequence &key);
    // Enables or disables the action together with its key.
    void setEnabled(bool enabled);

private:
    void bind(QWidget *widget);

    // Owned here, but a child of the widget: it goes when the widget goes.
    QPointer<QShortcut> m_shortcut;
};
