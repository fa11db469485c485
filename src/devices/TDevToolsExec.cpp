#include "devices/TDevToolsExec.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "crc/ICRC.h"
#include "crc/crc_catalogue.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "formats/TDataImage.h"
#include "link/TPortSettings.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/dev_misc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <limits>
#include <memory>

namespace {

constexpr qint64 crcBlock = 16777216;
constexpr qint32 int32Max = std::numeric_limits<qint32>::max();

void processEvents()
{
    QCoreApplication::processEvents();
}

// The file and range of a calc_crc; valid when addr .. addr + count - 1
// exist as 64-bit addresses (count 0 reaches to the file's last data).
struct CrcRange
{
    QString file;
    QString format;
    qint64 addr = 0;
    qint64 count = 0;
    quint8 fill = 0;
    bool valid = false;
};

CrcRange crcRangeOf(const TData &params)
{
    CrcRange r;
    r.file = makeAbsolutePath(dataPrj.workPath(), schema::text(params, CRC_FILE));
    r.format = schema::text(params, CRC_FORMAT).toLower();
    r.addr = schema::integer(params, CRC_ADDR);
    r.count = schema::integer(params, CRC_COUNT);
    r.fill = quint8(schema::integer(params, CRC_FILL) & 0xFF);
    r.valid = r.addr >= 0 && r.count >= 0 && r.count - 1 <= std::numeric_limits<qint64>::max() - r.addr;
    return r;
}

// Opens the data image of the range (check: the file checked alone):
// false, with why, when the file cannot serve it or the range holds no
// byte of it, with count 0 none at all or none at or after the address.
bool openCrcImage(TDataImage &image, bool check, const CrcRange &r, QString &error)
{
    if (!image.open(check)) {
        error = image.errorString();
        return false;
    }
    const qint64 count = image.count();
    if (count > 0 && image.rangeHasData())
        return true;
    image.close();
    const qint64 dataEnd = r.addr + count - 1;
    if (count > 0)
        error = lang.text(execmsg::CRC_RANGE_NO_DATA).arg(r.file, hexText64(r.addr), hexText64(dataEnd));
    else
        error = dataEnd < 0 ? lang.text(execmsg::CRC_NO_DATA).arg(r.file)
                            : lang.text(execmsg::CRC_PAST_DATA).arg(r.file, hexText64(r.addr), hexText64(dataEnd));
    return false;
}

} // namespace

QString TDevToolsExec::crcFileProblem(const TData &params)
{
    const CrcRange r = crcRangeOf(params);
    if (!r.valid)
        return QString();
    TDataImage image(r.format, r.file, r.addr, r.count, r.fill, crcBlock);
    QString error;
    return openCrcImage(image, true, r, error) ? QString() : error;
}

bool counterStep(qint32 value, qint32 delta, qint32 limit, qint32 &next, bool &limitReached)
{
    limitReached = false;
    next = value;
    const qint64 v = value;
    if (delta >= 0) {
        if (v == int32Max)
            return false;
        qint64 l = limit;
        if (l == 0)
            l = int32Max;
        else if (v >= l) {
            if (v < 0)
                return false;
            limitReached = true;
            return true;
        }
        const qint64 stepped = v + delta;
        if (stepped < 0 || stepped > int32Max)
            return false;
        next = qint32(stepped);
        limitReached = stepped >= l;
        return true;
    }
    if (v <= 0)
        return false;
    if (v <= limit) {
        limitReached = true;
        return true;
    }
    const qint64 stepped = v + delta;
    if (stepped < 0)
        return false;
    next = qint32(stepped);
    limitReached = stepped <= limit;
    return true;
}

TDevToolsExec::TDevToolsExec(const TData &params, QObject *parent) : IDeviceExec(params, parent) {}

TDevToolsExec::~TDevToolsExec() = default;

bool TDevToolsExec::ident(TSerialPort *, QString &)
{
    return false;
}

void TDevToolsExec::slotPauseReset()
{
    m_pause = false;
}

bool TDevToolsExec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    const QString code = schema::cmdCode(m_params);
    if (code == QLatin1String(CMD_SET_PROG))
        return execSetProg(port);
    if (code == QLatin1String(CMD_EXECUTE))
        return execExecute();
    if (code == QLatin1String(CMD_DELAY))
        return execDelay();
    if (code == QLatin1String(CMD_COUNTER))
        return execCounter(stopRun);
    if (code == QLatin1String(CMD_JAMP))
        return execJamp(cfgId, lastCmdId);
    if (code == QLatin1String(CMD_PAUSE))
        return execPause();
    if (code == QLatin1String(CMD_STOP)) {
        *stopRun = true;
        return true;
    }
    if (code == QLatin1String(CMD_CALC_CRC))
        return execCalcCrc();
    if (code == QLatin1String(CMD_PROCESS))
        return execProcess();
    return failNotCarriedOut(code);
}

TProgLink progLinkOf(const TData &setProg, const TProg &prog)
{
    TProgLink link;
    // The name's record from a copy of the lists: the settings dialog may
    // replace them while a run goes on.
    const TProgNameItem item = appData.progLists().names.find(schema::text(setProg, SET_PROG_PROG));
    link.portName =
        schema::flag(setProg, SET_PROG_ALT_ENABLED) ? schema::text(setProg, SET_PROG_ALT_PORT) : item.port;
    link.settings = prog.portSettings();
    link.maxData = prog.maxData();
    link.interface = prog.interface();
    return link;
}

TProgLinkOpen openProgrammer(TSerialPort *port, const TProgLink &link)
{
    TProgLinkOpen result;
    if (!port->openPort(link.portName, QIODevice::ReadWrite)) {
        result.reason = port->errorString();
        return result;
    }
    result.opened = true;
    port->applyPortSettings(link.settings);
    port->setMaxData(link.maxData);

    QByteArray payload;
    if (!port->transaction(TProtocol::PROG_INTERFACE, payload)) {
        result.reason = port->errorString();
        return result;
    }
    quint16 interface = 0;
    if (payload.size() >= 1)
        interface = quint8(payload.at(0));
    if (payload.size() >= 2)
        interface |= quint16(quint8(payload.at(1))) << 8;
    payload.clear();
    if (!port->transaction(TProtocol::PROG_IDENT, payload)) {
        result.reason = port->errorString();
        return result;
    }
    result.identified = true;
    result.identification = QString::fromUtf8(payload);
    if (link.interface != 0 && link.interface != interface) {
        result.reason = lang.text(TDevToolsExec::MSG_WRONG_PROGRAMMER);
        return result;
    }
    result.ok = true;
    return result;
}

bool TDevToolsExec::execSetProg(TSerialPort *port)
{
    if (port->isOpen())
        port->close();
    const TDataCmd *cmd = dataPrj.cmdById(schema::cmdId(m_params));
    if (!cmd) {
        setErrorText(lang.text(execmsg::CMD_GONE));
        return false;
    }
    const TProg *prog = cmd->prog();
    if (!prog) {
        setErrorText(lang.text(MSG_NO_PROGRAMMER));
        return false;
    }
    const TProgLink link = progLinkOf(m_params, *prog);
    const TProgLinkOpen opened = openProgrammer(port, link);
    // The identification is logged also for a programmer of another
    // interface, so that the user sees what answered.
    if (opened.identified)
        emit signalEventText(EXEC_RESULT, opened.identification, QString());
    if (!opened.ok)
        setErrorText(opened.opened ? opened.reason : QStringLiteral("Port %1: %2").arg(link.portName, opened.reason));
    return opened.ok;
}

bool TDevToolsExec::execExecute()
{
    const int cfg = schema::target(m_params, EXECUTE_CFG);
    if (cfg < 0) {
        setErrorText(lang.text(execmsg::NO_CONFIGURATION));
        return false;
    }
    emit signalExecuteFromCmd(cfg);
    return true;
}

bool TDevToolsExec::execDelay()
{
    const int delay = int(schema::integer(m_params, DELAY_VALUE));
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(qMax(0, delay));
    if (delay < 500) {
        processEvents();
        while (delay > 0 && timer.remainingTime() > 0) {
            QThread::usleep(200);
            processEvents();
        }
    } else {
        int last = 0;
        for (;;) {
            processEvents();
            const qint64 remaining = timer.remainingTime();
            processEvents();
            if (isStopped())
                break;
            const int percent = int((delay - qMax<qint64>(remaining, 0)) * 100 / delay);
            if (percent > 0 && percent != last) {
                processEvents();
                emit signalEventProc(percent);
                processEvents();
                last = percent;
            }
            if (remaining <= 0)
                break;
            QThread::msleep(qMin<qint64>(remaining, 10));
        }
    }
    timer.stop();
    processEvents();
    emit signalEventProc(0);
    return true;
}

bool TDevToolsExec::execPause()
{
    // The flag is up before the window hears of the pause: a resume that
    // arrives with the first events processed must find it to clear.
    m_pause = true;
    emit signalPauseFromCmd(int(schema::integer(m_params, REC_ID_CFG)));
    processEvents();
    emit signalEventText(EXEC_WORK, lang.text(MSG_PAUSED), QString());
    while (m_pause && !isStopped()) {
        QThread::msleep(100);
        processEvents();
    }
    return true;
}

bool TDevToolsExec::execJamp(int *cfgId, int *lastCmdId)
{
    const int entryCfg = *cfgId;
    const TDataCmd *running = dataPrj.cmdById(*lastCmdId);
    if (!running) {
        setErrorText(lang.text(execmsg::CMD_GONE));
        return false;
    }
    const int target = schema::target(running->toHash(), JAMP_TO_CMD);
    *lastCmdId = target;
    const TDataCmd *targetCmd = dataPrj.cmdById(target);
    if (!targetCmd) {
        setErrorText(lang.text(execmsg::JUMP_TARGET_GONE));
        return false;
    }
    *cfgId = targetCmd->idCfg();
    const int index = dataPrj.cmdIndexById(target);
    const TDataCmd *before = index > 0 ? dataPrj.cmdById(dataPrj.cmdIdAt(index - 1)) : nullptr;
    *lastCmdId = before && before->idCfg() == *cfgId ? before->id() : -1;
    if (*cfgId != entryCfg)
        logJump(dataPrj.cfgName(*cfgId));
    return true;
}

bool TDevToolsExec::execCounter(bool *stopRun)
{
    const int id = schema::cmdId(m_params);
    const TDataCmd *cmd = dataPrj.cmdById(id);
    const TData stored = cmd ? cmd->toHash() : TData();
    qint32 next = 0;
    bool reached = false;
    const qint32 limit = qint32(schema::integer(stored, COUNTER_LIMIT));
    const qint32 delta = qint32(schema::integer(stored, COUNTER_DELTA));
    if (!counterStep(qint32(schema::integer(stored, COUNTER_VALUE)), delta, limit, next, reached)) {
        setErrorText(lang.text(MSG_COUNTER));
        return false;
    }
    dataPrj.setCmdResult(id, COUNTER_VALUE, QString::number(next));
    if (reached) {
        // Also a counter that an earlier run left at its limit: the run
        // ends at once, and says why.
        const bool unlimited = limit == 0 && delta >= 0;
        emit signalEventText(EXEC_RESULT,
                             lang.text(execmsg::COUNTER_AT_LIMIT).arg(next).arg(unlimited ? int32Max : limit),
                             QString());
        *stopRun = true;
    }
    return true;
}

bool TDevToolsExec::execCalcCrc()
{
    const QString name = schema::text(m_params, CRC_CRC_NAME);
    const CrcRange r = crcRangeOf(m_params);
    std::unique_ptr<ICRC> crc(createCRC(name));
    if (!crc) {
        setErrorText(lang.text(MSG_CRC_UNKNOWN).arg(name));
        return false;
    }
    if (!r.valid) {
        setErrorText(lang.text(MSG_CRC_RANGE).arg(r.addr).arg(r.count));
        return false;
    }
    // The CRC is that of the file's data in address order, the gaps
    // filled, whatever the order of its records.
    TDataImage image(r.format, r.file, r.addr, r.count, r.fill, crcBlock);
    QString error;
    if (!openCrcImage(image, false, r, error)) {
        setErrorText(error);
        return false;
    }
    const qint64 count = image.count();
    int calls = 0, last = 0;
    bool whole = false, failed = false;
    for (qint64 done = 0; done < count;) {
        qint64 at = 0;
        QByteArray run;
        if (!image.read(at, run)) {
            failed = true;
            setErrorText(image.errorString());
            break;
        }
        if (run.isEmpty())
            break;
        crc->update(run.constData(), run.size());
        done += run.size();
        whole = done == count;
        if (progress(calls, last, done, count))
            break;
    }
    // A value over part of the range is no CRC of it: after a stop or a
    // failure none is shown. The file is checked whole at its close: one
    // that changed while it was read gives none either.
    if (!image.close() && whole) {
        failed = true;
        setErrorText(image.errorString());
    }
    if (!whole || failed) {
        emit signalEventText(EXEC_RESULT, lang.text(execmsg::CRC_NOT_COMPUTED).arg(name), QString());
        return !failed;
    }
    emit signalEventText(EXEC_RESULT, QStringLiteral("%1: %2").arg(name, bytesToHexString(crc->result())),
                         QString());
    return true;
}

bool TDevToolsExec::execProcess()
{
    QStringList arguments = QProcess::splitCommand(schema::text(m_params, PROCESS_FILE));
    if (arguments.isEmpty())
        return true;
    QString program = arguments.takeFirst();
    // A program picked in the form is stored relative to the project.
    if (QDir::isRelativePath(program)) {
        const QString inProject = makeAbsolutePath(dataPrj.workPath(), program);
        if (QFileInfo::exists(inProject))
            program = inProject;
    }
    m_process = new QProcess(this);
    m_process->start(program, arguments, QIODevice::ReadWrite);
    m_process->waitForFinished(processWaitMs);
    return true;
}
