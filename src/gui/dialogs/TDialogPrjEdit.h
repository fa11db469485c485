#pragma once
// Asks for the name and the project file of a project-list entry. Accepts
// any two texts; the caller decides what to do with them.

#include <QDialog>

class TWgtEditFileName;
class TWgtLabelEdit;

class TDialogPrjEdit : public QDialog
{
public:
    TDialogPrjEdit(const QString &title, QWidget *parent = nullptr);
    ~TDialogPrjEdit() override;

    // The texts, and the folder the file chooser opens in and makes paths
    // relative to.
    void setValues(const QString &name, const QString &file, const QString &baseDir);
    QString name() const;
    QString fileName() const;

private:
    TWgtLabelEdit *m_name = nullptr;
    TWgtEditFileName *m_file = nullptr;
};
