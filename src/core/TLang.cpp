#include "core/TLang.h"

#include "core/consts.h"
#include "core/core_messages.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

TLang lang;

namespace {

bool asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

TLang::TLang() = default;
TLang::~TLang() = default;

void TLang::load(const QString &path)
{
    texts.clear();
    count = 0;
    forms = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    in.setCodec(CODEC_NAME); // a byte-order mark is honoured by the stream
    while (!in.atEnd()) {
        QString line = in.readLine();
        line.replace(QLatin1String("\\n"), QLatin1String("\n"));
        if (line.startsWith(QLatin1Char('#')))
            continue;
        texts.append(line);
    }
    count = texts.size();
    const QStringList names = text(MSG_COUNT_FORMS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (names == QStringList{QStringLiteral("one"), QStringLiteral("other")})
        forms = 2;
    else if (names == QStringList{QStringLiteral("one"), QStringLiteral("few"), QStringLiteral("many")})
        forms = 3;
}

QString TLang::text(int number) const
{
    if (number < 0 || number >= count)
        return QStringLiteral("?????");
    return texts.at(number);
}

int TLang::formOf(const QString &value) const
{
    // Sign and leading zeros apart, the last two digits decide.
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?0*(\\d+)\\s*$"));
    const QRegularExpressionMatch m = whole.match(value);
    const int last = qMax(forms - 1, 0);
    if (!m.hasMatch())
        return last;
    const QString digits = m.captured(1);
    const int n = digits.right(2).toInt();
    if (forms == 2)
        return digits == QLatin1String("1") ? 0 : 1;
    if (forms == 3 && n / 10 != 1) {
        if (n % 10 == 1)
            return 0;
        if (n % 10 >= 2 && n % 10 <= 4)
            return 1;
    }
    return last;
}

bool TLang::countGroups(const QString &message, QVector<CountGroup> *groups)
{
    groups->clear();
    for (int at = message.indexOf(QLatin1String("{%")); at >= 0; at = message.indexOf(QLatin1String("{%"), at + 1)) {
        int i = at + 2;
        while (i < message.size() && asciiDigit(message.at(i)))
            ++i;
        if (i == at + 2 || i >= message.size() || message.at(i) != QLatin1Char(':'))
            continue;
        CountGroup g;
        g.placeholder = message.mid(at + 2, i - at - 2).toInt();
        const int end = message.indexOf(QLatin1Char('}'), i);
        const int inner = message.indexOf(QLatin1Char('{'), i);
        if (g.placeholder < 1 || end < 0 || (inner >= 0 && inner < end))
            return false;
        g.forms = message.mid(i + 1, end - i - 1).split(QLatin1Char('|'));
        g.from = at;
        g.length = end + 1 - at;
        groups->append(g);
    }
    return true;
}

QString TLang::fill(const QString &message, const QStringList &values) const
{
    QString grouped = message;
    QVector<CountGroup> groups;
    if (countGroups(message, &groups)) {
        for (int i = groups.size() - 1; i >= 0; --i) {
            const CountGroup &g = groups.at(i);
            const QString form = g.forms.value(qMin(formOf(values.value(g.placeholder - 1)), g.forms.size() - 1));
            grouped.replace(g.from, g.length, form);
        }
    }
    // %1 .. %99, as QString::arg reads them, in one pass.
    QString out;
    out.reserve(grouped.size());
    for (int i = 0; i < grouped.size(); ++i) {
        int k = 0, j = i + 1;
        if (grouped.at(i) == QLatin1Char('%'))
            for (; j < grouped.size() && j < i + 3 && asciiDigit(grouped.at(j)); ++j)
                k = k * 10 + grouped.at(j).digitValue();
        if (k >= 1 && k <= values.size()) {
            out += values.at(k - 1);
            i = j - 1;
        } else {
            out += grouped.at(i);
        }
    }
    return out;
}
