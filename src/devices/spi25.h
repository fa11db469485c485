#pragma once
// Request builders of the 25xx SPI flash: one function per SPI instruction
// sequence, each sent as device-level programmer requests (the meaning below
// holds after the 25xx set-up record went out with PROG_SETUP), and one
// dispatcher per function that picks the transfer variant a device key names.
//
//   code 1  pin states on leaving the chip   payload: the pin bytes
//   code 2  SPI clock                        payload: 32-bit clock, LSB first
//   code 3  SPI write, then read             payload: 16-bit read count, bytes out;
//                                            reply: the bytes clocked in
//   code 4  SPI write                        payload: bytes out; the reply
//                                            comes when the chip has finished
//                                            (write enable and busy wait are
//                                            the programmer's business)
//
// Addresses are 3 bytes: A2, A1, A0 are bits 16-23, 8-15, 0-7 of the address;
// higher bits never reach the chip, so callers keep ranges below 16 Mbyte.
// Security-register addresses are register index * 256 + offset; the index
// travels as R = (index + 1) << 4 in A1. SFDP addresses travel as A0 only.
//
// Every function returns true on success; a failed request copies the link's
// error text into errorText. Dispatchers given a variant other than 0 return
// false at once: nothing sent, errorText untouched. No state is kept.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class TSerialPort;

namespace spi25 {

enum Code : quint8 {
    CODE_LEAVE = 1,
    CODE_CLK = 2,
    CODE_WRITE_READ = 3,
    CODE_WRITE = 4,
};

enum Instruction : quint8 {
    INS_WRITE_STATUS1 = 0x01,
    INS_PAGE_PROGRAM = 0x02,
    INS_READ_STATUS1 = 0x05,
    INS_WRITE_ENABLE = 0x06,
    INS_FAST_READ = 0x0B,
    INS_WRITE_STATUS3 = 0x11,
    INS_READ_STATUS3 = 0x15,
    INS_WRITE_STATUS2 = 0x31,
    INS_READ_STATUS2 = 0x35,
    INS_PROGRAM_SECURITY = 0x42,
    INS_ERASE_SECURITY = 0x44,
    INS_READ_SECURITY = 0x48,
    INS_READ_UNIQUE_ID = 0x4B,
    INS_READ_SFDP = 0x5A,
    INS_READ_JEDEC_ID = 0x9F,
};

constexpr int STATUS_REGISTERS = 3;
constexpr int JEDEC_ID_SIZE = 3;
constexpr int UNIQUE_ID_SIZE = 8;
constexpr qint64 SECURITY_REG_SIZE = 256;
constexpr int SECURITY_REG_MAX = 8;                 // one selection bit each
constexpr qint64 ADDRESS_LIMIT = qint64(1) << 24;   // reach of 3 address bytes
constexpr qint64 SFDP_LIMIT = 256;                  // reach of A0

// Payload parts, exposed for the wire tests and the executor's checks.
QByteArray address3(qint64 address);
quint8 securityIndexByte(int index);

bool spi25TakeError(TSerialPort *port, QString &errorText);

bool spi25SetClk(TSerialPort *port, quint32 clock, QString &errorText);
bool spi25Leave(TSerialPort *port, const QByteArray &pins, QString &errorText);
bool spi25ReadJedecId(TSerialPort *port, QByteArray &buffer, QString &errorText);
bool spi25Erase(TSerialPort *port, quint8 instruction, qint64 address, QString &errorText);
bool spi25Read(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer, QString &errorText);
bool spi25PageProgram(TSerialPort *port, qint64 address, const QByteArray &data, QString &errorText);
bool spi25ReadStatus(TSerialPort *port, QByteArray &output, QString &errorText);
// Register by register; *written (when given) counts those the programmer
// confirmed.
bool spi25WriteStatus(TSerialPort *port, const QByteArray &bytes, QString &errorText, int *written = nullptr);
bool spi25ReadSfdp(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer, QString &errorText);
bool spi25EraseSecurityReg(TSerialPort *port, quint8 index, QString &errorText);
bool spi25ReadSecurityReg(TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                          QString &errorText);
bool spi25ProgramSecurityReg(TSerialPort *port, qint64 address, const QByteArray &data, QString &errorText);
bool spi25ReadUniqueId(TSerialPort *port, QByteArray &buffer, QString &errorText);

bool spi25ReadJedecIdByAlg(int alg, TSerialPort *port, QByteArray &buffer, QString &errorText);
bool spi25EraseByAlg(int alg, TSerialPort *port, quint8 instruction, qint64 address, QString &errorText);
bool spi25ReadByAlg(int alg, TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                    QString &errorText);
bool spi25PageProgramByAlg(int alg, TSerialPort *port, qint64 address, const QByteArray &data,
                           QString &errorText);
bool spi25ReadStatusByAlg(int alg, TSerialPort *port, QByteArray &output, QString &errorText);
bool spi25WriteStatusByAlg(int alg, TSerialPort *port, const QByteArray &bytes, QString &errorText,
                           int *written = nullptr);
bool spi25ReadSfdpByAlg(int alg, TSerialPort *port, qint64 address, quint16 count, QByteArray &buffer,
                        QString &errorText);
bool spi25EraseSecurityRegByAlg(int alg, TSerialPort *port, quint8 index, QString &errorText);
bool spi25ReadSecurityRegByAlg(int alg, TSerialPort *port, qint64 address, quint16 count,
                               QByteArray &buffer, QString &errorText);
bool spi25ProgramSecurityRegByAlg(int alg, TSerialPort *port, qint64 address, const QByteArray &data,
                                  QString &errorText);
bool spi25ReadUniqueIdByAlg(int alg, TSerialPort *port, QByteArray &buffer, QString &errorText);

} // namespace spi25
