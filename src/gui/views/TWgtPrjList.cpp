#include "gui/views/TWgtPrjList.h"

#include "core/TAppData.h"
#include "core/TJsonShape.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "gui/widgets/TTreeWidget.h"
#include "gui/widgets/TWgtLabelElided.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExp>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QVector>

#include <functional>

namespace {

QLabel *separatorLine(QWidget *parent)
{
    auto *line = new QLabel(parent);
    line->setFixedHeight(2);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

void collectPreOrder(QTreeWidgetItem *item, QList<QTreeWidgetItem *> &out)
{
    out.append(item);
    for (int i = 0; i < item->childCount(); ++i)
        collectPreOrder(item->child(i), out);
}

// Hides the item exactly when neither its name nor any of its descendants'
// names match; true when it stays visible.
bool applyFilter(QTreeWidgetItem *item, const QRegExp &pattern)
{
    bool childVisible = false;
    for (int i = item->childCount() - 1; i >= 0; --i) {
        if (applyFilter(item->child(i), pattern))
            childVisible = true;
    }
    const bool visible = childVisible || pattern.exactMatch(item->text(0));
    item->setHidden(!visible);
    return visible;
}

bool itemIsAbove(const QTreeWidgetItem *ancestor, const QTreeWidgetItem *item)
{
    for (const QTreeWidgetItem *p = item ? item->parent() : nullptr; p; p = p->parent()) {
        if (p == ancestor)
            return true;
    }
    return false;
}

} // namespace

TWgtPrjList::TWgtPrjList(QWidget *parent)
    : QFrame(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);

    m_name = new TWgtLabelElided(this);
    m_name->setAlignment(Qt::AlignCenter);
    m_name->setAutoFillBackground(true);
    m_name->setToolTip(lang.text(70));
    m_name->setFixedHeight(19);
    QFont italic = m_name->font();
    italic.setItalic(true);
    m_name->setFont(italic);
    QPalette palette = m_name->palette();
    palette.setColor(QPalette::All, QPalette::WindowText, appData.prjListNameColorText);
    palette.setColor(QPalette::All, QPalette::Window, appData.prjListNameColorBack);
    m_name->setPalette(palette);
    layout->addWidget(m_name);
    m_nameLine = separatorLine(this);
    layout->addWidget(m_nameLine);

    m_filterRow = new QWidget(this);
    auto *row = new QHBoxLayout(m_filterRow);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    m_filter = new QLineEdit(m_filterRow);
    m_filter->setFixedHeight(21);
    m_filter->setToolTip(lang.text(71));
    m_filter->setEnabled(false);
    m_clear = new QPushButton(QStringLiteral("*"), m_filterRow);
    m_clear->setFixedSize(21, 21);
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setToolTip(lang.text(72));
    m_clear->setEnabled(false);
    row->addWidget(m_filter);
    row->addWidget(m_clear);
    layout->addWidget(m_filterRow);
    m_filterLine = separatorLine(this);
    layout->addWidget(m_filterLine);

    m_tree = new TTreeWidget(this);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setRootIsDecorated(true);
    m_tree->setHeaderHidden(true);
    m_tree->setFrameStyle(QFrame::NoFrame);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setStyleSheet(QStringLiteral("QTreeView:item:selected:!active { background: #A0A0A0; }"));
    layout->addWidget(m_tree);

    showName(appData.prjListShowName);
    showFilter(appData.prjListShowFilter);
    qApp->installEventFilter(this);
}

TWgtPrjList::~TWgtPrjList()
{
    qApp->removeEventFilter(this);
}

void TWgtPrjList::connectAll()
{
    m_connections << connect(m_filter, &QLineEdit::textChanged, this, &TWgtPrjList::slotFilterString)
                  << connect(m_clear, &QPushButton::pressed, this, &TWgtPrjList::slotFilterClear)
                  << connect(m_tree, &QTreeWidget::currentItemChanged, this,
                             [this](QTreeWidgetItem *current) { slotItemSelect(current); })
                  << connect(m_tree, &QWidget::customContextMenuRequested, this,
                             &TWgtPrjList::signalContextMenuRequested);
}

void TWgtPrjList::disconnectAll()
{
    for (const QMetaObject::Connection &c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
}

void TWgtPrjList::setIcon(QTreeWidgetItem *item) const
{
    static const QFileIconProvider provider;
    item->setIcon(0, provider.icon(item->text(1).isEmpty() ? QFileIconProvider::Folder
                                                           : QFileIconProvider::File));
}

// ---- List file ---------------------------------------------------------------

bool TWgtPrjList::load(const QString &name, const QString &file, int expandMode)
{
    disconnectAll();
    m_listName = name;
    m_listFile = makeAbsolutePath(makeAbsolutePath(appDirPath(), appData.pathProjects), file);
    m_name->setText(QString());
    m_filter->clear();
    m_filterText.clear();
    m_expandStates.clear();
    m_tree->clear();
    m_errorText.clear();

    bool ok = false;
    m_list.forget();
    m_expandMode = expandMode;
    // A read cut short is refused like a file that does not open, never
    // taken for a shorter list.
    QByteArray bytes;
    QVector<TListEntry> read;
    if (readWholeFile(m_listFile, &bytes, &m_errorText) && m_list.read(m_listFile, bytes, &read, &m_errorText)) {
        ok = true;
        m_name->setText(name);
        fillTree(read, {}, {});
    }

    m_loaded = ok;
    m_cleanBytes = ok ? listFileBytes() : QByteArray();
    m_filter->setEnabled(ok && !m_filterRow->isHidden());
    m_clear->setEnabled(ok && !m_filterRow->isHidden());
    if (ok)
        m_filter->setFocus();
    connectAll();
    return ok;
}

void TWgtPrjList::fillTree(const QVector<TListEntry> &entries, const QVector<int> &fromItems,
                           const QList<QTreeWidgetItem *> &items)
{
    QList<QTreeWidgetItem *> byNumber;
    for (int i = 0; i < entries.size(); ++i) {
        const TListEntry &entry = entries.at(i);
        const int from = fromItems.value(i, -1);
        QTreeWidgetItem *item = from >= 0 ? items.at(from) : new QTreeWidgetItem;
        if (from < 0) {
            item->setText(0, entry.name);
            item->setText(1, entry.file);
            item->setData(0, Qt::UserRole, entry.extra);
            setIcon(item);
        }
        if (entry.parent > 0)
            byNumber.at(int(entry.parent - 1))->addChild(item);
        else
            m_tree->addTopLevelItem(item);
        byNumber.append(item);
    }
    for (int i = 0; i < entries.size(); ++i) {
        const bool own = fromItems.value(i, -1) >= 0;
        byNumber.at(i)->setExpanded(own ? entries.at(i).expand
                                        : m_expandMode == 2 || (m_expandMode == 0 && entries.at(i).expand));
    }
}

QVector<TListEntry> TWgtPrjList::entries(QList<QTreeWidgetItem *> *items) const
{
    QVector<TListEntry> list;
    const std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int parent) {
        list.append({item->text(0), item->text(1), item->data(0, Qt::UserRole).toStringList(), parent,
                     item->isExpanded()});
        if (items)
            items->append(item);
        const int own = list.size();
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), own);
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        walk(m_tree->topLevelItem(i), 0);
    return list;
}

QByteArray TWgtPrjList::listFileBytes() const
{
    return m_list.text(entries());
}

bool TWgtPrjList::save(const QString &path)
{
    if (m_loaded && QFileInfo(path) == QFileInfo(m_listFile))
        return saveList();
    m_saveDeclined = false;
    m_saveError.clear();
    return writeWholeFile(path, listFileBytes(), &m_saveError, false);
}

bool TWgtPrjList::saveList()
{
    m_saveDeclined = false;
    m_saveError.clear();
    if (!isModified())
        return true;
    QList<QTreeWidgetItem *> items;
    const auto mine = [this, &items](QVector<int> *held) {
        items.clear();
        const QVector<TListEntry> list = entries(&items);
        // The entry this copy stands on, and those above it, stay.
        for (QTreeWidgetItem *item = m_tree->currentItem(); item; item = item->parent())
            held->append(items.indexOf(item));
        return list;
    };
    const auto show = [this, &items](const QVector<TListEntry> &merged, const QVector<int> &fromMine) {
        // The filter's remembered states are of the tree as it was.
        slotFilterClear();
        const QSignalBlocker blocker(m_tree);
        QTreeWidgetItem *current = m_tree->currentItem();
        while (m_tree->topLevelItemCount() > 0)
            m_tree->takeTopLevelItem(0);
        for (QTreeWidgetItem *item : qAsConst(items))
            item->takeChildren();
        fillTree(merged, fromMine, items);
        QVector<bool> kept(items.size(), false);
        for (int from : fromMine)
            if (from >= 0)
                kept[from] = true;
        for (int i = 0; i < items.size(); ++i)
            if (!kept.at(i))
                delete items.at(i);
        m_tree->setCurrentItem(current);
    };
    const TFileSeen::Outcome outcome = m_list.save(m_listFile, mine, show, this, &m_saveError, &m_cleanBytes);
    m_saveDeclined = outcome == TFileSeen::Changed;
    return outcome == TFileSeen::Written;
}

bool TWgtPrjList::isModified() const
{
    return m_loaded && listFileBytes() != m_cleanBytes;
}

// ---- Current entry -------------------------------------------------------------

QTreeWidgetItem *TWgtPrjList::currentItem() const
{
    return m_tree->currentItem();
}

QTreeWidget *TWgtPrjList::tree() const
{
    return m_tree;
}

QString TWgtPrjList::currentName() const
{
    return m_tree->currentItem() ? m_tree->currentItem()->text(0) : QString();
}

QString TWgtPrjList::currentFile() const
{
    return m_tree->currentItem() ? m_tree->currentItem()->text(1) : QString();
}

int TWgtPrjList::selectedIndex() const
{
    return m_tree->selectedIndex();
}

void TWgtPrjList::setCurrentIndex(int position)
{
    m_tree->setCurrentIndex(position);
}

void TWgtPrjList::setCurrentItemSilently(QTreeWidgetItem *item)
{
    const QSignalBlocker blocker(m_tree);
    m_tree->setCurrentItem(item);
    if (!item)
        m_tree->clearSelection();
    m_tree->viewport()->update();
}

void TWgtPrjList::setCurrentTexts(const QString &name, const QString &file)
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    item->setText(0, name);
    item->setText(1, file);
}

void TWgtPrjList::updateCurrentIcon()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    setIcon(item);
    slotItemSelect(item);
}

bool TWgtPrjList::addItem(int mode, const QString &name, const QString &baseDir, const QString &file,
                          bool asChild, const QByteArray &content)
{
    m_addFailure = AddOk;
    m_addPath.clear();
    m_addError.clear();
    QString stored = file;
    if (!stored.isEmpty()) {
        if (suffixOf(QFileInfo(stored).fileName()) != QLatin1String("prj"))
            stored += QLatin1String(".prj");
        const QString path = makeAbsolutePath(baseDir, stored);
        m_addPath = path;
        if (mode == 0 || mode == 2) {
            if (QFileInfo::exists(path)) {
                m_addFailure = AddFileExists;
                return false;
            }
            if (!(mode == 0 ? createProjectFile(path, &m_addError) : writeFile(path, content, &m_addError))) {
                m_addFailure = AddWriteFailed;
                return false;
            }
        }
        stored = toRelativePath(baseDir, path);
    }

    QTreeWidgetItem *current = m_tree->currentItem();
    QTreeWidgetItem *parent = current ? (asChild ? current : current->parent()) : nullptr;
    auto *item = new QTreeWidgetItem;
    item->setText(0, name);
    item->setText(1, stored);
    setIcon(item);
    if (asChild || !current) {
        // Without a current entry a child has no parent: it goes to the top.
        if (parent)
            parent->addChild(item);
        else
            m_tree->addTopLevelItem(item);
    } else {
        // Directly behind the current entry's subtree; siblings hidden by a
        // filter stay in front of the new entry.
        const auto childAt = [&](int i) { return parent ? parent->child(i) : m_tree->topLevelItem(i); };
        const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
        int at = (parent ? parent->indexOfChild(current) : m_tree->indexOfTopLevelItem(current)) + 1;
        while (at < count && childAt(at)->isHidden())
            ++at;
        if (parent)
            parent->insertChild(at, item);
        else
            m_tree->insertTopLevelItem(at, item);
    }
    m_tree->setCurrentItem(item);
    return true;
}

bool TWgtPrjList::removeCurrent()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return true;
    QTreeWidgetItem *parent = item->parent();
    const int index = parent ? parent->indexOfChild(item) : m_tree->indexOfTopLevelItem(item);
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    const auto childAt = [&](int i) { return parent ? parent->child(i) : m_tree->topLevelItem(i); };
    QTreeWidgetItem *next = index > 0 ? childAt(index - 1) : (index + 1 < count ? childAt(index + 1) : nullptr);
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->setCurrentItem(nullptr);
        delete item;
    }
    if (next)
        m_tree->setCurrentItem(next);
    else
        m_tree->clearSelection();
    return true;
}

bool TWgtPrjList::removeChildren()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return true;
    while (item->childCount() > 0)
        delete item->takeChild(item->childCount() - 1);
    return true;
}

// ---- Appearance ------------------------------------------------------------------

void TWgtPrjList::showName(bool show)
{
    m_name->setVisible(show);
    m_nameLine->setVisible(show);
}

void TWgtPrjList::showFilter(bool show)
{
    if (!show)
        slotFilterClear();
    m_filterRow->setVisible(show);
    m_filter->setEnabled(show && m_loaded);
    m_clear->setEnabled(show && m_loaded);
    m_filterLine->setVisible(show);
}

void TWgtPrjList::setDragDrop(bool on)
{
    m_tree->setDragDropMode(on ? QAbstractItemView::InternalMove : QAbstractItemView::NoDragDrop);
}

QPoint TWgtPrjList::mapToGlobal(const QPoint &pos) const
{
    return m_tree->viewport()->mapToGlobal(pos);
}

// ---- Filter and selection -------------------------------------------------------

QList<QTreeWidgetItem *> TWgtPrjList::walkOrder() const
{
    QList<QTreeWidgetItem *> items;
    for (int i = m_tree->topLevelItemCount() - 1; i >= 0; --i)
        collectPreOrder(m_tree->topLevelItem(i), items);
    return items;
}

void TWgtPrjList::slotFilterString(const QString &text)
{
    const QList<QTreeWidgetItem *> items = walkOrder();
    if (m_filterText.isEmpty() && !text.isEmpty()) {
        m_expandStates.clear();
        for (QTreeWidgetItem *item : items)
            m_expandStates.append(item->isExpanded() ? char(1) : char(0));
    }
    const QRegExp pattern(QLatin1Char('*') + text + QLatin1Char('*'), Qt::CaseInsensitive, QRegExp::Wildcard);
    for (int i = m_tree->topLevelItemCount() - 1; i >= 0; --i)
        applyFilter(m_tree->topLevelItem(i), pattern);
    if (!text.isEmpty()) {
        for (QTreeWidgetItem *item : items)
            item->setExpanded(true);
    } else if (!m_filterText.isEmpty()) {
        QTreeWidgetItem *selected = m_tree->selectedItems().value(0);
        for (int i = 0; i < items.size(); ++i) {
            const bool remembered = i < m_expandStates.size() && m_expandStates.at(i) != 0;
            items.at(i)->setExpanded(remembered || itemIsAbove(items.at(i), selected));
        }
        m_expandStates.clear();
        if (selected)
            m_tree->scrollToItem(selected);
    }
    m_filterText = text;
}

void TWgtPrjList::slotFilterClear()
{
    m_filter->setText(QString());
}

void TWgtPrjList::slotItemSelect(QTreeWidgetItem *current)
{
    if (!current)
        return;
    const QString file = current->text(1);
    emit signalProjectSelect(file.isEmpty() ? QString() : makeAbsolutePath(dirOfFile(m_listFile), file));
}

bool TWgtPrjList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == m_filter && key == Qt::Key_Down && m_tree->topLevelItemCount() > 0) {
            m_tree->setFocus(Qt::OtherFocusReason);
            m_tree->setCurrentItem(m_tree->itemAt(0, 0));
        } else if (watched == m_tree && key == Qt::Key_Up) {
            QTreeWidgetItem *top = m_tree->itemAt(0, 0);
            if (top == m_tree->currentItem()) {
                m_filter->setFocus(Qt::OtherFocusReason);
                if (top)
                    top->setSelected(false);
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}
