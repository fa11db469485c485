#pragma once
// One save by each of the program's writers of whole files, of one of two
// versions that differ in every byte that matters: the settings, a project,
// a whole file (project lists and their catalogue), a HEX chip file and a
// bin+ chip file (which copies the old contents first).

#include "core/TSettings.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataPrj.h"
#include "formats/TFormat.h"

#include <QString>

#include <memory>

namespace saveWriters {

enum Writer { Settings, Project, WholeFile, HexFile, BinPlusFile };

inline std::unique_ptr<TDataPrj> makeProject(int version)
{
    auto prj = std::make_unique<TDataPrj>();
    prj->setPrjFile("x");
    prj->clear();
    const int cfg = prj->addCfg(QString("cfg %1").arg(version), QString());
    for (int i = 0; i < 150; ++i)
        prj->addCmd({{REC_ID_CFG, cfg}, {REC_CMD, QStringLiteral("delay")}, {REC_STATUS, 1},
                     {QStringLiteral("value"), QString("%1 %2").arg(version).arg(i)}});
    return prj;
}

inline bool writeChipFile(const QString &format, const QString &path, int version, QString *reason = nullptr)
{
    const int size = 16384;
    TFormat file(format, path, 0, 0, size - 1, 256);
    bool ok = file.open(1);
    for (int a = 0; ok && a < size; a += 256)
        ok = file.write(a, QByteArray(256, char(a / 256 + version)));
    ok = ok && file.close();
    if (reason)
        *reason = file.errorString();
    return ok;
}

// Saves version 0 or 1 of the writer's file at path; false when the save
// failed (reason, when given, tells why where the writer names one).
inline bool save(Writer writer, const QString &path, int version, QString *reason = nullptr)
{
    switch (writer) {
    case Settings:
        return TSettings::writeWhole(
            path, [&](TSettings &s) { s.writeString("/Main/Language", QString(20000, QChar('a' + version))); },
            reason);
    case Project: {
        // Made once: a save is all that the writer does.
        static const std::unique_ptr<TDataPrj> projects[2] = {makeProject(0), makeProject(1)};
        TCtrlProject ctrl;
        const bool ok = ctrl.save(path, projects[version].get());
        if (reason)
            *reason = ctrl.lastError();
        return ok;
    }
    case WholeFile:
        return writeWholeFile(path, QByteArray(200000, char('a' + version)), reason);
    default:
        return writeChipFile(writer == HexFile ? "hex" : "bin+", path, version, reason);
    }
}

} // namespace saveWriters
