#include "data/TDataCmd.h"

#include "core/consts.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/param_schema.h"

int TDataCmd::s_idCounter = 0;

static const char *const s_recordKeys[] = {REC_ID_CMD, REC_ID_CFG, REC_STATUS,
                                           REC_CMD, REC_VALID_DEV, REC_VALID_PARAM};

bool TDataCmd::isRecordKey(const QString &key)
{
    for (const char *recordKey : s_recordKeys)
        if (key == QLatin1String(recordKey))
            return true;
    return false;
}

static TData withoutRecordKeys(const TData &data)
{
    TData params = data;
    for (const char *recordKey : s_recordKeys)
        params.remove(QLatin1String(recordKey));
    return params;
}

TDataCmd::TDataCmd(bool status, int idCfg, const QString &cmd, const TData &params)
    : m_id(s_idCounter++), m_idCfg(idCfg), m_status(status), m_cmd(cmd), m_params(params)
{
}

TDataCmd::~TDataCmd() = default;

int TDataCmd::id() const
{
    return m_id;
}

bool TDataCmd::status() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_status;
}

void TDataCmd::setStatus(bool status)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_status = status;
    m_statusDamaged = false;
    m_statusText.clear();
}

void TDataCmd::setStoredStatus(const QVariant &stored)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    bool on = false;
    m_statusDamaged = stored.isValid() && !schema::readFlag(stored, on);
    m_status = m_statusDamaged || on;
    m_statusText = m_statusDamaged ? stored.toString() : QString();
}

bool TDataCmd::statusDamaged() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_statusDamaged;
}

QString TDataCmd::statusText() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_statusDamaged)
        return m_statusText;
    return m_status ? QStringLiteral("1") : QStringLiteral("0");
}

bool TDataCmd::validDev() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_validDev;
}

void TDataCmd::setValidDev(bool valid)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_validDev = valid;
}

bool TDataCmd::validParam() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_validParam;
}

void TDataCmd::setValidParam(bool valid)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (valid == m_validParam)
        return;
    TDataPrj::noteChange();
    m_validParam = valid;
}

int TDataCmd::idCfg() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_idCfg;
}

void TDataCmd::setIdCfg(int idCfg)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_idCfg = idCfg;
}

QString TDataCmd::cmd() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_cmd;
}

TData TDataCmd::params() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_params;
}

void TDataCmd::clearParams()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_params.clear();
}

IDevice *TDataCmd::handler() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_handler;
}

void TDataCmd::setHandler(IDevice *handler)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_handler = handler;
}

IDevice *TDataCmd::device() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_device;
}

void TDataCmd::setDevice(IDevice *device)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_device = device;
}

TProg *TDataCmd::prog() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_prog;
}

void TDataCmd::setProg(TProg *prog)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    m_prog = prog;
}

TData TDataCmd::toHash() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TData data = m_params;
    data.insert(REC_ID_CMD, m_id);
    data.insert(REC_ID_CFG, m_idCfg);
    data.insert(REC_STATUS, m_statusDamaged ? QVariant(m_statusText) : QVariant(m_status));
    data.insert(REC_CMD, m_cmd);
    data.insert(REC_VALID_DEV, m_validDev);
    data.insert(REC_VALID_PARAM, m_validParam);
    return data;
}

void TDataCmd::fromHash(const TData &data)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    setStoredStatus(data.value(REC_STATUS));
    m_idCfg = data.value(REC_ID_CFG).toInt();
    m_cmd = data.value(REC_CMD).toString();
    m_params = withoutRecordKeys(data);
}

void TDataCmd::putParams(const TData &data)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
        if (it.key() == QLatin1String(REC_ID_CMD))
            continue;
        m_params.insert(it.key(), it.value().toString());
    }
}

void TDataCmd::putResult(const QString &key, const QString &value)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_params.insert(key, value);
}

bool TDataCmd::normalizeParams()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_handler)
        return false;
    TData data = toHash();
    const bool changed = m_handler->normalizeCmdParam(data);
    if (changed)
        fromHash(data);
    return changed;
}

void TDataCmd::updateValidParam()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TDataPrj::noteChange();
    if (m_handler)
        m_validParam = m_handler->validParams(toHash());
}

void TDataCmd::resetIdCounter()
{
    s_idCounter = 0;
}

void TDataCmd::reserveIds(int next)
{
    s_idCounter = qMax(s_idCounter, next);
}
