#pragma once
// Files no reader should trust: binary noise (NUL bytes, line ends and
// signs of the line grammars scattered through it), written where a test
// needs them; files written anew in place, their stamps telling it or not,
// and stamps that move alone.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <cstdio>
#include <sys/stat.h>
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

// How a test writes a file anew in place while a command reads it (the
// build writing it again): its size kept and its times put back as they
// were, as a file system whose clock cannot tell the change leaves them;
// its times moved as the writes set them; its size changed (16 bytes more
// after the new ones).
const char *const rewrites[] = {"times restored", "times moved", "size changed"};
// Writes the bytes over the file at path from offset at as rewrites[how] says.
inline bool rewrite(const QString &path, qint64 at, const QByteArray &bytes, int how)
{
    struct stat before {};
    QFile file(path);
    if (::stat(QFile::encodeName(path).constData(), &before) != 0 || !file.open(QIODevice::ReadWrite)
        || !file.seek(at) || file.write(bytes) != bytes.size() || (how == 2 && !file.resize(at + bytes.size() + 16))
        || !file.flush())
        return false;
    const timespec times[2] = {before.st_atim, before.st_mtim};
    return how != 0 || ::futimens(file.handle(), times) == 0;
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
        return file.open(QIODevice::ReadWrite)
               && file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime);
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
