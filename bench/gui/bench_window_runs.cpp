// Runs started through the main window: a configuration writing and reading
// back 64 KiB of a 24C512 on an emulated programmer, beside the round-trip
// bound of as many frames sent straight through the serial link in the same
// run; then two such configurations at once, each on its own programmer,
// beside one.

#include "data/TDataPrj.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/Chip24.h"
#include "support/FakeProgrammer.h"
#include "window_bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kSize = 65536;

struct Bench
{
    QTemporaryDir home;
    std::vector<std::unique_ptr<FakeProgrammer>> fakes;

    QString at(const QString &name) const { return home.filePath(name); }

    // write, read back: the whole chip, from one image file.
    void configure(int n)
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("Run%1").arg(n), QString());
        windowbench::add24xxCopy(cfg, n, kSize, at(QStringLiteral("image.bin")),
                                 at(QStringLiteral("back%1.bin").arg(n)));
    }
};

// Seconds for that many identification requests through a link of its own.
double roundTrips(const QString &port, int frames)
{
    TSerialPort link;
    if (!link.openPort(port, QIODevice::ReadWrite))
        return -1;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        QByteArray payload;
        link.transaction(TProtocol::PROG_IDENT, payload);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    link.close();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMetaTypes();
    Bench b;
    for (int n = 0; n < 2; ++n) {
        b.fakes.emplace_back(new FakeProgrammer);
        b.fakes[n]->setChip(std::make_shared<Chip24>(kSize, 128, 2));
    }
    if (!windowbench::setUp(b.home, b.fakes))
        return 1;

    QByteArray image(kSize, '\0');
    for (int i = 0; i < kSize; ++i)
        image[i] = char((i * 31 + 7) & 0xFF);
    QFile f(b.at(QStringLiteral("image.bin")));
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != kSize)
        return 1;
    f.close();

    windowbench::newProject(b.home);
    b.configure(0);
    b.configure(1);
    if (!windowbench::offerProject(b.home))
        return 1;

    TMainWindow w;
    w.show();
    b.fakes[0]->clearRequests();
    const double one = windowbench::runTabs(w, {0});
    const int frames = b.fakes[0]->requestCount();
    const double bound = roundTrips(b.fakes[0]->portName(), frames);
    const double two = windowbench::runTabs(w, {0, 1});
    std::printf("64 KiB written and read back through the window: %.3f s for %d frames\n", one, frames);
    std::printf("  the same number of bare round trips:            %.3f s (ratio %.2f)\n", bound,
                bound > 0 ? one / bound : 0.0);
    std::printf("  two configurations at once on two programmers:  %.3f s (ratio to one %.2f)\n", two,
                one > 0 ? two / one : 0.0);
    return 0;
}
