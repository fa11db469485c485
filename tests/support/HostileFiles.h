#pragma once
// Files no reader should trust: binary noise (NUL bytes, line ends and
// signs of the line grammars scattered through it), written where a test
// needs them; files whose changes their stamps do not tell, writes in
// place, and stamps that move alone.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include "core/platform.h"

#include <cstdio>
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

// Writes the bytes over the file from offset at, in place, and moves its
// modification time on.
inline bool writeInPlace(const QString &path, qint64 at, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(at) && file.write(bytes) == bytes.size()
           && file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime);
}

// What moves a file's stamp and leaves what a descriptor open on it reads
// (a file renamed into its name leaves the descriptor on the old one).
const char *const stampMoves[] = {"touched", "mode changed", "hard link made", "renamed over by a copy",
                                  "renamed over by another file"};
// Makes stampMoves[move] on the file at path; other: the other bytes.
inline bool moveStamp(const QString &path, int move, const QByteArray &other)
{
    const QByteArray name = QFile::encodeName(path), link = name + ".link", next = name + ".next";
    QFile file(path);
    switch (move) {
    case 0:
        return writeInPlace(path, 0, QByteArray());
    case 1:
        return file.setPermissions(file.permissions() ^ QFileDevice::ExeGroup);
    case 2:
        QFile::remove(QFile::decodeName(link));
        return ::link(name.constData(), link.constData()) == 0;
    default:
        return writeFile(QFile::decodeName(next), move == 3 && file.open(QIODevice::ReadOnly) ? file.readAll() : other)
               && std::rename(next.constData(), name.constData()) == 0;
    }
}

} // namespace hostile
