#include "core/TSettings.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "core/TSaveFile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSettings>
#include <QSize>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

std::function<void(const QString &)> &readHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

} // namespace

void TSettings::setReadHook(std::function<void(const QString &)> hook)
{
    readHook() = std::move(hook);
}

TSettings::TSettings()
    : TSettings(settingsFilePath())
{
}

TSettings::TSettings(const QString &fileName)
    : m_fileName(QFileInfo(fileName).absoluteFilePath())
{
}

TSettings::~TSettings()
{
    // Failures here go unreported; the file stays whole either way.
    flush();
}

namespace {

// The INI reader's grammar, byte for byte as QSettings reads a file, so that
// a value taken from the file's text is the value QSettings sees: a line
// ends at a line feed or a carriage return outside quotes; a backslash
// takes the next byte (a line end included, which joins two lines); a ";"
// at the start of a line makes a comment line and elsewhere, outside
// quotes, ends the line; the first "=" outside quotes splits key and value.

bool isIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

struct IniLine
{
    int start = 0;
    int length = 0;
    int equals = -1;
};

bool nextIniLine(const QByteArray &data, int &pos, IniLine &line)
{
    const int n = data.size();
    bool inQuotes = false;
    line.equals = -1;
    int start = pos;
    while (start < n && isIniSpace(data.at(start)))
        ++start;
    int i = start;
    while (i < n) {
        const char ch = data.at(i++);
        if (ch == '=') {
            if (!inQuotes && line.equals < 0)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < n) {
                const char e = data.at(i++);
                if (i < n) {
                    const char e2 = data.at(i);
                    if ((e == '\n' && e2 == '\r') || (e == '\r' && e2 == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';') {
            if (i == start + 1) {
                while (i < n && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < n && isIniSpace(data.at(i)))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.length = i - start;
    return line.length > 0;
}

int hexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// A key or section name as the INI reader unescapes it: Latin-1, "%XX" and
// "%UXXXX" for other characters, "\" for "/".
QString iniKeyText(const QByteArray &raw)
{
    QString out;
    int i = 0;
    const int n = raw.size();
    while (i < n) {
        const char ch = raw.at(i);
        if (ch == '\\') {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == n - 1) {
            out += QLatin1Char(ch);
            ++i;
            continue;
        }
        int first = i + 1;
        int digits = 2;
        if (raw.at(i + 1) == 'U') {
            ++first;
            digits = 4;
        }
        bool ok = first + digits <= n;
        const int code = ok ? raw.mid(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        out += QChar(ushort(code));
        i = first + digits;
    }
    return out;
}

// A value's text as the INI reader unescapes it, with unquoted commas kept
// as text where the reader would split a list at them: leading blanks
// dropped, trailing ones too unless quoted or escaped, quotes removed (and
// the blanks after a closing one), the escapes \a \b \f \n \r \t \v \" \?
// \' \\, \x<hex>, \<octal>, a backslash before a line end joining lines, and
// a backslash before any other byte dropping both.
QString iniValueText(const QByteArray &raw)
{
    QString out;
    QByteArray plain;
    const auto flushPlain = [&] {
        out += QString::fromUtf8(plain);
        plain.clear();
    };
    const int n = raw.size();
    int i = 0;
    bool inQuotes = false;
    bool quoted = false;
    int chopLimit = 0;
    const auto skipBlanks = [&] {
        while (i < n && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
        flushPlain();
        chopLimit = out.size();
    };
    skipBlanks();
    while (i < n) {
        const char ch = raw.at(i);
        if (ch == '\\') {
            flushPlain();
            if (++i >= n)
                break;
            const char e = raw.at(i++);
            static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                            {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'},
                                            {'?', '?'}, {'\'', '\''}, {'\\', '\\'}};
            bool simple = false;
            for (const auto &code : codes) {
                if (e == code[0]) {
                    out += QLatin1Char(code[1]);
                    simple = true;
                    break;
                }
            }
            if (!simple && (e == 'x' || (e >= '0' && e <= '7'))) {
                const bool hex = e == 'x';
                ushort value = hex ? 0 : ushort(e - '0');
                if (!hex || (i < n && hexDigit(raw.at(i)) >= 0)) {
                    while (i < n) {
                        const int d = hex ? hexDigit(raw.at(i)) : (raw.at(i) >= '0' && raw.at(i) <= '7' ? raw.at(i) - '0' : -1);
                        if (d < 0)
                            break;
                        value = ushort((value << (hex ? 4 : 3)) + d);
                        ++i;
                    }
                    out += QChar(value);
                }
            } else if (!simple && (e == '\n' || e == '\r') && i < n) {
                const char e2 = raw.at(i);
                if ((e2 == '\n' || e2 == '\r') && e2 != e)
                    ++i;
            }
            chopLimit = out.size();
            continue;
        }
        if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                flushPlain();
                skipBlanks();
            }
            continue;
        }
        if (ch == ',' && !inQuotes) {
            // Where the reader would start the next item: that item's
            // trailing blanks are judged on their own.
            quoted = false;
        }
        plain += ch;
        ++i;
    }
    flushPlain();
    if (!quoted) {
        int end = out.size();
        while (end > chopLimit && (out.at(end - 1) == QLatin1Char(' ') || out.at(end - 1) == QLatin1Char('\t')))
            --end;
        out.truncate(end);
    }
    return out;
}

QString normalKey(const QString &key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

} // namespace

namespace {

// Every entry of the INI text: its full key as the INI reader keeps it
// ("<section>/<key>", slashes as they stand) and its value's text, in the
// file's order (where a key comes twice, the INI reader takes the last).
void forEachIniValue(const QByteArray &data, const std::function<void(const QString &, const QString &)> &each)
{
    int pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QString section;
    IniLine line;
    while (nextIniLine(data, pos, line)) {
        if (data.at(line.start) == '[') {
            const int close = data.indexOf(']', line.start);
            const QByteArray name = (close < 0 || close >= line.start + line.length)
                                        ? data.mid(line.start + 1, line.length - 1)
                                        : data.mid(line.start + 1, close - line.start - 1);
            const QByteArray trimmed = name.trimmed();
            if (qstricmp(trimmed.constData(), "general") == 0)
                section.clear();
            else if (qstricmp(trimmed.constData(), "%general") == 0)
                section = QString::fromLatin1(trimmed.mid(1));
            else
                section = iniKeyText(trimmed);
            continue;
        }
        if (line.equals < 0)
            continue;
        int keyEnd = line.equals;
        while (keyEnd > line.start && (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
            --keyEnd;
        const QString name = iniKeyText(data.mid(line.start, keyEnd - line.start));
        const int valueStart = line.equals + 1;
        each(section.isEmpty() ? name : section + QLatin1Char('/') + name,
             iniValueText(data.mid(valueStart, line.start + line.length - valueStart)));
    }
}

// A value's text as the INI reader hands it on: "@@" stands for a text
// that begins with "@", and the forms it writes for values of other types
// ("@ByteArray(...)", "@Variant(...)", "@Rect(...)", ...) give those.
QVariant iniVariant(const QString &text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.endsWith(QLatin1Char(')'))) {
        const auto inner = [&](int from) { return text.mid(from, text.size() - from - 1); };
        const auto numbers = [&](int from, int count) {
            QVector<int> values;
            for (const QString &item : inner(from).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                values.append(item.toInt());
            return values.size() == count ? values : QVector<int>();
        };
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return inner(11).toLatin1();
        if (text.startsWith(QLatin1String("@Variant(")) || text.startsWith(QLatin1String("@DateTime("))) {
            const bool dateTime = text.at(1) == QLatin1Char('D');
            QByteArray bytes = text.mid(dateTime ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant result;
            stream >> result;
            return result;
        }
        if (text.startsWith(QLatin1String("@Rect("))) {
            const QVector<int> v = numbers(6, 4);
            if (!v.isEmpty())
                return QRect(v.at(0), v.at(1), v.at(2), v.at(3));
        } else if (text.startsWith(QLatin1String("@Size("))) {
            const QVector<int> v = numbers(6, 2);
            if (!v.isEmpty())
                return QSize(v.at(0), v.at(1));
        } else if (text.startsWith(QLatin1String("@Point("))) {
            const QVector<int> v = numbers(7, 2);
            if (!v.isEmpty())
                return QPoint(v.at(0), v.at(1));
        } else if (text == QLatin1String("@Invalid()")) {
            return QVariant();
        }
    }
    return text.startsWith(QLatin1String("@@")) ? text.mid(1) : text;
}

} // namespace

const QHash<QString, QString> &TSettings::entries() const
{
    if (!m_read) {
        QByteArray data;
        const bool read = readWholeFile(m_fileName, &data);
        takeEntries(read ? data : QByteArray());
        if (readHook())
            readHook()(m_fileName);
    }
    return m_entries;
}

void TSettings::takeEntries(const QByteArray &data) const
{
    m_read = true;
    m_entries.clear();
    forEachIniValue(data, [this](const QString &key, const QString &value) { m_entries.insert(key, value); });
}

QVariant TSettings::readValue(const QString &key, const QVariant &def) const
{
    if (const Change *c = changeOf(normalKey(key)))
        return c->removal ? def : c->value;
    const auto it = entries().constFind(normalKey(key));
    return it == entries().cend() ? def : iniVariant(*it);
}

bool TSettings::readBool(const QString &key, bool def) const
{
    const bool value = readValue(key, def).toBool();
    noteRead(key, value ? QStringLiteral("1") : QStringLiteral("0"));
    return value;
}

void TSettings::writeBool(const QString &key, bool value)
{
    setValue(key, value ? 1 : 0);
}

int TSettings::readInt(const QString &key, int def) const
{
    const int value = readValue(key, def).toInt();
    noteRead(key, QString::number(value));
    return value;
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
    const QString value = readValue(key, def).toString();
    noteRead(key, value);
    return value;
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

namespace {

QString intListText(const QList<int> &values)
{
    QStringList items;
    items.reserve(values.size());
    for (int v : values)
        items.append(QString::number(v));
    return items.join(QLatin1Char('|'));
}

} // namespace

QList<int> TSettings::readIntList(const QString &key, const QList<int> &def) const
{
    const QStringList items = readStringList(key);
    QList<int> result;
    if (items.size() < 2) {
        result = def;
    } else {
        result.reserve(items.size());
        for (const QString &item : items)
            result.append(int(item.toUInt()));
    }
    noteRead(key, intListText(result));
    return result;
}

void TSettings::writeIntList(const QString &key, const QList<int> &value)
{
    setValue(key, intListText(value));
}

QColor TSettings::readColor(const QString &key, const QColor &def) const
{
    const uint rgb = uint(readValue(key, int(def.rgb() & 0xFFFFFFu)).toInt()) & 0xFFFFFFu;
    noteRead(key, QString::number(rgb));
    return QColor(QRgb(rgb | 0xFF000000u));
}

void TSettings::writeColor(const QString &key, const QColor &value)
{
    writeInt(key, int(value.rgb() & 0xFFFFFFu));
}

QStringList TSettings::groupKeys(const QString &group) const
{
    return keysBelow(normalKey(group));
}

QStringList TSettings::groupKeyPaths(const QString &group) const
{
    QStringList paths;
    for (const QString &key : groupKeys(group))
        paths.append(QStringLiteral("/%1/%2").arg(group, key));
    return paths;
}

void TSettings::removeGroup(const QString &group)
{
    remove(group);
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
    ensureView();
    m_changes.append({normalKey(key), false, value});
}

void TSettings::remove(const QString &key)
{
    ensureView();
    m_changes.append({normalKey(key), true, QVariant()});
}

QVariant TSettings::value(const QString &key, const QVariant &def) const
{
    return readValue(key, def);
}

bool TSettings::contains(const QString &key) const
{
    if (const Change *c = changeOf(normalKey(key)))
        return !c->removal;
    return entries().contains(normalKey(key));
}

QStringList TSettings::allKeys() const
{
    return keysBelow(QString());
}

QStringList TSettings::keysBelow(const QString &prefix) const
{
    const QString below = prefix.isEmpty() ? QString() : prefix + QLatin1Char('/');
    QStringList keys = entries().keys();
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

namespace {

// A size the INI writer's text of the old file with the changes cannot
// exceed: every change as a line of its own, each character escaped.
qint64 sizeBound(qint64 oldSize, const QVector<QString> &keys, const QVector<QVariant> &values)
{
    qint64 size = oldSize + 64;
    for (int i = 0; i < keys.size(); ++i)
        size += 4 * (keys.at(i).toUtf8().size() + storedForm(values.at(i)).toUtf8().size()) + 16;
    return size;
}

// Why a write of the INI writer, which names no reason of its own, failed:
// the file is grown past what was cut off and to the size the text may
// reach, and whatever stops that (no space, the file-size limit) is the
// reason. Empty when nothing stops it.
QString reasonOfCutWrite(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    const QByteArray zeros(64 * 1024, '\0');
    const qint64 target = qMax(size, file.size() + 1);
    while (file.size() < target) {
        if (!writeBytes(file, zeros.left(int(qMin<qint64>(zeros.size(), target - file.size())))))
            return file.errorString();
    }
    return QString();
}

} // namespace

// ---- The view and what a write changes against it -------------------------------

void TSettings::ensureView() const
{
    if (m_viewTaken)
        return;
    m_viewTaken = true;
    for (auto it = entries().cbegin(); it != entries().cend(); ++it) {
        const QString key = normalKey(it.key());
        if (!m_view.contains(key))
            m_view.insert(key, it.value());
    }
}

void TSettings::noteRead(const QString &key, const QString &stored) const
{
    const QString full = normalKey(key);
    // A pending change is what this object holds, not what it read.
    if (!changeOf(full))
        m_view.insert(full, stored);
}

TSettings::View TSettings::view() const
{
    ensureView();
    return m_view;
}

void TSettings::setView(const View &view)
{
    m_view = view;
    m_viewTaken = true;
}

namespace {

bool isUnder(const QString &key, const QString &prefix)
{
    return prefix.isEmpty() || key == prefix || key.startsWith(prefix + QLatin1Char('/'));
}

bool inList(const QString &key, const TSettings::RecordList &list)
{
    return isUnder(key, list.group) || key == list.indexKey;
}

// The records of the list among the keys (full ones), each value as text()
// gives it: in the order of the keys' trailing numbers, the others last.
QVector<QStringList> recordsOf(const TSettings::RecordList &list, QStringList keys,
                               const std::function<QString(const QString &)> &text)
{
    const auto number = [](const QString &key) -> qint64 {
        int i = key.size();
        while (i > 0 && key.at(i - 1).isDigit())
            --i;
        bool ok = false;
        const qint64 n = key.mid(i).toLongLong(&ok);
        return ok ? n : std::numeric_limits<qint64>::max();
    };
    std::sort(keys.begin(), keys.end());
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const QString &a, const QString &b) { return number(a) < number(b); });
    QVector<QStringList> records;
    for (const QString &key : qAsConst(keys)) {
        const QStringList fields = text(key).split(QLatin1Char('|'));
        if (fields.size() == list.fields)
            records.append(fields);
    }
    return records;
}

// Each key that stores the records and the chosen index, with its value.
void forEachRecordKey(const TSettings::RecordList &list, const QVector<QStringList> &records, int index,
                      const std::function<void(const QString &, const QVariant &)> &put)
{
    for (int i = 0; i < records.size(); ++i)
        put(QStringLiteral("%1/%2%3").arg(list.group, list.prefix).arg(i), records.at(i).join(QLatin1Char('|')));
    if (!list.indexKey.isEmpty())
        put(list.indexKey, index);
}

} // namespace

QVector<QStringList> TSettings::readRecords(const RecordList &list)
{
    QStringList keys;
    for (const QString &key : groupKeys(list.group))
        keys.append(list.group + QLatin1Char('/') + key);
    return recordsOf(list, keys, [this](const QString &key) { return readString(key, QString()); });
}

void TSettings::writeRecords(const RecordList &list, const QVector<QStringList> &records, int index)
{
    // As plain keys too, so that reads see them at once.
    remove(list.group);
    forEachRecordKey(list, records, index, [this](const QString &key, const QVariant &value) { setValue(key, value); });
    m_lists.insert(normalKey(list.group), {list, {records, index}});
}

TSettings::Records TSettings::viewRecords(const RecordList &list) const
{
    QStringList keys;
    for (auto it = m_view.cbegin(); it != m_view.cend(); ++it)
        if (it.key().startsWith(list.group + QLatin1Char('/')))
            keys.append(it.key());
    return {recordsOf(list, keys, [this](const QString &key) { return m_view.value(key); }),
            m_view.value(list.indexKey, QStringLiteral("0")).toInt()};
}

namespace {

// The name of the chosen record, when the index names one.
std::optional<QString> chosenName(const QVector<QStringList> &list, int index, int field)
{
    if (index < 0 || index >= list.size())
        return std::nullopt;
    return list.at(index).at(field);
}

// The list as the file holds it (theirs) with what this object changed
// against its view (base to mine), record by record by name.
QVector<QStringList> mergeRecords(const QVector<QStringList> &base, const QVector<QStringList> &mine,
                                  const QVector<QStringList> &theirs, int field, QStringList *names)
{
    const auto byName = [field](const QVector<QStringList> &list) {
        QHash<QString, QStringList> records;
        for (const QStringList &r : list)
            if (!records.contains(r.at(field)))
                records.insert(r.at(field), r);
        return records;
    };
    const QHash<QString, QStringList> baseBy = byName(base), mineBy = byName(mine), theirsBy = byName(theirs);
    const auto changedHere = [&](const QString &name) { return baseBy.value(name) != mineBy.value(name); };

    // The file's records, but those removed here; then those added or
    // changed here that the file lacks, each before the one after it here
    // (at the end when none follows).
    for (const QStringList &r : theirs) {
        const QString &name = r.at(field);
        if (!names->contains(name) && !(baseBy.contains(name) && !mineBy.contains(name)))
            names->append(name);
    }
    int before = names->size();
    for (int i = mine.size() - 1; i >= 0; --i) {
        const QString &name = mine.at(i).at(field);
        const int at = names->indexOf(name);
        if (at >= 0)
            before = at;
        else if (changedHere(name))
            names->insert(before, name);
    }
    // An order changed here: this object's records take its order in the
    // places they hold.
    const auto keptOrder = [&](const QVector<QStringList> &list) {
        QStringList order;
        for (const QStringList &r : list)
            if (baseBy.contains(r.at(field)) && mineBy.contains(r.at(field)) && !order.contains(r.at(field)))
                order.append(r.at(field));
        return order;
    };
    if (keptOrder(mine) != keptOrder(base)) {
        QStringList mineOrder;
        for (const QStringList &r : mine)
            if (names->contains(r.at(field)) && !mineOrder.contains(r.at(field)))
                mineOrder.append(r.at(field));
        int k = 0;
        for (QString &name : *names)
            if (mineBy.contains(name))
                name = mineOrder.at(k++);
    }
    QVector<QStringList> merged;
    for (const QString &name : qAsConst(*names))
        merged.append(mineBy.contains(name) && (changedHere(name) || !theirsBy.contains(name)) ? mineBy.value(name)
                                                                                                : theirsBy.value(name));
    return merged;
}

} // namespace

TSettings::Pending TSettings::pending(int from) const
{
    ensureView();
    // Each key's last state in this write: a value, or removed.
    QMap<QString, std::optional<QVariant>> last;
    for (int i = from; i < m_changes.size(); ++i) {
        const Change &c = m_changes.at(i);
        if (!c.removal) {
            last[c.key] = c.value;
            continue;
        }
        for (auto it = m_view.cbegin(); it != m_view.cend(); ++it)
            if (isUnder(it.key(), c.key))
                last[it.key()] = std::nullopt;
        for (auto it = last.begin(); it != last.end(); ++it)
            if (isUnder(it.key(), c.key))
                it.value() = std::nullopt;
    }
    Pending p;
    for (auto it = m_lists.cbegin(); it != m_lists.cend(); ++it) {
        ListChange c{it.value().first, viewRecords(it.value().first), it.value().second, false};
        const int field = c.list.nameField;
        // An index this object never read is its own choice, as any key is.
        c.chose = !c.list.indexKey.isEmpty()
                  && (!m_view.contains(c.list.indexKey)
                      || chosenName(c.mine.list, c.mine.index, field) != chosenName(c.base.list, c.base.index, field));
        if (c.mine.list != c.base.list || c.chose)
            p.lists.append(c);
    }
    for (auto it = last.cbegin(); it != last.cend(); ++it) {
        if (std::any_of(m_lists.cbegin(), m_lists.cend(), [&](const auto &l) { return inList(it.key(), l.first); }))
            continue;
        const auto seen = m_view.constFind(it.key());
        if (it.value()) {
            if (seen == m_view.cend() || *seen != storedForm(*it.value()))
                p.sets.append({it.key(), *it.value()});
        } else if (seen != m_view.cend()) {
            p.removals.append(it.key());
        }
    }
    return p;
}

void TSettings::settle(const Pending &done)
{
    for (const auto &set : done.sets)
        m_view.insert(set.first, storedForm(set.second));
    for (const QString &key : done.removals)
        m_view.remove(key);
    for (const ListChange &c : done.lists) {
        for (auto it = m_view.begin(); it != m_view.end();) {
            if (isUnder(it.key(), c.list.group))
                it = m_view.erase(it);
            else
                ++it;
        }
        forEachRecordKey(c.list, c.mine.list, c.mine.index,
                         [this](const QString &key, const QVariant &value) { m_view.insert(key, storedForm(value)); });
    }
    m_lists.clear();
    m_written = m_changes.size();
}

bool TSettings::writeChanges(int from)
{
    platform::ignoreFileSizeSignal();
    const Pending p = pending(from);
    if (p.isEmpty()) {
        // Nothing differs from what this object holds: the file stays as
        // it is, with whatever others wrote; only what saves cut short
        // left beside it goes, as at every save.
        TSaveFile::removeLeftovers(m_fileName);
        settle(p);
        return true;
    }
    const QString &path = m_fileName;
    const QString folder = QFileInfo(path).absolutePath();
    const auto fail = [&](const QString &reason) {
        m_error = failureText(path, reason);
        return false;
    };
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder cannot be made"));

    // The file is read under its lock and written back with these changes
    // before another save may read it: a save of another instance in
    // between would otherwise lose what this one read and did not change.
    TSaveFile save(path);
    if (!save.lockTarget(m_lockWaitMs))
        return fail(save.errorString());
    QByteArray old;
    QString reason;
    if (QFile::exists(path) && !readWholeFile(path, &old, &reason))
        return fail(reason);
    // One save of the file (TSaveFile) holds every file written on the way:
    // the INI writer edits a copy of the file under a name of its own, so
    // that the file's text keeps the form the writer gives it.
    if (!save.open(QIODevice::WriteOnly))
        return fail(save.errorString());
    const QString edited = save.sidePath(QStringLiteral("edit"));
    {
        QFile work(edited);
        if (!work.open(QIODevice::WriteOnly))
            return fail(work.errorString());
        if (!writeBytes(work, old) || !flushBytes(work))
            return fail(work.errorString());
    }
    // What goes into the copy: the keys set, and the lists as the file
    // holds them now with this object's changes.
    QVector<QString> keys;
    QVector<QVariant> values;
    for (const auto &set : p.sets) {
        keys.append(set.first);
        values.append(set.second);
    }
    {
        // The copy holds the bytes read.
        TSettings now(edited);
        now.takeEntries(old);
        for (const ListChange &c : p.lists) {
            const RecordList &list = c.list;
            const Records theirs{now.readRecords(list), list.indexKey.isEmpty() ? 0 : now.readInt(list.indexKey, 0)};
            QStringList names;
            const QVector<QStringList> merged =
                mergeRecords(c.base.list, c.mine.list, theirs.list, list.nameField, &names);
            const Records &chooser = c.chose ? c.mine : theirs;
            const std::optional<QString> chosen = chosenName(chooser.list, chooser.index, list.nameField);
            forEachRecordKey(list, merged, chosen ? names.indexOf(*chosen) : chooser.index,
                             [&](const QString &key, const QVariant &value) {
                                 keys.append(key);
                                 values.append(value);
                             });
        }
    }
    const qint64 bound = sizeBound(old.size(), keys, values);
    const auto failCut = [&](const QString &copy, const QString &fallback) {
        const QString reason = reasonOfCutWrite(copy, bound);
        return fail(reason.isEmpty() ? fallback : reason);
    };
    QHash<QString, QString> meant;
    {
        QSettings edit(edited, QSettings::IniFormat);
        edit.setIniCodec(CODEC_NAME);
        for (const QString &key : p.removals)
            edit.remove(key);
        for (const ListChange &c : p.lists)
            edit.remove(c.list.group);
        for (int i = 0; i < keys.size(); ++i)
            edit.setValue(keys.at(i), values.at(i));
        edit.sync();
        if (edit.status() != QSettings::NoError)
            return failCut(edited, QStringLiteral("the settings cannot be written"));
        meant = storedForms(edit);
    }

    // The INI writer reports no error for a file cut short by a full disk,
    // and keeps what it meant to write for any later reader of the same
    // name: read the copy back under a new name and compare.
    const QString checked = save.sidePath(QStringLiteral("check"));
    if (!QFile::rename(edited, checked))
        return fail(QStringLiteral("the written copy cannot be checked"));
    {
        QSettings written(checked, QSettings::IniFormat);
        written.setIniCodec(CODEC_NAME);
        if (written.status() != QSettings::NoError || storedForms(written) != meant)
            return failCut(checked, QStringLiteral("the written copy does not read back whole"));
    }
    QByteArray bytes;
    if (!readWholeFile(checked, &bytes, &reason))
        return fail(reason);
    if (!writeBytes(save, bytes) || !flushBytes(save) || !save.commit())
        return fail(save.errorString());
    settle(p);
    return true;
}

bool TSettings::writeWhole(const QString &path, const std::function<void(TSettings &)> &fill,
                           QString *error, int lockWaitMs, View *view)
{
    TSettings settings(path);
    settings.setLockWait(lockWaitMs);
    if (view && !view->isEmpty())
        settings.setView(*view);
    fill(settings);
    const bool ok = settings.flush();
    if (error)
        *error = settings.errorString();
    if (ok && view)
        *view = settings.view();
    // The caller was told: a write that failed is not tried again unseen
    // as the object goes (nor waited for a second time).
    settings.m_written = settings.m_changes.size();
    return ok;
}
