#include "link/TProtocol.h"

quint8 TProtocol::checksum(const char *data, int size)
{
    quint8 sum = 0;
    for (int i = 0; i < size; ++i)
        sum = quint8(sum + quint8(data[i]));
    return quint8(0x100 - sum);
}

QByteArray TProtocol::frame(quint8 code, const QByteArray &payload)
{
    const int size = qMin(payload.size(), MAX_PAYLOAD);
    QByteArray bytes;
    bytes.reserve(size + FRAME_OVERHEAD);
    bytes.append(char(FRAME_START));
    bytes.append(char(code));
    bytes.append(char(size & 0xFF));
    bytes.append(char((size >> 8) & 0xFF));
    bytes.append(payload.constData(), size);
    bytes.append(char(checksum(bytes)));
    return bytes;
}
