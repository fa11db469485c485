#include "devices/IDeviceExec.h"

#include <QCoreApplication>

#include "core/TLang.h"
#include "devices/exec_messages.h"
#include "formats/TFormat.h"
#include "link/TSerialPort.h"
#include "misc/dev_misc.h"

IDeviceExec::IDeviceExec(const TData &params, QObject *parent) : QObject(parent), m_params(params)
{
}

IDeviceExec::~IDeviceExec() = default;

QString IDeviceExec::errorText() const
{
    return m_errorText;
}

void IDeviceExec::setErrorText(const QString &text)
{
    m_errorText = text;
}

void IDeviceExec::logJump(const QString &cfgName)
{
    emit signalEventText(EXEC_WORK, QStringLiteral("\n--> %1 \"%2\"").arg(lang.text(execmsg::JUMP), cfgName),
                         QString());
}

bool IDeviceExec::isStopped() const
{
    return m_stop;
}

TData IDeviceExec::params() const
{
    return m_params;
}

void IDeviceExec::slotStop()
{
    m_stop = true;
}

bool IDeviceExec::checkPort(TSerialPort *port)
{
    if (port && port->isOpen())
        return true;
    m_errorText = lang.text(TSerialPort::MSG_NOT_OPEN);
    return false;
}

bool IDeviceExec::wholeHexBytes(const QString &key, const QString &text, QByteArray &bytes)
{
    return hexStringToBytesChecked(text, bytes) || refuseHexText(key, text);
}

TCheck IDeviceExec::wholeHexCheck(const QString &key, const QString &text, QByteArray &bytes)
{
    return hexStringToBytesChecked(text, bytes) ? TCheck::valid() : TCheck::refused(key, notWholeHexReason(text));
}

bool IDeviceExec::refuseHexText(const QString &key, const QString &text)
{
    m_errorText = notWholeHexText(key, text);
    return false;
}

bool IDeviceExec::transact(TSerialPort *port, quint8 code, QByteArray &payload)
{
    if (port->transaction(code, payload))
        return true;
    m_errorText = port->errorString();
    return false;
}

bool IDeviceExec::progress(int &counter, int &lastPercent, qint64 done, qint64 total)
{
    const int percent = total == 0 ? 100 : int(done * 100 / total);
    if (percent != lastPercent) {
        QCoreApplication::processEvents();
        emit signalEventProc(percent);
        lastPercent = percent;
        counter = 1;
    } else if (counter++ % 16 == 0) {
        QCoreApplication::processEvents();
    }
    return m_stop;
}

bool IDeviceExec::closeFile(TFormat &format)
{
    if (format.close())
        return true;
    m_errorText = lang.text(execmsg::FILE_CLOSE).arg(format.errorString());
    return false;
}

bool IDeviceExec::failNoDevice()
{
    m_errorText = lang.text(execmsg::NO_DEVICE);
    return false;
}

bool IDeviceExec::failShortReply(qint64 received, qint64 asked)
{
    m_errorText = lang.text(execmsg::SHORT_REPLY).arg(received).arg(asked);
    return false;
}

TCheck IDeviceExec::variantRefused(const QString &key, qint64 variant)
{
    return TCheck::refused(key, lang.text(execmsg::UNKNOWN_ALG).arg(key).arg(variant));
}

bool IDeviceExec::failVariant(const QString &key, qint64 variant)
{
    return passes(variantRefused(key, variant));
}

bool IDeviceExec::passes(const TCheck &verdict)
{
    if (!verdict)
        m_errorText = verdict.reason();
    return verdict.isValid();
}

bool IDeviceExec::failNotCarriedOut(const QString &code)
{
    m_errorText = lang.text(execmsg::UNKNOWN_CMD).arg(code);
    return false;
}

// ---- What a command changed of the chip -----------------------------------------

void IDeviceExec::beginChange(ChangeUnit unit, qint64 first, qint64 last)
{
    m_change = Change();
    m_change.open = true;
    m_change.unit = unit;
    m_change.first = first;
    m_change.last = last;
    m_change.doneTo = first - 1;
}

void IDeviceExec::changeRequest(qint64 first, qint64 last)
{
    m_change.inFlight = true;
    m_change.requestFirst = first;
    m_change.requestLast = last;
}

void IDeviceExec::changeConfirmed()
{
    if (!m_change.inFlight)
        return;
    m_change.inFlight = false;
    m_change.doneTo = qMax(m_change.doneTo, m_change.requestLast);
}

void IDeviceExec::endChange()
{
    m_change.open = false;
}

void IDeviceExec::changeUnits(qint64 confirmed, bool ok)
{
    if (confirmed > 0) {
        m_change.inFlight = false;
        m_change.doneTo = qMax(m_change.doneTo, qMin(m_change.first + confirmed - 1, m_change.last));
    }
    if (ok)
        endChange();
    else
        changeRequest(m_change.doneTo + 1, m_change.doneTo + 1);
}

QStringList IDeviceExec::unfinishedChangeText() const
{
    const Change &c = m_change;
    if (!c.open)
        return {};
    QStringList lines;
    const bool done = c.doneTo >= c.first;
    switch (c.unit) {
    case ChangeUnit::Addresses:
        if (done)
            lines << lang.text(execmsg::CHANGE_PART).arg(hexText64(c.first), hexText64(c.doneTo), hexText64(c.last));
        if (c.inFlight)
            lines << lang.text(execmsg::CHANGE_UNSURE).arg(hexText64(c.requestFirst), hexText64(c.requestLast));
        break;
    case ChangeUnit::Registers:
        if (done)
            lines << lang.text(execmsg::REGISTERS_PART).arg(c.doneTo - c.first + 1).arg(c.last - c.first + 1);
        if (c.inFlight)
            lines << lang.text(execmsg::REGISTER_UNSURE).arg(c.requestFirst).arg(c.last);
        break;
    case ChangeUnit::Chip:
        if (c.inFlight)
            lines << lang.text(execmsg::ERASE_UNSURE);
        break;
    }
    if (lines.isEmpty())
        lines << lang.text(execmsg::CHANGE_NONE);
    return lines;
}
