#pragma once
// A project for form tests: the emulated programmer's description (eight
// pins, every pin type) named "Emu", test devices resolved from description
// files, the device and family lists, and a page stand-in that stores what
// a form emits as the configuration page does.

#include "core/TAppData.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "support/FormHost.h"
#include "support/NumberedLanguage.h"
#include "support/TTestDevice.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "core/helpers.h"
#include "gui/widgets/TComboBox.h"

namespace formsfixture {

inline void writeFixture(const QString &path, const QByteArray &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// Devices "ChipA" (connection section I2C, a comment, a device-level form
// of "clk") and "ChipB" (no comment, no form); the family "Mem" with three
// identifiers, two of them sharing the name "Twin".
inline void setUp(const QTemporaryDir &dir)
{
    qRegisterMetaType<TData>("TData");
    qRegisterMetaType<TCodeView>("TCodeView");
    QVERIFY(NumberedLanguage::load());
    TTestDevice::registerGroup();
    const QString devices = dir.filePath(QStringLiteral("devices"));
    const QString progs = dir.filePath(QStringLiteral("progs"));
    QDir().mkpath(devices);
    QDir().mkpath(progs);
    writeFixture(devices + "/devices.lst", "ChipB=chipB.dev\nChipA=chipA.dev\nchip0=chipB.dev\n");
    writeFixture(devices + "/auto.lst", "Mem=chipA.dev|mem.lst\nOther=chipB.dev|other.lst\n");
    writeFixture(devices + "/mem.lst", "0x50=Solo\n0x51=Twin\n0x52=Twin\n");
    writeFixture(devices + "/other.lst", "0x10=Else\n");
    writeFixture(devices + "/chipA.dev",
              "gui_type=s|TestDev\nsize=D|256\nprg_con=s|I2C\ncmds=l|leave\n"
              "comment=l|first note\ncomment=l|second note\ndev_form=s|clk\n");
    writeFixture(devices + "/chipB.dev", "gui_type=s|TestDev\nsize=D|128\ncmds=l|leave\n");
    QFile::remove(progs + "/emu.ini");
    QVERIFY(QFile::copy(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"),
                        progs + "/emu.ini"));
    appData.pathDevices = devices;
    appData.pathProgs = progs;
    appData.progType.add(QStringLiteral("EmuType"), QStringLiteral("emu.ini"));
    appData.progName.add(false, QStringLiteral("Emu"), QString(), QStringLiteral("EmuType"));
}

inline void newProject(const QTemporaryDir &dir)
{
    dataPrj.setPrjFile(dir.filePath(QStringLiteral("test.prj")));
    dataPrj.clear();
    dataPrj.setPrjFile(dir.filePath(QStringLiteral("test.prj")));
}

inline int add(int cfg, const QString &code, TData params = TData())
{
    params.insert(QLatin1String(REC_ID_CFG), cfg);
    params.insert(QLatin1String(REC_CMD), code);
    params.insert(QLatin1String(REC_STATUS), 1);
    return dataPrj.addCmd(params);
}

inline TData record(int id)
{
    return dataPrj.cmdById(id)->toHash();
}

// Stores every record the form emits, as the configuration page does.
using Page = FormHost;

// The record keys of an emission, sorted.
inline QStringList keysOf(const TData &data)
{
    QStringList keys = data.keys();
    keys.sort();
    return keys;
}

// An edit or box the user sees as refused: the warning colour, or a box
// without current item.
inline bool showsWarning(QWidget *widget)
{
    for (QLineEdit *line : widget->findChildren<QLineEdit *>())
        if (line->isVisibleTo(widget) && line->palette().color(QPalette::Base) == warningColor())
            return true;
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return line->palette().color(QPalette::Base) == warningColor();
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return box->currentIndex() < 0;
    return false;
}

// Any edit or box on show in the form that the user sees as refused.
inline bool anyWarning(QWidget *form)
{
    for (QWidget *w : form->findChildren<QWidget *>())
        if (w->isVisibleTo(form) && (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w))
            && showsWarning(w))
            return true;
    return false;
}

} // namespace formsfixture
