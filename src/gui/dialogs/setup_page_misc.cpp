#include "gui/dialogs/setup_page_misc.h"

#include "core/TLang.h"

#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QGroupBox *createSetupGroup(const QString &title, QVBoxLayout *&layout)
{
    auto *box = new QGroupBox(QStringLiteral(" %1 ").arg(title));
    layout = new QVBoxLayout(box);
    layout->setContentsMargins(5, 2, 5, 2);
    layout->setSpacing(0);
    return box;
}

QPushButton *addSetupButtons(QDialog *dialog, QVBoxLayout *layout)
{
    auto *line = new QLabel;
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setLineWidth(1);
    auto *bar = new QFrame;
    bar->setFrameShape(QFrame::NoFrame);
    bar->setFixedHeight(40);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(5, 5, 5, 5);
    barLayout->setSpacing(5);
    barLayout->setAlignment(Qt::AlignRight);
    auto *ok = new QPushButton(lang.text(79));
    ok->setFixedSize(100, 24);
    auto *cancel = new QPushButton(lang.text(80));
    cancel->setFixedSize(100, 24);
    barLayout->addWidget(ok);
    barLayout->addWidget(cancel);
    layout->addWidget(line);
    layout->addStretch(0);
    layout->addWidget(bar);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return ok;
}
