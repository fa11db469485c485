// The command selector against a project whose programmer offers only some
// codes and a test device: the panes for each selection, buttons kept for
// unchanged lists, separators and colours, the status with Ctrl, the
// placement modes, the geometry kept on every way out, and refills while
// a run of another configuration talks to the emulated programmer.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "gui/dialogs/TDialogCmdSelector.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "misc/dev_misc.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/NumberedLanguage.h"
#include "support/Screenshot.h"
#include "support/TTestDevice.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QtTest>

namespace {

const QString fixtures = QStringLiteral(VELKOR_TEST_DATA_DIR "/validation");

int add(int cfg, const QString &code, TData params = TData())
{
    params.insert(QLatin1String(REC_ID_CFG), cfg);
    params.insert(QLatin1String(REC_CMD), code);
    params.insert(QLatin1String(REC_STATUS), 1);
    return dataPrj.addCmd(params);
}

QStringList captions(TCmdGroup *group)
{
    QStringList texts;
    for (QPushButton *b : group->buttons())
        texts << b->text();
    return texts;
}

QStringList names(const QStringList &codes)
{
    QStringList texts;
    for (const QString &code : codes)
        texts << cmdCode.name(code);
    return texts;
}

} // namespace

class TestCmdSelector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(NumberedLanguage::load());
        registerMetaTypes();
        TTestDevice::registerGroup();
        appData.pathDevices = fixtures + "/devices";
        appData.pathProgs = fixtures + "/progs";
        appData.progType.add("BoxType", "box.ini");
        appData.progName.add(false, "Box", QString(), "BoxType");
        appData.windowCmdSelectorButtonHeight = 23;
        appData.windowCmdSelectorButtonSeparatorHeight = 7;
        appData.selectorColorChar = QColor(10, 200, 10);
        appData.selectorColorData = QColor(0, 0, 0, 255);
        appData.selectorColorFile = QColor(200, 10, 10);
        appData.cmdAddState = true;
        appData.windowCmdSelector = 0;
        appData.windowCmdSelectorLeft = 40;
        appData.windowCmdSelectorTop = 50;
        appData.windowCmdSelectorWidth = 500;
        appData.windowCmdSelectorHeight = 400;
    }

    // One project, every selection of the Part in turn.
    void panes()
    {
        dataPrj.clear();
        const int cfg = dataPrj.addCfg("main", QString());
        const int first = add(cfg, "delay", {{"value", "1"}});
        add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, "Box"}});
        const int dev = add(cfg, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, "ChipA"}, {SET_DEVICE_FILE, "chipA.dev"}});
        const int read = add(cfg, "file_read");
        const int detect = add(cfg, CMD_AUTO_DETECT);
        dataPrj.validateAll();

        TDialogCmdSelector selector(-1, -1, &dataPrj, &cmdCode);
        QCOMPARE(selector.windowTitle(), NumberedLanguage::text(169));
        QVERIFY(selector.toolsGroup()->buttons().isEmpty());
        QVERIFY(selector.progGroup()->buttons().isEmpty());
        QVERIFY(selector.deviceGroup()->buttons().isEmpty());

        selector.slotSelectCmd(cfg, -1);
        QCOMPARE(captions(selector.toolsGroup()), names(dataPrj.toolsCmdList()));
        QVERIFY(selector.progGroup()->buttons().isEmpty());
        QVERIFY(selector.deviceGroup()->buttons().isEmpty());

        selector.slotSelectCmd(cfg, first);
        QVERIFY(selector.progGroup()->buttons().isEmpty());

        selector.slotSelectCmd(cfg, dev);
        QCOMPARE(selector.progGroup()->cmdList(),
                 QStringList({"set_device", "auto_detect", "set_io", "set_vcc"}));
        QCOMPARE(selector.deviceGroup()->cmdList(),
                 QStringList({"ident", "separator", "file_read", "erase"}));
        const QList<QPushButton *> tools = selector.toolsGroup()->buttons();
        const QList<QPushButton *> device = selector.deviceGroup()->buttons();
        saveScreenshot(&selector, "cmd_selector");

        // The same lists keep their buttons.
        selector.slotSelectCmd(cfg, read);
        QCOMPARE(selector.toolsGroup()->buttons(), tools);
        QCOMPARE(selector.deviceGroup()->buttons(), device);

        // Separator: a flat, disabled gap; colours by the kind word.
        QPushButton *gap = device.at(1);
        QVERIFY(gap->isFlat() && !gap->isEnabled() && gap->text().isEmpty());
        QCOMPARE(gap->height(), 7);
        QCOMPARE(device.at(0)->height(), 23);
        QCOMPARE(device.at(2)->palette().color(QPalette::Button), QColor(200, 10, 10));
        QCOMPARE(device.at(0)->palette(), QPushButton().palette());

        // An "auto_detect" command offers no device commands.
        selector.slotSelectCmd(cfg, detect);
        QVERIFY(selector.deviceGroup()->buttons().isEmpty());
        selector.slotSelectCmd(-1, -1);
        QVERIFY(selector.toolsGroup()->buttons().isEmpty());
    }

    void colours_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QColor>("color"); // invalid: the default palette
        QTest::newRow("file") << "flash_file_write" << QColor(200, 10, 10);
        QTest::newRow("file short") << "file_read" << QColor(200, 10, 10);
        QTest::newRow("char") << "eeprom_char_verify" << QColor(10, 200, 10);
        QTest::newRow("data black") << "data_read" << QColor();
        QTest::newRow("other case") << "flash_File_write" << QColor();
        QTest::newRow("other") << "fuse_read" << QColor();
    }
    void colours()
    {
        QFETCH(QString, code);
        QFETCH(QColor, color);
        TCmdGroup group(" X ", &cmdCode);
        group.setCmdList({code});
        QPushButton *button = group.buttons().constFirst();
        if (color.isValid())
            QCOMPARE(button->palette().color(QPalette::Button), color);
        else
            QCOMPARE(button->palette(), QPushButton().palette());
    }

    // Ctrl alone inverts the status of one press; Ctrl+Shift does not. A
    // press that refills its own pane does not crash.
    void adding()
    {
        TDialogCmdSelector selector(0, -1, &dataPrj, &cmdCode);
        QSignalSpy spy(&selector, &TDialogCmdSelector::signalAddCmd);
        connect(&selector, &TDialogCmdSelector::signalAddCmd, &selector,
                [&selector] { selector.slotSelectCmd(-1, -1); });
        const QStringList codes = dataPrj.toolsCmdList();
        const struct {
            Qt::KeyboardModifiers mods;
            bool state;
        } presses[] = {{Qt::NoModifier, true},
                       {Qt::ControlModifier, false},
                       {Qt::ControlModifier | Qt::ShiftModifier, true}};
        for (const auto &press : presses) {
            selector.slotSelectCmd(0, -1);
            QPushButton *button = selector.toolsGroup()->buttons().constFirst();
            QTest::mouseClick(button, Qt::LeftButton, press.mods);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(spy.count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(spy.at(i).at(0).toString(), codes.first());
            QCOMPARE(spy.at(i).at(1).toBool(), presses[i].state);
        }
        selector.findChild<QCheckBox *>()->setChecked(false);
        selector.slotSelectCmd(0, -1);
        QTest::mouseClick(selector.toolsGroup()->buttons().constFirst(), Qt::LeftButton);
        QCOMPARE(spy.last().at(1).toBool(), false);
    }

    void placement_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<bool>("centre");
        const QRect stored(40, 50, 500, 400);
        const QRect desk(0, 0, 1000, 800);
        QTest::newRow("0") << 0 << true << stored << false;
        QTest::newRow("1") << 1 << true << QRect(300 - 500 - 11, 100, 500, 300) << false;
        QTest::newRow("1 no window") << 1 << false << stored << false;
        QTest::newRow("2") << 2 << true << stored << true;
        QTest::newRow("3") << 3 << true << QRect(300 + 400 - 1 + 12, 100, 500, 300) << false;
        QTest::newRow("3 no window") << 3 << false << stored << false;
        QTest::newRow("4") << 4 << true << QRect(0, 30, 500, 800 - 1 - 29) << false;
        QTest::newRow("5") << 5 << true << QRect(1000 - 500, 30, 500, 800 - 1 - 29) << false;
        QTest::newRow("7") << 7 << true << stored << false;
        Q_UNUSED(desk)
    }
    void placement()
    {
        QFETCH(int, mode);
        QFETCH(bool, active);
        QFETCH(QRect, expected);
        QFETCH(bool, centre);
        bool centred = !centre;
        QCOMPARE(cmdSelectorPlacement(mode, QRect(40, 50, 500, 400),
                                      active ? QRect(300, 100, 400, 300) : QRect(),
                                      QRect(0, 0, 1000, 800), &centred),
                 expected);
        QCOMPARE(centred, centre);
    }

    // A real window: mode 1 next to a window at the left screen edge gives
    // a negative left, which becomes 0; geometry and splitter are stored on
    // every way out (Close, closed as the close box does, deleted by its
    // creator).
    void windowGeometry()
    {
        QWidget main;
        main.setGeometry(5, 60, 300, 200);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        appData.windowCmdSelector = 1;
        appData.windowCmdSelectorSplitter = {90, 100, 210};
        for (int way = 0; way < 3; ++way) {
            auto *selector = new TDialogCmdSelector(0, -1, &dataPrj, &cmdCode);
            selector->setAttribute(Qt::WA_DeleteOnClose);
            if (way == 0) {
                QCOMPARE(selector->geometry().left(), 0);
                QCOMPARE(selector->geometry().top(), main.geometry().top());
                QCOMPARE(selector->height(), main.geometry().height());
            }
            selector->showNormal();
            selector->setGeometry(33 + way, 44, 555, 366);
            auto *splitter = selector->findChild<QSplitter *>();
            splitter->setSizes({120 + way * 10, 150, 250});
            const QList<int> sizes = splitter->sizes();
            QPointer<TDialogCmdSelector> alive(selector);
            if (way == 0) {
                for (QPushButton *b : selector->findChildren<QPushButton *>())
                    if (b->text() == NumberedLanguage::text(81))
                        b->click();
            } else if (way == 1) {
                QVERIFY(selector->close());
            } else {
                delete selector;
            }
            QTRY_VERIFY(!alive);
            QCOMPARE(appData.windowCmdSelectorLeft, 33 + way);
            QCOMPARE(appData.windowCmdSelectorTop, 44);
            QCOMPARE(appData.windowCmdSelectorWidth, 555);
            QCOMPARE(appData.windowCmdSelectorHeight, 366);
            QCOMPARE(appData.windowCmdSelectorSplitter, sizes);
            appData.windowCmdSelector = 0;
        }
    }

    // A loop reading a 24C02 runs over the pseudo-terminal while the
    // selection keeps moving between commands of another configuration and
    // of the running one (the same device object): the panes follow every
    // selection, the run ends, every pass sends the same bytes, counts to
    // its limit and stores what the chip holds.
    void refillsWhileARunTalksToTheProgrammer()
    {
        FakeProgrammer fake;
        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        QByteArray contents(256, 0);
        for (int i = 0; i < contents.size(); ++i)
            contents[i] = char(i * 13 + 5);
        auto chip = std::make_shared<Chip24>(256, 8, 1, 7, 0);
        chip->memory = contents;
        fake.setChip(chip);
        const QString progs = appData.pathProgs, devices = appData.pathDevices;
        appData.pathProgs = VELKOR_SOURCE_DIR "/runtime/progs";
        appData.pathDevices = VELKOR_SOURCE_DIR "/runtime/devices";
        appData.progType.add("Emulated", "emulator.ini");
        appData.progName.add(false, "Emu", fake.portName(), "Emulated");

        dataPrj.clear();
        const TData chip02{{SET_DEVICE_DEVICE, "24C02"},
                           {SET_DEVICE_FILE, appData.pathDevices + "/24xx/24c02.dev"},
                           {SET_CLK_CLK, 400000},
                           {SET_ADDR_ADDR, 0}};
        const int other = dataPrj.addCfg("other", QString());
        const int idle = add(other, CMD_DELAY, {{DELAY_VALUE, 1}});
        add(other, CMD_SET_PROG, {{SET_PROG_PROG, "Emu"}});
        const int otherDev = add(other, CMD_SET_DEVICE, chip02);
        const int detect = add(other, CMD_AUTO_DETECT);
        constexpr int passes = 25;
        const int cfg = dataPrj.addCfg("run", QString());
        const int first = add(cfg, CMD_SET_PROG, {{SET_PROG_PROG, "Emu"}});
        const int setDev = add(cfg, CMD_SET_DEVICE, chip02);
        dataPrj.validateAll();
        TData read{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_DATA_READ}, {REC_ID_CMD, -1}};
        dataPrj.cmdById(setDev)->device()->initCmdParam(read);
        read.remove(REC_ID_CMD);
        read.insert(DATA_ADDR_DEVICE, 0);
        read.insert(DATA_DATA, bytesToHexString(QByteArray(8, 0)));
        const int readId = dataPrj.addCmd(read);
        const int counter = addToolCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, passes}});
        addToolCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, first}});
        dataPrj.validateAll();

        const QStringList tools = dataPrj.toolsCmdList();
        const QStringList prog = dataPrj.progCmdListAt(otherDev);
        const QStringList device = dataPrj.deviceCmdListAt(otherDev);
        QVERIFY(!prog.isEmpty() && !device.isEmpty());
        const struct {
            int cfg, cmd;
            QStringList tools, prog, device;
        } picks[] = {{other, idle, tools, {}, {}},        {other, otherDev, tools, prog, device},
                     {cfg, readId, tools, prog, device},  {other, detect, tools, prog, {}},
                     {-1, -1, {}, {}, {}},                {cfg, -1, tools, {}, {}}};

        TDialogCmdSelector selector(-1, -1, &dataPrj, &cmdCode);
        selector.show();
        Receiver rx;
        QPointer<QThread> thread = startExec(cfg, &rx);
        int refills = 0, wrong = 0, kept = 0;
        for (int i = 0; thread; ++i) {
            const auto &pick = picks[i % 6];
            const QList<QPushButton *> before = selector.deviceGroup()->buttons();
            selector.slotSelectCmd(pick.cfg, pick.cmd);
            wrong += selector.toolsGroup()->cmdList() != pick.tools
                     || selector.progGroup()->cmdList() != pick.prog
                     || selector.deviceGroup()->cmdList() != pick.device
                     || selector.deviceGroup()->buttons().size() != pick.device.size();
            kept += i % 6 == 2 && selector.deviceGroup()->buttons() == before;
            ++refills;
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QTRY_COMPARE(rx.destroyed, QVector<int>({cfg}));
        QCOMPARE(rx.statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QCOMPARE(wrong, 0);
        QVERIFY(refills > 6 * passes);
        QVERIFY(kept > 0);

        // The wire: one identical exchange per pass, each opened by the
        // programmer's identification.
        QVector<QVector<QByteArray>> rounds;
        for (const FakeProgrammer::Request &r : fake.requests()) {
            if (r.code == 0x80 || rounds.isEmpty())
                rounds.append(QVector<QByteArray>());
            rounds.last().append(r.frame);
        }
        QCOMPARE(rounds.size(), passes);
        for (const QVector<QByteArray> &round : rounds)
            QCOMPARE(round, rounds.first());
        QCOMPARE(dataPrj.cmdById(counter)->params().value(COUNTER_VALUE).toInt(), passes);
        QCOMPARE(dataPrj.cmdById(readId)->params().value(DATA_DATA).toString(),
                 bytesToHexString(contents.left(8)));

        dataPrj.clear();
        appData.pathProgs = progs;
        appData.pathDevices = devices;
    }
};

QTEST_MAIN(TestCmdSelector)
#include "test_cmd_selector.moc"
