#pragma once
// The execution state of a configuration, kept as an int in the
// configuration record; only the main window changes it.

enum TExecState : int {
    EXEC_STATE_IDLE = 0,
    EXEC_STATE_RUNNING = 1,
    EXEC_STATE_PAUSED = 2,
    EXEC_STATE_SUCCESS = 3,
    EXEC_STATE_FAILED = 4
};
