#include "gui/widgets/wgt_misc.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(color, Qt::SolidPattern));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
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

bool leavesUntakenEntry(const QLineEdit *line, const QEvent *event)
{
    return event->type() == QEvent::FocusOut
           && static_cast<const QFocusEvent *>(event)->reason() != Qt::PopupFocusReason && !line->hasAcceptableInput();
}
