#pragma once
// The interface of every command provider: each chip family, the programmer
// commands and the tool commands. The project asks it which commands exist
// and has it fill, check and normalise their parameters; the views ask it for
// forms and summaries; the execution worker asks it for an executor.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "core/TData.h"
#include "devices/TCheck.h"

class IDeviceExec;
class QWidget;

class IDevice : public QObject
{
public:
    // The object name is the device name; the command groups use theirs
    // ("Tools", "Prog") to tell their commands from device commands.
    explicit IDevice(const QString &name);
    ~IDevice() override;

    // True when the provider offers the command code.
    virtual bool hasCmd(const QString &code) = 0;
    // The codes offered to the user in display order, separators included.
    virtual QStringList cmdList() = 0;
    // Fills the default parameters of a new command by its "cmd" code.
    virtual void initCmdParam(TData &data) = 0;
    // One-line summary of the parameters; form is the open parameter form or null.
    virtual QString cmdParamText(const TData &data, QWidget *form) = 0;
    // The parameter form of the command; the caller owns it.
    virtual QWidget *createCmdForm(const TData &data) = 0;
    // Turns the record a form emitted into the record to store.
    virtual TData cmdParamFromForm(const TData &data) = 0;
    // Rewrites values derived from the device; true when the record changed.
    virtual bool normalizeCmdParam(TData &data) = 0;
    // Whether the parameters are valid for this provider; a refusal names
    // the key at fault and why.
    virtual TCheck checkCmdParam(const TData &data) = 0;
    // The same of the device-level parameters of a "set_device" record.
    virtual TCheck checkDevParam(const TData &data) = 0;
    // Adds the default device-level parameters; true when the device has any.
    virtual bool initDevParam(TData &data) = 0;
    // The form of the device-level parameters, or null when there are none.
    virtual QWidget *createDevParamForm(const TData &data) = 0;
    // The device set-up record sent to the programmer; empty for the groups.
    virtual QByteArray devSetup(const TData &data) = 0;
    // A new executor for the command; the caller owns and deletes it.
    virtual IDeviceExec *createExec(const TData &data) = 0;
    // Whether a run can carry out a command whose parameters are valid:
    // refused (with the executor's own reason) where no programmer carries
    // it out, so that a run refuses it before anything is sent instead of
    // failing there. Valid for every command of most providers.
    virtual TCheck runCheck(const TData &data);

    // The command's "valid_param": every value it keeps reads as what its
    // key holds (param_schema.h) and checkCmdParam accepts it.
    bool validParams(const TData &data);
    // The same verdict with its reason: a damaged value first, then the
    // check of the command.
    TCheck paramCheck(const TData &data);
    // What the run and the command list say of a command refused by
    // paramCheck; empty when its parameters are valid.
    QString refusalText(const TData &data);

    QString name() const;
    QStringList info() const;
    void setInfo(const QStringList &info);
    TData params() const;
    void setParams(const TData &params);

    // Display name of the record's command code.
    QString cmdName(const TData &data) const;
    // The name a refusal and the run's log give the record's command: its
    // display name, or the code as stored where the catalogue has none (a
    // "separator" row, a code of another program), so that no refusal
    // names a command "".
    static QString shownName(const TData &data);
    // The device parameter "reset"; false when absent.
    bool isReset() const;
    // The programmer interface section whose clock choices apply ("prg_par").
    QString prgPar() const;
    // The programmer section describing the chip's connection ("prg_con").
    QString prgCon() const;

private:
    Q_DISABLE_COPY(IDevice)

    TData m_params;
    QString m_name;
    QStringList m_info;
};
