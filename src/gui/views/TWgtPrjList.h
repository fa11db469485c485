#pragma once
// The project-list tree: the left pane of the main window. It shows one
// project-list file as a tree of named entries (an entry with a project file
// is a project, one without is a group; both may have children), narrows the
// tree with a name filter, reads and writes the list file, creates the
// project file of a new entry and tells the window which project the user
// selected.
//
// List file: JSON text, entries in pre-order numbered from 1, each with the
// number of its parent (0 at the top level), its expanded state, its name and
// its project file (relative to the list file's folder, or absolute).
// Members the reader does not know, of the file and of each entry, go back
// into the file as they stood.
//
// Several copies of the program may have one list open. A copy writes its
// list only when it changed it, and over a file that another copy changed
// since this one read or wrote it only merged with that copy's entries
// (mergeListEntries); where the two changed the same entries, or the file
// can no longer be read as a list, it asks first.

#include <QByteArray>
#include <QFrame>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/TFileSeen.h"
#include "core/TJsonShape.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TTreeWidget;
class TWgtLabelElided;

class TWgtPrjList : public QFrame
{
    Q_OBJECT
public:
    // Why addItem() refused an entry.
    enum AddFailure { AddOk, AddFileExists, AddWriteFailed };

    explicit TWgtPrjList(QWidget *parent = nullptr);
    ~TWgtPrjList() override;

    // Replaces the tree by the list file. file is relative to the projects
    // folder or absolute; expandMode 0 takes each entry's stored state, 2
    // expands all, anything else collapses all. Emits nothing. False when
    // the file cannot be read, is empty, is not JSON or not of a list's
    // shape (errorText()): the entries of a list file (readListText),
    // each with "parent" and "expand" whole numbers when present, its
    // parent 0 or an entry before it.
    bool load(const QString &name, const QString &file, int expandMode);
    // Writes the tree whole or not at all; false (old file untouched) when
    // it cannot be written, with the system's reason in saveError(). To the
    // list's own file it is saveList().
    bool save(const QString &path);
    // Writes the tree to its list file when it changed (isModified), merged
    // with what another copy wrote there meanwhile; where that cannot be
    // merged, asks whether to write over it. False when nothing could be
    // written (saveError()) or the user kept the file (saveDeclined()).
    bool saveList();
    bool saveDeclined() const { return m_saveDeclined; }
    // The tree differs from what was last read from or written to the list
    // file (entries moved by drag and drop, expanded states); false while
    // no list is loaded.
    bool isModified() const;
    // The bytes save() writes for the tree.
    QByteArray listFileBytes() const;

    QString listName() const { return m_listName; }
    QString listFile() const { return m_listFile; }
    QString errorText() const { return m_errorText; }
    QString saveError() const { return m_saveError; }
    bool isLoaded() const { return m_loaded; }
    QString currentName() const;
    QString currentFile() const;
    QTreeWidgetItem *currentItem() const;
    QTreeWidget *tree() const;
    // Pre-order position of the selected item among all items, -1 when none.
    int selectedIndex() const;
    // Makes the item at the pre-order position current (emitting its
    // project); any other position clears the current item.
    void setCurrentIndex(int position);
    // Makes the item current without telling anybody (the window returns to
    // the entry whose project stays open).
    void setCurrentItemSilently(QTreeWidgetItem *item);

    // Adds an entry after the current one (or as its last child), creating
    // its project file first: mode 0 from the new-project template, mode 2
    // with content, mode 1 takes an existing file as it is. Modes 0 and 2
    // never replace a file that exists. A file whose complete suffix is not
    // "prj" gets ".prj". The new entry becomes current. False (nothing
    // added) when the file exists or cannot be written: addFailure() and
    // addPath() say which and where, addError() why a write failed.
    bool addItem(int mode, const QString &name, const QString &baseDir, const QString &file,
                 bool asChild, const QByteArray &content);
    AddFailure addFailure() const { return m_addFailure; }
    QString addPath() const { return m_addPath; }
    QString addError() const { return m_addError; }

    void setCurrentTexts(const QString &name, const QString &file);
    // Icon from the current entry's file, then the entry is selected again.
    void updateCurrentIcon();
    // The current entry with its descendants; the entry that takes its place
    // (previous sibling, else next one) is reported. The files stay on disk.
    bool removeCurrent();
    bool removeChildren();

    void showName(bool show);
    void showFilter(bool show);
    void setDragDrop(bool on);
    // A point of the tree's viewport in screen coordinates.
    QPoint mapToGlobal(const QPoint &pos) const;

signals:
    void signalProjectSelect(const QString &path);
    void signalContextMenuRequested(const QPoint &pos);

public slots:
    void slotFilterClear();
    void slotFilterString(const QString &text);
    void slotItemSelect(QTreeWidgetItem *current);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectAll();
    void disconnectAll();
    void setIcon(QTreeWidgetItem *item) const;
    QList<QTreeWidgetItem *> walkOrder() const;
    // The tree's entries in pre-order; items, when given, gets their items.
    QVector<TListEntry> entries(QList<QTreeWidgetItem *> *items = nullptr) const;
    // Fills the empty tree with the entries: entry i is the item
    // items[fromItems[i]] where that is 0 or more (expanded as the entry
    // says), else a new item (expanded as the list's expand mode says).
    void fillTree(const QVector<TListEntry> &entries, const QVector<int> &fromItems,
                  const QList<QTreeWidgetItem *> &items);

    bool m_loaded = false;
    QString m_errorText;
    QString m_listName;
    QString m_listFile;
    QString m_filterText;
    QByteArray m_expandStates;
    QByteArray m_cleanBytes;   // the tree as last read or written
    int m_expandMode = 0;
    TListFile m_list{true, "\r", false};   // entries in a tree, lines ended by CR
    bool m_saveDeclined = false;
    AddFailure m_addFailure = AddOk;
    QString m_addPath;
    QString m_addError;
    QString m_saveError;

    TWgtLabelElided *m_name = nullptr;
    QLabel *m_nameLine = nullptr;
    QWidget *m_filterRow = nullptr;
    QLineEdit *m_filter = nullptr;
    QPushButton *m_clear = nullptr;
    QLabel *m_filterLine = nullptr;
    TTreeWidget *m_tree = nullptr;
    QList<QMetaObject::Connection> m_connections;
};
