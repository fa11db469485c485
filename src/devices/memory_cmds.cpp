#include "devices/memory_cmds.h"

#include "core/TCmdCode.h"
#include "core/consts.h"
#include "devices/IDevice.h"
#include "devices/param_schema.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "misc/TNormCmdParam.h"

namespace {

enum class Kind { None, Clock, Char, Data, File, Leave };

Kind kindOf(const TData &data)
{
    const QString c = schema::cmdCode(data);
    const auto is = [&c](std::initializer_list<const char *> codes) { return isOneOf(c, codes); };
    if (is({CMD_SET_CLK}))
        return Kind::Clock;
    if (is({CMD_CHAR_WRITE, CMD_CHAR_VERIFY}))
        return Kind::Char;
    if (is({CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY}))
        return Kind::Data;
    if (is({CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY}))
        return Kind::File;
    if (is({CMD_LEAVE}))
        return Kind::Leave;
    return Kind::None;
}

} // namespace

namespace memcmd {

bool init(IDevice *device, TData &data)
{
    switch (kindOf(data)) {
    case Kind::Clock: setClkCmdParams(device->prgPar(), data); return true;
    case Kind::Char: setCharCmdDefaultsMain(device, data); return true;
    case Kind::Data: setDataCmdDefaultsMain(device, data); return true;
    case Kind::File: setFileCmdDefaultsMain(device, data); return true;
    case Kind::Leave: setLeaveCmdDefaults(data, false); return true;
    case Kind::None: break;
    }
    return false;
}

bool text(IDevice *, const TData &data, QWidget *form, QString &text)
{
    switch (kindOf(data)) {
    case Kind::Clock: text = clkCmdText(data); return true;
    case Kind::Char: text = charCmdTextMain(data); return true;
    case Kind::Data:
        text = dataCmdTextMain(data, schema::cmdCode(data), form);
        return true;
    case Kind::File: text = fileCmdTextMain(data); return true;
    case Kind::Leave: text = leaveCmdText(data, false); return true;
    case Kind::None: break;
    }
    return false;
}

bool form(IDevice *device, const TData &data, QWidget *&form)
{
    switch (kindOf(data)) {
    case Kind::Clock: form = createClkCmdForm(device->prgPar(), data); return true;
    case Kind::Char: form = createCharCmdFormMain(device, data); return true;
    case Kind::Data: form = createDataCmdFormMain(device, data); return true;
    case Kind::File: form = createFileCmdFormMain(device, data); return true;
    case Kind::Leave: form = createLeaveCmdForm(device, data, false); return true;
    case Kind::None: break;
    }
    return false;
}

bool check(IDevice *device, const TData &data, TCheck &verdict)
{
    switch (kindOf(data)) {
    case Kind::Clock: verdict = isClkCmdValid(data); return true;
    case Kind::Char: verdict = isCharCmdValidMain(device, data); return true;
    case Kind::Data: verdict = isDataCmdValidMain(device, data); return true;
    case Kind::File: verdict = isFileCmdValidMain(device, data); return true;
    case Kind::Leave: verdict = isLeaveCmdValid(data, false); return true;
    case Kind::None: break;
    }
    return false;
}

} // namespace memcmd
