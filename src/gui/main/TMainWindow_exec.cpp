// The main window's execution control, settings, language and shutdown.
//
// Every started configuration runs in a TExec worker of its own thread; the
// window only observes it through blocking queued signals and never waits
// for a worker except while it is being destroyed (TExec::waitForThread
// keeps handling events). ID Prog and Reset talk to the programmer on a
// thread of their own too, so the window stays responsive through the
// serial time-outs.

#include "gui/main/TMainWindow.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/handover.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevProgExec.h"
#include "devices/TDevToolsExec.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "gui/dialogs/TDialogCmdSelector.h"
#include "gui/dialogs/TDialogSetupSelect.h"
#include "gui/dialogs/TDialogSmall.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtPrjList.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TToolBarMetrics.h"
#include "link/TExec.h"
#include "link/TProg.h"
#include "link/TSerialPort.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QSet>
#include <QSplitter>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

// How long the destructor lets a stopped worker take to end.
constexpr int kStopWaitMs = 60000;
// How often a window that waits to close looks again whether the dialog
// the user has open is gone.
constexpr int kCloseRetryMs = 50;
// How long a save of the settings asked for in the window waits for
// another instance's save of the file: another save takes a few
// milliseconds; one that holds the file longer (its instance hangs) fails
// this save, saying so, rather than freezing the window. The saves as the
// window goes, when nobody sees it any more, wait as long as they must.
constexpr int kSettingsLockWaitMs = 150;

bool isActive(int state)
{
    return state == 1 || state == 2;
}

// The two non-comment header lines of a language file: its name and its
// second label; lines missing at the end count as empty.
QString languageEntry(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!*ok)
        return QString();
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QStringList header;
    while (header.size() < 2 && !in.atEnd()) {
        const QString line = in.readLine();
        if (!line.startsWith(QLatin1Char('#')))
            header << line;
    }
    while (header.size() < 2)
        header << QString();
    return QStringLiteral("%1 (%2)").arg(header.at(0), header.at(1));
}

} // namespace

Qt::KeyboardModifiers (*TMainWindow::keyboardModifiers)() = &QGuiApplication::keyboardModifiers;

// ---- End of life ---------------------------------------------------------------------

TMainWindow::~TMainWindow()
{
    // Whatever still runs is stopped and waited for while events go on, so
    // that workers blocked in a report to this window can end.
    const QList<int> running = m_execs.keys();
    for (int id : running)
        emit signalStop(id);
    // Waiting handles events, which may remove table entries: the threads
    // are taken first, those of workers that already reported their end too.
    const QList<QPointer<QThread>> threads = m_threads;
    for (const QPointer<QThread> &thread : threads)
        TExec::waitForThread(thread, kStopWaitMs);
    // An exchange still under way holds copies only; its outcome has no page
    // left to go to.
    if (m_quickThread)
        disconnect(m_quickThread, nullptr, this, nullptr);
    TExec::waitForThread(m_quickThread, kStopWaitMs);

    // The window is gone by now: what could not be written is told in one
    // box, each failure with its reason.
    QStringList failures;
    const auto failed = [&failures](const QString &text) {
        if (!failures.contains(text))
            failures << text;
    };
    QString error;
    if (appData.saveSettingsApp && !appData.save(&error))
        failed(lang.text(MSG_SETTINGS_SAVE).arg(error));
    if (appData.saveSettingsWindow) {
        const QRect g = geometry();
        appData.windowMainLeft = g.left();
        appData.windowMainTop = g.top();
        appData.windowMainWidth = g.right() - g.left() + 1;
        appData.windowMainHeight = g.bottom() - g.top() + 1;
        appData.windowMainPrjSplitter = m_splitter->sizes();
        if (!appData.saveWindows(&error))
            failed(lang.text(MSG_SETTINGS_SAVE).arg(error));
    }
    // Only what changed is written: a copy that changed nothing leaves its
    // files as they are, for other copies that changed them meanwhile.
    if (m_prjList->isLoaded() && !m_listGivenUp && !m_prjList->saveList() && !m_prjList->saveDeclined())
        failed(withReason(lang.text(MSG_LIST_SAVE_FAILED).arg(m_prjList->listFile()), m_prjList->saveError()));
    if (appData.autoSavePrj && dataPrj.isOpen() && dataPrj.isModified() && m_prjList->currentItem()) {
        if (!saveProjectAsking(makeAbsolutePath(dirOfFile(m_prjList->listFile()), m_prjList->currentFile()), nullptr,
                               &error))
            failed(lang.text(MSG_PRJ_LOST).arg(dataPrj.prjName(), error));
    }
    if (!failures.isEmpty())
        showError(failures.join(QStringLiteral("\n\n")));
    TWgtConfig::structuralEditGuard = nullptr;
    m_cfgClipboard = TDataClip();
    m_cmdClipboard = TDataClip();
    m_execs.clear();
}

void TMainWindow::closeEvent(QCloseEvent *event)
{
    // A close that comes while this one's questions are open is this one.
    if (m_inClose) {
        event->ignore();
        return;
    }
    const QScopedValueRollback<bool> inClose(m_inClose, true);
    // Runs end and start (an "execute" of a run) while a question is open:
    // what is alive is read again after each answer, so that an answered
    // quit either closes the window or leaves it as it was.
    if (!m_closeWhenIdle) {
        if (appData.confirmQuit && !askYesNo(lang.text(88), this)) {
            event->ignore();
            return;
        }
        if (!m_execs.isEmpty() && !askYesNo(lang.text(MSG_RUN_QUIT), this)) {
            event->ignore();
            return;
        }
        // The window never waits here: the runs are told to stop and the
        // window closes itself once the last worker is gone. An ID Prog or
        // Reset exchange cannot be stopped; it ends within the link's
        // time-outs, and the window closes after it.
        if (busy()) {
            m_closeWhenIdle = true;
            m_closeLoopLevel = QThread::currentThread()->loopLevel();
            const QList<int> running = m_execs.keys();
            for (int id : running)
                emit signalStop(id);
            updateExecButtons();
        }
    }
    if (busy()) {
        event->ignore();
        return;
    }

    // The tree's moves reach its file now, where a failure can still keep
    // the window open.
    if (!saveListBeforeReplacing()) {
        keepOpen(event);
        return;
    }
    m_listGivenUp = m_prjList->isModified();
    appData.lastPrj = m_prjList->selectedIndex();
    appData.lastCfg = m_prj->currentIndex();
    appData.lastCmd = m_prj->currentRow();
    if (!closeProject()) {
        keepOpen(event);
        return;
    }
    event->accept();
    delete m_selector;
}

void TMainWindow::keepOpen(QCloseEvent *event)
{
    m_closeWhenIdle = false;
    event->ignore();
    updateExecButtons();
}

void TMainWindow::closeIfIdle()
{
    // Checked again when the close comes: a close refused meanwhile (or
    // already done) is not asked for twice. A dialog, box or menu the user
    // opened meanwhile is answered first, and what its answer does is done:
    // the window never closes under it, it closes once that is over.
    if (m_closeWhenIdle && !busy())
        QTimer::singleShot(0, this, [this] {
            if (!m_closeWhenIdle || busy() || !isVisible())
                return;
            if (QApplication::activeModalWidget() || QApplication::activePopupWidget()
                || QThread::currentThread()->loopLevel() > m_closeLoopLevel) {
                QTimer::singleShot(kCloseRetryMs, this, [this] { closeIfIdle(); });
                return;
            }
            close();
        });
}

// ---- Guards of running configurations ---------------------------------------------------

// Whether a live worker may walk into the configuration: the worker's own
// configuration and every one its "jamp" targets and "auto_detect" routes
// lead to, followed on from there.
bool TMainWindow::cfgReachedByRun(int id_cfg, int *runningCfg) const
{
    // An ID Prog or Reset exchange reads the configuration it was asked for.
    if (quickBusy() && id_cfg == m_quickCfg) {
        if (runningCfg)
            *runningCfg = m_quickCfg;
        return true;
    }
    for (auto it = m_execs.cbegin(); it != m_execs.cend(); ++it) {
        QSet<int> reached{it.key()};
        QList<int> queue{it.key()};
        while (!queue.isEmpty()) {
            const int cfg = queue.takeFirst();
            for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg)) {
                // Jumps and routes move the run; "execute" starts one of its own.
                if (cmd->cmd() == QLatin1String(CMD_EXECUTE))
                    continue;
                for (const schema::Reference &r : schema::referencesOf(cmd->toHash())) {
                    int t = schema::targetOf(r);
                    if (r.names == schema::Kind::Command)
                        t = dataPrj.cfgIdOfCmd(t);
                    if (t >= 0 && !reached.contains(t)) {
                        reached.insert(t);
                        queue << t;
                    }
                }
            }
        }
        if (reached.contains(id_cfg)) {
            if (runningCfg)
                *runningCfg = it.key();
            return true;
        }
    }
    return false;
}

bool TMainWindow::refuseStructuralEdit(int idCfg)
{
    int running = -1;
    if (!cfgReachedByRun(idCfg, &running))
        return false;
    showError(lang.text(MSG_RUN_EDIT).arg(dataPrj.cfgName(running)), this);
    return true;
}

bool TMainWindow::refuseProjectChange()
{
    if (!busy())
        return false;
    showError(lang.text(MSG_RUN_PROJECT), this);
    return true;
}

// ---- Starting and following runs ----------------------------------------------------------

void TMainWindow::execStart(int id_cfg)
{
    if (m_closeWhenIdle || isActive(dataPrj.cfgExecState(id_cfg)))
        return;
    TWgtConfig *page = m_prj->cfgPageById(id_cfg);
    if (!page)
        return;
    page->setRunning(true);
    dataPrj.setCfgExecState(id_cfg, 1);
    m_prj->updateTabColors();
    if (appData.execClearWindow)
        page->clearLog();

    auto *thread = new QThread;
    auto *exec = new TExec(id_cfg);
    const quint64 serial = ++m_execSerial;
    m_execs.insert(id_cfg, {exec, thread, serial});
    m_threads.removeAll(QPointer<QThread>());
    m_threads.append(thread);

    const auto eventText = static_cast<void (TWgtConfig::*)(TCodeExec, const QString &, const QString &)>(
        &TWgtConfig::slotExecEventText);
    connect(this, &TMainWindow::signalPauseReset, exec, &TExec::slotPauseReset);
    connect(this, &TMainWindow::signalStop, exec, &TExec::slotStop);
    connect(thread, &QThread::started, exec, &TExec::slotStart);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(exec, &TExec::signalEventText, page, eventText, Qt::BlockingQueuedConnection);
    connect(exec, &TExec::signalEventProc, page, &TWgtConfig::slotExecEventProc, Qt::BlockingQueuedConnection);
    connect(exec, &TExec::signalFinished, thread, &QThread::quit);
    connect(exec, &TExec::signalExecuteFromCmd, this, &TMainWindow::slotExecuteFromCmd,
            Qt::BlockingQueuedConnection);
    connect(exec, &TExec::signalPauseFromCmd, this, &TMainWindow::slotPauseFromCmd, Qt::BlockingQueuedConnection);
    connect(exec, &TExec::signalStatusFromCmd, this, &TMainWindow::slotStatusFromCmd,
            Qt::BlockingQueuedConnection);
    connect(exec, &TExec::signalFinished, exec, &QObject::deleteLater);
    // The entry is removed for this worker only: a configuration started
    // again before its old worker is gone keeps its new entry.
    connect(exec, &TExec::signalDestroy, this, [this, serial](int id) { execFinished(id, serial); });

    exec->moveToThread(thread);
    thread->start(QThread::NormalPriority);
}

void TMainWindow::slotExecCfg()
{
    TWgtConfig *page = m_prj->currentPage();
    if (!page)
        return;
    const int id = m_prj->currentCfgId();
    const int state = dataPrj.cfgExecState(id);
    if (isActive(state)) {
        if (appData.execShowProgExec)
            slotSetViewParamExec();
        if (state == 2) {
            page->setRunning(true);
            if (keyboardModifiers() == Qt::ControlModifier) {
                emit signalStop(id);
            } else {
                dataPrj.setCfgExecState(id, 1);
                emit signalPauseReset(id);
            }
        } else {
            emit signalStop(id);
        }
    } else {
        // Nothing starts while the window waits for its stopped runs to close.
        const bool start = !m_closeWhenIdle
                           && (!appData.confirmExecConfig
                               || askYesNo(m_prj->hasSingleCfg() ? lang.text(384)
                                                                 : lang.text(385).arg(m_prj->currentTabText()),
                                           this));
        if (start) {
            if (appData.execShowProgExec)
                slotSetViewParamExec();
            execStart(id);
        }
    }
    updateExecButtons();
}

void TMainWindow::slotExecuteFromCmd(int id_cfg)
{
    // What an "execute" of a run does not start (a configuration already
    // running, its own one included, or any while the window closes), the
    // asking run's log says: a loop that ends there never ends unsaid.
    const int reason = m_closeWhenIdle ? MSG_EXECUTE_CLOSING
                       : isActive(dataPrj.cfgExecState(id_cfg)) ? MSG_EXECUTE_RUNNING
                                                                 : 0;
    execStart(id_cfg);
    const auto *asking = qobject_cast<const TExec *>(sender());
    if (TWgtConfig *page = reason && asking ? m_prj->cfgPageById(asking->idCfg()) : nullptr)
        page->slotExecEventText(EXEC_RESULT, lang.text(reason).arg(dataPrj.cfgName(id_cfg)), QString());
    updateExecButtons();
}

void TMainWindow::slotPauseFromCmd(int id_cfg)
{
    dataPrj.setCfgExecState(id_cfg, 2);
    updateExecButtons();
    if (TWgtConfig *page = m_prj->cfgPageById(id_cfg))
        page->setRunning(false);
}

void TMainWindow::slotStatusFromCmd(int id_cfg, bool ok)
{
    dataPrj.setCfgExecState(id_cfg, ok ? 3 : 4);
    updateExecButtons();
    m_prj->updateTabColors();
}

void TMainWindow::execFinished(int id_cfg, quint64 serial)
{
    auto it = m_execs.find(id_cfg);
    if (it != m_execs.end() && it->serial == serial)
        m_execs.erase(it);
    if (!m_execs.contains(id_cfg))
        m_prj->setCfgRunning(id_cfg, false);
    updateExecButtons();
    closeIfIdle();
}

void TMainWindow::updateExecButtons()
{
    TWgtConfig *page = m_prj->currentPage();
    if (!page || m_prj->currentCmdId() < 0)
        return;
    const int state = dataPrj.cfgExecState(m_prj->currentCfgId());
    const TDataCmd *cmd = dataPrj.cmdById(m_prj->currentCmdId());
    const bool idle = !isActive(state);
    // Nothing new starts while the window waits for its stopped runs.
    const bool free = idle && !quickBusy() && !m_closeWhenIdle;
    action(QStringLiteral("ExecIDProg"))->setEnabled(free && cmd && cmd->prog());
    const IDevice *device = cmd ? cmd->device() : nullptr;
    action(QStringLiteral("ExecReset"))->setEnabled(free && device && device->isReset());

    QString icon = QStringLiteral("exec_start");
    int tip = 67;
    if (state == 2) {
        icon = QStringLiteral("exec_pause");
        tip = 68;
    } else if (state == 1) {
        icon = QStringLiteral("exec_stop");
        tip = 69;
    }
    setButtonIcon(QStringLiteral("exec_start"), icon);
    if (TButtonAction *button = m_buttons.value(QStringLiteral("exec_start"))) {
        if (button->toolTip() != lang.text(tip))
            button->setToolTip(lang.text(tip));
    }
    m_prj->updateTabColors();
}

void TMainWindow::clearExecState(int id_cfg)
{
    if (isActive(dataPrj.cfgExecState(id_cfg)))
        return;
    dataPrj.setCfgExecState(id_cfg, 0);
    m_prj->resetTabColor(id_cfg);
}

void TMainWindow::slotExecClearState()
{
    if (m_prj->currentPage())
        clearExecState(m_prj->currentCfgId());
    updateExecButtons();
}

void TMainWindow::slotExecClearAllState()
{
    const int count = dataPrj.cfgList().size();
    for (int i = count - 1; i >= 0; --i) {
        const int id = m_prj->cfgIdAt(i);
        if (id >= 0)
            clearExecState(id);
    }
    updateExecButtons();
}

// ---- ID Prog and Reset ---------------------------------------------------------------------

void TMainWindow::slotExecIDProg()
{
    runQuick(false);
}

void TMainWindow::slotExecReset()
{
    runQuick(true);
}

// Identifies the programmer (ID Prog) or sends it a reset pulse (Reset) on a
// link of its own. Everything the exchange needs is read here and handed to
// a thread of its own as copies; until its outcome is written it counts as a
// run of the configuration it was asked for, and the outcome goes to that
// configuration's page only while the page is still shown.
void TMainWindow::runQuick(bool reset)
{
    if (!m_prj->hasFocusCmdList() || quickBusy() || m_closeWhenIdle)
        return;
    TWgtConfig *page = m_prj->currentPage();
    if (!page)
        return;
    const int idCfg = m_prj->currentCfgId();
    const int idCmd = m_prj->currentCmdId();
    if (appData.execClearWindow)
        page->clearLog();
    if (reset ? appData.execShowProgReset : appData.execShowProgIDProg)
        slotSetViewParamExec();

    const QPointer<TWgtConfig> target(page);
    const auto logLine = [this, target, idCfg](TCodeExec code, const QString &text1, const QString &text2) {
        if (target && m_prj->cfgPageById(idCfg) == target)
            target->writeEvent(code, text1, text2);
    };

    const TDataCmd *cmd = dataPrj.cmdById(idCmd);
    qint64 duration = 0;
    if (reset) {
        const IDevice *device = cmd ? cmd->device() : nullptr;
        const TProg *prog = cmd ? cmd->prog() : nullptr;
        if (!device || !prog) {
            logLine(EXEC_FAILED, lang.text(execmsg::NO_DEVICE), QString());
            return;
        }
        const qint64 magnitude = qAbs(qint64(prog->resetDefault()));
        duration = device->params().value(QLatin1String(DEV_RESET_POL)).toBool() ? magnitude : -magnitude;
        logLine(EXEC_CMD, QStringLiteral("Reset"), QStringLiteral("%1 ms").arg(duration));
    }

    const TDataCmd *setProg = cmd ? dataPrj.progCmdBefore(idCmd) : nullptr;
    if (!setProg) {
        logLine(EXEC_FAILED, lang.text(execmsg::NO_DEVICE), QString());
        return;
    }
    const TData record = setProg->toHash();
    // A damaged choice of port or programmer opens nothing.
    const QString fault = schema::faultText(cmdCode.name(QLatin1String(CMD_SET_PROG)), record);
    if (!fault.isEmpty()) {
        logLine(EXEC_FAILED, fault, QString());
        return;
    }
    const QString progName = schema::text(record, SET_PROG_PROG);
    const TProgNameItem item = appData.progLists().names.find(progName);
    const TProg *prog = setProg->prog();
    TProgLink link;
    if (prog) {
        link = progLinkOf(record, *prog);
    } else {
        link.portName =
            schema::flag(record, SET_PROG_ALT_ENABLED) ? schema::text(record, SET_PROG_ALT_PORT) : item.port;
    }
    const QString port = link.portName;
    if (!reset)
        logLine(EXEC_CMD, QStringLiteral("ID Prog"), QStringLiteral("%1: %2, %3").arg(progName, port, item.type));
    if (!prog) {
        logLine(EXEC_FAILED, QStringLiteral("Port %1: %2").arg(port, lang.text(TDevToolsExec::MSG_NO_PROGRAMMER)),
                QString());
        return;
    }
    const QString holder = lang.text(MSG_PORT_HOLDER_QUICK)
                               .arg(reset ? QStringLiteral("Reset") : QStringLiteral("ID Prog"), dataPrj.cfgName(idCfg));

    struct Outcome
    {
        bool ok = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    QThread *thread = QThread::create([link, holder, reset, duration, outcome] {
        TSerialPort serial;
        serial.setHolder(holder);
        const TProgLinkOpen opened = openProgrammer(&serial, link);
        if (!opened.ok) {
            outcome->error = opened.reason;
        } else if (!reset) {
            outcome->ok = TDevProgExec::sendStatus(&serial, 3);
        } else if (TDevProgExec::sendStatus(&serial, 1)) {
            if (TDevProgExec::sendReset(&serial, duration)) {
                outcome->ok = TDevProgExec::sendStatus(&serial, 0);
            } else {
                outcome->error = serial.errorString();
                if (!serial.isFailed())
                    TDevProgExec::sendStatus(&serial, 2);
            }
        }
        if (!outcome->ok && outcome->error.isEmpty())
            outcome->error = serial.errorString();
        serial.close();
        handover::release(outcome.get());   // for the slot of finished()
        dataPrj.endRun();
    });
    // Counted as a run from here on: the guards refuse what would take the
    // configuration or the project away, and nothing retired is freed.
    dataPrj.beginRun();
    m_quickThread = thread;
    m_quickCfg = idCfg;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, logLine, outcome, port] {
        handover::acquire(outcome.get());
        if (outcome->ok)
            logLine(EXEC_SUCCESS, lang.text(execmsg::COMPLETED), QString());
        else
            logLine(EXEC_FAILED,
                    outcome->error.isEmpty() ? lang.text(execmsg::NO_DEVICE)
                                             : QStringLiteral("Port %1: %2").arg(port, outcome->error),
                    QString());
        m_quickThread.clear();
        m_quickCfg = -1;
        updateExecButtons();
        closeIfIdle();
    });
    thread->start();
    updateExecButtons();
}

// ---- Settings, language and the rest --------------------------------------------------------

void TMainWindow::slotSettings()
{
    TDialogSetupSelect dialog(this);
    dialog.loadPages();
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.savePages();
    dataPrj.clearDeviceCache();
    dataPrj.validateAll();
    m_prj->refreshAllRows();
    m_prj->reloadCurrentCmds();
    m_prj->updateTabColors();
    m_prj->setOrientation(appData.cfgOrientation != 0);
    applySettings();
    // The programmers and devices in force may have changed under an open
    // command selector.
    if (m_selector)
        m_selector->slotSelectCmd(m_prj->currentCfgId(), m_prj->currentCmdId());
    updateActions();
}

void TMainWindow::slotSetLanguage()
{
    const QDir dir(makeAbsolutePath(appDirPath(), appData.pathLanguage));
    QMap<QString, QString> files;   // shown text -> file name, ordered by the text
    const QStringList names = dir.entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        bool ok = false;
        const QString text = languageEntry(dir.filePath(name), &ok);
        if (ok)
            files.insert(text, name);
    }
    TDialogSetLanguage dialog(files.keys(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // With no entry chosen there is no language to keep: an empty name would
    // leave the next start without texts.
    const QString chosen = files.value(dialog.selectedLanguage());
    if (chosen.isEmpty() || chosen == appData.language)
        return;
    appData.language = chosen;
    showInfo(QStringLiteral("Please restart the program!"), this);
}

void TMainWindow::slotSaveSettings()
{
    if (!askYesNo(lang.text(82), this))
        return;
    QString windowsError;
    QString error;
    const bool windows = appData.saveWindows(&windowsError, kSettingsLockWaitMs);
    if (!appData.save(&error, kSettingsLockWaitMs) || !windows)
        showError(lang.text(MSG_SETTINGS_SAVE).arg(windows ? error : windowsError), this);
}

void TMainWindow::slotHelp() {}

void TMainWindow::slotAbout()
{
    TDialogAbout dialog(this);
    dialog.exec();
}

void TMainWindow::slotAboutQt()
{
    QMessageBox::aboutQt(this, QString());
}
