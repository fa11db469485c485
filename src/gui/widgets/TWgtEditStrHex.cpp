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
    const int length = m_value.length();
    QString text = m_edit->text().left(length);
    text += QString(length - text.length(), QLatin1Char('0'));
    applyValue(text);
    m_edit->setText(m_value);
}
