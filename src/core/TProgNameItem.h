#pragma once
// What the user keeps per programmer name.

#include <QString>

struct TProgNameItem
{
    bool mark = false; // check box of the settings page; nothing else reads it
    QString port;      // serial port that "set_prog" opens
    QString type;      // programmer type, a name of TProgType
};
