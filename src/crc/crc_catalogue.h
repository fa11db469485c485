#pragma once

#include <QString>
#include <QStringList>

class ICRC;

// A new algorithm object for one of the catalogue's names (the catalogue
// name of a CRC or checksum, or one of its aliases). Names are compared
// case-sensitively and character for character; any other name gives null.
// The caller owns the object.
ICRC *createCRC(const QString &name);

// The name is one of the catalogue's names or aliases (as createCRC takes them).
bool isCRCName(const QString &name);

// The algorithm a new CRC command starts with: "CRC-32".
QString defaultCRCName();

// The names that "crc.lst" in the program folder enables, in the order of its
// lines. Each line is a name, "=" and 1; other values switch the line off,
// lines starting with "#" are comments. The file is read at every call; a
// missing or unreadable file gives an empty list.
QStringList enabledCRCNames();
