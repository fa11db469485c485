#pragma once
// What a run checks of a configuration before it sends anything of it: a
// run that would stop at an invalid command only after the chip was
// changed (erased, half written) never starts. The worker asks when a run
// starts and whenever an executor moves the run into another configuration
// ("jamp", the route of "auto_detect").

#include "core/TData.h"

#include <QString>

#include <memory>

class TDataCmd;

namespace runcheck {

// The command the run refuses, as the log shows it.
struct Refusal
{
    QString name;        // the command's display name
    QString paramText;   // its parameter text
    QString text;        // why it is refused: the command, the key and the reason
};

// Why a run refuses the command by its flags, as of the record given: its
// device or programmer is missing, or its parameters are refused (the key
// and the reason). Empty when it is valid. The command list shows it too.
QString flagRefusal(TDataCmd *cmd, const TData &record, const QString &name);

// The first enabled command that a run standing after the command
// afterCmdId of the configuration (-1: at its start) must refuse, of the
// configuration and of every one an enabled "jamp" of it moves the run
// into, and of theirs: one without its device or programmer (valid_dev
// false), one whose parameters are refused (valid_param false), a memory
// command whose range holds no bytes (its executor would refuse it); and,
// on the run's way, where nothing that may run before its first visit
// could make the file (a read into it, a process, a pause, a run started:
// on a path of the run there that does not pass through the command,
// through jumps, routes and loops), one that reads a file that cannot
// serve it (missing, broken, without data for its range: the check its
// executor makes at the file's open) or makes one where its open cannot
// (a folder missing or taking no new files). A file is the same file under
// every name the system resolves to it. False when none is.
//
// A checker keeps what it found of the project for as long as the project
// stands still (the run's flow, the verdicts of each command, the way from
// each start), and what it found of a file for as long as the file does,
// so that a run that moves from configuration to configuration asks again
// only what may have changed. One checker serves one thread.
class Checker
{
public:
    Checker();
    ~Checker();
    bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal);

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

// The same by a checker of its own.
bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal);

} // namespace runcheck
