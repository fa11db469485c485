// 1000 programmer commands (set_vcc, set_vicc, generator and set_io in
// turn) run by the execution worker in its own thread against the fake
// programmer, beside the same requests sent straight through
// TSerialPort::transaction in the same run: the ratio is what the worker,
// the group and the executor cost on top of the link per command.

#include "bench_setup.h"
#include "core/consts.h"
#include "data/TDataPrj.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int COMMANDS = 1000;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    benchsetup::useShipped();
    QTemporaryDir dir;
    FakeProgrammer fake;
    if (!benchsetup::startAs(fake, QStringLiteral("Emu")))
        return 1;

    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, dir.filePath(QStringLiteral("bench.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    const auto add = [cfg](const char *code, const TData &values) {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QString::fromLatin1(code)}};
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        dataPrj.addCmd(data);
    };
    add(CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}, {SET_PROG_ALT_ENABLED, false}});
    for (int i = 0; i < COMMANDS / 4; ++i) {
        add(CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});
        add(CMD_SET_VICC, {{SUPPLY_VCC, 5.0}, {SUPPLY_ICC, 50.0}, {SUPPLY_OCP, true}});
        add(CMD_GENERATOR, {{GEN_FREQ, 100000 + i}, {GEN_DUTY, 50}});
        add(CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HLZI")}});
    }
    dataPrj.validateAll();

    Receiver rx;
    QElapsedTimer clock;
    clock.start();
    QPointer<QThread> thread = startExec(cfg, &rx);
    if (!TExec::waitForThread(thread, 600000) || rx.statuses.size() != 1 || !rx.statuses.first().second) {
        std::fprintf(stderr, "run failed: %s\n",
                     qPrintable(rx.ofKind(EXEC_FAILED).value(0).text));
        return 1;
    }
    const double runMs = clock.nsecsElapsed() / 1e6;

    // The same frames through the link alone.
    const QVector<FakeProgrammer::Request> sent = fake.requests();
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite))
        return 1;
    port.setMaxData(256);
    clock.restart();
    for (const FakeProgrammer::Request &r : sent) {
        QByteArray payload = r.payload;
        if (!port.transaction(r.code, payload))
            return 1;
    }
    const double linkMs = clock.nsecsElapsed() / 1e6;
    dataPrj.clear();

    std::printf("programmer commands: %d commands, %d requests; run %.1f ms (%.3f ms per command), "
                "link alone %.1f ms (%.3f ms per request), ratio %.2f\n",
                COMMANDS, int(sent.size()), runMs, runMs / COMMANDS, linkMs, linkMs / sent.size(),
                runMs / linkMs);
    return 0;
}
