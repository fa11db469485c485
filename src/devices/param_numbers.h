#pragma once
// The numbers among a command's parameters. The project keeps every
// parameter as a text; a number that a command reads must read back as a
// number of the field it goes into, or the command is invalid, so that a
// run refuses it before anything of it reaches the programmer. A damaged
// value ("abc", "", "12x", "1.5" where a whole number goes, 256 for a byte)
// never reads as 0 or as its low bits.
//
// One table says which keys of which command code hold numbers and of what
// kind; the project's validation (through IDevice::validParams), the run's
// refusal and the parameter forms all go by it.

#include "core/TData.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

namespace paramnum {

// A whole number of 64 bits: an integer variant, a double without
// fraction, or a text of an optional sign and decimal digits, blanks around
// them allowed (as the conversions of the readers take it). A bool, an
// empty or absent value, a fraction, an exponent, a hex text and any other
// character are refused.
bool readInteger(const QVariant &value, qint64 &out);
// A finite number: decimal digits with an optional point and exponent.
bool readReal(const QVariant &value, double &out);
// On or off: a bool, a whole number (0 is off) or the text true or false
// in any letter case.
bool readFlag(const QVariant &value, bool &out);

// A stored value of the record that is not the number its key holds.
struct Fault
{
    QString key;
    QString text;          // the value as stored
    bool outside = false;  // a whole number beyond the field [min, max]
    qint64 min = 0;
    qint64 max = 0;
};

// The first such value of the record, whose "cmd" says which of its keys
// are numbers; false when every number reads.
bool findFault(const TData &record, Fault &fault);
bool numbersSound(const TData &record);
// Every key of the record whose value does not read.
QStringList faultyKeys(const TData &record);
// The run's word on the first such value of a command named name; empty
// when every number reads.
QString faultText(const QString &name, const TData &record);

} // namespace paramnum
