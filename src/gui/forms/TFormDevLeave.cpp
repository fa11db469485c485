#include "gui/forms/TFormDevLeave.h"

#include "core/TAppData.h"
#include "core/consts.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtLine.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

TFormDevLeave::TFormDevLeave(int idCmd, const QString &state, const QStringList &pinNames,
                             const QString &letters, const QStringList &stateNames,
                             bool withReset, bool reset, int duration, bool resetPolarity,
                             int durationMin, int durationMax, int durationDefault,
                             QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_state(state), m_withReset(withReset),
      m_sign(resetPolarity ? 1 : -1)
{
    // One letter per pin, whatever the caller passed.
    m_state = m_state.left(pinNames.size()).leftJustified(pinNames.size(), QLatin1Char('-'));

    // A pulse of 0 ms is no pulse, and more than 32767 ms would wrap to the
    // opposite polarity on the way to the programmer.
    const int lowest = std::clamp(durationMin, 1, maxDurationMagnitude);
    const int highest = std::clamp(durationMax, lowest, maxDurationMagnitude);

    m_reset = new QCheckBox(QStringLiteral("RESET, ms:"), this);
    m_reset->setChecked(reset);
    tagParamKey(m_reset, LEAVE_RESET);
    m_duration = new TWgtEditDecDef(duration, this);
    if (m_sign > 0)
        m_duration->setRange(lowest, highest);
    else
        m_duration->setRange(-highest, -lowest);
    m_duration->setDefault(durationDefault);
    m_duration->setMagnitudeStep(true);
    m_duration->setEditToolTip(QStringLiteral("%1..%2 ms").arg(m_sign * lowest).arg(m_sign * highest));
    m_duration->setDefaultToolTip(QStringLiteral("Default: %1 ms").arg(m_sign * qAbs(durationDefault)));
    m_duration->setEnabled(reset);
    tagParamKey(m_duration, LEAVE_DURATION);

    auto *resetRow = new QHBoxLayout;
    resetRow->setContentsMargins(0, 0, 0, 0);
    resetRow->setSpacing(3);
    resetRow->addWidget(m_reset);
    resetRow->addWidget(m_duration);
    auto *separator = new TWgtLine(10, this);

    const QFont mono(appData.fontMonoName, appData.fontMonoSize);
    auto *pinTable = new QFormLayout;
    pinTable->setContentsMargins(0, 0, 0, 0);
    pinTable->setSpacing(3);
    pinTable->setLabelAlignment(Qt::AlignRight);
    for (int i = 0; i < pinNames.size(); ++i) {
        auto *box = new TComboBox;
        box->setFont(mono);
        box->addItems(stateNames);
        box->setCurrentIndex(letters.indexOf(m_state.at(i)));
        pinTable->addRow(pinNames.at(i), box);
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &TFormDevLeave::slotChangedState);
        m_pinBoxes.append(box);
    }
    auto *tableWidget = new QWidget;
    tableWidget->setLayout(pinTable);
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(tableWidget);

    auto *buttons = new QVBoxLayout;
    buttons->setAlignment(Qt::AlignTop);
    buttons->setContentsMargins(30, 0, 0, 0);
    buttons->setSpacing(3);
    for (int j = 0; j < letters.size(); ++j) {
        auto *button = new QPushButton(QStringLiteral("All '%1'").arg(letters.at(j)));
        button->setFont(mono);
        button->setToolTip(stateNames.value(j));
        connect(button, &QPushButton::clicked, this, &TFormDevLeave::slotSetStateAll);
        buttons->addWidget(button);
        m_allButtons.append(button);
    }

    auto *lower = new QHBoxLayout;
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    lower->addWidget(scroll);
    lower->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_withReset) {
        layout->addLayout(resetRow);
        layout->addWidget(separator);
    } else {
        delete resetRow;
        m_reset->hide();
        m_duration->hide();
        separator->hide();
    }
    layout->addLayout(lower);

    connect(m_reset, &QCheckBox::stateChanged, this, &TFormDevLeave::slotChangedReset);
    connect(m_duration, &TWgtEditDecDef::valueChanged, this, &TFormDevLeave::slotChangedReset);
}

void TFormDevLeave::slotChangedState()
{
    auto *box = qobject_cast<TComboBox *>(sender());
    const int p = m_pinBoxes.indexOf(box);
    if (p < 0)
        return;
    box->setPalette(QApplication::palette());
    const QString text = box->currentText();
    if (!text.isEmpty())
        m_state[p] = text.at(0);
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(LEAVE_STATE), m_state}});
}

void TFormDevLeave::slotSetStateAll()
{
    const int j = m_allButtons.indexOf(qobject_cast<QPushButton *>(sender()));
    if (j < 0)
        return;
    const QChar letter = m_allButtons.at(j)->text().at(5);
    m_state = QString(m_pinBoxes.size(), letter);
    for (TComboBox *box : qAsConst(m_pinBoxes)) {
        const bool blocked = box->blockSignals(true);
        box->setCurrentIndex(j);
        box->setPalette(QApplication::palette());
        box->blockSignals(blocked);
    }
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(LEAVE_STATE), m_state}});
}

void TFormDevLeave::slotChangedReset()
{
    m_duration->setEnabled(m_reset->isChecked());
    m_duration->setValue(m_sign * qAbs(m_duration->value()));
    TData data{{QLatin1String(REC_ID_CMD), m_idCmd}};
    if (m_withReset) {
        data.insert(QLatin1String(LEAVE_RESET), m_reset->isChecked());
        data.insert(QLatin1String(LEAVE_DURATION), m_duration->value());
    }
    emit signalChangedCmdParam(data);
}
