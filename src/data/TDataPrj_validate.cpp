// Validation of the project's commands: which object handles each command,
// which device and programmer are in force for it, the two caches those
// objects come from, and the merge of edited parameters into a command.

#include "data/TDataPrj.h"

#include "core/TAppData.h"
#include "core/consts.h"
#include "core/handover.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "devices/IDevice.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/TDeviceList.h"
#include "devices/dev_lists.h"
#include "devices/param_schema.h"
#include "link/TProg.h"

#include <QFileInfo>
#include <QHash>

namespace {

bool isGroupName(const QString &name)
{
    return name == QLatin1String(GROUP_TOOLS) || name == QLatin1String(GROUP_PROG);
}

// A flag carried over as it reads (false when absent), or as stored when
// damaged: an edit of something else never turns it into another value.
QVariant keptFlag(const QVariant &stored)
{
    bool on = false;
    if (!stored.isValid() || schema::readFlag(stored, on))
        return on;
    return stored;
}

// Judges the command's parameters again by its handler (none: invalid).
void checkParams(TDataCmd *c)
{
    IDevice *handler = c->handler();
    c->setValidParam(handler ? handler->validParams(c->toHash()) : false);
}

} // namespace

// ---- Caches ----------------------------------------------------------------

IDevice *TDataPrj::deviceByName(const QString &name, const QString &file)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const auto cached = m_devices.constFind(name);
    if (cached != m_devices.constEnd())
        return cached.value().data();
    if (name.isEmpty())
        return nullptr;
    // Without a description file only the two command groups can be made:
    // a chip family made from no description would have no memory sizes,
    // no algorithms and no connection, so a device whose description could
    // not be read stays missing.
    if (file.isEmpty() && !isGroupName(name))
        return nullptr;
    TData params;
    const TDeviceCreator creator = deviceList.creatorForFile(name, file, params);
    if (!creator)
        return nullptr;
    IDevice *device = creator(name, params);
    if (device)
        cacheDevice(name, device);
    return device;
}

TProg *TDataPrj::progByName(const QString &name)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const auto cached = m_progs.constFind(name);
    if (cached != m_progs.constEnd())
        return cached.value().data();
    const TProgLists lists = appData.progLists();
    if (name.isEmpty() || !lists.names.contains(name))
        return nullptr;
    const QString type = lists.names.find(name).type;
    if (!lists.types.contains(type))
        return nullptr;
    const QString path = makeAbsolutePath(appData.folder(&TAppData::pathProgs), lists.types.value(type));
    if (!QFileInfo(path).isFile())
        return nullptr;
    TProg *prog = new TProg(path);
    m_progs.insert(name, QSharedPointer<TProg>(prog));
    return prog;
}

// ---- Walks backwards from a position ----------------------------------------

int TDataPrj::findBack(int cfgId, int index, const char *code, bool stopAtSetProg) const
{
    if (index < 0)
        index = m_cmds.size() - 1;
    else if (index >= m_cmds.size())
        return -1;
    for (int i = index; i >= 0; --i) {
        const TDataCmd *c = m_cmds.at(i);
        if (c->idCfg() != cfgId)
            break;
        const QString cmdCode = c->cmd();
        if (cmdCode == QLatin1String(code))
            return i;
        if (stopAtSetProg && cmdCode == QLatin1String(CMD_SET_PROG))
            break;
    }
    return -1;
}

QString TDataPrj::validParamAt(int index, const char *key) const
{
    if (index < 0 || !m_cmds.at(index)->validDev())
        return QString();
    return schema::text(m_cmds.at(index)->toHash(), key);
}

QString TDataPrj::progNameAt(int cfgId, int index) const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    return validParamAt(findBack(cfgId, index, CMD_SET_PROG, false), SET_PROG_PROG);
}

QString TDataPrj::deviceNameAt(int cfgId, int index) const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    return validParamAt(findBack(cfgId, index, CMD_SET_DEVICE, true), SET_DEVICE_DEVICE);
}

QString TDataPrj::handlerNameOf(int cfgId, int index, const QString &code) const
{
    if (TDevTools::hasCommand(code))
        return QLatin1String(GROUP_TOOLS);
    if (TDevProg::hasCommand(code))
        return QLatin1String(GROUP_PROG);
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    // A "set_prog" does not end the handler: the device's object still
    // handles its commands, though no device is in force for them.
    return validParamAt(findBack(cfgId, index, CMD_SET_DEVICE, false), SET_DEVICE_DEVICE);
}

TDataCmd *TDataPrj::progCmdBefore(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const int index = cmdIndexOf(cmdId);
    if (index < 0)
        return nullptr;
    const int found = findBack(m_cmds.at(index)->idCfg(), index, CMD_SET_PROG, false);
    return found < 0 ? nullptr : m_cmds.at(found);
}

int TDataPrj::deviceCmdIndexBefore(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const int index = cmdIndexOf(cmdId);
    if (index < 0)
        return -1;
    return findBack(m_cmds.at(index)->idCfg(), index, CMD_SET_DEVICE, true);
}

// ---- Validation --------------------------------------------------------------

void TDataPrj::validateCmd(int index)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    if (index < 0 || index >= m_cmds.size())
        return;
    TDataCmd *c = m_cmds.at(index);
    const TData h = c->toHash();
    const QString code = c->cmd();
    const int cfgId = c->idCfg();

    IDevice *handler = nullptr;
    IDevice *device = nullptr;
    TProg *prog = nullptr;
    bool validDev = false;

    if (code == QLatin1String(CMD_SET_PROG)) {
        handler = deviceByName(QLatin1String(GROUP_TOOLS), QString());
        device = handler;
        prog = progByName(schema::text(h, SET_PROG_PROG));
        validDev = true;
    } else if (code == QLatin1String(CMD_SET_DEVICE)) {
        handler = deviceByName(QLatin1String(GROUP_PROG), QString());
        device = deviceByName(schema::text(h, SET_DEVICE_DEVICE), schema::text(h, SET_DEVICE_FILE));
        prog = progByName(progNameAt(cfgId, index));
        validDev = handler && prog;
    } else if (code == QLatin1String(CMD_AUTO_DETECT)) {
        const QString name = schema::text(h, AUTO_NAME);
        handler = deviceByName(QLatin1String(GROUP_PROG), QString());
        device = deviceByName(name, autoListText(name));
        prog = progByName(progNameAt(cfgId, index));
        validDev = handler && prog;
    } else {
        const QString handlerName = handlerNameOf(cfgId, index, code);
        handler = deviceByName(handlerName, QString());
        device = deviceByName(deviceNameAt(cfgId, index), QString());
        prog = progByName(progNameAt(cfgId, index));
        if (handlerName == QLatin1String(GROUP_TOOLS))
            validDev = handler && handler->hasCmd(code);
        else if (handlerName == QLatin1String(GROUP_PROG))
            validDev = handler && handler->hasCmd(code) && prog && prog->supportsCommand(code);
        else
            validDev = device && device->hasCmd(code) && prog && handler;
    }

    c->setHandler(handler);
    c->setDevice(device);
    c->setProg(prog);
    c->setValidDev(validDev);
    c->setValidParam(handler ? handler->validParams(h) : false);
}

void TDataPrj::validateAll()
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    for (int i = 0; i < m_cmds.size(); ++i)
        validateCmd(i);
    // Objects that no command points at any more may be freed now.
    releaseRetired();
}

// ---- Parameter updates ---------------------------------------------------------

void TDataPrj::setCmdParam(int cmdId, const TData &data)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    setModified();
    TDataCmd *c = cmdById(cmdId);
    if (!c)
        return;
    TData h = data;
    const QString code = c->cmd();

    if (code == QLatin1String(CMD_SET_DEVICE) && h.contains(QLatin1String(SET_DEVICE_DEVICE))) {
        // Device-derived values are re-applied only where the device in
        // force changed, so that values the user set stay elsewhere.
        QHash<const TDataCmd *, IDevice *> before;
        for (const TDataCmd *cmd : qAsConst(m_cmds))
            before.insert(cmd, cmd->device());
        c->clearParams();
        c->putParams(h);
        validateAll();
        if (IDevice *device = c->device())
            device->initDevParam(h);
        c->putParams(h);
        for (TDataCmd *cmd : qAsConst(m_cmds))
            if (before.value(cmd) != cmd->device() && cmd->normalizeParams())
                setModified();
        updateAllValidParam();
    } else if (code == QLatin1String(CMD_SET_PROG)) {
        h.remove(QLatin1String(REC_ID_CMD));
        c->putParams(h);
        validateAll();
        updateAllValidParam();
    } else if (code == QLatin1String(CMD_AUTO_DETECT) && h.contains(QLatin1String(AUTO_NAME))) {
        // The flags stay as they were; a damaged one stays as stored.
        const TData old = c->toHash();
        const QVariant stop = keptFlag(schema::value(old, AUTO_STOP));
        const QVariant execute = keptFlag(schema::value(old, AUTO_EXECUTE));
        c->clearParams();
        h.insert(QLatin1String(AUTO_STOP), stop);
        h.insert(QLatin1String(AUTO_EXECUTE), execute);
        c->putParams(h);
        validateCmd(m_cmds.indexOf(c));
        if (IDevice *device = c->device())
            device->initDevParam(h);
        c->putParams(h);
        checkParams(c);
    } else {
        c->putParams(h);
        checkParams(c);
    }
    publishCmd(c);
}

void TDataPrj::setCmdResult(int cmdId, const char *key, const QString &value)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    TDataCmd *c = cmdById(cmdId);
    if (!c)
        return;
    markModified();
    c->putResult(QLatin1String(key), value);
    checkParams(c);
    publishCmd(c);
}

void TDataPrj::publishCmd(const TDataCmd *c)
{
    // A run's counter changes its record in the worker's thread; the view
    // takes the record in the GUI thread.
    const TData record = c->toHash();
    handover::give(record);
    emit signalChangeData(VIEW_CMD_PARAM, record);
}

// ---- Device commands after a "set_device" -----------------------------------------

bool TDataPrj::isDeviceCmdAt(int index) const
{
    const TDataCmd *c = m_cmds.at(index);
    const IDevice *handler = c->handler();
    return !handler || !isGroupName(handler->name());
}

bool TDataPrj::endsDeviceRun(int index, int cfgId) const
{
    const TDataCmd *c = m_cmds.at(index);
    const QString code = c->cmd();
    return c->idCfg() != cfgId || code == QLatin1String(CMD_SET_PROG)
           || code == QLatin1String(CMD_SET_DEVICE);
}

bool TDataPrj::hasDeviceCmdAfter(int index) const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    if (index < 0 || index >= m_cmds.size())
        return false;
    const int cfgId = m_cmds.at(index)->idCfg();
    for (int i = index + 1; i < m_cmds.size() && !endsDeviceRun(i, cfgId); ++i) {
        if (isDeviceCmdAt(i))
            return true;
    }
    return false;
}

void TDataPrj::removeDeviceCmdsAfter(int cmdId)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const int start = deviceCmdIndexBefore(cmdId);
    if (start < 0)
        return;
    const int cfgId = m_cmds.at(start)->idCfg();
    int i = start + 1;
    while (i < m_cmds.size() && !endsDeviceRun(i, cfgId)) {
        if (isDeviceCmdAt(i))
            removeCmd(m_cmds.at(i)->id());
        else
            ++i;
    }
}

// ---- Command selector lists --------------------------------------------------------

QStringList TDataPrj::toolsCmdList() const
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    return TDevTools::cmdCodeList();
}

QStringList TDataPrj::progCmdListAt(int cmdId)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const int index = cmdIndexOf(cmdId);
    if (cmdId < 0 || index < 0)
        return QStringList();
    TProg *prog = progByName(progNameAt(m_cmds.at(index)->idCfg(), index));
    if (!prog)
        return QStringList();
    QStringList codes;
    for (const QString &code : TDevProg::cmdCodeList()) {
        if (prog->supportsCommand(code))
            codes.append(code);
    }
    return codes;
}

QStringList TDataPrj::deviceCmdListAt(int cmdId)
{
    const std::lock_guard<std::recursive_mutex> locker(m_mutex);
    const int index = cmdIndexOf(cmdId);
    if (cmdId < 0 || index < 0)
        return QStringList();
    const TDataCmd *c = m_cmds.at(index);
    if (c->cmd() == QLatin1String(CMD_AUTO_DETECT))
        return QStringList();
    IDevice *device = deviceByName(deviceNameAt(c->idCfg(), index), QString());
    return device ? device->cmdList() : QStringList();
}
