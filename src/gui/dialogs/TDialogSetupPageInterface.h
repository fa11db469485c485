#pragma once
// Settings page of the views: the project-list tree, the configuration
// tabs, the command list with the colours of fifteen commands, and the
// execution log.

#include "gui/dialogs/IDialogSetupPage.h"

#include <QList>

class QCheckBox;
class QGroupBox;
class QVBoxLayout;
class TWgtColorEnableEdit;
class TWgtLabelComboBox;

class TDialogSetupPageInterface : public IDialogSetupPage
{
    Q_OBJECT

public:
    explicit TDialogSetupPageInterface(QWidget *parent = nullptr);
    ~TDialogSetupPageInterface() override;

    QString name() const override;
    QString title() const override;
    void load() override;
    void save() override;

public slots:
    void slotShowTime_ms();

private:
    QVBoxLayout *m_layout = nullptr;
    TWgtLabelComboBox *m_expand = nullptr;
    QList<QCheckBox *> m_flags;              // in the order of the flag table
    QList<TWgtColorEnableEdit *> m_colors;   // in the order of the colour table
    QCheckBox *m_showTime = nullptr;
    QCheckBox *m_showTimeMs = nullptr;
};
