#include "gui/views/TWgtPrj.h"

#include "core/TAppData.h"
#include "core/TExecState.h"
#include "core/consts.h"
#include "core/handover.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"

#include <QApplication>
#include <QPalette>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

TWgtPrj::TWgtPrj(QWidget *parent)
    : QFrame(parent), m_layout(new QVBoxLayout(this)), m_tabs(new QTabWidget(this)),
      m_tabBar(m_tabs->tabBar())
{
    qRegisterMetaType<TSplitterPos>("TSplitterPos");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_tabs->setMovable(true);
    m_layout->addWidget(m_tabs);
    m_tabs->hide();
    connect(m_tabs, &QTabWidget::currentChanged, this, &TWgtPrj::slotSelectCfg);
    connect(m_tabBar, &QTabBar::tabMoved, this, &TWgtPrj::slotMovedCfg);
}

TWgtPrj::~TWgtPrj() = default;

template <typename F> void TWgtPrj::forEachPage(F op)
{
    for (int i = m_tabs->count() - 1; i >= 0; --i)
        if (TWgtConfig *page = cfgPage(i))
            op(page);
}

// ---- Building and emptying ---------------------------------------------------------

void TWgtPrj::rebuild()
{
    clear();
    const QList<TDataCfg *> cfgs = dataPrj.cfgList();
    for (int i = 0; i < cfgs.size(); ++i) {
        const TDataCfg *cfg = cfgs.at(i);
        if (cfg)
            addCfgPage(i, cfg->id(), cfg->name(), cfg->description());
    }
    refreshAllRows();
}

void TWgtPrj::dropPage(int tabIndex)
{
    QWidget *page = m_tabs->widget(tabIndex);
    m_tabs->removeTab(tabIndex);
    if (page) {
        // The page may be inside one of its own slots (a log event lets
        // pending events run); it goes once that has returned.
        page->hide();
        page->deleteLater();
    }
}

void TWgtPrj::clear()
{
    while (m_tabs->count() > 0)
        dropPage(0);
    m_tabs->hide();
}

void TWgtPrj::addCfgPage(int index, int id_cfg, const QString &name, const QString &description)
{
    auto *page = new TWgtConfig;
    page->setCfgId(id_cfg);
    page->setDescription(description);
    if (index < 0)
        m_tabs->addTab(page, name);
    else
        m_tabs->insertTab(index, page, name);
    m_tabs->show();
    forEachPage([](TWgtConfig *p) {
        p->setOrientation(appData.cfgOrientation != 0);
        p->setSplitterSizes(appData.windowMainCfgSplitter);
    });
    if (m_hideUnchecked)
        page->hideUnchecked(true);
    reloadCfg(id_cfg);
    showPanel(page);
    connect(page, &TWgtConfig::signalSelectCmd, this, &TWgtPrj::signalSelectCmd);
    connect(page, &TWgtConfig::signalSetViewParamCmd, this, &TWgtPrj::signalSetViewParamCmd);
    connect(page, &TWgtConfig::signalSplitterMoved, this, &TWgtPrj::signalSplitterCfgMoved);
    connect(page, &TWgtConfig::signalContextMenuRequested, this,
            &TWgtPrj::signalContextMenuRequested);
}

void TWgtPrj::reloadCfg(int id_cfg)
{
    if (TWgtConfig *page = cfgPageById(id_cfg))
        page->setCmdList(dataPrj.cmdsOfCfg(id_cfg));
    refreshAllRows();
}

void TWgtPrj::setCfgTabText(int id_cfg, const QString &text)
{
    const int tab = tabIndexOfCfg(id_cfg);
    if (tab >= 0)
        m_tabs->setTabText(tab, text);
}

void TWgtPrj::removeCfgTab(int id_cfg)
{
    const int tab = tabIndexOfCfg(id_cfg);
    if (tab >= 0)
        dropPage(tab);
}

// ---- Rows ---------------------------------------------------------------------------

void TWgtPrj::updateCmdRow(const TData &record)
{
    const int index = dataPrj.cfgIndexOfCmd(record.value(QLatin1String(REC_ID_CMD)).toInt());
    if (TWgtConfig *page = cfgPage(index))
        page->updateCmdRow(record);
}

void TWgtPrj::refreshCfgRows(int id_cfg)
{
    for (TDataCmd *cmd : dataPrj.cmdsOfCfg(id_cfg))
        if (cmd)
            updateCmdRow(cmd->toHash());
}

void TWgtPrj::refreshAllRows()
{
    for (TDataCmd *cmd : dataPrj.cmdList())
        if (cmd)
            updateCmdRow(cmd->toHash());
}

void TWgtPrj::insertCmdRow(int id_cmd, const TData &record, int row)
{
    if (TWgtConfig *page = cfgPageById(record.value(QLatin1String(REC_ID_CFG)).toInt()))
        page->insertCmdRow(id_cmd, row);
}

void TWgtPrj::removeCurrentCmdRow(int id_cmd)
{
    TWgtConfig *page = currentPage();
    if (!page)
        return;
    page->removeCmdRow(id_cmd);
    refreshCfgRows(page->cfgId());
}

void TWgtPrj::updateFromParam(const TData &record)
{
    const int id_cfg = record.value(QLatin1String(REC_ID_CFG)).toInt();
    const int id_cmd = record.value(QLatin1String(REC_ID_CMD)).toInt();
    TWgtConfig *page = cfgPage(tabIndexOfCfg(id_cfg));
    if (!page)
        return;
    page->updateCmdText(record);
    page->updateCmdRow(record);
    const QString code = record.value(QLatin1String(REC_CMD)).toString();
    if (code == QLatin1String(CMD_SET_PROG) || code == QLatin1String(CMD_SET_DEVICE)) {
        refreshCfgRows(id_cfg);
        emit signalSelectCmd(id_cfg, id_cmd);
    }
}

// ---- View-wide operations ---------------------------------------------------------------

void TWgtPrj::showPanel(TWgtConfig *page) const
{
    switch (m_panel) {
    case Panel::Description: page->showPageDesc(); break;
    case Panel::Parameters: page->showPageParam(); break;
    case Panel::Log: page->showPageExec(); break;
    }
}

void TWgtPrj::slotSetViewParamPrj()
{
    m_panel = Panel::Description;
    forEachPage([this](TWgtConfig *p) { showPanel(p); });
}

void TWgtPrj::slotSetViewParamCmd()
{
    m_panel = Panel::Parameters;
    forEachPage([this](TWgtConfig *p) { showPanel(p); });
}

void TWgtPrj::slotSetViewParamExec()
{
    m_panel = Panel::Log;
    forEachPage([this](TWgtConfig *p) { showPanel(p); });
}

void TWgtPrj::setSplitterSizes(const TSplitterPos &sizes)
{
    forEachPage([&sizes](TWgtConfig *p) { p->setSplitterSizes(sizes); });
}

void TWgtPrj::setOrientation(bool horizontal)
{
    forEachPage([horizontal](TWgtConfig *p) { p->setOrientation(horizontal); });
}

void TWgtPrj::hideUnchecked(bool hide)
{
    m_hideUnchecked = hide;
    forEachPage([hide](TWgtConfig *p) { p->hideUnchecked(hide); });
}

void TWgtPrj::applyRowColors()
{
    forEachPage([](TWgtConfig *p) { p->applyRowColors(); });
}

void TWgtPrj::reloadCurrentCmds()
{
    forEachPage([](TWgtConfig *p) { p->reloadCurrentCmd(); });
}

void TWgtPrj::applyColorSettings()
{
    TWgtCmdList::applyColorSettings();
}

void TWgtPrj::setTabBarAutoHide(bool hide)
{
    m_tabs->setTabBarAutoHide(hide);
}

// ---- Execution state ---------------------------------------------------------------------

QColor TWgtPrj::tabColor(int state)
{
    switch (state) {
    case EXEC_STATE_RUNNING: return appData.execTabColorExecute;
    case EXEC_STATE_PAUSED: return appData.execTabColorPause;
    case EXEC_STATE_SUCCESS: return appData.execTabColorSuccess;
    case EXEC_STATE_FAILED: return appData.execTabColorFailed;
    default: return QApplication::palette().color(QPalette::WindowText);
    }
}

void TWgtPrj::updateTabColors()
{
    for (int i = m_tabs->count() - 1; i >= 0; --i)
        m_tabBar->setTabTextColor(i, tabColor(dataPrj.cfgExecState(cfgIdAt(i))));
}

void TWgtPrj::resetTabColor(int id_cfg)
{
    const int tab = tabIndexOfCfg(id_cfg);
    if (tab >= 0)
        m_tabBar->setTabTextColor(tab, tabColor(EXEC_STATE_IDLE));
}

void TWgtPrj::setCfgRunning(int id_cfg, bool running)
{
    if (TWgtConfig *page = cfgPageById(id_cfg))
        page->setRunning(running);
}

void TWgtPrj::setAllChecked(int id_cfg, bool checked)
{
    if (TWgtConfig *page = cfgPageById(id_cfg))
        page->setAllChecked(checked);
}

// ---- Current page and selection --------------------------------------------------------------

void TWgtPrj::selectCfgCmd(int tabIndex, int row)
{
    if (tabIndex < 0)
        return;
    m_tabs->setCurrentIndex(tabIndex);
    if (TWgtConfig *page = cfgPage(tabIndex))
        page->setCurrentRow(row);
}

void TWgtPrj::moveCurrentCmdRow(int direction)
{
    if (TWgtConfig *page = currentPage())
        page->moveCurrentRow(direction);
}

TWgtConfig *TWgtPrj::currentPage() const
{
    return qobject_cast<TWgtConfig *>(m_tabs->currentWidget());
}

TWgtConfig *TWgtPrj::cfgPage(int tabIndex) const
{
    if (tabIndex < 0 || tabIndex >= m_tabs->count())
        return nullptr;
    return qobject_cast<TWgtConfig *>(m_tabs->widget(tabIndex));
}

TWgtConfig *TWgtPrj::cfgPageById(int id_cfg) const
{
    return cfgPage(dataPrj.cfgIndexById(id_cfg));
}

int TWgtPrj::tabIndexOfCfg(int id_cfg) const
{
    for (int i = m_tabs->count() - 1; i >= 0; --i) {
        const TWgtConfig *page = cfgPage(i);
        if (page && page->cfgId() == id_cfg)
            return i;
    }
    return -1;
}

int TWgtPrj::cfgIdAt(int tabIndex) const
{
    const TWgtConfig *page = cfgPage(tabIndex);
    return page ? page->cfgId() : -1;
}

int TWgtPrj::currentIndex() const
{
    return m_tabs->currentIndex();
}

int TWgtPrj::currentCfgId() const
{
    const TWgtConfig *page = currentPage();
    return page ? page->cfgId() : -1;
}

int TWgtPrj::currentCmdId() const
{
    const TWgtConfig *page = currentPage();
    return page ? page->currentCmdId() : -1;
}

int TWgtPrj::currentRow() const
{
    const TWgtConfig *page = currentPage();
    return page ? page->currentRow() : -1;
}

QString TWgtPrj::currentCmdCode() const
{
    const TWgtConfig *page = currentPage();
    return page ? page->currentCmdCode() : QString();
}

QString TWgtPrj::currentTabText() const
{
    return m_tabs->tabText(m_tabs->currentIndex());
}

QString TWgtPrj::currentCfgDescription() const
{
    const QList<TDataCfg *> cfgs = dataPrj.cfgList();
    const int index = m_tabs->currentIndex();
    if (index < 0 || index >= cfgs.size() || !cfgs.at(index))
        return QString();
    return cfgs.at(index)->description();
}

bool TWgtPrj::hasSingleCfg() const
{
    return m_tabs->count() == 1;
}

int TWgtPrj::count() const
{
    return m_tabs->count();
}

bool TWgtPrj::hasFocusCmdList() const
{
    const TWgtConfig *page = currentPage();
    return page && page->hasFocusCmdList();
}

QTabBar *TWgtPrj::tabBar() const
{
    return m_tabBar;
}

QTabWidget *TWgtPrj::tabWidget() const
{
    return m_tabs;
}

// ---- Slots ---------------------------------------------------------------------------------

void TWgtPrj::slotUpdateGUI(TCodeView code, const TData &data)
{
    const TData record = handover::take(data);
    if (code == VIEW_CMD_PARAM)
        updateFromParam(record);
}

void TWgtPrj::slotSelectCfg()
{
    emit signalSelectCmd(currentCfgId(), currentCmdId());
}

void TWgtPrj::slotMovedCfg(int from, int to)
{
    dataPrj.moveCfg(from, to);
    reloadCurrentCmds();
}
