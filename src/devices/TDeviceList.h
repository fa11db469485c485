#pragma once
// The device registry: which provider object handles a group of devices, and
// the reader of device description files.

#include "core/TData.h"

#include <QHash>
#include <QString>
#include <QStringList>

class IDevice;

// Makes a new provider from a device name and its description parameters;
// the caller owns the result.
typedef IDevice *(*TDeviceCreator)(const QString &name, const TData &params);

class TDeviceList
{
public:
    TDeviceList();
    virtual ~TDeviceList();

    // The creator of the group that handles the device. An empty file name
    // names a group directly ("Tools", "Prog"). Otherwise the description
    // file, resolved against the devices folder, is read into params (with
    // "dev_file" set to its absolute path) and its "gui_type" names the
    // group. A missing or unreadable file leaves params alone. Gives nullptr
    // when no group matches.
    TDeviceCreator creatorForFile(const QString &name, const QString &file, TData &params) const;

    // Registers a further group. The program's groups are registered by the
    // constructor; tests add providers of their own through this.
    void addCreator(const QString &group, TDeviceCreator creator);

    // Splits "name = type | value": the name ends at the first "=", the type
    // at the first "|" after it; both are trimmed, the value is kept as it
    // stands. False when the "=" or the "|" after it is missing.
    static bool parseLine(const QString &line, QString &name, QString &type, QString &value);
    // The parameter record of a description's lines.
    static TData parseParams(const QStringList &lines);
    // The parameter record of a description file; empty when it cannot be read.
    static TData readDescription(const QString &path, bool *read = nullptr);

private:
    QHash<QString, TDeviceCreator> creators;
};

// The one registry of the program.
extern TDeviceList deviceList;
