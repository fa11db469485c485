#include "core/TJsonShape.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"

#include <QHash>
#include <QJsonArray>
#include <QLocale>
#include <QSet>

#include <cmath>
#include <functional>

TJsonShape::TJsonShape(QString *error) : m_error(error)
{
}

bool TJsonShape::top(const QJsonDocument &doc, QJsonObject *object)
{
    *object = doc.object();
    if (doc.isObject())
        return true;
    const QJsonValue found = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(QJsonValue::Undefined);
    return fail(lang.text(MSG_JSON_TOP), valueText(found), kindText(Object));
}

bool TJsonShape::enter(const QJsonValue &element, int place, int index, QJsonObject *object)
{
    m_places << lang.text(place).arg(index + 1);
    *object = element.toObject();
    return element.isObject() || fail(QString(), valueText(element), kindText(Object));
}

void TJsonShape::leave()
{
    m_places.removeLast();
}

bool TJsonShape::member(const QJsonObject &object, const QString &key, Kind kind, QJsonValue *value)
{
    *value = object.value(key);
    return value->isUndefined() || isKind(*value, kind) || refuse(key, valueText(*value), kindText(kind));
}

bool TJsonShape::refuse(const QString &key, const QString &found, const QString &expected)
{
    return fail(lang.text(MSG_JSON_KEY).arg(key), found, expected);
}

bool TJsonShape::document(const QByteArray &text, const QString &arrayKey, QJsonObject *top, QJsonArray *array,
                          TJsonRaw *raw)
{
    QJsonDocument doc;
    QJsonValue member;
    if (!readJsonText(text, &doc, m_error) || !this->top(doc, top)
        || !this->member(*top, arrayKey, Array, &member))
        return false;
    *array = member.toArray();
    // The JSON reader took the text, so this takes it too.
    if (!scanJson(text, raw)) {
        *m_error = lang.text(MSG_JSON_TOP);
        return false;
    }
    const QJsonValue version = top->value(QLatin1String(PRJ_VERSION));
    if (version.isUndefined() || (version.isDouble() && version.toDouble() == 1))
        return true;
    const TJsonRaw *versionText = raw->member(QLatin1String(PRJ_VERSION));
    *m_error = lang.text(MSG_JSON_VERSION)
                   .arg(versionText ? QString::fromUtf8(versionText->text()) : valueText(version));
    return false;
}

bool TJsonShape::isKind(const QJsonValue &value, Kind kind)
{
    switch (kind) {
    case Object: return value.isObject();
    case Array: return value.isArray();
    case Text: return value.isString();
    case WholeNumber: {
        // Whole numbers that a double holds exactly, far beyond any number
        // these files hold.
        const double d = value.toDouble();
        return value.isDouble() && std::floor(d) == d && std::fabs(d) <= 1e15;
    }
    case Flag: return value.isBool() || isKind(value, WholeNumber);
    }
    return false;
}

QString TJsonShape::kindText(Kind kind)
{
    return lang.text(kind == Flag ? MSG_JSON_FLAG : MSG_JSON_KIND + kind);
}

QString TJsonShape::valueText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Object: return kindText(Object);
    case QJsonValue::Array: return kindText(Array);
    case QJsonValue::String: return kindText(Text);
    case QJsonValue::Double:
        return lang.text(MSG_JSON_NUMBER).arg(QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
    // The words of JSON itself, in every language.
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Undefined: break;
    }
    return lang.text(MSG_JSON_NOTHING);
}

bool TJsonShape::fail(const QString &place, const QString &found, const QString &expected)
{
    QStringList places = m_places;
    if (!place.isEmpty())
        places << place;
    *m_error = lang.text(MSG_JSON_SHAPE).arg(places.join(QStringLiteral(", ")), found, expected);
    return false;
}

// ---- The text as it stands -------------------------------------------------

namespace {

// Reads one value of a text that is valid JSON, as far as it can follow it;
// false on anything else (the text is not taken then).
class RawScanner
{
public:
    explicit RawScanner(const QByteArray &text) : m_text(text) {}
    RawScanner(const RawScanner &) = delete;
    RawScanner &operator=(const RawScanner &) = delete;

    bool document(TJsonRaw *raw)
    {
        // A byte-order mark, which the JSON reader passes over too.
        if (m_text.startsWith("\xEF\xBB\xBF"))
            m_at = 3;
        skipBlanks();
        if (!value(raw, 0))
            return false;
        skipBlanks();
        return m_at == m_text.size();
    }

private:
    // Deeper than the JSON reader goes.
    static constexpr int MAX_DEPTH = 2048;
    // The values whose members or elements are kept (TJsonRaw): the top
    // level, its members and their elements.
    static constexpr int KEPT_DEPTH = 3;

    void skipBlanks()
    {
        while (m_at < m_text.size() && (m_text.at(m_at) == ' ' || m_text.at(m_at) == '\t'
                                        || m_text.at(m_at) == '\n' || m_text.at(m_at) == '\r'))
            ++m_at;
    }
    bool take(char c)
    {
        skipBlanks();
        if (m_at >= m_text.size() || m_text.at(m_at) != c)
            return false;
        ++m_at;
        return true;
    }
    bool string()
    {
        if (m_at >= m_text.size() || m_text.at(m_at) != '"')
            return false;
        for (++m_at; m_at < m_text.size(); ++m_at) {
            if (m_text.at(m_at) == '\\') {
                ++m_at;
            } else if (m_text.at(m_at) == '"') {
                ++m_at;
                return true;
            }
        }
        return false;
    }
    // raw null: the value is passed over.
    bool value(TJsonRaw *raw, int depth)
    {
        skipBlanks();
        if (m_at >= m_text.size() || depth > MAX_DEPTH)
            return false;
        const int from = m_at;
        const char c = m_text.at(m_at);
        bool ok = true;
        if (c == '{' || c == '[') {
            ++m_at;
            const char close = c == '{' ? '}' : ']';
            const bool keep = raw && depth < KEPT_DEPTH;
            if (!take(close)) {
                do {
                    TJsonRaw element;
                    if (c == '{') {
                        skipBlanks();
                        const int keyFrom = m_at;
                        if (!string() || !take(':'))
                            return false;
                        if (keep) {
                            const QByteArray keyText = m_text.mid(keyFrom, m_at - 1 - keyFrom).trimmed();
                            raw->keyTexts.append(keyText);
                            raw->keys.append(keyOf(keyText));
                        }
                    }
                    if (!value(keep ? &element : nullptr, depth + 1))
                        return false;
                    if (keep)
                        raw->values.append(element);
                } while (take(','));
                ok = take(close);
            }
        } else if (c == '"') {
            ok = string();
        } else {
            while (m_at < m_text.size() && !QByteArray(" \t\r\n,]}:").contains(m_text.at(m_at)))
                ++m_at;
            ok = m_at > from;
        }
        if (raw) {
            raw->source = m_text;
            raw->from = from;
            raw->size = m_at - from;
        }
        return ok;
    }
    static QString keyOf(const QByteArray &keyText)
    {
        if (!keyText.contains('\\'))
            return QString::fromUtf8(keyText.mid(1, keyText.size() - 2));
        return QJsonDocument::fromJson("[" + keyText + "]").array().at(0).toString();
    }

    const QByteArray m_text;
    int m_at = 0;
};

} // namespace

const TJsonRaw *TJsonRaw::member(const QString &key) const
{
    const int at = keys.lastIndexOf(key);
    return at < 0 || at >= values.size() ? nullptr : &values.at(at);
}

bool scanJson(const QByteArray &text, TJsonRaw *raw)
{
    *raw = TJsonRaw();
    return RawScanner(text).document(raw);
}

TJsonExtra extraMembers(const TJsonRaw &object, const QStringList &known, const QString &arrayKey)
{
    TJsonExtra extra;
    const bool hasArray = object.keys.contains(arrayKey);
    bool after = false;
    for (int i = 0; i < object.keys.size() && i < object.values.size(); ++i) {
        if (hasArray && object.keys.at(i) == arrayKey)
            after = true;
        if (known.contains(object.keys.at(i)) || object.keys.at(i) == arrayKey)
            continue;
        const QString member = QString::fromUtf8(object.keyTexts.at(i) + ": " + object.values.at(i).text());
        (after ? extra.after : extra.before).append(member);
    }
    return extra;
}

QStringList withExtraLines(const TJsonExtra &extra, const QString &indent, const QStringList &arrayLines)
{
    QStringList lines;
    for (const QString &member : extra.before)
        lines << indent + member + QLatin1Char(',');
    lines << arrayLines;
    if (!extra.after.isEmpty() && !lines.isEmpty())
        lines.last() += QLatin1Char(',');
    for (int i = 0; i < extra.after.size(); ++i)
        lines << indent + extra.after.at(i) + (i + 1 < extra.after.size() ? QStringLiteral(",") : QString());
    return lines;
}

// ---- List files ---------------------------------------------------------------

bool readListText(const QByteArray &text, QVector<TListEntry> *entries, QString *error, bool tree,
                  TJsonExtra *extra)
{
    entries->clear();
    if (text.isEmpty()) {
        *error = lang.text(MSG_JSON_EMPTY);
        return false;
    }
    TJsonShape shape(error);
    QJsonObject top;
    QJsonArray elements;
    TJsonRaw raw;
    if (!shape.document(text, PRJLIST_LIST, &top, &elements, &raw))
        return false;
    QStringList known{PRJLIST_NAME, PRJLIST_FILE};
    if (tree)
        known << PRJLIST_PARENT << PRJLIST_EXPAND;
    const TJsonRaw *rawList = raw.member(PRJLIST_LIST);
    entries->reserve(elements.size());
    for (int i = 0; i < elements.size(); ++i) {
        QJsonObject entry;
        QJsonValue name, file, parent, expand;
        if (!shape.enter(elements.at(i), MSG_JSON_ENTRY, i, &entry)
            || !shape.member(entry, PRJLIST_NAME, TJsonShape::Text, &name)
            || !shape.member(entry, PRJLIST_FILE, TJsonShape::Text, &file)
            || (tree
                && (!shape.member(entry, PRJLIST_PARENT, TJsonShape::WholeNumber, &parent)
                    || !shape.member(entry, PRJLIST_EXPAND, TJsonShape::Flag, &expand)))) {
            entries->clear();
            return false;
        }
        TListEntry read{name.toString(), file.toString(), {}, TJsonShape::whole(parent), TJsonShape::flag(expand)};
        // Entries come in pre-order: a parent is one read before.
        if (read.parent < 0 || read.parent > i) {
            shape.refuse(PRJLIST_PARENT, TJsonShape::valueText(parent), lang.text(MSG_LIST_PARENT).arg(i + 1));
            entries->clear();
            return false;
        }
        if (rawList && i < rawList->values.size())
            read.extra = extraMembers(rawList->values.at(i), known, QString()).before;
        entries->append(read);
        shape.leave();
    }
    if (extra)
        *extra = extraMembers(raw, {PRJ_VERSION}, PRJLIST_LIST);
    return true;
}

QByteArray listText(const QVector<TListEntry> &entries, const TJsonExtra &extra, bool tree, const char *lineEnd)
{
    QStringList entryLines{QStringLiteral("    [")};
    for (int i = 0; i < entries.size(); ++i) {
        const TListEntry &entry = entries.at(i);
        QString line = QStringLiteral("        {");
        if (tree)
            line += QStringLiteral("\"parent\": %1, \"expand\": %2, ").arg(entry.parent).arg(entry.expand ? 1 : 0);
        // Both texts in one substitution: a "%2" in a name stays literal.
        line += QStringLiteral("\"name\": \"%1\", \"file\": \"%2\"")
                    .arg(jsonStringText(entry.name), jsonStringText(entry.file));
        for (const QString &member : entry.extra)
            line += QStringLiteral(", ") + member;
        entryLines << line + (i + 1 < entries.size() ? QStringLiteral("},") : QStringLiteral("}"));
    }
    entryLines << QStringLiteral("    ]");
    QStringList lines{QStringLiteral("{"), QStringLiteral("    \"version\": 1,")};
    lines << withExtraLines(extra, QStringLiteral("    "), QStringList{QStringLiteral("    \"list\":")} + entryLines);
    lines << QStringLiteral("}");
    QByteArray text;
    for (const QString &line : qAsConst(lines))
        text += line.toUtf8() + lineEnd;
    return text;
}

// ---- Merging lists ---------------------------------------------------------------

namespace {

// A list of entries by key: an entry's key is its name, file and other
// members with its parents' before them, and the count of equal siblings
// before it, so that it names the same entry in every list that has it.
struct KeyedList
{
    QStringList keys;
    QHash<QString, int> index;
    QHash<QString, QStringList> children;   // by the parent's key ("" the top)
    QHash<QString, QString> parentOf;

    explicit KeyedList(const QVector<TListEntry> &entries)
    {
        QHash<QString, int> equal;
        for (int i = 0; i < entries.size(); ++i) {
            const TListEntry &e = entries.at(i);
            const QString parent = e.parent > 0 && e.parent <= i ? keys.at(int(e.parent - 1)) : QString();
            const QString text = parent + QChar(0x1e) + e.name + QChar(0x1f) + e.file + QChar(0x1f)
                                 + e.extra.join(QChar(0x1f)) + QChar(0x1d);
            const QString key = text + QString::number(equal[text]++);
            keys.append(key);
            index.insert(key, i);
            children[parent].append(key);
            parentOf.insert(key, parent);
        }
    }
    bool has(const QString &key) const { return index.contains(key); }
};

QStringList only(const QStringList &keys, const std::function<bool(const QString &)> &keep)
{
    QStringList kept;
    for (const QString &key : keys)
        if (keep(key))
            kept.append(key);
    return kept;
}

} // namespace

bool mergeListEntries(const QVector<TListEntry> &base, const QVector<TListEntry> &mine,
                      const QVector<TListEntry> &theirs, const QVector<int> &held,
                      QVector<TListEntry> *merged, QVector<int> *fromMine)
{
    merged->clear();
    fromMine->clear();
    const KeyedList b(base), m(mine), t(theirs);
    // What stays: what both kept, and what either added.
    QSet<QString> result;
    for (const QString &key : m.keys)
        if (t.has(key) || !b.has(key))
            result.insert(key);
    for (const QString &key : t.keys)
        if (!b.has(key))
            result.insert(key);
    for (const QString &key : qAsConst(result)) {
        const QString parent = m.has(key) ? m.parentOf.value(key) : t.parentOf.value(key);
        if (!parent.isEmpty() && !result.contains(parent))
            return false;   // removed by one, with an entry below it the other added
    }
    for (int h : held)
        if (h >= 0 && h < m.keys.size() && !result.contains(m.keys.at(h)))
            return false;
    const auto addedBelow = [&](const KeyedList &side, const QString &parent) {
        for (const QString &key : side.children.value(parent))
            if (!b.has(key))
                return true;
        return false;
    };
    for (const QString &key : b.keys)
        if (!m.has(key) && !t.has(key) && addedBelow(m, b.parentOf.value(key)) && addedBelow(t, b.parentOf.value(key)))
            return false;   // replaced by both

    // The children of each parent: in the order one of the two changed, the
    // other's added entries each after the one before it there.
    QHash<QString, QStringList> order;
    // Every entry that stays may be a parent, and so is the top.
    QStringList parents = result.values();
    parents.prepend(QString());
    for (const QString &parent : qAsConst(parents)) {
        const auto common = [&](const QString &key) { return b.has(key) && m.has(key) && t.has(key); };
        const QStringList inBase = only(b.children.value(parent), common);
        const QStringList inMine = only(m.children.value(parent), common);
        const QStringList inTheirs = only(t.children.value(parent), common);
        if (inMine != inBase && inTheirs != inBase && inMine != inTheirs)
            return false;
        const bool theirOrder = inTheirs != inBase && inMine == inBase;
        const auto kept = [&](const QString &key) { return result.contains(key); };
        const QStringList first = only((theirOrder ? t : m).children.value(parent), kept);
        const QSet<QString> inFirst(first.cbegin(), first.cend());
        // The other's entries that the first has not, by the entry of the
        // first that they follow there ("" the start).
        QHash<QString, QStringList> following;
        QString before;
        for (const QString &key : only((theirOrder ? m : t).children.value(parent), kept)) {
            if (inFirst.contains(key))
                before = key;
            else
                following[before].append(key);
        }
        QStringList seq = following.value(QString());
        for (const QString &key : first)
            seq << key << following.value(key);
        order.insert(parent, seq);
    }

    const std::function<void(const QString &, qint64)> emitChildren = [&](const QString &parent, qint64 number) {
        for (const QString &key : order.value(parent)) {
            const bool own = m.has(key);
            TListEntry entry = own ? mine.at(m.index.value(key)) : theirs.at(t.index.value(key));
            entry.parent = number;
            merged->append(entry);
            fromMine->append(own ? m.index.value(key) : -1);
            emitChildren(key, merged->size());
        }
    };
    emitChildren(QString(), 0);
    return true;
}
