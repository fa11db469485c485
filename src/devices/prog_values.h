#pragma once
// The values of the programmer commands as they travel: a voltage as one
// byte of 0.1 V, a current in microamperes (32 bits for Icc, 16 for Ipp), a
// reset pulse as a signed 16-bit number of milliseconds, a generator
// frequency in 32 bits and its duty in 16 bits of 0.1 %. The group's checks
// and the executor read a command's values through these helpers, so that a
// value that does not fit its field is refused by both instead of being sent
// as its low bits.
//
// A stored value may be a number (fresh from a form or the defaults) or a
// text (after the project file was loaded again); it is read by the strict
// readers of param_schema.h, so anything that is no finite number (an empty
// text, "abc", "inf", "nan", 1e300 for an integer) is refused. The
// arithmetic is done in 64 bits or double.

#include <QVariant>
#include <QtGlobal>

namespace progvalue {

// Largest values of the fields, in their wire units.
constexpr qint64 VOLTAGE_MAX = 0xFF;            // 25.5 V
constexpr qint64 ICC_MAX = 0xFFFFFFFFLL;        // 4294967.295 mA
constexpr qint64 IPP_MAX = 0xFFFF;              // 65.535 mA
constexpr qint64 DURATION_MIN = -32768;
constexpr qint64 DURATION_MAX = 32767;
constexpr qint64 FREQ_MAX = 0xFFFFFFFFLL;
constexpr qint64 DUTY_MAX = 0xFFFF;             // duty x 10

// The value in tenths, rounded to the nearest, halves away from zero: the
// steps in which the checks compare voltages (V) and currents (mA).
double tenths(double value);
// min <= value <= max compared in tenths; false when any is not finite.
bool inTenths(double value, double min, double max);

// The wire forms: false when the value is no number or outside its field.
// Products are truncated toward zero, never rounded.
bool voltageByte(const QVariant &value, quint8 &out);
bool currentMicro(const QVariant &value, qint64 max, quint32 &out);
bool duration16(const QVariant &value, qint16 &out);
bool frequency32(const QVariant &value, quint32 &out);
bool duty16(const QVariant &value, quint16 &out);

} // namespace progvalue
