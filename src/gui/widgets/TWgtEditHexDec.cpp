#include "gui/widgets/TWgtEditHexDec.h"

#include <QPushButton>

#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/wgt_misc.h"
#include "misc/dev_misc.h"

TWgtEditHexDec::TWgtEditHexDec(int value, QWidget *parent)
    : QWidget(parent), m_hex(new TWgtEditHex(value)), m_dec(new TWgtEditDec(value))
{
    m_button = layOutWithDefaultButton(this, {m_hex, m_dec});
    connect(m_button, &QPushButton::clicked, this, &TWgtEditHexDec::slotSetDefaultValue);
    connect(m_hex, &TWgtEditHex::valueChanged, this, &TWgtEditHexDec::slotChangedHex);
    connect(m_dec, &TWgtEditDec::valueChanged, this, &TWgtEditHexDec::slotChangedDec);
}

void TWgtEditHexDec::setRange(int min, int max)
{
    m_hex->setRange(min, max);
    m_hex->setToolTip(QStringLiteral("0x%1..0x%2").arg(hexText(min), hexText(max)));
    m_dec->setRange(min, max);
    m_dec->setToolTip(QStringLiteral("%1..%2").arg(min).arg(max));
}

void TWgtEditHexDec::setDefault(int value)
{
    m_default = value;
    m_hex->setDefault(value);
    m_dec->setDefault(value);
    m_button->setToolTip(QStringLiteral("Default: 0x%1 [%2]").arg(hexText(value)).arg(value));
}

int TWgtEditHexDec::value() const { return m_dec->value(); }
int TWgtEditHexDec::minimum() const { return m_dec->minimum(); }
int TWgtEditHexDec::maximum() const { return m_dec->maximum(); }

void TWgtEditHexDec::slotChangedHex(int value)
{
    // The decimal edit's change comes back through slotChangedDec.
    if (m_dec->value() != value || m_dec->isDamaged())
        m_dec->setValue(value);
}

void TWgtEditHexDec::slotChangedDec(int value)
{
    if (m_hex->value() != value || m_hex->isDamaged())
        m_hex->setValue(value);
    emit valueChanged(value);
}

void TWgtEditHexDec::slotSetDefaultValue()
{
    m_dec->setValue(m_default);
    // The decimal edit may have negated the default into the range where the
    // hexadecimal one would clamp it: follow the decimal edit, so the click
    // ends on one value with one signal.
    m_hex->setValue(m_dec->value());
}
