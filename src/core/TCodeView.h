#pragma once
// Tells the views what changed in the project's change signal
// signalChangeData(TCodeView, TData).

#include <QMetaType>

enum TCodeView : int {
    // The parameters of one command changed; the record is that command's
    // published form and carries its "id_cmd".
    VIEW_CMD_PARAM = 12
};

Q_DECLARE_METATYPE(TCodeView)
