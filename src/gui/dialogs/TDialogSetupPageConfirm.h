#pragma once
// Settings page of the questions asked before actions: one check box per
// question.

#include "gui/dialogs/IDialogSetupPage.h"

#include <QList>

class QCheckBox;
class QVBoxLayout;

class TDialogSetupPageConfirm : public IDialogSetupPage
{
    Q_OBJECT

public:
    explicit TDialogSetupPageConfirm(QWidget *parent = nullptr);
    ~TDialogSetupPageConfirm() override;

    QString name() const override;
    QString title() const override;
    void load() override;
    void save() override;

private:
    QVBoxLayout *m_layout = nullptr;
    QList<QCheckBox *> m_flags;   // in the order of the question table
};
