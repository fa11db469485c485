#pragma once
// The main window's side of a run, for tests: a receiver of the worker's
// signals in the test's thread and the start of a worker the way the main
// window starts one (its own QThread, blocking queued connections).

#include "core/TData.h"
#include "core/handover.h"
#include "devices/TCodeExec.h"
#include "link/TExec.h"

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <functional>

// The main window's side of a run.
class Receiver : public QObject
{
    Q_OBJECT
public:
    struct Event
    {
        TCodeExec code;
        QString text;
        QString text2;
    };
    QVector<Event> events;
    QVector<int> percents;
    QVector<int> executes;
    QVector<int> pauses;
    QVector<QPair<int, bool>> statuses;
    QVector<int> destroyed;
    QThread *seenIn = nullptr;
    QVector<int> stopsOnWaiting;   // configurations to stop when "waiting" arrives
    QString stopOnCmdParams;       // ... or, if set, when a command with this parameter text starts
    std::function<void()> onEvent; // called after each event is kept
    // Called as a run pauses or asks to start a configuration, before the
    // answer: what the operator or the run started does meanwhile.
    std::function<void()> onRequest;

    QVector<TCodeExec> codes() const
    {
        QVector<TCodeExec> c;
        for (const Event &e : events)
            c << e.code;
        return c;
    }
    QVector<Event> ofKind(TCodeExec code) const
    {
        QVector<Event> r;
        for (const Event &e : events)
            if (e.code == code)
                r << e;
        return r;
    }
    // The texts of the events of a kind, in order.
    QStringList texts(TCodeExec code) const
    {
        QStringList t;
        for (const Event &e : events)
            if (e.code == code)
                t << e.text;
        return t;
    }
    // The text of the last failure banner; empty when there was none.
    QString lastFailure() const
    {
        const QVector<Event> failed = ofKind(EXEC_FAILED);
        return failed.isEmpty() ? QString() : failed.last().text;
    }

signals:
    void signalStop(int id_cfg);
    void signalPauseReset(int id_cfg);

public slots:
    void slotExecEventText(TCodeExec code, const QString &text, const QString &text2)
    {
        const handover::Borrow borrow(&text, &text2);
        seenIn = QThread::currentThread();
        events.append({code, text, text2});
        const bool trigger = stopOnCmdParams.isEmpty()
                                 ? text == QLatin1String("waiting")
                                 : code == EXEC_CMD && text2 == stopOnCmdParams;
        if (trigger)
            for (int id : stopsOnWaiting)
                emit signalStop(id);
        if (onEvent)
            onEvent();
    }
    void slotExecEventProc(int percent) { percents << percent; }
    void slotExecuteFromCmd(int id_cfg)
    {
        executes << id_cfg;
        if (onRequest)
            onRequest();
    }
    void slotPauseFromCmd(int id_cfg)
    {
        pauses << id_cfg;
        if (onRequest)
            onRequest();
        emit signalPauseReset(id_cfg + 1000);
        emit signalPauseReset(id_cfg);
    }
    void slotStatusFromCmd(int id_cfg, bool ok) { statuses.append({id_cfg, ok}); }
    void slotExecFinished(int id_cfg) { destroyed << id_cfg; }
};
// Adds an enabled tool command with its defaults, then the given values;
// returns its id.
int addToolCmd(int cfg, const char *code, const TData &values = TData());
// A configuration that chooses the default programmer, counts and jumps
// back to the choice until the counter reaches passes; returns its id.
int addSetProgLoop(const QString &name, int passes);

// The settings' one programmer: the name on the port, of a type whose
// description is the file (in the programmers folder).
void useProgrammer(const QString &name, const QString &port, const QString &type, const QString &file);

// Starts the worker for the configuration; returns its thread, which
// deletes itself when the run is over.
QPointer<QThread> startExec(int cfg, Receiver *rx);
