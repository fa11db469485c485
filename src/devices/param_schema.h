#pragma once
// The schema of the commands' parameters: one table by command code that
// gives every key a command's check, form or executor reads, with the kind
// of value it holds, and the readers through which all of them read a
// stored value.
//
// The project keeps every parameter as a text. A value must read back as
// what its key holds, or the command is invalid, so that a run refuses it
// before anything of it reaches the programmer: a number of the field it
// goes into, a flag that is on or off, a name of the set that it selects
// from (a file format, a CRC algorithm, a programmer), a name or file that is
// not empty, hex bytes, pin-state letters, a reference to a configuration or
// a command of the project (an id, or the ids of the routes of automatic
// detection). A damaged value ("abc", "",
// "12x", "1.5" where a whole number goes, 256 for a byte, "flase" for a flag,
// "yes" for "status") never reads as 0, as off or as another name, and a
// reference to nothing (a record deleted, a number no record has) never
// passes for no reference. An absent key is no damage: the checks read it
// as 0 or as an empty text, as always.
//
// "status" (ticked or not) is a flag of every command. The project's
// validation (IDevice::validParams), the run's refusal (faultText) and the
// parameter forms (the damaged values shown) all go by the table.

#include "core/TData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QtGlobal>

#include <functional>

namespace schema {

enum class Kind {
    Integer,      // a whole number within [min, max]
    Real,         // a finite number
    Flag,         // on or off
    Format,       // a chip-data file format: hex, bin or bin+ in any letter case
    Algorithm,    // a name of the CRC catalogue
    Programmer,   // a programmer name of the settings
    Name,         // a device or detection entry: not empty
    File,         // a file name: not empty
    CommandLine,  // a command line: not empty
    Hex,          // hex bytes: hex digits and blanks, two digits a byte
    Pins,         // pin-state letters
    Configuration,// a configuration of the project, by its id
    Command,      // a command of the project, by its id
    Routes,       // "identifier=configuration id" items joined by "|"
    Text,         // any text
};

struct Entry
{
    const char *key;
    Kind kind;
    qint64 min = 0;   // the field of a whole number
    qint64 max = 0;
};

// The entries of a command code, "status" first; false for a code the
// table does not hold.
bool entriesOf(const QString &code, QVector<Entry> &entries);
// The codes the table holds.
QStringList codes();
// The table gives the code this key.
bool hasKey(const QString &code, const QString &key);
// The kind of the key of the code; false when the table lacks either.
bool kindOf(const QString &code, const QString &key, Kind &kind);

// ---- References ------------------------------------------------------------

// An id in a stored value that names a record of the project: the value of
// a configuration or command reference, the configuration of each route
// item. Route items are read as the routes' pair list reads them: trimmed,
// empty ones and those starting with "#" skipped, the identifier before the
// first "=", the id after it.
struct Reference
{
    Kind names = Kind::Configuration;   // Configuration or Command
    QString text;   // the id as stored
    int at = -1;    // where the id stands in the value; -1 for a route item without "="
    QString item;   // the route item, trimmed (the value itself for a reference key)
    QString key;    // the route item's identifier
};
// The references of a value of a kind; none for a kind that holds none.
QVector<Reference> referencesIn(Kind kind, const QString &value);
// The references of a command's record, of every key it holds.
QVector<Reference> referencesOf(const TData &record);
// The id the reference holds (of a record or not); false for a route item
// without "=" and for a text that is no whole number of int range.
bool idOf(const Reference &reference, int &id);
// The id of the record the reference names; -1 when the project has none
// that it names (damaged, a route item without "=", a record gone).
int targetOf(const Reference &reference);
// The reference that the key of the record holds, by the kind the record's
// "cmd" gives the key; for a detection's routes, the last route item of the
// identifier, as the routes' pair list finds it. False when it holds none.
bool referenceOf(const TData &record, const char *key, Reference &reference,
                 const QString &identifier = QString());
// The id of the record that the reference of the key names (targetOf of
// referenceOf); -1 when it names none.
int target(const TData &record, const char *key);
// The value of the key of a command code with every reference it holds (an
// id, the ids of routes) replaced by what map gives for it, the rest as it
// stands; a key that holds no reference as it stands.
QString withReferences(const QString &code, const QString &key, const QString &value,
                       const std::function<QString(const Reference &)> &map);

// ---- Readers of a value ----------------------------------------------------

// A whole number of 64 bits: an integer variant (an unsigned one up to
// 2^63 - 1), a double without fraction, or a text of an optional sign and
// decimal digits, blanks around them allowed. A bool, an empty or absent
// value, a fraction, an exponent, a hex text and any other character are
// refused.
bool readInteger(const QVariant &value, qint64 &out);
// A finite number: decimal digits with an optional point and exponent.
bool readReal(const QVariant &value, double &out);
// On or off: a bool, a whole number (0 is off) or the text true or false
// in any letter case.
bool readFlag(const QVariant &value, bool &out);
// Hex bytes: hex digits and blanks only, an even number of digits, of any
// length.
bool readHex(const QString &text, QByteArray &bytes);

// ---- Readers of a command record ------------------------------------------
// Every read of a stored value goes through these (through getParam, which
// a test may watch). A damaged or absent value reads as 0, false or empty;
// the schema has made its command invalid.

qint64 integer(const TData &record, const char *key);
double real(const TData &record, const char *key);
bool flag(const TData &record, const char *key);
QString text(const TData &record, const char *key);
// The value as stored, for readers of a wire field (prog_values.h).
QVariant value(const TData &record, const char *key);
// The record's own keys.
int cmdId(const TData &record);
QString cmdCode(const TData &record);

// ---- Damaged values --------------------------------------------------------

// A stored value of the record that is not what its key holds.
struct Fault
{
    QString key;
    QString text;          // the value as stored
    Kind kind = Kind::Integer;
    bool outside = false;  // a whole number beyond the field [min, max]
    bool dead = false;     // a reference that reads but names no record
    QString item;          // the route item at fault
    qint64 min = 0;
    qint64 max = 0;
};

// The first such value of the record, whose "cmd" says what its keys hold;
// false when every value reads.
bool findFault(const TData &record, Fault &fault);
// Every key of the record whose value does not read.
QStringList faultyKeys(const TData &record);
// The run's word on the first such value of a command named name; empty
// when every value reads.
QString faultText(const QString &name, const TData &record);

} // namespace schema
