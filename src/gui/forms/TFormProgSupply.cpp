#include "gui/forms/TFormProgSupply.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TWgtEditDoubleDef.h"

#include <QCheckBox>
#include <QFormLayout>

#include <algorithm>

namespace {

constexpr int MSG_OCP_TIP = 366;

QString number(double value)
{
    return QString::number(value, 'g');
}

// What the requests carry: a voltage byte of 0.1 V, Icc in 32 bits and Ipp
// in 16 bits of microamperes. The edits never offer more.
constexpr double VOLTAGE_FIELD = 25.5;
constexpr double ICC_FIELD = 4294967.295;
constexpr double IPP_FIELD = 65.535;

// A voltage (1 decimal, "V") or current (3 decimals, "mA") edit with its
// range, kept within what its field carries, and default. The range tip goes
// to the inner edit, or to the whole widget when the form has only this one
// edit.
TWgtEditDoubleDef *supplyEdit(double value, int decimals, const char *unit, double min, double max,
                              double byDefault, bool tipOnWidget, double field)
{
    min = std::clamp(min, 0.0, field);
    max = std::clamp(max, min, field);
    auto *edit = new TWgtEditDoubleDef(value, decimals);
    edit->setRange(min, max);
    edit->setDefault(byDefault);
    const QString range = QStringLiteral("%1..%2 %3").arg(number(min), number(max), QLatin1String(unit));
    if (tipOnWidget)
        edit->setToolTip(range);
    else
        edit->setEditToolTip(range);
    edit->setDefaultToolTip(QStringLiteral("Default: %1 %2").arg(number(byDefault), QLatin1String(unit)));
    return edit;
}

QCheckBox *ocpBox(bool ocp)
{
    auto *box = new QCheckBox;
    box->setToolTip(lang.text(MSG_OCP_TIP));
    box->setChecked(ocp);
    tagParamKey(box, SUPPLY_OCP);
    return box;
}

TData supplyRecord(int idCmd, const char *voltageKey, const TWgtEditDoubleDef *voltage,
                   const char *currentKey = nullptr, const TWgtEditDoubleDef *current = nullptr,
                   const QCheckBox *ocp = nullptr)
{
    TData data;
    data.insert(QLatin1String(REC_ID_CMD), idCmd);
    data.insert(QLatin1String(voltageKey), QString::number(voltage->value(), 'f', 1));
    if (currentKey) {
        data.insert(QLatin1String(currentKey), QString::number(current->value(), 'f', 3));
        data.insert(QLatin1String(SUPPLY_OCP), ocp->isChecked() ? 1 : 0);
    }
    return data;
}

// The rows of a voltage, current and protection form, and its connections,
// made last so that building the form emits nothing.
template <class Form>
void layOutWithCurrent(Form *form, QFormLayout *layout, TWgtEditDoubleDef *voltage, const char *voltageLabel,
                       TWgtEditDoubleDef *current, const char *currentLabel, QCheckBox *ocp)
{
    layout->addRow(QLatin1String(voltageLabel), voltage);
    layout->addRow(QLatin1String(currentLabel), current);
    layout->addRow(QStringLiteral("OCP:"), ocp);
    QObject::connect(voltage, &TWgtEditDoubleDef::valueChanged, form, &Form::slotChanged);
    QObject::connect(current, &TWgtEditDoubleDef::valueChanged, form, &Form::slotChanged);
    QObject::connect(ocp, &QCheckBox::stateChanged, form, &Form::slotChanged);
}

} // namespace

// ---- Vcc, Icc, OCP ------------------------------------------------------------

TFormProgSetVICC::TFormProgSetVICC(int idCmd, double vcc, double icc, bool ocp, double vccMin,
                                   double vccMax, double vccDefault, double iccMin, double iccMax,
                                   double iccDefault, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd),
      m_layout(nullptr),
      m_voltage(supplyEdit(vcc, 1, "V", vccMin, vccMax, vccDefault, false, VOLTAGE_FIELD)),
      m_current(supplyEdit(icc, 3, "mA", iccMin, iccMax, iccDefault, false, ICC_FIELD)),
      m_ocp(ocpBox(ocp))
{
    m_layout = createFormRows(this);
    tagParamKey(m_voltage, SUPPLY_VCC);
    tagParamKey(m_current, SUPPLY_ICC);
    layOutWithCurrent(this, m_layout, m_voltage, "Vcc, V:", m_current, "Icc, mA:", m_ocp);
}

TFormProgSetVICC::~TFormProgSetVICC()
{
    delete m_voltage;
    delete m_current;
    delete m_ocp;
    delete m_layout;
}

void TFormProgSetVICC::slotChanged()
{
    emit signalChangedCmdParam(supplyRecord(m_idCmd, SUPPLY_VCC, m_voltage, SUPPLY_ICC, m_current, m_ocp));
}

// ---- Vpp, Ipp, OCP ------------------------------------------------------------

TFormProgSetVIPP::TFormProgSetVIPP(int idCmd, double vpp, double ipp, bool ocp, double vppMin,
                                   double vppMax, double vppDefault, double ippMin, double ippMax,
                                   double ippDefault, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd),
      m_layout(nullptr),
      m_voltage(supplyEdit(vpp, 1, "V", vppMin, vppMax, vppDefault, false, VOLTAGE_FIELD)),
      m_current(supplyEdit(ipp, 3, "mA", ippMin, ippMax, ippDefault, false, IPP_FIELD)),
      m_ocp(ocpBox(ocp))
{
    m_layout = createFormRows(this);
    tagParamKey(m_voltage, SUPPLY_VPP);
    tagParamKey(m_current, SUPPLY_IPP);
    layOutWithCurrent(this, m_layout, m_voltage, "Vpp, V:", m_current, "Ipp, mA:", m_ocp);
}

TFormProgSetVIPP::~TFormProgSetVIPP()
{
    delete m_voltage;
    delete m_current;
    delete m_ocp;
    delete m_layout;
}

void TFormProgSetVIPP::slotChanged()
{
    emit signalChangedCmdParam(supplyRecord(m_idCmd, SUPPLY_VPP, m_voltage, SUPPLY_IPP, m_current, m_ocp));
}

// ---- Vpp alone ------------------------------------------------------------------

TFormProgSetVPP::TFormProgSetVPP(int idCmd, double vpp, double vppMin, double vppMax,
                                 double vppDefault, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd),
      m_layout(nullptr),
      m_voltage(supplyEdit(vpp, 1, "V", vppMin, vppMax, vppDefault, true, VOLTAGE_FIELD))
{
    m_layout = createFormRows(this);
    tagParamKey(m_voltage, SUPPLY_VPP);
    m_layout->addRow(QStringLiteral("Vpp, V:"), m_voltage);
    connect(m_voltage, &TWgtEditDoubleDef::valueChanged, this, &TFormProgSetVPP::slotChanged);
}

TFormProgSetVPP::~TFormProgSetVPP()
{
    delete m_voltage;
    delete m_layout;
}

void TFormProgSetVPP::slotChanged()
{
    emit signalChangedCmdParam(supplyRecord(m_idCmd, SUPPLY_VPP, m_voltage));
}
