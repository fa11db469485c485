#include "formats/TFormatHEX.h"

#include "core/TLang.h"
#include "formats/format_messages.h"
#include "misc/TRangeSet.h"
#include "misc/dev_misc.h"

#include <cstring>

namespace {

constexpr qint64 maxHexAddress = TFormatHEX::maxAddress;
constexpr int maxLineLength = 1023;
constexpr int recordBytes = 16;
constexpr int bufferSize = 1 << 20;   // reading: file bytes taken at once
constexpr int textChunk = 1 << 20;    // writing: record text handed over at once
// Separate address ranges the check keeps at most (about 64 MiB).
constexpr std::size_t maxPieces = std::size_t(1) << 20;

// Value of each character as a hex digit; blanks and the rest apart.
constexpr quint8 BLANK = 0x40;
constexpr quint8 INVALID = 0x80;
struct DigitTable
{
    quint8 value[256];
    constexpr DigitTable() : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = INVALID;
        for (int c = '0'; c <= '9'; ++c)
            value[c] = quint8(c - '0');
        for (int c = 'A'; c <= 'F'; ++c)
            value[c] = quint8(c - 'A' + 10);
        for (int c = 'a'; c <= 'f'; ++c)
            value[c] = quint8(c - 'a' + 10);
        for (char c : {' ', '\t', '\r', '\n', '\v', '\f'})
            value[quint8(c)] = BLANK;
    }
};
constexpr DigitTable digits;

// The two upper-case hex digits of every byte.
struct PairTable
{
    char text[512];
    constexpr PairTable() : text()
    {
        const char hex[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            text[2 * b] = hex[b >> 4];
            text[2 * b + 1] = hex[b & 0x0F];
        }
    }
};
constexpr PairTable pairs;

QString hex2(quint8 value)
{
    return QString::fromLatin1(pairs.text + 2 * value, 2);
}

QString address(qint64 value)
{
    return QStringLiteral("0x") + hexText64(value);
}

QString characterText(unsigned char c)
{
    if (c > 0x20 && c < 0x7F)
        return QStringLiteral("\"%1\"").arg(QLatin1Char(char(c)));
    return QStringLiteral("0x") + hex2(c);
}

} // namespace

TFormatHEX::TFormatHEX(const QString &fileName, qint64 addrFile, qint64 addrDevice,
                       qint64 endDevice, qint64 blockSize)
    : fileName(fileName),
      addrFile(addrFile),
      // Computed without overflow; windowValid() rejects what does not fit.
      windowEnd(qint64(quint64(addrFile) + quint64(endDevice) - quint64(addrDevice))),
      addrDevice(addrDevice),
      endDevice(endDevice),
      blockSize(blockSize),
      pendingAddr(addrFile)
{
}

bool TFormatHEX::windowValid() const
{
    if (addrFile < 0 || addrDevice < 0 || blockSize < 1 || endDevice < addrDevice - 1)
        return false;
    // The last file address must fit the 32 bits of a HEX file.
    return addrFile <= maxHexAddress && endDevice - addrDevice <= maxHexAddress - addrFile;
}

bool TFormatHEX::open(int openMode)
{
    if (file)
        return fail(QStringLiteral("The file is already open"));
    if (openMode != ModeRead && openMode != ModeWrite)
        return fail(QStringLiteral("Unknown open mode %1").arg(openMode));
    if (!windowServed())
        return false;
    mode = openMode;
    pending.clear();
    pendingAddr = addrFile;
    base = 0;
    ended = false;
    if (mode != ModeWrite)
        return openChecked(false);

    extType = windowEnd > 0xFFFFF ? 4 : windowEnd > 0xFFFF ? 2 : 0;
    upper = 0;
    if (!openForWriting(fileName, false))
        return false;
    text.reserve(textChunk + 1024);
    text.resize(0);
    pending.reserve(recordBytes);
    if (extType != 0)
        emitExtended(addrFile);
    return true;
}

bool TFormatHEX::windowServed()
{
    if (windowValid())
        return true;
    if (addrFile <= maxHexAddress && addrFile >= 0 && addrDevice >= 0 && blockSize >= 1
        && endDevice >= addrDevice - 1)
        return fail(QStringLiteral("The file addresses 0x%1 to 0x%2 do not fit an Intel HEX file")
                        .arg(hexText64(addrFile), hexText64(windowEnd)));
    return fail(badWindowText(addrFile, addrDevice, endDevice, blockSize));
}

bool TFormatHEX::check()
{
    if (file)
        return fail(QStringLiteral("The file is already open"));
    return windowServed() && openChecked(true);
}

bool TFormatHEX::openChecked(bool checking)
{
    ordered = true;
    inWindow = false;
    lastData = -1;
    checkOnly = checking;
    // The file comes through the buffer of the line reader.
    if (!openForReading(fileName))
        return false;
    buffer.resize(bufferSize);
    // The check's pass is what every later pass is compared with.
    beginPart(0, -1);
    rewind();
    const bool ok = checkFile() && (checking || keepOpened());
    rewind();
    if (!ok || checking) {
        file.reset();
        buffer.clear();
        checkOnly = false;
    }
    return ok;
}

bool TFormatHEX::windowHasData() const
{
    return inWindow;
}

// ---------------------------------------------------------------- writing

void TFormatHEX::appendRecord(int type, quint16 offset, const char *data, int size)
{
    const int start = text.size();
    text.resize(start + 1 + 2 * (size + 5) + 2);
    char *out = text.data() + start;
    *out++ = ':';
    quint8 sum = 0;
    auto put = [&](quint8 b) {
        sum += b;
        std::memcpy(out, pairs.text + 2 * b, 2);
        out += 2;
    };
    put(quint8(size));
    put(quint8(offset >> 8));
    put(quint8(offset));
    put(quint8(type));
    for (int i = 0; i < size; ++i)
        put(quint8(data[i]));
    std::memcpy(out, pairs.text + 2 * quint8(-sum), 2);
    out += 2;
    *out++ = '\r';
    *out = '\n';
}

void TFormatHEX::emitExtended(qint64 address)
{
    upper = quint16(address >> 16);
    // A window that did not ask for extended records still gets correct
    // ones when data lies above 64 KiB; segment records reach only 1 MiB.
    if (extType == 0 || (extType == 2 && upper > 0xF))
        extType = upper > 0xF ? 4 : 2;
    const quint16 value = extType == 2 ? quint16(upper << 12) : upper;
    const char data[2] = {char(value >> 8), char(value & 0xFF)};
    appendRecord(extType, 0, data, 2);
}

// One data record; it never crosses a 16-byte boundary, and so no 64 KiB one.
void TFormatHEX::emitRecord(qint64 address, const char *data, int size)
{
    if (quint16(address >> 16) != upper)
        emitExtended(address);
    appendRecord(0, quint16(address), data, size);
}

void TFormatHEX::flushPending()
{
    if (pending.isEmpty())
        return;
    emitRecord(pendingAddr, pending.constData(), pending.size());
    pending.resize(0);
}

bool TFormatHEX::writeText()
{
    if (text.isEmpty())
        return true;
    if (!writeAll(text))
        return false;
    text.resize(0);
    return true;
}

bool TFormatHEX::write(qint64 address, const QByteArray &data)
{
    if (!file || mode != ModeWrite)
        return fail(QStringLiteral("The file is not open for writing"));
    if (data.isEmpty())
        return true;
    if (address < 0 || address > maxHexAddress - (data.size() - 1))
        return fail(QStringLiteral("The file addresses 0x%1 to 0x%2 do not fit an Intel HEX file")
                        .arg(hexText64(address),
                             hexText64(qint64(quint64(address) + quint64(data.size()) - 1))));
    // Records end on 16-byte boundaries, however the pieces come: the
    // pending bytes (never reaching a boundary) are topped up first, whole
    // records go out from the piece itself, and the rest waits.
    if (!pending.isEmpty() && address != pendingAddr + pending.size())
        flushPending();
    const char *from = data.constData();
    int left = data.size();
    qint64 at = address;
    if (!pending.isEmpty()) {
        const int room = int(recordBytes - pendingAddr % recordBytes) - pending.size();
        const int take = qMin(room, left);
        pending.append(from, take);
        from += take;
        left -= take;
        at += take;
        if (take == room)
            flushPending();
    }
    while (left > 0) {
        const int length = int(recordBytes - at % recordBytes);
        if (left < length)
            break;
        emitRecord(at, from, length);
        from += length;
        left -= length;
        at += length;
    }
    if (left > 0) {
        pendingAddr = at;
        pending.append(from, left);
    }
    return text.size() < textChunk || writeText();
}

// ---------------------------------------------------------------- reading

bool TFormatHEX::lineFault(qint64 line, const QString &what)
{
    return fail(message(fmtmsg::FILE_LINE).arg(fileName, QString::number(line), what));
}

void TFormatHEX::rewind()
{
    filePos = 0;
    bufPos = bufEnd = 0;
    fileEnd = false;
    lineNumber = 0;
    held = false;
}

bool TFormatHEX::refill()
{
    if (bufPos > 0) {
        std::memmove(buffer.data(), buffer.constData() + bufPos, size_t(bufEnd - bufPos));
        bufEnd -= bufPos;
        bufPos = 0;
    }
    const qint64 got = readAsOpened(filePos, buffer.data() + bufEnd, bufferSize - bufEnd);
    if (got < 0)
        return false;
    if (got == 0)
        fileEnd = true;
    filePos += got;
    bufEnd += int(got);
    return true;
}

int TFormatHEX::nextLine(const char *&line, int &size)
{
    for (;;) {
        const char *start = buffer.constData() + bufPos;
        const int available = bufEnd - bufPos;
        const void *end = std::memchr(start, '\n', size_t(qMin(available, maxLineLength + 1)));
        if (end || (fileEnd && available > 0)) {
            size = end ? int(static_cast<const char *>(end) - start) : available;
            bufPos += end ? size + 1 : size;
            ++lineNumber;
            if (size > maxLineLength) {
                lineFault(lineNumber, message(fmtmsg::LINE_TOO_LONG).arg(maxLineLength));
                return -1;
            }
            line = start;
            return 1;
        }
        if (available > maxLineLength) {
            lineFault(lineNumber + 1, message(fmtmsg::LINE_TOO_LONG).arg(maxLineLength));
            return -1;
        }
        if (fileEnd)
            return 0;
        if (!refill())
            return -1;
    }
}

bool TFormatHEX::nextRecord()
{
    if (held) {
        held = false;
        return true;
    }
    const char *line = nullptr;
    int n = 0;
    const int got = nextLine(line, n);
    if (got < 0)
        return false;
    if (got == 0) {
        rec.type = -1;
        rec.line = lineNumber + 1;
        return true;
    }
    rec.line = lineNumber;
    if (n > 0 && line[n - 1] == '\r')
        --n;
    if (n == 0)
        return lineFault(rec.line, message(fmtmsg::LINE_EMPTY));
    if (line[0] != ':')
        return lineFault(rec.line, message(fmtmsg::LINE_NO_COLON));

    // Pairs of digits as they mostly come; blanks between them and faults
    // are sorted out after the first character that is not a digit.
    const auto *p = reinterpret_cast<const unsigned char *>(line) + 1;
    const auto *e = reinterpret_cast<const unsigned char *>(line) + n;
    quint8 *bytes = rec.bytes;
    int count = 0;
    quint8 sum = 0;
    while (e - p >= 2) {
        const unsigned high = digits.value[p[0]];
        const unsigned low = digits.value[p[1]];
        if ((high | low) >= 16)
            break;
        const quint8 b = quint8(high << 4 | low);
        bytes[count++] = b;
        sum += b;
        p += 2;
    }
    if (p < e) {
        int high = -1;
        for (; p < e; ++p) {
            const quint8 v = digits.value[*p];
            if (v == BLANK)
                continue;
            if (v == INVALID)
                return lineFault(rec.line, message(fmtmsg::LINE_NOT_HEX).arg(characterText(*p)));
            if (high < 0) {
                high = v;
            } else {
                const quint8 b = quint8(high << 4 | v);
                bytes[count++] = b;
                sum += b;
                high = -1;
            }
        }
        if (high >= 0)
            return lineFault(rec.line, message(fmtmsg::LINE_ODD_DIGITS));
    }
    if (count < 5)
        return lineFault(rec.line, lang.text(fmtmsg::LINE_TOO_SHORT, count));
    if (count != bytes[0] + 5)
        return lineFault(rec.line, lang.text(fmtmsg::LINE_LENGTH, bytes[0], count - 5));
    if (sum != 0)
        return lineFault(rec.line, message(fmtmsg::LINE_CHECKSUM)
                                       .arg(hex2(bytes[count - 1]), hex2(quint8(bytes[count - 1] - sum))));
    rec.type = bytes[3];
    rec.offset = quint16(bytes[1] << 8 | bytes[2]);
    rec.size = bytes[0];
    return true;
}

bool TFormatHEX::typeRulesKept(const Record &record)
{
    int size = 0;
    switch (record.type) {
    case 0: return true;
    case 1: size = 0; break;
    case 2:
    case 4: size = 2; break;
    case 3:
    case 5: size = 4; break;
    default:
        return lineFault(record.line, message(fmtmsg::LINE_TYPE).arg(hex2(quint8(record.type))));
    }
    if (record.size == size)
        return true;
    return lineFault(record.line, lang.text(fmtmsg::LINE_TYPE_LENGTH, hex2(quint8(record.type)), record.size, size));
}

// The whole file, before anything is delivered.
bool TFormatHEX::checkFile()
{
    const bool anyData = outsideAllowed || windowEnd < addrFile;
    // Address ranges given so far; a file in address order only ever
    // extends the last one.
    TRangeSet given;
    qint64 highest = -1;
    qint64 extended = 0;
    for (;;) {
        if (!nextRecord())
            return false;
        if (rec.type == -1)
            return lineFault(rec.line, message(fmtmsg::LINE_NO_END));
        if (!typeRulesKept(rec))
            return false;
        if (rec.type == 1) {
            lastData = highest;
            return checkRest();
        }
        if (rec.type == 2 || rec.type == 4) {
            const qint64 value = rec.bytes[4] << 8 | rec.bytes[5];
            extended = rec.type == 2 ? value << 4 : value << 16;
            continue;
        }
        if (rec.type != 0 || rec.size == 0)
            continue;
        const qint64 first = extended + rec.offset;
        const qint64 last = first + rec.size - 1;
        const bool inside = first <= windowEnd && last >= addrFile;
        if (!anyData && (first < addrFile || last > windowEnd))
            return lineFault(rec.line, message(fmtmsg::LINE_OUTSIDE)
                                           .arg(address(first), address(last), address(addrFile),
                                                address(windowEnd)));
        inWindow = inWindow || inside;
        if (first <= highest) {
            ordered = false;
            if (given.overlaps(first, last))
                return lineFault(rec.line, message(fmtmsg::LINE_OVERLAP).arg(address(first), address(last)));
        }
        given.add(first, last);
        highest = qMax(highest, last);
        if (given.size() > maxPieces)
            return lineFault(rec.line, message(fmtmsg::LINE_PIECES).arg(maxPieces));
    }
}

// After the end record anything may follow but a further record: a file
// made by joining two files would otherwise lose the second one unseen.
bool TFormatHEX::checkRest()
{
    qint64 line = lineNumber;
    bool lineStart = true;
    for (;;) {
        for (int i = bufPos; i < bufEnd; ++i) {
            const char c = buffer.at(i);
            if (c == '\n') {
                ++line;
                lineStart = true;
            } else if (lineStart) {
                if (c == ':')
                    return lineFault(line + 1, message(fmtmsg::LINE_AFTER_END));
                lineStart = c == ' ' || c == '\t' || c == '\r';
            }
        }
        bufPos = bufEnd;
        if (fileEnd)
            return true;
        if (!refill())
            return false;
    }
}

bool TFormatHEX::read(qint64 &address, QByteArray &data)
{
    data.clear();
    if (!file || mode != ModeRead)
        return fail(QStringLiteral("The file is not open for reading"));

    // The caller's next chip address as a file address; nothing before the
    // window's start belongs to it.
    qint64 start = addrFile;
    if (address > addrDevice)
        start = address - addrDevice > windowEnd - addrFile ? windowEnd + 1
                                                            : address - addrDevice + addrFile;
    if (!pending.isEmpty() && pendingAddr < start) {
        pending.remove(0, int(qMin<qint64>(start - pendingAddr, pending.size())));
        pendingAddr = start;
    }

    while (pending.size() < blockSize && !ended) {
        if (!nextRecord())
            return false;
        if (rec.type == -1 || rec.type == 1) {
            ended = true;
            break;
        }
        if (!typeRulesKept(rec))
            return false;
        if (rec.type == 2 || rec.type == 4) {
            if (!pending.isEmpty()) {
                // Deliver what is gathered; the record is taken again next time.
                held = true;
                break;
            }
            const qint64 value = rec.bytes[4] << 8 | rec.bytes[5];
            base = rec.type == 2 ? value << 4 : value << 16;
            continue;
        }
        if (rec.type != 0 || rec.size == 0)
            continue;

        qint64 recAddr = base + rec.offset;
        const qint64 recLast = recAddr + rec.size - 1;
        // Records outside the window are skipped. A record that reaches the
        // requested start gives its bytes from there on; one wholly behind
        // it (the file lists its records out of address order) still
        // belongs to the window and comes at its own address.
        if (recLast < addrFile || recAddr > windowEnd)
            continue;
        const char *bytes = rec.data();
        int size = rec.size;
        const qint64 from = recLast < start ? addrFile : start;
        if (recAddr < from) {
            bytes += from - recAddr;
            size -= int(from - recAddr);
            recAddr = from;
        }
        if (recLast > windowEnd)
            size -= int(recLast - windowEnd);

        if (pending.isEmpty()) {
            pending.append(bytes, size);
            pendingAddr = recAddr;
        } else if (pendingAddr + pending.size() == recAddr) {
            pending.append(bytes, size);
        } else {
            held = true;
            break;
        }
    }

    if (pending.isEmpty())
        return true;
    const qint64 chipAddr = pendingAddr - addrFile + addrDevice;
    const qint64 length = chunkLength(chipAddr, chipAddr + pending.size() - 1, blockSize);
    data = pending.left(int(length));
    pending.remove(0, int(length));
    address = chipAddr;
    pendingAddr += length;
    return true;
}

bool TFormatHEX::inAddressOrder() const
{
    return ordered;
}

qint64 TFormatHEX::lastDataAddress() const
{
    return lastData;
}

bool TFormatHEX::restart()
{
    if (!file || mode != ModeRead)
        return fail(QStringLiteral("The file is not open for reading"));
    rewind();
    pending.clear();
    pendingAddr = addrFile;
    base = 0;
    ended = false;
    return true;
}

bool TFormatHEX::close()
{
    if (file && mode == ModeWrite) {
        flushPending();
        text.append(":00000001FF\r\n");
        if (!writeText()) {
            file.reset();
            return false;
        }
    }
    // A file read is read whole once more: one changed since fails.
    const bool ok = !file || mode != ModeRead || partAsOpened();
    return finish() && ok;
}
