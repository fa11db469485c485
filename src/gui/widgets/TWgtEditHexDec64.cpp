#include "gui/widgets/TWgtEditHexDec64.h"

#include <QPushButton>

#include "gui/widgets/TWgtEditDec64.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/wgt_misc.h"
#include "misc/dev_misc.h"

TWgtEditHexDec64::TWgtEditHexDec64(qint64 value, QWidget *parent)
    : QWidget(parent), m_hex(new TWgtEditHex64(value)), m_dec(new TWgtEditDec64(value))
{
    m_button = layOutWithDefaultButton(this, {m_hex, m_dec});
    connect(m_button, &QPushButton::clicked, this, &TWgtEditHexDec64::slotSetDefault);
    connect(m_hex, &TWgtEditHex64::valueChanged, this, &TWgtEditHexDec64::slotChangedHex);
    connect(m_dec, &TWgtEditDec64::valueChanged, this, &TWgtEditHexDec64::slotChangedDec);
}

void TWgtEditHexDec64::setRange(qint64 min, qint64 max)
{
    m_hex->setRange(min, max);
    m_hex->setToolTip(QStringLiteral("0x%1..0x%2").arg(hexText64(min), hexText64(max)));
    m_dec->setRange(min, max);
    m_dec->setToolTip(QStringLiteral("%1..%2").arg(min).arg(max));
}

void TWgtEditHexDec64::setMaximum(qint64 max)
{
    setRange(m_dec->minimum(), max);
}

void TWgtEditHexDec64::setValue(qint64 value)
{
    m_dec->setValue(value);
    m_hex->setValue(value);
}

void TWgtEditHexDec64::markChangedFrom(qint64 before)
{
    m_hex->markChangedFrom(before);
    m_dec->markChangedFrom(before);
}

void TWgtEditHexDec64::setDefault(qint64 value)
{
    m_default = value;
    m_hex->setDefault(value);
    m_dec->setDefault(value);
    m_button->setToolTip(QStringLiteral("Default: 0x%1 [%2]").arg(hexText64(value)).arg(value));
}

qint64 TWgtEditHexDec64::value() const { return m_dec->value(); }
qint64 TWgtEditHexDec64::minimum() const { return m_dec->minimum(); }
qint64 TWgtEditHexDec64::maximum() const { return m_dec->maximum(); }

void TWgtEditHexDec64::slotChangedHex(qint64 value)
{
    // The decimal edit's change comes back through slotChangedDec.
    if (m_dec->value() != value || m_dec->isDamaged())
        m_dec->setValue(value);
}

void TWgtEditHexDec64::slotChangedDec(qint64 value)
{
    if (m_hex->value() != value || m_hex->isDamaged())
        m_hex->setValue(value);
    emit valueChanged(value);
}

void TWgtEditHexDec64::slotSetDefault()
{
    m_dec->setValue(m_default);
    m_hex->setValue(m_default);
}
