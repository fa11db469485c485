#include "data/TCtrlProject.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include "core/TFileSeen.h"
#include "core/TJsonShape.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/param_schema.h"

static QString pair(const QString &key, const QString &value)
{
    return QStringLiteral("\"%1\": \"%2\"").arg(jsonStringText(key), jsonStringText(value));
}

// The decimal position of the record an id names, in a map of id to
// position. A reference to nothing is written as it stands (a damaged one,
// a number that no record of the file is at), so that it stays shown and
// refused after a reload; only a number that the file would read as the
// position of another record (the id of a record deleted since the load)
// is written -1, which names none wherever it is read.
static QString positionText(const schema::Reference &r, const QHash<int, int> &positions)
{
    int id = -1;
    if (!schema::idOf(r, id) || id < 0)
        return r.text;
    const auto it = positions.constFind(id);
    if (it != positions.constEnd())
        return QString::number(*it);
    return id < positions.size() ? QStringLiteral("-1") : r.text;
}

// Past every id that a reference of the record holds, by what it names
// (configurations, commands). The records of a file get the ids 0, 1, ...
// of their positions, and those made after the load start past these, so
// that a reference to nothing never comes to name a record added later.
// Ids from 2^30 up are beyond any count of records a session makes.
static void notePastReferences(const TData &data, int &nextCfg, int &nextCmd)
{
    constexpr int reach = 1 << 30;
    for (const schema::Reference &r : schema::referencesOf(data)) {
        int id = -1;
        if (!schema::idOf(r, id) || id < 0 || id >= reach)
            continue;
        int &next = r.names == schema::Kind::Command ? nextCmd : nextCfg;
        next = qMax(next, id + 1);
    }
}

TCtrlProject::TCtrlProject(QObject *parent) : QObject(parent)
{
}

TCtrlProject::~TCtrlProject() = default;

QString TCtrlProject::lastError() const
{
    return m_lastError;
}

int TCtrlProject::load(const QString &fileName, TDataPrj *project)
{
    QByteArray bytes;
    if (!readFile(fileName, bytes))
        return 1;
    if (bytes.isEmpty())
        addDefaultConfig(project);
    else if (!parseJson(bytes, project))
        return 2;
    project->fileSeen().note(fileName, bytes);
    TData data;
    data.insert(INFO_PRJ_FILE, absoluteFilePath(fileName));
    data.insert(PRJ_WORK_PATH, dirOfFile(fileName));
    project->fromHash(data);
    return 0;
}

bool TCtrlProject::readFile(const QString &fileName, QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_lastError = file.errorString();
        return false;
    }
    return true;
}

bool TCtrlProject::parseJson(const QByteArray &bytes, TDataPrj *project)
{
    // The whole text is read before the project gets anything of it.
    struct Cfg
    {
        QString name;
        QString description;
        QList<TData> cmds;
        TJsonExtra extra;
    };
    QList<Cfg> cfgs;
    TJsonShape shape(&m_lastError);
    QJsonObject top;
    QJsonArray cfgValues;
    TJsonRaw raw;
    if (!shape.document(bytes, PRJ_CONFIGURATIONS, &top, &cfgValues, &raw))
        return false;
    const TJsonRaw *rawCfgs = raw.member(PRJ_CONFIGURATIONS);
    for (int i = 0; i < cfgValues.size(); ++i) {
        QJsonObject cfg;
        QJsonValue name, description, cmdArray;
        if (!shape.enter(cfgValues.at(i), MSG_CONFIGURATION, i, &cfg)
            || !shape.member(cfg, PRJ_NAME, TJsonShape::Text, &name)
            || !shape.member(cfg, PRJ_DESCRIPTION, TJsonShape::Text, &description)
            || !shape.member(cfg, PRJ_COMMANDS, TJsonShape::Array, &cmdArray))
            return false;
        cfgs.append({name.toString(), description.toString(), {}, {}});
        if (rawCfgs && i < rawCfgs->values.size())
            cfgs.last().extra = extraMembers(rawCfgs->values.at(i), {PRJ_NAME, PRJ_DESCRIPTION}, PRJ_COMMANDS);
        const QJsonArray cmdValues = cmdArray.toArray();
        for (int j = 0; j < cmdValues.size(); ++j) {
            QJsonObject cmd;
            if (!shape.enter(cmdValues.at(j), MSG_COMMAND, j, &cmd))
                return false;
            TData data;
            for (auto it = cmd.constBegin(); it != cmd.constEnd(); ++it) {
                QJsonValue value;
                if (!shape.member(cmd, it.key(), TJsonShape::Text, &value))
                    return false;
                data.insert(it.key(), value.toString());
            }
            cfgs.last().cmds.append(data);
            shape.leave();
        }
        shape.leave();
    }
    int nextCfg = 0, nextCmd = 0;
    for (const Cfg &cfg : qAsConst(cfgs)) {
        const int cfgId = project->addCfg(cfg.name, cfg.description, -1);
        project->cfgById(cfgId)->setExtra(cfg.extra);
        for (TData data : cfg.cmds) {
            notePastReferences(data, nextCfg, nextCmd);
            // The command belongs to the configuration it is listed in.
            data.insert(REC_ID_CFG, cfgId);
            project->addCmd(data, -1);
        }
    }
    TDataCfg::reserveIds(nextCfg);
    TDataCmd::reserveIds(nextCmd);
    project->setFileExtra(extraMembers(raw, {PRJ_VERSION}, PRJ_CONFIGURATIONS));
    return true;
}

void TCtrlProject::addDefaultConfig(TDataPrj *project)
{
    project->addCfg(QStringLiteral("Config"), QString(), -1);
}

QString TCtrlProject::projectText(TDataPrj *project)
{
    const QList<TDataCfg *> cfgs = project->cfgList();
    QHash<int, int> cfgPositions;
    QHash<int, int> cmdPositions;
    QList<QList<TDataCmd *>> cmdsPerCfg;
    for (int i = 0; i < cfgs.size(); ++i) {
        cfgPositions.insert(cfgs.at(i)->id(), i);
        cmdsPerCfg << project->cmdsOfCfg(cfgs.at(i)->id());
        for (const TDataCmd *cmd : qAsConst(cmdsPerCfg.last()))
            cmdPositions.insert(cmd->id(), cmdPositions.size());
    }

    // Lines without their line ends; the configurations' lines, the
    // commands' lines and the members the reader did not know each as they
    // stand in their object.
    QStringList cfgLines;
    cfgLines << QStringLiteral("    [");
    for (int i = 0; i < cfgs.size(); ++i) {
        const TDataCfg *cfg = cfgs.at(i);
        if (i > 0)
            cfgLines.last() += QLatin1Char(',');
        cfgLines << QStringLiteral("        {");
        cfgLines << QLatin1String("            ") + pair(PRJ_NAME, cfg->name()) + QLatin1Char(',');
        cfgLines << QLatin1String("            ") + pair(PRJ_DESCRIPTION, cfg->description()) + QLatin1Char(',');
        QString cmdText;
        const QList<TDataCmd *> &cmds = cmdsPerCfg.at(i);
        for (int j = 0; j < cmds.size(); ++j) {
            const TDataCmd *cmd = cmds.at(j);
            if (j > 0)
                cmdText += QLatin1String(",\n");
            const QString cmdCode = cmd->cmd();
            cmdText += QLatin1String("                {") + pair(REC_STATUS, cmd->statusText())
                       + QLatin1String(", ") + pair(REC_CMD, cmdCode);
            const TData params = cmd->params();
            QStringList keys = params.keys();
            keys.sort();
            for (const QString &key : qAsConst(keys)) {
                // Record keys merged in as parameters are the record's own
                // business; written again they would repeat "status" or
                // "cmd" with a stale value that wins on reading.
                if (TDataCmd::isRecordKey(key))
                    continue;
                // Every reference it holds as the position of what it names.
                const QString value = schema::withReferences(
                    cmdCode, key, params.value(key).toString(), [&](const schema::Reference &r) {
                        return positionText(r, r.names == schema::Kind::Command ? cmdPositions : cfgPositions);
                    });
                cmdText += QLatin1String(", ") + pair(key, value);
            }
            cmdText += QLatin1String("}");
        }
        // With no commands an empty line stands between the brackets.
        const QStringList cmdLines{QLatin1String("            \"") + PRJ_COMMANDS + QLatin1String("\":"),
                                   QStringLiteral("            ["), cmdText, QStringLiteral("            ]")};
        const QStringList lines = withExtraLines(cfg->extra(), QStringLiteral("            "), cmdLines);
        cfgLines << lines << QStringLiteral("        }");
    }
    // With no configurations an empty line stands between the brackets.
    if (cfgs.isEmpty())
        cfgLines << QString();
    cfgLines << QStringLiteral("    ]");

    QStringList lines{QStringLiteral("{"), QLatin1String("    \"") + PRJ_VERSION + QLatin1String("\": 1,")};
    lines << withExtraLines(project->fileExtra(), QStringLiteral("    "),
                            QStringList{QLatin1String("    \"") + PRJ_CONFIGURATIONS + QLatin1String("\":")}
                                + cfgLines);
    lines << QStringLiteral("}");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

TCtrlProject::SaveResult TCtrlProject::save(const QString &fileName, TDataPrj *project, bool overwrite)
{
    // Overwritten, the file is noted only once it is written: a save that
    // fails still knows what the file held before.
    TFileSeen anyFile;
    TFileSeen &seen = overwrite ? anyFile : project->fileSeen();
    QByteArray theirs;
    const TFileSeen::Outcome outcome = seen.save(fileName, projectText(project).toUtf8(), true, &m_lastError, &theirs);
    if (outcome == TFileSeen::Written && overwrite)
        project->fileSeen() = anyFile;
    return outcome == TFileSeen::Written ? Saved : outcome == TFileSeen::Changed ? Changed : Failed;
}
