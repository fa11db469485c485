#include "core/TLang.h"

#include "core/consts.h"

#include <QFile>
#include <QTextStream>

TLang lang;

TLang::TLang() = default;
TLang::~TLang() = default;

void TLang::load(const QString &path)
{
    texts.clear();
    count = 0;
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
}

QString TLang::text(int number) const
{
    if (number < 0 || number >= count)
        return QStringLiteral("?????");
    return texts.at(number);
}
