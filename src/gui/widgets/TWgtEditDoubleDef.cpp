#include "gui/widgets/TWgtEditDoubleDef.h"

#include <QPushButton>

#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditDoubleDef::TWgtEditDoubleDef(double value, int decimals, QWidget *parent)
    : QWidget(parent), m_edit(new TWgtEditDouble(value, decimals))
{
    m_button = layOutWithDefaultButton(this, {m_edit});
    connect(m_button, &QPushButton::clicked, this, &TWgtEditDoubleDef::slotSetDefaultValue);
    connect(m_edit, &TWgtEditDouble::valueChanged, this, &TWgtEditDoubleDef::slotChangedValue);
}

void TWgtEditDoubleDef::setRange(double min, double max) { m_edit->setRange(min, max); }
void TWgtEditDoubleDef::setValue(double value) { m_edit->setValue(value); }

void TWgtEditDoubleDef::setDefault(double value)
{
    m_default = value;
    m_edit->setDefault(value);
}

void TWgtEditDoubleDef::setEditToolTip(const QString &text) { m_edit->setToolTip(text); }
void TWgtEditDoubleDef::setDefaultToolTip(const QString &text) { m_button->setToolTip(text); }
double TWgtEditDoubleDef::value() const { return m_edit->value(); }
double TWgtEditDoubleDef::minimum() const { return m_edit->minimum(); }
double TWgtEditDoubleDef::maximum() const { return m_edit->maximum(); }

void TWgtEditDoubleDef::slotChangedValue(double value)
{
    emit valueChanged(value);
}

void TWgtEditDoubleDef::slotSetDefaultValue()
{
    m_edit->setValue(m_default);
}
