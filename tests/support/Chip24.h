#pragma once
// A 24xx I2C serial EEPROM in the socket of the fake programmer, as the
// programmer firmware drives it after a 24xx set-up record (algorithm type
// TYPE_24XX; any other record is refused with ERR_PARAM):
//   1 leave      pin states, kept in leavePins
//   2 set_clk    4 bytes, kept in clock
//   3 set_addr   1 byte, the chip-select bits in bits 3-1
//   4 write      control byte, word address (high byte first), data
//   5 read       count (2 bytes LE), control byte, word address
// The chip is addressed by the control byte OR the last chip-select byte
// (before any, the set-up record's address shifted left by one). Bits 7-4
// must be 1010 and each pin the chip has must match its strap level, else
// ERR_NO_ANSWER. At pins the chip lacks, bits 3-1 carry the address bits
// from 8n up (n word-address bytes). Writes wrap inside their page, as the
// chip's page buffer does; reads run on sequentially, wrap at the end of
// the array (or, with readsWrapInBlock, at the end of the 2^(8n) bytes the
// word address spans, as chips with a block-select bit do) and give
// exactly the count asked.

#include "support/ChipModel.h"

#include <QVector>

class Chip24 : public ChipModel
{
public:
    static constexpr quint16 TYPE_24XX = 258;
    enum Error : quint16 {
        ERR_UNKNOWN_CODE = 0,
        ERR_LENGTH = 1,
        ERR_PARAM = 2,
        ERR_NO_ANSWER = 6,
    };

    // size and page in bytes, addrSize word-address bytes, pins the chip
    // has (bit 0 A0 .. bit 2 A2) and their strap levels.
    Chip24(int size, int page, int addrSize, quint8 pins = 0, quint8 straps = 0);

    ChipReply setup(const QByteArray &record) override;
    ChipReply request(quint8 code, const QByteArray &payload) override;

    QByteArray memory;           // starts erased (0xFF)
    quint32 clock = 0;
    QByteArray leavePins;
    quint8 select = 0;           // chip-select byte in force
    QVector<int> writeSizes;     // data bytes of every write, in order
    QVector<int> readSizes;
    bool readsWrapInBlock = false;

private:
    // The word address the control byte and the address bytes select; -1
    // when the chip does not answer.
    qint64 decode(quint8 control, const QByteArray &address) const;

    int page;
    int addrSize;
    quint8 pins;
    quint8 straps;
};
