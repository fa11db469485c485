#pragma once
// Files no reader should trust: binary noise (NUL bytes, line ends and
// signs of the line grammars scattered through it), written where a test
// needs them; files whose changes their stamps do not tell, and stamps
// that move over the same bytes.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include "core/platform.h"

#include <unistd.h>

namespace hostile {

// size bytes of deterministic noise; seed picks the pattern.
inline QByteArray noise(int size, int seed)
{
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes.append(char((i * (2 * seed + 51) + seed) & 0xFF));
    return bytes;
}

// Writes the bytes to path; false when the file could not be written whole.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// While it lives, file stamps hold the size alone: the file system's clock
// cannot tell a change (FAT's two-second steps, a change within one step),
// so only a file's contents show that it was written to.
class BlindFileClock
{
public:
    BlindFileClock()
    {
        platform::setFileStampFilter([](platform::FileStamp &stamp) { stamp.modified = stamp.changed = 0; });
    }
    ~BlindFileClock() { platform::setFileStampFilter({}); }
    BlindFileClock(const BlindFileClock &) = delete;
    BlindFileClock &operator=(const BlindFileClock &) = delete;
};

// What moves a file's stamp and leaves the bytes that a descriptor open on
// it reads as they were: its times set, its mode changed, a new hard link,
// another file put in its name's place by a rename (a copy of it, or of
// other bytes: the descriptor still reads the old file whole).
enum class StampMove { Touch, Mode, Link, RenameCopy, RenameOther };
constexpr struct
{
    StampMove move;
    const char *name;
} stampMoves[] = {{StampMove::Touch, "touched"},
                  {StampMove::Mode, "mode changed"},
                  {StampMove::Link, "hard link made"},
                  {StampMove::RenameCopy, "renamed over by a copy"},
                  {StampMove::RenameOther, "renamed over by another file"}};
// Makes the move on the file at path; other: the bytes of the other file.
inline bool moveStamp(const QString &path, StampMove move, const QByteArray &other)
{
    QFile file(path);
    switch (move) {
    case StampMove::Touch:
        return file.open(QIODevice::ReadWrite)
               && file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime);
    case StampMove::Mode:
        return file.setPermissions(file.permissions() ^ QFileDevice::ExeGroup);
    case StampMove::Link:
        return ::link(QFile::encodeName(path).constData(), QFile::encodeName(path + ".link").constData()) == 0;
    case StampMove::RenameCopy:
    case StampMove::RenameOther: {
        const QString next = path + ".next";
        QByteArray bytes = other;
        if (move == StampMove::RenameCopy) {
            if (!file.open(QIODevice::ReadOnly))
                return false;
            bytes = file.readAll();
        }
        QString error;
        return writeFile(next, bytes) && platform::replaceFile(next, path, &error);
    }
    }
    return false;
}

} // namespace hostile
