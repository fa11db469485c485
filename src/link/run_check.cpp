#include "link/run_check.h"

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TCheck.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/TDevToolsExec.h"
#include "devices/TMemoryExec.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "misc/dev_misc.h"
#include "link/TProg.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QVector>

namespace {

// A file the user gives that a command reads: the key that names it, the
// keys of the range read, and the check its executor makes at its open.
struct InputFile
{
    const char *kind;
    const char *key;
    QVector<const char *> rangeKeys;
    QString (*problem)(const TData &params);
};

// That of a file write or verify, or of a CRC; null for other commands.
const InputFile *inputFileOf(const QString &code)
{
    static const InputFile chip{"chip", FILE_FILE, {FILE_FILE, FILE_FORMAT, FILE_ADDR_FILE, FILE_ADDR_DEVICE, FILE_COUNT},
                                &TMemoryExec::fileDataProblem};
    static const InputFile crc{"crc", CRC_FILE, {CRC_FILE, CRC_FORMAT, CRC_ADDR, CRC_COUNT},
                               &TDevToolsExec::crcFileProblem};
    if (TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Reads)
        return &chip;
    return code == QLatin1String(CMD_CALC_CRC) ? &crc : nullptr;
}

QString absoluteFile(const TData &data, const char *key)
{
    const QString file = schema::text(data, key);
    return file.isEmpty() ? QString() : makeAbsolutePath(dataPrj.workPath(), file);
}

// What the command lacks of what the commands before it choose: the
// programmer, or a programmer or device that carries the code out. Valid
// when it lacks nothing of that, or only the device.
TCheck providerCheck(TDataCmd *cmd)
{
    const QString code = cmd->cmd();
    IDevice *handler = cmd->handler();
    if (TDevTools::hasCommand(code)) {
        if (handler && handler->hasCmd(code))
            return TCheck::valid();
        return TCheck::notOffered(code, QLatin1String(GROUP_TOOLS));
    }
    TProg *prog = cmd->prog();
    if (!prog) {
        const TDataCmd *setProg = dataPrj.progCmdBefore(cmd->id());
        const QString name = setProg ? schema::text(setProg->toHash(), SET_PROG_PROG) : QString();
        return TCheck::refused(QLatin1String(SET_PROG_PROG), name.isEmpty() ? lang.text(checkmsg::NO_PROG)
                                                              : lang.text(checkmsg::PROG_UNKNOWN).arg(name));
    }
    if (TDevProg::hasCommand(code)) {
        if (code == QLatin1String(CMD_SET_DEVICE) || code == QLatin1String(CMD_AUTO_DETECT)
            || prog->supportsCommand(code))
            return TCheck::valid();
        const TDataCmd *setProg = dataPrj.progCmdBefore(cmd->id());
        return TCheck::notOffered(code, setProg ? schema::text(setProg->toHash(), SET_PROG_PROG) : QString());
    }
    // Without a device the worker's own word says it: not set or not found.
    IDevice *device = cmd->device();
    if (device && !device->hasCmd(code))
        return TCheck::notOffered(code, device->name());
    return TCheck::valid();
}

} // namespace

namespace runcheck {

QString flagRefusal(TDataCmd *cmd, const TData &record, const QString &name)
{
    IDevice *handler = cmd->handler();
    const bool validDev = record.value(QLatin1String(REC_VALID_DEV)).toBool();
    const bool validParam = record.value(QLatin1String(REC_VALID_PARAM)).toBool();
    const QString shown = name.isEmpty() ? IDevice::shownName(record) : name;
    if (!handler || !validDev) {
        const TCheck provider = providerCheck(cmd);
        return provider ? lang.text(execmsg::INVALID_DEVICE).arg(shown) : provider.text(shown);
    }
    if (validParam)
        return QString();
    const QString text = handler->refusalText(record);
    // Refused when it was validated, though its check passes now.
    return text.isEmpty() ? lang.text(execmsg::INVALID_PARAMS).arg(shown) : text;
}

} // namespace runcheck

namespace {

// The files a run has made before a command reads them: those of the reads
// before it, or any at all after an external process.
struct Made
{
    QSet<QString> files;
    bool any = false;
    // The checks of the files already made, by file and range.
    QHash<QString, QString> problems;

    void note(TDataCmd *cmd)
    {
        const QString code = cmd->cmd();
        if (TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Makes)
            files.insert(absoluteFile(cmd->toHash(), FILE_FILE));
        any = any || code == QLatin1String(CMD_PROCESS);
    }

    // Why the file of a command that reads one cannot serve it, as its
    // executor's open finds it, with nothing of the data read (empty when
    // it can); a write and a verify of the same file and range check it
    // once.
    QString fileProblem(const InputFile &input, const TData &data)
    {
        QStringList range{QLatin1String(input.kind)};
        for (const char *key : input.rangeKeys)
            range << schema::text(data, key);
        const QString id = range.join(QLatin1Char('\n'));
        const auto known = problems.constFind(id);
        if (known != problems.constEnd())
            return *known;
        const QString problem = input.problem(data);
        problems.insert(id, problem);
        return problem;
    }
};

// Why the run refuses the command named name (empty when it does not),
// its input file looked for after what the run made before; what it makes
// counts as made from then on.
QString refusalOf(TDataCmd *cmd, const TData &data, const QString &name, Made &made)
{
    IDevice *handler = cmd->handler();
    if (!handler || !cmd->validDev() || !cmd->validParam())
        return runcheck::flagRefusal(cmd, data, name);
    if (const TCheck run = handler->runCheck(data); !run)
        return run.text(name);
    // Its executor would refuse it, after what the commands before it did
    // to the chip.
    QString rangeKey;
    const QString empty = TMemoryExec::emptyRangeText(data, rangeKey);
    if (!empty.isEmpty())
        return TCheck::refused(rangeKey, empty).text(name);
    const InputFile *input = inputFileOf(cmd->cmd());
    const QString file = input && !made.any ? absoluteFile(data, input->key) : QString();
    if (file.isEmpty() || made.files.contains(file)) {
        made.note(cmd);
        return QString();
    }
    const QString problem = made.fileProblem(*input, data);
    return problem.isEmpty() ? QString() : TCheck::refused(QLatin1String(input->key), problem).text(name);
}

// The configuration's first refused enabled command (made grows by what
// the configuration makes).
bool configRefusal(int cfgId, runcheck::Refusal &refusal, Made &made)
{
    QList<TDataCmd *> enabled;
    for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfgId))
        if (cmd->status())
            enabled << cmd;
    // A "jamp" may take the run to a read first: then every read counts.
    for (TDataCmd *cmd : qAsConst(enabled))
        if (cmd->cmd() == QLatin1String(CMD_JAMP)) {
            for (TDataCmd *any : qAsConst(enabled))
                made.note(any);
            break;
        }

    for (TDataCmd *cmd : qAsConst(enabled)) {
        const TData data = cmd->toHash();
        const QString name = IDevice::shownName(data);
        const QString text = refusalOf(cmd, data, name, made);
        if (text.isEmpty())
            continue;
        IDevice *handler = cmd->handler();
        refusal = {name, handler ? handler->cmdParamText(data, nullptr) : QString(), text};
        return true;
    }
    return false;
}

} // namespace

namespace runcheck {

bool findRefusal(int cfgId, Refusal &refusal)
{
    // The configuration, then those its enabled jumps move the run into,
    // and theirs, before the commands ahead of a jump are sent; a file that
    // a configuration before makes counts as made there.
    QList<int> cfgs{cfgId};
    Made made;
    for (int i = 0; i < cfgs.size(); ++i) {
        if (configRefusal(cfgs.at(i), refusal, made))
            return true;
        for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfgs.at(i))) {
            int target = -1;
            if (!cmd->status() || cmd->cmd() != QLatin1String(CMD_JAMP)
                || !referenceId(schema::value(cmd->toHash(), JAMP_TO_CMD), target))
                continue;
            if (const TDataCmd *to = dataPrj.cmdById(target); to && !cfgs.contains(to->idCfg()))
                cfgs << to->idCfg();
        }
    }
    return false;
}

} // namespace runcheck
