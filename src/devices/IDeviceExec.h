#pragma once
// The interface of an executor: an object made for one command of one run,
// which carries the command out over the serial link and reports log lines
// and progress.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "core/TData.h"
#include "devices/TCheck.h"
#include "devices/TCodeExec.h"
#include "misc/TRangeSet.h"

class TFormat;
class TSerialPort;

class IDeviceExec : public QObject
{
    Q_OBJECT

public:
    // params: the command's record (its parameters and the record keys).
    explicit IDeviceExec(const TData &params, QObject *parent = nullptr);
    ~IDeviceExec() override;

    // Carries the command out. False means failure with errorText set. It may
    // set *stopRun to end the run after this command, and rewrite *cfgId and
    // *lastCmdId so that the run continues after that command of that
    // configuration (-1: from its start).
    virtual bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) = 0;
    // Reads the chip's identification into text.
    virtual bool ident(TSerialPort *port, QString &text) = 0;

    QString errorText() const;
    void setErrorText(const QString &text);
    bool isStopped() const;
    TData params() const;

    // True when the run's port is open; else the error text is the link's
    // "not open" message and the result false. Called before the first request.
    bool checkPort(TSerialPort *port);
    // The bytes of a hex text bound for the chip or compared with it. A text
    // that is not whole bytes of hex digits sets the error text to one that
    // names key and text, and gives false: nothing is to be sent then.
    bool wholeHexBytes(const QString &key, const QString &text, QByteArray &bytes);
    // The same rule as a verdict, for the checks: the key and why.
    static TCheck wholeHexCheck(const QString &key, const QString &text, QByteArray &bytes);
    // The refusal of a variant of the algorithm key that the program lacks.
    static TCheck variantRefused(const QString &key, qint64 variant);
    // That refusal alone, for a text already found not to be whole bytes.
    bool refuseHexText(const QString &key, const QString &text);
    // One request over the link; on failure the error text is the link's.
    bool transact(TSerialPort *port, quint8 code, QByteArray &payload);
    // Logs that the run goes on in the configuration of that name.
    void logJump(const QString &cfgName);

    // Progress step of long operations: emits the percentage of done in total
    // when it changed, lets the thread's pending events run (that is how a
    // stop request reaches a running command) and returns the stop flag.
    // counter and lastPercent belong to the caller for one operation.
    bool progress(int &counter, int &lastPercent, qint64 done, qint64 total);

    // Completes a chip-data file; false, with the file's reason, when it
    // cannot.
    bool closeFile(TFormat &format);

    // Failures every executor shares: each leaves its message as the error
    // text and returns false.
    bool failNoDevice();                                     // no record, device or programmer
    bool failShortReply(qint64 received, qint64 asked);      // a reply of the wrong length
    bool failVariant(const QString &key, qint64 variant);    // a variant the program lacks
    bool failNotCarriedOut(const QString &code);             // a code the executor has no step for
    // A verdict of the rules that the command's check shares with its
    // executor: true when valid; else its reason is the error text.
    bool passes(const TCheck &verdict);

    // ---- What a command changed of the chip --------------------------------
    // A command that writes or erases the chip says what it is about to
    // change, then each request that changes a part of it and whether the
    // programmer confirmed it, and that the change is complete. One that
    // ends before (stopped, failed) leaves the change open, and the worker
    // logs what the chip now holds: the parts the programmer confirmed,
    // in whatever order they were sent (a HEX file's records out of
    // address order), and what a request that failed may have changed.

    // How a change is counted: chip addresses, registers (numbered from 1),
    // or the whole chip in one request (an erase).
    enum class ChangeUnit { Addresses, Registers, Chip };
    // The command is about to change first..last (the chip: 0..0).
    void beginChange(ChangeUnit unit, qint64 first, qint64 last);
    // One request of the change, over first..last: on its way (before it is
    // sent), and then confirmed when the programmer carried it out.
    void changeRequest(qint64 first, qint64 last);
    void changeConfirmed();
    // The whole change is done.
    void endChange();
    // A change of units carried out by one call: the first `confirmed` of
    // them done; when the call failed, the next one on its way, else the
    // change complete.
    void changeUnits(qint64 confirmed, bool ok);
    // The log lines of a change left open; empty when there is none.
    QStringList unfinishedChangeText() const;

    // The command stored what it read in its own record (a register, hex
    // data): its log line is to show what it now holds.
    bool storedRead() const;

signals:
    void signalEventText(TCodeExec code, const QString &text, const QString &text2 = QString());
    void signalEventProc(int percent);

public slots:
    void slotStop();

protected:
    TData m_params;
    // What was read is stored in the command (see storedRead).
    void setStoredRead();

private:
    // The change under way (see beginChange).
    struct Change
    {
        bool open = false;
        ChangeUnit unit = ChangeUnit::Addresses;
        qint64 first = 0;
        qint64 last = -1;
        TRangeSet done;         // the units confirmed
        bool inFlight = false;  // a request was sent and not confirmed
        qint64 requestFirst = 0;
        qint64 requestLast = -1;
    };

    // The confirmed ranges of addresses as the log gives them.
    QString addressParts() const;

    bool m_stop = false;
    bool m_storedRead = false;
    QString m_errorText;
    Change m_change;
};
