#include "link/run_check.h"

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/param_schema.h"
#include "formats/IFormat.h"

#include <QList>
#include <QSet>

namespace {

// Language-table messages of the worker.
constexpr int MSG_INVALID_DEVICE = 387;
constexpr int MSG_INVALID_PARAMS = 388;

bool isOneOf(const QString &code, std::initializer_list<const char *> codes)
{
    for (const char *c : codes)
        if (code == QLatin1String(c))
            return true;
    return false;
}

// Commands that read a file the user gives, and the key that names it.
const char *inputFileKey(const QString &code)
{
    if (isOneOf(code, {CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY,
                       CMD_EEPROM_FILE_WRITE, CMD_EEPROM_FILE_VERIFY, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY}))
        return FILE_FILE;
    if (code == QLatin1String(CMD_CALC_CRC))
        return CRC_FILE;
    return nullptr;
}

// Commands that write the file they name.
bool makesFile(const QString &code)
{
    return isOneOf(code, {CMD_FILE_READ, CMD_FLASH_FILE_READ, CMD_EEPROM_FILE_READ, CMD_SEC_REG_READ,
                          CMD_SFDP_REG_READ});
}

QString absoluteFile(const TData &data, const char *key)
{
    const QString file = schema::text(data, key);
    return file.isEmpty() ? QString() : makeAbsolutePath(dataPrj.workPath(), file);
}

void describe(TDataCmd *cmd, const TData &data, runcheck::Refusal &refusal)
{
    IDevice *handler = cmd->handler();
    refusal.name = handler ? handler->cmdName(data) : cmdCode.name(cmd->cmd());
    refusal.paramText = handler ? handler->cmdParamText(data, nullptr) : QString();
}

} // namespace

namespace runcheck {

QString flagRefusal(TDataCmd *cmd, const TData &record, const QString &name)
{
    IDevice *handler = cmd->handler();
    const bool validDev = record.value(QLatin1String(REC_VALID_DEV)).toBool();
    const bool validParam = record.value(QLatin1String(REC_VALID_PARAM)).toBool();
    if (!handler || !validDev)
        return lang.text(MSG_INVALID_DEVICE).arg(name);
    if (validParam)
        return QString();
    const QString text = handler->refusalText(record);
    // Refused when it was validated, though its check passes now.
    return text.isEmpty() ? lang.text(MSG_INVALID_PARAMS).arg(name) : text;
}

bool findRefusal(int cfgId, Refusal &refusal)
{
    QList<TDataCmd *> enabled;
    for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfgId))
        if (cmd->status())
            enabled << cmd;

    // The files the configuration may make before it reads them; an
    // external process may make any.
    QSet<QString> made;
    bool anyMade = false;
    for (TDataCmd *cmd : qAsConst(enabled)) {
        const QString code = cmd->cmd();
        if (makesFile(code))
            made.insert(absoluteFile(cmd->toHash(), FILE_FILE));
        anyMade = anyMade || code == QLatin1String(CMD_PROCESS);
    }

    for (TDataCmd *cmd : qAsConst(enabled)) {
        const TData data = cmd->toHash();
        IDevice *handler = cmd->handler();
        QString text;
        if (!handler || !cmd->validDev() || !cmd->validParam()) {
            describe(cmd, data, refusal);
            text = flagRefusal(cmd, data, refusal.name);
        } else if (const char *key = inputFileKey(cmd->cmd()); key && !anyMade) {
            const QString file = absoluteFile(data, key);
            const QString problem = file.isEmpty() || made.contains(file) ? QString() : IFormat::readProblem(file);
            if (problem.isEmpty())
                continue;
            describe(cmd, data, refusal);
            text = TCheck::refused(QLatin1String(key), problem).text(refusal.name);
        } else {
            continue;
        }
        refusal.text = text;
        return true;
    }
    return false;
}

} // namespace runcheck
