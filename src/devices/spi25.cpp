#include "devices/spi25.h"

#include "link/TSerialPort.h"

namespace spi25 {

namespace {

// One request; the reply (if any is wanted) replaces the payload.
bool send(TSerialPort *port, quint8 code, QByteArray &payload, QString &errorText)
{
    if (port->transaction(code, payload))
        return true;
    return spi25TakeError(port, errorText);
}

QByteArray readHeader(quint16 count)
{
    QByteArray p;
    p.append(char(count & 0xFF));
    p.append(char(count >> 8));
    return p;
}

// R of a security-register address: the register index (bits 8-15) plus one,
// in the upper nibble of A1.
quint8 securityByteOf(qint64 address)
{
    return securityIndexByte(int((address >> 8) & 0xFF));
}

} // namespace

QByteArray address3(qint64 address)
{
    QByteArray a(3, 0);
    a[0] = char((address >> 16) & 0xFF);
    a[1] = char((address >> 8) & 0xFF);
    a[2] = char(address & 0xFF);
    return a;
}

quint8 securityIndexByte(int index)
{
    return quint8(((index + 1) << 4) & 0xFF);
}

bool spi25TakeError(TSerialPort *port, QString &errorText)
{
    errorText = port->errorString();
    return false;
}

bool spi25SetClk(TSerialPort *port, quint32 clock, QString &errorText)
{
    QByteArray p;
    for (int i = 0; i < 4; ++i)
        p.append(char((clock >> (8 * i)) & 0xFF));
    return send(port, CODE_CLK, p, errorText);
}

bool spi25Leave(TSerialPort *port, const QByteArray &pins, QString &errorText)
{
    QByteArray p = pins;
    return send(port, CODE_LEAVE, p, errorText);
}

bool spi25ReadJedecId(TSerialPort *port, QByteArray &buffer, QString &errorText)
{
    buffer = readHeader(JEDEC_ID_SIZE);
    buffer.append(char(INS_READ_JEDEC_ID));
    return send(port, CODE_WRITE_READ, buffer, errorText);
}

bool spi25Erase(TSerialPort *port, quint8 instruction, qint64 address, QString &errorText)
{
    QByteArray p(1, char(instruction));
    p.append(address3(address));
    return send(port, CODE_WRITE, p, errorText);
}

bool spi25Read(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer, QString &errorText)
{
    buffer = readHeader(count);
    buffer.append(char(INS_FAST_READ));
    buffer.append(address3(address));
    buffer.append(char(0));
    return send(port, CODE_WRITE_READ, buffer, errorText);
}

bool spi25PageProgram(TSerialPort *port, qint64 address, const QByteArray &data, QString &errorText)
{
    QByteArray p(1, char(INS_PAGE_PROGRAM));
    p.append(address3(address));
    p.append(data);
    return send(port, CODE_WRITE, p, errorText);
}

bool spi25ReadStatus(TSerialPort *port, QByteArray &output, QString &errorText)
{
    for (quint8 ins : {INS_READ_STATUS1, INS_READ_STATUS2, INS_READ_STATUS3}) {
        QByteArray p = readHeader(1);
        p.append(char(ins));
        if (!send(port, CODE_WRITE_READ, p, errorText))
            return false;
        // A reply of another length is no register value: stop without a
        // byte for it (the error text stays as it was).
        if (p.size() != 1)
            return false;
        output.append(p.at(0));
    }
    return true;
}

bool spi25WriteStatus(TSerialPort *port, const QByteArray &bytes, QString &errorText, int *written)
{
    if (bytes.size() != STATUS_REGISTERS)
        return false;
    const quint8 ins[STATUS_REGISTERS] = {INS_WRITE_STATUS1, INS_WRITE_STATUS2, INS_WRITE_STATUS3};
    for (int i = 0; i < STATUS_REGISTERS; ++i) {
        QByteArray p;
        p.append(char(ins[i]));
        p.append(bytes.at(i));
        if (!send(port, CODE_WRITE, p, errorText))
            return false;
        if (written)
            *written = i + 1;
    }
    return true;
}

bool spi25ReadSfdp(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer, QString &errorText)
{
    buffer = readHeader(count);
    buffer.append(char(INS_READ_SFDP));
    buffer.append(char(0));
    buffer.append(char(0));
    buffer.append(char(address & 0xFF));
    buffer.append(char(0));
    return send(port, CODE_WRITE_READ, buffer, errorText);
}

bool spi25EraseSecurityReg(TSerialPort *port, quint8 index, QString &errorText)
{
    QByteArray p;
    p.append(char(INS_ERASE_SECURITY));
    p.append(char(0));
    p.append(char(securityIndexByte(index)));
    p.append(char(0));
    return send(port, CODE_WRITE, p, errorText);
}

bool spi25ReadSecurityReg(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                          QString &errorText)
{
    buffer = readHeader(count);
    buffer.append(char(INS_READ_SECURITY));
    buffer.append(char(0));
    buffer.append(char(securityByteOf(address)));
    buffer.append(char(address & 0xFF));
    buffer.append(char(0));
    return send(port, CODE_WRITE_READ, buffer, errorText);
}

bool spi25ProgramSecurityReg(TSerialPort *port, qint64 address, const QByteArray &data, QString &errorText)
{
    QByteArray p;
    p.append(char(INS_PROGRAM_SECURITY));
    p.append(char(0));
    p.append(char(securityByteOf(address)));
    p.append(char(address & 0xFF));
    p.append(data);
    return send(port, CODE_WRITE, p, errorText);
}

bool spi25ReadUniqueId(TSerialPort *port, QByteArray &buffer, QString &errorText)
{
    buffer = readHeader(UNIQUE_ID_SIZE);
    buffer.append(char(INS_READ_UNIQUE_ID));
    buffer.append(QByteArray(4, 0));
    return send(port, CODE_WRITE_READ, buffer, errorText);
}

// ---- Variants: only variant 0 exists ---------------------------------------

bool spi25ReadJedecIdByAlg(int alg, TSerialPort *port, QByteArray &buffer, QString &errorText)
{
    return alg == 0 && spi25ReadJedecId(port, buffer, errorText);
}

bool spi25EraseByAlg(int alg, TSerialPort *port, quint8 instruction, qint64 address, QString &errorText)
{
    return alg == 0 && spi25Erase(port, instruction, address, errorText);
}

bool spi25ReadByAlg(int alg, TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                    QString &errorText)
{
    return alg == 0 && spi25Read(port, address, count, buffer, errorText);
}

bool spi25PageProgramByAlg(int alg, TSerialPort *port, qint64 address, const QByteArray &data,
                           QString &errorText)
{
    return alg == 0 && spi25PageProgram(port, address, data, errorText);
}

bool spi25ReadStatusByAlg(int alg, TSerialPort *port, QByteArray &output, QString &errorText)
{
    return alg == 0 && spi25ReadStatus(port, output, errorText);
}

bool spi25WriteStatusByAlg(int alg, TSerialPort *port, const QByteArray &bytes, QString &errorText, int *written)
{
    return alg == 0 && spi25WriteStatus(port, bytes, errorText, written);
}

bool spi25ReadSfdpByAlg(int alg, TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                        QString &errorText)
{
    return alg == 0 && spi25ReadSfdp(port, address, count, buffer, errorText);
}

bool spi25EraseSecurityRegByAlg(int alg, TSerialPort *port, quint8 index, QString &errorText)
{
    return alg == 0 && spi25EraseSecurityReg(port, index, errorText);
}

bool spi25ReadSecurityRegByAlg(int alg, TSerialPort *port, qint64 address, quint16 count,
                               QByteArray &buffer, QString &errorText)
{
    return alg == 0 && spi25ReadSecurityReg(port, address, count, buffer, errorText);
}

bool spi25ProgramSecurityRegByAlg(int alg, TSerialPort *port, qint64 address, const QByteArray &data,
                                  QString &errorText)
{
    return alg == 0 && spi25ProgramSecurityReg(port, address, data, errorText);
}

bool spi25ReadUniqueIdByAlg(int alg, TSerialPort *port, QByteArray &buffer, QString &errorText)
{
    return alg == 0 && spi25ReadUniqueId(port, buffer, errorText);
}

} // namespace spi25
