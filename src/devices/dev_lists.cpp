#include "devices/dev_lists.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "devices/text_lines.h"

namespace {

const char *const devicesListFile = "devices.lst";
const char *const typesListFile = "types.lst";
const char *const signatureListFile = "signature.lst";
const char *const autoListFileName = "auto.lst";

QString devicesDirFile(const QString &name)
{
    return makeAbsolutePath(appData.folder(&TAppData::pathDevices), name);
}

// Calls f(key, value) for each "key=value" line of a list file, split at the
// first "=", after the common rules: the line is trimmed, empty lines,
// comments and lines without "=" are skipped. Stops when f returns false.
template <typename F>
void forEachPair(const QString &path, F f)
{
    const QStringList lines = textlines::readLines(path);
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (!f(line.left(eq), line.mid(eq + 1)))
            return;
    }
}

const TAutoListItem *findAuto(const QList<TAutoListItem> &list, const QString &name)
{
    for (const TAutoListItem &item : list) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

} // namespace

QHash<QString, QString> readDevicesList()
{
    QHash<QString, QString> devices;
    forEachPair(devicesDirFile(QLatin1String(devicesListFile)),
                [&](const QString &key, const QString &value) {
                    devices.insert(key.trimmed(), value.trimmed());
                    return true;
                });
    return devices;
}

quint32 deviceTypeOf(const QString &typeName)
{
    quint32 type = 0;
    forEachPair(devicesDirFile(QLatin1String(typesListFile)),
                [&](const QString &key, const QString &value) {
                    if (key != typeName)
                        return true;
                    type = value.trimmed().toUInt(nullptr, 10);
                    return false;
                });
    return type;
}

QString findSignatureName(const QString &dir, const QString &signature)
{
    QString name;
    bool found = false;
    forEachPair(makeAbsolutePath(dir, QLatin1String(signatureListFile)),
                [&](const QString &key, const QString &value) {
                    if (key != signature)
                        return true;
                    name = value;
                    found = true;
                    return false;
                });
    return found ? name : lang.text(400);
}

QList<TAutoListItem> loadAutoList()
{
    QList<TAutoListItem> list;
    forEachPair(devicesDirFile(QLatin1String(autoListFileName)),
                [&](const QString &key, const QString &value) {
                    const QStringList parts = value.split(QLatin1Char('|'), Qt::SkipEmptyParts);
                    if (parts.size() == 2)
                        list.append(TAutoListItem{key, parts.at(0), parts.at(1)});
                    return true;
                });
    return list;
}

QStringList autoListNames()
{
    QStringList names;
    for (const TAutoListItem &item : loadAutoList())
        names.append(item.name);
    return names;
}

QString autoListText(const QString &name)
{
    const QList<TAutoListItem> list = loadAutoList();
    const TAutoListItem *item = findAuto(list, name);
    return item ? item->deviceFile : QString();
}

QString autoListFile(const QString &name)
{
    const QList<TAutoListItem> list = loadAutoList();
    const TAutoListItem *item = findAuto(list, name);
    return item ? item->pairFile : QString();
}

TPairStringList loadAutoPairs(const QString &name)
{
    const QString file = autoListFile(name);
    if (file.isEmpty())
        return TPairStringList();
    return readPairFile(devicesDirFile(file));
}

TPairStringList readPairFile(const QString &path)
{
    TPairStringList pairs;
    forEachPair(path, [&](const QString &key, const QString &value) {
        pairs.add(key, value);
        return true;
    });
    return pairs;
}
