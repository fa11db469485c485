// The command selector following the selection: a refill whose three lists
// did not change (the project's queries and the comparison, no widget work)
// beside a pane rebuilding 40 buttons, its old buttons deleted, in the same
// run.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/consts.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogCmdSelector.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

namespace {

int add(int cfg, const char *code, TData params)
{
    params.insert(QLatin1String(REC_ID_CFG), cfg);
    params.insert(QLatin1String(REC_CMD), QLatin1String(code));
    params.insert(QLatin1String(REC_STATUS), 1);
    return dataPrj.addCmd(params);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    appData.pathProgs = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs");
    appData.pathDevices = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
    appData.progType.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
    appData.progName.add(false, QStringLiteral("Emu"), QString(), QStringLiteral("Emulated"));

    // Two commands under the same programmer and device: moving between
    // them changes no list.
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
    add(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QStringLiteral("W25Q64JV")},
                              {SET_DEVICE_FILE, appData.pathDevices + QStringLiteral("/25xx/w25q64jv.dev")}});
    const int a = add(cfg, CMD_DELAY, {{DELAY_VALUE, 1}});
    const int b = add(cfg, CMD_DELAY, {{DELAY_VALUE, 2}});
    dataPrj.validateAll();

    TDialogCmdSelector selector(cfg, a, &dataPrj, &cmdCode);
    selector.show();
    const int shown = selector.toolsGroup()->buttons().size() + selector.progGroup()->buttons().size()
                      + selector.deviceGroup()->buttons().size();
    if (selector.deviceGroup()->buttons().isEmpty())
        return 1;

    constexpr int refills = 2000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < refills; ++i)
        selector.slotSelectCmd(cfg, i % 2 ? a : b);
    const double unchanged = double(t.nsecsElapsed()) / refills;
    // Of which the project's three queries.
    int codeCount = 0;
    t.restart();
    for (int i = 0; i < refills; ++i) {
        const int id = i % 2 ? a : b;
        codeCount += dataPrj.toolsCmdList().size() + dataPrj.progCmdListAt(id).size()
                     + dataPrj.deviceCmdListAt(id).size();
    }
    const double queries = double(t.nsecsElapsed()) / refills;
    if (codeCount != refills * shown)
        return 1;

    // 40 codes, and the same codes in another order: every change rebuilds.
    QStringList codes = dataPrj.toolsCmdList() + dataPrj.progCmdListAt(a) + dataPrj.deviceCmdListAt(a);
    while (codes.size() < 40)
        codes += codes;
    codes = codes.mid(0, 40);
    QStringList reversed = codes;
    std::reverse(reversed.begin(), reversed.end());
    TCmdGroup group(QStringLiteral(" Device "), &cmdCode);
    group.show();
    constexpr int rebuilds = 200;
    t.restart();
    for (int i = 0; i < rebuilds; ++i) {
        group.setCmdList(i % 2 ? codes : reversed);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const double rebuild = double(t.nsecsElapsed()) / rebuilds;
    if (group.buttons().size() != 40)
        return 1;

    std::printf("command selector: refill of unchanged lists (%d buttons kept) %.2f us, of which the "
                "project's queries %.2f us; 40-button rebuild %.1f us (rebuild / refill = %.0f)\n",
                shown, unchanged / 1e3, queries / 1e3, rebuild / 1e3, rebuild / unchanged);
    return 0;
}
