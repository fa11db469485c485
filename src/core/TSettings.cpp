#include "core/TSettings.h"

#include "core/consts.h"
#include "core/helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTextStream>

#include <algorithm>

TSettings::TSettings()
    : TSettings(settingsFilePath())
{
}

TSettings::TSettings(const QString &fileName)
    : QSettings(fileName, QSettings::IniFormat)
{
    setIniCodec(CODEC_NAME);
}

TSettings::~TSettings()
{
    // Failures here go unreported; the file stays whole either way.
    flush();
}

QVariant TSettings::readValue(const QString &key, const QVariant &def) const
{
    if (const Change *c = changeOf(fullKey(key)))
        return c->removal ? def : c->value;
    const QVariant v = QSettings::value(key, def);
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

namespace {

// A value as the INI writer stores it, for comparing what was meant with
// what a fresh read of the file gives.
QString storedForm(const QVariant &v)
{
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QChar(0x1F));
    return v.toString();
}

QHash<QString, QString> storedForms(const QSettings &s)
{
    QHash<QString, QString> forms;
    for (const QString &key : s.allKeys())
        forms.insert(key, storedForm(s.value(key)));
    return forms;
}

QString failureText(const QString &path, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString TSettings::fullKey(const QString &key) const
{
    const QString path = group().isEmpty() ? key : group() + QLatin1Char('/') + key;
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

const TSettings::Change *TSettings::changeOf(const QString &key) const
{
    for (int i = m_changes.size() - 1; i >= 0; --i) {
        const Change &c = m_changes.at(i);
        if (c.removal ? c.key.isEmpty() || key == c.key || key.startsWith(c.key + QLatin1Char('/'))
                      : key == c.key)
            return &c;
    }
    return nullptr;
}

void TSettings::setValue(const QString &key, const QVariant &value)
{
    m_changes.append({fullKey(key), false, value});
}

void TSettings::remove(const QString &key)
{
    m_changes.append({fullKey(key), true, QVariant()});
}

QVariant TSettings::value(const QString &key, const QVariant &def) const
{
    if (const Change *c = changeOf(fullKey(key)))
        return c->removal ? def : c->value;
    return QSettings::value(key, def);
}

bool TSettings::contains(const QString &key) const
{
    if (const Change *c = changeOf(fullKey(key)))
        return !c->removal;
    return QSettings::contains(key);
}

QStringList TSettings::allKeys() const
{
    const QString prefix = fullKey(QString());
    const QString below = prefix.isEmpty() ? QString() : prefix + QLatin1Char('/');
    QStringList keys;
    for (const QString &key : QSettings::allKeys())
        keys.append(below + key);
    for (const Change &c : m_changes) {
        if (!c.removal) {
            if (!keys.contains(c.key))
                keys.append(c.key);
            continue;
        }
        const QString under = c.key + QLatin1Char('/');
        keys.erase(std::remove_if(keys.begin(), keys.end(),
                                  [&](const QString &k) {
                                      return c.key.isEmpty() || k == c.key || k.startsWith(under);
                                  }),
                   keys.end());
    }
    QStringList result;
    for (const QString &key : qAsConst(keys))
        if (key.startsWith(below))
            result.append(key.mid(below.size()));
    // The order of the INI reader, as a fresh object on the written file
    // gives it.
    std::sort(result.begin(), result.end());
    return result;
}

bool TSettings::flush()
{
    m_error.clear();
    if (m_written == m_changes.size())
        return true;
    return writeChanges(m_written);
}

bool TSettings::writeChanges(int from)
{
    const QString path = QFileInfo(fileName()).absoluteFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    const auto fail = [&](const QString &reason) {
        m_error = failureText(path, reason);
        return false;
    };
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder cannot be made"));

    QByteArray old;
    if (QFile::exists(path)) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return fail(in.errorString());
        old = in.readAll();
        if (in.error() != QFileDevice::NoError)
            return fail(in.errorString());
    }

    // The INI writer edits a copy of the file under a name of its own, so
    // that the file's text keeps the form the writer gives it.
    QTemporaryFile work(path + QStringLiteral(".XXXXXX"));
    if (!work.open())
        return fail(work.errorString());
    if (work.write(old) != old.size() || !work.flush())
        return fail(work.errorString());
    work.close();
    QHash<QString, QString> meant;
    {
        QSettings edit(work.fileName(), QSettings::IniFormat);
        edit.setIniCodec(CODEC_NAME);
        for (int i = from; i < m_changes.size(); ++i) {
            const Change &c = m_changes.at(i);
            if (c.removal)
                edit.remove(c.key);
            else
                edit.setValue(c.key, c.value);
        }
        edit.sync();
        if (edit.status() != QSettings::NoError)
            return fail(QStringLiteral("the settings cannot be written"));
        meant = storedForms(edit);
    }

    // The INI writer reports no error for a file cut short by a full disk,
    // and keeps what it meant to write for any later reader of the same
    // name: read the copy back under a new name and compare.
    QString checked;
    {
        QTemporaryFile name(path + QStringLiteral(".XXXXXX"));
        if (!name.open())
            return fail(name.errorString());
        checked = name.fileName();
    }
    if (!QFile::rename(work.fileName(), checked))
        return fail(QStringLiteral("the written copy cannot be checked"));
    const auto dropChecked = qScopeGuard([&] { QFile::remove(checked); });
    {
        QSettings written(checked, QSettings::IniFormat);
        written.setIniCodec(CODEC_NAME);
        if (written.status() != QSettings::NoError || storedForms(written) != meant)
            return fail(QStringLiteral("the written copy does not read back whole"));
    }
    QFile in(checked);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(in.errorString());
    in.close();

    QString reason;
    if (!writeWholeFile(path, bytes, &reason, false))
        return fail(reason);
    m_written = m_changes.size();
    return true;
}

bool TSettings::writeWhole(const QString &path, const std::function<void(TSettings &)> &fill,
                           QString *error)
{
    TSettings settings(path);
    fill(settings);
    const bool ok = settings.flush();
    if (error)
        *error = settings.errorString();
    return ok;
}
