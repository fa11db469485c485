#include "devices/param_schema.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "crc/crc_catalogue.h"
#include "data/TDataPrj.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "devices/prog_values.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "misc/dev_misc.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace schema {

namespace {

const QString source = QStringLiteral("devices\\param_schema");

constexpr qint64 INT64_LOW = std::numeric_limits<qint64>::min();
constexpr qint64 INT64_HIGH = std::numeric_limits<qint64>::max();
constexpr qint64 INT32_LOW = std::numeric_limits<qint32>::min();
constexpr qint64 INT32_HIGH = std::numeric_limits<qint32>::max();
constexpr qint64 UINT32_HIGH = std::numeric_limits<quint32>::max();
constexpr qint64 BYTE_HIGH = 0xFF;

Entry whole(const char *key, qint64 min, qint64 max) { return {key, Kind::Integer, min, max}; }
Entry address(const char *key) { return whole(key, INT64_LOW, INT64_HIGH); }
Entry byteValue(const char *key) { return whole(key, 0, BYTE_HIGH); }
Entry int32Value(const char *key) { return whole(key, INT32_LOW, INT32_HIGH); }
Entry clock() { return whole(SET_CLK_CLK, 0, UINT32_HIGH); }
Entry duration(const char *key) { return whole(key, progvalue::DURATION_MIN, progvalue::DURATION_MAX); }
Entry of(const char *key, Kind kind) { return {key, kind}; }

using Table = QHash<QString, QVector<Entry>>;

void add(Table &table, std::initializer_list<const char *> codes, QVector<Entry> entries)
{
    entries.prepend(of(REC_STATUS, Kind::Flag));
    for (const char *code : codes)
        table.insert(QLatin1String(code), entries);
}

// Every command code of the catalogue with every key that its check, text,
// form or executor reads.
const Table &table()
{
    static const Table entries = [] {
        Table t;
        // Memory commands of every family and area.
        add(t, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY,
                CMD_EEPROM_CHAR_WRITE, CMD_EEPROM_CHAR_VERIFY},
            {address(CHAR_ADDR_DEVICE), address(CHAR_COUNT), byteValue(CHAR_FILL_CHAR)});
        add(t, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FLASH_DATA_READ, CMD_FLASH_DATA_WRITE,
                CMD_FLASH_DATA_VERIFY, CMD_EEPROM_DATA_READ, CMD_EEPROM_DATA_WRITE, CMD_EEPROM_DATA_VERIFY},
            {address(DATA_ADDR_DEVICE), of(DATA_DATA, Kind::Hex)});
        add(t, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FLASH_FILE_READ, CMD_FLASH_FILE_WRITE,
                CMD_FLASH_FILE_VERIFY, CMD_EEPROM_FILE_READ, CMD_EEPROM_FILE_WRITE, CMD_EEPROM_FILE_VERIFY,
                CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY, CMD_SFDP_REG_READ},
            {of(FILE_FILE, Kind::File), of(FILE_FORMAT, Kind::Format), address(FILE_ADDR_FILE),
             address(FILE_ADDR_DEVICE), address(FILE_COUNT)});
        add(t, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS},
            {address(BLOCKS_BEGIN), address(BLOCKS_SIZE), address(BLOCKS_COUNT)});
        add(t, {CMD_IDENT, CMD_ERASE, CMD_TEST_EMPTY, CMD_TEST_EMPTY_FLASH, CMD_TEST_EMPTY_EEPROM, CMD_BMI_READ,
                CMD_BMI_WRITE, CMD_BMI_VERIFY},
            {});
        // Register images to be written or compared, and what a read stored
        // (its next run replaces it); the security registers selected, one
        // bit each.
        add(t, {CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY, CMD_FUSE_WRITE, CMD_FUSE_VERIFY, CMD_LOCK_WRITE,
                CMD_LOCK_VERIFY},
            {of(REG_DATA, Kind::Hex)});
        add(t, {CMD_STATUS_REG_READ, CMD_FUSE_READ, CMD_LOCK_READ, CMD_OSCCAL_READ, CMD_UNIQUE_ID_READ},
            {of(REG_DATA, Kind::Text)});
        add(t, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY}, {byteValue(REG_DATA)});
        add(t, {CMD_SET_CLK}, {clock()});
        add(t, {CMD_SET_ADDR}, {byteValue(SET_ADDR_ADDR)});
        // The pin states, and the reset pulse of a family that has one.
        add(t, {CMD_LEAVE}, {of(LEAVE_STATE, Kind::Pins), of(LEAVE_RESET, Kind::Flag), duration(LEAVE_DURATION)});
        // The device, with its device-level values as far as the family has them.
        add(t, {CMD_SET_DEVICE},
            {of(SET_DEVICE_DEVICE, Kind::Name), of(SET_DEVICE_FILE, Kind::File), clock(), byteValue(SET_ADDR_ADDR)});
        add(t, {CMD_AUTO_DETECT},
            {of(AUTO_NAME, Kind::Name), of(AUTO_ROUTE, Kind::Routes), of(AUTO_STOP, Kind::Flag),
             of(AUTO_EXECUTE, Kind::Flag), clock(), byteValue(SET_ADDR_ADDR)});
        // Programmer commands.
        add(t, {CMD_RESET}, {duration(RESET_DURATION)});
        add(t, {CMD_GENERATOR}, {whole(GEN_FREQ, 0, progvalue::FREQ_MAX), whole(GEN_DUTY, 0, progvalue::DUTY_MAX / 10)});
        add(t, {CMD_SET_IO}, {of(SET_IO_STATE, Kind::Pins)});
        add(t, {CMD_SET_VCC}, {of(SUPPLY_VCC, Kind::Real)});
        add(t, {CMD_SET_VPP}, {of(SUPPLY_VPP, Kind::Real)});
        add(t, {CMD_SET_VICC}, {of(SUPPLY_VCC, Kind::Real), of(SUPPLY_ICC, Kind::Real), of(SUPPLY_OCP, Kind::Flag)});
        add(t, {CMD_SET_VIPP}, {of(SUPPLY_VPP, Kind::Real), of(SUPPLY_IPP, Kind::Real), of(SUPPLY_OCP, Kind::Flag)});
        // Tool commands.
        add(t, {CMD_SET_PROG},
            {of(SET_PROG_PROG, Kind::Programmer), of(SET_PROG_ALT_ENABLED, Kind::Flag),
             of(SET_PROG_ALT_PORT, Kind::Text)});
        add(t, {CMD_DELAY}, {int32Value(DELAY_VALUE)});
        add(t, {CMD_COUNTER}, {int32Value(COUNTER_VALUE), int32Value(COUNTER_LIMIT), int32Value(COUNTER_DELTA)});
        add(t, {CMD_JAMP}, {of(JAMP_TO_CMD, Kind::Command)});
        add(t, {CMD_EXECUTE}, {of(EXECUTE_CFG, Kind::Configuration)});
        add(t, {CMD_PAUSE, CMD_STOP}, {});
        add(t, {CMD_CALC_CRC},
            {of(CRC_CRC_NAME, Kind::Algorithm), of(CRC_FILE, Kind::File), of(CRC_FORMAT, Kind::Format),
             address(CRC_ADDR), address(CRC_COUNT), byteValue(CRC_FILL)});
        add(t, {CMD_PROCESS}, {of(PROCESS_FILE, Kind::CommandLine)});
        return t;
    }();
    return entries;
}

// A text of decimal digits that is too long for 64 bits still is a number:
// one beyond its field, not a damaged one.
bool isDigitText(const QString &text)
{
    const QString t = text.trimmed();
    const int first = t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (t.size() <= first)
        return false;
    for (int i = first; i < t.size(); ++i)
        if (t.at(i) < QLatin1Char('0') || t.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

bool isFormat(const QString &text)
{
    return TFormat::formatList().contains(text.toUpper());
}

// Where the first character of the text that is no pin state stands; -1
// when all are.
int firstNoPinState(const QString &text)
{
    const QString letters = TProg::allPinTypeLetters();
    for (int i = 0; i < text.size(); ++i)
        if (!letters.contains(text.at(i)))
            return i;
    return -1;
}

// The value of the entry reads as its kind; false with the fault filled.
bool check(const QVariant &value, const Entry &e, Fault &fault)
{
    fault.text = value.toString();
    fault.kind = e.kind;
    qint64 n = 0;
    double real = 0;
    bool on = false;
    QByteArray bytes;
    switch (e.kind) {
    case Kind::Integer: {
        const bool read = readInteger(value, n);
        if (read && n >= e.min && n <= e.max)
            return true;
        fault.outside = read || isDigitText(fault.text);
        fault.min = e.min;
        fault.max = e.max;
        return false;
    }
    case Kind::Real: return readReal(value, real);
    case Kind::Flag: return readFlag(value, on);
    case Kind::Format: return isFormat(fault.text);
    case Kind::Algorithm: return isCRCName(fault.text);
    case Kind::Programmer: return appData.progLists().names.contains(fault.text);
    case Kind::Name:
    case Kind::File:
    case Kind::CommandLine: return !fault.text.isEmpty();
    case Kind::Hex: return readHex(fault.text, bytes);
    case Kind::Pins: return firstNoPinState(fault.text) < 0;
    case Kind::Configuration:
    case Kind::Command:
    case Kind::Routes:
        for (const Reference &r : referencesIn(e.kind, fault.text)) {
            if (targetOf(r) >= 0)
                continue;
            fault.item = r.item;
            fault.dead = readInteger(r.text, n);
            return false;
        }
        return true;
    case Kind::Text: return true;
    }
    return true;
}

QVector<Fault> faultsOf(const TData &record, bool firstOnly)
{
    QVector<Fault> faults;
    QVector<Entry> entries;
    if (!entriesOf(record.value(QLatin1String(REC_CMD)).toString(), entries))
        return faults;
    for (const Entry &e : qAsConst(entries)) {
        const auto it = record.constFind(QLatin1String(e.key));
        if (it == record.constEnd())
            continue;
        Fault fault;
        fault.key = QLatin1String(e.key);
        if (!check(it.value(), e, fault)) {
            faults.append(fault);
            if (firstOnly)
                break;
        }
    }
    return faults;
}

// The reason of a fault of a kind that is no number, after the key.
QString reasonOf(const Fault &f)
{
    switch (f.kind) {
    case Kind::Format: return lang.text(checkmsg::NOT_FORMAT).arg(f.text);
    case Kind::Algorithm: return lang.text(checkmsg::NOT_ALGORITHM).arg(f.text);
    case Kind::Programmer: return lang.text(checkmsg::PROG_UNKNOWN).arg(f.text);
    case Kind::Name: return lang.text(checkmsg::NO_DEVICE);
    case Kind::File: return lang.text(checkmsg::NO_FILE);
    case Kind::CommandLine: return lang.text(checkmsg::NO_CMDLINE);
    case Kind::Hex: return notWholeHexReason(f.text);
    case Kind::Pins:
        return lang.text(checkmsg::PIN_LETTER)
            .arg(f.text.at(qMax(0, firstNoPinState(f.text))))
            .arg(TProg::allPinTypeLetters());
    // An id that is no number is said so as of a number (NOT_A_NUMBER).
    case Kind::Configuration: return f.dead ? lang.text(checkmsg::NO_CFG).arg(f.text.trimmed()) : QString();
    case Kind::Command: return f.dead ? lang.text(checkmsg::NO_CMD).arg(f.text.trimmed()) : QString();
    case Kind::Routes: return lang.text(checkmsg::ROUTE_NONE).arg(f.item);
    case Kind::Integer:
    case Kind::Real:
    case Kind::Flag:
    case Kind::Text: break;
    }
    return QString();
}

} // namespace

bool entriesOf(const QString &code, QVector<Entry> &entries)
{
    const auto it = table().constFind(code);
    if (it == table().constEnd())
        return false;
    entries = it.value();
    return true;
}

QStringList codes()
{
    return table().keys();
}

bool hasKey(const QString &code, const QString &key)
{
    Kind kind = Kind::Text;
    return kindOf(code, key, kind);
}

bool kindOf(const QString &code, const QString &key, Kind &kind)
{
    QVector<Entry> entries;
    if (!entriesOf(code, entries))
        return false;
    for (const Entry &e : qAsConst(entries))
        if (key == QLatin1String(e.key)) {
            kind = e.kind;
            return true;
        }
    return false;
}

// ---- References ------------------------------------------------------------

// The kinds of value that name configurations or commands.
static bool holdsReferences(Kind kind)
{
    return kind == Kind::Configuration || kind == Kind::Command || kind == Kind::Routes;
}

QVector<Reference> referencesIn(Kind kind, const QString &value)
{
    QVector<Reference> refs;
    if (kind == Kind::Configuration || kind == Kind::Command) {
        refs.append({kind, value, 0, value, QString()});
        return refs;
    }
    if (!holdsReferences(kind))
        return refs;
    int start = 0;
    for (const QString &raw : value.split(QLatin1Char('|'))) {
        const QString item = raw.trimmed();
        if (!item.isEmpty() && !item.startsWith(QLatin1Char('#'))) {
            const int eq = raw.indexOf(QLatin1Char('='));
            Reference r{Kind::Configuration, QString(), -1, item, QString()};
            if (eq >= 0) {
                r.at = start + eq + 1;
                r.text = raw.mid(eq + 1);
                r.key = item.left(item.indexOf(QLatin1Char('=')));
            }
            refs.append(r);
        }
        start += raw.size() + 1;
    }
    return refs;
}

QVector<Reference> referencesOf(const TData &record)
{
    QVector<Reference> refs;
    QVector<Entry> entries;
    if (entriesOf(record.value(QLatin1String(REC_CMD)).toString(), entries))
        for (const Entry &e : qAsConst(entries))
            if (holdsReferences(e.kind) && record.contains(QLatin1String(e.key)))
                refs += referencesIn(e.kind, text(record, e.key));
    return refs;
}

bool idOf(const Reference &reference, int &id)
{
    qint64 n = 0;
    if (reference.at < 0 || !readInteger(reference.text, n) || n < INT32_LOW || n > INT32_HIGH)
        return false;
    id = int(n);
    return true;
}

int targetOf(const Reference &reference)
{
    int id = -1;
    if (!idOf(reference, id))
        return -1;
    const bool there = reference.names == Kind::Command ? dataPrj.cmdById(id) != nullptr
                                                        : dataPrj.cfgById(id) != nullptr;
    return there ? id : -1;
}

bool referenceOf(const TData &record, const char *key, Reference &reference, const QString &identifier)
{
    Kind kind = Kind::Text;
    if (!record.contains(QLatin1String(key)) || !kindOf(cmdCode(record), QLatin1String(key), kind))
        return false;
    bool found = false;
    for (const Reference &r : referencesIn(kind, text(record, key)))
        if (kind != Kind::Routes || (r.at >= 0 && r.key == identifier)) {
            reference = r;
            found = true;
        }
    return found;
}

int target(const TData &record, const char *key)
{
    Reference reference;
    return referenceOf(record, key, reference) ? targetOf(reference) : -1;
}

QString withReferences(const QString &code, const QString &key, const QString &value,
                       const std::function<QString(const Reference &)> &map)
{
    Kind kind = Kind::Text;
    if (!kindOf(code, key, kind))
        return value;
    QString result = value;
    const QVector<Reference> refs = referencesIn(kind, value);
    // From the last, so that the places of those before stay where they are.
    for (auto r = refs.crbegin(); r != refs.crend(); ++r)
        if (r->at >= 0)
            result.replace(r->at, r->text.size(), map(*r));
    return result;
}

bool readInteger(const QVariant &value, qint64 &out)
{
    bool ok = false;
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = value.toDouble();
        // 2^63 itself is not representable; anything at or past it is out.
        if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) >= 9223372036854775808.0)
            return false;
        out = qint64(v);
        return true;
    }
    case QMetaType::Bool:
        return false;
    case QMetaType::QString:
        out = value.toString().trimmed().toLongLong(&ok);
        return ok;
    case QMetaType::ULongLong: {
        // Past 2^63 - 1 it would read as its low bits, a negative number.
        const quint64 v = value.toULongLong(&ok);
        if (!ok || v > quint64(INT64_HIGH))
            return false;
        out = qint64(v);
        return true;
    }
    default:
        out = value.toLongLong(&ok);
        return ok && value.isValid();
    }
}

bool readReal(const QVariant &value, double &out)
{
    bool ok = false;
    const double v = value.userType() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok)
                                                             : value.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool readFlag(const QVariant &value, bool &out)
{
    if (value.userType() == QMetaType::Bool) {
        out = value.toBool();
        return true;
    }
    qint64 n = 0;
    if (readInteger(value, n)) {
        out = n != 0;
        return true;
    }
    const QString text = value.toString().trimmed();
    const bool on = text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    if (!on && text.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0)
        return false;
    out = on;
    return true;
}

bool readHex(const QString &text, QByteArray &bytes)
{
    // The reader of hex bytes takes any white space between the digits;
    // a stored value holds blanks alone.
    bytes.clear();
    for (const QChar c : text)
        if (c.isSpace() && c != QLatin1Char(' '))
            return false;
    return hexStringToBytesChecked(text, bytes);
}

// ---- Readers of a command record ------------------------------------------

QVariant value(const TData &record, const char *key)
{
    return getParam(source, __LINE__, record, QLatin1String(key));
}

qint64 integer(const TData &record, const char *key)
{
    qint64 n = 0;
    return readInteger(value(record, key), n) ? n : 0;
}

double real(const TData &record, const char *key)
{
    double v = 0;
    return readReal(value(record, key), v) ? v : 0;
}

bool flag(const TData &record, const char *key)
{
    bool on = false;
    return readFlag(value(record, key), on) && on;
}

QString text(const TData &record, const char *key)
{
    return value(record, key).toString();
}

int cmdId(const TData &record)
{
    return getParam(source, __LINE__, record, QLatin1String(REC_ID_CMD)).toInt();
}

QString cmdCode(const TData &record)
{
    return getParam(source, __LINE__, record, QLatin1String(REC_CMD)).toString();
}

// ---- Damaged values --------------------------------------------------------

bool findFault(const TData &record, Fault &fault)
{
    const QVector<Fault> faults = faultsOf(record, true);
    if (faults.isEmpty())
        return false;
    fault = faults.first();
    return true;
}

QStringList faultyKeys(const TData &record)
{
    QStringList keys;
    for (const Fault &fault : faultsOf(record, false))
        keys << fault.key;
    return keys;
}

QString faultText(const QString &name, const TData &record)
{
    Fault f;
    if (!findFault(record, f))
        return QString();
    if (f.kind == Kind::Integer && f.outside)
        return lang.text(execmsg::NUMBER_OUTSIDE)
            .arg(name, f.key, f.text.trimmed(), QString::number(f.min), QString::number(f.max));
    const QString reason = reasonOf(f);
    if (!reason.isEmpty())
        return lang.text(checkmsg::REFUSED).arg(name, f.key, reason);
    return lang.text(execmsg::NOT_A_NUMBER).arg(name, f.key, f.text);
}

} // namespace schema
