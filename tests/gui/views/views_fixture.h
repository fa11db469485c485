#pragma once
// Projects for the view tests: tool commands with their real provider, and a
// test chip ("ChipF") whose commands have a one-key parameter form.

#include "core/TAppData.h"
#include "core/helpers.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevTools.h"
#include "gui/main/startup.h"
#include "support/NumberedLanguage.h"
#include "support/TTestDevice.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace views {

inline const char FORM_KEY[] = "value";

// Settings, providers and a chip description in the folder.
inline bool setUpProviders(const QTemporaryDir &dir)
{
    registerMetaTypes();
    // Every setting at its default, from a settings file of the test's own.
    setAppFileLocation(dir.path());
    appData.load();
    if (!NumberedLanguage::load())
        return false;
    TTestDevice::registerGroup();
    QFile chip(dir.filePath(QStringLiteral("chipF.dev")));
    if (!chip.open(QIODevice::WriteOnly))
        return false;
    chip.write("gui_type=s|TestDev\ncmds=l|ident\ncmds=l|erase\ncmds=l|file_read\n"
               "cmd_form=s|value\n");
    chip.close();
    appData.setFolder(&TAppData::pathDevices, dir.path());
    appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_TEST_DATA_DIR "/validation/progs"));
    TProgType types;
    types.add(QStringLiteral("BoxType"), QStringLiteral("box.ini"));
    appData.progType.replace(types);
    TProgName names;
    names.add(true, QStringLiteral("Box"), QStringLiteral("/dev/null"), QStringLiteral("BoxType"));
    appData.progName.replace(names);
    return true;
}

inline void openProject(const QTemporaryDir &dir)
{
    const TData info{{INFO_PRJ_FILE, dir.filePath(QStringLiteral("test.prj"))},
                     {PRJ_WORK_PATH, dir.path()}};
    dataPrj.fromHash(info);   // a project without a file is not cleared
    dataPrj.clear();
    dataPrj.fromHash(info);
}

// A command with its provider's defaults (tool commands), then the values.
inline int addCmd(int cfg, const QString &code, const TData &values = TData())
{
    TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, code}};
    TDevTools tools(GROUP_TOOLS, TData());
    if (tools.hasCmd(code))
        tools.initCmdParam(data);
    for (auto it = values.begin(); it != values.end(); ++it)
        data.insert(it.key(), it.value());
    return dataPrj.addCmd(data);
}

inline int addSetDevice(int cfg)
{
    return addCmd(cfg, QLatin1String(CMD_SET_DEVICE),
                  {{SET_DEVICE_DEVICE, QStringLiteral("ChipF")},
                   {SET_DEVICE_FILE, QStringLiteral("chipF.dev")}});
}

inline QList<int> cmdIds(int cfg)
{
    QList<int> ids;
    for (const TDataCmd *c : dataPrj.cmdsOfCfg(cfg))
        ids << c->id();
    return ids;
}

// Saves a picture of the widget for a reviewer when VELKOR_SCREENSHOTS names
// a folder (scripts/screenshots.sh); does nothing otherwise.
inline void screenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("VELKOR_SCREENSHOTS");
    if (!folder.isEmpty())
        widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace views
