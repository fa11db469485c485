#include "gui/dialogs/TDialogSetupPageProg.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TSettings.h"
#include "core/helpers.h"
#include "gui/dialogs/TDialogSetupPageProgEdit.h"
#include "gui/widgets/TActionWidget.h"
#include "gui/widgets/TStyleCmdList.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum AliasColumn { ColDefault, ColOffered, ColName, ColPort, ColType };

const QString tableStyle = QStringLiteral("QTableWidget:item:selected:!active { background: #A0A0A0; }");

QTableWidget *newTable(int columns, int rowHeight, TStyleCmdList *style)
{
    auto *table = new QTableWidget(0, columns);
    table->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->verticalHeader()->setMaximumSectionSize(rowHeight);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->setStyleSheet(tableStyle);
    table->setStyle(style);
    return table;
}

QFrame *newFrame(QLabel *title, QTableWidget *table)
{
    auto *frame = new QFrame;
    auto *layout = new QVBoxLayout(frame);
    layout->setAlignment(Qt::AlignTop);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(title);
    layout->addWidget(table);
    return frame;
}

QTableWidgetItem *checkItem(bool checked)
{
    auto *item = new QTableWidgetItem;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

TDialogSetupPageProg::TDialogSetupPageProg(QWidget *parent)
    : IDialogSetupPage(parent), m_parent(parent)
{
    createUi();
    createActions();
    loadHotKeys();
    m_aliasMenu = createContextMenu(m_alias);
    m_typeMenu = createContextMenu(m_type);
    updateAliasActions();
    updateTypeActions();
}

TDialogSetupPageProg::~TDialogSetupPageProg()
{
    // No item signal may reach the page while it is torn down.
    m_aliasTable->disconnect(this);
    m_typeTable->disconnect(this);
    while (m_aliasTable->rowCount() > 0)
        m_aliasTable->removeRow(0);
    while (m_typeTable->rowCount() > 0)
        m_typeTable->removeRow(0);
    delete m_aliasMenu;
    delete m_typeMenu;
    for (const Actions *a : {&m_alias, &m_type})
        for (TActionWidget *action : {a->add, a->edit, a->remove, a->up, a->down})
            delete action;
    delete m_splitter;
    delete m_aliasStyle;
    delete m_typeStyle;
}

QString TDialogSetupPageProg::name() const { return lang.text(212); }
QString TDialogSetupPageProg::title() const { return lang.text(213); }

void TDialogSetupPageProg::createUi()
{
    m_aliasTitle = new QLabel(lang.text(214));
    m_aliasStyle = new TStyleCmdList;
    m_aliasTable = newTable(5, 20, m_aliasStyle);
    m_aliasTable->horizontalHeader()->setSectionResizeMode(ColDefault, QHeaderView::Fixed);
    m_aliasTable->horizontalHeader()->setSectionResizeMode(ColOffered, QHeaderView::Fixed);
    m_aliasTable->setHorizontalHeaderLabels(
        {QStringLiteral("*"), QStringLiteral("V"), lang.text(215), lang.text(216), lang.text(217)});
    m_aliasTable->horizontalHeaderItem(ColDefault)
        ->setToolTip(lang.text(218).arg(cmdCode.name(QStringLiteral("set_prog"))));
    m_aliasTable->horizontalHeaderItem(ColOffered)->setToolTip(lang.text(219));

    m_typeTitle = new QLabel(lang.text(223));
    m_typeStyle = new TStyleCmdList;
    m_typeTable = newTable(2, 19, m_typeStyle);
    m_typeTable->setHorizontalHeaderLabels({lang.text(224), lang.text(225)});

    m_splitter = new QSplitter(Qt::Vertical);
    m_splitter->addWidget(newFrame(m_aliasTitle, m_aliasTable));
    m_splitter->addWidget(newFrame(m_typeTitle, m_typeTable));
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(m_aliasTable, &QTableWidget::itemChanged, this, &TDialogSetupPageProg::slotListAliasChanged);
    connect(m_aliasTable, &QTableWidget::itemDoubleClicked, this, &TDialogSetupPageProg::slotAliasEdit);
    connect(m_aliasTable, &QWidget::customContextMenuRequested, this,
            &TDialogSetupPageProg::slotShowContextMenuAlias);
    connect(m_aliasTable, &QTableWidget::itemSelectionChanged, this,
            &TDialogSetupPageProg::slotSelectItemAlias);
    connect(m_typeTable, &QWidget::customContextMenuRequested, this,
            &TDialogSetupPageProg::slotShowContextMenuType);
    connect(m_typeTable, &QTableWidget::itemDoubleClicked, this, &TDialogSetupPageProg::slotTypeEdit);
    connect(m_typeTable, &QTableWidget::itemSelectionChanged, this,
            &TDialogSetupPageProg::slotSelectItemType);
}

void TDialogSetupPageProg::createActions()
{
    auto make = [this](QTableWidget *table, Actions &a, void (TDialogSetupPageProg::*handlers[5])()) {
        TActionWidget **targets[5] = {&a.add, &a.edit, &a.remove, &a.up, &a.down};
        for (int i = 0; i < 5; ++i) {
            *targets[i] = new TActionWidget(table, lang.text(226 + i), this);
            connect(*targets[i], &QAction::triggered, this, handlers[i]);
        }
    };
    void (TDialogSetupPageProg::*aliasSlots[5])() = {
        &TDialogSetupPageProg::slotAliasAdd, &TDialogSetupPageProg::slotAliasEdit,
        &TDialogSetupPageProg::slotAliasDelete, &TDialogSetupPageProg::slotAliasMoveUp,
        &TDialogSetupPageProg::slotAliasMoveDown};
    void (TDialogSetupPageProg::*typeSlots[5])() = {
        &TDialogSetupPageProg::slotTypeAdd, &TDialogSetupPageProg::slotTypeEdit,
        &TDialogSetupPageProg::slotTypeDelete, &TDialogSetupPageProg::slotTypeMoveUp,
        &TDialogSetupPageProg::slotTypeMoveDown};
    make(m_aliasTable, m_alias, aliasSlots);
    make(m_typeTable, m_type, typeSlots);
}

void TDialogSetupPageProg::loadHotKeys()
{
    const TSettings keys(hotKeyFilePath());
    const char *words[5] = {"Add", "Edit", "Delete", "MoveUp", "MoveDown"};
    for (const auto &group : {std::make_pair(&m_alias, "/HotKeySettingsProgName/"),
                              std::make_pair(&m_type, "/HotKeySettingsProgType/")}) {
        TActionWidget *actions[5] = {group.first->add, group.first->edit, group.first->remove,
                                     group.first->up, group.first->down};
        for (int i = 0; i < 5; ++i)
            actions[i]->setShortcut(QKeySequence::fromString(
                keys.readString(QLatin1String(group.second) + QLatin1String(words[i]), QString()),
                QKeySequence::NativeText));
    }
}

QMenu *TDialogSetupPageProg::createContextMenu(const Actions &a)
{
    auto *menu = new QMenu(QString());
    menu->addAction(a.add);
    menu->addAction(a.edit);
    menu->addAction(a.remove);
    menu->addSeparator();
    menu->addAction(a.up);
    menu->addAction(a.down);
    return menu;
}

void TDialogSetupPageProg::updateActions(QTableWidget *table, const Actions &a)
{
    const int r = table->currentRow();
    const int n = table->rowCount();
    a.add->setEnabled(true);
    a.edit->setEnabled(r >= 0);
    a.remove->setEnabled(r >= 0);
    a.up->setEnabled(r > 0);
    a.down->setEnabled(r >= 0 && r < n - 1);
}

void TDialogSetupPageProg::updateAliasActions() { updateActions(m_aliasTable, m_alias); }
void TDialogSetupPageProg::updateTypeActions() { updateActions(m_typeTable, m_type); }

void TDialogSetupPageProg::load()
{
    const TProgLists lists = appData.progLists();   // one consistent copy
    for (int i = 0; i < lists.types.count(); ++i) {
        const QString type = lists.types.at(i);
        m_typeTable->insertRow(i);
        m_typeTable->setItem(i, 0, new QTableWidgetItem(type));
        m_typeTable->setItem(i, 1, new QTableWidgetItem(lists.types.value(type)));
    }
    m_typeTable->resizeColumnsToContents();
    m_typeTable->setCurrentCell(0, 0);

    const bool blocked = m_aliasTable->blockSignals(true);
    for (int j = 0; j < lists.names.count(); ++j) {
        const QString name = lists.names.at(j);
        const TProgNameItem item = lists.names.find(name);
        addAliasRow(j, j == lists.byDefault, item.mark, name, item.port, item.type);
    }
    m_aliasTable->blockSignals(blocked);
    m_aliasTable->resizeColumnsToContents();
    m_aliasTable->setCurrentCell(0, 0);

    if (!appData.windowSettingsProgSplitter.isEmpty())
        m_splitter->setSizes(appData.windowSettingsProgSplitter);
    markAliasRows();
}

void TDialogSetupPageProg::save()
{
    TProgLists lists;
    lists.byDefault = -1;
    for (int r = 0; r < m_aliasTable->rowCount(); ++r) {
        if (lists.byDefault < 0 && m_aliasTable->item(r, ColDefault)->checkState() == Qt::Checked)
            lists.byDefault = r;
        lists.names.add(m_aliasTable->item(r, ColOffered)->checkState() == Qt::Checked,
                        m_aliasTable->item(r, ColName)->text(), m_aliasTable->item(r, ColPort)->text(),
                        m_aliasTable->item(r, ColType)->text());
    }
    for (int r = 0; r < m_typeTable->rowCount(); ++r)
        lists.types.add(m_typeTable->item(r, 0)->text(), m_typeTable->item(r, 1)->text());
    // Runs look programmers up meanwhile: the lists are swapped in whole.
    appData.setProgLists(lists);
    appData.windowSettingsProgSplitter = m_splitter->sizes();
}

void TDialogSetupPageProg::addAliasRow(int row, bool isDefault, bool offered, const QString &name,
                                       const QString &port, const QString &type)
{
    m_aliasTable->insertRow(row);
    m_aliasTable->setItem(row, ColDefault, checkItem(isDefault));
    m_aliasTable->setItem(row, ColOffered, checkItem(offered));
    m_aliasTable->setItem(row, ColName, new QTableWidgetItem(name));
    m_aliasTable->setItem(row, ColPort, new QTableWidgetItem(port));
    m_aliasTable->setItem(row, ColType, new QTableWidgetItem(type));
}

bool TDialogSetupPageProg::typeExists(const QString &type) const
{
    for (int r = 0; r < m_typeTable->rowCount(); ++r)
        if (m_typeTable->item(r, 0)->text() == type)
            return true;
    return false;
}

void TDialogSetupPageProg::markAliasRows()
{
    const bool blocked = m_aliasTable->blockSignals(true);
    for (int r = 0; r < m_aliasTable->rowCount(); ++r) {
        const bool valid = typeExists(m_aliasTable->item(r, ColType)->text());
        const QColor color = valid ? QApplication::palette().color(QPalette::WindowText) : QColor(Qt::red);
        QFont font = m_aliasTable->item(r, ColName)->font();
        font.setStrikeOut(!valid);
        for (int c = 0; c < 5; ++c) {
            m_aliasTable->item(r, c)->setForeground(color);
            m_aliasTable->item(r, c)->setFont(font);
        }
    }
    m_aliasTable->blockSignals(blocked);
}

void TDialogSetupPageProg::slotListAliasChanged(QTableWidgetItem *item)
{
    if (!item)
        return;
    const bool blocked = m_aliasTable->blockSignals(true);
    const int row = item->row();
    if (item->column() == ColDefault) {
        if (m_aliasTable->item(row, ColOffered)->checkState() != Qt::Unchecked) {
            for (int r = 0; r < m_aliasTable->rowCount(); ++r)
                if (r != row)
                    m_aliasTable->item(r, ColDefault)->setCheckState(Qt::Unchecked);
        } else {
            item->setCheckState(Qt::Unchecked);
        }
    } else if (item->column() == ColOffered && item->checkState() == Qt::Unchecked) {
        m_aliasTable->item(row, ColDefault)->setCheckState(Qt::Unchecked);
    }
    m_aliasTable->setCurrentItem(item);
    m_aliasTable->blockSignals(blocked);
}

void TDialogSetupPageProg::slotShowContextMenuAlias(const QPoint &pos)
{
    updateAliasActions();
    m_aliasMenu->popup(m_aliasTable->viewport()->mapToGlobal(pos));
}

void TDialogSetupPageProg::slotShowContextMenuType(const QPoint &pos)
{
    updateTypeActions();
    m_typeMenu->popup(m_typeTable->viewport()->mapToGlobal(pos));
}

QStringList TDialogSetupPageProg::columnTexts(QTableWidget *table, int column, int exceptRow) const
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        if (r != exceptRow)
            texts << table->item(r, column)->text();
    return texts;
}

QString TDialogSetupPageProg::currentText(QTableWidget *table, int column) const
{
    const int row = table->currentRow();
    return row < 0 ? QString() : table->item(row, column)->text();
}

void TDialogSetupPageProg::slotAliasAdd()
{
    TDialogSetupPageProgAliasEdit dialog(lang.text(231), this);
    dialog.setValues(QString(), QString(), QString(), columnTexts(m_typeTable, 0, -1));
    dialog.setTakenNames(columnTexts(m_aliasTable, ColName, -1));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int r = m_aliasTable->currentRow() + 1;
    const bool blocked = m_aliasTable->blockSignals(true);
    addAliasRow(r, false, true, dialog.name(), dialog.port(), dialog.type());
    m_aliasTable->blockSignals(blocked);
    m_aliasTable->setCurrentCell(r, 0);
    m_aliasTable->resizeColumnToContents(ColName);
    m_aliasTable->resizeColumnToContents(ColPort);
    updateAliasActions();
}

void TDialogSetupPageProg::slotAliasEdit()
{
    const int row = m_aliasTable->currentRow();
    if (row < 0)
        return;
    TDialogSetupPageProgAliasEdit dialog(lang.text(232), this);
    dialog.setValues(currentText(m_aliasTable, ColName), currentText(m_aliasTable, ColPort),
                     currentText(m_aliasTable, ColType), columnTexts(m_typeTable, 0, -1));
    dialog.setTakenNames(columnTexts(m_aliasTable, ColName, row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool blocked = m_aliasTable->blockSignals(true);
    m_aliasTable->item(row, ColName)->setText(dialog.name());
    m_aliasTable->item(row, ColPort)->setText(dialog.port());
    m_aliasTable->item(row, ColType)->setText(dialog.type());
    m_aliasTable->blockSignals(blocked);
    m_aliasTable->resizeColumnToContents(ColName);
    m_aliasTable->resizeColumnToContents(ColPort);
    markAliasRows();
}

void TDialogSetupPageProg::slotAliasDelete()
{
    const int row = m_aliasTable->currentRow();
    if (row < 0 || !askYesNo(lang.text(233).arg(currentText(m_aliasTable, ColName)), m_parent))
        return;
    m_aliasTable->removeRow(row);
    m_aliasTable->resizeColumnToContents(ColName);
    m_aliasTable->resizeColumnToContents(ColPort);
    updateAliasActions();
}

void TDialogSetupPageProg::slotAliasMoveUp()
{
    moveTableRow(m_aliasTable, -1);
    updateAliasActions();
}

void TDialogSetupPageProg::slotAliasMoveDown()
{
    moveTableRow(m_aliasTable, 1);
    updateAliasActions();
}

void TDialogSetupPageProg::slotTypeAdd()
{
    TDialogSetupPageProgTypeEdit dialog(lang.text(234), this);
    dialog.setValues(QString(), QString(), dirOfPath(appData.folder(&TAppData::pathProgs), QString()));
    dialog.setTakenNames(columnTexts(m_typeTable, 0, -1));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int r = m_typeTable->currentRow() + 1;
    m_typeTable->insertRow(r);
    m_typeTable->setItem(r, 0, new QTableWidgetItem(dialog.name()));
    m_typeTable->setItem(r, 1, new QTableWidgetItem(dialog.fileName()));
    m_typeTable->setCurrentCell(r, 0);
    m_typeTable->resizeColumnToContents(0);
    updateTypeActions();
}

void TDialogSetupPageProg::slotTypeEdit()
{
    const int row = m_typeTable->currentRow();
    if (row < 0)
        return;
    const QString file = currentText(m_typeTable, 1);
    TDialogSetupPageProgTypeEdit dialog(lang.text(235), this);
    // The file stays relative to the programmers folder, where the
    // description is looked up; the chooser opens in the file's own folder.
    dialog.setValues(currentText(m_typeTable, 0), file,
                     dirOfPath(appData.folder(&TAppData::pathProgs), QString()));
    dialog.setTakenNames(columnTexts(m_typeTable, 0, row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_typeTable->item(row, 0)->setText(dialog.name());
    m_typeTable->item(row, 1)->setText(dialog.fileName());
    m_typeTable->resizeColumnToContents(0);
    markAliasRows();
}

void TDialogSetupPageProg::slotTypeDelete()
{
    const int row = m_typeTable->currentRow();
    if (row < 0 || !askYesNo(lang.text(236).arg(currentText(m_typeTable, 0)), m_parent))
        return;
    m_typeTable->removeRow(row);
    m_typeTable->resizeColumnToContents(0);
    updateTypeActions();
}

void TDialogSetupPageProg::slotTypeMoveUp()
{
    moveTableRow(m_typeTable, -1);
    updateTypeActions();
}

void TDialogSetupPageProg::slotTypeMoveDown()
{
    moveTableRow(m_typeTable, 1);
    updateTypeActions();
}

void TDialogSetupPageProg::slotSelectItemAlias() { updateAliasActions(); }
void TDialogSetupPageProg::slotSelectItemType() { updateTypeActions(); }
