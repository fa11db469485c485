#include "core/TSettings.h"

#include <QSet>

#include <QSaveFile>

#include "core/consts.h"
#include "core/helpers.h"

#include <QFile>
#include <QTextStream>

TSettings::TSettings()
    : TSettings(settingsFilePath())
{
}

TSettings::TSettings(const QString &fileName)
    : QSettings(fileName, QSettings::IniFormat)
{
    setIniCodec(CODEC_NAME);
}

TSettings::~TSettings() = default;

QVariant TSettings::readValue(const QString &key, const QVariant &def) const
{
    const QVariant v = value(key, def);
    if (v.userType() == QMetaType::QStringList) {
        // The INI reader splits a value at unquoted commas; we never store
        // lists that way, so take the text as it stands in the file.
        QString text;
        if (rawText(key, &text))
            return text;
        return v.toStringList().join(QLatin1Char(','));
    }
    return v;
}

namespace {

int hexDigit(QChar c)
{
    const char ch = c.toLatin1();
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// Undoes the quoting and escapes of an INI value, keeping commas as text.
QString unquoteIniValue(const QString &raw)
{
    QString out;
    bool quoted = false;
    int trailingPlain = 0; // unquoted blanks at the end, dropped at the end
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            trailingPlain = 0;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar e = raw.at(++i);
            trailingPlain = 0;
            switch (e.toLatin1()) {
            case 'n': out += QLatin1Char('\n'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 'a': out += QLatin1Char('\a'); break;
            case 'b': out += QLatin1Char('\b'); break;
            case 'f': out += QLatin1Char('\f'); break;
            case 'v': out += QLatin1Char('\v'); break;
            case 'x': {
                int j = i + 1;
                uint code = 0;
                int digit = 0;
                while (j < raw.size() && (digit = hexDigit(raw.at(j))) >= 0) {
                    code = code * 16 + uint(digit);
                    ++j;
                }
                out += QChar(ushort(code));
                i = j - 1;
                break;
            }
            default: out += e; break;
            }
            continue;
        }
        if (!quoted && c == QLatin1Char(';'))
            break; // comment
        out += c;
        if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t')))
            ++trailingPlain;
        else
            trailingPlain = 0;
    }
    out.chop(trailingPlain);
    return out;
}

} // namespace

bool TSettings::rawText(const QString &key, QString *text) const
{
    // Key "/Group/Name" lives under [Group]; "/Name" under [General].
    QString path = group().isEmpty() ? key : group() + QLatin1Char('/') + key;
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString group = slash < 0 ? QStringLiteral("General") : path.left(slash);
    const QString name = slash < 0 ? path : path.mid(slash + 1);

    QFile file(fileName());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    in.setCodec(CODEC_NAME);
    QString section = QStringLiteral("General");
    bool found = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || section != group || line.left(eq).trimmed() != name)
            continue;
        *text = unquoteIniValue(line.mid(eq + 1).trimmed());
        found = true; // the last one wins, as with the INI reader
    }
    return found;
}

bool TSettings::readBool(const QString &key, bool def) const
{
    return readValue(key, def).toBool();
}

void TSettings::writeBool(const QString &key, bool value)
{
    setValue(key, value ? 1 : 0);
}

int TSettings::readInt(const QString &key, int def) const
{
    return readValue(key, def).toInt();
}

void TSettings::writeInt(const QString &key, int value)
{
    setValue(key, value);
}

double TSettings::readDouble(const QString &key, double def) const
{
    return readValue(key, def).toDouble();
}

QString TSettings::readString(const QString &key, const QString &def) const
{
    return readValue(key, def).toString();
}

void TSettings::writeString(const QString &key, const QString &value)
{
    setValue(key, value);
}

QStringList TSettings::readStringList(const QString &key) const
{
    return readString(key, QString()).split(QLatin1Char('|'));
}

void TSettings::writeStringList(const QString &key, const QStringList &value)
{
    setValue(key, value.join(QLatin1Char('|')));
}

QList<int> TSettings::readIntList(const QString &key, const QList<int> &def) const
{
    const QStringList items = readStringList(key);
    if (items.size() < 2)
        return def;
    QList<int> result;
    result.reserve(items.size());
    for (const QString &item : items)
        result.append(int(item.toUInt()));
    return result;
}

void TSettings::writeIntList(const QString &key, const QList<int> &value)
{
    QStringList items;
    items.reserve(value.size());
    for (int v : value)
        items.append(QString::number(v));
    writeStringList(key, items);
}

QColor TSettings::readColor(const QString &key, const QColor &def) const
{
    const int rgb = readInt(key, int(def.rgb() & 0xFFFFFFu));
    return QColor(QRgb(uint(rgb) | 0xFF000000u));
}

void TSettings::writeColor(const QString &key, const QColor &value)
{
    writeInt(key, int(value.rgb() & 0xFFFFFFu));
}

QStringList TSettings::groupKeys(const QString &group)
{
    beginGroup(group);
    const QStringList keys = allKeys();
    endGroup();
    return keys;
}

QStringList TSettings::groupKeyPaths(const QString &group)
{
    QStringList paths;
    for (const QString &key : groupKeys(group))
        paths.append(QStringLiteral("/%1/%2").arg(group, key));
    return paths;
}

void TSettings::removeGroup(const QString &group)
{
    beginGroup(group);
    remove(QString());
    endGroup();
}

bool TSettings::flush()
{
    sync();
    return status() == QSettings::NoError;
}

bool TSettings::writeWhole(const QString &path, const std::function<void(TSettings &)> &fill)
{
    const QString copy = path + QStringLiteral(".new");
    QFile::remove(copy);
    if (QFile::exists(path) && !QFile::copy(path, copy)) {
        QFile::remove(copy);
        return false;
    }
    bool whole = false;
    {
        TSettings edited(copy);
        fill(edited);
        edited.sync();
        if (edited.status() == QSettings::NoError) {
            // The settings writer reports no error for a file cut short by
            // a full disk: read the copy back and compare.
            const TSettings written(copy);
            const QStringList keys = edited.allKeys();
            const QStringList readBack = written.allKeys();
            whole = written.status() == QSettings::NoError
                    && QSet<QString>(keys.begin(), keys.end())
                           == QSet<QString>(readBack.begin(), readBack.end());
            for (int i = 0; whole && i < keys.size(); ++i)
                whole = written.value(keys.at(i)) == edited.value(keys.at(i));
        }
    }
    QByteArray bytes;
    QFile in(copy);
    if (whole && in.open(QIODevice::ReadOnly)) {
        bytes = in.readAll();
        whole = in.error() == QFileDevice::NoError;
        in.close();
    } else {
        whole = false;
    }
    QFile::remove(copy);
    if (!whole)
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
