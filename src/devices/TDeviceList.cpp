#include "devices/TDeviceList.h"

#include "core/TAppData.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/TDev24.h"
#include "devices/TDev25.h"
#include "devices/TDevAVR8_spi.h"
#include "devices/TDevProg.h"
#include "devices/TDevXMC1_ascfd.h"
#include "devices/TDevTools.h"
#include "devices/text_lines.h"

#include <QFileInfo>
#include <QVariant>

TDeviceList deviceList;

TDeviceList::TDeviceList()
{
    creators.insert(QLatin1String(GROUP_TOOLS), &TDevTools::create);
    creators.insert(QLatin1String(GROUP_PROG), &TDevProg::create);
    creators.insert(QLatin1String(GROUP_DEV24), &TDev24::create);
    creators.insert(QLatin1String(GROUP_DEV25), &TDev25::create);
    creators.insert(QLatin1String(GROUP_DEV_AVR8_SPI), &TDevAVR8_SPI::create);
    creators.insert(QLatin1String(GROUP_DEV_XMC1_ASCFD), &TDevXMC1_ASCFD::create);
}

TDeviceList::~TDeviceList() = default;

TDeviceCreator TDeviceList::creatorForFile(const QString &name, const QString &file,
                                           TData &params) const
{
    QString group = name;
    if (!file.isEmpty()) {
        group.clear();
        const QString path = makeAbsolutePath(appData.folder(&TAppData::pathDevices), file);
        bool read = false;
        TData parsed = readDescription(path, &read);
        if (read) {
            parsed.insert(QLatin1String(DEV_DEV_FILE), QFileInfo(path).absoluteFilePath());
            group = parsed.value(QLatin1String(DEV_GUI_TYPE)).toString();
            params = parsed;
        }
    }
    return creators.value(group, nullptr);
}

TData TDeviceList::readDescription(const QString &path, bool *read)
{
    bool opened = false;
    const QStringList lines = textlines::readLines(path, &opened);
    if (read)
        *read = opened;
    return parseParams(lines);
}

void TDeviceList::addCreator(const QString &group, TDeviceCreator creator)
{
    if (creator)
        creators.insert(group, creator);
}

bool TDeviceList::parseLine(const QString &line, QString &name, QString &type, QString &value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    const int bar = line.indexOf(QLatin1Char('|'), eq + 1);
    if (bar < 0)
        return false;
    name = line.left(eq).trimmed();
    type = line.mid(eq + 1, bar - eq - 1).trimmed();
    value = line.mid(bar + 1);
    return true;
}

namespace {

// The value of a scalar line, or an invalid variant for an unknown type.
QVariant scalarValue(QChar type, const QString &text)
{
    switch (type.unicode()) {
    case 's': return text;
    case 'd': return text.toInt(nullptr, 10);
    case 'D': return text.toLongLong(nullptr, 10);
    case 'u': return text.toUInt(nullptr, 10);
    case 'U': return text.toULongLong(nullptr, 10);
    case 'x': return text.toUInt(nullptr, 16);
    case 'X': return text.toULongLong(nullptr, 16);
    case 'b': return text.toUInt(nullptr, 2);
    case 'B': return text.toULongLong(nullptr, 2);
    case 'o': return text.toUInt(nullptr, 8);
    case 'O': return text.toULongLong(nullptr, 8);
    case 'f': return text.toFloat();
    case 'F': return text.toDouble();
    default: return QVariant();
    }
}

} // namespace

TData TDeviceList::parseParams(const QStringList &lines)
{
    TData params;
    QString listName;
    QStringList list;
    const auto storeList = [&]() {
        if (!list.isEmpty())
            params.insert(listName, list);
        list.clear();
    };

    for (const QString &line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QString name, type, value;
        if (!parseLine(line, name, type, value) || type.size() != 1)
            continue;
        if (type.at(0) == QLatin1Char('l')) {
            if (name != listName) {
                storeList();
                listName = name;
            }
            list.append(value);
            continue;
        }
        const QVariant scalar = scalarValue(type.at(0), value);
        if (scalar.isValid())
            params.insert(name, scalar);
    }
    storeList();
    return params;
}
