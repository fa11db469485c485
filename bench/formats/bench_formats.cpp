// Writes and reads a 16 MiB image as Intel HEX and as raw binary through
// TFormat, in pieces of one page, and prints MB/s beside objcopy converting
// the same image to and from Intel HEX.

#include "formats/TFormat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 imageSize = 16 * 1024 * 1024;
constexpr qint64 block = 256;

double mbPerSecond(qint64 bytes, qint64 ns)
{
    return ns > 0 ? (double(bytes) / (1024.0 * 1024.0)) / (double(ns) / 1e9) : 0.0;
}

void report(const char *what, qint64 ns)
{
    std::printf("  %-34s %9.1f MB/s  (%.3f s)\n", what, mbPerSecond(imageSize, ns), ns / 1e9);
}

bool writeImage(const QString &format, const QString &path, const QByteArray &image, qint64 &ns)
{
    QElapsedTimer t;
    t.start();
    TFormat f(format, path, 0, 0, imageSize - 1, block);
    if (!f.open(1))
        return false;
    for (qint64 at = 0; at < imageSize; at += block)
        if (!f.write(at, image.mid(int(at), int(block))))
            return false;
    if (!f.close())
        return false;
    ns = t.nsecsElapsed();
    return true;
}

bool readImage(const QString &format, const QString &path, const QByteArray &image, qint64 &ns)
{
    QElapsedTimer t;
    t.start();
    TFormat f(format, path, 0, 0, imageSize - 1, block);
    if (!f.open(0))
        return false;
    QByteArray back(int(imageSize), 0);
    qint64 addr = 0;
    for (;;) {
        QByteArray data;
        if (!f.read(addr, data))
            return false;
        if (data.isEmpty())
            break;
        std::copy(data.begin(), data.end(), back.begin() + addr);
        addr += data.size();
    }
    f.close();
    ns = t.nsecsElapsed();
    return back == image;
}

bool runTimed(const QString &program, const QStringList &args, qint64 &ns)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return false;
    ns = t.nsecsElapsed();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QByteArray image(int(imageSize), Qt::Uninitialized);
    QRandomGenerator gen(2024);
    for (qint64 i = 0; i < imageSize; ++i)
        image[int(i)] = char(gen.bounded(256));

    std::printf("Chip-data formats, 16 MiB image, %lld-byte pieces\n", block);
    const QString hex = dir.filePath(QStringLiteral("image.hex"));
    const QString bin = dir.filePath(QStringLiteral("image.bin"));
    qint64 ns = 0;
    int failures = 0;
    auto check = [&](bool ok, const char *what) {
        if (ok) {
            report(what, ns);
        } else {
            std::printf("  %-34s FAILED\n", what);
            ++failures;
        }
    };
    check(writeImage(QStringLiteral("hex"), hex, image, ns), "TFormat write HEX");
    check(readImage(QStringLiteral("hex"), hex, image, ns), "TFormat read HEX");
    check(writeImage(QStringLiteral("bin"), bin, image, ns), "TFormat write BIN");
    check(readImage(QStringLiteral("bin"), bin, image, ns), "TFormat read BIN");

    const QString objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
    if (objcopy.isEmpty()) {
        std::printf("  objcopy not found, no comparison\n");
    } else {
        const QString toHex = dir.filePath(QStringLiteral("objcopy.hex"));
        const QString toBin = dir.filePath(QStringLiteral("objcopy.bin"));
        check(runTimed(objcopy, {"-I", "binary", "-O", "ihex", bin, toHex}, ns), "objcopy BIN -> HEX");
        check(runTimed(objcopy, {"-I", "ihex", "-O", "binary", toHex, toBin}, ns), "objcopy HEX -> BIN");
    }
    return failures == 0 ? 0 : 1;
}
