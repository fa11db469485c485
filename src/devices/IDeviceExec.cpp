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
    m_errorText = lang.text(execmsg::SHORT_REPLY, received, asked);
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
    m_change.done.add(m_change.requestFirst, m_change.requestLast);
}

void IDeviceExec::endChange()
{
    m_change.open = false;
}

void IDeviceExec::changeUnits(qint64 confirmed, bool ok)
{
    const qint64 next = m_change.first + qBound<qint64>(0, confirmed, m_change.last - m_change.first + 1);
    if (next > m_change.first) {
        m_change.inFlight = false;
        m_change.done.add(m_change.first, next - 1);
    }
    if (ok)
        endChange();
    else
        changeRequest(next, next);
}

QString IDeviceExec::addressParts() const
{
    // A file of many scattered records may leave many parts: the first few
    // are named, and how many more there are.
    constexpr int LISTED = 8;
    QStringList parts;
    for (auto it = m_change.done.begin(); it != m_change.done.end() && parts.size() < LISTED; ++it)
        parts << QStringLiteral("0x%1..0x%2").arg(hexText64(it->first), hexText64(it->second));
    const QString text = parts.join(QLatin1String(", "));
    const qint64 more = qint64(m_change.done.size()) - parts.size();
    return more > 0 ? lang.text(execmsg::CHANGE_PARTS_MORE).arg(text).arg(more) : text;
}

QStringList IDeviceExec::unfinishedChangeText() const
{
    const Change &c = m_change;
    if (!c.open)
        return {};
    QStringList lines;
    switch (c.unit) {
    case ChangeUnit::Addresses:
        // One part from the range's start: the contents are new up to an address.
        if (c.done.size() == 1 && c.done.begin()->first == c.first)
            lines << lang.text(execmsg::CHANGE_PART)
                         .arg(hexText64(c.first), hexText64(c.done.begin()->second), hexText64(c.last));
        else if (!c.done.empty())
            lines << lang.text(execmsg::CHANGE_PARTS).arg(addressParts(), hexText64(c.first), hexText64(c.last));
        if (c.inFlight)
            lines << lang.text(execmsg::CHANGE_UNSURE).arg(hexText64(c.requestFirst), hexText64(c.requestLast));
        break;
    case ChangeUnit::Registers:
        if (!c.done.empty())
            lines << lang.text(execmsg::REGISTERS_PART, c.done.units(), c.last - c.first + 1);
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

bool IDeviceExec::storedRead() const
{
    return m_storedRead;
}

void IDeviceExec::setStoredRead()
{
    m_storedRead = true;
}
