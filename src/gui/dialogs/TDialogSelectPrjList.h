#pragma once
// Chooses a project list from the catalogue of project lists: a file of rows,
// each a display name and the path of a project-list file.

#include <QDialog>

class QTableWidget;

class TDialogSelectPrjList : public QDialog
{
public:
    explicit TDialogSelectPrjList(QWidget *parent = nullptr);

    // False (empty table) when the file cannot be read, is empty or is not
    // JSON.
    bool loadCatalogue(const QString &path);
    // Whole or nothing.
    bool saveCatalogue(const QString &path);
    // The list open now; its row becomes current.
    void setCurrentList(const QString &name, const QString &file);
    QString currentName() const;
    QString currentFile() const;
    bool isModified() const { return m_modified; }

private:
    QTableWidget *m_table = nullptr;
    bool m_modified = false;
};
