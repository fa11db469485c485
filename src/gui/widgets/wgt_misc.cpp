#include "gui/widgets/wgt_misc.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace {

// The filter on a line that takes its pastes (routePastes).
class PasteRoute : public QObject
{
public:
    PasteRoute(QLineEdit *line, std::function<void(const QString &)> paste)
        : QObject(line), m_line(line), m_paste(std::move(paste))
    {
        line->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_line)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (!static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste))
                return false;
            m_paste(QGuiApplication::clipboard()->text());
            return true;
        case QEvent::ContextMenu:
            showContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
                return false;
            m_line->deselect();
            m_paste(QGuiApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        default:
            return false;
        }
    }

private:
    void showContextMenu(const QPoint &globalPos)
    {
        QMenu *menu = m_line->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The menu's Paste is the line's own; it is sent the route's way.
        const QString pasteText = QLineEdit::tr("&Paste");
        for (QAction *action : menu->actions()) {
            if (!action->text().startsWith(pasteText))
                continue;
            disconnect(action, nullptr, m_line, nullptr);
            connect(action, &QAction::triggered, this, [this] { m_paste(QGuiApplication::clipboard()->text()); });
        }
        menu->popup(globalPos);
    }

    QLineEdit *m_line;
    std::function<void(const QString &)> m_paste;
};

} // namespace

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(color, Qt::SolidPattern));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void routePastes(QLineEdit *line, std::function<void(const QString &text)> paste)
{
    new PasteRoute(line, std::move(paste));
}

QPushButton *createSmallButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setFixedSize(21, 21);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *layOutWithDefaultButton(QWidget *owner, std::initializer_list<QWidget *> edits)
{
    auto *layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    for (QWidget *edit : edits) {
        edit->setMinimumWidth(70);
        layout->addWidget(edit);
    }
    QPushButton *button = createSmallButton(QStringLiteral("*"));
    layout->addWidget(button);
    return button;
}

bool leavesLine(const QEvent *event)
{
    return event->type() == QEvent::FocusOut
           && static_cast<const QFocusEvent *>(event)->reason() != Qt::PopupFocusReason;
}

bool isReturnKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool leavesUntakenEntry(const QLineEdit *line, const QEvent *event)
{
    return leavesLine(event) && !line->hasAcceptableInput();
}
