#include "devices/TDevXMC1_ascfd_exec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TMemoryExec.h"
#include "devices/avr8_payload.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "misc/dev_misc.h"

static const char SOURCE[] = "devices\\TDevXMC1_ascfd_exec";

TDevXMC1_ASCFD_Exec::TDevXMC1_ASCFD_Exec(const TData &params) : IDeviceExec(params) {}

TDevXMC1_ASCFD_Exec::~TDevXMC1_ASCFD_Exec() = default;

bool TDevXMC1_ASCFD_Exec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    Q_UNUSED(cfgId)
    Q_UNUSED(lastCmdId)
    const QString code = getParam(QLatin1String(SOURCE), __LINE__, m_params, QLatin1String(REC_CMD)).toString();
    if (code == QLatin1String(CMD_FLASH_FILE_VERIFY))
        return execFlashFileVerify(port);
    setErrorText(lang.text(avr8::MSG_XMC1_NOT_CARRIED));
    return false;
}

bool TDevXMC1_ASCFD_Exec::ident(TSerialPort *port, QString &id)
{
    Q_UNUSED(port)
    Q_UNUSED(id)
    return false;
}

bool TDevXMC1_ASCFD_Exec::execFlashFileVerify(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    int idCmd = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, formatName;
    getFileCmdParams(m_params, idCmd, addrFile, first, last, file, formatName);
    if (last < first) {
        setErrorText(TMemoryExec::emptyFileRangeText(file, first));
        return false;
    }
    const TDataCmd *cmd = dataPrj.cmdById(idCmd);
    const TProg *prog = cmd && cmd->device() ? cmd->prog() : nullptr;
    if (!prog) {
        setErrorText(lang.text(avr8::MSG_NO_DEVICE));
        return false;
    }
    // Nothing to compare is no pass; data to compare the chip cannot give.
    TFormat format(formatName, file, addrFile, first, last, prog->maxData());
    QString error;
    setErrorText(TMemoryExec::openFileData(format, false, file, first, last, error)
                     ? lang.text(avr8::MSG_XMC1_NOT_CARRIED)
                     : error);
    return false;
}
