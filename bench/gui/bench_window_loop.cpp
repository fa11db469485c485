// A production loop, as a user runs it from the main window: 256 bytes of a
// 24C512 written and read back, a counter and a jump back to the write, 300
// passes, shipped settings, the log shown. Beside it in the same run, the
// same configuration run by the worker alone into a receiver that only
// records the events. Rounds alternate between the two; the best round of
// each gives the time per pass, and their difference is what the window
// costs a pass. The GUI thread's processor time of a pass is given beside
// each: it is what the window itself spends, and it changes little with the
// load of the machine, where the time of a pass also holds the waits for a
// processor at each event the worker hands to the GUI thread.

#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "window_bench.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kPasses = 300;
constexpr int kBytes = 256;
constexpr int kRounds = 5;

// set_prog, set_device, then the loop: write, read back, count, jump to the
// write.
void configure(const QTemporaryDir &home)
{
    const int cfg = dataPrj.addCfg(QStringLiteral("Loop"), QString());
    const int write = windowbench::add24xxCopy(cfg, 0, kBytes, home.filePath(QStringLiteral("image.bin")),
                                               home.filePath(QStringLiteral("back.bin")));
    addToolCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, kPasses}});
    addToolCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, write}});
}

// The counter of the configuration, found by its code (ids are given anew
// when the window opens the project).
int counterOf(int cfg)
{
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg))
        if (cmd->cmd() == QLatin1String(CMD_COUNTER))
            return cmd->id();
    return -1;
}

void resetCounter(int counter)
{
    dataPrj.setCmdParam(counter, {{REC_ID_CMD, counter}, {COUNTER_VALUE, 0}});
}

// Seconds of one run by the worker alone. No window listens to the project
// meanwhile: what the run stores reaches nobody.
double runAlone(int cfg)
{
    Receiver rx;
    dataPrj.blockSignals(true);
    QElapsedTimer timer;
    timer.start();
    QPointer<QThread> thread = startExec(cfg, &rx);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    if (thread && thread->isRunning())
        loop.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    dataPrj.blockSignals(false);
    if (rx.statuses.size() != 1 || !rx.statuses.first().second)
        std::fprintf(stderr, "the run by the worker alone failed\n");
    return seconds;
}

// Seconds of processor time the calling thread has used.
double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Best
{
    double seconds = 1e9;
    double cpu = 1e9;

    // Runs once and keeps the shortest time and the least processor time.
    template<typename Run>
    void take(Run run)
    {
        const double cpu0 = threadCpu();
        seconds = std::min(seconds, run());
        cpu = std::min(cpu, threadCpu() - cpu0);
    }
    double msPerPass() const { return seconds * 1000.0 / kPasses; }
    double cpuMsPerPass() const { return cpu * 1000.0 / kPasses; }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMetaTypes();
    QTemporaryDir home;
    std::vector<std::unique_ptr<FakeProgrammer>> fakes;
    fakes.emplace_back(new FakeProgrammer);
    fakes[0]->setChip(std::make_shared<Chip24>(65536, 128, 2));
    if (!windowbench::setUp(home, fakes))
        return 1;

    QByteArray image(kBytes, '\0');
    for (int i = 0; i < kBytes; ++i)
        image[i] = char((i * 31 + 7) & 0xFF);
    QFile f(home.filePath(QStringLiteral("image.bin")));
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != kBytes)
        return 1;
    f.close();

    windowbench::newProject(home);
    configure(home);
    if (!windowbench::offerProject(home))
        return 1;

    TMainWindow w;
    w.resize(1200, 800);
    w.show();
    const int cfg = w.prjView()->cfgIdAt(0);
    const int counter = counterOf(cfg);
    if (counter < 0)
        return 1;

    Best alone, window;
    for (int round = 0; round < kRounds; ++round) {
        resetCounter(counter);
        QCoreApplication::processEvents();
        alone.take([cfg] { return runAlone(cfg); });
        resetCounter(counter);
        QCoreApplication::processEvents();
        window.take([&w] { return windowbench::runTabs(w, {0}); });
    }
    std::printf("production loop, %d passes of %d bytes written and read back, a counter and a jump "
                "(best of %d rounds)\n", kPasses, kBytes, kRounds);
    std::printf("  through the main window, log shown: %.2f ms a pass, GUI thread %.2f ms\n", window.msPerPass(),
                window.cpuMsPerPass());
    std::printf("  the worker alone:                   %.2f ms a pass, GUI thread %.2f ms\n", alone.msPerPass(),
                alone.cpuMsPerPass());
    std::printf("  the window's cost: %.2f ms a pass (window / worker alone %.2f), GUI thread %.2f ms\n",
                window.msPerPass() - alone.msPerPass(),
                alone.msPerPass() > 0 ? window.msPerPass() / alone.msPerPass() : 0.0,
                window.cpuMsPerPass() - alone.cpuMsPerPass());
    return 0;
}
