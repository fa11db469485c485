#include "gui/main/TMainWindow.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TSettings.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogCmdSelector.h"
#include "gui/dialogs/TDialogPrjEdit.h"
#include "gui/dialogs/TDialogSelectPrjList.h"
#include "gui/dialogs/dialog_messages.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtPrjList.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TToolBarMetrics.h"
#include "gui/widgets/TWgtStatusBar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTreeWidgetItem>
#include <QVBoxLayout>

namespace {

const QString kExec = QStringLiteral("Exec");

bool isSelfOrBelow(const QTreeWidgetItem *item, const QTreeWidgetItem *top)
{
    for (const QTreeWidgetItem *p = item; p; p = p->parent()) {
        if (p == top)
            return true;
    }
    return false;
}

// The file dialogs are Qt's own, on every platform.
constexpr QFileDialog::Options kDialogOptions = QFileDialog::DontUseNativeDialog;

} // namespace

QHash<QString, bool> mainActionStates(const TMainActionFacts &f)
{
    QHash<QString, bool> s;
    const auto set = [&s](std::initializer_list<const char *> names, bool on) {
        for (const char *n : names)
            s.insert(QString::fromLatin1(n), on);
    };
    const bool P = f.prjOpen;
    const bool N = f.cmdCount > 0;
    set({"PrjListReload", "PrjListSaveAs", "PrjListOpenFolder", "PrjListDragDrop", "PrjNew", "PrjAdd"},
        f.listLoaded);
    set({"PrjNewSub", "PrjAddSub", "PrjEdit", "PrjSave", "PrjDeleteCur", "PrjOpenFolder"}, f.hasItem);
    set({"PrjDeleteSubAll"}, f.itemHasChildren);
    set({"PrjPasteNew", "PrjPasteNewSub"}, f.listLoaded && f.prjClipboard);
    set({"PrjCopy", "CfgNew", "CfgCopy", "CfgEdit", "ViewParamPrj", "ViewParamCmd", "ViewParamExec"}, P);
    set({"CfgPasteNew"}, P && f.cfgClipboard);
    set({"CfgDelete"}, P && !f.singleCfg);
    set({"CmdSelector", "CmdNewSetProg", "CmdNewSetDevice", "CmdNewSetProgDevice"}, P);
    set({"CmdCopyOne", "CmdDeleteCur"}, P && f.hasCurrentCmd);
    set({"CmdCopySelected", "CmdDeleteSelected", "CmdDeleteError", "CmdDeleteDev", "CmdDeleteAll",
         "CmdCheckAll", "CmdUncheckAll"},
        P && N);
    set({"CmdPaste"}, P && f.cmdClipboard);
    set({"CmdMoveUp"}, P && N && f.currentRow != 0);
    set({"CmdMoveDown"}, P && f.currentRow < f.cmdCount - 1);
    set({"ExecIDProg", "ExecReset", "Exec", "ExecClearCfgState", "ExecClearAllState"}, P);
    return s;
}

// ---- Construction ------------------------------------------------------------

TMainWindow::TMainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QString::fromUtf8(APP_SHORT_NAME));
    restoreGeometry();
    createActions();
    loadHotKeys();
    createCentralWidget();
    createMenus();
    createToolBar();
    createContextMenus();

    m_prjList->load(appData.prjListName, appData.prjListFile, appData.prjListExpand);
    m_prjList->setDragDrop(appData.prjListDragDrop);

    connect(m_prjList, &TWgtPrjList::signalProjectSelect, this, &TMainWindow::slotSelectPrj);
    connect(m_prjList, &TWgtPrjList::signalContextMenuRequested, this, &TMainWindow::slotOpenContextMenuPrjList);
    connect(m_prj, &TWgtPrj::signalContextMenuRequested, this, &TMainWindow::slotOpenContextMenuPrj);
    connect(&dataPrj, &TDataPrj::signalChangePrj, this, &TMainWindow::slotChangePrj);

    TWgtConfig::structuralEditGuard = [this](int idCfg) { return refuseStructuralEdit(idCfg); };

    reopenLastProject();
    applySettings();
    updateActions();
}

void TMainWindow::restoreGeometry()
{
    centreOnScreen(this, appData.windowMainCenter, appData.windowMainLeft, appData.windowMainTop,
                   appData.windowMainWidth, appData.windowMainHeight);
}

QAction *TMainWindow::addAction(const QString &name, const QString &caption, void (TMainWindow::*slot)())
{
    auto *a = new QAction(caption, this);
    connect(a, &QAction::triggered, this, slot);
    m_actions.insert(name, a);
    return a;
}

QAction *TMainWindow::action(const QString &name) const
{
    return m_actions.value(name);
}

void TMainWindow::createActions()
{
    struct Entry { const char *name; int message; void (TMainWindow::*slot)(); bool hotKey; };
    const Entry entries[] = {
        {"PrjListNew", 4, &TMainWindow::slotPrjListNew, true},
        {"PrjListLoad", 5, &TMainWindow::slotPrjListLoad, true},
        {"PrjListSelect", 6, &TMainWindow::slotPrjListSelect, true},
        {"PrjListReload", 7, &TMainWindow::slotPrjListReload, true},
        {"PrjListSaveAs", 8, &TMainWindow::slotPrjListSaveAs, true},
        {"PrjListOpenFolder", 9, &TMainWindow::slotPrjListOpenFolder, true},
        {"PrjListDragDrop", 10, &TMainWindow::slotPrjListDragDrop, true},
        {"PrjNew", 12, &TMainWindow::slotPrjNew, true},
        {"PrjNewSub", 13, &TMainWindow::slotPrjNewSub, true},
        {"PrjAdd", 14, &TMainWindow::slotPrjAdd, true},
        {"PrjAddSub", 15, &TMainWindow::slotPrjAddSub, true},
        {"PrjCopy", 16, &TMainWindow::slotPrjCopy, true},
        {"PrjPasteNew", 17, &TMainWindow::slotPrjPasteNew, true},
        {"PrjPasteNewSub", 18, &TMainWindow::slotPrjPasteNewSub, true},
        {"PrjEdit", 19, &TMainWindow::slotPrjEdit, true},
        {"PrjSave", 20, &TMainWindow::slotPrjSave, true},
        {"PrjDeleteCur", 21, &TMainWindow::slotPrjDelete, true},
        {"PrjDeleteSubAll", 22, &TMainWindow::slotPrjDeleteSubAll, true},
        {"PrjOpenFolder", 23, &TMainWindow::slotPrjOpenFolder, true},
        {"CfgNew", 25, &TMainWindow::slotCfgNew, true},
        {"CfgCopy", 26, &TMainWindow::slotCfgCopy, true},
        {"CfgPasteNew", 27, &TMainWindow::slotCfgPaste, true},
        {"CfgEdit", 28, &TMainWindow::slotCfgEdit, true},
        {"CfgDelete", 29, &TMainWindow::slotCfgDelete, true},
        {"CmdSelector", 31, &TMainWindow::slotCmdSelector, true},
        {"CmdNewSetProgDevice", 32, &TMainWindow::slotCmdNewSetProgDevice, true},
        {"CmdNewSetProg", 33, &TMainWindow::slotCmdNewSetProg, true},
        {"CmdNewSetDevice", 33, &TMainWindow::slotCmdNewSetDevice, true},
        {"CmdCopyOne", 34, &TMainWindow::slotCmdCopy, true},
        {"CmdCopySelected", 35, &TMainWindow::slotCmdCopySelected, true},
        {"CmdPaste", 36, &TMainWindow::slotCmdPaste, true},
        {"CmdDeleteCur", 37, &TMainWindow::slotCmdDeleteCur, true},
        {"CmdDeleteSelected", 38, &TMainWindow::slotCmdDeleteSelected, true},
        {"CmdDeleteError", 40, &TMainWindow::slotCmdDeleteError, true},
        {"CmdDeleteDev", 39, &TMainWindow::slotCmdDeleteDev, true},
        {"CmdDeleteAll", 42, &TMainWindow::slotCmdDeleteAll, true},
        {"CmdCheckAll", 44, &TMainWindow::slotCmdCheckAll, true},
        {"CmdUncheckAll", 45, &TMainWindow::slotCmdUcheckAll, true},
        {"CmdMoveUp", 46, &TMainWindow::slotCmdMoveUp, true},
        {"CmdMoveDown", 47, &TMainWindow::slotCmdMoveDown, true},
        {"CmdUncheckHide", 48, &TMainWindow::slotCmdUncheckHide, true},
        {"ExecIDProg", 50, &TMainWindow::slotExecIDProg, true},
        {"ExecReset", 51, &TMainWindow::slotExecReset, true},
        {"Exec", 52, &TMainWindow::slotExecCfg, false},
        {"ExecClearCfgState", 53, &TMainWindow::slotExecClearState, true},
        {"ExecClearAllState", 54, &TMainWindow::slotExecClearAllState, true},
        {"ViewParamPrj", 57, &TMainWindow::slotSetViewParamPrj, true},
        {"ViewParamCmd", 58, &TMainWindow::slotSetViewParamCmd, true},
        {"ViewParamExec", 59, &TMainWindow::slotSetViewParamExec, true},
        {"Setup", 63, &TMainWindow::slotSettings, true},
        {"Language", -1, &TMainWindow::slotSetLanguage, true},
        {"SaveSettings", 64, &TMainWindow::slotSaveSettings, true},
        {"Help", 65, &TMainWindow::slotHelp, false},
        {"About", 66, &TMainWindow::slotAbout, false},
        {"AboutQt", -2, &TMainWindow::slotAboutQt, false},
        {"Quit", 55, &TMainWindow::slotQuit, true},
    };
    for (const Entry &e : entries) {
        const QString name = QString::fromLatin1(e.name);
        QString caption = e.message == -1   ? QStringLiteral("Language")
                          : e.message == -2 ? QStringLiteral("About Qt...")
                                            : lang.text(e.message);
        if (name == QLatin1String("CmdNewSetProgDevice"))
            caption = caption.arg(cmdCode.name(QStringLiteral("set_prog")), cmdCode.name(QStringLiteral("set_device")));
        else if (name == QLatin1String("CmdNewSetProg"))
            caption = caption.arg(cmdCode.name(QStringLiteral("set_prog")));
        else if (name == QLatin1String("CmdNewSetDevice"))
            caption = caption.arg(cmdCode.name(QStringLiteral("set_device")));
        addAction(name, caption, e.slot);
        if (e.hotKey)
            m_hotKeyNames << name;
    }
    action(QStringLiteral("PrjListDragDrop"))->setCheckable(true);
    action(QStringLiteral("PrjListDragDrop"))->setChecked(appData.prjListDragDrop);
    action(QStringLiteral("CmdUncheckHide"))->setCheckable(true);
    // Checked while the command selector is open; its button shows it.
    action(QStringLiteral("CmdSelector"))->setCheckable(true);
    m_viewGroup = new QActionGroup(this);
    m_viewGroup->setExclusive(true);
    for (const char *n : {"ViewParamPrj", "ViewParamCmd", "ViewParamExec"}) {
        QAction *a = action(QString::fromLatin1(n));
        a->setCheckable(true);
        m_viewGroup->addAction(a);
    }
    action(QStringLiteral("ViewParamPrj"))->setChecked(true);
}

void TMainWindow::loadHotKeys()
{
    const TSettings keys(hotKeyFilePath());
    for (const QString &name : qAsConst(m_hotKeyNames)) {
        const QString text = keys.readString(QStringLiteral("/HotKeyMain/") + name, QString());
        action(name)->setShortcut(QKeySequence(text, QKeySequence::NativeText));
    }
    action(kExec)->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Return)});
}

void TMainWindow::createCentralWidget()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new QFrame(central);
    m_bar->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_prjList = new TWgtPrjList(m_splitter);
    m_prjList->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_prjList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_prj = new TWgtPrj(m_splitter);
    m_prj->setContextMenuPolicy(Qt::CustomContextMenu);
    m_splitter->addWidget(m_prjList);
    m_splitter->addWidget(m_prj);
    m_splitter->setStretchFactor(1, 1);
    if (!appData.windowMainPrjSplitter.isEmpty())
        m_splitter->setSizes(appData.windowMainPrjSplitter);
    m_status = new TWgtStatusBar(central);
    layout->addWidget(m_bar);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_status);
    setCentralWidget(central);
}

void TMainWindow::fillMenu(QMenu *menu, const QStringList &names)
{
    for (const QString &n : names) {
        if (n == QLatin1String("-"))
            menu->addSeparator();
        else
            menu->addAction(action(n));
    }
}

namespace {
const QStringList kPrjListMenu = {"PrjListNew", "PrjListLoad", "PrjListSelect", "PrjListReload", "PrjListSaveAs", "-",
                                  "PrjListOpenFolder", "-", "PrjListDragDrop"};
const QStringList kPrjMenu = {"PrjNew", "PrjNewSub", "PrjAdd", "PrjAddSub", "-", "PrjCopy", "PrjPasteNew",
                              "PrjPasteNewSub", "-", "PrjEdit", "PrjSave", "-", "PrjDeleteCur", "PrjDeleteSubAll",
                              "-", "PrjOpenFolder"};
const QStringList kCfgMenu = {"CfgNew", "-", "CfgCopy", "CfgPasteNew", "-", "CfgEdit", "CfgDelete"};
const QStringList kCmdMenu = {"CmdSelector", "-", "CmdNewSetProg", "CmdNewSetDevice", "CmdNewSetProgDevice", "-",
                              "CmdCopyOne", "CmdCopySelected", "CmdPaste", "-", "CmdDeleteCur", "CmdDeleteSelected",
                              "CmdDeleteDev", "CmdDeleteError", "CmdDeleteAll", "-", "CmdCheckAll", "CmdUncheckAll",
                              "-", "CmdMoveUp", "CmdMoveDown"};
} // namespace

void TMainWindow::createMenus()
{
    QMenu *main = menuBar()->addMenu(lang.text(2));
    fillMenu(main->addMenu(lang.text(3)), kPrjListMenu);
    main->addSeparator();
    fillMenu(main->addMenu(lang.text(11)), kPrjMenu);
    fillMenu(main->addMenu(lang.text(24)), kCfgMenu);
    fillMenu(main->addMenu(lang.text(30)), kCmdMenu);
    fillMenu(main->addMenu(lang.text(49)), {"ExecReset", kExec, "-", "ExecClearCfgState", "ExecClearAllState"});
    main->addSeparator();
    main->addAction(action(QStringLiteral("Quit")));
    fillMenu(menuBar()->addMenu(lang.text(56)), {"ViewParamPrj", "ViewParamCmd", "ViewParamExec", "-", "CmdUncheckHide"});
    fillMenu(menuBar()->addMenu(lang.text(62)), {"Setup", "Language", "-", "SaveSettings"});
    menuBar()->addMenu(QStringLiteral("?"))->addAction(action(QStringLiteral("About")));
}

void TMainWindow::createContextMenus()
{
    m_menuPrjList = new QMenu(this);
    fillMenu(m_menuPrjList, kPrjMenu + QStringList{"-", "PrjListDragDrop"});
    m_menuCfg = new QMenu(this);
    fillMenu(m_menuCfg, kCfgMenu);
    m_menuCmd = new QMenu(this);
    fillMenu(m_menuCmd, kCmdMenu);
}

void TMainWindow::addButton(QHBoxLayout *layout, const QString &icon, const QString &actionName)
{
    const TToolBarMetrics m = toolBarMetrics(appData.iconsSet);
    const bool run = actionName == kExec;
    auto *button = new TButtonAction(QString(), layout->parentWidget());
    button->setAction(action(actionName));
    button->setIcon(iconFor(appData.iconsSet, icon));
    button->setFixedSize(run ? m.runButtonWidth : m.buttonWidth, m.buttonHeight);
    button->setIconSize(QSize(run ? m.runIconWidth : m.iconWidth, m.iconHeight));
    layout->addWidget(button);
    m_buttons.insert(icon, button);
    m_buttonIcons.insert(icon, icon);
}

void TMainWindow::setButtonIcon(const QString &name, const QString &icon)
{
    TButtonAction *button = m_buttons.value(name);
    if (!button || m_buttonIcons.value(name) == icon)
        return;
    button->setIcon(iconFor(appData.iconsSet, icon));
    m_buttonIcons.insert(name, icon);
}

void TMainWindow::createToolBar()
{
    const TToolBarMetrics m = toolBarMetrics(appData.iconsSet);
    m_bar->setFixedHeight(m.barHeight);
    auto *barLayout = new QHBoxLayout(m_bar);
    barLayout->setContentsMargins(5, 0, 5, 0);
    barLayout->setSpacing(0);

    auto *leftHost = new QWidget(m_bar);
    auto *left = new QHBoxLayout(leftHost);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->setAlignment(Qt::AlignLeft);
    addButton(left, QStringLiteral("prj_list"), QStringLiteral("PrjListSelect"));
    addButton(left, QStringLiteral("open"), QStringLiteral("PrjListLoad"));
    addButton(left, QStringLiteral("save"), QStringLiteral("PrjSave"));
    left->addSpacing(16);
    addButton(left, QStringLiteral("settings"), QStringLiteral("Setup"));
    left->addSpacing(32);

    m_barRight = new QWidget(m_bar);
    auto *right = new QHBoxLayout(m_barRight);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    addButton(right, QStringLiteral("cmd_select"), QStringLiteral("CmdSelector"));
    right->addSpacing(16);
    addButton(right, QStringLiteral("hide"), QStringLiteral("CmdUncheckHide"));
    right->addSpacing(16);
    addButton(right, QStringLiteral("page_desc"), QStringLiteral("ViewParamPrj"));
    addButton(right, QStringLiteral("page_param"), QStringLiteral("ViewParamCmd"));
    addButton(right, QStringLiteral("page_exec"), QStringLiteral("ViewParamExec"));
    right->addSpacing(16);
    addButton(right, QStringLiteral("id_prog"), QStringLiteral("ExecIDProg"));
    addButton(right, QStringLiteral("reset"), QStringLiteral("ExecReset"));
    addButton(right, QStringLiteral("exec_start"), kExec);

    m_pageButtons = new QButtonGroup(this);
    m_pageButtons->setExclusive(true);
    for (const char *n : {"page_desc", "page_param", "page_exec"})
        m_pageButtons->addButton(m_buttons.value(QString::fromLatin1(n)));

    barLayout->addWidget(leftHost);
    barLayout->addStretch();
    barLayout->addWidget(m_barRight);
}

void TMainWindow::reopenLastProject()
{
    if (!appData.openLastPrj)
        return;
    m_prjList->setCurrentIndex(appData.lastPrj);
    if (dataPrj.isOpen() && appData.lastCfg >= 0) {
        m_prj->selectCfgCmd(appData.lastCfg, appData.lastCmd);
        if (m_prj->currentPage())
            m_prj->currentPage()->setFocus();
    }
}

void TMainWindow::applySettings()
{
    applyStyle(appData.style);
    m_prjList->showName(appData.prjListShowName);
    m_prjList->showFilter(appData.prjListShowFilter);
    TWgtPrj::applyColorSettings();
    m_prj->applyRowColors();
    m_prj->setTabBarAutoHide(appData.prjHideTabCfg);
}

// ---- Enabling rule ----------------------------------------------------------------

void TMainWindow::updateActions()
{
    TMainActionFacts f;
    f.listLoaded = m_prjList->isLoaded();
    QTreeWidgetItem *item = m_prjList->currentItem();
    f.hasItem = item != nullptr;
    f.itemHasChildren = item && item->childCount() > 0;
    f.prjOpen = dataPrj.isOpen();
    f.prjClipboard = !m_clipContent.isEmpty();
    f.cfgClipboard = !m_cfgClipboard.name.isEmpty();
    f.cmdClipboard = !m_cmdClipboard.cmds.isEmpty();
    f.singleCfg = m_prj->hasSingleCfg();
    f.hasCurrentCmd = m_prj->currentCmdId() >= 0;
    f.currentRow = m_prj->currentRow();
    f.cmdCount = m_prj->currentCfgId() >= 0 ? dataPrj.cmdsOfCfg(m_prj->currentCfgId()).size() : 0;

    const QHash<QString, bool> states = mainActionStates(f);
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(states.value(it.key(), true));
    m_barRight->setVisible(f.prjOpen);
    if (f.prjOpen) {
        action(QStringLiteral("CmdDeleteError"))->setText(lang.text(f.singleCfg ? 40 : 41));
        action(QStringLiteral("CmdDeleteAll"))->setText(lang.text(f.singleCfg ? 42 : 43));
    }
    updateExecButtons();
}

// ---- Opening, saving and closing projects --------------------------------------------

void TMainWindow::connectPrjView(bool on)
{
    for (const QMetaObject::Connection &c : qAsConst(m_prjViewConnections))
        disconnect(c);
    m_prjViewConnections.clear();
    if (!on)
        return;
    m_prjViewConnections
        << connect(m_prj, &TWgtPrj::signalSelectCmd, this, &TMainWindow::slotSelectCmd)
        << connect(m_prj, &TWgtPrj::signalSetViewParamCmd, this, &TMainWindow::slotSetViewParamCmd)
        << connect(m_prj, &TWgtPrj::signalSplitterCfgMoved, this, &TMainWindow::slotSplitterCfgMoved)
        << connect(&dataPrj, &TDataPrj::signalChangeData, m_prj, &TWgtPrj::slotUpdateGUI, Qt::QueuedConnection);
}

void TMainWindow::returnToOpenEntry()
{
    m_prjList->setCurrentItemSilently(m_openItem);
    updateActions();
}

void TMainWindow::slotSelectPrj(const QString &file)
{
    connectPrjView(false);
    if (!closeProject()) {
        connectPrjView(true);
        returnToOpenEntry();
        return;
    }
    m_openItem = m_prjList->currentItem();
    if (!file.isEmpty()) {
        TCtrlProject ctrl;
        const int result = ctrl.load(file, &dataPrj);
        if (result == 0) {
            dataPrj.validateAll();
            dataPrj.setPrjName(m_prjList->currentName());
            dataPrj.resetModified();
            dataPrj.updateAllValidParam();
            m_status->showMessage(file, 0);
        } else {
            // The reason too: the file's error, or where its JSON fails.
            const QString text =
                QStringLiteral("%1: %2: %3").arg(lang.text(result == 1 ? 86 : 87), file, ctrl.lastError());
            m_status->showMessage(text, 1);
            if (appData.debug == 1) {
                writeLog(QStringLiteral("debug"), QStringLiteral("TMainWindow::slotSelectPrj: %1")
                                                      .arg(text + QStringLiteral(" [") + ctrl.lastError()
                                                           + QStringLiteral("]")));
            }
            dataPrj.clear();
        }
    } else {
        m_status->clearMessage();
    }
    connectPrjView(true);
    m_prj->rebuild();
    m_prj->setOrientation(appData.cfgOrientation != 0);
    if (!appData.windowMainCfgSplitter.isEmpty())
        m_prj->setSplitterSizes(appData.windowMainCfgSplitter);
    m_prj->setTabBarAutoHide(appData.prjHideTabCfg);
    // An open command selector follows the new project; told directly, not
    // through the view's selection signal, whose slot here would put the
    // project file over what the opening said in the status bar.
    if (m_selector) {
        setSelectorChecked(true);
        m_selector->slotSelectCmd(m_prj->currentCfgId(), m_prj->currentCmdId());
    }
    action(QStringLiteral("CmdUncheckHide"))->setChecked(appData.hideUncheckCmd);
    slotCmdUncheckHide();
    slotSetViewParamPrj();
    updateActions();
}

bool TMainWindow::saveProject()
{
    const QString path = makeAbsolutePath(dirOfFile(m_prjList->listFile()), dataPrj.prjFile());
    QString error;
    if (saveProjectAsking(path, this, &error)) {
        m_status->showMessage(lang.text(84).arg(dataPrj.prjName()), 2);
        return true;
    }
    m_status->showMessage(QStringLiteral("%1 \"%2\": %3").arg(lang.text(85), dataPrj.prjName(), error), 1);
    return false;
}

bool TMainWindow::saveProjectAsking(const QString &path, QWidget *parent, QString *error)
{
    TCtrlProject ctrl;
    // A file another copy changed since this one read or saved it is
    // written over only when the user says so.
    TCtrlProject::SaveResult result = ctrl.save(path, &dataPrj, false);
    if (result == TCtrlProject::Changed) {
        if (!askYesNo(lang.text(MSG_PRJ_CHANGED_ASK).arg(dataPrj.prjName(), path), parent, false)) {
            *error = lang.text(MSG_FILE_KEPT);
            return false;
        }
        result = ctrl.save(path, &dataPrj, true);
    }
    *error = ctrl.lastError();
    return result == TCtrlProject::Saved;
}

bool TMainWindow::closeProject()
{
    if (refuseProjectChange())
        return false;
    if (dataPrj.isOpen() && dataPrj.isModified()) {
        // Escape or closing the question keeps the project open: never a
        // way to drop the changes unasked.
        const TAnswer answer =
            appData.autoSavePrj ? TAnswer::Yes : askYesNoCancel(lang.text(83).arg(dataPrj.prjName()), this);
        if (answer == TAnswer::Cancel)
            return false;
        const bool save = answer == TAnswer::Yes;
        if (save && !saveProject()) {
            // The status bar names the reason; nothing is dropped unasked.
            const QString question = lang.text(MSG_PRJ_DISCARD).arg(dataPrj.prjName(), m_status->currentMessage());
            if (!askYesNo(question, this, false))
                return false;
        }
    }
    dataPrj.resetModified();
    // The pages report that no command is current as they go; the status
    // bar is cleared once the project is gone.
    m_prj->clear();
    dataPrj.clear();
    m_status->clearMessage();
    m_openItem = nullptr;
    updateActions();
    return true;
}

void TMainWindow::slotPrjSave()
{
    if (!dataPrj.isOpen())
        return;
    if (appData.confirmProjectSave && !askYesNo(lang.text(111).arg(dataPrj.prjName()), this))
        return;
    if (saveProject())
        dataPrj.resetModified();
}

void TMainWindow::slotChangePrj(bool modified)
{
    // Every stored change says so (a counter of a looping run at each
    // step); the button changes only with the state.
    setButtonIcon(QStringLiteral("save"), modified ? QStringLiteral("save_change") : QStringLiteral("save"));
}

// ---- Project lists ----------------------------------------------------------------

QString TMainWindow::listDir() const
{
    return dirOfFile(m_prjList->listFile());
}

// Asks for a list file name to write, with ".lst" where the complete suffix
// is not exactly "lst". When that changed the name and the final name
// exists, the user is asked before it is replaced. Empty when cancelled.
QString TMainWindow::chooseListFile(int title)
{
    const QString chosen = QFileDialog::getSaveFileName(this, lang.text(title), appDirPath(),
                                                        QStringLiteral("*.lst"), nullptr, kDialogOptions);
    if (chosen.isEmpty())
        return QString();
    if (suffixOf(QFileInfo(chosen).fileName()) == QLatin1String("lst"))
        return chosen;
    const QString path = chosen + QStringLiteral(".lst");
    if (QFileInfo::exists(path) && !askYesNo(lang.text(MSG_REPLACE_LIST_FILE).arg(path), this, false))
        return QString();
    return path;
}

bool TMainWindow::loadList(const QString &name, const QString &file, bool remember)
{
    if (!m_prjList->load(name, file, appData.prjListExpand)) {
        showError(withReason(lang.text(97).arg(m_prjList->listFile()), m_prjList->errorText()), this);
        return false;
    }
    if (remember) {
        appData.prjListName = name;
        appData.prjListFile = file;
    }
    return true;
}

bool TMainWindow::saveListBeforeReplacing()
{
    if (!m_prjList->isModified() || m_prjList->saveList())
        return true;
    return askYesNo(lang.text(MSG_LIST_DISCARD).arg(withReason(m_prjList->listFile(), m_prjList->saveError())),
                    this, false);
}

void TMainWindow::saveListReporting()
{
    if (!m_prjList->saveList() && !m_prjList->saveDeclined())
        showError(withReason(lang.text(MSG_LIST_SAVE_FAILED).arg(m_prjList->listFile()), m_prjList->saveError()),
                  this);
}

void TMainWindow::slotPrjListNew()
{
    if (refuseProjectChange())
        return;
    const QString path = chooseListFile(89);
    if (!path.isEmpty() && saveListBeforeReplacing()) {
        QString error;
        if (!createProjectListFile(path, &error)) {
            showError(withReason(QStringLiteral("%1:\n%2").arg(lang.text(90), path), error), this);
        } else if (closeProject()) {
            loadList(path, path, true);
        }
    }
    updateActions();
}

void TMainWindow::slotPrjListLoad()
{
    if (refuseProjectChange())
        return;
    const QString start = dirOfFile(m_prjList->listFile().isEmpty()
                                        ? makeAbsolutePath(makeAbsolutePath(appDirPath(), appData.pathProjects),
                                                           appData.prjListFile)
                                        : m_prjList->listFile());
    const QString file = QFileDialog::getOpenFileName(this, lang.text(91), start, QStringLiteral("*.lst"), nullptr,
                                                      kDialogOptions);
    if (!file.isEmpty() && saveListBeforeReplacing() && closeProject())
        loadList(file, file, true);
    updateActions();
}

void TMainWindow::slotPrjListSelect()
{
    if (refuseProjectChange())
        return;
    const QString catalogue = absoluteFilePath(appData.selectPrjListFile);
    TDialogSelectPrjList dialog(this);
    if (!dialog.loadCatalogue(catalogue)) {
        showError(withReason(lang.text(96).arg(catalogue), dialog.loadError()), this);
        return;
    }
    dialog.setCurrentList(m_prjList->listName(), m_prjList->listFile());
    if (dialog.exec() == QDialog::Accepted && saveListBeforeReplacing() && closeProject()) {
        loadList(dialog.currentName(), dialog.currentFile(), true);
        m_status->clearMessage();
    }
    if (dialog.isModified() && !dialog.saveCatalogue(catalogue) && !dialog.saveDeclined())
        showError(lang.text(MSG_CATALOGUE_WRITE).arg(catalogue, dialog.errorString()), this);
    updateActions();
}

void TMainWindow::slotPrjListReload()
{
    if (refuseProjectChange())
        return;
    if (m_prjList->listFile().isEmpty())
        return;
    if ((!appData.confirmProjectsListReload || askYesNo(lang.text(94), this)) && closeProject())
        loadList(m_prjList->listName(), m_prjList->listFile(), false);
    updateActions();
}

void TMainWindow::slotPrjListSaveAs()
{
    const QString path = chooseListFile(95);
    if (path.isEmpty())
        return;
    // The tree first, so that the copy holds the moves made since the last write.
    saveListReporting();
    const QString current = m_prjList->listFile();
    QFile source(current);
    QByteArray bytes;
    QString error;
    if (source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        error = source.errorString();
    if (bytes.isEmpty() || !writeFile(path, bytes, &error))
        showError(withReason(lang.text(98).arg(current, path), error), this);
}

void TMainWindow::slotPrjListOpenFolder()
{
    showInExplorer(m_prjList->listFile());
}

void TMainWindow::slotPrjListDragDrop()
{
    appData.prjListDragDrop = action(QStringLiteral("PrjListDragDrop"))->isChecked();
    m_prjList->setDragDrop(appData.prjListDragDrop);
}

// ---- Entries ------------------------------------------------------------------------

void TMainWindow::editEntry(int title, int mode, bool asChild)
{
    if (refuseProjectChange())
        return;
    TDialogPrjEdit dialog(lang.text(title), this);
    dialog.setValues(mode == 2 ? m_clipName : QString(), QString(), listDir());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_prjList->addItem(mode, dialog.name(), listDir(), dialog.fileName(), asChild,
                            mode == 2 ? m_clipContent : QByteArray())) {
        const int msg = m_prjList->addFailure() == TWgtPrjList::AddFileExists ? MSG_PRJ_FILE_EXISTS
                                                                               : MSG_PRJ_FILE_CREATE;
        showError(withReason(lang.text(msg).arg(m_prjList->addPath()), m_prjList->addError()), this);
        updateActions();
        return;
    }
    saveListReporting();
    if (mode == 2)
        m_status->showMessage(lang.text(110).arg(m_clipName), 2);
    updateActions();
}

void TMainWindow::slotPrjNew() { editEntry(99, 0, false); }
void TMainWindow::slotPrjNewSub() { editEntry(100, 0, true); }
void TMainWindow::slotPrjAdd() { editEntry(101, 1, false); }
void TMainWindow::slotPrjAddSub() { editEntry(102, 1, true); }
void TMainWindow::slotPrjPasteNew() { editEntry(108, 2, false); }
void TMainWindow::slotPrjPasteNewSub() { editEntry(109, 2, true); }

void TMainWindow::slotPrjEdit()
{
    if (!m_prjList->currentItem())
        return;
    const QString oldFile = m_prjList->currentFile();
    TDialogPrjEdit dialog(lang.text(103), this);
    dialog.setValues(m_prjList->currentName(), oldFile, listDir());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.fileName() != oldFile && m_prjList->currentItem() == m_openItem && refuseProjectChange())
        return;
    m_prjList->setCurrentTexts(dialog.name(), dialog.fileName());
    if (dataPrj.isOpen() && m_prjList->currentItem() == m_openItem)
        dataPrj.setPrjName(dialog.name());
    saveListReporting();
    if (dialog.fileName() != oldFile)
        m_prjList->updateCurrentIcon();
    updateActions();
}

void TMainWindow::slotPrjCopy()
{
    const QString path = makeAbsolutePath(listDir(), m_prjList->currentFile());
    QFile file(path);
    if (m_prjList->currentFile().isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_status->showMessage(file.errorString(), 1);
        return;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_status->showMessage(file.errorString(), 1);
        return;
    }
    m_clipName = m_prjList->currentName();
    m_clipFile = m_prjList->currentFile();
    m_clipContent = content;
    m_status->showMessage(lang.text(107).arg(m_clipName), 2);
    refreshPasteCaptions();
    updateActions();
}

void TMainWindow::refreshPasteCaptions()
{
    if (m_clipName.isEmpty())
        return;
    for (const char *n : {"PrjPasteNew", "PrjPasteNewSub"}) {
        QAction *a = action(QString::fromLatin1(n));
        const QString base = a->text().section(QLatin1Char('['), 0, 0).trimmed();
        a->setText(QStringLiteral("%1 [%2]").arg(base, m_clipName));
    }
}

// Closes the open project first when its entry is about to go; false when it
// stays open (the removal is then called off).
bool TMainWindow::closeProjectBeforeRemoving(bool childrenOnly)
{
    QTreeWidgetItem *current = m_prjList->currentItem();
    if (!m_openItem || !current || !isSelfOrBelow(m_openItem, current))
        return true;
    if (childrenOnly && m_openItem == current)
        return true;
    if (!closeProject()) {
        returnToOpenEntry();
        return false;
    }
    return true;
}

void TMainWindow::slotPrjDelete()
{
    if (refuseProjectChange())
        return;
    if (!m_prjList->currentItem())
        return;
    const QString name = m_prjList->currentName();
    if (appData.confirmProjectDeleteCur && !askYesNo(lang.text(112).arg(name), this))
        return;
    if (!closeProjectBeforeRemoving(false))
        return;
    m_prjList->removeCurrent();
    saveListReporting();
    m_status->showMessage(lang.text(113).arg(name), 2);
    updateActions();
}

void TMainWindow::slotPrjDeleteSubAll()
{
    if (refuseProjectChange())
        return;
    if (!m_prjList->currentItem())
        return;
    const QString name = m_prjList->currentName();
    if (appData.confirmProjectDeleteSubAll && !askYesNo(lang.text(114).arg(name), this))
        return;
    if (!closeProjectBeforeRemoving(true))
        return;
    m_prjList->removeChildren();
    saveListReporting();
    m_status->showMessage(lang.text(115).arg(name), 2);
    updateActions();
}

void TMainWindow::slotPrjOpenFolder()
{
    showInExplorer(dataPrj.isOpen() ? dataPrj.prjFile() : m_prjList->listFile());
}

// ---- View and context menus --------------------------------------------------------

void TMainWindow::slotSetViewParamPrj()
{
    if (!dataPrj.isOpen())
        return;
    m_prj->slotSetViewParamPrj();
    action(QStringLiteral("ViewParamPrj"))->setChecked(true);
    m_buttons.value(QStringLiteral("page_desc"))->setChecked(true);
}

void TMainWindow::slotSetViewParamCmd()
{
    if (!dataPrj.isOpen())
        return;
    m_prj->slotSetViewParamCmd();
    action(QStringLiteral("ViewParamCmd"))->setChecked(true);
    m_buttons.value(QStringLiteral("page_param"))->setChecked(true);
}

void TMainWindow::slotSetViewParamExec()
{
    if (!dataPrj.isOpen())
        return;
    m_prj->slotSetViewParamExec();
    action(QStringLiteral("ViewParamExec"))->setChecked(true);
    m_buttons.value(QStringLiteral("page_exec"))->setChecked(true);
}

void TMainWindow::slotOpenContextMenuPrjList(const QPoint &pos)
{
    updateActions();
    m_menuPrjList->popup(m_prjList->mapToGlobal(pos));
}

void TMainWindow::slotOpenContextMenuPrj(const QPoint &pos)
{
    updateActions();
    auto *page = m_prj->currentPage();
    const QPoint global = page ? page->mapToGlobal(pos) : m_prj->mapToGlobal(pos);
    if (QApplication::keyboardModifiers() == Qt::ControlModifier)
        m_menuCfg->popup(global);
    else
        m_menuCmd->popup(global);
}

void TMainWindow::slotSplitterCfgMoved(const TSplitterPos &sizes)
{
    appData.windowMainCfgSplitter = sizes;
    m_prj->setSplitterSizes(sizes);
}

void TMainWindow::slotQuit()
{
    close();
}
