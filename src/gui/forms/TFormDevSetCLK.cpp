#include "gui/forms/TFormDevSetCLK.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "misc/dev_misc.h"

#include <QFormLayout>

TFormDevSetCLK::TFormDevSetCLK(int idCmd, int clk, bool useList, int clkMin, int clkMax,
                               int clkDefault, const QVector<int> &clockList, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_clk(clk), m_useList(useList)
{
    // A clock of 0 stops the interface: never offered, whatever the limits.
    const int lowest = qMax(clkMin, 1);
    for (const int level : clockList)
        if (level >= lowest && level <= clkMax)
            m_clockList.append(level);

    m_edit = new TWgtEditDecDef(clk, this);
    m_edit->setRange(lowest, clkMax);
    m_edit->setDefault(clkDefault);
    m_edit->setEditToolTip(QStringLiteral("%1..%2 Hz").arg(lowest).arg(clkMax));
    m_edit->setDefaultToolTip(QStringLiteral("Default: %1").arg(freqText(clkDefault)));

    m_box = new TComboBox(this);
    m_box->setToolTip(lang.text(367));
    m_box->setMaxVisibleItems(10);
    for (const int level : qAsConst(m_clockList))
        m_box->addItem(freqText(level));
    m_box->setCurrentIndex(m_box->findText(freqText(clk), Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_box->slotChanged();

    tagParamKey(m_useList ? static_cast<QWidget *>(m_box) : m_edit, SET_CLK_CLK);
    m_layout = createFormRows(this);
    if (m_useList) {
        m_edit->hide();
        m_layout->addRow(lang.text(368), m_box);
        connect(m_box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &TFormDevSetCLK::slotChanged);
    } else {
        m_box->hide();
        m_layout->addRow(lang.text(368), m_edit);
        connect(m_edit, &TWgtEditDecDef::valueChanged, this, &TFormDevSetCLK::slotChanged);
    }
}

void TFormDevSetCLK::slotChanged()
{
    if (!m_useList) {
        m_clk = m_edit->value();
    } else {
        const int index = m_box->currentIndex();
        if (index < 0 || index >= m_clockList.size())
            return;
        m_clk = m_clockList.at(index);
    }
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(SET_CLK_CLK), m_clk}});
}
