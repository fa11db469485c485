#include "core/TLang.h"

#include "core/consts.h"
#include "core/core_messages.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

TLang lang;

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
    if (forms == 2)
        return m.captured(1) == QLatin1String("1") ? 0 : 1;
    const int n = m.captured(1).right(2).toInt();
    if (forms == 3 && n / 10 != 1 && n % 10 >= 1 && n % 10 <= 4)
        return n % 10 == 1 ? 0 : 1;
    return last;
}

bool TLang::countGroups(const QString &message, QVector<CountGroup> *groups)
{
    // A group's head, its forms and the brace that closes it.
    static const QRegularExpression group(QStringLiteral("\\{%(\\d+):([^{}]*)(\\}?)"));
    groups->clear();
    for (QRegularExpressionMatchIterator it = group.globalMatch(message); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int placeholder = m.captured(1).toInt();
        if (placeholder < 1 || m.captured(3).isEmpty())
            return false;
        groups->append({placeholder, m.captured(2).split(QLatin1Char('|')), m.capturedStart(), m.capturedLength()});
    }
    return true;
}

QString TLang::withForms(const QString &message, const QStringList &values) const
{
    QVector<CountGroup> groups;
    if (!countGroups(message, &groups))
        return message;
    QString out = message;
    for (auto g = groups.crbegin(); g != groups.crend(); ++g) {
        const int form = qMin(formOf(values.value(g->placeholder - 1)), g->forms.size() - 1);
        out.replace(g->from, g->length, g->forms.at(form));
    }
    return out;
}
