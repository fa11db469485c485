#include "gui/widgets/TWgtEditDec2Def.h"

#include <QPushButton>

#include "gui/widgets/TWgtEditDec2.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditDec2Def::TWgtEditDec2Def(int value, QWidget *parent)
    : QWidget(parent), m_edit(new TWgtEditDec2(value))
{
    m_button = layOutWithDefaultButton(this, {m_edit});
    connect(m_button, &QPushButton::clicked, this, &TWgtEditDec2Def::slotSetDefaultValue);
    connect(m_edit, &TWgtEditDec2::valueChanged, this, &TWgtEditDec2Def::slotChangedValue);
}

void TWgtEditDec2Def::addRange(int low, int high) { m_edit->addRange(low, high); }
void TWgtEditDec2Def::setMagnitudeStep(bool on) { m_edit->setMagnitudeStep(on); }
void TWgtEditDec2Def::setValue(int value) { m_edit->setValue(value); }

void TWgtEditDec2Def::setDefault(int value)
{
    m_default = value;
    m_edit->setDefault(value);
}

void TWgtEditDec2Def::setEditToolTip(const QString &text) { m_edit->setToolTip(text); }
void TWgtEditDec2Def::setDefaultToolTip(const QString &text) { m_button->setToolTip(text); }
int TWgtEditDec2Def::value() const { return m_edit->value(); }

void TWgtEditDec2Def::slotChangedValue(int value)
{
    emit valueChanged(value);
}

void TWgtEditDec2Def::slotSetDefaultValue()
{
    m_edit->setValue(m_default);
}
