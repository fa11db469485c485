#include "gui/forms/TFormDevEraseBlocks.h"

#include "core/consts.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "misc/dev_misc.h"

#include <QFormLayout>

#include <limits>

TFormDevEraseBlocks::TFormDevEraseBlocks(int idCmd, const QList<int> &sizes, int size, int begin,
                                         int count, qint64 memorySize, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_memorySize(memorySize), m_sizes(sizes)
{
    m_size = new TComboBox;
    m_size->setMaxVisibleItems(10);
    for (const int s : qAsConst(m_sizes))
        m_size->addItem(sizeName(s));
    m_size->setCurrentIndex(m_size->findText(sizeName(size), Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_size->slotChanged();
    tagParamKey(m_size, BLOCKS_SIZE);
    connect(m_size, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormDevEraseBlocks::slotChanged);

    m_begin = new TWgtEditDecDef(begin);
    m_begin->setDefault(0);
    tagParamKey(m_begin, BLOCKS_BEGIN);
    m_begin->setDefaultToolTip(QStringLiteral("Default: %1").arg(0));
    connect(m_begin, &TWgtEditDecDef::valueChanged, this, &TFormDevEraseBlocks::slotChanged);

    m_count = new TWgtEditDecDef(count);
    tagParamKey(m_count, BLOCKS_COUNT);
    connect(m_count, &TWgtEditDecDef::valueChanged, this, &TFormDevEraseBlocks::slotChanged);

    int s = 0, b = 0, c = 0;
    updateLimits(s, b, c);

    m_layout = createFormRows(this);
    m_layout->addRow(QStringLiteral("Размер блока:"), m_size);
    m_layout->addRow(QStringLiteral("Начальный блок:"), m_begin);
    m_layout->addRow(QStringLiteral("Количество блоков:"), m_count);
}

bool TFormDevEraseBlocks::updateLimits(int &size, int &begin, int &count)
{
    const int index = m_size->currentIndex();
    size = index >= 0 && index < m_sizes.size() ? m_sizes.at(index) : 0;
    if (size <= 0)
        return false;
    const int blocks = int(qBound<qint64>(0, m_memorySize / size, std::numeric_limits<int>::max()));
    begin = m_begin->value();
    count = m_count->value();
    // Blocks left from the first one; at least one block is always reported.
    const int rest = int(qMax<qint64>(1, qint64(blocks) - begin));
    m_begin->setRange(0, blocks - 1);
    m_begin->setEditToolTip(QStringLiteral("%1..%2").arg(0).arg(blocks - 1));
    m_count->setRange(1, rest);
    if (qint64(begin) + count > blocks || count < 1) {
        // The count shown stands no more since the start or the block size
        // changed: it is cut to the blocks left, and the field says so.
        const int before = count;
        count = qMin(rest, qMax(count, 1));
        const bool blocked = m_count->blockSignals(true);
        m_count->setValue(count);
        m_count->blockSignals(blocked);
        m_count->markChangedFrom(before);
    }
    m_count->setDefault(rest);
    m_count->setEditToolTip(QStringLiteral("%1..%2").arg(1).arg(rest));
    m_count->setDefaultToolTip(QStringLiteral("Default: %1").arg(rest));
    count = m_count->value();
    return true;
}

void TFormDevEraseBlocks::slotChanged()
{
    int size = 0, begin = 0, count = 0;
    if (!updateLimits(size, begin, count))
        return;
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(BLOCKS_SIZE), size},
                                {QLatin1String(BLOCKS_BEGIN), begin},
                                {QLatin1String(BLOCKS_COUNT), count}});
}
