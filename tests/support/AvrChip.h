#pragma once
// An AVR8 microcontroller on its serial-programming interface in the fake
// programmer's socket, with the programmer's AVR8 firmware in front of it.
//
// Firmware (after a 9-byte set-up record whose type is `avrType`): resets
// the chip and sends programming enable (AC 53 00 00); a third reply byte
// other than 53 refuses the record with ERR_NO_RESPONSE. Then:
//   1 pin states: kept; the chip leaves programming mode.
//   2 clock (4 bytes): kept.
//   3 addr16, count16: flash bytes read as words (20/28 per byte).
//   4 addr16 (even), whole words: page buffer loads (40/48; written at once
//     on a chip without pages).
//   5 addr16, count16: EEPROM reads (A0).  6 addr16, bytes: EEPROM writes (C0).
//   7 timing, b1..b4: the instruction passed on, the four bytes shifted out
//     returned; load extended address (4D) carries byte-address bits 16..23
//     from the host, which the firmware keeps for codes 3 and 4 and hands to
//     the chip in its word form (bits 17..24).
// Byte address of codes 3 and 4: the extended byte from the host above the
// 16 bits of the request. Timing bytes are recorded, nothing sleeps.
//
// Chip (as the serial-programming tables of the data sheets say): each
// reply byte echoes the byte shifted in before it, except the last one of a
// read, which carries the value; before programming enable nothing is
// echoed. Signature 30, calibration 38, fuses 50 00 / 58 08 / 50 08 (unused
// bits read 1) and A0 / A8 / A4 writes, lock 58 00 read and AC E0 write
// (programming only clears bits), chip erase AC 80 (flash, EEPROM, lock),
// paged flash with a page buffer that a page write (4C) ANDs into the array,
// extended address 4D above 128 KiB, EEPROM. Addresses wrap at the end of
// each memory.

#include "core/TData.h"
#include "support/ChipModel.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

class AvrChip : public ChipModel
{
public:
    struct Spec
    {
        QByteArray signature;      // 3 bytes
        int flashSize = 0;
        int pageSize = 0;          // bytes; 0: words written one by one
        int eepromSize = 0;
        QByteArray fuses;          // factory values, low, high, extended
        QByteArray fuseUnused;     // bits that read 1 whatever is written
        quint8 lockUnused = 0xC0;
        QByteArray calibration;
    };

    AvrChip(const Spec &spec, quint16 avrType);

    // The chip a device description describes (signature, flash and its
    // pages, EEPROM, factory fuses), with calibration bytes 9C, 9D, ...
    static Spec specOf(const TData &description);

    ChipReply setup(const QByteArray &record) override;
    ChipReply request(quint8 code, const QByteArray &payload) override;

    // One instruction on the chip's pins: four bytes in, four out.
    QByteArray shift(quint8 b1, quint8 b2, quint8 b3, quint8 b4);
    quint8 fuse(int k) const;
    quint8 lockBits() const;

    // Error codes of the firmware (message 406 + code).
    static constexpr quint16 ERR_PARAMETER = 2;
    static constexpr quint16 ERR_NOT_SUPPORTED = 10;
    static constexpr quint16 ERR_NO_RESPONSE = 6;

    Spec spec;
    quint16 avrType;
    QByteArray flash;
    QByteArray eeprom;
    QByteArray fuses;
    quint8 lock = 0xFF;
    QByteArray pageBuffer;
    bool enabled = false;
    quint8 lastIn = 0;             // last byte shifted in
    quint8 chipExt = 0;            // word-address bits 16..23
    quint8 hostExt = 0;            // byte-address bits 16..23 from the host

    // What the firmware saw.
    QByteArray setupRecord;
    quint32 clock = 0;
    QByteArray pins;
    int leaves = 0;
    int pageWrites = 0;
    int erases = 0;
    QVector<quint8> timings;       // timing byte of every code 7
    QVector<QByteArray> instructions;   // b1..b4 of every code 7
    // Faults: from this code 7 on (counted from 1), replies echo nothing;
    // the memory request (codes 3 to 6) of this number gets error failError.
    int loseSyncAt = 0;
    int failMemoryAt = 0;
    quint16 failError = 8;
    int memoryRequests = 0;
};
