#pragma once
// What a run checks of a configuration before it sends anything of it: a
// run that would stop at an invalid command only after the chip was
// changed (erased, half written) never starts. The worker asks when a run
// starts and whenever an executor moves the run into another configuration
// ("jamp", the route of "auto_detect").

#include "core/TData.h"

#include <QString>

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
// where nothing that may run before it could make the file (a read into
// it, a process, a pause: on any path of the run there, through loops,
// jumps, routes and the runs it starts), one that reads a file that cannot
// serve it (missing, broken, without data for its range: the check its
// executor makes at the file's open) or makes one where its open cannot
// (a folder missing or taking no new files). Files are named by their
// cleaned absolute paths. False when none is.
bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal);

} // namespace runcheck
