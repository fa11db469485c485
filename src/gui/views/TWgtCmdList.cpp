#include "gui/views/TWgtCmdList.h"

#include "core/TAppData.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/widgets/TStyleCmdList.h"

#include <QApplication>
#include <array>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QTableWidget>

namespace {

enum Column { COL_CHECK = 0, COL_NAME = 1, COL_TEXT = 2, COL_COUNT = 3 };

// The colour table: which code, and where its settings live.
struct ColorSource
{
    const char *code;
    bool TAppData::*enabled;
    QColor TAppData::*color;
};

const ColorSource colorSources[TWgtCmdList::CMD_COLOR_COUNT] = {
    {CMD_SET_PROG, &TAppData::cmdToolsSetProgColorEnable, &TAppData::cmdToolsSetProgColor},
    {CMD_EXECUTE, &TAppData::cmdToolsExecuteColorEnable, &TAppData::cmdToolsExecuteColor},
    {CMD_DELAY, &TAppData::cmdToolsDelayColorEnable, &TAppData::cmdToolsDelayColor},
    {CMD_COUNTER, &TAppData::cmdToolsCounterColorEnable, &TAppData::cmdToolsCounterColor},
    {CMD_JAMP, &TAppData::cmdToolsJampColorEnable, &TAppData::cmdToolsJampColor},
    {CMD_PAUSE, &TAppData::cmdToolsPauseColorEnable, &TAppData::cmdToolsPauseColor},
    {CMD_STOP, &TAppData::cmdToolsStopColorEnable, &TAppData::cmdToolsStopColor},
    {CMD_CALC_CRC, &TAppData::cmdToolsCalcCRCColorEnable, &TAppData::cmdToolsCalcCRCColor},
    {CMD_PROCESS, &TAppData::cmdToolsProcessColorEnable, &TAppData::cmdToolsProcessColor},
    {CMD_SET_DEVICE, &TAppData::cmdProgSetDeviceColorEnable, &TAppData::cmdProgSetDeviceColor},
    {CMD_AUTO_DETECT, &TAppData::cmdProgAutoDetectColorEnable, &TAppData::cmdProgAutoDetectColor},
    {CMD_RESET, &TAppData::cmdProgResetColorEnable, &TAppData::cmdProgResetColor},
    {CMD_GENERATOR, &TAppData::cmdProgGeneratorColorEnable, &TAppData::cmdProgGeneratorColor},
    {CMD_SET_IO, &TAppData::cmdProgSetIOColorEnable, &TAppData::cmdProgSetIOColor},
    {CMD_LEAVE, &TAppData::cmdDeviceLeaveColorEnable, &TAppData::cmdDeviceLeaveColor},
};

// Every flag clear and every colour invalid until the settings are applied.
std::array<TWgtCmdList::CmdColor, TWgtCmdList::CMD_COLOR_COUNT> makeColorTable()
{
    std::array<TWgtCmdList::CmdColor, TWgtCmdList::CMD_COLOR_COUNT> table;
    for (int i = 0; i < TWgtCmdList::CMD_COLOR_COUNT; ++i)
        table[i] = {colorSources[i].code, false, QColor()};
    return table;
}

std::array<TWgtCmdList::CmdColor, TWgtCmdList::CMD_COLOR_COUNT> colorTable = makeColorTable();

} // namespace

void TWgtCmdList::Delegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || !index.model())
        return;
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    opt.textElideMode = Qt::ElideMiddle;
    QStyledItemDelegate::paint(painter, opt, index);
}

TWgtCmdList::TWgtCmdList(QWidget *parent)
    : QWidget(parent), m_style(new TStyleCmdList), m_layout(new QHBoxLayout(this)),
      m_table(new QTableWidget(this)), m_delegate(new Delegate(this))
{
    m_table->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_table->setColumnCount(COL_COUNT);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(true);

    QHeaderView *header = m_table->horizontalHeader();
    header->hide();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(COL_CHECK, QHeaderView::Fixed);
    m_table->setColumnWidth(COL_CHECK, 20);
    m_table->setColumnWidth(COL_NAME, appData.windowMainCmdListColumnNameWidth);

    QHeaderView *rows = m_table->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(19);
    rows->setMaximumSectionSize(19);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    m_table->setFont(monoFont(m_table->font()));
    m_table->setWordWrap(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->setStyleSheet(QStringLiteral("QTableWidget:item:selected:!active { background: #A0A0A0; }"));
    m_table->setStyle(m_style.get());
    m_table->setItemDelegateForColumn(COL_TEXT, m_delegate);

    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_table);

    connect(m_table, &QTableWidget::currentItemChanged, this, &TWgtCmdList::slotSelectCmd);
    connect(m_table, &QTableWidget::itemClicked, this, &TWgtCmdList::slotSelectCmdClick);
    connect(m_table, &QTableWidget::itemChanged, this, &TWgtCmdList::slotEnabledCmd);
    connect(m_table, &QWidget::customContextMenuRequested, this,
            &TWgtCmdList::signalContextMenuRequested);
}

TWgtCmdList::~TWgtCmdList()
{
    // The table uses the style until it is gone; the style goes after it.
    delete m_table;
    m_table = nullptr;
}

// ---- Rows ---------------------------------------------------------------------

void TWgtCmdList::insertCmdRow(int row, int id, const QString &code, bool status,
                               const QString &name, const QString &text)
{
    m_table->insertRow(row);
    auto *check = new QTableWidgetItem;
    check->setCheckState(status ? Qt::Checked : Qt::Unchecked);
    check->setData(Qt::UserRole, id);
    auto *nameItem = new QTableWidgetItem(name);
    nameItem->setData(Qt::UserRole, code);
    auto *textItem = new QTableWidgetItem(text);
    m_table->setItem(row, COL_CHECK, check);
    m_table->setItem(row, COL_NAME, nameItem);
    m_table->setItem(row, COL_TEXT, textItem);
}

void TWgtCmdList::clear()
{
    const bool blocked = m_table->blockSignals(true);
    m_table->setRowCount(0);
    m_table->blockSignals(blocked);
}

void TWgtCmdList::removeRow(int row)
{
    if (row >= 0 && row < m_table->rowCount())
        m_table->removeRow(row);
}

int TWgtCmdList::rowOfCmd(int id) const
{
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        if (rowCmdId(row) == id)
            return row;
    return -1;
}

void TWgtCmdList::removeCmdRow(int id)
{
    const int row = rowOfCmd(id);
    if (row >= 0)
        m_table->removeRow(row);
}

void TWgtCmdList::setRowLook(int row, const QFont &font, const QColor *text)
{
    for (int col = COL_COUNT - 1; col >= 0; --col) {
        QTableWidgetItem *item = m_table->item(row, col);
        if (!item)
            continue;
        if (text)
            item->setForeground(*text);
        item->setFont(font);
    }
}

void TWgtCmdList::updateCmdRow(int id, const QString &code, const QString &name,
                               const QString &text, bool validDev, bool validParam, const QString &why)
{
    const int row = rowOfCmd(id);
    if (row < 0)
        return;
    setRowName(row, name);
    setRowCode(row, code);
    setRowText(row, text);
    const QTableWidgetItem *textItem = m_table->item(row, COL_TEXT);
    QFont font = textItem ? textItem->font() : QFont();
    font.setStrikeOut(!validDev);
    const QColor color = validDev && validParam
                             ? QApplication::palette().color(QPalette::WindowText)
                             : QColor(Qt::red);
    setRowLook(row, font, &color);
    for (int col = COL_COUNT - 1; col >= 0; --col)
        if (QTableWidgetItem *item = m_table->item(row, col))
            item->setToolTip(why);
}

void TWgtCmdList::setCmdText(int id, const QString &text)
{
    const int row = rowOfCmd(id);
    if (row >= 0)
        setRowText(row, text);
}

void TWgtCmdList::setRowName(int row, const QString &name)
{
    if (QTableWidgetItem *item = m_table->item(row, COL_NAME))
        item->setText(name);
}

void TWgtCmdList::setRowText(int row, const QString &text)
{
    if (QTableWidgetItem *item = m_table->item(row, COL_TEXT))
        item->setText(text);
}

void TWgtCmdList::setRowCode(int row, const QString &code)
{
    if (QTableWidgetItem *item = m_table->item(row, COL_NAME))
        item->setData(Qt::UserRole, code);
}

void TWgtCmdList::setRowChecked(int row, bool checked)
{
    if (QTableWidgetItem *item = m_table->item(row, COL_CHECK))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TWgtCmdList::setAllChecked(bool checked)
{
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        setRowChecked(row, checked);
}

// ---- Queries ------------------------------------------------------------------

int TWgtCmdList::rowCount() const
{
    return m_table->rowCount();
}

int TWgtCmdList::currentRow() const
{
    return m_table->currentRow();
}

int TWgtCmdList::rowCmdId(int row) const
{
    const QTableWidgetItem *item = m_table->item(row, COL_CHECK);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

int TWgtCmdList::currentCmdId() const
{
    const int row = currentRow();
    return row < 0 ? -1 : rowCmdId(row);
}

QString TWgtCmdList::rowCode(int row) const
{
    const QTableWidgetItem *item = m_table->item(row, COL_NAME);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

QString TWgtCmdList::currentCmdCode() const
{
    return rowCode(currentRow());
}

bool TWgtCmdList::isRowChecked(int row) const
{
    const QTableWidgetItem *item = m_table->item(row, COL_CHECK);
    return item && item->checkState() == Qt::Checked;
}

bool TWgtCmdList::hasFocus() const
{
    return m_table->hasFocus();
}

// ---- Current row --------------------------------------------------------------

void TWgtCmdList::selectFirstRow()
{
    m_table->setCurrentCell(0, 0);
}

void TWgtCmdList::setCurrentRow(int row)
{
    if (row >= 0)
        m_table->setCurrentCell(row, 0);
}

void TWgtCmdList::moveCurrentRow(int direction)
{
    moveTableRow(m_table, direction);
}

void TWgtCmdList::setFocus()
{
    m_table->setFocus(Qt::OtherFocusReason);
}

// ---- Visibility, colours, highlight -------------------------------------------

void TWgtCmdList::hideUncheckedRows()
{
    if (!m_hideUnchecked)
        return;
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        if (!isRowChecked(row))
            m_table->hideRow(row);
}

void TWgtCmdList::hideUnchecked(bool hide)
{
    m_hideUnchecked = hide;
    for (int row = m_table->rowCount() - 1; row >= 0; --row) {
        if (!hide)
            m_table->showRow(row);
        else if (!isRowChecked(row))
            m_table->hideRow(row);
    }
    const int row = currentRow();
    if (row < 0 || !isRowChecked(row))
        m_table->setCurrentCell(0, 0);
}

QColor TWgtCmdList::cmdColor(const QString &code)
{
    QColor color = QApplication::palette().color(QPalette::Base);
    for (const CmdColor &entry : colorTable) {
        if (entry.enabled && code == QLatin1String(entry.code)) {
            color = entry.color;
            break;
        }
    }
    return color;
}

void TWgtCmdList::applyRowColors()
{
    for (int row = m_table->rowCount() - 1; row >= 0; --row) {
        const QColor color = cmdColor(rowCode(row));
        for (int col = COL_COUNT - 1; col >= 0; --col)
            if (QTableWidgetItem *item = m_table->item(row, col))
                item->setBackground(color);
    }
}

void TWgtCmdList::applyColorSettings()
{
    for (int i = 0; i < CMD_COLOR_COUNT; ++i) {
        colorTable[i].enabled = appData.*(colorSources[i].enabled);
        colorTable[i].color = appData.*(colorSources[i].color);
    }
}

const TWgtCmdList::CmdColor *TWgtCmdList::cmdListColors()
{
    return colorTable.data();
}

void TWgtCmdList::clearHighlight()
{
    for (int row = m_table->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem *item = m_table->item(row, COL_TEXT);
        QFont font = item ? item->font() : QFont();
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        setRowLook(row, font, nullptr);
    }
}

void TWgtCmdList::highlightRow(int row)
{
    if (row < 0 || row >= m_table->rowCount())
        return;
    clearHighlight();
    const QTableWidgetItem *item = m_table->item(row, COL_TEXT);
    QFont font = item ? item->font() : QFont();
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    setRowLook(row, font, nullptr);
}

QPoint TWgtCmdList::mapToGlobal(const QPoint &pos) const
{
    return m_table->viewport()->mapToGlobal(pos);
}

QTableWidget *TWgtCmdList::table() const
{
    return m_table;
}

// ---- Slots ----------------------------------------------------------------------

void TWgtCmdList::slotSelectCmd(QTableWidgetItem *current)
{
    if (!current || !m_table->item(current->row(), COL_CHECK))
        return;
    emit signalSelectCmd(rowCmdId(current->row()));
}

void TWgtCmdList::slotSelectCmdClick(QTableWidgetItem *item)
{
    m_table->setCurrentItem(item);
    emit signalClikedCmd();
}

void TWgtCmdList::slotEnabledCmd(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget() || item->column() != COL_CHECK)
        return;
    emit signalEnabledCmd(rowCmdId(item->row()), isRowChecked(item->row()));
}
