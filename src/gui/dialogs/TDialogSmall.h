#pragma once
// Three small modal dialogs of the main window: the name of a
// configuration, the choice of the language file, and the about box. Each is
// built whole in its constructor, run with exec() and read through getters.

#include "gui/dialogs/dialog_parts.h"

#include <QDialog>
#include <QStringList>

class QFormLayout;
class QFrame;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class TWgtLabelEdit;

// The name of a configuration. Only the width can be changed; left, top and
// width are kept in the settings on every way out.
class TDialogCfgEdit : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogCfgEdit(const QString &title, QWidget *parent = nullptr);
    ~TDialogCfgEdit() override;

    void setName(const QString &name);
    // As typed, not trimmed.
    QString name() const;

private:
    TWgtLabelEdit *m_name = nullptr;
    QLabel *m_line = nullptr;
    TDialogButtons m_buttons{};
    QVBoxLayout *m_layout = nullptr;
};

// The language chooser. Its texts are English literals, readable whatever
// language file is loaded or missing; the entries are shown sorted with the
// first one current.
class TDialogSetLanguage : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogSetLanguage(const QStringList &entries, QWidget *parent = nullptr);
    ~TDialogSetLanguage() override;

    // The current row's text; empty when no row is current.
    QString selectedLanguage() const;

private:
    QListWidget *m_list = nullptr;
    TDialogButtons m_buttons{};
    QVBoxLayout *m_layout = nullptr;
};

// The program's name, version, build date and contact address; always
// centred on the active window, of a fixed size.
class TDialogAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogAbout(QWidget *parent = nullptr);
    ~TDialogAbout() override;

private:
    QLabel *m_shortName = nullptr;
    QLabel *m_fullName = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_contact = nullptr;
    QLabel *m_line = nullptr;
    QVBoxLayout *m_inner = nullptr;
    QPushButton *m_ok = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QFormLayout *m_form = nullptr;
};
