// The check before a run, beside a plain walk of the same commands (each
// one's record, code and file), on strongly connected projects of 1,000,
// 3,000 and 10,000 commands: configurations of set_prog, set_device, a read
// of the chip into a file of their own, a write of the chip from it and a
// jump into the next configuration, the last one back into the first. The
// check's first call (everything built), a call where the run moves into
// another configuration, and one at a start seen before.
//
// Then a run moving through many configurations: the worker runs such a
// project (with a counter that ends it after one pass) against the fake
// programmer, and its moves are asked again of a checker as the worker asks
// them: the check's share of a move beside the move itself.

#include "bench_setup.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevTools.h"
#include "devices/param_schema.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/run_check.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

const QString EMU = QStringLiteral("Emu");

// configurations × {set_prog, set_device, file_read of f<i>.bin,
// file_write of it, jamp into the next configuration (the last: into the
// first)}, in dir; with a counter first that ends the run at its second
// visit. The ids of the configurations.
QVector<int> makeProject(const QString &dir, int configurations, bool counter)
{
    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, dir + QStringLiteral("/bench.prj")}, {PRJ_WORK_PATH, dir}});
    QVector<int> cfgs, firsts;
    const auto add = [](int cfg, const char *code, TData data) {
        if (TDevTools::hasCommand(QLatin1String(code)))
            return addToolCmd(cfg, code, data);
        data.insert(REC_ID_CFG, cfg);
        data.insert(REC_STATUS, 1);
        data.insert(REC_CMD, QLatin1String(code));
        return dataPrj.addCmd(data);
    };
    for (int i = 0; i < configurations; ++i) {
        const int cfg = dataPrj.addCfg(QStringLiteral("c%1").arg(i), QString());
        cfgs << cfg;
        if (i == 0 && counter)
            firsts << add(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 2}, {COUNTER_DELTA, 1}});
        const int prog = add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, EMU}});
        if (i > 0 || !counter)
            firsts << prog;
        add(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("W25Q16JV")},
                                  {SET_DEVICE_FILE, QStringLiteral("25xx/w25q16jv.dev")}, {SET_CLK_CLK, 1000000}});
        for (const char *code : {CMD_FILE_READ, CMD_FILE_WRITE})
            add(cfg, code, {{FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, 0},
                            {FILE_COUNT, 16}, {FILE_FILE, QStringLiteral("f%1.bin").arg(i)}});
    }
    for (int i = 0; i < configurations; ++i)
        add(cfgs.at(i), CMD_JAMP, {{JAMP_TO_CMD, firsts.at((i + 1) % configurations)}});
    dataPrj.validateAll();
    return cfgs;
}

// A plain walk of the project's commands: each one's record, code and file
// (the count of file commands).
int walk()
{
    int files = 0;
    for (TDataCmd *cmd : dataPrj.cmdList()) {
        const TData data = cmd->toHash();
        if (cmd->status() && cmd->cmd().startsWith(QLatin1String("file_")) && !schema::text(data, FILE_FILE).isEmpty())
            ++files;
    }
    return files;
}

// The least time of a few calls, in ms.
double best(const std::function<void()> &call, int times = 5)
{
    double least = 1e300;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer clock;
        clock.start();
        call();
        least = std::min(least, clock.nsecsElapsed() / 1e6);
    }
    return least;
}

bool refused(runcheck::Checker &check, int cfg)
{
    runcheck::Refusal refusal;
    if (!check.findRefusal(cfg, -1, refusal))
        return false;
    std::fprintf(stderr, "refused: %s\n", qPrintable(refusal.text));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    benchsetup::useShipped();
    QTemporaryDir dir;
    FakeProgrammer fake;
    if (!benchsetup::startAs(fake, EMU))
        return 1;
    fake.setChip(std::make_shared<Spi25Chip>(1 << 21, QByteArray::fromHex("EF4015")));

    std::printf("check before a run, strongly connected projects (5 commands and 1 file per configuration):\n");
    for (int commands : {1000, 3000, 10000}) {
        const QVector<int> cfgs = makeProject(dir.path(), commands / 5, false);
        const double walkMs = best([] { walk(); });
        bool ok = true;
        const double firstMs = best([&] {
            runcheck::Checker check;
            ok = !refused(check, cfgs.first()) && ok;
        });
        runcheck::Checker check;
        ok = !refused(check, cfgs.first()) && ok;
        int at = 1;
        const double moveMs = best([&] { ok = !refused(check, cfgs.at(at++)) && ok; });
        const double seenMs = best([&] { ok = !refused(check, cfgs.first()) && ok; });
        if (!ok)
            return 1;
        std::printf("%6d commands, %5d files: walk %7.2f ms; check: first %7.2f ms (%.1f x walk), "
                    "at a move %6.2f ms (%.1f x), at a start seen %6.2f ms (%.1f x)\n",
                    commands, int(cfgs.size()), walkMs, firstMs, firstMs / walkMs, moveMs, moveMs / walkMs, seenMs,
                    seenMs / walkMs);
    }

    // A run through the configurations of such a project, once around.
    const int configurations = 2000;
    const QVector<int> cfgs = makeProject(dir.path(), configurations, true);
    Receiver rx;
    QElapsedTimer clock;
    clock.start();
    QPointer<QThread> thread = startExec(cfgs.first(), &rx);
    if (!TExec::waitForThread(thread, 600000) || rx.statuses.size() != 1 || !rx.statuses.first().second) {
        std::fprintf(stderr, "run failed: %s\n", qPrintable(rx.ofKind(EXEC_FAILED).value(0).text));
        return 1;
    }
    const double runMs = clock.nsecsElapsed() / 1e6;
    // Its moves asked again as the worker asks them: the first call at the
    // start, then one in each configuration the run moves into.
    runcheck::Checker check;
    clock.restart();
    for (int i = 0; i <= configurations; ++i)
        if (refused(check, cfgs.at(i % configurations)))
            return 1;
    const double checksMs = clock.nsecsElapsed() / 1e6;
    const double walkMs = best([] { walk(); });
    std::printf("a run through %d configurations (%d commands): %.1f ms, %.3f ms a move; "
                "its checks %.1f ms, %.3f ms a move (%.1f%% of the run, %.2f x a walk of the project)\n",
                configurations, int(dataPrj.cmdList().size()), runMs, runMs / configurations, checksMs,
                checksMs / (configurations + 1), 100 * checksMs / runMs,
                checksMs / (configurations + 1) / walkMs);
    dataPrj.clear();
    return 0;
}
