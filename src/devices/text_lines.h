#pragma once
// Line-by-line reading of the small UTF-8 text files of the devices folder
// (device descriptions and list files). Whatever a file holds, the reader
// returns a bounded list of lines and never fails loudly: the callers treat a
// file that cannot be read as an empty one.

#include <QString>
#include <QStringList>

namespace textlines {

// Files above this size are not descriptions or lists; they read as empty.
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
// Lines above this many bytes are malformed and dropped.
constexpr int maxLineBytes = 64 * 1024;

// The lines of a UTF-8 text file, without their line ends ("\n", "\r\n").
// A byte-order mark at the start is dropped. Lines holding a NUL byte
// (binary content) or longer than maxLineBytes are dropped. A missing,
// unreadable or over-large file, or a folder, gives an empty list; read
// (when given) then says false, while it says true for any file that could
// be read, an empty one included.
QStringList readLines(const QString &path, bool *read = nullptr);

} // namespace textlines
