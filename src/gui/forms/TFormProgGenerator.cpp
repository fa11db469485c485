#include "gui/forms/TFormProgGenerator.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "misc/dev_misc.h"

#include <QFormLayout>

#include <functional>

namespace {

QVector<int> within(const QVector<int> &values, int minimum, int maximum)
{
    QVector<int> out;
    for (const int v : values)
        if (v >= minimum && v <= maximum)
            out.append(v);
    return out;
}

// A list box of the values shown by text; the current item is the one
// showing the value's text, none when no item does.
TComboBox *choiceBox(const QVector<int> &values, int value, const QString &toolTip,
                     const std::function<QString(int)> &text)
{
    auto *box = new TComboBox;
    box->setToolTip(toolTip);
    box->setMaxVisibleItems(10);
    for (const int v : values)
        box->addItem(text(v));
    box->setCurrentIndex(box->findText(text(value), Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->slotChanged();
    return box;
}

int choiceOr(const TComboBox *box, const QVector<int> &values, int fallback)
{
    const int index = box->currentIndex();
    return index >= 0 && index < values.size() ? values.at(index) : fallback;
}

} // namespace

TFormProgGenerator::TFormProgGenerator(int idCmd, int freq, int duty, bool freqList, int freqMin,
                                       int freqMax, int freqDefault,
                                       const QVector<int> &freqChoices, bool dutyShown,
                                       bool dutyList, int dutyMin, int dutyMax, int dutyDefault,
                                       const QVector<int> &dutyChoices, QWidget *parent)
    : QWidget(parent), m_freqList(freqList), m_dutyList(dutyList), m_dutyShown(dutyShown),
      m_idCmd(idCmd), m_freq(freq), m_duty(duty),
      m_freqChoices(within(freqChoices, freqMin, freqMax)),
      m_dutyChoices(within(dutyChoices, dutyMin, dutyMax))
{
    m_layout = createFormRows(this);

    if (m_freqList) {
        m_freqBox = choiceBox(m_freqChoices, freq, lang.text(362), freqText);
        tagParamKey(m_freqBox, GEN_FREQ);
        m_layout->addRow(lang.text(364), m_freqBox);
        connect(m_freqBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &TFormProgGenerator::slotChanged);
    } else {
        m_freqEdit = new TWgtEditDecDef(freq);
        tagParamKey(m_freqEdit, GEN_FREQ);
        m_freqEdit->setRange(freqMin, freqMax);
        m_freqEdit->setDefault(freqDefault);
        m_freqEdit->setEditToolTip(QStringLiteral("%1..%2 Hz").arg(freqMin).arg(freqMax));
        m_freqEdit->setDefaultToolTip(QStringLiteral("Default: %1").arg(freqText(freqDefault)));
        m_layout->addRow(lang.text(364), m_freqEdit);
        connect(m_freqEdit, &TWgtEditDecDef::valueChanged, this, &TFormProgGenerator::slotChanged);
    }

    if (!m_dutyShown)
        return;
    if (m_dutyList) {
        m_dutyBox = choiceBox(m_dutyChoices, duty, lang.text(363),
                              [](int v) { return QString::number(v); });
        tagParamKey(m_dutyBox, GEN_DUTY);
        m_layout->addRow(lang.text(365), m_dutyBox);
        connect(m_dutyBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &TFormProgGenerator::slotChanged);
    } else {
        m_dutyEdit = new TWgtEditDecDef(duty);
        tagParamKey(m_dutyEdit, GEN_DUTY);
        m_dutyEdit->setRange(dutyMin, dutyMax);
        m_dutyEdit->setDefault(dutyDefault);
        m_dutyEdit->setEditToolTip(QStringLiteral("%1..%2 %").arg(dutyMin).arg(dutyMax));
        m_dutyEdit->setDefaultToolTip(QStringLiteral("Default: %1 %").arg(dutyDefault));
        m_layout->addRow(lang.text(365), m_dutyEdit);
        connect(m_dutyEdit, &TWgtEditDecDef::valueChanged, this, &TFormProgGenerator::slotChanged);
    }
}

void TFormProgGenerator::slotChanged()
{
    m_freq = m_freqList ? choiceOr(m_freqBox, m_freqChoices, m_freq) : m_freqEdit->value();
    if (!m_dutyShown)
        m_duty = 50;
    else
        m_duty = m_dutyList ? choiceOr(m_dutyBox, m_dutyChoices, m_duty) : m_dutyEdit->value();
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(GEN_FREQ), m_freq},
                                {QLatin1String(GEN_DUTY), m_duty}});
}
