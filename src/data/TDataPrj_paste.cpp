// Copying records and pasting them, into the project they came from or
// another one, with every reference they hold naming what it should there.

#include "data/TDataPrj.h"

#include "core/consts.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "devices/param_schema.h"

quint64 TDataPrj::generation() const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_generation;
}

TDataClip TDataPrj::copyCmds(const QList<int> &cmdIds) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // One walk of the list however many commands are copied (a whole
    // configuration's).
    QHash<int, const TDataCmd *> byId;
    for (const TDataCmd *cmd : m_cmds)
        byId.insert(cmd->id(), cmd);
    TDataClip clip;
    clip.generation = m_generation;
    for (int id : cmdIds)
        if (const TDataCmd *cmd = byId.value(id))
            clip.cmds << cmd->toHash();
    return clip;
}

TDataClip TDataPrj::copyCfg(int cfgId) const
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const TDataCfg *cfg = cfgById(cfgId);
    if (!cfg)
        return TDataClip();
    QList<int> ids;
    for (const TDataCmd *cmd : cmdsOfCfg(cfgId))
        ids << cmd->id();
    TDataClip clip = copyCmds(ids);
    clip.idCfg = cfgId;
    clip.name = cfg->name();
    clip.description = cfg->description();
    return clip;
}

QList<int> TDataPrj::pasteCmds(const TDataClip &clip, int cfgId, int index)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return insertClip(clip, cfgId, index, {});
}

int TDataPrj::pasteCfg(const TDataClip &clip, const QString &name, int index)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const int id = addCfg(name, clip.description, index);
    QHash<int, int> pasted;
    if (clip.idCfg >= 0)
        pasted.insert(clip.idCfg, id);
    insertClip(clip, id, -1, pasted);
    return id;
}

QList<int> TDataPrj::insertClip(const TDataClip &clip, int cfgId, int index, const QHash<int, int> &cfgsPasted)
{
    setModified();
    // The copies first, so that a reference may name one made after it.
    QList<TDataCmd *> made;
    QHash<int, int> cmdsPasted;
    for (TData record : clip.cmds) {
        record.insert(QLatin1String(REC_ID_CFG), cfgId);
        TDataCmd *cmd = makeCmd(record);
        if (record.contains(QLatin1String(REC_ID_CMD)))
            cmdsPasted.insert(schema::cmdId(record), cmd->id());
        made << cmd;
    }
    const bool sameProject = clip.generation == m_generation;
    const auto remap = [&](const schema::Reference &r) {
        int id = -1;
        if (!schema::idOf(r, id))
            return r.text;
        const bool command = r.names == schema::Kind::Command;
        const QHash<int, int> &pasted = command ? cmdsPasted : cfgsPasted;
        const auto it = pasted.constFind(id);
        if (it != pasted.constEnd())
            return QString::number(*it);
        if (sameProject && (command ? cmdIndexOf(id) >= 0 : cfgIndexById(id) >= 0))
            return r.text;
        return QStringLiteral("-1");
    };
    QList<int> ids;
    for (TDataCmd *cmd : qAsConst(made)) {
        const TData params = cmd->params();
        TData remapped;
        for (auto it = params.constBegin(); it != params.constEnd(); ++it) {
            const QString value = it.value().toString();
            const QString now = schema::withReferences(cmd->cmd(), it.key(), value, remap);
            if (now != value)
                remapped.insert(it.key(), now);
        }
        cmd->putParams(remapped);
        insertCmd(cmd, index);
        if (index >= 0)
            ++index;
        ids << cmd->id();
    }
    return ids;
}
