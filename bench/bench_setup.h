#pragma once
// What the benchmarks of runs against fake programmers share: the shipped
// English texts (the runs fill in their texts, the port's holder among
// them, from them), the shipped programmer descriptions and devices, and
// fake programmers started as the user's programmers of the emulated type.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "support/FakeProgrammer.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace benchsetup {

// The texts, programmer descriptions and devices as shipped.
inline void useShipped()
{
    lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
    appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
    appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
}

// The user's programmers: each name on its port, of the emulated type
// (runtime/progs/emulator.ini).
inline void useEmulated(const QStringList &names, const QStringList &ports)
{
    const QString type = QStringLiteral("Emulated");
    TProgType types;
    types.add(type, QStringLiteral("emulator.ini"));
    appData.progType.replace(types);
    TProgName list;
    for (int n = 0; n < names.size(); ++n)
        list.add(true, names.at(n), ports.at(n), type);
    appData.progName.replace(list);
}

// Starts the fake; false, with the reason printed, when it does not start.
inline bool start(FakeProgrammer &fake)
{
    if (fake.start())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(fake.errorString()));
    return false;
}

// Starts the fake as the user's one programmer, named name.
inline bool startAs(FakeProgrammer &fake, const QString &name)
{
    if (!start(fake))
        return false;
    useEmulated({name}, {fake.portName()});
    return true;
}

} // namespace benchsetup
