#pragma once

#include "crc/ICRC.h"

// The 8-bit checksums: the two's complement of the 8-bit sum of all bytes,
// so that a stream followed by its checksum byte sums to 0 modulo 256. The
// two classes compute the same; they exist under the names users know them by.
#define VELKOR_CHECKSUM_8(Class)                                                           \
    class Class final : public ICRC                                                       \
    {                                                                                     \
    public:                                                                               \
        void update(const char *data, qint64 length) override                            \
        {                                                                                 \
            quint8 reg = m_reg;                                                           \
            for (qint64 i = 0; i < length; ++i)                                           \
                reg = quint8(reg - uchar(data[i]));                                       \
            m_reg = reg;                                                                  \
        }                                                                                 \
        QByteArray result() override { return QByteArray(1, char(m_reg)); }              \
                                                                                          \
    private:                                                                              \
        quint8 m_reg = 0;                                                                 \
    };

VELKOR_CHECKSUM_8(TCHKSUM_8_HEX)
VELKOR_CHECKSUM_8(TCHKSUM_8_MODBUS)

#undef VELKOR_CHECKSUM_8
