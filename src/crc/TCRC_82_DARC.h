#pragma once

#include "crc/ICRC.h"

// CRC-82/DARC: reflected, polynomial 0x0308C0111011401440411, initial value
// and final XOR 0. Too wide for one machine word, it keeps its register in
// two 64-bit words and works bit by bit.
class TCRC_82_DARC final : public ICRC
{
public:
    TCRC_82_DARC() = default;

    void update(const char *data, qint64 length) override;
    // 11 bytes; the first holds bits 81 and 80 in its two low bits.
    QByteArray result() override;

private:
    struct Register
    {
        quint64 high = 0; // bits 81 to 64
        quint64 low = 0;  // bits 63 to 0
    };
    Register m_reg;
};
