// Writes and reads a 16 MiB image as Intel HEX and as raw binary through
// TFormat, in pieces of one page, and prints MB/s beside objcopy converting
// the same image to and from Intel HEX. A HEX read includes the open, which
// checks the whole file first. Each figure is the best of several runs, the
// same for objcopy, and the HEX figures are also given as a multiple of
// objcopy's speed (above 1: faster).

#include "formats/TFormat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr qint64 imageSize = 16 * 1024 * 1024;
constexpr qint64 block = 256;
constexpr int runs = 5;

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

    std::printf("Chip-data formats, 16 MiB image, %lld-byte pieces, best of %d runs\n", block, runs);
    const QString hex = dir.filePath(QStringLiteral("image.hex"));
    const QString bin = dir.filePath(QStringLiteral("image.bin"));
    int failures = 0;
    // The best time of the runs, 0 when one failed.
    auto best = [&](const std::function<bool(qint64 &)> &pass, const char *what) {
        qint64 fastest = 0;
        for (int i = 0; i < runs; ++i) {
            qint64 ns = 0;
            if (!pass(ns)) {
                std::printf("  %-34s FAILED\n", what);
                ++failures;
                return qint64(0);
            }
            if (fastest == 0 || ns < fastest)
                fastest = ns;
        }
        report(what, fastest);
        return fastest;
    };
    const qint64 hexWrite = best([&](qint64 &ns) { return writeImage(QStringLiteral("hex"), hex, image, ns); },
                                 "TFormat write HEX");
    const qint64 hexRead = best([&](qint64 &ns) { return readImage(QStringLiteral("hex"), hex, image, ns); },
                                "TFormat checked open + read HEX");
    best([&](qint64 &ns) { return writeImage(QStringLiteral("bin"), bin, image, ns); }, "TFormat write BIN");
    best([&](qint64 &ns) { return readImage(QStringLiteral("bin"), bin, image, ns); }, "TFormat read BIN");

    const QString objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
    if (objcopy.isEmpty()) {
        std::printf("  objcopy not found, no comparison\n");
    } else {
        const QString toHex = dir.filePath(QStringLiteral("objcopy.hex"));
        const QString toBin = dir.filePath(QStringLiteral("objcopy.bin"));
        const qint64 objWrite = best([&](qint64 &ns) {
            return runTimed(objcopy, {"-I", "binary", "-O", "ihex", bin, toHex}, ns);
        }, "objcopy BIN -> HEX");
        const qint64 objRead = best([&](qint64 &ns) {
            return runTimed(objcopy, {"-I", "ihex", "-O", "binary", toHex, toBin}, ns);
        }, "objcopy HEX -> BIN");
        best([&](qint64 &ns) { return readImage(QStringLiteral("hex"), toHex, image, ns); },
             "TFormat checked read, objcopy's HEX");
        if (hexWrite > 0 && hexRead > 0 && objWrite > 0 && objRead > 0)
            std::printf("  HEX write %.2fx objcopy, HEX checked read %.2fx objcopy\n",
                        double(objWrite) / double(hexWrite), double(objRead) / double(hexRead));
    }
    return failures == 0 ? 0 : 1;
}
