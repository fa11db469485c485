#pragma once

#include <QString>
#include <QtGlobal>

#include <cstring>
#include <limits>

// Arithmetic of the numeric edits. It saturates instead of wrapping: Up on
// the largest value stays there.

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

// The digits the edits take: those of ASCII alone. Qt's own tests
// (QChar::isDigit, an input mask's digit places, "\d" in some expression
// classes) also take the digits of other scripts, such as Arabic-Indic,
// Devanagari or full-width ones, which no number of this program is
// written in.
inline bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

inline bool isAsciiHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
           || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Every character of the text is one of the ASCII characters given.
inline bool onlyOf(const QString &text, const char *allowed)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0 || u > 0x7F || !std::strchr(allowed, char(u)))
            return false;
    }
    return true;
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

// The text of a hexadecimal edit without its "0x" prefix (the first two
// characters, whatever they are), as a 64-bit two's complement value.
inline qint64 int64FromHexText(const QString &text)
{
    bool ok = false;
    const quint64 n = text.mid(2).toULongLong(&ok, 16);
    return ok ? qint64(n) : 0;
}
