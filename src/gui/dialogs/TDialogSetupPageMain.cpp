#include "gui/dialogs/TDialogSetupPageMain.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/widgets/TWgtLabelComboBox.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace {

struct Flag
{
    int text;
    bool TAppData::*member;
};

// In the order of their creation and of the page.
const Flag flags[] = {
    {180, &TAppData::saveSettingsWindow}, {182, &TAppData::saveSettingsApp},
    {184, &TAppData::autoSavePrj},        {186, &TAppData::openLastPrj},
    {188, &TAppData::windowMainCenter},   {190, &TAppData::windowOtherCenter},
};

struct Folder
{
    int label;
    int toolTip;
    QString TAppData::*member;
};

// Created in this order; shown in the order devices, programmers, projects,
// language.
const Folder folders[] = {
    {204, 205, &TAppData::pathLanguage}, {206, 207, &TAppData::pathProjects},
    {208, 209, &TAppData::pathDevices},  {210, 211, &TAppData::pathProgs},
};

QStringList messages(int first, int last)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << lang.text(n);
    return texts;
}

} // namespace

TDialogSetupPageMain::TDialogSetupPageMain(QWidget *parent) : IDialogSetupPage(parent)
{
    m_style = new TWgtLabelComboBox(lang.text(178), QStyleFactory::keys(), 0);
    m_style->setToolTip(lang.text(179));
    for (const Flag &f : flags) {
        auto *box = new QCheckBox(lang.text(f.text));
        box->setToolTip(lang.text(f.text + 1));
        m_flags << box;
    }
    m_selector = new TWgtLabelComboBox(lang.text(192), messages(194, 199), 0);
    m_selector->setToolTip(lang.text(193));
    m_orientation = new TWgtLabelComboBox(lang.text(200), messages(202, 203), 0);
    m_orientation->setToolTip(lang.text(201));
    for (const Folder &f : folders) {
        auto *edit = new QLineEdit;
        edit->setToolTip(lang.text(f.toolTip));
        m_folders << edit;
    }
    m_folderLayout = new QFormLayout;
    m_folderLayout->setContentsMargins(0, 5, 0, 0);
    m_folderLayout->setSpacing(3);
    for (const int i : {2, 3, 1, 0})
        m_folderLayout->addRow(lang.text(folders[i].label), m_folders.at(i));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_style);
    for (QCheckBox *box : qAsConst(m_flags))
        m_layout->addWidget(box);
    m_layout->addWidget(m_selector);
    m_layout->addWidget(m_orientation);
    m_layout->addLayout(m_folderLayout);
    m_layout->addStretch(1);
}

TDialogSetupPageMain::~TDialogSetupPageMain() = default;

QString TDialogSetupPageMain::name() const { return lang.text(176); }
QString TDialogSetupPageMain::title() const { return lang.text(177); }

void TDialogSetupPageMain::load()
{
    m_style->setCurrentText(appData.style);
    for (int i = 0; i < m_flags.size(); ++i)
        m_flags.at(i)->setChecked(appData.*flags[i].member);
    m_selector->setCurrentIndex(appData.windowCmdSelector >= 0 && appData.windowCmdSelector <= 5
                                    ? appData.windowCmdSelector : -1);
    m_orientation->setCurrentIndex(appData.cfgOrientation ? 1 : 0);
    for (int i = 0; i < m_folders.size(); ++i)
        m_folders.at(i)->setText(appData.*folders[i].member);
}

void TDialogSetupPageMain::save()
{
    appData.style = m_style->currentText();
    for (int i = 0; i < m_flags.size(); ++i)
        appData.*flags[i].member = m_flags.at(i)->isChecked();
    appData.windowCmdSelector = m_selector->currentIndex();
    appData.cfgOrientation = m_orientation->currentIndex() != 0 ? 1 : 0;
    // Runs read the device and programmer folders while this runs: a folder
    // is replaced, under the lock the runs read it with, only when it changed.
    for (int i = 0; i < m_folders.size(); ++i) {
        const QString text = m_folders.at(i)->text();
        if (appData.*folders[i].member != text)
            appData.setFolder(folders[i].member, text);
    }
}
