// Throughput of CRC-32, CRC-16/MODBUS, CRC-64/XZ and CRC-82/DARC over a
// 256 MiB buffer in memory, fed in pieces of 16 MiB as the CRC command feeds
// a file, beside zlib's crc32 over the same buffer.

#include "crc/ICRC.h"
#include "crc/TCRC.h"
#include "crc/TCRC_82_DARC.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <zlib.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr qint64 bufferSize = qint64(256) << 20;
constexpr qint64 pieceSize = qint64(16) << 20;

QByteArray makeBuffer()
{
    QByteArray buffer(int(bufferSize), Qt::Uninitialized);
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (qint64 i = 0; i + 8 <= bufferSize; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        memcpy(buffer.data() + i, &state, 8);
    }
    return buffer;
}

void report(const char *name, qint64 nanoseconds, const QByteArray &value)
{
    const double seconds = double(nanoseconds) / 1e9;
    std::printf("%-16s %9.1f MB/s   %s\n", name, double(bufferSize) / 1e6 / seconds,
                value.toHex().toUpper().constData());
}

void measure(const char *name, const std::function<ICRC *()> &create, const QByteArray &buffer)
{
    std::unique_ptr<ICRC> crc(create());
    QElapsedTimer timer;
    timer.start();
    for (qint64 pos = 0; pos < bufferSize; pos += pieceSize)
        crc->update(buffer.constData() + pos, qMin(pieceSize, bufferSize - pos));
    const QByteArray value = crc->result();
    report(name, timer.nsecsElapsed(), value);
}

} // namespace

int main()
{
    const QByteArray buffer = makeBuffer();
    std::printf("%lld MiB in memory, pieces of %lld MiB\n", bufferSize >> 20, pieceSize >> 20);

    measure("CRC-32", [] { return new TCRC_32_ISO_HDLC; }, buffer);

    QElapsedTimer timer;
    timer.start();
    uLong z = crc32(0L, Z_NULL, 0);
    for (qint64 pos = 0; pos < bufferSize; pos += pieceSize)
        z = crc32(z, reinterpret_cast<const Bytef *>(buffer.constData() + pos), uInt(qMin(pieceSize, bufferSize - pos)));
    const qint64 zlibTime = timer.nsecsElapsed();
    QByteArray zValue(4, '\0');
    for (int i = 0; i < 4; ++i)
        zValue[i] = char((z >> (8 * (3 - i))) & 0xFF);
    report("zlib crc32", zlibTime, zValue);

    measure("CRC-16/MODBUS", [] { return new TCRC_16_MODBUS; }, buffer);
    measure("CRC-64/XZ", [] { return new TCRC_64_XZ; }, buffer);
    measure("CRC-82/DARC", [] { return new TCRC_82_DARC; }, buffer);
    return 0;
}
