#include "support/NumberedLanguage.h"

#include "core/TLang.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

bool NumberedLanguage::load()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    QFile file(dir.filePath(QStringLiteral("numbered.lng")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    {
        QTextStream out(&file);
        for (int i = 0; i < 1000; ++i)
            out << text(i) << '\n';
    }
    file.close();
    lang.load(file.fileName());
    return lang.text(999) == text(999);
}

QString NumberedLanguage::text(int number)
{
    return QStringLiteral("msg %1").arg(number);
}
