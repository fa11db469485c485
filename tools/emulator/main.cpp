// velkor-emulator: the emulated programmer on a pseudo-terminal, with a
// 24xx EEPROM, a 25xx flash and an AVR8 microcontroller in its socket, for trying Velkor without a
// programmer box. It prints the terminal's path (and writes it to the file
// --pty-file names), keeps the chips' contents in --data between starts,
// logs every request to --log, and ends on SIGINT, SIGTERM or SIGHUP and
// when the process that started it ends.

#include "EmulatorSocket.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "devices/TDeviceList.h"
#include "support/AvrChip.h"
#include "support/Chip24.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void fail(const QString &text)
{
    std::fprintf(stderr, "velkor-emulator: %s\n", qPrintable(text));
}

// A chip description of the devices folder; empty when it cannot be read.
TData description(const QString &path)
{
    bool read = false;
    const TData params = TDeviceList::readDescription(path, &read);
    return read ? params : TData();
}

bool writeWhole(const QString &file, const QByteArray &bytes)
{
    return writeWholeFile(file, bytes, nullptr, false);
}

} // namespace

int main(int argc, char **argv)
{
    // A chip file past the file-size limit fails as a write.
    platform::ignoreFileSizeSignal();
    // The signals that end the emulator are taken by sigtimedwait below;
    // the programmer's thread inherits the mask and never sees them.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 0;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velkor-emulator"));
    const QString devices = QCoreApplication::applicationDirPath() + QStringLiteral("/devices");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The emulated Velkor programmer on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption ptyFile(QStringLiteral("pty-file"),
                                     QStringLiteral("Write the pseudo-terminal's path to <file>."),
                                     QStringLiteral("file"));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Keep the chips' contents in <folder> between starts."),
                                  QStringLiteral("folder"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append every request to <file>."),
                                 QStringLiteral("file"));
    const QCommandLineOption chip24(QStringLiteral("chip24"),
                                    QStringLiteral("The 24xx chip: a device description (default 24c256)."),
                                    QStringLiteral("file"), devices + QStringLiteral("/24xx/24c256.dev"));
    const QCommandLineOption chip25(QStringLiteral("chip25"),
                                    QStringLiteral("The 25xx chip: a device description (default w25q16jv)."),
                                    QStringLiteral("file"), devices + QStringLiteral("/25xx/w25q16jv.dev"));
    const QCommandLineOption chipAvr8(QStringLiteral("chipavr8"),
                                      QStringLiteral("The AVR8 chip: a device description (default atmega328p)."),
                                      QStringLiteral("file"), devices + QStringLiteral("/avr8/atmega328p.dev"));
    parser.addOptions({ptyFile, data, log, chip24, chip25, chipAvr8});
    parser.process(app);

    const TData d24 = description(parser.value(chip24));
    const TData d25 = description(parser.value(chip25));
    const int size24 = d24.value(DEV_SIZE).toInt();
    const qint64 size25 = d25.value(DEV_SIZE).toLongLong();
    const QByteArray jedec = QByteArray::fromHex(d25.value(DEV_SIGNATURE).toString().toLatin1());
    if (size24 <= 0 || d24.value(DEV_PAGE_SIZE).toInt() <= 0) {
        fail(QStringLiteral("no 24xx chip in %1").arg(parser.value(chip24)));
        return 2;
    }
    if (size25 <= 0 || (size25 & (size25 - 1)) != 0 || size25 > (1 << 24) || jedec.size() != 3) {
        fail(QStringLiteral("no 25xx chip in %1").arg(parser.value(chip25)));
        return 2;
    }
    const TData dAvr = description(parser.value(chipAvr8));
    const AvrChip::Spec avr = AvrChip::specOf(dAvr);
    if (avr.signature.size() != 3 || avr.flashSize <= 0 || avr.flashSize > (1 << 24) || avr.pageSize < 0
        || (avr.pageSize > 0 && avr.flashSize % avr.pageSize != 0) || avr.eepromSize < 0
        || avr.eepromSize > 65536 || avr.fuses.size() > 3) {
        fail(QStringLiteral("no AVR8 chip in %1").arg(parser.value(chipAvr8)));
        return 2;
    }
    auto socket = std::make_shared<EmulatorSocket>(
        std::make_shared<Chip24>(size24, d24.value(DEV_PAGE_SIZE).toInt(), d24.value(DEV_ADDR_SIZE).toInt(),
                                 quint8(d24.value(DEV_ADDR_MASK).toInt() & 7), 0),
        std::make_shared<Spi25Chip>(size25, jedec),
        std::make_shared<AvrChip>(avr, EmulatorSocket::TYPE_AVR8));

    std::vector<std::unique_ptr<ChipStore>> stores;
    if (parser.isSet(data)) {
        const QString folder = parser.value(data);
        if (!QDir().mkpath(folder)) {
            fail(QStringLiteral("cannot make %1").arg(folder));
            return 2;
        }
        Chip24 *c24 = socket->chip24.get();
        Spi25Chip *c25 = socket->chip25.get();
        AvrChip *cAvr = socket->chipAvr.get();
        stores.emplace_back(new ChipStore(
            QDir(folder).filePath(QStringLiteral("24xx.bin")), [c24] { return c24->memory; },
            [c24](const QByteArray &bytes) { c24->memory = bytes; }));
        stores.emplace_back(new ChipStore(
            QDir(folder).filePath(QStringLiteral("25xx.bin")), [c25] { return c25->array; },
            [c25](const QByteArray &bytes) { c25->array = bytes; }));
        // The AVR8 chip in one file: flash, EEPROM, the fuse bytes and the
        // lock byte, one after the other.
        stores.emplace_back(new ChipStore(
            QDir(folder).filePath(QStringLiteral("avr8.bin")),
            [cAvr] { return cAvr->flash + cAvr->eeprom + cAvr->fuses + char(cAvr->lock); },
            [cAvr](const QByteArray &bytes) {
                int at = 0;
                for (QByteArray *part : {&cAvr->flash, &cAvr->eeprom, &cAvr->fuses}) {
                    *part = bytes.mid(at, part->size());
                    at += part->size();
                }
                cAvr->lock = quint8(bytes.at(at));
            }));
        for (auto &store : stores)
            store->load();
    }

    QFile logFile;
    if (parser.isSet(log)) {
        logFile.setFileName(parser.value(log));
        if (!logFile.open(QIODevice::Append)) {
            fail(QStringLiteral("cannot write %1").arg(parser.value(log)));
            return 2;
        }
    }

    FakeProgrammer programmer;
    programmer.setChip(socket);
    if (!programmer.start()) {
        fail(programmer.errorString());
        return 1;
    }
    if (parser.isSet(ptyFile) && !writeWhole(parser.value(ptyFile), programmer.portName().toUtf8() + '\n')) {
        fail(QStringLiteral("cannot write %1").arg(parser.value(ptyFile)));
        return 2;
    }
    std::printf("%s\n", qPrintable(programmer.portName()));
    std::fflush(stdout);

    const auto flush = [&] {
        const QVector<FakeProgrammer::Request> requests = programmer.takeRequests();
        if (logFile.isOpen() && !requests.isEmpty()) {
            const QByteArray time = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
            for (const FakeProgrammer::Request &r : requests)
                logFile.write(time + ' ' + r.frame.toHex(' ') + (r.checksumOk ? "" : " (checksum wrong)") + '\n');
            logFile.flush();
        }
        if (requests.isEmpty())
            return;
        programmer.locked([&] {
            for (auto &store : stores)
                store->snapshot();
            // What the AVR8 firmware saw is kept only for tests; a long run
            // must not pile it up.
            socket->chipAvr->timings.clear();
            socket->chipAvr->instructions.clear();
        });
        for (auto &store : stores) {
            QString error;
            if (!store->save(&error))
                fail(error);
        }
    };

    const timespec tick{0, 200 * 1000 * 1000};
    for (;;) {
        const int got = sigtimedwait(&endSignals, nullptr, &tick);
        flush();
        if (got > 0)
            break;
    }
    programmer.stop();
    flush();
    return 0;
}
