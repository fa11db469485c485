#include "data/TDataPrj.h"

#include <QMetaObject>
#include <QSet>
#include <QThread>

#include <atomic>

#include "core/consts.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "devices/IDevice.h"

TDataPrj dataPrj;

namespace {

// Generations of every project object, so that none is ever taken twice.
std::atomic<quint64> s_generations{0};
std::atomic<quint64> s_revision{0};

} // namespace

quint64 TDataPrj::revision()
{
    return s_revision.load();
}

void TDataPrj::noteChange()
{
    ++s_revision;
}

TDataPrj::TDataPrj(QObject *parent) : QObject(parent), m_generation(++s_generations)
{
    clear();
}

TDataPrj::~TDataPrj()
{
    // Everything goes, also the records of a project without a file, which
    // clear would keep.
    freeAll();
}

// ---------------------------------------------------------------- Project

bool TDataPrj::isOpen() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return !m_prjFile.isEmpty();
}

bool TDataPrj::isModified() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_modified;
}

void TDataPrj::setModified()
{
    noteChange();
    markModified();
}

void TDataPrj::markModified()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_modified = true;
    emit signalChangePrj(true);
}

void TDataPrj::resetModified()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_modified = false;
    emit signalChangePrj(false);
}

QString TDataPrj::prjName() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_prjName;
}

void TDataPrj::setPrjName(const QString &name)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_prjName = name;
}

QString TDataPrj::prjFile() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_prjFile;
}

void TDataPrj::setPrjFile(const QString &file)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    noteChange();
    m_prjFile = file;
}

TJsonExtra TDataPrj::fileExtra() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_fileExtra;
}

void TDataPrj::setFileExtra(const TJsonExtra &extra)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_fileExtra = extra;
}

QString TDataPrj::workPath() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_workPath;
}

void TDataPrj::fromHash(const TData &data)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    noteChange();
    m_prjFile = data.value(INFO_PRJ_FILE).toString();
    m_workPath = data.value(PRJ_WORK_PATH).toString();
}

TData TDataPrj::toHash() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TData data;
    data.insert(INFO_PRJ_FILE, m_prjFile);
    data.insert(PRJ_WORK_PATH, m_workPath);
    return data;
}

void TDataPrj::clear()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    noteChange();
    m_fileExtra = TJsonExtra();
    m_fileSeen.forget();
    if (m_prjFile.isEmpty())
        return;
    m_prjFile.clear();
    m_workPath.clear();
    m_retiredCmds += m_cmds;
    m_cmds.clear();
    TDataCmd::resetIdCounter();
    m_retiredCfgs += m_cfgs;
    m_cfgs.clear();
    TDataCfg::resetIdCounter();
    m_generation = ++s_generations;
    retireAllCaches();
    releaseRetired();
}

QList<TDataCfg *> TDataPrj::cfgList() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_cfgs;
}

QList<TDataCmd *> TDataPrj::cmdList() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_cmds;
}

QStringList TDataPrj::cfgNames() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QStringList names;
    for (const TDataCfg *cfg : m_cfgs)
        names << cfg->name();
    return names;
}

// ---------------------------------------------------------------- Configurations

int TDataPrj::addCfg(const QString &name, const QString &description, int index)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    auto *cfg = new TDataCfg(name, description);
    if (index < 0 || index > m_cfgs.size())
        m_cfgs.append(cfg);
    else
        m_cfgs.insert(index, cfg);
    return cfg->id();
}

void TDataPrj::removeCfg(int cfgId)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    const int index = cfgIndexById(cfgId);
    if (index < 0)
        return;
    removeCmdsOfCfg(cfgId);
    m_retiredCfgs << m_cfgs.takeAt(index);
    releaseRetired();
}

void TDataPrj::moveCfg(int from, int to)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    if (from >= 0 && from < m_cfgs.size() && to >= 0 && to < m_cfgs.size())
        m_cfgs.move(from, to);
}

void TDataPrj::setCfgName(int cfgId, const QString &name)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    if (TDataCfg *cfg = cfgById(cfgId))
        cfg->setName(name);
}

void TDataPrj::setCfgDescription(int cfgId, const QString &description)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    if (TDataCfg *cfg = cfgById(cfgId))
        cfg->setDescription(description);
}

void TDataPrj::setCfgExecState(int cfgId, int state)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (TDataCfg *cfg = cfgById(cfgId))
        cfg->setExecState(state);
}

int TDataPrj::cfgExecState(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCfg *cfg = cfgById(cfgId);
    return cfg ? cfg->execState() : 0;
}

TDataCfg *TDataPrj::cfgById(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const int index = cfgIndexById(cfgId);
    return index < 0 ? nullptr : m_cfgs.at(index);
}

int TDataPrj::cfgIndexById(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (int i = 0; i < m_cfgs.size(); ++i)
        if (m_cfgs.at(i)->id() == cfgId)
            return i;
    return -1;
}

int TDataPrj::cfgIdAt(int index) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return index >= 0 && index < m_cfgs.size() ? m_cfgs.at(index)->id() : -1;
}

int TDataPrj::cfgIdByName(const QString &name) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const TDataCfg *cfg : m_cfgs)
        if (cfg->name() == name)
            return cfg->id();
    return -1;
}

QString TDataPrj::cfgName(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCfg *cfg = cfgById(cfgId);
    return cfg ? cfg->name() : QString();
}

// ---------------------------------------------------------------- Commands

int TDataPrj::addCmd(const TData &data, int index)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    TDataCmd *cmd = makeCmd(data);
    insertCmd(cmd, index);
    return cmd->id();
}

TDataCmd *TDataPrj::makeCmd(const TData &data)
{
    const int idCfg = data.value(REC_ID_CFG).toInt();
    const QString code = data.value(REC_CMD).toString();
    TData params = data;
    for (auto it = params.begin(); it != params.end();) {
        if (TDataCmd::isRecordKey(it.key()))
            it = params.erase(it);
        else
            ++it;
    }
    auto *cmd = new TDataCmd(false, idCfg, code, params);
    cmd->setStoredStatus(data.value(REC_STATUS));
    return cmd;
}

void TDataPrj::insertCmd(TDataCmd *cmd, int index)
{
    if (index < 0 || index >= m_cmds.size())
        m_cmds.append(cmd);
    else
        m_cmds.insert(index, cmd);
}

void TDataPrj::removeCmd(int cmdId)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    const int index = cmdIndexOf(cmdId);
    if (index < 0)
        return;
    m_retiredCmds << m_cmds.takeAt(index);
    releaseRetired();
}

void TDataPrj::removeCmdsOfCfg(int cfgId)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    for (int i = m_cmds.size() - 1; i >= 0; --i)
        if (m_cmds.at(i)->idCfg() == cfgId)
            m_retiredCmds << m_cmds.takeAt(i);
    releaseRetired();
}

void TDataPrj::moveCmd(int cmdId, int offset)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    const int from = cmdIndexOf(cmdId);
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= m_cmds.size())
        return;
    if (m_cmds.at(to)->idCfg() != m_cmds.at(from)->idCfg())
        return;
    m_cmds.move(from, to);
    // The programmer and device in force depend on the order.
    validateAll();
}

void TDataPrj::setCmdStatus(int cmdId, bool status)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    if (TDataCmd *cmd = cmdById(cmdId))
        setStatusOf(cmd, status);
}

void TDataPrj::setStatusOf(TDataCmd *cmd, bool status)
{
    // A damaged "status" made its command invalid: ticked or unticked now,
    // the command is judged again.
    const bool wasDamaged = cmd->statusDamaged();
    cmd->setStatus(status);
    if (wasDamaged)
        cmd->updateValidParam();
}

void TDataPrj::setCfgStatus(int cfgId, bool status)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    setModified();
    for (TDataCmd *cmd : qAsConst(m_cmds))
        if (cmd->idCfg() == cfgId)
            setStatusOf(cmd, status);
}

TDataCmd *TDataPrj::cmdById(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const int index = cmdIndexOf(cmdId);
    return index < 0 ? nullptr : m_cmds.at(index);
}

int TDataPrj::cmdIndexById(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return cmdIndexOf(cmdId);
}

int TDataPrj::cmdIndexOf(int cmdId) const
{
    if (cmdId < 0)
        return -1;
    for (int i = 0; i < m_cmds.size(); ++i)
        if (m_cmds.at(i)->id() == cmdId)
            return i;
    return -1;
}

int TDataPrj::cmdIdAt(int index) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return index >= 0 && index < m_cmds.size() ? m_cmds.at(index)->id() : -1;
}

QList<TDataCmd *> TDataPrj::cmdsOfCfg(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QList<TDataCmd *> list;
    for (TDataCmd *cmd : m_cmds)
        if (cmd->idCfg() == cfgId)
            list << cmd;
    return list;
}

int TDataPrj::cmdRowInCfg(int cfgId, int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCmd *target = cmdById(cmdId);
    if (!target || target->idCfg() != cfgId)
        return -1;
    int count = 0;
    for (const TDataCmd *cmd : m_cmds) {
        if (cmd->idCfg() == cfgId)
            ++count;
        if (cmd == target)
            break;
    }
    return count - 1;
}

int TDataPrj::cmdRowByIndex(int index) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (index < 0 || index >= m_cmds.size())
        return -1;
    const int cfgId = m_cmds.at(index)->idCfg();
    int count = 0;
    for (int i = index; i >= 0 && m_cmds.at(i)->idCfg() == cfgId; --i)
        ++count;
    return count - 1;
}

int TDataPrj::cfgIdAtIndex(int index) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return index >= 0 && index < m_cmds.size() ? m_cmds.at(index)->idCfg() : -1;
}

int TDataPrj::cfgIdOfCmd(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCmd *cmd = cmdById(cmdId);
    return cmd ? cmd->idCfg() : -1;
}

int TDataPrj::cfgIndexOfCmd(int cmdId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCmd *cmd = cmdById(cmdId);
    return cmd ? cfgIndexById(cmd->idCfg()) : -1;
}

bool TDataPrj::hasEnabledCmd(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const TDataCmd *cmd : m_cmds)
        if (cmd->idCfg() == cfgId && cmd->status())
            return true;
    return false;
}

bool TDataPrj::hasInvalidDevCmd(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const TDataCmd *cmd : m_cmds)
        if (cmd->idCfg() == cfgId && !cmd->validDev())
            return true;
    return false;
}

TDataCmd *TDataPrj::nextEnabledCmd(int cfgId, int prevId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    int start = 0;
    if (prevId >= 0) {
        // A previous command removed meanwhile starts the walk again.
        const int prev = cmdIndexOf(prevId);
        start = prev < 0 ? 0 : prev + 1;
    }
    for (int i = start; i < m_cmds.size(); ++i) {
        TDataCmd *cmd = m_cmds.at(i);
        if (cmd->idCfg() == cfgId && cmd->status())
            return cmd;
    }
    return nullptr;
}

void TDataPrj::normalizeAllCmds()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (TDataCmd *cmd : qAsConst(m_cmds))
        if (cmd->normalizeParams())
            setModified();
}

void TDataPrj::updateAllValidParam()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (TDataCmd *cmd : qAsConst(m_cmds))
        cmd->updateValidParam();
}

// ---------------------------------------------------------------- Device cache

void TDataPrj::cacheDevice(const QString &name, IDevice *device)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const QSharedPointer<IDevice> old = m_devices.value(name);
    if (old.data() == device)
        return;
    if (old)
        m_retiredDevices << old;
    m_devices.insert(name, QSharedPointer<IDevice>(device));
    releaseRetired();
}

IDevice *TDataPrj::cachedDevice(const QString &name) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_devices.value(name).data();
}

void TDataPrj::clearDeviceCache()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    noteChange();
    retireAllCaches();
    releaseRetired();
}

// ---------------------------------------------------------------- Runs and ownership

void TDataPrj::beginRun()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    ++m_runs;
}

void TDataPrj::endRun()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_runs > 0)
        --m_runs;
    releaseRetired();
}

int TDataPrj::activeRuns() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_runs;
}

void TDataPrj::retireAllCaches()
{
    m_retiredDevices += m_devices.values();
    m_devices.clear();
    m_retiredProgs += m_progs.values();
    m_progs.clear();
}

void TDataPrj::releaseRetiredLocked()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    releaseRetired();
}

void TDataPrj::releaseRetired()
{
    if (m_runs > 0)
        return;
    if (QThread::currentThread() != thread()) {
        // Device objects belong to the project's thread; free them there.
        QMetaObject::invokeMethod(this, &TDataPrj::releaseRetiredLocked, Qt::QueuedConnection);
        return;
    }
    qDeleteAll(m_retiredCmds);
    m_retiredCmds.clear();
    qDeleteAll(m_retiredCfgs);
    m_retiredCfgs.clear();
    if (m_retiredDevices.isEmpty() && m_retiredProgs.isEmpty())
        return;
    // Commands keep borrowed pointers until they are validated again.
    QSet<const void *> used;
    for (const TDataCmd *cmd : qAsConst(m_cmds)) {
        used << cmd->handler() << cmd->device() << cmd->prog();
    }
    for (int i = m_retiredDevices.size() - 1; i >= 0; --i)
        if (!used.contains(m_retiredDevices.at(i).data()))
            m_retiredDevices.removeAt(i);
    for (int i = m_retiredProgs.size() - 1; i >= 0; --i)
        if (!used.contains(m_retiredProgs.at(i).data()))
            m_retiredProgs.removeAt(i);
}

void TDataPrj::freeAll()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_retiredCmds += m_cmds;
    m_cmds.clear();
    m_retiredCfgs += m_cfgs;
    m_cfgs.clear();
    qDeleteAll(m_retiredCmds);
    m_retiredCmds.clear();
    qDeleteAll(m_retiredCfgs);
    m_retiredCfgs.clear();
    m_devices.clear();
    m_progs.clear();
    m_retiredDevices.clear();
    m_retiredProgs.clear();
}
