#pragma once
// Readers of the list files of the devices folder. Every call reads its file
// afresh; a missing or unreadable file reads as empty and malformed lines are
// skipped without a word.

#include "core/TPairStringList.h"
#include "devices/TAutoListItem.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// "devices.lst": device name to description file, both sides trimmed; a
// repeated name keeps its last file.
QHash<QString, QString> readDevicesList();

// "types.lst": the number of the first line whose key is exactly the type
// name; 0 when there is none.
quint32 deviceTypeOf(const QString &typeName);

// "signature.lst" of the given folder: the chip name of the first line whose
// key is exactly the signature; message 400 when none matches.
QString findSignatureName(const QString &dir, const QString &signature);

// "auto.lst": the families in file order.
QList<TAutoListItem> loadAutoList();
QStringList autoListNames();
// The device file / pair file of the first family of that name; empty when none.
QString autoListText(const QString &name);
QString autoListFile(const QString &name);
// The pairs of a family's pair file; empty when the family or its file is missing.
TPairStringList loadAutoPairs(const QString &name);

// The pairs of a "key=value" file, in file order, neither side trimmed.
TPairStringList readPairFile(const QString &path);
