#pragma once
// Language-table messages of the chip-data formats. A fault of a file names
// the file; a fault of an Intel HEX file also names its line (FILE_LINE) and
// says what is wrong with it (one of the texts below).

namespace fmtmsg {

constexpr int FILE_MISSING = 418;      // %1 the file
constexpr int FILE_SHORT = 419;        // %1 the file, %2 its first file address
constexpr int FILE_OPEN = 420;         // %1 the file, %2 the system's text
constexpr int FILE_LINE = 421;         // %1 the file, %2 the line, %3 what is wrong
constexpr int NOT_A_FILE = 462;        // %1 the name (a folder, a device)
constexpr int LINE_EMPTY = 463;
constexpr int LINE_NO_COLON = 464;
constexpr int LINE_NOT_HEX = 465;      // %1 the character
constexpr int LINE_ODD_DIGITS = 466;
constexpr int LINE_TOO_SHORT = 467;    // %1 the bytes the line holds
constexpr int LINE_LENGTH = 468;       // %1 the length byte, %2 the data bytes on the line
constexpr int LINE_CHECKSUM = 469;     // %1 the checksum on the line, %2 the right one
constexpr int LINE_TYPE = 470;         // %1 the record type
constexpr int LINE_TYPE_LENGTH = 471;  // %1 the record type, %2 its data bytes, %3 the bytes the type has
constexpr int LINE_TOO_LONG = 472;     // %1 the longest line allowed
constexpr int LINE_NO_END = 473;
constexpr int LINE_AFTER_END = 474;
constexpr int LINE_OUTSIDE = 475;      // %1, %2 first and last address of the data, %3, %4 of the range
constexpr int LINE_OVERLAP = 476;      // %1, %2 first and last address of the data
constexpr int LINE_PIECES = 477;       // %1 the most separate pieces
// %1 the file, written to while a command read it: nothing of the changed
// file was given (580 and 581, which said a change was found only at the
// end, are reserved).
constexpr int FILE_CHANGED = 538;

} // namespace fmtmsg
