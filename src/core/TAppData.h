#pragma once
// The application settings: every preference, folder, colour, flag,
// confirmation switch and window geometry of the program, one member per key
// of the settings file. One global instance; start-up calls load() once, the
// settings pages and the main window change the members directly, save() and
// saveWindows() write them back.
//
// Member names follow the keys: "/Main/<Key>" and "/Interface/<Key>" give
// <key>, "/Confirmation/<Key>" gives confirm<Key>, "/<Window>/<Key>" gives
// <window><Key>, "/Prog/Default" gives progDefault.
//
// The GUI thread is the only writer. Execution workers read only the
// folders and the programmer lists, each as a copy taken under a lock
// (folder(), progLists()); the settings dialog changes them through the
// matching setters, so a run never sees a value half replaced.

#include "core/TProgName.h"
#include "core/TProgType.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class TSettings;

// The programmer types, names and default name as one consistent copy.
struct TProgLists
{
    TProgType types;
    TProgName names;
    int byDefault = 0;
};

class TAppData
{
public:
    TAppData();
    virtual ~TAppData();

    // Reads every key from the settings file, each with its default.
    void load();
    // Writes what the user changes through the settings pages and the main
    // window, as far as it changed since load() (or the last save): those
    // keys, and the programmer types and names added, changed or removed,
    // go into the file as it stands then, and what another instance wrote
    // meanwhile stays. True only when the file was written completely (or
    // nothing had changed). On false the file is as it was and error (when
    // given) names the file and the system's reason.
    // lockWaitMs: how long to wait for another instance's save of the
    // file (below 0: a few seconds).
    bool save(QString *error = nullptr, int lockWaitMs = -1);
    // Writes the window geometry, as far as it changed (as for save()).
    bool saveWindows(QString *error = nullptr, int lockWaitMs = -1);

    // The folders that execution workers read from their threads
    // (pathDevices, pathProgs): a copy taken under a lock, and the one way
    // to change one while runs may be active.
    QString folder(QString TAppData::*member) const;
    void setFolder(QString TAppData::*member, const QString &value);

    // The programmer lists as one copy taken under a lock: how a run (and
    // every other reader that may meet a settings OK) sees them. The
    // settings dialog replaces all three in one locked step.
    TProgLists progLists() const;
    void setProgLists(const TProgLists &lists);

    // Programmer types and names (groups "ProgTypeList" and "ProgNameList")
    TProgType progType;
    TProgName progName;
    int progDefault = 0; // /Prog/Default: index of the default programmer name

    // Main
    int debug = 0; // /Main/Debug; never written
    QString language; // /Main/Language
    QString style; // /Main/Style
    QString fontAppName; // /Main/FontAppName; never written
    int fontAppSize = 0; // /Main/FontAppSize; never written
    QString fontMonoName; // /Main/FontMonoName; never written
    int fontMonoSize = 0; // /Main/FontMonoSize; never written
    int iconsSet = 0; // /Main/IconsSet; never written
    bool saveSettingsWindow = false; // /Main/SaveSettingsWindow
    bool saveSettingsApp = false; // /Main/SaveSettingsApp
    bool windowMainCenter = false; // /Main/WindowMainCenter
    bool windowOtherCenter = false; // /Main/WindowOtherCenter
    int windowCmdSelector = 0; // /Main/WindowCmdSelector
    int cfgOrientation = 0; // /Main/CfgOrientation
    bool autoSavePrj = false; // /Main/AutoSavePrj
    bool openLastPrj = false; // /Main/OpenLastPrj
    QString selectPrjListFile; // /Main/SelectPrjListFile
    QString prjListName; // /Main/PrjListName
    QString prjListFile; // /Main/PrjListFile
    int lastPrj = 0; // /Main/LastPrj
    int lastCfg = 0; // /Main/LastCfg
    int lastCmd = 0; // /Main/LastCmd
    QString pathLanguage; // /Main/PathLanguage
    QString pathProjects; // /Main/PathProjects
    QString pathDevices; // /Main/PathDevices
    QString pathProgs; // /Main/PathProgs

    // Interface
    int prjListExpand = 0; // /Interface/PrjListExpand
    bool prjListDragDrop = false; // /Interface/PrjListDragDrop
    bool prjListShowName = false; // /Interface/PrjListShowName
    bool prjListShowFilter = false; // /Interface/PrjListShowFilter
    bool prjHideTabCfg = false; // /Interface/PrjHideTabCfg
    bool hideUncheckCmd = false; // /Interface/HideUncheckCmd
    bool cmdDelCmdDev = false; // /Interface/CmdDelCmdDev
    bool cmdAddState = false; // /Interface/CmdAddState
    bool cmdParamEnableColorWarning = false; // /Interface/CmdParamEnableColorWarning
    bool cmdParamEnableColorAlarm = false; // /Interface/CmdParamEnableColorAlarm
    bool cmdToolsSetProgColorEnable = false; // /Interface/CmdToolsSetProgColorEnable
    QColor cmdToolsSetProgColor; // /Interface/CmdToolsSetProgColor
    bool cmdToolsExecuteColorEnable = false; // /Interface/CmdToolsExecuteColorEnable
    QColor cmdToolsExecuteColor; // /Interface/CmdToolsExecuteColor
    bool cmdToolsDelayColorEnable = false; // /Interface/CmdToolsDelayColorEnable
    QColor cmdToolsDelayColor; // /Interface/CmdToolsDelayColor
    bool cmdToolsCounterColorEnable = false; // /Interface/CmdToolsCounterColorEnable
    QColor cmdToolsCounterColor; // /Interface/CmdToolsCounterColor
    bool cmdToolsJampColorEnable = false; // /Interface/CmdToolsJampColorEnable
    QColor cmdToolsJampColor; // /Interface/CmdToolsJampColor
    bool cmdToolsPauseColorEnable = false; // /Interface/CmdToolsPauseColorEnable
    QColor cmdToolsPauseColor; // /Interface/CmdToolsPauseColor
    bool cmdToolsStopColorEnable = false; // /Interface/CmdToolsStopColorEnable
    QColor cmdToolsStopColor; // /Interface/CmdToolsStopColor
    bool cmdToolsCalcCRCColorEnable = false; // /Interface/CmdToolsCalcCRCColorEnable
    QColor cmdToolsCalcCRCColor; // /Interface/CmdToolsCalcCRCColor
    bool cmdToolsProcessColorEnable = false; // /Interface/CmdToolsProcessColorEnable
    QColor cmdToolsProcessColor; // /Interface/CmdToolsProcessColor
    bool cmdProgSetDeviceColorEnable = false; // /Interface/CmdProgSetDeviceColorEnable
    QColor cmdProgSetDeviceColor; // /Interface/CmdProgSetDeviceColor
    bool cmdProgAutoDetectColorEnable = false; // /Interface/CmdProgAutoDetectColorEnable
    QColor cmdProgAutoDetectColor; // /Interface/CmdProgAutoDetectColor
    bool cmdProgResetColorEnable = false; // /Interface/CmdProgResetColorEnable
    QColor cmdProgResetColor; // /Interface/CmdProgResetColor
    bool cmdProgGeneratorColorEnable = false; // /Interface/CmdProgGeneratorColorEnable
    QColor cmdProgGeneratorColor; // /Interface/CmdProgGeneratorColor
    bool cmdProgSetIOColorEnable = false; // /Interface/CmdProgSetIOColorEnable
    QColor cmdProgSetIOColor; // /Interface/CmdProgSetIOColor
    bool cmdDeviceLeaveColorEnable = false; // /Interface/CmdDeviceLeaveColorEnable
    QColor cmdDeviceLeaveColor; // /Interface/CmdDeviceLeaveColor
    bool cmdEnableHLJamp = false; // /Interface/CmdEnableHLJamp
    QColor prjListNameColorText; // /Interface/PrjListNameColorText
    QColor prjListNameColorBack; // /Interface/PrjListNameColorBack
    QColor cmdParamColorWarning; // /Interface/CmdParamColorWarning
    QColor cmdParamColorAlarm; // /Interface/CmdParamColorAlarm
    QColor selectorColorChar; // /Interface/SelectorColorChar; never written
    QColor selectorColorData; // /Interface/SelectorColorData; never written
    QColor selectorColorFile; // /Interface/SelectorColorFile; never written
    bool execClearWindow = false; // /Interface/ExecClearWindow
    bool execShowProgExec = false; // /Interface/ExecShowProgExec
    bool execShowProgIDProg = false; // /Interface/ExecShowProgIDProg
    bool execShowProgReset = false; // /Interface/ExecShowProgReset
    bool execLogShowTime = false; // /Interface/ExecLogShowTime
    bool execLogShowTime_ms = false; // /Interface/ExecLogShowTime_ms
    QColor execTabColorExecute; // /Interface/ExecTabColorExecute
    QColor execTabColorPause; // /Interface/ExecTabColorPause
    QColor execTabColorSuccess; // /Interface/ExecTabColorSuccess
    QColor execTabColorFailed; // /Interface/ExecTabColorFailed
    QColor execBtnColorExecute; // /Interface/ExecBtnColorExecute
    QColor execBtnColorPause; // /Interface/ExecBtnColorPause
    QColor execLogColorBackground; // /Interface/ExecLogColorBackground
    QColor execLogColorTime; // /Interface/ExecLogColorTime
    QColor execLogColorCmd; // /Interface/ExecLogColorCmd
    QColor execLogColorParam; // /Interface/ExecLogColorParam
    QColor execLogColorText; // /Interface/ExecLogColorText
    QColor execLogColorWork; // /Interface/ExecLogColorWork
    QColor execLogColorResult; // /Interface/ExecLogColorResult
    QColor execLogColorSuccess; // /Interface/ExecLogColorSuccess
    QColor execLogColorFailed; // /Interface/ExecLogColorFailed

    // Confirmation
    bool confirmProjectsListReload = false; // /Confirmation/ProjectsListReload
    bool confirmProjectsListDelete = false; // /Confirmation/ProjectsListDelete
    bool confirmProjectSave = false; // /Confirmation/ProjectSave
    bool confirmProjectDeleteCur = false; // /Confirmation/ProjectDeleteCur
    bool confirmProjectDeleteSubAll = false; // /Confirmation/ProjectDeleteSubAll
    bool confirmConfigDeleteCur = false; // /Confirmation/ConfigDeleteCur
    bool confirmCmdInsertProgDevice = false; // /Confirmation/CmdInsertProgDevice
    bool confirmCmdInsertProg = false; // /Confirmation/CmdInsertProg
    bool confirmCmdInsertDevice = false; // /Confirmation/CmdInsertDevice
    bool confirmCmdPaste = false; // /Confirmation/CmdPaste
    bool confirmCmdDeleteCur = false; // /Confirmation/CmdDeleteCur
    bool confirmCmdDeleteSelected = false; // /Confirmation/CmdDeleteSelected
    bool confirmCmdDeleteError = false; // /Confirmation/CmdDeleteError
    bool confirmCmdDeleteDev = false; // /Confirmation/CmdDeleteDev
    bool confirmCmdDeleteAll = false; // /Confirmation/CmdDeleteAll
    bool confirmExecConfig = false; // /Confirmation/ExecConfig
    bool confirmExecReset = false; // /Confirmation/ExecReset
    bool confirmQuit = false; // /Confirmation/Quit

    // WindowMain
    int windowMainLeft = 0; // /WindowMain/Left
    int windowMainTop = 0; // /WindowMain/Top
    int windowMainWidth = 0; // /WindowMain/Width
    int windowMainHeight = 0; // /WindowMain/Height
    QList<int> windowMainPrjSplitter; // /WindowMain/PrjSplitter
    QList<int> windowMainCfgSplitter; // /WindowMain/CfgSplitter
    int windowMainCmdListColumnNameWidth = 0; // /WindowMain/CmdListColumnNameWidth; never written
    int windowMainCmdAutoColumnDeviceWidth = 0; // /WindowMain/CmdAutoColumnDeviceWidth; never written

    // WindowSettings
    int windowSettingsLeft = 0; // /WindowSettings/Left
    int windowSettingsTop = 0; // /WindowSettings/Top
    int windowSettingsWidth = 0; // /WindowSettings/Width
    int windowSettingsHeight = 0; // /WindowSettings/Height
    QList<int> windowSettingsMainSplitter; // /WindowSettings/MainSplitter
    QList<int> windowSettingsProgSplitter; // /WindowSettings/ProgSplitter

    // WindowSettingsProgName
    int windowSettingsProgNameLeft = 0; // /WindowSettingsProgName/Left
    int windowSettingsProgNameTop = 0; // /WindowSettingsProgName/Top
    int windowSettingsProgNameWidth = 0; // /WindowSettingsProgName/Width

    // WindowSettingsProgType
    int windowSettingsProgTypeLeft = 0; // /WindowSettingsProgType/Left
    int windowSettingsProgTypeTop = 0; // /WindowSettingsProgType/Top
    int windowSettingsProgTypeWidth = 0; // /WindowSettingsProgType/Width

    // WindowSelectDevice
    int windowSelectDeviceLeft = 0; // /WindowSelectDevice/Left
    int windowSelectDeviceTop = 0; // /WindowSelectDevice/Top
    int windowSelectDeviceWidth = 0; // /WindowSelectDevice/Width
    int windowSelectDeviceHeight = 0; // /WindowSelectDevice/Height

    // WindowSelectFamily
    int windowSelectFamilyLeft = 0; // /WindowSelectFamily/Left
    int windowSelectFamilyTop = 0; // /WindowSelectFamily/Top
    int windowSelectFamilyWidth = 0; // /WindowSelectFamily/Width
    int windowSelectFamilyHeight = 0; // /WindowSelectFamily/Height

    // WindowRouteEdit
    int windowRouteEditLeft = 0; // /WindowRouteEdit/Left
    int windowRouteEditTop = 0; // /WindowRouteEdit/Top
    int windowRouteEditWidth = 0; // /WindowRouteEdit/Width

    // WindowSelectPrjList
    int windowSelectPrjListLeft = 0; // /WindowSelectPrjList/Left
    int windowSelectPrjListTop = 0; // /WindowSelectPrjList/Top
    int windowSelectPrjListWidth = 0; // /WindowSelectPrjList/Width
    int windowSelectPrjListHeight = 0; // /WindowSelectPrjList/Height

    // WindowPrjListEdit
    int windowPrjListEditLeft = 0; // /WindowPrjListEdit/Left
    int windowPrjListEditTop = 0; // /WindowPrjListEdit/Top
    int windowPrjListEditWidth = 0; // /WindowPrjListEdit/Width

    // WindowPrjEdit
    int windowPrjEditLeft = 0; // /WindowPrjEdit/Left
    int windowPrjEditTop = 0; // /WindowPrjEdit/Top
    int windowPrjEditWidth = 0; // /WindowPrjEdit/Width

    // WindowCfgEdit
    int windowCfgEditLeft = 0; // /WindowCfgEdit/Left
    int windowCfgEditTop = 0; // /WindowCfgEdit/Top
    int windowCfgEditWidth = 0; // /WindowCfgEdit/Width

    // WindowLanguage
    int windowLanguageLeft = 0; // /WindowLanguage/Left
    int windowLanguageTop = 0; // /WindowLanguage/Top
    int windowLanguageWidth = 0; // /WindowLanguage/Width
    int windowLanguageHeight = 0; // /WindowLanguage/Height

    // WindowCmdSelector
    int windowCmdSelectorLeft = 0; // /WindowCmdSelector/Left
    int windowCmdSelectorTop = 0; // /WindowCmdSelector/Top
    int windowCmdSelectorWidth = 0; // /WindowCmdSelector/Width
    int windowCmdSelectorHeight = 0; // /WindowCmdSelector/Height
    QList<int> windowCmdSelectorSplitter; // /WindowCmdSelector/Splitter
    int windowCmdSelectorButtonHeight = 0; // /WindowCmdSelector/ButtonHeight; never written
    int windowCmdSelectorButtonSeparatorHeight = 0; // /WindowCmdSelector/ButtonSeparatorHeight; never written

private:
    bool write(const std::function<void(TSettings &)> &fill, QString *error, int lockWaitMs);

    // What load() read of the settings file (m_viewPath) and the saves
    // wrote since, the ground against which a save tells its changes
    // (TSettings::View).
    QHash<QString, QString> m_view;
    QString m_viewPath;
};

// The one settings object of the process.
extern TAppData appData;
