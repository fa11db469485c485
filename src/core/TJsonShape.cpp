#include "core/TJsonShape.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/helpers.h"

#include <QJsonArray>
#include <QLocale>

#include <cmath>

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

bool readListEntries(const QJsonDocument &doc, QVector<TListEntry> *entries, QString *error,
                     const TListEntryReader &more)
{
    entries->clear();
    TJsonShape shape(error);
    QJsonObject top;
    QJsonValue list;
    if (!shape.top(doc, &top) || !shape.member(top, PRJLIST_LIST, TJsonShape::Array, &list))
        return false;
    const QJsonArray elements = list.toArray();
    entries->reserve(elements.size());
    for (int i = 0; i < elements.size(); ++i) {
        QJsonObject entry;
        QJsonValue name, file;
        if (!shape.enter(elements.at(i), MSG_JSON_ENTRY, i, &entry)
            || !shape.member(entry, PRJLIST_NAME, TJsonShape::Text, &name)
            || !shape.member(entry, PRJLIST_FILE, TJsonShape::Text, &file)
            || (more && !more(shape, entry, i))) {
            entries->clear();
            return false;
        }
        entries->append({name.toString(), file.toString()});
        shape.leave();
    }
    return true;
}

bool readListText(const QByteArray &text, QVector<TListEntry> *entries, QString *error,
                  const TListEntryReader &more)
{
    entries->clear();
    QJsonDocument doc;
    if (text.isEmpty()) {
        *error = lang.text(MSG_JSON_EMPTY);
        return false;
    }
    return readJsonText(text, &doc, error) && readListEntries(doc, entries, error, more);
}
