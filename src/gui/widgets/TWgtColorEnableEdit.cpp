#include "gui/widgets/TWgtColorEnableEdit.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QHBoxLayout>

#include "gui/widgets/TWgtLabelBtn.h"

TWgtColorEnableEdit::TWgtColorEnableEdit(const QString &text, QWidget *parent)
    : QWidget(parent), m_check(new QCheckBox(text)), m_swatch(new TWgtLabelBtn)
{
    m_swatch->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_swatch->setFixedWidth(100);
    m_swatch->setCursor(Qt::PointingHandCursor);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_check);
    layout->addStretch();
    layout->addWidget(m_swatch);

    connect(m_swatch, &TWgtLabelBtn::clicked, this, &TWgtColorEnableEdit::slotSelectColor);
}

void TWgtColorEnableEdit::setColor(const QColor &color)
{
    m_color = color;
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(color, Qt::SolidPattern));
    m_swatch->setPalette(palette);
    m_swatch->setAutoFillBackground(true);
}

void TWgtColorEnableEdit::setChecked(bool checked)
{
    m_check->setChecked(checked);
}

bool TWgtColorEnableEdit::isChecked() const
{
    return m_check->isChecked();
}

void TWgtColorEnableEdit::slotSelectColor()
{
    const QColor chosen = QColorDialog::getColor(m_color, this, QString(), {});
    if (chosen.isValid())
        setColor(chosen);
}
