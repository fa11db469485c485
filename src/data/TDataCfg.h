#pragma once
// A configuration of the project: a named, ordered list of commands (the
// commands themselves live in the project's command list). Read by the GUI
// and by execution workers at the same time, so every access is locked.

#include <mutex>
#include <QString>

#include "core/TData.h"
#include "core/TJsonShape.h"

class TDataCfg
{
public:
    TDataCfg();
    TDataCfg(const QString &name, const QString &description);
    virtual ~TDataCfg();

    // Unique within the open project, never reused until the counter is reset.
    int id() const;

    QString name() const;
    void setName(const QString &name);
    QString description() const;
    void setDescription(const QString &description);
    // A TExecState value; only the main window changes it.
    int execState() const;
    void setExecState(int state);

    // The members of the configuration in its file that the reader does not
    // know, written back as they stood.
    TJsonExtra extra() const;
    void setExtra(const TJsonExtra &extra);

    // A record holding the name only.
    TData toHash() const;
    void fromHash(const TData &data);

    // Ids start again at 0; only the project's clear does this.
    static void resetIdCounter();
    // The ids made from now on are next or more (the loader keeps those
    // that references of the file hold free).
    static void reserveIds(int next);

private:
    Q_DISABLE_COPY(TDataCfg)

    mutable std::recursive_mutex m_mutex;
    const int m_id;
    QString m_name;
    QString m_description;
    int m_execState = 0;
    TJsonExtra m_extra;

    static int s_idCounter;
};
