#include "core/TAppData.h"

#include <mutex>

#include "core/TSettings.h"
#include "core/helpers.h"

#include <QVariant>

#include <algorithm>
#include <variant>
#include <vector>

TAppData appData;

namespace {

enum class Stored {
    App,     // written by save()
    Windows, // written by saveWindows()
    Never    // only read: takes effect when the file is edited by hand
};

using Member = std::variant<int TAppData::*, bool TAppData::*, QString TAppData::*,
                            QColor TAppData::*, QList<int> TAppData::*>;

struct Entry
{
    const char *key;
    Member member;
    QVariant def;
    Stored stored;
};

// Every plain key, in the order they are read.
const std::vector<Entry> &entries()
{
    static const std::vector<Entry> table = {
        {"/Main/Debug", &TAppData::debug, 0, Stored::Never},
        {"/Main/Language", &TAppData::language, QStringLiteral("rus.lng"), Stored::App},
        {"/Main/Style", &TAppData::style, QStringLiteral("Fusion"), Stored::App},
        {"/Main/FontAppName", &TAppData::fontAppName, QString(), Stored::Never},
        {"/Main/FontAppSize", &TAppData::fontAppSize, 0, Stored::Never},
        {"/Main/FontMonoName", &TAppData::fontMonoName, QString(), Stored::Never},
        {"/Main/FontMonoSize", &TAppData::fontMonoSize, 0, Stored::Never},
        {"/Main/IconsSet", &TAppData::iconsSet, 0, Stored::Never},
        {"/Main/SaveSettingsWindow", &TAppData::saveSettingsWindow, true, Stored::App},
        {"/Main/SaveSettingsApp", &TAppData::saveSettingsApp, true, Stored::App},
        {"/Main/WindowMainCenter", &TAppData::windowMainCenter, true, Stored::App},
        {"/Main/WindowOtherCenter", &TAppData::windowOtherCenter, true, Stored::App},
        {"/Main/WindowCmdSelector", &TAppData::windowCmdSelector, 5, Stored::App},
        {"/Main/CfgOrientation", &TAppData::cfgOrientation, 0, Stored::App},
        {"/Main/AutoSavePrj", &TAppData::autoSavePrj, false, Stored::App},
        {"/Main/OpenLastPrj", &TAppData::openLastPrj, true, Stored::App},
        {"/Main/SelectPrjListFile", &TAppData::selectPrjListFile, QStringLiteral("velkor.lpl"), Stored::App},
        {"/Main/PrjListName", &TAppData::prjListName, QString(), Stored::App},
        {"/Main/PrjListFile", &TAppData::prjListFile, QString(), Stored::App},
        {"/Main/LastPrj", &TAppData::lastPrj, -1, Stored::App},
        {"/Main/LastCfg", &TAppData::lastCfg, -1, Stored::App},
        {"/Main/LastCmd", &TAppData::lastCmd, -1, Stored::App},
        {"/Main/PathLanguage", &TAppData::pathLanguage, QStringLiteral("language"), Stored::App},
        {"/Main/PathProjects", &TAppData::pathProjects, QStringLiteral("projects"), Stored::App},
        {"/Main/PathDevices", &TAppData::pathDevices, QStringLiteral("devices"), Stored::App},
        {"/Main/PathProgs", &TAppData::pathProgs, QStringLiteral("progs"), Stored::App},
        {"/Interface/PrjListExpand", &TAppData::prjListExpand, 0, Stored::App},
        {"/Interface/PrjListDragDrop", &TAppData::prjListDragDrop, true, Stored::App},
        {"/Interface/PrjListShowName", &TAppData::prjListShowName, false, Stored::App},
        {"/Interface/PrjListShowFilter", &TAppData::prjListShowFilter, true, Stored::App},
        {"/Interface/PrjHideTabCfg", &TAppData::prjHideTabCfg, true, Stored::App},
        {"/Interface/HideUncheckCmd", &TAppData::hideUncheckCmd, false, Stored::App},
        {"/Interface/CmdDelCmdDev", &TAppData::cmdDelCmdDev, false, Stored::App},
        {"/Interface/CmdAddState", &TAppData::cmdAddState, true, Stored::App},
        {"/Interface/CmdParamEnableColorWarning", &TAppData::cmdParamEnableColorWarning, true, Stored::App},
        {"/Interface/CmdParamEnableColorAlarm", &TAppData::cmdParamEnableColorAlarm, true, Stored::App},
        {"/Interface/CmdToolsSetProgColorEnable", &TAppData::cmdToolsSetProgColorEnable, true, Stored::App},
        {"/Interface/CmdToolsSetProgColor", &TAppData::cmdToolsSetProgColor, QVariant(QColor(200, 255, 200)), Stored::App},
        {"/Interface/CmdToolsExecuteColorEnable", &TAppData::cmdToolsExecuteColorEnable, false, Stored::App},
        {"/Interface/CmdToolsExecuteColor", &TAppData::cmdToolsExecuteColor, QVariant(QColor(255, 230, 200)), Stored::App},
        {"/Interface/CmdToolsDelayColorEnable", &TAppData::cmdToolsDelayColorEnable, false, Stored::App},
        {"/Interface/CmdToolsDelayColor", &TAppData::cmdToolsDelayColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdToolsCounterColorEnable", &TAppData::cmdToolsCounterColorEnable, false, Stored::App},
        {"/Interface/CmdToolsCounterColor", &TAppData::cmdToolsCounterColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdToolsJampColorEnable", &TAppData::cmdToolsJampColorEnable, false, Stored::App},
        {"/Interface/CmdToolsJampColor", &TAppData::cmdToolsJampColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdToolsPauseColorEnable", &TAppData::cmdToolsPauseColorEnable, false, Stored::App},
        {"/Interface/CmdToolsPauseColor", &TAppData::cmdToolsPauseColor, QVariant(QColor(255, 255, 200)), Stored::App},
        {"/Interface/CmdToolsStopColorEnable", &TAppData::cmdToolsStopColorEnable, false, Stored::App},
        {"/Interface/CmdToolsStopColor", &TAppData::cmdToolsStopColor, QVariant(QColor(255, 200, 200)), Stored::App},
        {"/Interface/CmdToolsCalcCRCColorEnable", &TAppData::cmdToolsCalcCRCColorEnable, false, Stored::App},
        {"/Interface/CmdToolsCalcCRCColor", &TAppData::cmdToolsCalcCRCColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdToolsProcessColorEnable", &TAppData::cmdToolsProcessColorEnable, false, Stored::App},
        {"/Interface/CmdToolsProcessColor", &TAppData::cmdToolsProcessColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdProgSetDeviceColorEnable", &TAppData::cmdProgSetDeviceColorEnable, true, Stored::App},
        {"/Interface/CmdProgSetDeviceColor", &TAppData::cmdProgSetDeviceColor, QVariant(QColor(200, 255, 255)), Stored::App},
        {"/Interface/CmdProgAutoDetectColorEnable", &TAppData::cmdProgAutoDetectColorEnable, true, Stored::App},
        {"/Interface/CmdProgAutoDetectColor", &TAppData::cmdProgAutoDetectColor, QVariant(QColor(200, 255, 255)), Stored::App},
        {"/Interface/CmdProgResetColorEnable", &TAppData::cmdProgResetColorEnable, false, Stored::App},
        {"/Interface/CmdProgResetColor", &TAppData::cmdProgResetColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdProgGeneratorColorEnable", &TAppData::cmdProgGeneratorColorEnable, false, Stored::App},
        {"/Interface/CmdProgGeneratorColor", &TAppData::cmdProgGeneratorColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdProgSetIOColorEnable", &TAppData::cmdProgSetIOColorEnable, false, Stored::App},
        {"/Interface/CmdProgSetIOColor", &TAppData::cmdProgSetIOColor, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/CmdDeviceLeaveColorEnable", &TAppData::cmdDeviceLeaveColorEnable, true, Stored::App},
        {"/Interface/CmdDeviceLeaveColor", &TAppData::cmdDeviceLeaveColor, QVariant(QColor(235, 231, 208)), Stored::App},
        {"/Interface/CmdEnableHLJamp", &TAppData::cmdEnableHLJamp, true, Stored::App},
        {"/Interface/PrjListNameColorText", &TAppData::prjListNameColorText, QVariant(QColor(255, 255, 0)), Stored::App},
        {"/Interface/PrjListNameColorBack", &TAppData::prjListNameColorBack, QVariant(QColor(90, 90, 90)), Stored::App},
        {"/Interface/CmdParamColorWarning", &TAppData::cmdParamColorWarning, QVariant(QColor(0, 0, 220)), Stored::App},
        {"/Interface/CmdParamColorAlarm", &TAppData::cmdParamColorAlarm, QVariant(QColor(220, 0, 0)), Stored::App},
        {"/Interface/SelectorColorChar", &TAppData::selectorColorChar, QVariant(QColor(240, 240, 240)), Stored::Never},
        {"/Interface/SelectorColorData", &TAppData::selectorColorData, QVariant(QColor(210, 210, 210)), Stored::Never},
        {"/Interface/SelectorColorFile", &TAppData::selectorColorFile, QVariant(QColor(180, 180, 180)), Stored::Never},
        {"/Interface/ExecClearWindow", &TAppData::execClearWindow, true, Stored::App},
        {"/Interface/ExecShowProgExec", &TAppData::execShowProgExec, true, Stored::App},
        {"/Interface/ExecShowProgIDProg", &TAppData::execShowProgIDProg, true, Stored::App},
        {"/Interface/ExecShowProgReset", &TAppData::execShowProgReset, true, Stored::App},
        {"/Interface/ExecLogShowTime", &TAppData::execLogShowTime, true, Stored::App},
        {"/Interface/ExecLogShowTime_ms", &TAppData::execLogShowTime_ms, true, Stored::App},
        {"/Interface/ExecTabColorExecute", &TAppData::execTabColorExecute, QVariant(QColor(Qt::blue)), Stored::App},
        {"/Interface/ExecTabColorPause", &TAppData::execTabColorPause, QVariant(QColor(Qt::darkYellow)), Stored::App},
        {"/Interface/ExecTabColorSuccess", &TAppData::execTabColorSuccess, QVariant(QColor(Qt::darkGreen)), Stored::App},
        {"/Interface/ExecTabColorFailed", &TAppData::execTabColorFailed, QVariant(QColor(Qt::red)), Stored::App},
        {"/Interface/ExecBtnColorExecute", &TAppData::execBtnColorExecute, QVariant(QColor(130, 150, 255)), Stored::App},
        {"/Interface/ExecBtnColorPause", &TAppData::execBtnColorPause, QVariant(QColor(255, 255, 100)), Stored::App},
        {"/Interface/ExecLogColorBackground", &TAppData::execLogColorBackground, QVariant(QColor(255, 255, 255)), Stored::App},
        {"/Interface/ExecLogColorTime", &TAppData::execLogColorTime, QVariant(QColor(180, 180, 180)), Stored::App},
        {"/Interface/ExecLogColorCmd", &TAppData::execLogColorCmd, QVariant(QColor(0, 0, 0)), Stored::App},
        {"/Interface/ExecLogColorParam", &TAppData::execLogColorParam, QVariant(QColor(100, 100, 100)), Stored::App},
        {"/Interface/ExecLogColorText", &TAppData::execLogColorText, QVariant(QColor(100, 100, 100)), Stored::App},
        {"/Interface/ExecLogColorWork", &TAppData::execLogColorWork, QVariant(QColor(Qt::blue)), Stored::App},
        {"/Interface/ExecLogColorResult", &TAppData::execLogColorResult, QVariant(QColor(Qt::darkBlue)), Stored::App},
        {"/Interface/ExecLogColorSuccess", &TAppData::execLogColorSuccess, QVariant(QColor(0, 100, 0)), Stored::App},
        {"/Interface/ExecLogColorFailed", &TAppData::execLogColorFailed, QVariant(QColor(200, 0, 0)), Stored::App},
        {"/Confirmation/ProjectsListReload", &TAppData::confirmProjectsListReload, true, Stored::App},
        {"/Confirmation/ProjectsListDelete", &TAppData::confirmProjectsListDelete, true, Stored::App},
        {"/Confirmation/ProjectSave", &TAppData::confirmProjectSave, true, Stored::App},
        {"/Confirmation/ProjectDeleteCur", &TAppData::confirmProjectDeleteCur, true, Stored::App},
        {"/Confirmation/ProjectDeleteSubAll", &TAppData::confirmProjectDeleteSubAll, true, Stored::App},
        {"/Confirmation/ConfigDeleteCur", &TAppData::confirmConfigDeleteCur, true, Stored::App},
        {"/Confirmation/CmdInsertProgDevice", &TAppData::confirmCmdInsertProgDevice, true, Stored::App},
        {"/Confirmation/CmdInsertProg", &TAppData::confirmCmdInsertProg, true, Stored::App},
        {"/Confirmation/CmdInsertDevice", &TAppData::confirmCmdInsertDevice, true, Stored::App},
        {"/Confirmation/CmdPaste", &TAppData::confirmCmdPaste, true, Stored::App},
        {"/Confirmation/CmdDeleteCur", &TAppData::confirmCmdDeleteCur, true, Stored::App},
        {"/Confirmation/CmdDeleteSelected", &TAppData::confirmCmdDeleteSelected, true, Stored::App},
        {"/Confirmation/CmdDeleteError", &TAppData::confirmCmdDeleteError, true, Stored::App},
        {"/Confirmation/CmdDeleteDev", &TAppData::confirmCmdDeleteDev, true, Stored::App},
        {"/Confirmation/CmdDeleteAll", &TAppData::confirmCmdDeleteAll, true, Stored::App},
        {"/Confirmation/ExecConfig", &TAppData::confirmExecConfig, true, Stored::App},
        {"/Confirmation/ExecReset", &TAppData::confirmExecReset, true, Stored::App},
        {"/Confirmation/Quit", &TAppData::confirmQuit, true, Stored::App},
        {"/WindowMain/Left", &TAppData::windowMainLeft, 100, Stored::Windows},
        {"/WindowMain/Top", &TAppData::windowMainTop, 100, Stored::Windows},
        {"/WindowMain/Width", &TAppData::windowMainWidth, 650, Stored::Windows},
        {"/WindowMain/Height", &TAppData::windowMainHeight, 550, Stored::Windows},
        {"/WindowMain/PrjSplitter", &TAppData::windowMainPrjSplitter, QVariant::fromValue(QList<int>{185, 460}), Stored::Windows},
        {"/WindowMain/CfgSplitter", &TAppData::windowMainCfgSplitter, QVariant::fromValue(QList<int>{220, 242}), Stored::Windows},
        {"/WindowMain/CmdListColumnNameWidth", &TAppData::windowMainCmdListColumnNameWidth, 130, Stored::Never},
        {"/WindowMain/CmdAutoColumnDeviceWidth", &TAppData::windowMainCmdAutoColumnDeviceWidth, 150, Stored::Never},
        {"/WindowSettings/Left", &TAppData::windowSettingsLeft, 100, Stored::Windows},
        {"/WindowSettings/Top", &TAppData::windowSettingsTop, 100, Stored::Windows},
        {"/WindowSettings/Width", &TAppData::windowSettingsWidth, 750, Stored::Windows},
        {"/WindowSettings/Height", &TAppData::windowSettingsHeight, 570, Stored::Windows},
        {"/WindowSettings/MainSplitter", &TAppData::windowSettingsMainSplitter, QVariant::fromValue(QList<int>{162, 554}), Stored::Windows},
        {"/WindowSettings/ProgSplitter", &TAppData::windowSettingsProgSplitter, QVariant::fromValue(QList<int>{313, 149}), Stored::Windows},
        {"/WindowSettingsProgName/Left", &TAppData::windowSettingsProgNameLeft, 100, Stored::Windows},
        {"/WindowSettingsProgName/Top", &TAppData::windowSettingsProgNameTop, 420, Stored::Windows},
        {"/WindowSettingsProgName/Width", &TAppData::windowSettingsProgNameWidth, 350, Stored::Windows},
        {"/WindowSettingsProgType/Left", &TAppData::windowSettingsProgTypeLeft, 100, Stored::Windows},
        {"/WindowSettingsProgType/Top", &TAppData::windowSettingsProgTypeTop, 400, Stored::Windows},
        {"/WindowSettingsProgType/Width", &TAppData::windowSettingsProgTypeWidth, 350, Stored::Windows},
        {"/WindowSelectDevice/Left", &TAppData::windowSelectDeviceLeft, 100, Stored::Windows},
        {"/WindowSelectDevice/Top", &TAppData::windowSelectDeviceTop, 100, Stored::Windows},
        {"/WindowSelectDevice/Width", &TAppData::windowSelectDeviceWidth, 200, Stored::Windows},
        {"/WindowSelectDevice/Height", &TAppData::windowSelectDeviceHeight, 400, Stored::Windows},
        {"/WindowSelectFamily/Left", &TAppData::windowSelectFamilyLeft, 100, Stored::Windows},
        {"/WindowSelectFamily/Top", &TAppData::windowSelectFamilyTop, 100, Stored::Windows},
        {"/WindowSelectFamily/Width", &TAppData::windowSelectFamilyWidth, 200, Stored::Windows},
        {"/WindowSelectFamily/Height", &TAppData::windowSelectFamilyHeight, 400, Stored::Windows},
        {"/WindowRouteEdit/Left", &TAppData::windowRouteEditLeft, 100, Stored::Windows},
        {"/WindowRouteEdit/Top", &TAppData::windowRouteEditTop, 100, Stored::Windows},
        {"/WindowRouteEdit/Width", &TAppData::windowRouteEditWidth, 200, Stored::Windows},
        {"/WindowSelectPrjList/Left", &TAppData::windowSelectPrjListLeft, 700, Stored::Windows},
        {"/WindowSelectPrjList/Top", &TAppData::windowSelectPrjListTop, 400, Stored::Windows},
        {"/WindowSelectPrjList/Width", &TAppData::windowSelectPrjListWidth, 400, Stored::Windows},
        {"/WindowSelectPrjList/Height", &TAppData::windowSelectPrjListHeight, 200, Stored::Windows},
        {"/WindowPrjListEdit/Left", &TAppData::windowPrjListEditLeft, 100, Stored::Windows},
        {"/WindowPrjListEdit/Top", &TAppData::windowPrjListEditTop, 100, Stored::Windows},
        {"/WindowPrjListEdit/Width", &TAppData::windowPrjListEditWidth, 200, Stored::Windows},
        {"/WindowPrjEdit/Left", &TAppData::windowPrjEditLeft, 100, Stored::Windows},
        {"/WindowPrjEdit/Top", &TAppData::windowPrjEditTop, 100, Stored::Windows},
        {"/WindowPrjEdit/Width", &TAppData::windowPrjEditWidth, 200, Stored::Windows},
        {"/WindowCfgEdit/Left", &TAppData::windowCfgEditLeft, 100, Stored::Windows},
        {"/WindowCfgEdit/Top", &TAppData::windowCfgEditTop, 100, Stored::Windows},
        {"/WindowCfgEdit/Width", &TAppData::windowCfgEditWidth, 200, Stored::Windows},
        {"/WindowLanguage/Left", &TAppData::windowLanguageLeft, 100, Stored::Windows},
        {"/WindowLanguage/Top", &TAppData::windowLanguageTop, 100, Stored::Windows},
        {"/WindowLanguage/Width", &TAppData::windowLanguageWidth, 200, Stored::Windows},
        {"/WindowLanguage/Height", &TAppData::windowLanguageHeight, 400, Stored::Windows},
        {"/WindowCmdSelector/Left", &TAppData::windowCmdSelectorLeft, 100, Stored::Windows},
        {"/WindowCmdSelector/Top", &TAppData::windowCmdSelectorTop, 100, Stored::Windows},
        {"/WindowCmdSelector/Width", &TAppData::windowCmdSelectorWidth, 460, Stored::Windows},
        {"/WindowCmdSelector/Height", &TAppData::windowCmdSelectorHeight, 928, Stored::Windows},
        {"/WindowCmdSelector/Splitter", &TAppData::windowCmdSelectorSplitter, QVariant::fromValue(QList<int>{125, 125, 192}), Stored::Windows},
        {"/WindowCmdSelector/ButtonHeight", &TAppData::windowCmdSelectorButtonHeight, 23, Stored::Never},
        {"/WindowCmdSelector/ButtonSeparatorHeight", &TAppData::windowCmdSelectorButtonSeparatorHeight, 10, Stored::Never},
    };
    return table;
}

void readEntry(TAppData &data, const TSettings &s, const Entry &e)
{
    const QString key = QString::fromLatin1(e.key);
    if (auto m = std::get_if<int TAppData::*>(&e.member))
        data.*(*m) = s.readInt(key, e.def.toInt());
    else if (auto m = std::get_if<bool TAppData::*>(&e.member))
        data.*(*m) = s.readBool(key, e.def.toBool());
    else if (auto m = std::get_if<QString TAppData::*>(&e.member))
        data.*(*m) = s.readString(key, e.def.toString());
    else if (auto m = std::get_if<QColor TAppData::*>(&e.member))
        data.*(*m) = s.readColor(key, e.def.value<QColor>());
    else if (auto m = std::get_if<QList<int> TAppData::*>(&e.member))
        data.*(*m) = s.readIntList(key, e.def.value<QList<int>>());
}

void writeEntry(const TAppData &data, TSettings &s, const Entry &e)
{
    const QString key = QString::fromLatin1(e.key);
    if (auto m = std::get_if<int TAppData::*>(&e.member))
        s.writeInt(key, data.*(*m));
    else if (auto m = std::get_if<bool TAppData::*>(&e.member))
        s.writeBool(key, data.*(*m));
    else if (auto m = std::get_if<QString TAppData::*>(&e.member))
        s.writeString(key, data.*(*m));
    else if (auto m = std::get_if<QColor TAppData::*>(&e.member))
        s.writeColor(key, data.*(*m));
    else if (auto m = std::get_if<QList<int> TAppData::*>(&e.member))
        s.writeIntList(key, data.*(*m));
}

// The programmer types ("type|file") and names ("mark|name|port|type") with
// the index of the default name.
const TSettings::RecordList &progTypeList()
{
    static const TSettings::RecordList list{QStringLiteral("ProgTypeList"), QStringLiteral("Type"), 2, 0, QString()};
    return list;
}

const TSettings::RecordList &progNameList()
{
    static const TSettings::RecordList list{QStringLiteral("ProgNameList"), QStringLiteral("Name"), 4, 1,
                                            QStringLiteral("Prog/Default")};
    return list;
}

} // namespace

namespace {
std::mutex folderMutex;
std::mutex progListsMutex;
}

QString TAppData::folder(QString TAppData::*member) const
{
    std::lock_guard<std::mutex> lock(folderMutex);
    return this->*member;
}

void TAppData::setFolder(QString TAppData::*member, const QString &value)
{
    std::lock_guard<std::mutex> lock(folderMutex);
    this->*member = value;
}

TProgLists TAppData::progLists() const
{
    std::lock_guard<std::mutex> lock(progListsMutex);
    TProgLists lists;
    lists.types = progType;
    lists.names = progName;
    lists.byDefault = progDefault;
    return lists;
}

void TAppData::setProgLists(const TProgLists &lists)
{
    std::lock_guard<std::mutex> lock(progListsMutex);
    progType.replace(lists.types);
    progName.replace(lists.names);
    progDefault = lists.byDefault;
}

TAppData::TAppData() = default;
TAppData::~TAppData() = default;

void TAppData::load()
{
    TSettings s;
    progType.clear();
    for (const QStringList &r : s.readRecords(progTypeList()))
        progType.add(r.at(0), r.at(1));
    progName.clear();
    for (const QStringList &r : s.readRecords(progNameList()))
        progName.add(r.at(0) == QLatin1String("1"), r.at(1), r.at(2), r.at(3));
    progDefault = s.readInt(progNameList().indexKey, 0);
    for (const Entry &e : entries())
        readEntry(*this, s, e);
    m_view = s.view();
    m_viewPath = settingsFilePath();
}

bool TAppData::write(const std::function<void(TSettings &)> &fill, QString *error, int lockWaitMs)
{
    // What was read of another file tells nothing of this one.
    const QString path = settingsFilePath();
    if (m_viewPath != path) {
        m_view.clear();
        m_viewPath = path;
    }
    return TSettings::writeWhole(path, fill, error, lockWaitMs, &m_view);
}

bool TAppData::save(QString *error, int lockWaitMs)
{
    const TProgType types(progType);
    const TProgName names(progName);
    return write([&](TSettings &s) {
        for (const Entry &e : entries()) {
            if (e.stored == Stored::App)
                writeEntry(*this, s, e);
        }
        QVector<QStringList> typeRecords;
        for (int i = 0; i < types.count(); ++i) {
            const QString type = types.at(i);
            typeRecords.append({type, types.value(type)});
        }
        s.writeRecords(progTypeList(), typeRecords, 0);
        QVector<QStringList> nameRecords;
        for (int i = 0; i < names.count(); ++i) {
            const QString name = names.at(i);
            const TProgNameItem item = names.find(name);
            nameRecords.append({item.mark ? QStringLiteral("1") : QStringLiteral("0"), name, item.port, item.type});
        }
        s.writeRecords(progNameList(), nameRecords, progDefault);
    }, error, lockWaitMs);
}

bool TAppData::saveWindows(QString *error, int lockWaitMs)
{
    return write([this](TSettings &s) {
        for (const Entry &e : entries()) {
            if (e.stored == Stored::Windows)
                writeEntry(*this, s, e);
        }
    }, error, lockWaitMs);
}
