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
#include "link/TProg.h"

#include <QDir>
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

// What may have been made before a command runs: files by their cleaned
// absolute names, or anything at all (after a process or a pause: a
// program or the operator makes what they like).
struct Made
{
    QSet<QString> files;
    bool any = false;

    // True when it grew.
    bool add(const Made &other)
    {
        const int count = files.size();
        const bool wasAny = any;
        files.unite(other.files);
        any = any || other.any;
        return files.size() != count || any != wasAny;
    }
    bool has(const QString &file) const { return any || files.contains(file); }
};

// Where the run may go after a command: the commands that may come next in
// this run, and the configurations it starts as runs of their own (in
// parallel with it).
struct Steps
{
    QList<TDataCmd *> next;
    QList<int> started;
};

// The command a jump names; null when it names none.
TDataCmd *jumpTarget(const TData &jump)
{
    return dataPrj.cmdById(schema::target(jump, JAMP_TO_CMD));
}

Steps stepsAfter(const TDataCmd *cmd)
{
    Steps steps;
    const QString code = cmd->cmd();
    const TData data = cmd->toHash();
    if (code == QLatin1String(CMD_STOP))
        return steps;
    if (code == QLatin1String(CMD_JAMP)) {
        // The target, or the first enabled command after it, as the jump's
        // executor goes on.
        if (TDataCmd *to = jumpTarget(data))
            if (TDataCmd *first = to->status() ? to : dataPrj.nextEnabledCmd(to->idCfg(), to->id()))
                steps.next << first;
        return steps;
    }
    // The configurations that "execute" and the routes name: runs of their
    // own, or where this run goes on for routes that start none.
    const bool starts = code != QLatin1String(CMD_AUTO_DETECT) || schema::flag(data, AUTO_EXECUTE);
    for (const schema::Reference &r : schema::referencesOf(data)) {
        const int target = schema::targetOf(r);
        if (target < 0)
            continue;
        if (starts)
            steps.started << target;
        else if (TDataCmd *first = dataPrj.nextEnabledCmd(target, -1))
            steps.next << first;
    }
    // Any other command, and a counter short of its limit, goes on.
    if (TDataCmd *next = dataPrj.nextEnabledCmd(cmd->idCfg(), cmd->id()))
        steps.next << next;
    return steps;
}

// The file a command names under the key, as the executors resolve it,
// cleaned; empty when it names none.
QString cleanFile(const TData &data, const char *key)
{
    const QString file = schema::text(data, key);
    return file.isEmpty() ? QString() : QDir::cleanPath(makeAbsolutePath(dataPrj.workPath(), file));
}

// The flow of a run from where it stands: every command it may reach and
// what may have been made before each one, over every path there (loops,
// jumps and routes to other configurations, the runs it starts).
class Flow
{
public:
    explicit Flow(TDataCmd *entry)
    {
        if (!entry)
            return;
        m_before.insert(entry, Made());
        QList<TDataCmd *> work{entry};
        while (!work.isEmpty()) {
            TDataCmd *cmd = work.takeFirst();
            Made after = m_before.value(cmd);
            after.add(madeBy(cmd));
            // A copy: the runs it starts add steps of their own.
            const Steps steps = stepsOf(cmd);
            for (int cfg : steps.started)
                after.add(madeByRun(cfg));
            for (TDataCmd *next : steps.next) {
                const auto known = m_before.find(next);
                if (known == m_before.end()) {
                    m_before.insert(next, after);
                    work << next;
                } else if (known->add(after)) {
                    work << next;
                }
            }
        }
    }

    // What may have been made before the command; null for one the run
    // cannot reach.
    const Made *before(TDataCmd *cmd) const
    {
        const auto known = m_before.constFind(cmd);
        return known == m_before.constEnd() ? nullptr : &*known;
    }

private:
    const Steps &stepsOf(TDataCmd *cmd)
    {
        auto known = m_steps.find(cmd);
        if (known == m_steps.end())
            known = m_steps.insert(cmd, stepsAfter(cmd));
        return *known;
    }

    // What the command itself makes.
    const Made &madeBy(TDataCmd *cmd)
    {
        auto known = m_made.find(cmd);
        if (known != m_made.end())
            return *known;
        Made made;
        const QString code = cmd->cmd();
        if (TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Makes) {
            const QString file = cleanFile(cmd->toHash(), FILE_FILE);
            if (!file.isEmpty())
                made.files.insert(file);
        }
        made.any = code == QLatin1String(CMD_PROCESS) || code == QLatin1String(CMD_PAUSE);
        return *m_made.insert(cmd, made);
    }

    // All that a run of the configuration, and the runs it starts, may
    // make, at any moment after it was started.
    const Made &madeByRun(int cfg)
    {
        const auto known = m_madeByRun.constFind(cfg);
        if (known != m_madeByRun.constEnd())
            return *known;
        Made made;
        QSet<TDataCmd *> seen;
        QList<TDataCmd *> work;
        const auto reach = [&](TDataCmd *cmd) {
            if (cmd && !seen.contains(cmd)) {
                seen.insert(cmd);
                work << cmd;
            }
        };
        reach(dataPrj.nextEnabledCmd(cfg, -1));
        while (!work.isEmpty()) {
            TDataCmd *cmd = work.takeFirst();
            made.add(madeBy(cmd));
            const Steps &steps = stepsOf(cmd);
            for (TDataCmd *next : steps.next)
                reach(next);
            for (int started : steps.started)
                reach(dataPrj.nextEnabledCmd(started, -1));
        }
        return *m_madeByRun.insert(cfg, made);
    }

    QHash<TDataCmd *, Made> m_before;
    QHash<TDataCmd *, Steps> m_steps;
    QHash<TDataCmd *, Made> m_made;
    QHash<int, Made> m_madeByRun;
};

// The checks of the files a run reads, each file and range once.
class FileChecks
{
public:
    // Why the file of a command that reads one cannot serve it, as its
    // executor's open finds it, with nothing of the data read (empty when
    // it can).
    QString problem(const InputFile &input, const TData &data)
    {
        QStringList range{QLatin1String(input.kind)};
        for (const char *key : input.rangeKeys)
            range << schema::text(data, key);
        const QString id = range.join(QLatin1Char('\n'));
        const auto known = m_problems.constFind(id);
        if (known != m_problems.constEnd())
            return *known;
        const QString problem = input.problem(data);
        m_problems.insert(id, problem);
        return problem;
    }

private:
    QHash<QString, QString> m_problems;
};

// Why the run refuses the command named name (empty when it does not).
// Its files are judged after what may have been made before it (made; null
// for a command the run cannot reach, whose files do not matter): a file
// it reads must serve it, a file it makes must be one its open can make.
QString refusalOf(TDataCmd *cmd, const TData &data, const QString &name, const Made *made, FileChecks &checks)
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
    if (!made || made->any)
        return QString();
    const InputFile *input = inputFileOf(cmd->cmd());
    const QString file = input ? cleanFile(data, input->key) : QString();
    if (!file.isEmpty() && !made->has(file)) {
        const QString problem = checks.problem(*input, data);
        if (!problem.isEmpty())
            return TCheck::refused(QLatin1String(input->key), problem).text(name);
    }
    // Only a process or the operator makes a folder, or lets it take files.
    if (TMemoryExec::fileUseOf(cmd->cmd()) == TMemoryExec::FileUse::Makes
        && !schema::text(data, FILE_FILE).isEmpty()) {
        const QString problem = TMemoryExec::fileTargetProblem(data);
        if (!problem.isEmpty())
            return TCheck::refused(QLatin1String(FILE_FILE), problem).text(name);
    }
    return QString();
}

// The configuration's first refused enabled command.
bool configRefusal(int cfgId, runcheck::Refusal &refusal, const Flow &flow, FileChecks &checks)
{
    for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfgId)) {
        if (!cmd->status())
            continue;
        const TData data = cmd->toHash();
        const QString name = IDevice::shownName(data);
        const QString text = refusalOf(cmd, data, name, flow.before(cmd), checks);
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

bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal)
{
    const Flow flow(dataPrj.nextEnabledCmd(cfgId, afterCmdId));
    FileChecks checks;
    // The configuration, then those its enabled jumps move the run into,
    // and theirs, before the commands ahead of a jump are sent.
    QList<int> cfgs{cfgId};
    for (int i = 0; i < cfgs.size(); ++i) {
        if (configRefusal(cfgs.at(i), refusal, flow, checks))
            return true;
        for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfgs.at(i))) {
            if (!cmd->status() || cmd->cmd() != QLatin1String(CMD_JAMP))
                continue;
            if (const TDataCmd *to = jumpTarget(cmd->toHash()); to && !cfgs.contains(to->idCfg()))
                cfgs << to->idCfg();
        }
    }
    return false;
}

} // namespace runcheck
