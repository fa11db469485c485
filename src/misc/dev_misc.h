#pragma once
// Small helpers shared by the chip drivers, their executors, the programmer
// and tool commands, the data-file formats and several forms: texts for
// sizes, ranges, frequencies and verify mismatches, hex text <-> bytes, the
// length of the next transfer block, the overline mark-up of pin names, the
// unpacking of memory command parameters and the clock value sent for
// "set_clk". None of them keeps state; all may run in any thread (the
// unpacking and clock functions look the command up in the project, whose
// accessors lock).

#include "core/TData.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>
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
// odd digit at the front makes a byte of its own ("ABC" gives 0A BC). Only
// for texts where a guess is harmless: whatever reaches a chip or is
// compared with one goes through hexStringToBytesChecked.
QByteArray hexStringToBytes(const QString &text);
// Hex text of whole bytes to bytes: digits in either case, white space
// anywhere. Any other character or an odd number of digits gives false and
// no bytes, so that nothing is re-aligned ("62D9F" is not 06 2D 9F).
bool hexStringToBytesChecked(const QString &text, QByteArray &bytes);
// The error of such a text: '<key> = "<text>" is not whole bytes of hex
// digits' (message 454).
constexpr int MSG_NOT_WHOLE_HEX = 454;
QString notWholeHexText(const QString &key, const QString &text);
// The reason a check gives for such a text, without its key; a long text
// is cut short.
QString notWholeHexReason(const QString &text);
// "1000000, 2000000, 4000000": the numbers of a list, as a check names them.
QString numberListText(const QVector<int> &numbers);
// Two upper-case hex digits per byte, no separators.
QString bytesToHexString(const QByteArray &bytes);
// The same, with a blank wherever the template text has one.
QString bytesToHexStringLike(const QString &like, const QByteArray &bytes);

// Length of the next transfer starting at pos: never past last and never
// across a multiple of block. 0 when pos lies beyond last, when pos is
// negative or when block is below 1.
qint64 chunkLength(qint64 pos, qint64 last, qint64 block);

// ---- Executor helpers: a command's parameters as the executors use them --

// "addr_device", "count", "fill_char": last = first + count - 1.
void getCharCmdParams(const TData &params, int &idCmd, qint64 &first, qint64 &last, quint8 &fill);
// "addr_device", "data": the bytes of the data text, last = first + n - 1.
// False, with no bytes, when the text is not whole bytes of hex digits.
bool getDataCmdParams(const TData &params, int &idCmd, qint64 &first, qint64 &last,
                      QByteArray &bytes, QString &text);
// "addr_file", "addr_device", "count", "file", "format": the file name made
// absolute against the project's work path, the format name in lower case.
void getFileCmdParams(const TData &params, int &idCmd, qint64 &addrFile, qint64 &first,
                      qint64 &last, QString &file, QString &format);
// The clock value sent for a "set_clk" command: the clock itself, or the
// value the programmer description stores for it when its interface section
// offers listed clocks only. 0 without the command, its device or its
// programmer.
quint32 getClkCmdParams(const TData &params);
