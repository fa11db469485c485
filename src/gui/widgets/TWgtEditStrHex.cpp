#include "gui/widgets/TWgtEditStrHex.h"

#include <QHBoxLayout>
#include <QLineEdit>

#include "gui/widgets/TStrHexValidator.h"

TWgtEditStrHex::TWgtEditStrHex(const QString &value, QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit), m_value(value)
{
    m_edit->setFixedHeight(21);
    m_edit->setValidator(new TStrHexValidator(m_edit));
    m_edit->setText(m_value);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);

    connect(m_edit, &QLineEdit::editingFinished, this, &TWgtEditStrHex::editingFinished);
}

void TWgtEditStrHex::setValue(const QString &value)
{
    applyValue(value);
}

void TWgtEditStrHex::applyValue(const QString &value)
{
    if (value == m_value)
        return;
    m_value = value;
    m_edit->setText(m_value);
    emit valueChanged(m_value);
}

void TWgtEditStrHex::editingFinished()
{
    // A short entry keeps the stored digits after it: no digit the user did
    // not type is made up, so an emptied field keeps its value.
    const int length = m_value.length();
    const QString typed = m_edit->text();
    applyValue(typed.length() >= length ? typed.left(length) : typed + m_value.mid(typed.length()));
    m_edit->setText(m_value);
}
