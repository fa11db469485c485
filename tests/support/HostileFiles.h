#pragma once
// Files no reader should trust: binary noise (NUL bytes, line ends and
// signs of the line grammars scattered through it), written where a test
// needs them; and files whose changes their stamps do not tell.

#include <QByteArray>
#include <QFile>
#include <QString>

#include "core/platform.h"

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

} // namespace hostile
