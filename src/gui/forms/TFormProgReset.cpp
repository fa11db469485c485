#include "gui/forms/TFormProgReset.h"

#include "core/consts.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TWgtEditDec2Def.h"
#include "gui/widgets/TWgtEditDoubleDef.h"

#include <QFormLayout>

#include <algorithm>

namespace {

QFormLayout *oneRow(QWidget *form, const QString &label, QWidget *edit)
{
    QFormLayout *layout = createFormRows(form);
    layout->addRow(label, edit);
    return layout;
}

} // namespace

TFormProgReset::TFormProgReset(int idCmd, int duration, int durationMin, int durationMax,
                               int durationDefault, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    const int lowest = std::clamp(durationMin, 1, maxDurationMagnitude);
    const int highest = std::clamp(durationMax, lowest, maxDurationMagnitude);
    m_edit = new TWgtEditDec2Def(duration);
    m_edit->addRange(-highest, -lowest);
    m_edit->addRange(lowest, highest);
    m_edit->setDefault(durationDefault);
    m_edit->setMagnitudeStep(true);
    m_edit->setEditToolTip(QStringLiteral("%1..%2, %3..%4 ms")
                               .arg(-lowest).arg(-highest).arg(lowest).arg(highest));
    m_edit->setDefaultToolTip(QStringLiteral("Default: %1 ms").arg(durationDefault));
    tagParamKey(m_edit, RESET_DURATION);
    m_layout = oneRow(this, QStringLiteral("Reset, ms:"), m_edit);
    connect(m_edit, &TWgtEditDec2Def::valueChanged, this, &TFormProgReset::slotChanged);
}

void TFormProgReset::slotChanged()
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(RESET_DURATION), m_edit->value()}});
}

TFormProgSetVCC::TFormProgSetVCC(int idCmd, double vcc, double vccMin, double vccMax,
                                 double vccDefault, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    const double lowest = std::clamp(vccMin, 0.0, maxVoltage);
    const double highest = std::clamp(vccMax, lowest, maxVoltage);
    m_edit = new TWgtEditDoubleDef(vcc, 1);
    m_edit->setRange(lowest, highest);
    m_edit->setDefault(vccDefault);
    m_edit->setEditToolTip(QStringLiteral("%1..%2 V")
                               .arg(QString::number(lowest, 'g', 6), QString::number(highest, 'g', 6)));
    m_edit->setDefaultToolTip(QStringLiteral("Default: %1 V").arg(QString::number(vccDefault, 'g', 6)));
    tagParamKey(m_edit, SUPPLY_VCC);
    m_layout = oneRow(this, QStringLiteral("Vcc, V:"), m_edit);
    connect(m_edit, &TWgtEditDoubleDef::valueChanged, this, &TFormProgSetVCC::slotChanged);
}

void TFormProgSetVCC::slotChanged()
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(SUPPLY_VCC), QString::number(m_edit->value(), 'f', 1)}});
}
