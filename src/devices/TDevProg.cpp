#include "devices/TDevProg.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"

static const char SOURCE[] = "devices\\TDevProg";

TDevProg::TDevProg(const QString &name, const TData &params) : TDevGroup(name)
{
    setObjectName(GROUP_PROG);
    TData data = params;
    data.insert(DEV_RESET, false);
    setParams(data);
}

TDevProg::~TDevProg() = default;

IDevice *TDevProg::create(const QString &name, const TData &params)
{
    return new TDevProg(name, params);
}

QStringList TDevProg::cmdCodeList()
{
    return {CMD_SET_DEVICE, CMD_AUTO_DETECT, CMD_RESET,   CMD_GENERATOR, CMD_SET_IO,
            CMD_SET_VCC,    CMD_SET_VPP,     CMD_SET_VICC, CMD_SET_VIPP};
}

bool TDevProg::hasCommand(const QString &code)
{
    return cmdCodeList().contains(code, Qt::CaseSensitive);
}

bool TDevProg::hasCmd(const QString &code)
{
    return hasCommand(code);
}

QStringList TDevProg::cmdList()
{
    return cmdCodeList();
}

// Defaults, summaries, forms and executors of the programmer commands come
// with the programmer description, their forms and executors; until then a
// command gets no defaults, an empty summary, no form and no executor.
void TDevProg::initCmdParam(TData &data)
{
    Q_UNUSED(data)
}

QString TDevProg::cmdParamText(const TData &data, QWidget *form)
{
    Q_UNUSED(data)
    Q_UNUSED(form)
    return QString();
}

QWidget *TDevProg::createCmdForm(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

IDeviceExec *TDevProg::createExec(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

bool TDevProg::normalizeCmdParam(TData &data)
{
    Q_UNUSED(data)
    return false;
}

bool TDevProg::checkCmdParam(const TData &data)
{
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
    const TDataCmd *cmd = dataPrj.cmdById(getParam(SOURCE, __LINE__, data, REC_ID_CMD).toInt());
    if (!cmd)
        return false;
    if (code == QLatin1String(CMD_SET_DEVICE) || code == QLatin1String(CMD_AUTO_DETECT)) {
        IDevice *device = cmd->device();
        return device && device->checkDevParam(data);
    }
    // The other commands are checked against the limits of the programmer
    // description in force; until those checks are in place they count as
    // invalid, so a run never sends unchecked values.
    return false;
}
