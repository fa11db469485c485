#pragma once
// A command of a configuration: its code, its parameters, its enabled flag
// and the validity flags and objects that validation resolves for it. Read
// and written by the GUI and by execution workers at the same time, so every
// access except the id is locked.

#include <mutex>
#include <QString>
#include <QVariant>

#include "core/TData.h"

class IDevice;
class TProg;

class TDataCmd
{
public:
    // params: the parameters without the record keys.
    TDataCmd(bool status, int idCfg, const QString &cmd, const TData &params);
    virtual ~TDataCmd();

    // Unique within the open project, never reused until the counter is reset.
    int id() const;

    // Ticked (enabled). A stored "status" that is neither on nor off counts
    // as ticked, so that a run meets the command and refuses it, and stays
    // as stored until the user ticks or unticks it.
    bool status() const;
    void setStatus(bool status);
    // The "status" as stored: on, off, absent (off) or damaged.
    void setStoredStatus(const QVariant &stored);
    bool statusDamaged() const;
    // "1" or "0", or the damaged text as stored.
    QString statusText() const;
    bool validDev() const;
    void setValidDev(bool valid);
    bool validParam() const;
    void setValidParam(bool valid);
    int idCfg() const;
    void setIdCfg(int idCfg);
    QString cmd() const;
    // The parameters only, without the record keys.
    TData params() const;
    void clearParams();

    // Borrowed from the project's caches; the command never frees them.
    IDevice *handler() const;
    void setHandler(IDevice *handler);
    IDevice *device() const;
    void setDevice(IDevice *device);
    TProg *prog() const;
    void setProg(TProg *prog);

    // The published form: the parameters plus the six record keys, whose
    // values always come from the record itself.
    TData toHash() const;
    // Replaces status, configuration, code and parameters from a record.
    void fromHash(const TData &data);
    // Merges every key but "id_cmd" into the parameters, as text.
    void putParams(const TData &data);
    // Stores what a run found (a counter's count, the data a read read) in
    // a key that nothing before a run reads to judge the run, so that what a
    // walk of the project found stands.
    void putResult(const QString &key, const QString &value);
    // Lets the handler rewrite device-derived values; true when it did.
    bool normalizeParams();
    // validParam := the handler's check of the record (kept without handler).
    void updateValidParam();

    // Ids start again at 0; only the project's clear does this.
    static void resetIdCounter();
    // The ids made from now on are next or more (the loader keeps those
    // that references of the file hold free).
    static void reserveIds(int next);

    // The six keys that describe the record rather than its parameters.
    static bool isRecordKey(const QString &key);

private:
    Q_DISABLE_COPY(TDataCmd)

    mutable std::recursive_mutex m_mutex;
    const int m_id;
    int m_idCfg;
    bool m_status;
    bool m_statusDamaged = false;
    QString m_statusText;   // the damaged "status" as stored
    bool m_validDev = false;
    bool m_validParam = false;
    QString m_cmd;
    TData m_params;
    IDevice *m_handler = nullptr;
    IDevice *m_device = nullptr;
    TProg *m_prog = nullptr;

    static int s_idCounter;
};
