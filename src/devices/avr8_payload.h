#pragma once
// What the host sends to the programmer for an AVR8 microcontroller on its
// serial-programming (SPI) interface, one free function per chip operation.
// After a set-up record of an AVR8 type the programmer takes the
// device-level codes as follows (lo/hi: low and high byte of 16 bits):
//
//   1  leave programming mode   pin-state bytes (reset duration first)
//   2  set the SPI clock        clock, 32 bits little-endian
//   3  read flash               addr lo, addr hi, count lo, count hi -> bytes
//   4  load flash               addr lo, addr hi (even), [FF], data, [FF]
//   5  read EEPROM              addr lo, addr hi, count lo, count hi -> bytes
//   6  write EEPROM             addr lo, addr hi, data
//   7  one instruction          timing byte, b1 b2 b3 b4 -> r0 r1 r2 r3
//
// Addresses are byte addresses of which codes 3 to 6 carry the low 16 bits;
// the load-extended-address instruction supplies byte-address bits 16..23.
// The timing byte of an instruction is 0 for reads, 0xFF when the
// programmer is to poll the chip, else a delay in milliseconds.
//
// Every operation takes the port first and the caller's error text last,
// and returns false on failure: a failed exchange leaves the link's error
// text, a missing echo (or a code 7 reply that is not four bytes) message
// 404. The dispatchers (...ByAlg) pick the variant by the algorithm number
// of the device description; a number without a variant fails at once,
// sends nothing and leaves the error text as it was.

#include "devices/exec_messages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class TSerialPort;

namespace avr8 {

// Device-level programmer codes.
enum Code : quint8 {
    CODE_LEAVE = 1,
    CODE_SET_CLK = 2,
    CODE_READ_FLASH = 3,
    CODE_LOAD_FLASH = 4,
    CODE_READ_EEPROM = 5,
    CODE_WRITE_EEPROM = 6,
    CODE_INSTRUCTION = 7,
};

// Message of an instruction the chip did not echo.
constexpr int MSG_NOT_ECHOED = 404;

// The last extended address of a command before any was sent: the first
// flash chunk of every command selects its 64 KiB block.
constexpr qint64 EXT_UNKNOWN = -1;

// The timing byte of a write or erase: 0xFF to poll, else the delay's low byte.
qint8 timingByte(bool polling, quint32 delay);

} // namespace avr8

void avrEchoError(bool &ok, QString &error);

bool avrSetClk(TSerialPort *port, quint32 clock, QString &error);
bool avrLeave(TSerialPort *port, const QByteArray &pins, QString &error);

// Signature bytes 0, 1, 2 appended to sig (not cleared first).
bool avrReadSignature(TSerialPort *port, QByteArray &sig, QString &error);
bool avrChipErase(TSerialPort *port, qint8 timing, QString &error);

// Flash reads: data becomes the reply.
bool avrReadFlash(TSerialPort *port, qint64 address, quint16 count, QByteArray &data, QString &error);
bool avrReadFlashExt(TSerialPort *port, qint64 &lastExt, qint64 address, quint16 count,
                     QByteArray &data, QString &error);
// Flash loads: whole words from an even address. On return address is the
// aligned start and count the number of bytes loaded, pads included.
bool avrLoadFlash(TSerialPort *port, qint64 &address, quint16 &count, const QByteArray &data,
                  qint8 timing, QString &error);
bool avrWriteFlashPage(TSerialPort *port, qint64 &address, quint16 &count, const QByteArray &data,
                       qint8 timing, QString &error);
bool avrWriteFlashPageExt(TSerialPort *port, qint64 &lastExt, qint64 &address, quint16 &count,
                          const QByteArray &data, qint8 timing, QString &error);

bool avrReadEeprom(TSerialPort *port, qint64 address, quint16 count, QByteArray &data, QString &error);
bool avrWriteEeprom(TSerialPort *port, qint64 address, const QByteArray &data, QString &error);

// Fuses: bytes low, high, extended; reads append to out.
bool avrReadFusesOld(TSerialPort *port, QByteArray &out, QString &error);
bool avrReadFuses(TSerialPort *port, QByteArray &out, quint8 count, QString &error);
bool avrWriteFuseBit(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error);
bool avrWriteFusesOld(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error);
// One fuse byte a request; *written (when given) counts those confirmed.
bool avrWriteFuses(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error, int *written = nullptr);

bool avrReadLockOld(TSerialPort *port, quint8 &value, QString &error);
bool avrReadLock(TSerialPort *port, quint8 &value, QString &error);
bool avrWriteLockOld(TSerialPort *port, quint8 value, qint8 timing, QString &error);
bool avrWriteLock(TSerialPort *port, quint8 value, qint8 timing, QString &error);

bool avrReadOsccal(TSerialPort *port, QByteArray &out, quint8 count, QString &error);

// ---- Dispatchers: "alg_ident", "alg_erase", "alg_flash_read", ... ----------

bool avrReadSignatureByAlg(quint8 alg, TSerialPort *port, QByteArray &sig, QString &error);
bool avrChipEraseByAlg(quint8 alg, TSerialPort *port, qint8 timing, QString &error);
bool avrReadFlashByAlg(quint8 alg, TSerialPort *port, qint64 &lastExt, qint64 address, quint16 count,
                       QByteArray &data, QString &error);
bool avrWriteFlashByAlg(quint8 alg, TSerialPort *port, qint64 &lastExt, qint64 &address,
                        quint16 &count, const QByteArray &data, qint8 timing, QString &error);
bool avrReadEepromByAlg(quint8 alg, TSerialPort *port, qint64 address, quint16 count,
                        QByteArray &data, QString &error);
bool avrWriteEepromByAlg(quint8 alg, TSerialPort *port, qint64 address, const QByteArray &data,
                         QString &error);
bool avrReadFusesByAlg(quint8 alg, TSerialPort *port, QByteArray &out, quint8 count, QString &error);
// *written (when given): the fuse requests confirmed; the variants 0 and
// 1 write in one request.
bool avrWriteFusesByAlg(quint8 alg, TSerialPort *port, const QByteArray &data, qint8 timing,
                        QString &error, int *written = nullptr);
bool avrReadLockByAlg(quint8 alg, TSerialPort *port, quint8 &value, QString &error);
bool avrWriteLockByAlg(quint8 alg, TSerialPort *port, quint8 value, qint8 timing, QString &error);
bool avrReadOsccalByAlg(quint8 alg, TSerialPort *port, QByteArray &out, quint8 count, QString &error);

namespace avr8 {

// The highest variant the dispatcher of an algorithm key knows ("alg_ident",
// "alg_flash_write", ...); -1 for a key that names no payload operation.
int highestAlg(const QString &key);

// The lock bits are one byte; the payload writes and reads just that one.
constexpr int LOCK_BYTES = 1;
// At most this many fuse bytes (low, high, extended).
constexpr int MAX_FUSES = 3;

// Messages of the AVR8 and XMC1 executors.
constexpr int MSG_NO_DEVICE = execmsg::NO_DEVICE;
constexpr int MSG_NO_BLOCK = execmsg::BLOCK_ZERO;
constexpr int MSG_SHORT_REPLY = execmsg::SHORT_REPLY;
constexpr int MSG_FUSE_COUNT = 443;       // %1 fuse bytes in the description
constexpr int MSG_DATA_COUNT = execmsg::DATA_COUNT;
constexpr int MSG_FILE_CLOSE = execmsg::FILE_CLOSE;
constexpr int MSG_OUT_OF_REACH = 446;     // %1..%2 the range
constexpr int MSG_UNKNOWN_ALG = execmsg::UNKNOWN_ALG;
constexpr int MSG_NO_OSCCAL = 448;        // no calibration bytes described
constexpr int MSG_UNKNOWN_CMD = execmsg::UNKNOWN_CMD;
constexpr int MSG_XMC1_NOT_CARRIED = 450; // the programmer does no XMC1 chip command

} // namespace avr8
