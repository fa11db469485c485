#pragma once
// An SPI NOR flash of the 25xx kind in the fake programmer's socket, with
// the programmer's 25xx firmware in front of it.
//
// Firmware (device-level codes after a 7-byte set-up record):
//   1 pin states, 2 clock (4 bytes): kept.
//   3 count16, bytes out: one chip select, the bytes shifted out, then
//     count bytes clocked in, which are the reply.
//   4 bytes out: write enable (0x06) in a chip select of its own, the bytes
//     in the next one, then read status 1 until BUSY clears; the reply comes
//     after that.
//
// Chip (3-byte addresses, wrapping at the end of the array): JEDEC ID 0x9F;
// read 0x03 and fast read 0x0B; page program 0x02 (ANDs into the array and
// wraps inside its 256-byte page; of more than 256 bytes the last 256
// count); erase 0x20 (4K), 0x52 (32K), 0xD8 (64K) with exactly three address
// bytes, chip erase 0xC7 / 0x60 alone (address bytes after it make the chip
// ignore it); status registers 0x05/0x35/0x15 and 0x01/0x31/0x11 (BUSY and
// WEL read-only, reserved bits stay 0, lock bits LB1-3 one-time);
// block protection by BP0-2, TB, SEC and CMP; security registers 0x44,
// 0x42, 0x48 (256 bytes each, R = register number in A15-12, wrapping inside
// the register, locked ones ignore programs and erases); SFDP 0x5A with a
// header, one parameter header and the density of the array; unique ID 0x4B
// (four dummy bytes). Programs, erases and status writes need WEL, clear it
// and leave BUSY set for `busyPolls` status reads.

#include "support/ChipModel.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

class Spi25Chip : public ChipModel
{
public:
    // size in bytes (a power of two), the 3 JEDEC identification bytes.
    Spi25Chip(qint64 size, const QByteArray &jedecId, int securityRegisters = 3);

    ChipReply setup(const QByteArray &record) override;
    ChipReply request(quint8 code, const QByteArray &payload) override;

    // One chip-select period: the bytes shifted in and `clocks` more
    // bytes clocked out, which are returned.
    QByteArray transfer(const QByteArray &out, int clocks);

    // Error code of a write whose busy bit never cleared.
    static constexpr quint16 ERR_BUSY = 8;
    static constexpr int PAGE = 256;

    qint64 size;
    QByteArray jedecId;
    QByteArray array;
    QByteArray uniqueId;
    QByteArray sfdp;
    QVector<QByteArray> security;
    quint8 status[3] = {0x00, 0x02, 0x60};
    // Writable bits of each status register; the others read as the chip
    // sets them (a 32 Mbyte chip also takes ADP, 0x02 of register 3).
    quint8 writable[3] = {0xFC, 0x7B, 0x64};
    bool wel = false;
    int busy = 0;              // status reads left with BUSY set
    int busyPolls = 2;         // BUSY lasts this many status reads after an operation

    // What the firmware and the chip saw.
    QByteArray setupRecord;
    QByteArray pins;
    quint32 clock = 0;
    int writeEnables = 0;      // 0x06 instructions
    int ignored = 0;           // instructions the chip ignored (no WEL, protected, malformed)
    int busyRejected = 0;      // instructions that arrived while BUSY was set

    // True when the byte lies in the block-protected part of the array.
    bool isProtected(qint64 address) const;

private:
    qint64 addressOf(const QByteArray &out) const;
    bool startWrite();
    void finishWrite();
    void eraseRange(qint64 first, qint64 length);
};
