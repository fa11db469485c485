#include "gui/forms/TFormDevCfgItems.h"

#include "core/TAppData.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "misc/dev_misc.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

char byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? bytes.at(i) : char(0);
}

} // namespace

IFormDevCfgBase::IFormDevCfgBase(const QByteArray &mask, bool inverted, QWidget *parent)
    : QWidget(parent), m_inverted(inverted), m_mask(mask)
{
}

// ---- Check box --------------------------------------------------------------

TFormDevCfgCheckBox::TFormDevCfgCheckBox(bool boxRight, const QByteArray &mask, bool inverted,
                                         int colorMode, const QString &label,
                                         const QString &toolTip, QWidget *parent)
    : IFormDevCfgBase(mask, inverted, parent), m_colorMode(colorMode),
      m_checked(mask.size(), char(0)), m_unchecked(mask.size(), char(0)),
      m_box(new QCheckBox(this)), m_label(new TWgtLabelBtn(label, this)),
      m_layout(new QHBoxLayout(this))
{
    for (int i = 0; i < mask.size(); ++i) {
        (inverted ? m_unchecked : m_checked)[i] = mask.at(i);
    }
    m_box->setFixedHeight(21);
    m_normalColor = m_box->palette().brush(QPalette::Current, QPalette::WindowText).color();
    if (!toolTip.isEmpty()) {
        m_box->setToolTip(toolTip);
        m_label->setToolTip(toolTip);
    }
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(5);
    m_layout->addWidget(m_box);
    m_layout->addWidget(m_label);
    m_layout->setDirection(boxRight ? QBoxLayout::RightToLeft : QBoxLayout::LeftToRight);
    m_layout->setAlignment(boxRight ? Qt::AlignRight : Qt::AlignLeft);

    applyColor();
    connect(m_box, &QCheckBox::stateChanged, this, &TFormDevCfgCheckBox::slotChanged);
    connect(m_label, &TWgtLabelBtn::clicked, this, &TFormDevCfgCheckBox::slotChangedLabel);
}

QByteArray TFormDevCfgCheckBox::value()
{
    return m_box->isChecked() ? m_checked : m_unchecked;
}

void TFormDevCfgCheckBox::setData(const QByteArray &data)
{
    bool checked = false;
    for (int i = 0; i < data.size() && !checked; ++i) {
        const uchar m = uchar(byteAt(m_mask, i));
        const uchar d = uchar(data.at(i));
        checked = m_inverted ? (m & ~d & 0xFF) != 0 : (m & d) != 0;
    }
    m_box->setChecked(checked);
}

void TFormDevCfgCheckBox::setBoxEnabled(bool enabled)
{
    m_box->setEnabled(enabled);
}

void TFormDevCfgCheckBox::slotChanged()
{
    applyColor();
    emit signalChanged(m_mask, value());
}

void TFormDevCfgCheckBox::slotChangedLabel()
{
    if (m_box->isEnabled())
        m_box->toggle();
}

void TFormDevCfgCheckBox::applyColor()
{
    if (m_colorMode < 1 || m_colorMode > 4)
        return;
    const int state = (m_box->isChecked() != m_inverted) ? 1 : 0;
    QColor color = m_normalColor;
    if (m_colorMode <= 2) {
        if (state == m_colorMode - 1 && appData.cmdParamEnableColorWarning)
            color = appData.cmdParamColorWarning;
    } else if (state == m_colorMode - 3 && appData.cmdParamEnableColorAlarm) {
        color = appData.cmdParamColorAlarm;
    }
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(color, Qt::SolidPattern));
    setPalette(palette);
}

// ---- Combo box --------------------------------------------------------------

TFormDevCfgComboBoxLabel::TFormDevCfgComboBoxLabel(int placement, const QByteArray &mask,
                                                   bool inverted, const QString &label,
                                                   QWidget *parent)
    : IFormDevCfgBase(mask, inverted, parent), m_label(new QLabel(label, this)),
      m_box(new TComboBox(this)), m_layout(new QBoxLayout(QBoxLayout::BottomToTop, this))
{
    m_box->setFixedHeight(21);
    m_box->setMaxVisibleItems(25);
    m_layout->addWidget(m_box);
    switch (placement) {
    case 0:
        m_box->setToolTip(label);
        m_label->hide();
        break;
    case 1:
        m_layout->addWidget(m_label, 0, Qt::AlignLeft);
        break;
    case 2:
        m_layout->addWidget(m_label, 0, Qt::AlignCenter);
        break;
    case 3:
        m_layout->addWidget(m_label, 0, Qt::AlignRight);
        break;
    default:
        m_layout->setDirection(placement == 4 ? QBoxLayout::RightToLeft : QBoxLayout::LeftToRight);
        m_layout->setStretchFactor(m_box, 1);
        m_layout->addWidget(m_label, 0);
        break;
    }
    m_layout->setContentsMargins(0, 0, 0, 3);
    m_layout->setSpacing(3);
    connect(m_box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormDevCfgComboBoxLabel::slotChanged);
}

QByteArray TFormDevCfgComboBoxLabel::value()
{
    return m_value;
}

void TFormDevCfgComboBoxLabel::setData(const QByteArray &data)
{
    QByteArray masked(qMax(m_mask.size(), data.size()), char(0));
    for (int i = 0; i < data.size(); ++i)
        masked[i] = char(byteAt(m_mask, i) & data.at(i));
    int match = -1;
    for (int k = 0; k < m_values.size(); ++k) {
        if (m_values.at(k) == masked) {
            match = k;
            m_value = m_values.at(k);
        }
    }
    m_box->setCurrentIndex(match);
}

void TFormDevCfgComboBoxLabel::addItem(const QByteArray &value, const QString &text)
{
    m_values.append(value);
    // The first choice becomes current on its own; that is no choice of
    // the user and must not reach the image.
    const QSignalBlocker blocker(this);
    m_box->addItem(text);
}

void TFormDevCfgComboBoxLabel::slotChanged()
{
    const int index = m_box->currentIndex();
    if (index < 0 || index >= m_values.size())
        return;
    m_value = m_values.at(index);
    emit signalChanged(m_mask, m_value);
}

// ---- Edit -------------------------------------------------------------------

TFormDevCfgEditLabel::TFormDevCfgEditLabel(bool editRight, const QByteArray &mask, bool readOnly,
                                           int width, const QString &label, QWidget *parent)
    : IFormDevCfgBase(mask, false, parent), m_label(new QLabel(label, this)),
      m_edit(new QLineEdit(this)), m_layout(new QHBoxLayout(this))
{
    m_edit->setReadOnly(readOnly);
    m_edit->setFixedHeight(21);
    if (width > 0)
        m_edit->setFixedWidth(width);
    m_layout->setContentsMargins(0, 0, 0, 3);
    m_layout->setSpacing(3);
    if (!editRight) {
        m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_edit->setAlignment(Qt::AlignRight);
        m_layout->addWidget(m_edit);
        m_layout->addWidget(m_label);
        m_layout->addStretch();
    } else {
        m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_edit->setAlignment(Qt::AlignLeft);
        m_layout->addWidget(m_label);
        m_layout->addWidget(m_edit);
        if (width > 0)
            m_layout->addStretch();
    }
}

QByteArray TFormDevCfgEditLabel::value()
{
    return QByteArray();
}

void TFormDevCfgEditLabel::setData(const QByteArray &data)
{
    QByteArray shown;
    for (int i = 0; i < data.size(); ++i) {
        const char m = byteAt(m_mask, i);
        if (m != 0)
            shown.append(char(m & data.at(i)));
    }
    m_edit->setText(bytesToHexString(shown));
}

// ---- Button -----------------------------------------------------------------

TFormDevCfgButton::TFormDevCfgButton(const QByteArray &mask, const QByteArray &value, int height,
                                     const QString &text, const QString &toolTip, QWidget *parent)
    : IFormDevCfgBase(mask, false, parent), m_value(value), m_button(new QPushButton(text, this)),
      m_layout(new QHBoxLayout(this))
{
    m_button->setToolTip(toolTip);
    m_button->setFixedHeight(height);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &TFormDevCfgButton::slotChanged);
}

QByteArray TFormDevCfgButton::value()
{
    return QByteArray();
}

void TFormDevCfgButton::setData(const QByteArray &data)
{
    Q_UNUSED(data)
}

void TFormDevCfgButton::slotChanged()
{
    emit signalChanged(m_mask, m_value);
}
