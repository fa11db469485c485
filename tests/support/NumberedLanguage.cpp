#include "support/NumberedLanguage.h"

#include "core/TLang.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Placeholder count of each message number messages.tsv lists.
const QHash<int, int> &placeholderCounts()
{
    static const QHash<int, int> counts = [] {
        QHash<int, int> c;
        QFile table(QStringLiteral(VELKOR_TEST_DATA_DIR "/language/messages.tsv"));
        if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
            return c;
        while (!table.atEnd()) {
            const QList<QByteArray> fields = table.readLine().split('\t');
            bool number = false, count = false;
            const int n = fields.value(0).toInt(&number);
            const int k = fields.value(1).toInt(&count);
            if (number && count)
                c.insert(n, k);
        }
        return c;
    }();
    return counts;
}

bool loadTable(QString (*text)(int), const QHash<int, QString> &asTheyStand = {})
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
            out << asTheyStand.value(i, text(i)) << '\n';
    }
    file.close();
    lang.load(file.fileName());
    return lang.text(999) == text(999);
}

} // namespace

bool NumberedLanguage::load()
{
    return loadTable(&NumberedLanguage::text);
}

bool NumberedLanguage::loadWithArguments(const QHash<int, QString> &asTheyStand)
{
    return !placeholderCounts().isEmpty() && loadTable(&NumberedLanguage::textWithArguments, asTheyStand);
}

QString NumberedLanguage::textWithArguments(int number)
{
    QString t = text(number);
    for (int k = 1; k <= placeholderCounts().value(number); ++k)
        t += QStringLiteral(" [%%1]").arg(k);
    return t;
}

QString NumberedLanguage::text(int number)
{
    return QStringLiteral("msg %1").arg(number);
}
