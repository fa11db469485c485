// The main window's configuration and command editing actions.
//
// Structural edits (inserts, pastes, deletions, moves, a configuration's
// removal) of a configuration that a live worker may walk are refused
// before anything changes; parameter edits, check boxes, copies and names
// stay open while runs go on.

#include "gui/main/TMainWindow.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/param_schema.h"
#include "gui/dialogs/TDialogCmdSelector.h"
#include "gui/dialogs/TDialogSmall.h"
#include "gui/views/TWgtConfig.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TWgtStatusBar.h"

#include <QAction>

#include <memory>

namespace {

QString cmdName(const TData &record)
{
    return cmdCode.name(record.value(QLatin1String(REC_CMD)).toString());
}

// "Caption [suffix]" with whatever followed "[" before replaced.
void setCaptionSuffix(QAction *action, const QString &suffix)
{
    const QString base = action->text().section(QLatin1Char('['), 0, 0).trimmed();
    action->setText(suffix.isEmpty() ? base : QStringLiteral("%1 [%2]").arg(base, suffix));
}

} // namespace

// Where a new or pasted command goes: right after the current command; with
// none, after the configuration's last command, so that its commands stay
// together (at the end of the list when it has none).
int TMainWindow::insertIndexFor(int idCfg, int idCmd) const
{
    if (idCmd >= 0 && dataPrj.cmdIndexById(idCmd) >= 0)
        return dataPrj.cmdIndexById(idCmd) + 1;
    const QList<TDataCmd *> cmds = dataPrj.cmdsOfCfg(idCfg);
    return cmds.isEmpty() ? -1 : dataPrj.cmdIndexById(cmds.last()->id()) + 1;
}

// Listeners learn that no command is current any more.
void TMainWindow::followRemoval()
{
    const int idCfg = m_prj->currentCfgId();
    const int idCmd = m_prj->currentCmdId();
    if (idCfg < 0 || idCmd < 0)
        emit m_prj->signalSelectCmd(idCfg, idCmd);
}

// ---- Configurations ---------------------------------------------------------------------

void TMainWindow::slotCfgNew()
{
    if (!m_prj->hasFocusCmdList())
        return;
    TDialogCfgEdit dialog(lang.text(116), this);
    dialog.setName(QString());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int tab = m_prj->currentIndex() + 1;
    const int id = dataPrj.addCfg(dialog.name(), QString(), tab);
    m_prj->addCfgPage(tab, id, dialog.name(), QString());
    m_prj->selectCfgCmd(tab, -1);
    m_prj->reloadCurrentCmds();
    m_status->showMessage(lang.text(117).arg(dialog.name()), 2);
    updateActions();
}

void TMainWindow::slotCfgCopy()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (idCfg < 0)
        return;
    m_cfgClipboard = dataPrj.copyCfg(idCfg);
    setCaptionSuffix(action(QStringLiteral("CfgPasteNew")), m_cfgClipboard.name);
    m_status->showMessage(lang.text(120).arg(m_cfgClipboard.name), 2);
}

void TMainWindow::slotCfgPaste()
{
    if (!m_prj->hasFocusCmdList() || m_cfgClipboard.name.isEmpty())
        return;
    TDialogCfgEdit dialog(lang.text(121), this);
    dialog.setName(m_cfgClipboard.name);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int tab = m_prj->currentIndex() + 1;
    const int id = dataPrj.pasteCfg(m_cfgClipboard, dialog.name(), tab);
    dataPrj.validateAll();
    m_prj->addCfgPage(tab, id, dialog.name(), m_cfgClipboard.description);
    m_prj->refreshAllRows();
    m_prj->selectCfgCmd(tab, 0);
    m_prj->reloadCurrentCmds();
    m_status->showMessage(lang.text(122), 2);
    updateActions();
}

void TMainWindow::slotCfgEdit()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (idCfg < 0)
        return;
    TDialogCfgEdit dialog(lang.text(118), this);
    dialog.setName(dataPrj.cfgName(idCfg));
    if (dialog.exec() != QDialog::Accepted)
        return;
    dataPrj.setCfgName(idCfg, dialog.name());
    m_prj->setCfgTabText(idCfg, dialog.name());
    m_prj->reloadCurrentCmds();
    m_prj->refreshAllRows();
}

void TMainWindow::slotCfgDelete()
{
    if (!m_prj->hasFocusCmdList() || m_prj->hasSingleCfg())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (idCfg < 0 || refuseStructuralEdit(idCfg))
        return;
    const QString name = dataPrj.cfgName(idCfg);
    if (appData.confirmConfigDeleteCur && !askYesNo(lang.text(123).arg(name), this))
        return;
    dataPrj.removeCfg(idCfg);
    dataPrj.validateAll();
    m_prj->removeCfgTab(idCfg);
    m_prj->refreshAllRows();
    m_status->showMessage(lang.text(124).arg(name), 2);
    m_prj->reloadCurrentCmds();
    updateActions();
}

// ---- Inserting commands -------------------------------------------------------------------

void TMainWindow::slotNewCmd(const QString &code, bool status)
{
    const int tab = m_prj->currentIndex();
    const int idCfg = m_prj->currentCfgId();
    const int idCmd = m_prj->currentCmdId();
    if (idCfg < 0)
        return;

    std::unique_ptr<IDevice> own;
    IDevice *provider = nullptr;
    if (TDevTools::hasCommand(code)) {
        own.reset(TDevTools::create(QLatin1String(GROUP_TOOLS), TData()));
        provider = own.get();
    } else if (TDevProg::hasCommand(code)) {
        own.reset(TDevProg::create(QLatin1String(GROUP_PROG), TData()));
        provider = own.get();
    } else if (const TDataCmd *cmd = dataPrj.cmdById(idCmd)) {
        provider = cmd->device();
    }
    if (!provider || refuseStructuralEdit(idCfg))
        return;

    TData record{{QLatin1String(REC_ID_CFG), idCfg},
                 {QLatin1String(REC_ID_CMD), idCmd},
                 {QLatin1String(REC_STATUS), status},
                 {QLatin1String(REC_CMD), code}};
    provider->initCmdParam(record);
    const int id = dataPrj.addCmd(record, insertIndexFor(idCfg, idCmd));
    dataPrj.validateAll();
    const int row = dataPrj.cmdRowInCfg(idCfg, id);
    const TDataCmd *added = dataPrj.cmdById(id);
    m_prj->insertCmdRow(id, added ? added->toHash() : record, row);
    m_prj->refreshCfgRows(idCfg);
    m_prj->selectCfgCmd(tab, row);
    updateActions();
}

void TMainWindow::slotCmdNewSetProgDevice()
{
    if (!m_prj->hasFocusCmdList())
        return;
    if (appData.confirmCmdInsertProgDevice
        && !askYesNo(lang.text(125).arg(cmdCode.name(QLatin1String(CMD_SET_PROG)),
                                        cmdCode.name(QLatin1String(CMD_SET_DEVICE))),
                     this))
        return;
    slotNewCmd(QLatin1String(CMD_SET_PROG), appData.cmdAddState);
    slotNewCmd(QLatin1String(CMD_SET_DEVICE), appData.cmdAddState);
}

void TMainWindow::slotCmdNewSetProg()
{
    if (!m_prj->hasFocusCmdList())
        return;
    if (appData.confirmCmdInsertProg && !askYesNo(lang.text(126).arg(cmdCode.name(QLatin1String(CMD_SET_PROG))), this))
        return;
    slotNewCmd(QLatin1String(CMD_SET_PROG), appData.cmdAddState);
}

void TMainWindow::slotCmdNewSetDevice()
{
    if (!m_prj->hasFocusCmdList())
        return;
    if (appData.confirmCmdInsertDevice
        && !askYesNo(lang.text(126).arg(cmdCode.name(QLatin1String(CMD_SET_DEVICE))), this))
        return;
    slotNewCmd(QLatin1String(CMD_SET_DEVICE), appData.cmdAddState);
}

void TMainWindow::slotCmdSelector()
{
    if (m_selector) {
        delete m_selector;
        return;
    }
    auto *selector = new TDialogCmdSelector(m_prj->currentCfgId(), m_prj->currentCmdId(), &dataPrj, &cmdCode);
    selector->setAttribute(Qt::WA_DeleteOnClose);
    connect(selector, &QObject::destroyed, this, &TMainWindow::slotCmdSelectorClose);
    connect(selector, &TDialogCmdSelector::signalAddCmd, this, &TMainWindow::slotNewCmd);
    connect(m_prj, &TWgtPrj::signalSelectCmd, selector, &TDialogCmdSelector::slotSelectCmd);
    m_selector = selector;
    selector->showNormal();
    setSelectorChecked(true);
}

void TMainWindow::slotCmdSelectorClose()
{
    m_selector = nullptr;
    setSelectorChecked(false);
}

// The action is checkable, so that its button (which mirrors it) shows the
// selector as open; triggering it toggles the check before the slot runs.
void TMainWindow::setSelectorChecked(bool open)
{
    action(QStringLiteral("CmdSelector"))->setChecked(open);
    if (TButtonAction *button = m_buttons.value(QStringLiteral("cmd_select")))
        button->setChecked(open);
}

// ---- Copying and pasting commands -------------------------------------------------------

void TMainWindow::refreshCmdPasteCaption()
{
    const QList<TData> &cmds = m_cmdClipboard.cmds;
    QString suffix;
    if (cmds.size() == 1)
        suffix = cmdName(cmds.first());
    else if (cmds.size() > 1)
        suffix = QStringLiteral("Selected");
    setCaptionSuffix(action(QStringLiteral("CmdPaste")), suffix);
}

void TMainWindow::slotCmdCopy()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const TDataCmd *cmd = dataPrj.cmdById(m_prj->currentCmdId());
    if (!cmd)
        return;
    m_cmdClipboard = dataPrj.copyCmds({cmd->id()});
    refreshCmdPasteCaption();
    m_status->showMessage(lang.text(127).arg(cmdName(m_cmdClipboard.cmds.first())), 2);
}

void TMainWindow::slotCmdCopySelected()
{
    if (!m_prj->hasFocusCmdList())
        return;
    QList<int> ids;
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(m_prj->currentCfgId())) {
        if (cmd->status())
            ids << cmd->id();
    }
    m_cmdClipboard = dataPrj.copyCmds(ids);
    refreshCmdPasteCaption();
    m_status->showMessage(lang.text(128), 2);
}

void TMainWindow::slotCmdPaste()
{
    const QList<TData> &cmds = m_cmdClipboard.cmds;
    if (!m_prj->hasFocusCmdList() || cmds.isEmpty())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (idCfg < 0 || refuseStructuralEdit(idCfg))
        return;
    const int n = cmds.size();
    const QString name = cmdName(cmds.first());
    if (appData.confirmCmdPaste && !askYesNo(n == 1 ? lang.text(129).arg(name) : lang.text(130), this))
        return;
    const int tab = m_prj->currentIndex();
    const QList<int> ids = dataPrj.pasteCmds(m_cmdClipboard, idCfg, insertIndexFor(idCfg, m_prj->currentCmdId()));
    dataPrj.validateAll();
    m_prj->reloadCfg(idCfg);
    m_prj->selectCfgCmd(tab, dataPrj.cmdRowInCfg(idCfg, ids.value(0, -1)));
    m_status->showMessage(n == 1 ? lang.text(131).arg(name) : lang.text(132), 2);
    updateActions();
}

// ---- Deleting commands ---------------------------------------------------------------------

void TMainWindow::slotCmdDeleteCur()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCmd = m_prj->currentCmdId();
    const TDataCmd *cmd = dataPrj.cmdById(idCmd);
    if (!cmd || refuseStructuralEdit(cmd->idCfg()))
        return;
    const QString name = cmdCode.name(cmd->cmd());
    if (appData.confirmCmdDeleteCur && !askYesNo(lang.text(133).arg(name), this))
        return;
    dataPrj.removeCmd(idCmd);
    dataPrj.validateAll();
    m_prj->removeCurrentCmdRow(idCmd);
    m_prj->refreshAllRows();
    followRemoval();
    m_status->showMessage(lang.text(134).arg(name), 2);
    updateActions();
}

void TMainWindow::slotCmdDeleteSelected()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (!dataPrj.hasEnabledCmd(idCfg)) {
        showInfo(lang.text(135), this);
        return;
    }
    if (refuseStructuralEdit(idCfg))
        return;
    if (appData.confirmCmdDeleteSelected && !askYesNo(lang.text(136), this))
        return;
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(idCfg)) {
        if (cmd->status()) {
            const int id = cmd->id();
            dataPrj.removeCmd(id);
            if (TWgtConfig *page = m_prj->cfgPageById(idCfg))
                page->removeCmdRow(id);
        }
    }
    dataPrj.validateAll();
    m_prj->refreshAllRows();
    followRemoval();
    m_status->showMessage(lang.text(137), 2);
    updateActions();
}

void TMainWindow::slotCmdDeleteError()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    const QString name = dataPrj.cfgName(idCfg);
    const bool one = m_prj->hasSingleCfg();
    if (!dataPrj.hasInvalidDevCmd(idCfg)) {
        showInfo(one ? lang.text(138) : lang.text(139).arg(name), this);
        return;
    }
    if (refuseStructuralEdit(idCfg))
        return;
    if (appData.confirmCmdDeleteError && !askYesNo(one ? lang.text(140) : lang.text(141).arg(name), this))
        return;
    const QList<TDataCmd *> all = dataPrj.cmdList();
    for (int i = all.size() - 1; i >= 0; --i) {
        if (all.at(i)->idCfg() == idCfg && !all.at(i)->validDev())
            dataPrj.removeCmd(all.at(i)->id());
    }
    dataPrj.validateAll();
    m_prj->reloadCfg(idCfg);
    followRemoval();
    m_status->showMessage(one ? lang.text(142) : lang.text(143).arg(name), 2);
    updateActions();
}

void TMainWindow::slotCmdDeleteDev()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCmd = m_prj->currentCmdId();
    const int devIndex = idCmd >= 0 ? dataPrj.deviceCmdIndexBefore(idCmd) : -1;
    if (devIndex < 0) {
        showInfo(lang.text(144).arg(cmdCode.name(QLatin1String(CMD_SET_DEVICE))), this);
        return;
    }
    const TDataCmd *setDevice = dataPrj.cmdById(dataPrj.cmdIdAt(devIndex));
    if (!setDevice)
        return;
    const QString dev = schema::text(setDevice->toHash(), SET_DEVICE_DEVICE);
    if (!dataPrj.hasDeviceCmdAfter(devIndex)) {
        showInfo(lang.text(145).arg(dev), this);
        return;
    }
    const int idCfg = setDevice->idCfg();
    if (refuseStructuralEdit(idCfg))
        return;
    if (appData.confirmCmdDeleteDev && !askYesNo(lang.text(146).arg(dev), this))
        return;
    const int setDeviceId = setDevice->id();
    dataPrj.removeDeviceCmdsAfter(idCmd);
    dataPrj.validateAll();
    m_prj->reloadCfg(idCfg);
    m_prj->selectCfgCmd(m_prj->currentIndex(), dataPrj.cmdRowInCfg(idCfg, setDeviceId));
    m_status->showMessage(lang.text(147).arg(dev), 2);
    updateActions();
}

void TMainWindow::slotCmdDeleteAll()
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    if (idCfg < 0 || refuseStructuralEdit(idCfg))
        return;
    const QString name = dataPrj.cfgName(idCfg);
    const bool one = m_prj->hasSingleCfg();
    if (appData.confirmCmdDeleteAll && !askYesNo(one ? lang.text(148) : lang.text(149).arg(name), this))
        return;
    dataPrj.removeCmdsOfCfg(idCfg);
    dataPrj.validateAll();
    m_prj->reloadCfg(idCfg);
    followRemoval();
    m_status->showMessage(one ? lang.text(150) : lang.text(151).arg(name), 2);
    updateActions();
}

// ---- Other command operations ---------------------------------------------------------------

void TMainWindow::moveCurrentCmd(int direction)
{
    if (!m_prj->hasFocusCmdList())
        return;
    const int idCfg = m_prj->currentCfgId();
    const int idCmd = m_prj->currentCmdId();
    if (idCmd < 0 || refuseStructuralEdit(idCfg))
        return;
    const int before = dataPrj.cmdIndexById(idCmd);
    dataPrj.moveCmd(idCmd, direction);
    if (dataPrj.cmdIndexById(idCmd) != before)
        m_prj->moveCurrentCmdRow(direction);
    m_prj->reloadCurrentCmds();
    m_prj->refreshCfgRows(idCfg);
    emit m_prj->signalSelectCmd(idCfg, idCmd);
    updateActions();
}

void TMainWindow::slotCmdMoveUp()
{
    moveCurrentCmd(-1);
}

void TMainWindow::slotCmdMoveDown()
{
    moveCurrentCmd(1);
}

void TMainWindow::slotCmdCheckAll()
{
    const int idCfg = m_prj->currentCfgId();
    dataPrj.setCfgStatus(idCfg, true);
    m_prj->setAllChecked(idCfg, true);
}

void TMainWindow::slotCmdUcheckAll()
{
    const int idCfg = m_prj->currentCfgId();
    dataPrj.setCfgStatus(idCfg, false);
    m_prj->setAllChecked(idCfg, false);
}

void TMainWindow::slotCmdUncheckHide()
{
    appData.hideUncheckCmd = action(QStringLiteral("CmdUncheckHide"))->isChecked();
    m_prj->hideUnchecked(appData.hideUncheckCmd);
}

void TMainWindow::slotSelectCmd()
{
    if (dataPrj.isOpen())
        m_status->showMessage(dataPrj.prjFile(), 0);
    else
        m_status->clearMessage();
    updateActions();
}
