#pragma once
// What the tests of runs against the fake programmer keep per test class:
// a folder of their own, the programmer on its pseudo-terminal, the
// receiver of the run under way and a project file in that folder.

#include "data/TDataPrj.h"
#include "core/TAppData.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QTemporaryDir>

#include <memory>

class RunFixture
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<FakeProgrammer> fake;
    std::unique_ptr<Receiver> rx;

    QString path(const QString &name) const { return dir.filePath(name); }

    // A fresh fake programmer; false when it does not start, with its
    // reason in its errorString.
    bool startProgrammer()
    {
        fake.reset(new FakeProgrammer);
        return fake->start();
    }
    // A fresh fake programmer made the one programmer of the user, named
    // name, of the emulated programmer's type (runtime/progs/emulator.ini).
    bool startProgrammerAs(const QString &name)
    {
        if (!startProgrammer())
            return false;
        TProgType types;
        types.add(QStringLiteral("EmuType"), QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, name, fake->portName(), QStringLiteral("EmuType"));
        appData.progName.replace(names);
        return true;
    }
    // An empty project whose file and work folder are the test's folder.
    void newProject()
    {
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }
    // After each test: the project cleared, then the run's receiver and the
    // programmer gone.
    void endRun()
    {
        dataPrj.clear();
        rx.reset();
        fake.reset();
    }
    // The text of the run's last failure banner; empty when it had none.
    QString failure() const { return rx ? rx->lastFailure() : QString(); }
};
