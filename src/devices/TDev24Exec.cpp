#include "devices/TDev24Exec.h"

#include "devices/param_schema.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/exec_messages.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QtEndian>

namespace {

const QString SOURCE = QStringLiteral("devices\\TDev24_exec");

// Programmer request codes after a 24xx set-up record.
enum : quint8 {
    I2C24_LEAVE = 1,
    I2C24_SET_CLK = 2,
    I2C24_SET_ADDR = 3,
    I2C24_WRITE = 4,
    I2C24_READ = 5,
};

// Language-table messages of the executor.
constexpr int MSG_ADDR_SIZE = 428;     // %1 the address size
constexpr int MSG_ADDR_RANGE = 429;    // %1 last address, %2 highest reachable

constexpr quint8 CONTROL_BYTE = 0xA0;

bool send(TSerialPort *port, quint8 code, QByteArray &payload, QString &error)
{
    if (port->transaction(code, payload))
        return true;
    error = port->errorString();
    return false;
}

} // namespace

TDev24Exec::TDev24Exec(const TData &params, QObject *parent) : TMemoryExec(params, Progress::Share, parent) {}

bool TDev24Exec::ident(TSerialPort *, QString &)
{
    return true;
}

// ---- Requests ---------------------------------------------------------------

bool TDev24Exec::i2c24Leave(TSerialPort *port, const QByteArray &pins, QString &error)
{
    QByteArray payload = pins;
    return send(port, I2C24_LEAVE, payload, error);
}

bool TDev24Exec::i2c24SetClk(TSerialPort *port, quint32 clock, QString &error)
{
    QByteArray payload(4, 0);
    qToLittleEndian<quint32>(clock, payload.data());
    return send(port, I2C24_SET_CLK, payload, error);
}

bool TDev24Exec::i2c24SetAddr(TSerialPort *port, quint8 address, QString &error)
{
    QByteArray payload(1, char(address));
    return send(port, I2C24_SET_ADDR, payload, error);
}

QByteArray TDev24Exec::addressBytes(quint8 addrSize, qint64 address)
{
    const quint64 a = quint64(address);
    const auto byteAt = [a](int k) { return char((a >> (8 * k)) & 0xFF); };
    QByteArray head;
    head.append(char((CONTROL_BYTE | (quint8(byteAt(addrSize)) << 1)) & 0xFF));
    head.append(byteAt(addrSize - 1));
    if (addrSize > 1)
        head.append(byteAt(0));
    return head;
}

qint64 TDev24Exec::addressLimit(quint8 addrSize)
{
    return addrSize == 1 || addrSize == 2 ? qint64(1) << (8 * addrSize + 3) : 0;
}

bool TDev24Exec::i2c24Write(TSerialPort *port, quint8 addrSize, qint64 address,
                            const QByteArray &data, QString &error)
{
    QByteArray payload = addressBytes(addrSize, address) + data;
    return send(port, I2C24_WRITE, payload, error);
}

bool TDev24Exec::i2c24Read(TSerialPort *port, quint8 addrSize, qint64 address, quint16 count,
                           QByteArray &data, QString &error)
{
    data.clear();
    data.resize(2);
    qToLittleEndian<quint16>(count, data.data());
    data += addressBytes(addrSize, address);
    return send(port, I2C24_READ, data, error);
}

bool TDev24Exec::i2c24WriteByAlg(quint8 alg, TSerialPort *port, quint8 addrSize,
                                 qint64 address, const QByteArray &data, QString &error)
{
    return alg == 0 && i2c24Write(port, addrSize, address, data, error);
}

bool TDev24Exec::i2c24ReadByAlg(quint8 alg, TSerialPort *port, quint8 addrSize, qint64 address,
                                quint16 count, QByteArray &data, QString &error)
{
    return alg == 0 && i2c24Read(port, addrSize, address, count, data, error);
}

// ---- Commands ---------------------------------------------------------------

bool TDev24Exec::execute(TSerialPort *port, bool *, int *, int *)
{
    QString error;
    const int id = schema::cmdId(m_params);
    return runCommand(port, {
        {CMD_SET_ADDR, [&] { return execSetAddr(port); }},
        {CMD_SET_CLK, [&] { return sent(i2c24SetClk(port, getClkCmdParams(m_params), error), error); }},
        {CMD_ERASE, [&] { return execErase(port); }},
        {CMD_LEAVE, [&] { return sent(i2c24Leave(port, pinStateBytes(id, false), error), error); }},
    });
}

bool TDev24Exec::execSetAddr(TSerialPort *port)
{
    if (!lookUp(false))
        return false;
    const uint mask = devParam(DEV_ADDR_MASK).toUInt();
    const uint addr = uint(schema::integer(m_params, SET_ADDR_ADDR));
    QString error;
    return sent(i2c24SetAddr(port, quint8(((mask & addr) & 0x7F) << 1), error), error);
}

bool TDev24Exec::execErase(TSerialPort *port)
{
    if (!lookUp(true))
        return false;
    const qint64 first = devParam(DEV_ADDR_BEGIN).toLongLong();
    return fillRange(port, Main, first, first + devParam(DEV_SIZE).toLongLong() - 1, 0xFF, true);
}

// ---- The memory -------------------------------------------------------------

bool TDev24Exec::hasArea(Area area) const
{
    return area == Main;
}

TCheck TDev24Exec::areaCheck(const TData &dev, bool write, qint64 first, qint64 last)
{
    const quint8 addrSize = quint8(getParam(SOURCE, __LINE__, dev, QLatin1String(DEV_ADDR_SIZE)).toUInt());
    const qint64 limit = addressLimit(addrSize);
    if (limit == 0)
        return TCheck::refused(QLatin1String(DEV_ADDR_SIZE), lang.text(MSG_ADDR_SIZE).arg(addrSize));
    if (write && quint16(getParam(SOURCE, __LINE__, dev, QLatin1String(DEV_PAGE_SIZE)).toUInt()) == 0)
        return TCheck::refused(QLatin1String(DEV_PAGE_SIZE), lang.text(execmsg::BLOCK_ZERO));
    // One bit more than the control byte carries would change the
    // device-type code and reach another chip.
    if (first <= last && last >= limit)
        return TCheck::refused(QLatin1String(DEV_ADDR_SIZE),
                               lang.text(MSG_ADDR_RANGE).arg(hexText64(last), hexText64(limit - 1)));
    const char *key = write ? DEV_ALG_WRITE : DEV_ALG_READ;
    const quint8 alg = quint8(getParam(SOURCE, __LINE__, dev, QLatin1String(key)).toUInt());
    if (alg != 0)
        return variantRefused(QLatin1String(key), alg);
    return TCheck::valid();
}

TCheck TDev24Exec::describedCheck(const TData &dev, const TData &params)
{
    Transfer transfer;
    if (schema::cmdCode(params) == QLatin1String(CMD_ERASE))
        transfer = memoryOf(dev, Main, true);
    else if (!transferOf(params, dev, transfer))
        return TCheck::valid();
    if (TCheck range = describedRange(dev, transfer); !range)
        return range;
    return areaCheck(dev, transfer.write, transfer.first, transfer.last);
}

bool TDev24Exec::prepareArea(Area, bool write, qint64 first, qint64 last, TChunkRule &rule)
{
    if (!passes(areaCheck(devParams(), write, first, last)))
        return false;
    m_addrSize = quint8(devParam(DEV_ADDR_SIZE).toUInt());
    m_algRead = quint8(devParam(DEV_ALG_READ).toUInt());
    m_algWrite = quint8(devParam(DEV_ALG_WRITE).toUInt());
    // The address bits above the word address ride in the control byte: a
    // chip may wrap its address counter at the end of the span the word
    // address reaches, as the chips with a block-select bit do. A write
    // wraps onto the start of its page.
    rule = TChunkRule(maxData()).within(qint64(1) << (8 * m_addrSize));
    if (write)
        rule.within(quint16(devParam(DEV_PAGE_SIZE).toUInt())).atMost(TProtocol::MAX_PAYLOAD - 1 - m_addrSize);
    return checkRule(rule);
}

bool TDev24Exec::readChunk(TSerialPort *port, Area, qint64 address, qint64 count, QByteArray &bytes)
{
    QString error;
    return sent(i2c24ReadByAlg(m_algRead, port, m_addrSize, address, quint16(count), bytes, error), error);
}

bool TDev24Exec::writeChunk(TSerialPort *port, Area, qint64 address, const QByteArray &bytes)
{
    QString error;
    return sent(i2c24WriteByAlg(m_algWrite, port, m_addrSize, address, bytes, error), error);
}
