#include "gui/widgets/TWgtLabelEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

TWgtLabelEdit::TWgtLabelEdit(const QString &label, QWidget *parent)
    : QWidget(parent), m_label(new QLabel(label)), m_edit(new QLineEdit)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
}

void TWgtLabelEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

QString TWgtLabelEdit::text() const
{
    return m_edit->text();
}
