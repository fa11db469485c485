#include "data/TDataCfg.h"


#include "core/consts.h"

int TDataCfg::s_idCounter = 0;

TDataCfg::TDataCfg() : TDataCfg(QString(), QString())
{
}

TDataCfg::TDataCfg(const QString &name, const QString &description)
    : m_id(s_idCounter++), m_name(name), m_description(description)
{
}

TDataCfg::~TDataCfg() = default;

int TDataCfg::id() const
{
    return m_id;
}

QString TDataCfg::name() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_name;
}

void TDataCfg::setName(const QString &name)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_name = name;
}

QString TDataCfg::description() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_description;
}

void TDataCfg::setDescription(const QString &description)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_description = description;
}

int TDataCfg::execState() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_execState;
}

void TDataCfg::setExecState(int state)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_execState = state;
}

TData TDataCfg::toHash() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    TData data;
    data.insert(PRJ_NAME, m_name);
    return data;
}

void TDataCfg::fromHash(const TData &data)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_name = data.value(PRJ_NAME).toString();
}

void TDataCfg::resetIdCounter()
{
    s_idCounter = 0;
}

void TDataCfg::reserveIds(int next)
{
    s_idCounter = qMax(s_idCounter, next);
}

TJsonExtra TDataCfg::extra() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_extra;
}

void TDataCfg::setExtra(const TJsonExtra &extra)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_extra = extra;
}
