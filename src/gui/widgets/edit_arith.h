#pragma once

#include <QString>
#include <QValidator>
#include <QtGlobal>

#include <algorithm>
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

// The characters of isAsciiHexDigit, for onlyOf.
constexpr const char *asciiHexDigits = "0123456789ABCDEFabcdef";

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

// What a decimal validator says of a text (an empty one counts as 0):
// Invalid with a character other than those allowed; Intermediate while it
// is a number being typed that is none yet, ending in a sign, a point or an
// exponent mark ("-", ".", "-.", "1.", "1e-") that a digit would make one;
// else Acceptable when it parses.
template <typename Parses>
inline QValidator::State decimalState(const QString &input, const char *allowed, Parses parses)
{
    const QString text = input.isEmpty() ? QStringLiteral("0") : input;
    if (!onlyOf(text, allowed))
        return QValidator::Invalid;
    if (!isAsciiDigit(text.back()) && parses(text + QLatin1Char('0')))
        return QValidator::Intermediate;
    return parses(text) ? QValidator::Acceptable : QValidator::Invalid;
}

// The digits after the point that a decimal text (one that parses, with a
// '.' point) needs to be written without its exponent and its trailing
// zeros: "3.30" needs 1, "33.3e-1" 2, "1.5e2" and "0.00" none. An exponent
// too large to count needs more than any field holds.
inline int decimalsNeeded(const QString &text)
{
    const int e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    qint64 exponent = 0;
    if (e >= 0) {
        bool ok = false;
        exponent = text.mid(e + 1).toLongLong(&ok);
        if (!ok || exponent < -1000000)
            return std::numeric_limits<int>::max();
    }
    const QString mantissa = e < 0 ? text : text.left(e);
    const int point = mantissa.indexOf(QLatin1Char('.'));
    QString digits = mantissa;
    if (point >= 0) {
        digits.remove(point, 1);
        exponent -= mantissa.size() - point - 1;
    }
    // Trailing zeros give the number no digit.
    while (digits.endsWith(QLatin1Char('0'))) {
        digits.chop(1);
        ++exponent;
    }
    if (!std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); }))
        return 0;
    return exponent >= 0 ? 0 : int(qMin<qint64>(-exponent, std::numeric_limits<int>::max()));
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

// Whether the text has a "0x" (or "0X") at the position.
inline bool hexPrefixAt(const QString &text, int pos)
{
    return text.size() >= pos + 2 && text.at(pos) == QLatin1Char('0')
           && (text.at(pos + 1) == QLatin1Char('x') || text.at(pos + 1) == QLatin1Char('X'));
}

// Where the digits of a hexadecimal edit's text begin: behind its "0x" and
// behind a second one that a pasted number brought along; at 0 when the
// text has no prefix.
inline int hexDigitsStart(const QString &text)
{
    if (!hexPrefixAt(text, 0))
        return 0;
    return hexPrefixAt(text, 2) ? 4 : 2;
}

// The text of a hexadecimal edit, with or without its "0x" prefix, as a
// 64-bit two's complement value.
inline qint64 int64FromHexText(const QString &text)
{
    const QString digits = text.mid(hexDigitsStart(text));
    if (!onlyOf(digits, asciiHexDigits))
        return 0;
    bool ok = false;
    const quint64 n = digits.toULongLong(&ok, 16);
    return ok ? qint64(n) : 0;
}
