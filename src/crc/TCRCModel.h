#pragma once

#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>

#include <cstring>
#include <type_traits>

// The parametrised CRC model of widths 3 to 64: a width, a polynomial in
// normal form (top bit omitted), an initial value, whether input bytes are
// reflected, whether the output is reflected, and a final XOR value. All
// values are given in normal bit order.
//
// The register has the smallest unsigned type of at least `Width` bits
// (8, 16, 32 or 64) and holds the CRC like this:
// - reflected input: bit-reversed over the width, in the low bits;
// - normal input: in normal order, in the top `Width` bits.
// Either way the register's bytes line up with the input bytes, so one table
// lookup handles one byte and eight lookups in eight tables handle eight
// bytes at once. The first table is the classic byte table of the model;
// table k gives the effect of a byte followed by k zero bytes.
template <int Width, quint64 Poly, quint64 Init, bool RefIn, bool RefOut, quint64 XorOut>
class TCRCModel
{
    static_assert(Width >= 3 && Width <= 64, "table-driven CRCs are 3 to 64 bits wide");

public:
    using Register = std::conditional_t<(Width <= 8), quint8,
                     std::conditional_t<(Width <= 16), quint16,
                     std::conditional_t<(Width <= 32), quint32, quint64>>>;

    static constexpr int registerBits = int(8 * sizeof(Register));
    static constexpr int resultBytes = (Width + 7) / 8;

    // The register before the first byte.
    static constexpr Register start()
    {
        return RefIn ? Register(reflect(Init & mask())) : Register((Init & mask()) << (registerBits - Width));
    }

    static Register update(Register reg, const char *data, qint64 length)
    {
        const Tables &t = tables();
        const uchar *p = reinterpret_cast<const uchar *>(data);
        for (; length >= 8; length -= 8, p += 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if constexpr (RefIn) {
                const quint64 x = qFromLittleEndian(word) ^ reg;
                reg = Register(t.v[7][x & 0xFF] ^ t.v[6][(x >> 8) & 0xFF] ^ t.v[5][(x >> 16) & 0xFF]
                      ^ t.v[4][(x >> 24) & 0xFF] ^ t.v[3][(x >> 32) & 0xFF] ^ t.v[2][(x >> 40) & 0xFF]
                      ^ t.v[1][(x >> 48) & 0xFF] ^ t.v[0][x >> 56]);
            } else {
                const quint64 x = qFromBigEndian(word) ^ (quint64(reg) << (64 - registerBits));
                reg = Register(t.v[7][x >> 56] ^ t.v[6][(x >> 48) & 0xFF] ^ t.v[5][(x >> 40) & 0xFF]
                      ^ t.v[4][(x >> 32) & 0xFF] ^ t.v[3][(x >> 24) & 0xFF] ^ t.v[2][(x >> 16) & 0xFF]
                      ^ t.v[1][(x >> 8) & 0xFF] ^ t.v[0][x & 0xFF]);
            }
        }
        for (; length > 0; --length, ++p)
            reg = step(t.v[0], reg, *p);
        return reg;
    }

    // The check value of a register: output reflection and final XOR
    // applied. The register itself is left as it is.
    static constexpr quint64 finish(Register reg)
    {
        quint64 v = RefIn ? quint64(reg) & mask() : quint64(reg) >> (registerBits - Width);
        if (RefIn != RefOut)
            v = reflect(v);
        return (v ^ XorOut) & mask();
    }

    // finish() as bytes, most significant first.
    static QByteArray result(Register reg)
    {
        const quint64 v = finish(reg);
        QByteArray bytes(resultBytes, '\0');
        for (int i = 0; i < resultBytes; ++i)
            bytes[i] = char((v >> (8 * (resultBytes - 1 - i))) & 0xFF);
        return bytes;
    }

private:
    struct Tables
    {
        Register v[8][256];
    };

    static constexpr quint64 mask() { return Width == 64 ? ~quint64(0) : (quint64(1) << Width) - 1; }

    static constexpr quint64 reflect(quint64 value)
    {
        quint64 out = 0;
        for (int i = 0; i < Width; ++i)
            if (value & (quint64(1) << i))
                out |= quint64(1) << (Width - 1 - i);
        return out;
    }

    static Register step(const Register *table, Register reg, uchar byte)
    {
        if constexpr (RefIn)
            return Register((reg >> 8) ^ table[(reg ^ byte) & 0xFF]);
        return Register(Register(quint64(reg) << 8) ^ table[((reg >> (registerBits - 8)) ^ byte) & 0xFF]);
    }

    static Tables build()
    {
        Tables t{};
        // The byte table. Reflected: the polynomial bit-reversed, shifting
        // right. Normal: the polynomial moved to the top of the register,
        // shifting left.
        for (quint64 i = 0; i < 256; ++i) {
            quint64 c;
            if constexpr (RefIn) {
                c = i;
                for (int bit = 0; bit < 8; ++bit)
                    c = (c & 1) ? (c >> 1) ^ reflect(Poly & mask()) : c >> 1;
            } else {
                const int top = registerBits - 1;
                const quint64 poly = (Poly & mask()) << (registerBits - Width);
                c = i << (registerBits - 8);
                for (int bit = 0; bit < 8; ++bit)
                    c = ((c >> top) & 1) ? (c << 1) ^ poly : c << 1;
            }
            t.v[0][i] = Register(c);
        }
        // A byte followed by k zero bytes: one more zero byte each time.
        for (int k = 1; k < 8; ++k)
            for (int i = 0; i < 256; ++i)
                t.v[k][i] = step(t.v[0], t.v[k - 1][i], 0);
        return t;
    }

    static const Tables &tables()
    {
        static const Tables t = build();
        return t;
    }
};
