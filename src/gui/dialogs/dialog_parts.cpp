#include "gui/dialogs/dialog_parts.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

TDialogButtons createDialogButtons(QDialog *dialog, const QString &okText,
                                   const QString &cancelText)
{
    TDialogButtons b;
    b.frame = new QFrame(dialog);
    b.frame->setFrameShape(QFrame::NoFrame);
    b.frame->setFixedHeight(40);
    b.layout = new QHBoxLayout(b.frame);
    b.layout->setContentsMargins(5, 5, 5, 5);
    b.layout->setSpacing(5);
    b.ok = new QPushButton(okText, b.frame);
    b.ok->setFixedSize(100, 24);
    b.cancel = new QPushButton(cancelText, b.frame);
    b.cancel->setFixedSize(100, 24);
    b.layout->addStretch();
    b.layout->addWidget(b.ok);
    b.layout->addWidget(b.cancel);
    QObject::connect(b.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}

QLabel *createSeparatorLine(QWidget *parent)
{
    auto *line = new QLabel(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setLineWidth(1);
    return line;
}

void storeWindowGeometry(const QWidget *window, int *left, int *top, int *width, int *height)
{
    const QRect g = window->geometry();
    *left = g.left();
    *top = g.top();
    *width = g.right() - g.left() + 1;
    if (height)
        *height = g.bottom() - g.top() + 1;
}
