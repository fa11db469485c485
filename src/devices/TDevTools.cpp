#include "devices/TDevTools.h"

#include <limits>

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "core/TAppData.h"
#include "crc/crc_catalogue.h"
#include "devices/TDevToolsExec.h"
#include "devices/param_schema.h"
#include "devices/check_messages.h"
#include "gui/forms/TFormTools.h"
#include "misc/dev_misc.h"

static bool inInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

static QString msg(int number)
{
    return lang.text(number);
}

// A value of 0 to 2147483647.
static TCheck countCheck(const char *key, qint64 value)
{
    if (value >= 0 && value <= std::numeric_limits<qint32>::max())
        return TCheck::valid();
    return TCheck::outside(key, value, 0, std::numeric_limits<qint32>::max());
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

void TDevTools::initCmdParam(TData &data)
{
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_PROG)) {
        // A default index past the list (0 before any programmer exists)
        // names no programmer, as a negative one does.
        const TProgLists lists = appData.progLists();
        const QStringList names = lists.names.names();
        const int index = lists.byDefault;
        if (index < 0 || index >= names.size())
            return;
        data.insert(SET_PROG_PROG, names.at(index));
        data.insert(SET_PROG_ALT_ENABLED, false);
        data.insert(SET_PROG_ALT_PORT, QString());
    } else if (code == QLatin1String(CMD_EXECUTE)) {
        data.insert(EXECUTE_CFG, -1);
    } else if (code == QLatin1String(CMD_DELAY)) {
        data.insert(DELAY_VALUE, 100);
    } else if (code == QLatin1String(CMD_COUNTER)) {
        data.insert(COUNTER_VALUE, 0);
        data.insert(COUNTER_LIMIT, 0);
        data.insert(COUNTER_DELTA, 1);
    } else if (code == QLatin1String(CMD_JAMP)) {
        const QList<TDataCmd *> cmds =
            dataPrj.cmdsOfCfg(int(schema::integer(data, REC_ID_CFG)));
        data.insert(JAMP_TO_CMD, cmds.isEmpty() ? -1 : cmds.first()->id());
    } else if (code == QLatin1String(CMD_CALC_CRC)) {
        data.insert(CRC_CRC_NAME, defaultCRCName());
        data.insert(CRC_FILE, QString());
        data.insert(CRC_FORMAT, QStringLiteral("bin"));
        data.insert(CRC_ADDR, qint64(0));
        data.insert(CRC_COUNT, qint64(0));
        data.insert(CRC_FILL, qint64(255));
    } else if (code == QLatin1String(CMD_PROCESS)) {
        data.insert(PROCESS_FILE, QString());
    }
}

QString TDevTools::cmdParamText(const TData &data, QWidget *form)
{
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_PROG)) {
        const QString prog = schema::text(data, SET_PROG_PROG);
        // Runs summarise their commands in their own threads: one copy of
        // the lists answers both questions.
        const TProgName names = appData.progLists().names;
        if (!names.contains(prog))
            return QString();
        const TProgNameItem item = names.find(prog);
        const QString port =
            schema::flag(data, SET_PROG_ALT_ENABLED) ? schema::text(data, SET_PROG_ALT_PORT) : item.port;
        return QStringLiteral("%1: %2, %3").arg(prog, port, item.type);
    }
    if (code == QLatin1String(CMD_EXECUTE))
        return dataPrj.cfgName(schema::target(data, EXECUTE_CFG));
    if (code == QLatin1String(CMD_DELAY))
        return QStringLiteral("%1 ms").arg(schema::text(data, DELAY_VALUE));
    if (code == QLatin1String(CMD_COUNTER)) {
        const qint64 value = schema::integer(data, COUNTER_VALUE);
        auto *counter = qobject_cast<TFormToolsCounter *>(form);
        if (counter && counter->idCmd() == schema::cmdId(data))
            counter->setValue(int(value));
        return QStringLiteral("Value: %1, Limit: %2, Delta: %3")
            .arg(value)
            .arg(schema::integer(data, COUNTER_LIMIT))
            .arg(schema::integer(data, COUNTER_DELTA));
    }
    if (code == QLatin1String(CMD_JAMP)) {
        const TDataCmd *cmd = dataPrj.cmdById(schema::target(data, JAMP_TO_CMD));
        if (!cmd || !dataPrj.cfgById(cmd->idCfg()) || !cmd->handler())
            return QString();
        return QStringLiteral("\"%1\".\"%2\"")
            .arg(dataPrj.cfgName(cmd->idCfg()), cmd->handler()->cmdName(cmd->toHash()));
    }
    if (code == QLatin1String(CMD_CALC_CRC))
        return QStringLiteral("%1: %3")
            .arg(schema::text(data, CRC_CRC_NAME), schema::text(data, CRC_FILE));
    if (code == QLatin1String(CMD_PROCESS))
        return schema::text(data, PROCESS_FILE);
    return QString();
}

QWidget *TDevTools::createCmdForm(const TData &data)
{
    const QString code = schema::cmdCode(data);
    const int id = schema::cmdId(data);
    auto integer = [&data](const char *key) { return int(schema::integer(data, key)); };
    if (code == QLatin1String(CMD_SET_PROG))
        return new TFormToolsSetProg(data);
    if (code == QLatin1String(CMD_EXECUTE))
        return new TFormToolsExecute(data);
    if (code == QLatin1String(CMD_DELAY))
        return new TFormToolsDelay(id, integer(DELAY_VALUE), 100);
    if (code == QLatin1String(CMD_COUNTER))
        return new TFormToolsCounter(id, integer(COUNTER_VALUE), integer(COUNTER_LIMIT),
                                     integer(COUNTER_DELTA));
    if (code == QLatin1String(CMD_JAMP))
        return new TFormToolsJamp(id, schema::target(data, JAMP_TO_CMD));
    if (code == QLatin1String(CMD_PAUSE))
        return new TFormToolsPause;
    if (code == QLatin1String(CMD_STOP))
        return new TFormToolsStop;
    if (code == QLatin1String(CMD_CALC_CRC)) {
        auto *form = new TFormToolsCalcCRC(
            id, enabledCRCNames(), schema::text(data, CRC_CRC_NAME), schema::text(data, CRC_FORMAT),
            schema::text(data, CRC_FILE), schema::integer(data, CRC_ADDR), schema::integer(data, CRC_COUNT),
            quint8(schema::integer(data, CRC_FILL) & 0xFF));
        form->setDefault(0, 0, 255);
        form->setBasePath(dataPrj.workPath());
        return form;
    }
    if (code == QLatin1String(CMD_PROCESS))
        return new TFormToolsProcess(id, dataPrj.workPath(), schema::text(data, PROCESS_FILE));
    return nullptr;
}

IDeviceExec *TDevTools::createExec(const TData &data)
{
    if (!hasCommand(schema::cmdCode(data)))
        return nullptr;
    return new TDevToolsExec(data);
}

bool TDevTools::normalizeCmdParam(TData &data)
{
    Q_UNUSED(data)
    return false;
}

TCheck TDevTools::checkCmdParam(const TData &data)
{
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_PROG)) {
        const TDataCmd *cmd = dataPrj.cmdById(schema::cmdId(data));
        if (!cmd)
            return TCheck::refused(REC_ID_CMD, msg(checkmsg::NOT_IN_PROJECT));
        if (!cmd->prog())
            return TCheck::refused(SET_PROG_PROG, msg(checkmsg::PROG_UNKNOWN).arg(schema::text(data, SET_PROG_PROG)));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_EXECUTE) || code == QLatin1String(CMD_JAMP)) {
        // The schema refuses a reference to nothing (IDevice::paramCheck);
        // one left out names nothing either.
        const bool execute = code == QLatin1String(CMD_EXECUTE);
        const char *key = execute ? EXECUTE_CFG : JAMP_TO_CMD;
        if (data.contains(QLatin1String(key)))
            return TCheck::valid();
        return TCheck::refused(key, msg(execute ? checkmsg::NO_CFG : checkmsg::NO_CMD).arg(QString()));
    }
    if (code == QLatin1String(CMD_DELAY))
        return countCheck(DELAY_VALUE, schema::integer(data, DELAY_VALUE));
    if (code == QLatin1String(CMD_COUNTER)) {
        for (const char *key : {COUNTER_VALUE, COUNTER_LIMIT})
            if (TCheck count = countCheck(key, schema::integer(data, key)); !count)
                return count;
        const qint64 delta = schema::integer(data, COUNTER_DELTA);
        if (inInt32(delta))
            return TCheck::valid();
        return TCheck::outside(COUNTER_DELTA, delta, std::numeric_limits<qint32>::min(),
                               std::numeric_limits<qint32>::max());
    }
    if (code == QLatin1String(CMD_PROCESS)) {
        if (schema::text(data, PROCESS_FILE).isEmpty())
            return TCheck::refused(PROCESS_FILE, msg(checkmsg::NO_CMDLINE));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_CALC_CRC)) {
        // With no file the CRC would be taken of the project's folder.
        if (schema::text(data, CRC_FILE).isEmpty())
            return TCheck::refused(CRC_FILE, msg(checkmsg::NO_FILE));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_PAUSE) || code == QLatin1String(CMD_STOP))
        return TCheck::valid();
    return TCheck::notOffered(code, name());
}
