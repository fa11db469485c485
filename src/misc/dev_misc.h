#pragma once
// Small helpers shared by the chip drivers, their executors, the programmer
// and tool commands, the data-file formats and several forms: texts for
// sizes, ranges, frequencies and verify mismatches, hex text <-> bytes, the
// length of the next transfer block and the overline mark-up of pin names.
// None of them keeps state; all may run in any thread.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Hex numbers: upper case, at least two digits; a negative value is written
// as its 64-bit two's complement (-1 gives FFFFFFFFFFFFFFFF).
QString hexText(int value);
QString hexText64(qint64 value);

// "0x<first>..0x<first + count - 1> :0x<fill>".
QString rangeText(qint64 first, qint64 count, quint8 fill);
// "0x<first>..0x<last> :<DATA>" for the bytes of a hex data text.
QString rangeSizeText(qint64 first, const QString &data);
// "<FORMAT>: <file>".
QString formatFileText(const QString &format, const QString &file);
// "64 Kbyte", "1 Mbyte", ... for the usual memory sizes, else "<n> byte".
QString sizeName(qint64 size);
// "400 Hz", "32.768 KHz", "4 MHz".
QString freqText(int hz);
// "100 KHz, 50 %".
QString generatorText(int hz, int duty);
// "Address: 0x.., Data: 0x.., Read: 0x..".
QString verifyMismatchText(qint64 address, qint64 expected, qint64 read);
// Pin name with "#" marking overlined stretches, as rich text.
QString overlineText(const QString &name);

// The text read as a base-16 number; 0 when it is not one.
uint toUInt(const QString &text);
qint64 toLongLong(const QString &text);
// Hex text (blanks allowed) to bytes; stray characters are skipped and an
// odd digit at the front makes a byte of its own ("ABC" gives 0A BC).
QByteArray hexStringToBytes(const QString &text);
// Two upper-case hex digits per byte, no separators.
QString bytesToHexString(const QByteArray &bytes);
// The same, with a blank wherever the template text has one.
QString bytesToHexStringLike(const QString &like, const QByteArray &bytes);

// Length of the next transfer starting at pos: never past last and never
// across a multiple of block. 0 when pos lies beyond last, when pos is
// negative or when block is below 1.
qint64 chunkLength(qint64 pos, qint64 last, qint64 block);
