#include "gui/dialogs/TDialogSelectPrjList.h"

#include "core/TAppData.h"
#include "core/TJsonShape.h"
#include "core/TLang.h"
#include "core/TSettings.h"
#include "core/helpers.h"
#include "gui/dialogs/TDialogPrjEdit.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/dialogs/dialog_messages.h"
#include "gui/widgets/TActionWidget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

// ---- Catalogue file -------------------------------------------------------

QByteArray catalogueText(const QVector<TCatalogueRow> &rows)
{
    QVector<TListEntry> entries;
    for (const TCatalogueRow &row : rows)
        entries.append({row.first, row.second, {}, 0, false});
    return listText(entries, TJsonExtra(), false, "\n");
}

bool parseCatalogue(const QByteArray &text, QVector<TCatalogueRow> *rows, QString *error)
{
    rows->clear();
    QString why;
    QVector<TListEntry> entries;
    if (!readListText(text, &entries, &why)) {
        if (error)
            *error = why;
        return false;
    }
    rows->reserve(entries.size());
    for (const TListEntry &entry : qAsConst(entries))
        rows->append({entry.name, entry.file});
    return true;
}

// ---- Dialog ----------------------------------------------------------------

TDialogSelectPrjList::TDialogSelectPrjList(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(lang.text(152));
    createUi();
    loadHotKeys();
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowSelectPrjListLeft,
                         appData.windowSelectPrjListTop, appData.windowSelectPrjListWidth,
                         appData.windowSelectPrjListHeight);
    updateActions();
    m_modified = false;
}

TDialogSelectPrjList::~TDialogSelectPrjList()
{
    storeWindowGeometry(this, &appData.windowSelectPrjListLeft, &appData.windowSelectPrjListTop,
                        &appData.windowSelectPrjListWidth, &appData.windowSelectPrjListHeight);
    m_table->disconnect(this);
    for (int row = m_table->rowCount() - 1; row >= 0; --row)
        m_table->removeRow(row);
}

void TDialogSelectPrjList::createUi()
{
    m_table = new QTableWidget(this);
    m_table->setColumnCount(2);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(true);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(18);
    m_table->verticalHeader()->setMaximumSectionSize(18);
    m_table->setWordWrap(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->setStyleSheet(
        QStringLiteral("QTableWidget:item:selected:!active { background: #A0A0A0; }"));

    m_buttons = createDialogButtons(this, lang.text(78), lang.text(80));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(3);
    m_layout->addWidget(m_table);
    m_layout->addWidget(m_buttons.frame);

    connect(m_table, &QTableWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_table, &QTableWidget::customContextMenuRequested, this,
            &TDialogSelectPrjList::slotShowContextMenu);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            &TDialogSelectPrjList::slotSelectItem);

    const auto make = [this](int message, void (TDialogSelectPrjList::*slot)()) {
        auto *action = new TActionWidget(m_table, lang.text(message), this);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_actNew = make(153, &TDialogSelectPrjList::slotNew);
    m_actAdd = make(154, &TDialogSelectPrjList::slotAdd);
    m_actAddCurr = make(155, &TDialogSelectPrjList::slotAddCurr);
    m_actEdit = make(156, &TDialogSelectPrjList::slotEdit);
    m_actCopy = make(157, &TDialogSelectPrjList::slotCopy);
    m_actDelete = make(158, &TDialogSelectPrjList::slotDelete);
    m_actMoveUp = make(160, &TDialogSelectPrjList::slotMoveUp);
    m_actMoveDown = make(161, &TDialogSelectPrjList::slotMoveDown);
    m_actOpenFolder = make(159, &TDialogSelectPrjList::slotOpenFolder);

    m_menu = new QMenu(this);
    m_menu->addAction(m_actNew);
    m_menu->addAction(m_actAdd);
    m_menu->addAction(m_actAddCurr);
    m_menu->addAction(m_actEdit);
    m_menu->addAction(m_actCopy);
    m_menu->addAction(m_actDelete);
    m_menu->addSeparator();
    m_menu->addAction(m_actOpenFolder);
    m_menu->addSeparator();
    m_menu->addAction(m_actMoveUp);
    m_menu->addAction(m_actMoveDown);
}

void TDialogSelectPrjList::loadHotKeys()
{
    const TSettings keys(hotKeyFilePath());
    const std::pair<TActionWidget *, const char *> table[] = {
        {m_actNew, "New"},       {m_actAdd, "Add"},           {m_actAddCurr, "AddCur"},
        {m_actEdit, "Edit"},     {m_actCopy, "Copy"},         {m_actDelete, "Delete"},
        {m_actMoveUp, "MoveUp"}, {m_actMoveDown, "MoveDown"}, {m_actOpenFolder, "OpenFolder"}};
    for (const auto &entry : table)
        entry.first->setShortcut(QKeySequence::fromString(
            keys.readString(QLatin1String("/HotKeySelectProjectList/") + QLatin1String(entry.second),
                            QString()),
            QKeySequence::NativeText));
}

QString TDialogSelectPrjList::projectsDir()
{
    // The same folder the project-list tree reads row files against.
    return QDir::cleanPath(makeAbsolutePath(appDirPath(), appData.pathProjects));
}

bool TDialogSelectPrjList::loadCatalogue(const QString &path)
{
    m_unreadable.clear();
    m_loadError.clear();
    m_list.forget(path);
    QVector<TListEntry> read;
    bool ok = true;
    if (QFileInfo::exists(path)) {
        // An unreadable catalogue is no empty one: it must not be written
        // over with the empty table.
        QByteArray text;
        ok = readWholeFile(path, &text, &m_loadError) && m_list.read(path, text, &read, &m_loadError);
        if (!ok) {
            m_unreadable = QFileInfo(path).absoluteFilePath();
            m_list.forget();
        }
    }
    setRows(read);
    if (m_table->currentRow() != 0)
        m_table->setCurrentCell(read.isEmpty() ? -1 : 0, read.isEmpty() ? -1 : 0);
    m_table->resizeColumnsToContents();
    updateActions();
    return ok;
}

QVector<TListEntry> TDialogSelectPrjList::rows() const
{
    QVector<TListEntry> list;
    list.reserve(m_table->rowCount());
    for (int i = 0; i < m_table->rowCount(); ++i) {
        const QTableWidgetItem *name = m_table->item(i, 0);
        const QTableWidgetItem *file = m_table->item(i, 1);
        list.append({name ? name->text() : QString(), file ? file->text() : QString(),
                     name ? name->data(Qt::UserRole).toStringList() : QStringList(), 0, false});
    }
    return list;
}

void TDialogSelectPrjList::setRows(const QVector<TListEntry> &rows)
{
    m_table->setRowCount(0);
    m_table->setRowCount(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        auto *name = new QTableWidgetItem(rows.at(i).name);
        name->setData(Qt::UserRole, rows.at(i).extra);
        m_table->setItem(i, 0, name);
        m_table->setItem(i, 1, new QTableWidgetItem(rows.at(i).file));
    }
}

bool TDialogSelectPrjList::saveCatalogue(const QString &path)
{
    m_error.clear();
    m_saveDeclined = false;
    if (!m_unreadable.isEmpty() && QFileInfo(path).absoluteFilePath() == m_unreadable) {
        m_error = lang.text(96).arg(path);
        return false;
    }
    const auto show = [this](const QVector<TListEntry> &merged, const QVector<int> &fromMine) {
        const int current = m_table->currentRow();
        setRows(merged);
        const int at = current < 0 ? -1 : int(fromMine.indexOf(current));
        m_table->setCurrentCell(at, at < 0 ? -1 : 0);
    };
    const TFileSeen::Outcome outcome =
        m_list.save(path, [this](QVector<int> *) { return rows(); }, show, this, &m_error);
    m_saveDeclined = outcome == TFileSeen::Changed;
    return outcome == TFileSeen::Written;
}

void TDialogSelectPrjList::setCurrentList(const QString &name, const QString &file)
{
    m_currName = name == file ? QString() : name;
    m_currFile = file;
}

QString TDialogSelectPrjList::currentName() const
{
    const QTableWidgetItem *item = m_table->currentRow() < 0 ? nullptr
                                                              : m_table->item(m_table->currentRow(), 0);
    return item ? item->text() : QString();
}

QString TDialogSelectPrjList::currentFile() const
{
    const QTableWidgetItem *item = m_table->currentRow() < 0 ? nullptr
                                                              : m_table->item(m_table->currentRow(), 1);
    return item ? item->text() : QString();
}

void TDialogSelectPrjList::updateActions()
{
    const int row = m_table->currentRow();
    const bool current = row >= 0;
    m_actEdit->setEnabled(current);
    m_actCopy->setEnabled(current);
    m_actDelete->setEnabled(current);
    m_actOpenFolder->setEnabled(current);
    m_actMoveUp->setEnabled(current && row > 0);
    m_actMoveDown->setEnabled(current && row < m_table->rowCount() - 1);
    m_actNew->setEnabled(true);
    m_actAdd->setEnabled(true);
    m_actAddCurr->setEnabled(true);
}

void TDialogSelectPrjList::slotSelectItem()
{
    updateActions();
}

void TDialogSelectPrjList::slotShowContextMenu(const QPoint &point)
{
    const bool rows = m_table->rowCount() > 0;
    for (TActionWidget *action : {m_actEdit, m_actCopy, m_actDelete, m_actOpenFolder, m_actMoveUp,
                                  m_actMoveDown})
        action->setEnabled(rows);
    m_menu->exec(m_table->viewport()->mapToGlobal(point));
    updateActions();
}

void TDialogSelectPrjList::addRow(const QString &name, const QString &file)
{
    const int row = m_table->currentRow() + 1;
    m_table->insertRow(row);
    m_table->setItem(row, 0, new QTableWidgetItem(name));
    m_table->setItem(row, 1, new QTableWidgetItem(file));
    m_table->setCurrentCell(row, 0);
    m_table->resizeColumnToContents(0);
    updateActions();
    setModified();
}

QString TDialogSelectPrjList::chooseFile(const QString &caption)
{
    // Replacing files is asked about (or refused) by the callers, after the
    // suffix is known.
    QFileDialog dialog(this, caption, projectsDir(), QStringLiteral("*.lst"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool TDialogSelectPrjList::editEntry(const QString &title, QString *name, QString *file)
{
    // Row files are read against the projects folder, so every entry
    // dialog enters a chosen file relative to it.
    TDialogPrjListEdit dialog(title, this);
    dialog.setValues(*name, *file, projectsDir());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *name = dialog.name();
    *file = dialog.fileName();
    return true;
}

namespace {
// The chosen name with ".lst" appended unless its complete suffix is "lst".
QString withListSuffix(const QString &path)
{
    return suffixOf(QFileInfo(path).fileName()) == QLatin1String("lst")
               ? path
               : path + QLatin1String(".lst");
}
} // namespace

void TDialogSelectPrjList::slotNew()
{
    const QString chosen = chooseFile(lang.text(162));
    if (chosen.isEmpty())
        return;
    const QString path = withListSuffix(chosen);
    if (QFileInfo::exists(path) && !askYesNo(lang.text(MSG_REPLACE_LIST_FILE).arg(path), this, false))
        return;
    QString name;
    QString file = toRelativePath(projectsDir(), path);
    if (!editEntry(lang.text(162), &name, &file))
        return;
    if (!createProjectListFile(path)) {
        showError(lang.text(163) + QLatin1String(": ") + path, this);
        return;
    }
    addRow(name, file);
}

void TDialogSelectPrjList::slotAdd()
{
    const QString chosen = chooseFile(lang.text(164));
    if (chosen.isEmpty())
        return;
    QString name;
    QString file = toRelativePath(projectsDir(), chosen);
    if (editEntry(lang.text(164), &name, &file))
        addRow(name, file);
}

void TDialogSelectPrjList::slotAddCurr()
{
    QString name = m_currName;
    QString file = m_currFile;
    if (editEntry(lang.text(165), &name, &file))
        addRow(name, file);
}

void TDialogSelectPrjList::slotEdit()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    QString name = currentName();
    QString file = currentFile();
    if (!editEntry(lang.text(166), &name, &file))
        return;
    m_table->setItem(row, 0, new QTableWidgetItem(name));
    m_table->setItem(row, 1, new QTableWidgetItem(file));
    m_table->resizeColumnToContents(0);
    setModified();
}

void TDialogSelectPrjList::slotCopy()
{
    if (m_table->currentRow() < 0)
        return;
    const QString chosen = chooseFile(lang.text(167));
    if (chosen.isEmpty())
        return;
    const QString path = withListSuffix(chosen);
    const QString source = makeAbsolutePath(projectsDir(), currentFile());
    if (!copyWholeFile(source, path)) {
        showError(lang.text(98).arg(source, path), this);
        return;
    }
    QString name = currentName() + QLatin1String("_new");
    QString file = toRelativePath(projectsDir(), path);
    if (editEntry(lang.text(167), &name, &file))
        addRow(name, file);
}

void TDialogSelectPrjList::slotDelete()
{
    if (m_table->currentRow() < 0)
        return;
    if (appData.confirmProjectsListDelete && !askYesNo(lang.text(168).arg(currentName()), this))
        return;
    m_table->removeRow(m_table->currentRow());
    m_table->resizeColumnToContents(0);
    updateActions();
    setModified();
}

void TDialogSelectPrjList::moveRow(int delta)
{
    const int row = m_table->currentRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= m_table->rowCount())
        return;
    moveTableRow(m_table, delta);
    updateActions();
    setModified();
}

void TDialogSelectPrjList::slotMoveUp() { moveRow(-1); }
void TDialogSelectPrjList::slotMoveDown() { moveRow(1); }

void TDialogSelectPrjList::slotOpenFolder()
{
    if (m_table->currentRow() < 0)
        return;
    showInExplorer(makeAbsolutePath(projectsDir(), currentFile()));
}
