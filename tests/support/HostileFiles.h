#pragma once
// Files no reader should trust: binary noise (NUL bytes, line ends and
// signs of the line grammars scattered through it), written where a test
// needs them.

#include <QByteArray>
#include <QFile>
#include <QString>

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

} // namespace hostile
