#include "crc/TCRC_82_DARC.h"

namespace {

// The polynomial bit-reversed over 82 bits: 0x220808A00A2022200C430.
constexpr quint64 polyHigh = 0x22080;
constexpr quint64 polyLow = 0x8A00A2022200C430;

} // namespace

void TCRC_82_DARC::update(const char *data, qint64 length)
{
    quint64 high = m_reg.high;
    quint64 low = m_reg.low;
    for (qint64 i = 0; i < length; ++i) {
        low ^= uchar(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool out = low & 1;
            low = (low >> 1) | (high << 63);
            high >>= 1;
            if (out) {
                low ^= polyLow;
                high ^= polyHigh;
            }
        }
    }
    m_reg.high = high;
    m_reg.low = low;
}

QByteArray TCRC_82_DARC::result()
{
    QByteArray bytes(11, '\0');
    for (int i = 0; i < 3; ++i)
        bytes[i] = char((m_reg.high >> (8 * (2 - i))) & 0xFF);
    for (int i = 0; i < 8; ++i)
        bytes[3 + i] = char((m_reg.low >> (8 * (7 - i))) & 0xFF);
    return bytes;
}
