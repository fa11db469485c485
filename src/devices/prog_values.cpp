#include "devices/prog_values.h"

#include "devices/param_schema.h"

#include <cmath>

namespace progvalue {

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
    if (!schema::readReal(value, v) || v < 0)
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
    if (!schema::readInteger(value, v) || v < DURATION_MIN || v > DURATION_MAX)
        return false;
    out = qint16(v);
    return true;
}

bool frequency32(const QVariant &value, quint32 &out)
{
    qint64 v = 0;
    if (!schema::readInteger(value, v) || v < 0 || v > FREQ_MAX)
        return false;
    out = quint32(v);
    return true;
}

bool duty16(const QVariant &value, quint16 &out)
{
    qint64 v = 0;
    if (!schema::readInteger(value, v) || v < 0 || v > DUTY_MAX / 10)
        return false;
    out = quint16(v * 10);
    return true;
}

} // namespace progvalue
