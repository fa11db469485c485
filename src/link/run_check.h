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

// The first enabled command of the configuration that the run must refuse:
// one without its device or programmer (valid_dev false), one whose
// parameters are refused (valid_param false), a memory command whose range
// holds no bytes (its executor would refuse it), and one that reads a file
// that cannot serve it (missing, broken, without data for its range: the
// check its executor makes at the file's open) and that no enabled command
// before it may make (a
// read into that file, an external process; any command of the
// configuration where it holds a "jamp"). The same of every configuration
// an enabled "jamp" of it moves the run into, and of theirs, where a file
// that a configuration before makes counts as made. False when none is.
bool findRefusal(int cfgId, Refusal &refusal);

} // namespace runcheck
