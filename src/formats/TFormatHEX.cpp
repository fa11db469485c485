#include "formats/TFormatHEX.h"

#include "misc/dev_misc.h"

namespace {

constexpr qint64 maxHexAddress = 0xFFFFFFFFLL;
constexpr int maxLineLength = 1023;
constexpr int recordBytes = 16;

const char hexDigits[] = "0123456789ABCDEF";

int nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
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
    if (!windowValid()) {
        if (addrFile <= maxHexAddress && addrFile >= 0 && addrDevice >= 0 && blockSize >= 1
            && endDevice >= addrDevice - 1)
            return fail(QStringLiteral("The file addresses 0x%1 to 0x%2 do not fit an Intel HEX file")
                            .arg(hexText64(addrFile), hexText64(windowEnd)));
        return fail(badWindowText(addrFile, addrDevice, endDevice, blockSize));
    }
    mode = openMode;
    pending.clear();
    pendingAddr = addrFile;
    base = 0;
    ended = false;
    if (mode != ModeWrite)
        return openForReading(fileName);

    extType = windowEnd > 0xFFFFF ? 4 : windowEnd > 0xFFFF ? 2 : 0;
    if (!openForWriting(fileName, false))
        return false;
    if (extType != 0) {
        QByteArray text;
        emitExtended(text, addrFile);
        if (!writeAll(text)) {
            file.reset();
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- writing

void TFormatHEX::appendRecord(QByteArray &text, int type, quint16 offset, const char *data,
                              int size)
{
    const int start = text.size();
    text.resize(start + 1 + 2 * (size + 5) + 2);
    char *out = text.data() + start;
    *out++ = ':';
    quint8 sum = 0;
    auto put = [&](quint8 b) {
        sum += b;
        *out++ = hexDigits[b >> 4];
        *out++ = hexDigits[b & 0x0F];
    };
    put(quint8(size));
    put(quint8(offset >> 8));
    put(quint8(offset));
    put(quint8(type));
    for (int i = 0; i < size; ++i)
        put(quint8(data[i]));
    const quint8 check = quint8(-sum);
    *out++ = hexDigits[check >> 4];
    *out++ = hexDigits[check & 0x0F];
    *out++ = '\r';
    *out++ = '\n';
}

void TFormatHEX::emitExtended(QByteArray &text, qint64 address)
{
    upper = quint16(address >> 16);
    // A window that did not ask for extended records still gets correct
    // ones when data lies above 64 KiB; segment records reach only 1 MiB.
    if (extType == 0 || (extType == 2 && upper > 0xF))
        extType = upper > 0xF ? 4 : 2;
    const quint16 value = extType == 2 ? quint16(upper << 12) : upper;
    const char data[2] = {char(value >> 8), char(value & 0xFF)};
    appendRecord(text, extType, 0, data, 2);
}

void TFormatHEX::emitPending(QByteArray &text, bool flushAll)
{
    int done = 0;
    while (pending.size() - done >= recordBytes || (flushAll && done < pending.size())) {
        if (quint16(pendingAddr >> 16) != upper)
            emitExtended(text, pendingAddr);
        const qint64 last = pendingAddr + (pending.size() - done) - 1;
        const int length = int(chunkLength(pendingAddr, last, recordBytes));
        appendRecord(text, 0, quint16(pendingAddr), pending.constData() + done, length);
        done += length;
        pendingAddr += length;
    }
    pending.remove(0, done);
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
    QByteArray text;
    if (!pending.isEmpty() && address != pendingAddr + pending.size())
        emitPending(text, true);
    if (pending.isEmpty())
        pendingAddr = address;
    pending.append(data);
    emitPending(text, false);
    return text.isEmpty() || writeAll(text);
}

// ---------------------------------------------------------------- reading

bool TFormatHEX::readRecord(Record &record)
{
    record.type = -1;
    if (file->atEnd())
        return true;
    char line[maxLineLength + 1];
    const qint64 n = file->readLine(line, sizeof line);
    if (n < 0)
        return failWithFileError();
    const bool complete = (n > 0 && line[n - 1] == '\n') || file->atEnd();
    if (!complete || n == 0 || line[0] != ':')
        return fail(message(421));

    quint8 bytes[maxLineLength / 2];
    int count = 0;
    int high = -1;
    for (qint64 i = 1; i < n; ++i) {
        const char c = line[i];
        if (isBlank(c))
            continue;
        const int v = nibble(c);
        if (v < 0)
            return fail(message(421));
        if (high < 0) {
            high = v;
        } else {
            bytes[count++] = quint8(high << 4 | v);
            high = -1;
        }
    }
    if (high >= 0 || count < 5 || count != bytes[0] + 5)
        return fail(message(421));
    quint8 sum = 0;
    for (int i = 0; i < count; ++i)
        sum += bytes[i];
    if (sum != 0)
        return fail(message(421));
    record.type = bytes[3];
    record.offset = quint16(bytes[1] << 8 | bytes[2]);
    record.data = QByteArray(reinterpret_cast<const char *>(bytes + 4), bytes[0]);
    return true;
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

    Record record;
    while (pending.size() < blockSize && !ended) {
        const qint64 recordPos = file->pos();
        if (!readRecord(record))
            return false;
        if (record.type == -1 || record.type == 1) {
            ended = true;
            break;
        }
        if (record.type == 2 || record.type == 4) {
            if (record.data.size() != 2)
                return fail(message(421));
            if (!pending.isEmpty()) {
                // Deliver what is gathered; the record is read again next time.
                file->seek(recordPos);
                break;
            }
            const qint64 value = quint8(record.data[0]) << 8 | quint8(record.data[1]);
            base = record.type == 2 ? value << 4 : value << 16;
            continue;
        }
        if (record.type != 0 || record.data.isEmpty())
            continue;

        qint64 recAddr = base + record.offset;
        const qint64 recLast = recAddr + record.data.size() - 1;
        // Records outside the window are skipped. A record that reaches the
        // requested start gives its bytes from there on; one wholly behind
        // it (the file lists its records out of address order) still
        // belongs to the window and comes at its own address.
        if (recLast < addrFile || recAddr > windowEnd)
            continue;
        QByteArray bytes = record.data;
        const qint64 from = recLast < start ? addrFile : start;
        if (recAddr < from) {
            bytes.remove(0, int(from - recAddr));
            recAddr = from;
        }
        if (recLast > windowEnd)
            bytes.chop(int(recLast - windowEnd));

        if (pending.isEmpty()) {
            pending = bytes;
            pendingAddr = recAddr;
        } else if (pendingAddr + pending.size() == recAddr) {
            pending.append(bytes);
        } else {
            file->seek(recordPos);
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

bool TFormatHEX::close()
{
    if (file && mode == ModeWrite) {
        QByteArray text;
        emitPending(text, true);
        text.append(":00000001FF\r\n");
        if (!writeAll(text)) {
            file.reset();
            return false;
        }
    }
    return finish();
}
