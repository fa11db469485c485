#pragma once
// Settings page of the general settings: style, saving at exit, window
// placement, the command selector's place, the configuration pages'
// orientation, project start-up and the four working folders.

#include "gui/dialogs/IDialogSetupPage.h"

#include <QList>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QVBoxLayout;
class TWgtLabelComboBox;

class TDialogSetupPageMain : public IDialogSetupPage
{
    Q_OBJECT

public:
    explicit TDialogSetupPageMain(QWidget *parent = nullptr);
    ~TDialogSetupPageMain() override;

    QString name() const override;
    QString title() const override;
    void load() override;
    void save() override;

private:
    QVBoxLayout *m_layout = nullptr;
    TWgtLabelComboBox *m_style = nullptr;
    QList<QCheckBox *> m_flags;     // in the order of the flag table
    TWgtLabelComboBox *m_selector = nullptr;
    TWgtLabelComboBox *m_orientation = nullptr;
    QFormLayout *m_folderLayout = nullptr;
    QList<QLineEdit *> m_folders;   // language, projects, devices, programmers
};
