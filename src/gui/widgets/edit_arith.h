#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// Arithmetic of the numeric edits. It saturates instead of wrapping: Up on
// the largest value stays there, and a typed value too large for the edit
// is taken as the largest one.

inline qint64 addSaturated(qint64 a, qint64 b)
{
    if (b > 0 && a > std::numeric_limits<qint64>::max() - b)
        return std::numeric_limits<qint64>::max();
    if (b < 0 && a < std::numeric_limits<qint64>::min() - b)
        return std::numeric_limits<qint64>::min();
    return a + b;
}

inline int toIntSaturated(qint64 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// Texts of the edits read as numbers; a text that does not parse (an
// empty one too) gives 0.
inline int intFromText(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : 0;
}

inline qint64 int64FromText(const QString &text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok, 10);
    return ok ? n : 0;
}

// The digits of a hexadecimal edit (its text after "0x") as a number: up to
// 16 hexadecimal digits, taken as a 64-bit two's complement value, or, as a
// negative value is shown, a minus sign and a magnitude of at most
// 8000000000000000. ok is false for anything else, an empty text included.
inline qint64 hexDigitsValue(const QString &digits, bool *ok)
{
    *ok = false;
    const bool negative = digits.startsWith(QLatin1Char('-'));
    const QString magnitude = negative ? digits.mid(1) : digits;
    if (magnitude.isEmpty() || magnitude.size() > 16)
        return 0;
    quint64 n = 0;
    for (const QChar c : magnitude) {
        const char ch = c.toLatin1();
        int digit = -1;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        if (digit < 0)
            return 0;
        n = n * 16 + quint64(digit);
    }
    if (negative && n > quint64(1) << 63)
        return 0;
    *ok = true;
    return negative ? qint64(0 - n) : qint64(n);
}

// The text of a hexadecimal edit without its "0x" prefix (the first two
// characters, whatever they are) as a number; 0 when it is not one.
inline qint64 int64FromHexText(const QString &text)
{
    bool ok = false;
    const qint64 n = hexDigitsValue(text.mid(2), &ok);
    return ok ? n : 0;
}
