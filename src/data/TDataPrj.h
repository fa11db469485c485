#pragma once
// The open project: its configurations, the commands of all configurations
// in one list, the caches of device objects and programmer descriptions, and
// the modified flag. The GUI edits it; execution workers walk and update its
// commands from their own threads, so every operation holds the project's
// recursive mutex (project first, record second).
//
// Records and cached objects are owned by the project. A record or object
// that leaves the project (removed, cleared or dropped from a cache) is
// retired rather than destroyed while a run is active (beginRun / endRun),
// because a run may still hold pointers to it; retired records are freed as
// soon as no run is active, and retired device and programmer objects once,
// in addition, no command points at them any more.

#include <QHash>
#include <QList>
#include <QObject>
#include <QRecursiveMutex>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include "core/TCodeView.h"
#include "core/TData.h"

class IDevice;
class TDataCfg;
class TDataCmd;
class TProg;

class TDataPrj : public QObject
{
    Q_OBJECT

public:
    explicit TDataPrj(QObject *parent = nullptr);
    ~TDataPrj() override;

    // --- Project
    bool isOpen() const;
    bool isModified() const;
    // Marks the project modified and emits signalChangePrj(true), every time.
    void setModified();
    void resetModified();
    QString prjName() const;
    void setPrjName(const QString &name);
    QString prjFile() const;
    void setPrjFile(const QString &file);
    QString workPath() const;
    // "prj_file" and "work_path".
    void fromHash(const TData &data);
    TData toHash() const;
    // Empties an open project and restarts the id counters; does nothing
    // while no project file is set.
    void clear();
    QList<TDataCfg *> cfgList() const;
    QList<TDataCmd *> cmdList() const;
    QStringList cfgNames() const;

    // --- Configurations
    // Inserts at index (appends when negative or past the end); returns the id.
    int addCfg(const QString &name, const QString &description, int index = -1);
    void removeCfg(int cfgId);
    void moveCfg(int from, int to);
    void setCfgName(int cfgId, const QString &name);
    void setCfgDescription(int cfgId, const QString &description);
    void setCfgExecState(int cfgId, int state);
    int cfgExecState(int cfgId) const;
    TDataCfg *cfgById(int cfgId) const;
    int cfgIndexById(int cfgId) const;
    int cfgIdAt(int index) const;
    int cfgIdByName(const QString &name) const;
    QString cfgName(int cfgId) const;

    // --- Commands
    // "id_cfg", "status" and "cmd" of the record make the command, the other
    // keys but the record keys are its parameters. Inserts at index (appends
    // when negative or not below the count); returns the new id.
    int addCmd(const TData &data, int index = -1);
    void removeCmd(int cmdId);
    void removeCmdsOfCfg(int cfgId);
    void moveCmd(int cmdId, int offset);
    void setCmdStatus(int cmdId, bool status);
    void setCfgStatus(int cfgId, bool status);
    TDataCmd *cmdById(int cmdId) const;
    int cmdIndexById(int cmdId) const;
    int cmdIdAt(int index) const;
    QList<TDataCmd *> cmdsOfCfg(int cfgId) const;
    int cmdRowInCfg(int cfgId, int cmdId) const;
    int cmdRowByIndex(int index) const;
    int cfgIdAtIndex(int index) const;
    int cfgIdOfCmd(int cmdId) const;
    int cfgIndexOfCmd(int cmdId) const;
    bool hasEnabledCmd(int cfgId) const;
    bool hasInvalidDevCmd(int cfgId) const;
    // The next enabled command of the configuration after prevId (from the
    // start when prevId is negative or names no command); null at the end.
    TDataCmd *nextEnabledCmd(int cfgId, int prevId) const;
    void normalizeAllCmds();
    void updateAllValidParam();

    // --- Validation and parameter updates
    void validateCmd(int index);
    void validateAll();
    // Merges an edited record into a command and emits signalChangeData(12, ...).
    void setCmdParam(int cmdId, const TData &data);
    // The caches forget their objects; they are freed once nothing uses them.
    void clearDeviceCache();

    // --- Runs
    // A run reads records and cached objects through pointers while the GUI
    // edits the project; between these two calls nothing it may hold is freed.
    void beginRun();
    void endRun();
    int activeRuns() const;

signals:
    void signalChangeData(TCodeView code, const TData &data);
    void signalChangePrj(bool modified);

protected:
    // The device cache: an object stored under a name is owned by the
    // project from then on; one stored over another retires the other.
    void cacheDevice(const QString &name, IDevice *device);
    IDevice *cachedDevice(const QString &name) const;

private:
    Q_DISABLE_COPY(TDataPrj)

    int cmdIndexOf(int cmdId) const;
    void retireCmd(TDataCmd *cmd);
    void retireAllCaches();
    // Frees what was retired, as far as nothing can still use it.
    void releaseRetired();
    void freeAll();

    mutable QRecursiveMutex m_mutex;
    bool m_modified = false;
    QString m_prjName;
    QString m_prjFile;
    QString m_workPath;
    QList<TDataCfg *> m_cfgs;
    QList<TDataCmd *> m_cmds;
    QHash<QString, QSharedPointer<IDevice>> m_devices;
    QHash<QString, QSharedPointer<TProg>> m_progs;

    int m_runs = 0;
    QList<TDataCfg *> m_retiredCfgs;
    QList<TDataCmd *> m_retiredCmds;
    QList<QSharedPointer<IDevice>> m_retiredDevices;
    QList<QSharedPointer<TProg>> m_retiredProgs;
};

// The open project of the program.
extern TDataPrj dataPrj;
