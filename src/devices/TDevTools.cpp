#include "devices/TDevTools.h"

#include <limits>

#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"

static const char SOURCE[] = "devices\\TDevTools";

static bool inInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

static bool inCount(qint64 value)
{
    return value >= 0 && value <= std::numeric_limits<qint32>::max();
}

// The id a reference names; false for a text that is no number of int
// range (read as an int it would name the first record, or a wrapped id).
static bool referenceId(const QVariant &value, int &id)
{
    bool ok = false;
    id = value.toString().toInt(&ok);
    return ok;
}

TDevTools::TDevTools(const QString &name, const TData &params) : TDevGroup(name)
{
    setObjectName(GROUP_TOOLS);
    TData data = params;
    data.insert(DEV_RESET, false);
    setParams(data);
}

TDevTools::~TDevTools() = default;

IDevice *TDevTools::create(const QString &name, const TData &params)
{
    return new TDevTools(name, params);
}

QStringList TDevTools::cmdCodeList()
{
    return {CMD_SET_PROG, CMD_EXECUTE, CMD_DELAY, CMD_COUNTER,   CMD_JAMP,
            CMD_PAUSE,    CMD_STOP,    CMD_SEPARATOR, CMD_CALC_CRC, CMD_PROCESS};
}

bool TDevTools::hasCommand(const QString &code)
{
    return cmdCodeList().contains(code, Qt::CaseSensitive);
}

bool TDevTools::hasCmd(const QString &code)
{
    return hasCommand(code);
}

QStringList TDevTools::cmdList()
{
    return cmdCodeList();
}

// Defaults, summaries, forms and executors of the tool commands come with
// their forms and executors; until then a command gets no defaults, an
// empty summary, no form and no executor.
void TDevTools::initCmdParam(TData &data)
{
    Q_UNUSED(data)
}

QString TDevTools::cmdParamText(const TData &data, QWidget *form)
{
    Q_UNUSED(data)
    Q_UNUSED(form)
    return QString();
}

QWidget *TDevTools::createCmdForm(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

IDeviceExec *TDevTools::createExec(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

bool TDevTools::normalizeCmdParam(TData &data)
{
    Q_UNUSED(data)
    return false;
}

bool TDevTools::checkCmdParam(const TData &data)
{
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
    if (code == QLatin1String(CMD_SET_PROG)) {
        const TDataCmd *cmd = dataPrj.cmdById(getParam(SOURCE, __LINE__, data, REC_ID_CMD).toInt());
        return cmd && cmd->prog();
    }
    if (code == QLatin1String(CMD_EXECUTE)) {
        int target = -1;
        return referenceId(getParam(SOURCE, __LINE__, data, EXECUTE_CFG), target)
               && dataPrj.cfgById(target) != nullptr;
    }
    if (code == QLatin1String(CMD_DELAY))
        return inCount(getParam(SOURCE, __LINE__, data, DELAY_VALUE).toLongLong());
    if (code == QLatin1String(CMD_COUNTER))
        return inCount(getParam(SOURCE, __LINE__, data, COUNTER_VALUE).toLongLong())
               && inCount(getParam(SOURCE, __LINE__, data, COUNTER_LIMIT).toLongLong())
               && inInt32(getParam(SOURCE, __LINE__, data, COUNTER_DELTA).toLongLong());
    if (code == QLatin1String(CMD_JAMP)) {
        int target = -1;
        return referenceId(getParam(SOURCE, __LINE__, data, JAMP_TO_CMD), target) && target >= 0
               && dataPrj.cmdById(target) != nullptr;
    }
    if (code == QLatin1String(CMD_PROCESS))
        return !getParam(SOURCE, __LINE__, data, PROCESS_FILE).toString().isEmpty();
    return code == QLatin1String(CMD_PAUSE) || code == QLatin1String(CMD_STOP)
           || code == QLatin1String(CMD_CALC_CRC);
}
