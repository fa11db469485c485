#include "gui/views/TWgtConfig.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/handover.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/param_schema.h"
#include "gui/forms/form_numbers.h"
#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/view_messages.h"
#include "link/run_check.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPalette>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// Every parameter form has this signal; forms are plain QWidgets to the
// page, so the signal is found by its signature.
bool connectForm(QWidget *form, TWgtConfig *page)
{
    const int signal = form->metaObject()->indexOfSignal("signalChangedCmdParam(TData)");
    const int slot = page->metaObject()->indexOfSlot("slotChangedCmdParam(TData)");
    if (signal < 0 || slot < 0)
        return false;
    return QObject::connect(form, form->metaObject()->method(signal), page,
                            page->metaObject()->method(slot), Qt::DirectConnection);
}

} // namespace

QList<int> rowsToDrop(const QList<int> &rowIds, const QList<int> &cmdIds)
{
    QList<int> rows = rowIds;
    QList<int> drops;
    int pos = 0;
    while (pos < rows.size()) {
        if (pos < cmdIds.size() && rows.at(pos) == cmdIds.at(pos)) {
            ++pos;
        } else {
            drops << pos;
            rows.removeAt(pos);
        }
    }
    return drops;
}

TWgtConfig::TWgtConfig(QWidget *parent) : QWidget(parent)
{
    m_cmdList = new TWgtCmdList(this);

    m_descPanel = new QTabWidget(this);
    m_descPanel->setTabBarAutoHide(true);
    m_descEdit = new QTextEdit(m_descPanel);
    m_descPanel->addTab(m_descEdit, QString());
    m_descPanel->hide();

    m_formArea = new QWidget(this);
    m_formLayout = new QHBoxLayout(m_formArea);
    m_formLayout->setContentsMargins(10, 10, 10, 10);
    m_formArea->hide();

    m_log = new TWgtLogExec(this);
    m_log->setColorTime(appData.execLogColorTime);
    m_log->setColorCmd(appData.execLogColorCmd);
    m_log->setColorParam(appData.execLogColorParam);
    m_log->setColorText(appData.execLogColorText);
    m_log->setColorWork(appData.execLogColorWork);
    m_log->setColorResult(appData.execLogColorResult);
    m_log->setColorSuccess(appData.execLogColorSuccess);
    m_log->setColorFailed(appData.execLogColorFailed);
    m_log->setColorBackground(appData.execLogColorBackground);
    m_log->hide();

    m_rightPanel = new QWidget(this);
    m_rightLayout = new QVBoxLayout(m_rightPanel);
    m_rightLayout->setContentsMargins(0, 0, 0, 0);
    m_rightLayout->setSpacing(0);
    m_title = new QLabel(m_rightPanel);
    m_title->setFrameStyle(QFrame::NoFrame);
    m_title->setFixedHeight(19);
    m_title->setAutoFillBackground(true);
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::All, QPalette::Window, QColor(100, 100, 100));
    palette.setColor(QPalette::All, QPalette::WindowText, QColor(255, 255, 255));
    m_title->setPalette(palette);
    m_scroll = new QScrollArea(m_rightPanel);
    m_scroll->setFrameStyle(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_rightLayout->addWidget(m_title);
    m_rightLayout->addWidget(m_scroll);

    m_splitter = new QSplitter(this);
    m_splitter->addWidget(m_cmdList);
    m_splitter->addWidget(m_rightPanel);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);

    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->setSpacing(0);
    m_mainLayout->addWidget(m_splitter);

    connect(m_splitter, &QSplitter::splitterMoved, this, &TWgtConfig::slotSplitterMoved);
    connect(m_descEdit, &QTextEdit::textChanged, this, &TWgtConfig::slotPrjDescChanged);
}

TWgtConfig::~TWgtConfig()
{
    // A form waiting for its deferred deletion goes with the page.
    delete m_form.data();
}

// ---- Set-up ---------------------------------------------------------------------

void TWgtConfig::setCfgId(int id)
{
    m_cfgId = id;
}

int TWgtConfig::cfgId() const
{
    return m_cfgId;
}

void TWgtConfig::setDescription(const QString &escaped)
{
    if (description() == escaped)
        return;
    const QSignalBlocker blocker(m_descEdit);
    m_descEdit->setText(unescapeText(escaped));
}

QString TWgtConfig::description() const
{
    return escapeText(m_descEdit->toPlainText());
}

void TWgtConfig::setOrientation(bool horizontal)
{
    m_splitter->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
}

void TWgtConfig::setSplitterSizes(const TSplitterPos &sizes)
{
    m_splitter->setSizes(sizes);
}

TSplitterPos TWgtConfig::splitterSizes() const
{
    return m_splitter->sizes();
}

void TWgtConfig::setCmdList(const QList<TDataCmd *> &cmds)
{
    QObject::disconnect(m_cmdList, nullptr, nullptr, nullptr);
    m_cmdList->clear();
    int row = 0;
    for (TDataCmd *cmd : cmds) {
        if (!cmd)
            continue;
        const TData record = cmd->toHash();
        IDevice *handler = cmd->handler();
        m_cmdList->insertCmdRow(row++, cmd->id(), cmd->cmd(), cmd->status(),
                                handler ? handler->cmdName(record) : QString(),
                                handler ? handler->cmdParamText(record, nullptr) : QString());
    }
    m_cmdList->applyRowColors();
    m_cmdList->hideUncheckedRows();
    connect(m_cmdList, &TWgtCmdList::signalSelectCmd, this, &TWgtConfig::slotSelectCmd);
    connect(m_cmdList, &TWgtCmdList::signalClikedCmd, this, &TWgtConfig::slotSelectCmdClick);
    connect(m_cmdList, &TWgtCmdList::signalEnabledCmd, this, &TWgtConfig::slotEnabledCmd);
    connect(m_cmdList, &TWgtCmdList::signalContextMenuRequested, this,
            &TWgtConfig::signalContextMenuRequested);
    m_cmdList->selectFirstRow();
}

// ---- Panels ---------------------------------------------------------------------

void TWgtConfig::showPanel(QWidget *panel, int title)
{
    setPanelTitle(lang.text(title));
    if (m_scroll->widget() == panel)
        return;
    if (QWidget *old = m_scroll->takeWidget()) {
        old->hide();
        old->setParent(this);
        old->hide();
    }
    m_scroll->setWidget(panel);
    panel->show();
}

void TWgtConfig::showPageDesc()
{
    showPanel(m_descPanel, ViewMsg::PANEL_DESCRIPTION);
}

void TWgtConfig::showPageParam()
{
    showPanel(m_formArea, ViewMsg::PANEL_PARAMETERS);
}

void TWgtConfig::showPageExec()
{
    showPanel(m_log, ViewMsg::PANEL_LOG);
}

void TWgtConfig::setPanelTitle(const QString &text)
{
    m_title->setText(QStringLiteral(" %1").arg(text));
}

// ---- The open form ----------------------------------------------------------------

void TWgtConfig::dropForm()
{
    if (!m_form)
        return;
    QWidget *form = m_form.data();
    m_form = nullptr;
    m_formLayout->removeWidget(form);
    // The form may be the sender of the signal that got us here.
    form->disconnect(this);
    form->hide();
    form->deleteLater();
}

void TWgtConfig::applyJumpRule(const QString &code, int id_cmd)
{
    if (!appData.cmdEnableHLJamp)
        return;
    if (code == QLatin1String(CMD_JAMP))
        highlightJumpTarget(id_cmd);
    else
        m_cmdList->clearHighlight();
}

void TWgtConfig::openFormOf(TDataCmd *cmd, const TData &record)
{
    IDevice *handler = cmd->handler();
    if (!handler)
        return;
    QWidget *form = handler->createCmdForm(record);
    if (!form)
        return;
    showDamagedNumbers(form, record);
    applyJumpRule(cmd->cmd(), cmd->id());
    m_formLayout->addWidget(form, 0);
    form->show();
    m_form = form;
    connectForm(form, this);
}

QString TWgtConfig::paramText(TDataCmd *cmd, const TData &record)
{
    IDevice *handler = cmd->handler();
    if (!handler)
        return QString();
    QWidget *form = (m_form && m_cmdList->currentCmdId() == cmd->id()) ? m_form.data() : nullptr;
    if (!form)
        return handler->cmdParamText(record, nullptr);
    const QSignalBlocker blocker(form);
    return handler->cmdParamText(record, form);
}

// ---- Rows -------------------------------------------------------------------------

void TWgtConfig::insertCmdRow(int id_cmd, int row)
{
    dropForm();
    TDataCmd *cmd = dataPrj.cmdById(id_cmd);
    if (!cmd)
        return;
    const TData record = cmd->toHash();
    IDevice *handler = cmd->handler();
    m_cmdList->insertCmdRow(row, id_cmd, cmd->cmd(), cmd->status(),
                            handler ? handler->cmdName(record) : QString(),
                            handler ? handler->cmdParamText(record, nullptr) : QString());
    m_cmdList->applyRowColors();
}

void TWgtConfig::removeCmdRow(int id_cmd)
{
    dropForm();
    m_cmdList->removeCmdRow(id_cmd);
}

void TWgtConfig::updateCmdText(const TData &record)
{
    const int id = record.value(QLatin1String(REC_ID_CMD)).toInt();
    TDataCmd *cmd = dataPrj.cmdById(id);
    if (!cmd || !cmd->handler())
        return;
    m_cmdList->setCmdText(id, paramText(cmd, record));
}

void TWgtConfig::updateCmdRow(const TData &record)
{
    const int id = record.value(QLatin1String(REC_ID_CMD)).toInt();
    TDataCmd *cmd = dataPrj.cmdById(id);
    if (!cmd)
        return;
    const QString code = cmd->cmd();
    const QString name = cmdCode.name(code);
    m_cmdList->updateCmdRow(id, code, name, paramText(cmd, record),
                            record.value(QLatin1String(REC_VALID_DEV)).toBool(),
                            record.value(QLatin1String(REC_VALID_PARAM)).toBool(),
                            runcheck::flagRefusal(cmd, record, name));
}

void TWgtConfig::refreshCmdRows()
{
    for (TDataCmd *cmd : dataPrj.cmdsOfCfg(m_cfgId))
        if (cmd)
            updateCmdRow(cmd->toHash());
}

void TWgtConfig::reloadCmd(const TData &record)
{
    const int id = record.value(QLatin1String(REC_ID_CMD)).toInt();
    TDataCmd *cmd = dataPrj.cmdById(id);
    if (!cmd)
        return;
    const bool validDev = record.value(QLatin1String(REC_VALID_DEV)).toBool();
    const bool validParam = record.value(QLatin1String(REC_VALID_PARAM)).toBool();
    dropForm();
    if (cmd->handler() && m_cmdList->currentCmdId() == id)
        openFormOf(cmd, record);
    const QString code = cmd->cmd();
    const QString name = cmdCode.name(code);
    m_cmdList->updateCmdRow(id, code, name, paramText(cmd, record), validDev, validParam,
                            runcheck::flagRefusal(cmd, record, name));
}

void TWgtConfig::reloadCurrentCmd()
{
    TDataCmd *cmd = dataPrj.cmdById(m_cmdList->currentCmdId());
    if (cmd)
        reloadCmd(cmd->toHash());
}

void TWgtConfig::highlightJumpTarget(int id_cmd)
{
    m_cmdList->clearHighlight();
    if (id_cmd < 0)
        return;
    TDataCmd *jump = dataPrj.cmdById(id_cmd);
    if (!jump)
        return;
    const int target = schema::target(jump->toHash(), JAMP_TO_CMD);
    const TDataCmd *to = dataPrj.cmdById(target);
    if (!to || to->idCfg() != jump->idCfg())
        return;
    m_cmdList->highlightRow(dataPrj.cmdRowInCfg(jump->idCfg(), target));
}

void TWgtConfig::dropRemovedRows(int id_cfg)
{
    QList<int> cmdIds;
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(id_cfg))
        if (cmd)
            cmdIds << cmd->id();
    QList<int> rowIds;
    for (int row = 0; row < m_cmdList->rowCount(); ++row)
        rowIds << m_cmdList->rowCmdId(row);
    for (int row : rowsToDrop(rowIds, cmdIds))
        m_cmdList->removeRow(row);
}

// ---- Forwarders -------------------------------------------------------------------

void TWgtConfig::setAllChecked(bool checked) { m_cmdList->setAllChecked(checked); }
void TWgtConfig::moveCurrentRow(int direction) { m_cmdList->moveCurrentRow(direction); }
void TWgtConfig::hideUnchecked(bool hide) { m_cmdList->hideUnchecked(hide); }
void TWgtConfig::applyRowColors() { m_cmdList->applyRowColors(); }
void TWgtConfig::clearHighlight() { m_cmdList->clearHighlight(); }
void TWgtConfig::setFocusCmdList() { m_cmdList->setFocus(); }
bool TWgtConfig::hasFocusCmdList() const { return m_cmdList->hasFocus(); }
QPoint TWgtConfig::mapToGlobal(const QPoint &pos) const { return m_cmdList->mapToGlobal(pos); }
int TWgtConfig::currentCmdId() const { return m_cmdList->currentCmdId(); }
QString TWgtConfig::currentCmdCode() const { return m_cmdList->currentCmdCode(); }
int TWgtConfig::currentRow() const { return m_cmdList->currentRow(); }
void TWgtConfig::setCurrentRow(int row) { m_cmdList->setCurrentRow(row); }
void TWgtConfig::applyColorSettings() { TWgtCmdList::applyColorSettings(); }

void TWgtConfig::setRunning(bool running) { m_log->setRunning(running); }
void TWgtConfig::clearLog() { m_log->clear(); }

TWgtCmdList *TWgtConfig::cmdList() const { return m_cmdList; }
TWgtLogExec *TWgtConfig::log() const { return m_log; }
QWidget *TWgtConfig::openForm() const { return m_form.data(); }
QTextEdit *TWgtConfig::descriptionEditor() const { return m_descEdit; }
QWidget *TWgtConfig::shownPanel() const { return m_scroll->widget(); }
QString TWgtConfig::panelTitle() const { return m_title->text(); }
QSplitter *TWgtConfig::splitter() const { return m_splitter; }

// ---- Execution --------------------------------------------------------------------

void TWgtConfig::writeEvent(TCodeExec code, const QString &text1, const QString &text2)
{
    switch (code) {
    case EXEC_CMD: m_log->addCmd(text1, text2); break;
    case EXEC_CMD_READ: m_log->amendCmd(text1, text2); break;
    case EXEC_TEXT: m_log->addText(text1); break;
    case EXEC_TEXT_NEXT: m_log->addTextCont(text1); break;
    case EXEC_WORK: m_log->addWork(text1); break;
    case EXEC_RESULT: m_log->addResult(text1); break;
    case EXEC_SUCCESS: m_log->addSuccess(text1); break;
    case EXEC_FAILED: m_log->addFailBanner(text1); break;
    default: break;
    }
}

void TWgtConfig::slotExecEventText(TCodeExec code, const QString &text1, const QString &text2)
{
    // Pending events may remove this page; the texts are copies of our own,
    // taken from the worker that stands still meanwhile.
    const handover::Borrow borrow(&text1, &text2);
    const QPointer<TWgtConfig> self(this);
    const QString first = text1;
    const QString second = text2;
    QCoreApplication::processEvents();
    if (!self)
        return;
    writeEvent(code, first, second);
    QCoreApplication::processEvents();
}

void TWgtConfig::slotExecEventText(TCodeExec code, const QString &text1)
{
    slotExecEventText(code, text1, QString());
}

void TWgtConfig::slotExecEventProc(int percent)
{
    const QPointer<TWgtConfig> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;
    m_log->setProgress(percent);
    QCoreApplication::processEvents();
}

// ---- Slots --------------------------------------------------------------------------

void TWgtConfig::slotSplitterMoved()
{
    emit signalSplitterMoved(m_splitter->sizes());
}

void TWgtConfig::slotSelectCmd(int id_cmd)
{
    dropForm();
    TDataCmd *cmd = id_cmd < 0 ? nullptr : dataPrj.cmdById(id_cmd);
    if (!cmd)
        return;
    openFormOf(cmd, cmd->toHash());
    emit signalSetViewParamCmd();
    emit signalSelectCmd(m_cfgId, id_cmd);
}

void TWgtConfig::slotSelectCmdClick()
{
    emit signalSetViewParamCmd();
}

void TWgtConfig::slotEnabledCmd(int id_cmd, bool status)
{
    TDataCmd *cmd = dataPrj.cmdById(id_cmd);
    if (!cmd || cmd->status() == status)
        return;
    dataPrj.setCmdStatus(id_cmd, status);
    refreshCmdRows();
}

std::function<bool(int)> TWgtConfig::structuralEditGuard;

void TWgtConfig::slotChangedCmdParam(const TData &param)
{
    const int id = param.value(QLatin1String(REC_ID_CMD)).toInt();
    TDataCmd *cmd = dataPrj.cmdById(id);
    IDevice *handler = cmd ? cmd->handler() : nullptr;
    if (!handler)
        return;
    const QString code = cmd->cmd();
    // A damaged number the user has not entered anew stays as stored.
    TData entered = param;
    keepDamagedNumbers(m_form, entered);
    const TData stored = handler->cmdParamFromForm(entered);
    dataPrj.setCmdParam(id, stored);
    if (appData.cmdEnableHLJamp && code == QLatin1String(CMD_JAMP))
        highlightJumpTarget(id);
    if (appData.cmdDelCmdDev && code == QLatin1String(CMD_SET_DEVICE)
        && stored.contains(QLatin1String(SET_DEVICE_DEVICE))
        && !(structuralEditGuard && structuralEditGuard(dataPrj.cfgIdOfCmd(id)))) {
        dataPrj.removeDeviceCmdsAfter(id);
        dropRemovedRows(dataPrj.cfgIdOfCmd(id));
    }
}

void TWgtConfig::slotPrjDescChanged()
{
    dataPrj.setCfgDescription(m_cfgId, escapeText(m_descEdit->toPlainText()));
}
