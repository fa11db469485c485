#pragma once
// The one accessor of the program's INI files: its own settings file, the
// hot-key file and the programmer descriptions. UTF-8, full keys of the form
// "/Group/Key", and one stored form per value type:
//   flag      0 or 1
//   integer   decimal
//   text list items joined with "|"
//   int list  decimal items joined with "|"
//   colour    0xRRGGBB as a decimal integer (read back opaque)
// A missing or unreadable file reads as empty: every read gives its default.
// Changes reach the file when the object is destroyed or on flush().
//
// A hand-written value holding an unquoted comma reads as the text it holds
// (the plain INI reader would turn it into a list).

#include <QColor>
#include <QList>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class TSettings : public QSettings
{
public:
    // The program's own settings file (settingsFilePath()).
    TSettings();
    // The INI file at that path.
    explicit TSettings(const QString &fileName);
    ~TSettings() override;

    bool readBool(const QString &key, bool def) const;
    void writeBool(const QString &key, bool value);
    int readInt(const QString &key, int def) const;
    void writeInt(const QString &key, int value);
    double readDouble(const QString &key, double def) const;
    QString readString(const QString &key, const QString &def) const;
    void writeString(const QString &key, const QString &value);
    // An absent key gives a list of one empty item.
    QStringList readStringList(const QString &key) const;
    void writeStringList(const QString &key, const QStringList &value);
    // Fewer than two stored items give the default list.
    QList<int> readIntList(const QString &key, const QList<int> &def) const;
    void writeIntList(const QString &key, const QList<int> &value);
    QColor readColor(const QString &key, const QColor &def) const;
    void writeColor(const QString &key, const QColor &value);

    // Key names of a group (without the group), in the reader's order.
    QStringList groupKeys(const QString &group);
    // The same keys as full keys "/<group>/<key>".
    QStringList groupKeyPaths(const QString &group);
    void removeGroup(const QString &group);

    // Writes pending changes; true only when the whole file was written.
    bool flush();

    // Rewrites the INI file at path whole or not at all: fill() edits a
    // copy of it, the copy is read back and must hold every key with its
    // value, and only then its bytes replace the file through a checked
    // save file. A disk that fills part-way leaves the old file as it was
    // and gives false.
    static bool writeWhole(const QString &path, const std::function<void(TSettings &)> &fill);

private:
    QVariant readValue(const QString &key, const QVariant &def) const;
    bool rawText(const QString &key, QString *text) const;
};
