#pragma once
// The two small dialogs that ask for a name and a file: TDialogPrjEdit for
// an entry of the project-list tree (name and project file) and
// TDialogPrjListEdit for a row of the catalogue of project lists (name and
// list file). Neither checks what was typed: OK accepts any two texts. Only
// the width can be changed; left, top and width are kept in the settings on
// every way out.

#include "gui/dialogs/dialog_parts.h"

#include <QDialog>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TWgtEditFileName;
class TWgtLabelEdit;

class TDialogNameFileEdit : public QDialog
{
    Q_OBJECT

public:
    ~TDialogNameFileEdit() override;

    // The name, the file and the folder the file chooser opens in and
    // against which a chosen file is entered relative where it can be.
    void setValues(const QString &name, const QString &file, const QString &baseDir);
    QString name() const;
    QString fileName() const;

protected:
    // The window group's left, top and width members.
    struct Geometry {
        int *left;
        int *top;
        int *width;
    };
    TDialogNameFileEdit(const QString &title, int nameLabel, int fileLabel, Geometry geometry,
                        QWidget *parent);

    TWgtLabelEdit *m_name = nullptr;
    TWgtEditFileName *m_file = nullptr;

private:
    QLabel *m_line = nullptr;
    TDialogButtons m_buttons{};
    QVBoxLayout *m_layout = nullptr;
    Geometry m_geometry;
};

class TDialogPrjEdit : public TDialogNameFileEdit
{
    Q_OBJECT

public:
    explicit TDialogPrjEdit(const QString &title, QWidget *parent = nullptr);
};

class TDialogPrjListEdit : public TDialogNameFileEdit
{
    Q_OBJECT

public:
    explicit TDialogPrjListEdit(const QString &title, QWidget *parent = nullptr);
};
