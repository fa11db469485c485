#pragma once
// The catalogue of project lists: a file of named rows, each naming a
// project-list file (relative to the projects folder or absolute), shown as
// a two-column table where the user creates, adds, copies, edits, removes
// and reorders rows and picks the list to open. The caller loads the
// catalogue, tells the dialog which list is open, runs it, reads the chosen
// row and writes the catalogue back when rows changed.

#include "core/TFileSeen.h"
#include "core/TJsonShape.h"
#include "gui/dialogs/dialog_parts.h"

#include <QDialog>
#include <QPair>
#include <QVector>

class QFrame;
class QHBoxLayout;
class QMenu;
class QPushButton;
class QTableWidget;
class QVBoxLayout;
class TActionWidget;

// One row of the catalogue: name and file.
using TCatalogueRow = QPair<QString, QString>;

// The catalogue file's text, line by line with line feeds (listText).
QByteArray catalogueText(const QVector<TCatalogueRow> &rows);
// Reads the rows of a catalogue text (the entries of a list file, see
// readListText); false when the text is empty, no valid JSON or of
// another shape, with the reason (where it fails) in error when given.
bool parseCatalogue(const QByteArray &text, QVector<TCatalogueRow> *rows, QString *error = nullptr);

class TDialogSelectPrjList : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogSelectPrjList(QWidget *parent = nullptr);
    ~TDialogSelectPrjList() override;

    // Fills the table from the catalogue file. A missing file is an empty
    // catalogue; one that cannot be read, is empty or holds no valid JSON
    // gives false (the reason in loadError()) and an empty table, and is
    // never written over by saveCatalogue.
    bool loadCatalogue(const QString &path);
    // Why the last loadCatalogue failed: the file's error, or where its
    // text is no valid JSON.
    QString loadError() const { return m_loadError; }
    // Writes the table to the file whole or not at all; false, with
    // errorString(), when any part of the write failed (the old file stays).
    // Over a catalogue that another copy changed since this one read or
    // wrote it, the rows are merged with that copy's (mergeListEntries);
    // where they cannot be, it asks whether to write over them, and a No
    // keeps the file (saveDeclined()).
    bool saveCatalogue(const QString &path);
    // Why the last saveCatalogue failed.
    QString errorString() const { return m_error; }
    bool saveDeclined() const { return m_saveDeclined; }

    // The list open in the main window; the name is kept empty when it
    // equals the file.
    void setCurrentList(const QString &name, const QString &file);
    // Column 0 or 1 of the current row; empty when no row is current.
    QString currentName() const;
    QString currentFile() const;
    bool isModified() const { return m_modified; }

    // The absolute projects folder, against which row files are read.
    static QString projectsDir();

public slots:
    void slotShowContextMenu(const QPoint &point);
    void slotNew();
    void slotAdd();
    void slotAddCurr();
    void slotEdit();
    void slotCopy();
    void slotDelete();
    void slotMoveUp();
    void slotMoveDown();
    void slotOpenFolder();
    void slotSelectItem();

private:
    void createUi();
    void loadHotKeys();
    void updateActions();
    void addRow(const QString &name, const QString &file);
    // The rows as entries, and the table filled with entries.
    QVector<TListEntry> rows() const;
    void setRows(const QVector<TListEntry> &rows);
    void moveRow(int delta);
    void setModified() { m_modified = true; }
    // The save-file dialog of New, Add and Copy; empty when none was chosen.
    QString chooseFile(const QString &caption);
    // The entry dialog; false on Cancel.
    bool editEntry(const QString &title, QString *name, QString *file);

    bool m_modified = false;
    TActionWidget *m_actNew = nullptr;
    TActionWidget *m_actAdd = nullptr;
    TActionWidget *m_actAddCurr = nullptr;
    TActionWidget *m_actEdit = nullptr;
    TActionWidget *m_actCopy = nullptr;
    TActionWidget *m_actDelete = nullptr;
    TActionWidget *m_actMoveUp = nullptr;
    TActionWidget *m_actMoveDown = nullptr;
    TActionWidget *m_actOpenFolder = nullptr;
    QMenu *m_menu = nullptr;
    QTableWidget *m_table = nullptr;
    TDialogButtons m_buttons{};
    QVBoxLayout *m_layout = nullptr;
    QString m_currName;
    QString m_currFile;
    // A catalogue file that exists but could not be loaded: never written.
    QString m_unreadable;
    QString m_loadError;
    QString m_error;
    TListFile m_list{false, "\n", true};   // entries at the top, lines ended by LF, written as text
    bool m_saveDeclined = false;
};
