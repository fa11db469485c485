#include "devices/text_lines.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace textlines {

QStringList readLines(const QString &path, bool *read)
{
    QStringList lines;
    if (read)
        *read = false;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    // Read one byte more than allowed to tell an over-large file from one of
    // exactly the limit, without trusting the size the file system reports.
    const QByteArray bytes = file.read(maxFileBytes + 1);
    if (bytes.size() > maxFileBytes)
        return lines;
    if (read)
        *read = true;

    int pos = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    const int size = bytes.size();
    while (pos < size) {
        int end = bytes.indexOf('\n', pos);
        const int next = end < 0 ? size : end + 1;
        if (end < 0)
            end = size;
        int len = end - pos;
        if (len > 0 && bytes.at(end - 1) == '\r')
            --len;
        if (len <= maxLineBytes) {
            const QByteArray line = bytes.mid(pos, len);
            if (!line.contains('\0'))
                lines.append(QString::fromUtf8(line));
        }
        pos = next;
    }
    return lines;
}

} // namespace textlines
