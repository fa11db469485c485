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
#include "devices/check_messages.h"
#include "gui/forms/TFormTools.h"
#include "misc/dev_misc.h"

static const char SOURCE[] = "devices\\TDevTools";

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
    return TCheck::refused(key, msg(checkmsg::OUTSIDE).arg(value).arg(0).arg(std::numeric_limits<qint32>::max()));
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
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
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
            dataPrj.cmdsOfCfg(getParam(SOURCE, __LINE__, data, REC_ID_CFG).toInt());
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
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
    if (code == QLatin1String(CMD_SET_PROG)) {
        const QString prog = getParam(SOURCE, __LINE__, data, SET_PROG_PROG).toString();
        // Runs summarise their commands in their own threads: one copy of
        // the lists answers both questions.
        const TProgName names = appData.progLists().names;
        if (!names.contains(prog))
            return QString();
        const TProgNameItem item = names.find(prog);
        const QString port = getParam(SOURCE, __LINE__, data, SET_PROG_ALT_ENABLED).toBool()
                                 ? getParam(SOURCE, __LINE__, data, SET_PROG_ALT_PORT).toString()
                                 : item.port;
        return QStringLiteral("%1: %2, %3").arg(prog, port, item.type);
    }
    if (code == QLatin1String(CMD_EXECUTE)) {
        int target = -1;
        return referenceId(getParam(SOURCE, __LINE__, data, EXECUTE_CFG), target)
                   ? dataPrj.cfgName(target) : QString();
    }
    if (code == QLatin1String(CMD_DELAY))
        return QStringLiteral("%1 ms").arg(getParam(SOURCE, __LINE__, data, DELAY_VALUE).toString());
    if (code == QLatin1String(CMD_COUNTER)) {
        const qint64 value = getParam(SOURCE, __LINE__, data, COUNTER_VALUE).toLongLong();
        auto *counter = qobject_cast<TFormToolsCounter *>(form);
        if (counter && counter->idCmd() == getParam(SOURCE, __LINE__, data, REC_ID_CMD).toInt())
            counter->setValue(int(value));
        return QStringLiteral("Value: %1, Limit: %2, Delta: %3")
            .arg(value)
            .arg(getParam(SOURCE, __LINE__, data, COUNTER_LIMIT).toLongLong())
            .arg(getParam(SOURCE, __LINE__, data, COUNTER_DELTA).toLongLong());
    }
    if (code == QLatin1String(CMD_JAMP)) {
        int target = -1;
        if (!referenceId(getParam(SOURCE, __LINE__, data, JAMP_TO_CMD), target))
            return QString();
        const TDataCmd *cmd = dataPrj.cmdById(target);
        if (!cmd || !dataPrj.cfgById(cmd->idCfg()) || !cmd->handler())
            return QString();
        return QStringLiteral("\"%1\".\"%2\"")
            .arg(dataPrj.cfgName(cmd->idCfg()), cmd->handler()->cmdName(cmd->toHash()));
    }
    if (code == QLatin1String(CMD_CALC_CRC))
        return QStringLiteral("%1: %3")
            .arg(data.value(CRC_CRC_NAME).toString(), data.value(CRC_FILE).toString());
    if (code == QLatin1String(CMD_PROCESS))
        return getParam(SOURCE, __LINE__, data, PROCESS_FILE).toString();
    return QString();
}

QWidget *TDevTools::createCmdForm(const TData &data)
{
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
    const int id = getParam(SOURCE, __LINE__, data, REC_ID_CMD).toInt();
    auto integer = [&data](const char *key) { return getParam(SOURCE, __LINE__, data, key).toInt(); };
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
        return new TFormToolsJamp(id, integer(JAMP_TO_CMD));
    if (code == QLatin1String(CMD_PAUSE))
        return new TFormToolsPause;
    if (code == QLatin1String(CMD_STOP))
        return new TFormToolsStop;
    if (code == QLatin1String(CMD_CALC_CRC)) {
        auto *form = new TFormToolsCalcCRC(
            id, enabledCRCNames(), getParam(SOURCE, __LINE__, data, CRC_CRC_NAME).toString(),
            getParam(SOURCE, __LINE__, data, CRC_FORMAT).toString(),
            getParam(SOURCE, __LINE__, data, CRC_FILE).toString(),
            getParam(SOURCE, __LINE__, data, CRC_ADDR).toLongLong(),
            getParam(SOURCE, __LINE__, data, CRC_COUNT).toLongLong(),
            quint8(getParam(SOURCE, __LINE__, data, CRC_FILL).toLongLong() & 0xFF));
        form->setDefault(0, 0, 255);
        form->setBasePath(dataPrj.workPath());
        return form;
    }
    if (code == QLatin1String(CMD_PROCESS))
        return new TFormToolsProcess(id, dataPrj.workPath(),
                                     getParam(SOURCE, __LINE__, data, PROCESS_FILE).toString());
    return nullptr;
}

IDeviceExec *TDevTools::createExec(const TData &data)
{
    if (!hasCommand(getParam(SOURCE, __LINE__, data, REC_CMD).toString()))
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
    const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();
    auto param = [&data](const char *key) { return getParam(SOURCE, __LINE__, data, key); };
    if (code == QLatin1String(CMD_SET_PROG)) {
        const TDataCmd *cmd = dataPrj.cmdById(param(REC_ID_CMD).toInt());
        if (!cmd)
            return TCheck::refused(REC_ID_CMD, msg(checkmsg::NOT_IN_PROJECT));
        if (!cmd->prog())
            return TCheck::refused(SET_PROG_PROG, msg(checkmsg::PROG_UNKNOWN).arg(param(SET_PROG_PROG).toString()));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_EXECUTE)) {
        int target = -1;
        if (referenceId(param(EXECUTE_CFG), target) && dataPrj.cfgById(target) != nullptr)
            return TCheck::valid();
        return TCheck::refused(EXECUTE_CFG, msg(checkmsg::NO_CFG).arg(param(EXECUTE_CFG).toString()));
    }
    if (code == QLatin1String(CMD_DELAY))
        return countCheck(DELAY_VALUE, param(DELAY_VALUE).toLongLong());
    if (code == QLatin1String(CMD_COUNTER)) {
        for (const char *key : {COUNTER_VALUE, COUNTER_LIMIT})
            if (TCheck count = countCheck(key, param(key).toLongLong()); !count)
                return count;
        const qint64 delta = param(COUNTER_DELTA).toLongLong();
        if (inInt32(delta))
            return TCheck::valid();
        return TCheck::refused(COUNTER_DELTA, msg(checkmsg::OUTSIDE)
                                                  .arg(delta)
                                                  .arg(std::numeric_limits<qint32>::min())
                                                  .arg(std::numeric_limits<qint32>::max()));
    }
    if (code == QLatin1String(CMD_JAMP)) {
        int target = -1;
        if (referenceId(param(JAMP_TO_CMD), target) && target >= 0 && dataPrj.cmdById(target) != nullptr)
            return TCheck::valid();
        return TCheck::refused(JAMP_TO_CMD, msg(checkmsg::NO_CMD).arg(param(JAMP_TO_CMD).toString()));
    }
    if (code == QLatin1String(CMD_PROCESS)) {
        if (param(PROCESS_FILE).toString().isEmpty())
            return TCheck::refused(PROCESS_FILE, msg(checkmsg::NO_CMDLINE));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_CALC_CRC)) {
        // With no file the CRC would be taken of the project's folder.
        if (param(CRC_FILE).toString().isEmpty())
            return TCheck::refused(CRC_FILE, msg(checkmsg::NO_FILE));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_PAUSE) || code == QLatin1String(CMD_STOP))
        return TCheck::valid();
    return TCheck::notOffered(code, name());
}
