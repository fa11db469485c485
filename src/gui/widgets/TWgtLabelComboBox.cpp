#include "gui/widgets/TWgtLabelComboBox.h"

#include <QHBoxLayout>
#include <QLabel>

#include "gui/widgets/TComboBox.h"

TWgtLabelComboBox::TWgtLabelComboBox(const QString &label, const QStringList &items,
                                     int placement, QWidget *parent)
    : QWidget(parent), m_combo(new TComboBox)
{
    m_combo->addItems(items);
    m_label = new QLabel(label);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_label);
    if (placement == 1) {
        layout->addWidget(m_combo, 1);
    } else {
        layout->addStretch();
        layout->addWidget(m_combo);
    }

    connect(m_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TWgtLabelComboBox::slotChange);
}

void TWgtLabelComboBox::setCurrentIndex(int index)
{
    m_combo->setCurrentIndex(index);
}

void TWgtLabelComboBox::setCurrentText(const QString &text)
{
    int found = -1;
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemText(i) == text)
            found = i;
    }
    m_combo->setCurrentIndex(found);
}

void TWgtLabelComboBox::selectText(const QString &text)
{
    m_combo->setCurrentIndex(m_combo->findData(text, Qt::DisplayRole, Qt::MatchFixedString));
}

int TWgtLabelComboBox::currentIndex() const
{
    return m_combo->currentIndex();
}

QString TWgtLabelComboBox::currentText() const
{
    return m_combo->currentText();
}

void TWgtLabelComboBox::setToolTip(const QString &text)
{
    m_combo->setToolTip(text);
}

void TWgtLabelComboBox::slotChange(int index)
{
    emit signalChange(index);
}
