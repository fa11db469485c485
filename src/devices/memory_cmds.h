#pragma once
// The commands that the memory families share over their main range
// ("addr_begin", "size"): "set_clk" in the device's interface section
// ("prg_par"), the fill-character, data and file commands and "leave"
// without reset. Each function handles a record of one of those codes and
// returns false for any other code, leaving the rest to the family.

#include "core/TData.h"
#include "devices/TCheck.h"

#include <QString>

class IDevice;
class QWidget;

namespace memcmd {

bool init(IDevice *device, TData &data);
bool text(IDevice *device, const TData &data, QWidget *form, QString &text);
// form: the new parameter form (null when the form cannot be built).
bool form(IDevice *device, const TData &data, QWidget *&form);
bool check(IDevice *device, const TData &data, TCheck &verdict);

} // namespace memcmd
