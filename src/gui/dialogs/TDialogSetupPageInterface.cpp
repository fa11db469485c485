#include "gui/dialogs/TDialogSetupPageInterface.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "gui/dialogs/setup_page_misc.h"
#include "gui/widgets/TWgtColorEnableEdit.h"
#include "gui/widgets/TWgtLabelComboBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

enum Group { ProjectList, Project, Commands, Execution };

struct Flag
{
    Group group;
    int text;
    int toolTip;
    bool TAppData::*member;
    // Placeholders of text and tool-tip.
    QStringList textArgs;
    QStringList tipArgs;
};

QString execWord() { return lang.text(75); }

// The check boxes in the order of the page.
QVector<Flag> flagTable()
{
    const QString reset = cmdCode.name(QStringLiteral("reset"));
    const QString idProg = QStringLiteral("ID Prog");
    return {
        {ProjectList, 247, 248, &TAppData::prjListShowName, {}, {}},
        {ProjectList, 249, 250, &TAppData::prjListShowFilter, {}, {}},
        {ProjectList, 251, 252, &TAppData::prjListDragDrop, {}, {}},
        {Project, 254, 255, &TAppData::prjHideTabCfg, {}, {}},
        {Commands, 257, 258, &TAppData::cmdDelCmdDev, {}, {}},
        {Commands, 259, 260, &TAppData::cmdAddState, {}, {}},
        {Execution, 263, 264, &TAppData::execLogShowTime, {execWord()}, {execWord()}},
        {Execution, 265, 266, &TAppData::execLogShowTime_ms, {execWord()}, {execWord()}},
        {Execution, 269, 270, &TAppData::execShowProgIDProg, {execWord(), idProg}, {idProg, execWord()}},
        {Execution, 269, 270, &TAppData::execShowProgReset, {execWord(), reset}, {reset, execWord()}},
        {Execution, 271, 272, &TAppData::execShowProgExec, {execWord()}, {execWord()}},
        {Execution, 267, 268, &TAppData::execClearWindow, {execWord()}, {execWord()}},
    };
}

struct ColorRow
{
    const char *group;
    const char *code;
    bool TAppData::*enable;
    QColor TAppData::*color;
};

const ColorRow colorRows[] = {
    {"Tools", "set_prog", &TAppData::cmdToolsSetProgColorEnable, &TAppData::cmdToolsSetProgColor},
    {"Tools", "execute", &TAppData::cmdToolsExecuteColorEnable, &TAppData::cmdToolsExecuteColor},
    {"Tools", "delay", &TAppData::cmdToolsDelayColorEnable, &TAppData::cmdToolsDelayColor},
    {"Tools", "counter", &TAppData::cmdToolsCounterColorEnable, &TAppData::cmdToolsCounterColor},
    {"Tools", "jamp", &TAppData::cmdToolsJampColorEnable, &TAppData::cmdToolsJampColor},
    {"Tools", "pause", &TAppData::cmdToolsPauseColorEnable, &TAppData::cmdToolsPauseColor},
    {"Tools", "stop", &TAppData::cmdToolsStopColorEnable, &TAppData::cmdToolsStopColor},
    {"Tools", "calc_crc", &TAppData::cmdToolsCalcCRCColorEnable, &TAppData::cmdToolsCalcCRCColor},
    {"Tools", "process", &TAppData::cmdToolsProcessColorEnable, &TAppData::cmdToolsProcessColor},
    {"Prog", "set_device", &TAppData::cmdProgSetDeviceColorEnable, &TAppData::cmdProgSetDeviceColor},
    {"Prog", "auto_detect", &TAppData::cmdProgAutoDetectColorEnable, &TAppData::cmdProgAutoDetectColor},
    {"Prog", "reset", &TAppData::cmdProgResetColorEnable, &TAppData::cmdProgResetColor},
    {"Prog", "generator", &TAppData::cmdProgGeneratorColorEnable, &TAppData::cmdProgGeneratorColor},
    {"Prog", "set_io", &TAppData::cmdProgSetIOColorEnable, &TAppData::cmdProgSetIOColor},
    {"Device", "leave", &TAppData::cmdDeviceLeaveColorEnable, &TAppData::cmdDeviceLeaveColor},
};

} // namespace

TDialogSetupPageInterface::TDialogSetupPageInterface(QWidget *parent) : IDialogSetupPage(parent)
{
    QVBoxLayout *groups[4];
    QGroupBox *boxes[4];
    const int titles[4] = {242, 253, 256, 262};
    for (int g = 0; g < 4; ++g)
        boxes[g] = createSetupGroup(lang.text(titles[g]), groups[g]);

    m_expand = new TWgtLabelComboBox(lang.text(243),
                                     {lang.text(244), lang.text(245), lang.text(246)}, 0);
    groups[ProjectList]->addWidget(m_expand);
    const QVector<Flag> table = flagTable();
    for (const Flag &f : table) {
        QString text = lang.text(f.text), tip = lang.text(f.toolTip);
        for (const QString &a : f.textArgs)
            text = text.arg(a);
        for (const QString &a : f.tipArgs)
            tip = tip.arg(a);
        auto *box = new QCheckBox(text);
        box->setToolTip(tip);
        m_flags << box;
        groups[f.group]->addWidget(box);
        if (f.member == &TAppData::cmdAddState)
            for (const ColorRow &row : colorRows) {
                auto *edit = new TWgtColorEnableEdit(
                    lang.text(261).arg(QLatin1String(row.group), cmdCode.name(QLatin1String(row.code))));
                m_colors << edit;
                groups[Commands]->addWidget(edit);
            }
        if (f.member == &TAppData::execLogShowTime)
            m_showTime = box;
        if (f.member == &TAppData::execLogShowTime_ms)
            m_showTimeMs = box;
    }
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(5);
    for (int g = 0; g < 4; ++g) {
        groups[g]->addStretch(1);
        m_layout->addWidget(boxes[g]);
    }
    m_layout->addStretch(1);
    connect(m_showTime, &QCheckBox::stateChanged, this, &TDialogSetupPageInterface::slotShowTime_ms);
}

TDialogSetupPageInterface::~TDialogSetupPageInterface() = default;

QString TDialogSetupPageInterface::name() const { return lang.text(240); }
QString TDialogSetupPageInterface::title() const { return lang.text(241); }

void TDialogSetupPageInterface::load()
{
    m_expand->setCurrentIndex(appData.prjListExpand >= 0 && appData.prjListExpand <= 2
                                  ? appData.prjListExpand : -1);
    const QVector<Flag> table = flagTable();
    for (int i = 0; i < table.size(); ++i)
        m_flags.at(i)->setChecked(appData.*table[i].member);
    for (int i = 0; i < m_colors.size(); ++i) {
        m_colors.at(i)->setChecked(appData.*colorRows[i].enable);
        m_colors.at(i)->setColor(appData.*colorRows[i].color);
    }
    slotShowTime_ms();
}

void TDialogSetupPageInterface::save()
{
    appData.prjListExpand = m_expand->currentIndex();
    const QVector<Flag> table = flagTable();
    for (int i = 0; i < table.size(); ++i)
        appData.*table[i].member = m_flags.at(i)->isChecked();
    for (int i = 0; i < m_colors.size(); ++i) {
        appData.*colorRows[i].enable = m_colors.at(i)->isChecked();
        appData.*colorRows[i].color = m_colors.at(i)->color();
    }
}

void TDialogSetupPageInterface::slotShowTime_ms()
{
    m_showTimeMs->setEnabled(m_showTime->isChecked());
}
