#include "gui/dialogs/TDialogSetupPageConfirm.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "gui/dialogs/setup_page_misc.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

struct Question
{
    int group;
    int text;
    int toolTip;
    bool TAppData::*member;
    QStringList codes;   // the display names of these codes fill %1, %2
};

const Question questions[] = {
    {275, 276, 277, &TAppData::confirmProjectsListReload, {}},
    {275, 278, 279, &TAppData::confirmProjectsListDelete, {}},
    {280, 281, 282, &TAppData::confirmProjectSave, {}},
    {280, 283, 284, &TAppData::confirmProjectDeleteCur, {}},
    {280, 285, 286, &TAppData::confirmProjectDeleteSubAll, {}},
    {287, 288, 289, &TAppData::confirmConfigDeleteCur, {}},
    {290, 291, 292, &TAppData::confirmCmdInsertProgDevice, {"set_prog", "set_device"}},
    {290, 293, 294, &TAppData::confirmCmdInsertProg, {"set_prog"}},
    {290, 293, 294, &TAppData::confirmCmdInsertDevice, {"set_device"}},
    {290, 295, 296, &TAppData::confirmCmdPaste, {}},
    {290, 297, 298, &TAppData::confirmCmdDeleteCur, {}},
    {290, 299, 300, &TAppData::confirmCmdDeleteSelected, {}},
    {290, 301, 302, &TAppData::confirmCmdDeleteError, {}},
    {290, 303, 304, &TAppData::confirmCmdDeleteDev, {}},
    {290, 305, 306, &TAppData::confirmCmdDeleteAll, {}},
    {307, 308, 309, &TAppData::confirmExecConfig, {}},
    {307, 310, 311, &TAppData::confirmExecReset, {"reset"}},
    {312, 313, 314, &TAppData::confirmQuit, {}},
};

QString filled(int message, const QStringList &codes)
{
    QString text = lang.text(message);
    for (const QString &code : codes)
        text = text.arg(cmdCode.name(code));
    return text;
}

} // namespace

TDialogSetupPageConfirm::TDialogSetupPageConfirm(QWidget *parent) : IDialogSetupPage(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(5);
    QVBoxLayout *group = nullptr;
    int groupTitle = -1;
    for (const Question &q : questions) {
        if (q.group != groupTitle) {
            if (group)
                group->addStretch(1);
            groupTitle = q.group;
            m_layout->addWidget(createSetupGroup(lang.text(q.group), group));
        }
        auto *box = new QCheckBox(filled(q.text, q.codes));
        box->setToolTip(filled(q.toolTip, q.codes));
        group->addWidget(box);
        m_flags << box;
    }
    group->addStretch(1);
    m_layout->addStretch(1);
}

TDialogSetupPageConfirm::~TDialogSetupPageConfirm() = default;

QString TDialogSetupPageConfirm::name() const { return lang.text(273); }
QString TDialogSetupPageConfirm::title() const { return lang.text(274); }

void TDialogSetupPageConfirm::load()
{
    for (int i = 0; i < m_flags.size(); ++i)
        m_flags.at(i)->setChecked(appData.*questions[i].member);
}

void TDialogSetupPageConfirm::save()
{
    for (int i = 0; i < m_flags.size(); ++i)
        appData.*questions[i].member = m_flags.at(i)->isChecked();
}
