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
#include <mutex>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include "core/TCodeView.h"
#include "core/TData.h"
#include "core/TFileSeen.h"
#include "core/TJsonShape.h"

class IDevice;
class TDataCfg;
class TDataCmd;
class TProg;

// Records copied for a later paste, into the project they came from or
// another one: the commands' full records in order and, for a configuration
// copied whole, its id, name and description. Ids name records only within
// the generation of the project they came from (every project's ids restart
// at 0), which the clip keeps.
struct TDataClip
{
    QList<TData> cmds;
    int idCfg = -1;   // the configuration copied whole; -1 for commands
    QString name;
    QString description;
    quint64 generation = 0;
};

class TDataPrj : public QObject
{
    Q_OBJECT

public:
    explicit TDataPrj(QObject *parent = nullptr);
    ~TDataPrj() override;

    // --- Project
    // A number that moves with every change of the project's commands (a
    // record's code, parameters, flags, resolved objects or configuration),
    // of their order, its configurations and its folders: what a walk of the
    // commands found holds while it stands still. The commands change it too.
    static quint64 revision();
    static void noteChange();

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
    // The members of the project file's top level that the reader does not
    // know, written back as they stood.
    TJsonExtra fileExtra() const;
    void setFileExtra(const TJsonExtra &extra);
    // What this copy last read or wrote of the project file (GUI thread).
    TFileSeen &fileSeen() { return m_fileSeen; }
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

    // --- Copy and paste (TDataPrj_paste.cpp)
    // Changes with every clear and never comes back: ids name the same
    // records only within one generation.
    quint64 generation() const;
    // The records of the commands of those ids, in that order.
    TDataClip copyCmds(const QList<int> &cmdIds) const;
    // The configuration with the records of all its commands.
    TDataClip copyCfg(int cfgId) const;
    // Inserts the clip's commands into configuration cfgId at index (appends
    // when negative); returns their ids in order. Each reference they hold
    // (an execute's configuration, a jump's command, a route's
    // configuration) names the pasted copy of its target when the target
    // came along in the clip; else, pasted into the project and generation
    // it came from, the same target while that is there; else nothing (-1,
    // a dead reference: the command is invalid). A damaged one stays as it
    // stands.
    QList<int> pasteCmds(const TDataClip &clip, int cfgId, int index);
    // A new configuration of that name at index with the clip's description
    // and commands, as pasteCmds pastes them (references to the configuration
    // copied name the new one); returns its id.
    int pasteCfg(const TDataClip &clip, const QString &name, int index);

    // --- Validation and parameter updates (TDataPrj_validate.cpp)
    // Which object handles a command, and which device and programmer are in
    // force for it, follow from the commands before it in its configuration:
    // the last "set_prog" chooses the programmer, the last "set_device" after
    // it the device. Validation stores the three in the command together with
    // its "valid_dev" and "valid_param" flags.

    // The cached provider of that name, made on first request from the
    // description file (or, for "Tools" and "Prog", from the group name);
    // null when it cannot be made. A cached object ignores the file.
    IDevice *deviceByName(const QString &name, const QString &file);
    // The cached programmer description of a programmer name, made on first
    // request through the programmer-name and -type lists; null when none.
    TProg *progByName(const QString &name);
    // The caches forget their objects; they are freed once nothing uses them.
    void clearDeviceCache();

    // Names in force at a list index (a negative index: the last command),
    // walking back through the configuration's own commands; empty when none.
    QString progNameAt(int cfgId, int index) const;
    QString deviceNameAt(int cfgId, int index) const;
    // "Tools", "Prog" or the name of the device that handles the code there.
    QString handlerNameOf(int cfgId, int index, const QString &code) const;

    // Resolves the command at that index (outside the list: nothing).
    void validateCmd(int index);
    // validateCmd for every command, first to last.
    void validateAll();
    // Merges an edited record into a command and emits signalChangeData(12, ...).
    // A new device of a "set_device" or any change of a "set_prog" re-validates
    // the project, a new family of an "auto_detect" that command; every other
    // edit re-checks only the edited command's parameters.
    void setCmdParam(int cmdId, const TData &data);
    // What a run stores in its command (a counter's count, the data a read
    // read), in a key that no check before a run reads: merged and shown as
    // setCmdParam does, without a new revision unless the command's
    // validity moves.
    void setCmdResult(int cmdId, const char *key, const QString &value);

    // The "set_prog" in force at a command; null when none.
    TDataCmd *progCmdBefore(int cmdId) const;
    // List index of the "set_device" in force at a command; -1 when none.
    int deviceCmdIndexBefore(int cmdId) const;
    // A device command follows the command at index before the next
    // "set_prog" or "set_device" of its configuration.
    bool hasDeviceCmdAfter(int index) const;
    // Removes the device commands after the "set_device" in force at a command.
    void removeDeviceCmdsAfter(int cmdId);

    // What the command selector offers after a command.
    QStringList toolsCmdList() const;
    QStringList progCmdListAt(int cmdId);
    QStringList deviceCmdListAt(int cmdId);

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
    // setModified without a new revision: what changed is nothing a walk
    // of the project reads.
    void markModified();
    // Hands the command's record to the views (signalChangeData(12, ...)).
    void publishCmd(const TDataCmd *c);
    // A command made from a record ("id_cfg", "status", "cmd" and the
    // parameters), not yet in the list.
    static TDataCmd *makeCmd(const TData &data);
    void insertCmd(TDataCmd *cmd, int index);
    // pasteCmds with the configurations pasted along (copied id to new id).
    QList<int> insertClip(const TDataClip &clip, int cfgId, int index, const QHash<int, int> &cfgsPasted);
    // Ticks or unticks the command, judging it again when its stored
    // "status" was damaged.
    void setStatusOf(TDataCmd *cmd, bool status);
    // Validation helpers. findBack: from index (negative: the last command)
    // back through the commands of cfgId, the index of the first command of
    // that code; -1 at another configuration, at the start of the list or,
    // when asked, at a "set_prog". validParamAt: a parameter of the command
    // at index when its "valid_dev" is set, else empty. isDeviceCmdAt: the
    // command is a device command. endsDeviceRun: the command ends the run
    // of device commands of a "set_device" in configuration cfgId.
    int findBack(int cfgId, int index, const char *code, bool stopAtSetProg) const;
    QString validParamAt(int index, const char *key) const;
    bool isDeviceCmdAt(int index) const;
    bool endsDeviceRun(int index, int cfgId) const;
    void retireAllCaches();
    // Frees what was retired, as far as nothing can still use it.
    void releaseRetired();
    // The same, called in the project's thread by a worker's last run.
    void releaseRetiredLocked();
    void freeAll();

    mutable std::recursive_mutex m_mutex;
    bool m_modified = false;
    quint64 m_generation = 0;
    QString m_prjName;
    QString m_prjFile;
    QString m_workPath;
    TJsonExtra m_fileExtra;
    TFileSeen m_fileSeen;
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
