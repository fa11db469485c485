#include "devices/param_numbers.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "devices/exec_messages.h"
#include "devices/prog_values.h"

#include <QHash>
#include <QVector>

#include <cmath>
#include <limits>

namespace paramnum {

namespace {

enum class Kind {
    Integer,   // a whole number within [min, max]
    Real,      // a finite number
    Flag,      // on or off
};

// One number a command keeps: its key, its kind and the field it is read
// into. An absent key is no damage: the checks read it as 0, as always.
struct Number
{
    const char *key;
    Kind kind;
    qint64 min;
    qint64 max;
};

constexpr qint64 INT64_LOW = std::numeric_limits<qint64>::min();
constexpr qint64 INT64_HIGH = std::numeric_limits<qint64>::max();
constexpr qint64 INT32_LOW = std::numeric_limits<qint32>::min();
constexpr qint64 INT32_HIGH = std::numeric_limits<qint32>::max();
constexpr qint64 UINT32_HIGH = std::numeric_limits<quint32>::max();
constexpr qint64 BYTE_HIGH = 0xFF;

Number address(const char *key) { return {key, Kind::Integer, INT64_LOW, INT64_HIGH}; }
Number byteValue(const char *key) { return {key, Kind::Integer, 0, BYTE_HIGH}; }
Number int32Value(const char *key) { return {key, Kind::Integer, INT32_LOW, INT32_HIGH}; }
Number clock() { return {SET_CLK_CLK, Kind::Integer, 0, UINT32_HIGH}; }
Number duration(const char *key) { return {key, Kind::Integer, progvalue::DURATION_MIN, progvalue::DURATION_MAX}; }
Number real(const char *key) { return {key, Kind::Real, 0, 0}; }
Number flag(const char *key) { return {key, Kind::Flag, 0, 0}; }

using Table = QHash<QString, QVector<Number>>;

void add(Table &table, std::initializer_list<const char *> codes, const QVector<Number> &numbers)
{
    for (const char *code : codes)
        table.insert(QLatin1String(code), numbers);
}

// Every command code that keeps numbers, with them. Codes absent here keep
// none (texts, hex images and the pin states have checks of their own; a
// route of "auto_detect" that names no configuration by a number leaves
// the chip unrouted).
const Table &table()
{
    static const Table numbers = [] {
        Table t;
        // Memory commands of every family and area.
        add(t, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY,
                CMD_EEPROM_CHAR_WRITE, CMD_EEPROM_CHAR_VERIFY},
            {address(CHAR_ADDR_DEVICE), address(CHAR_COUNT), byteValue(CHAR_FILL_CHAR)});
        add(t, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FLASH_DATA_READ, CMD_FLASH_DATA_WRITE,
                CMD_FLASH_DATA_VERIFY, CMD_EEPROM_DATA_READ, CMD_EEPROM_DATA_WRITE, CMD_EEPROM_DATA_VERIFY},
            {address(DATA_ADDR_DEVICE)});
        add(t, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FLASH_FILE_READ, CMD_FLASH_FILE_WRITE,
                CMD_FLASH_FILE_VERIFY, CMD_EEPROM_FILE_READ, CMD_EEPROM_FILE_WRITE, CMD_EEPROM_FILE_VERIFY,
                CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY, CMD_SFDP_REG_READ},
            {address(FILE_ADDR_FILE), address(FILE_ADDR_DEVICE), address(FILE_COUNT)});
        add(t, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS},
            {address(BLOCKS_BEGIN), address(BLOCKS_SIZE), address(BLOCKS_COUNT)});
        // The selection of security registers, one bit each.
        add(t, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY}, {byteValue(REG_DATA)});
        add(t, {CMD_SET_CLK}, {clock()});
        add(t, {CMD_SET_ADDR}, {byteValue(SET_ADDR_ADDR)});
        // The reset pulse of a family that has one.
        add(t, {CMD_LEAVE}, {duration(LEAVE_DURATION)});
        // Device-level values, as far as the family has them.
        add(t, {CMD_SET_DEVICE}, {clock(), byteValue(SET_ADDR_ADDR)});
        add(t, {CMD_AUTO_DETECT}, {clock(), byteValue(SET_ADDR_ADDR), flag(AUTO_STOP), flag(AUTO_EXECUTE)});
        // Programmer commands.
        add(t, {CMD_RESET}, {duration(RESET_DURATION)});
        add(t, {CMD_GENERATOR},
            {{GEN_FREQ, Kind::Integer, 0, progvalue::FREQ_MAX}, {GEN_DUTY, Kind::Integer, 0, progvalue::DUTY_MAX / 10}});
        add(t, {CMD_SET_VCC}, {real(SUPPLY_VCC)});
        add(t, {CMD_SET_VPP}, {real(SUPPLY_VPP)});
        add(t, {CMD_SET_VICC}, {real(SUPPLY_VCC), real(SUPPLY_ICC)});
        add(t, {CMD_SET_VIPP}, {real(SUPPLY_VPP), real(SUPPLY_IPP)});
        // Tool commands.
        add(t, {CMD_DELAY}, {int32Value(DELAY_VALUE)});
        add(t, {CMD_COUNTER}, {int32Value(COUNTER_VALUE), int32Value(COUNTER_LIMIT), int32Value(COUNTER_DELTA)});
        add(t, {CMD_JAMP}, {int32Value(JAMP_TO_CMD)});
        add(t, {CMD_EXECUTE}, {int32Value(EXECUTE_CFG)});
        add(t, {CMD_CALC_CRC}, {address(CRC_ADDR), address(CRC_COUNT), byteValue(CRC_FILL)});
        return t;
    }();
    return numbers;
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

// A whole number within [min, max]; false with the fault filled otherwise.
bool checkInteger(const QVariant &value, const Number &n, const QString &text, Fault &fault)
{
    qint64 v = 0;
    const bool read = readInteger(value, v);
    if (read && v >= n.min && v <= n.max)
        return true;
    fault.outside = read || isDigitText(text);
    fault.min = n.min;
    fault.max = n.max;
    return false;
}

// The number of the entry in the record; false with the fault filled.
bool checkNumber(const TData &record, const Number &n, Fault &fault)
{
    fault = Fault();
    fault.key = QLatin1String(n.key);
    const auto it = record.constFind(fault.key);
    if (it == record.constEnd())
        return true;
    const QVariant &value = it.value();
    fault.text = value.toString();
    double real = 0;
    bool flag = false;
    switch (n.kind) {
    case Kind::Integer:
        return checkInteger(value, n, fault.text, fault);
    case Kind::Real:
        return readReal(value, real);
    case Kind::Flag:
        return readFlag(value, flag);
    }
    return true;
}

QVector<Fault> faultsOf(const TData &record, bool firstOnly)
{
    QVector<Fault> faults;
    const auto numbers = table().constFind(record.value(QLatin1String(REC_CMD)).toString());
    if (numbers == table().constEnd())
        return faults;
    for (const Number &n : numbers.value()) {
        Fault fault;
        if (!checkNumber(record, n, fault)) {
            faults.append(fault);
            if (firstOnly)
                break;
        }
    }
    return faults;
}

} // namespace

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

bool findFault(const TData &record, Fault &fault)
{
    const QVector<Fault> faults = faultsOf(record, true);
    if (faults.isEmpty())
        return false;
    fault = faults.first();
    return true;
}

bool numbersSound(const TData &record)
{
    Fault fault;
    return !findFault(record, fault);
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
    if (f.outside)
        return lang.text(execmsg::NUMBER_OUTSIDE)
            .arg(name, f.key, f.text.trimmed(), QString::number(f.min), QString::number(f.max));
    return lang.text(execmsg::NOT_A_NUMBER).arg(name, f.key, f.text);
}

} // namespace paramnum
