#pragma once
// Kinds of execution-log events, carried by signalEventText of the executors
// and of the execution worker and rendered by the configuration page.

#include <QMetaType>

enum TCodeExec {
    EXEC_CMD = 0,       // a command starts: its name and its parameter text
    EXEC_TEXT = 1,      // a new text line
    EXEC_TEXT_NEXT = 2, // a continuation line under the previous one
    EXEC_WORK = 3,      // text appended to the current line
    EXEC_RESULT = 4,    // a result line
    EXEC_SUCCESS = 5,   // the run succeeded
    EXEC_FAILED = 6,    // the run failed: the failure banner
    EXEC_CMD_READ = 7   // the command that started last read a value into
                        // itself: its name and its parameter text as they
                        // now stand, in place of those its line shows
};

Q_DECLARE_METATYPE(TCodeExec)
