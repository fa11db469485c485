#include "devices/prog_values.h"

#include <QString>

#include <cmath>

namespace progvalue {

bool readDouble(const QVariant &value, double &out)
{
    bool ok = false;
    const double v = value.userType() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok)
                                                             : value.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
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
    default:
        out = value.toLongLong(&ok);
        return ok && value.isValid();
    }
}

double tenths(double value)
{
    return std::round(value * 10.0);
}

bool inTenths(double value, double min, double max)
{
    if (!std::isfinite(value) || !std::isfinite(min) || !std::isfinite(max))
        return false;
    const double v = tenths(value);
    return tenths(min) <= v && v <= tenths(max);
}

namespace {

// value x scale truncated toward zero, within 0..max.
bool scaled(const QVariant &value, double scale, qint64 max, qint64 &out)
{
    double v = 0;
    if (!readDouble(value, v) || v < 0)
        return false;
    const double product = std::trunc(v * scale);
    if (product > double(max))
        return false;
    out = qint64(product);
    return true;
}

} // namespace

bool voltageByte(const QVariant &value, quint8 &out)
{
    qint64 v = 0;
    if (!scaled(value, 10.0, VOLTAGE_MAX, v))
        return false;
    out = quint8(v);
    return true;
}

bool currentMicro(const QVariant &value, qint64 max, quint32 &out)
{
    qint64 v = 0;
    if (!scaled(value, 1000.0, max, v))
        return false;
    out = quint32(v);
    return true;
}

bool duration16(const QVariant &value, qint16 &out)
{
    qint64 v = 0;
    if (!readInteger(value, v) || v < DURATION_MIN || v > DURATION_MAX)
        return false;
    out = qint16(v);
    return true;
}

bool frequency32(const QVariant &value, quint32 &out)
{
    qint64 v = 0;
    if (!readInteger(value, v) || v < 0 || v > FREQ_MAX)
        return false;
    out = quint32(v);
    return true;
}

bool duty16(const QVariant &value, quint16 &out)
{
    qint64 v = 0;
    if (!readInteger(value, v) || v < 0 || v > DUTY_MAX / 10)
        return false;
    out = quint16(v * 10);
    return true;
}

} // namespace progvalue
