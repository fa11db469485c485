#include "gui/widgets/TWgtEditDecDef.h"

#include <QPushButton>

#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditDecDef::TWgtEditDecDef(int value, QWidget *parent)
    : QWidget(parent), m_edit(new TWgtEditDec(value))
{
    m_button = layOutWithDefaultButton(this, {m_edit});
    connect(m_button, &QPushButton::clicked, this, &TWgtEditDecDef::slotSetDefaultValue);
    connect(m_edit, &TWgtEditDec::valueChanged, this, &TWgtEditDecDef::slotChangedValue);
}

void TWgtEditDecDef::setRange(int min, int max) { m_edit->setRange(min, max); }
void TWgtEditDecDef::setMagnitudeStep(bool on) { m_edit->setMagnitudeStep(on); }
void TWgtEditDecDef::setValue(int value) { m_edit->setValue(value); }
void TWgtEditDecDef::markChangedFrom(int before) { m_edit->markChangedFrom(before); }

void TWgtEditDecDef::setDefault(int value)
{
    m_default = value;
    m_edit->setDefault(value);
}

void TWgtEditDecDef::setEditToolTip(const QString &text) { m_edit->setToolTip(text); }
void TWgtEditDecDef::setDefaultToolTip(const QString &text) { m_button->setToolTip(text); }
int TWgtEditDecDef::value() const { return m_edit->value(); }
int TWgtEditDecDef::minimum() const { return m_edit->minimum(); }
int TWgtEditDecDef::maximum() const { return m_edit->maximum(); }

void TWgtEditDecDef::slotChangedValue(int value)
{
    emit valueChanged(value);
}

void TWgtEditDecDef::slotSetDefaultValue()
{
    m_edit->setValue(m_default);
}
