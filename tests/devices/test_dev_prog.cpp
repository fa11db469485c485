// The programmer command group as a command provider: the defaults of each
// command with and without a programmer in force, the checks at the edges
// of the description's limits and of the wire fields, the summaries, and
// which form each command gets (none without its command or programmer).

#include "devices/TDevProg.h"
#include "devices/TDevProgExec.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormProgAutoDetect.h"
#include "gui/forms/TFormProgGenerator.h"
#include "gui/forms/TFormProgReset.h"
#include "gui/forms/TFormProgSetDevice.h"
#include "gui/forms/TFormProgSupply.h"
#include "gui/forms/forms_fixture.h"
#include "misc/dev_misc.h"

#include <QtTest>

#include <memory>

using namespace formsfixture;

namespace {

const char LISTED_INI[] = "[Generator]\nFQ_MIN=1\nFQ_MAX=1500\nFQ_LIST=1\nFQLV_1000=1\nFQLV_2000=1\n"
                          "FQ_DEF=1000\nDT_SHOW=0\nDT_MIN=0\nDT_MAX=0\nDT_DEF=50\n"
                          "[Commands]\ngenerator=1\n";

} // namespace

class TestDevProg : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    TDevProg group{GROUP_PROG, TData()};
    int cfg = -1;
    int setProg = -1;

    // A record of the code whose programmer in force is "Emu" (or none).
    TData recordOf(const char *code, bool withProg, const TData &values = TData())
    {
        TData data{{REC_CMD, QString::fromLatin1(code)}, {REC_ID_CMD, withProg ? setProg : -1}};
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        return data;
    }

    // The command added after "set_prog", validated, as the project holds it.
    TData stored(const char *code, const TData &values)
    {
        const int id = add(cfg, QString::fromLatin1(code), values);
        dataPrj.validateAll();
        return record(id);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setUp(dir);
        writeFixture(dir.filePath(QStringLiteral("progs/listed.ini")), LISTED_INI);
        appData.progType.add(QStringLiteral("Listed"), QStringLiteral("listed.ini"));
        appData.progName.add(false, QStringLiteral("List"), QString(), QStringLiteral("Listed"));
    }

    void init()
    {
        newProject(dir);
        cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        setProg = add(cfg, QString::fromLatin1(CMD_SET_PROG), {{SET_PROG_PROG, QStringLiteral("Emu")}});
        dataPrj.validateAll();
    }

    void cleanup() { dataPrj.clear(); }

    void defaults_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("withProg");
        QTest::addColumn<TData>("expected");
        QTest::newRow("set_device") << CMD_SET_DEVICE << false << TData{{SET_DEVICE_DEVICE, QString()}};
        QTest::newRow("auto_detect") << CMD_AUTO_DETECT << false
                                     << TData{{AUTO_EXECUTE, 0}, {AUTO_STOP, 1}, {AUTO_NAME, QString()},
                                              {AUTO_ROUTE, QString()}};
        QTest::newRow("reset") << CMD_RESET << true << TData{{RESET_DURATION, -400}};
        QTest::newRow("reset, no programmer") << CMD_RESET << false << TData{{RESET_DURATION, 0}};
        QTest::newRow("generator") << CMD_GENERATOR << true << TData{{GEN_FREQ, 100000}, {GEN_DUTY, 50}};
        QTest::newRow("generator, no programmer") << CMD_GENERATOR << false
                                                  << TData{{GEN_FREQ, 0}, {GEN_DUTY, 0}};
        QTest::newRow("set_io") << CMD_SET_IO << false << TData{{SET_IO_STATE, QString()}};
        QTest::newRow("set_vcc") << CMD_SET_VCC << true << TData{{SUPPLY_VCC, 3.3}};
        QTest::newRow("set_vcc, no programmer") << CMD_SET_VCC << false << TData();
        QTest::newRow("set_vpp") << CMD_SET_VPP << true << TData{{SUPPLY_VPP, 12.0}};
        QTest::newRow("set_vicc") << CMD_SET_VICC << true
                                  << TData{{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 50.0}, {SUPPLY_OCP, true}};
        QTest::newRow("set_vipp") << CMD_SET_VIPP << true
                                  << TData{{SUPPLY_VPP, 12.0}, {SUPPLY_IPP, 2.5}, {SUPPLY_OCP, true}};
        QTest::newRow("set_vipp, no programmer") << CMD_SET_VIPP << false << TData();
        QTest::newRow("other code") << "set_prog" << true << TData();
    }
    void defaults()
    {
        QFETCH(QString, code);
        QFETCH(bool, withProg);
        QFETCH(TData, expected);
        TData data = recordOf(code.toLatin1().constData(), withProg);
        const TData before = data;
        group.initCmdParam(data);
        for (auto it = before.begin(); it != before.end(); ++it)
            data.remove(it.key());
        QCOMPARE(data, expected);
    }

    void checks_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<bool>("valid");
        const auto row = [](const char *name, const char *code, const TData &values, bool valid) {
            QTest::newRow(name) << QString::fromLatin1(code) << values << valid;
        };
        row("reset -400", CMD_RESET, {{RESET_DURATION, -400}}, true);
        row("reset 1000", CMD_RESET, {{RESET_DURATION, QStringLiteral("1000")}}, true);
        row("reset 0", CMD_RESET, {{RESET_DURATION, 0}}, false);
        row("reset 5", CMD_RESET, {{RESET_DURATION, 5}}, false);
        row("reset -5", CMD_RESET, {{RESET_DURATION, -5}}, false);
        row("reset 1001", CMD_RESET, {{RESET_DURATION, 1001}}, false);
        row("reset text", CMD_RESET, {{RESET_DURATION, QStringLiteral("ten")}}, false);
        row("vcc 5.54 (55 tenths)", CMD_SET_VCC, {{SUPPLY_VCC, 5.54}}, true);
        row("vcc 5.56 (56 tenths)", CMD_SET_VCC, {{SUPPLY_VCC, 5.56}}, false);
        row("vcc 1.75 rounds up to 1.8", CMD_SET_VCC, {{SUPPLY_VCC, QStringLiteral("1.75")}}, true);
        row("vcc 1.74", CMD_SET_VCC, {{SUPPLY_VCC, 1.74}}, false);
        row("vcc missing", CMD_SET_VCC, {}, false);   // 0 V: below the minimum
        row("vpp 0", CMD_SET_VPP, {{SUPPLY_VPP, 0.0}}, true);
        row("vpp 13.04", CMD_SET_VPP, {{SUPPLY_VPP, 13.04}}, true);
        row("vpp -0.01", CMD_SET_VPP, {{SUPPLY_VPP, -0.01}}, false);
        row("vicc", CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 200.04}}, true);
        row("vicc icc 200.05", CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 200.05}}, false);
        row("vicc icc 0.95", CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 0.95}}, true);
        row("vicc vcc 6", CMD_SET_VICC, {{SUPPLY_VCC, 6}, {SUPPLY_ICC, 50}}, false);
        row("vipp", CMD_SET_VIPP, {{SUPPLY_VPP, 12}, {SUPPLY_IPP, QStringLiteral("0.05")}}, true);
        row("vipp ipp 0.04", CMD_SET_VIPP, {{SUPPLY_VPP, 12}, {SUPPLY_IPP, 0.04}}, false);
        row("generator", CMD_GENERATOR, {{GEN_FREQ, 8000000}, {GEN_DUTY, 99}}, true);
        row("generator freq 0", CMD_GENERATOR, {{GEN_FREQ, 0}, {GEN_DUTY, 50}}, false);
        row("generator freq above", CMD_GENERATOR, {{GEN_FREQ, 8000001}, {GEN_DUTY, 50}}, false);
        row("generator duty 0", CMD_GENERATOR, {{GEN_FREQ, 1000}, {GEN_DUTY, 0}}, false);
        row("generator duty 100", CMD_GENERATOR, {{GEN_FREQ, 1000}, {GEN_DUTY, 100}}, false);
        row("set_io", CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HLZ-I")}}, true);
        row("set_io unknown letter", CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("HX")}}, false);
    }
    void checks()
    {
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(bool, valid);
        const TData data = stored(code.toLatin1().constData(), values);
        QCOMPARE(bool(group.checkCmdParam(data)), valid);
        // Without its programmer nothing is valid.
        QVERIFY(!group.checkCmdParam(recordOf(code.toLatin1().constData(), false, values)));
    }

    // Listed frequencies and a hidden duty: the list and the range both
    // bind the frequency; the duty is sent all the same, so its limits
    // (0..0 here) bind it while it is hidden.
    void listedGenerator()
    {
        add(cfg, QString::fromLatin1(CMD_SET_PROG), {{SET_PROG_PROG, QStringLiteral("List")}});
        const struct
        {
            int freq, duty;
            bool valid;
        } cases[] = {{1000, 0, true}, {2000, 0, false}, {1200, 0, false}, {1000, 50, false}, {1000, 1, false}};
        for (const auto &c : cases) {
            const TData data = stored(CMD_GENERATOR, {{GEN_FREQ, c.freq}, {GEN_DUTY, c.duty}});
            QVERIFY2(bool(group.checkCmdParam(data)) == c.valid, qPrintable(QStringLiteral("%1 Hz, %2 %").arg(c.freq).arg(c.duty)));
            QCOMPARE(group.cmdParamText(data, nullptr), freqText(c.freq));
        }
    }

    void summaries_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("withProg");
        QTest::addColumn<TData>("values");
        QTest::addColumn<QString>("text");
        QTest::newRow("set_device") << CMD_SET_DEVICE << false << TData{{SET_DEVICE_DEVICE, "AT24C02"}}
                                    << "AT24C02";
        QTest::newRow("auto_detect defaults") << CMD_AUTO_DETECT << false
                                              << TData{{AUTO_EXECUTE, 0}, {AUTO_STOP, 1}, {AUTO_NAME, ""}}
                                              << ": Jamp, Stop";
        QTest::newRow("auto_detect texts") << CMD_AUTO_DETECT << false
                                           << TData{{AUTO_EXECUTE, "1"}, {AUTO_STOP, "0"}, {AUTO_NAME, "25xx"}}
                                           << "25xx: Execute, Skip";
        QTest::newRow("reset") << CMD_RESET << false << TData{{RESET_DURATION, -400}} << "-400 ms";
        QTest::newRow("generator") << CMD_GENERATOR << true << TData{{GEN_FREQ, 100000}, {GEN_DUTY, 50}}
                                   << "100 KHz, 50 %";
        QTest::newRow("generator, no programmer") << CMD_GENERATOR << false
                                                  << TData{{GEN_FREQ, 100000}, {GEN_DUTY, 50}} << "";
        QTest::newRow("set_vcc 5") << CMD_SET_VCC << false << TData{{SUPPLY_VCC, 5}} << "5.0 V";
        QTest::newRow("set_vpp text") << CMD_SET_VPP << false << TData{{SUPPLY_VPP, "12.5"}} << "12.5 V";
        QTest::newRow("set_vicc ocp") << CMD_SET_VICC << false
                                      << TData{{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 20}, {SUPPLY_OCP, true}}
                                      << "3.3 V, 20.000 mA, OCP";
        QTest::newRow("set_vipp") << CMD_SET_VIPP << false
                                  << TData{{SUPPLY_VPP, "12.0"}, {SUPPLY_IPP, "2.500"}, {SUPPLY_OCP, "0"}}
                                  << "12.0 V, 2.500 mA";
        QTest::newRow("other code") << "jamp" << true << TData() << "";
    }
    void summaries()
    {
        QFETCH(QString, code);
        QFETCH(bool, withProg);
        QFETCH(TData, values);
        QFETCH(QString, text);
        QCOMPARE(group.cmdParamText(recordOf(code.toLatin1().constData(), withProg, values), nullptr), text);
    }

    // Which form a command gets; none where the command, or the programmer
    // whose limits it shows, is not found. A form's record is stored as it is.
    void forms()
    {
        const TData set_io = stored(CMD_SET_IO, {{SET_IO_STATE, QStringLiteral("H")}});
        const TData reset = stored(CMD_RESET, {{RESET_DURATION, -400}});
        const TData generator = stored(CMD_GENERATOR, {{GEN_FREQ, 100000}, {GEN_DUTY, 50}});
        const TData vcc = stored(CMD_SET_VCC, {{SUPPLY_VCC, 3.3}});
        const TData vpp = stored(CMD_SET_VPP, {{SUPPLY_VPP, 5}});
        const TData vicc = stored(CMD_SET_VICC, {{SUPPLY_VCC, 3.3}, {SUPPLY_ICC, 50}, {SUPPLY_OCP, 1}});
        const TData vipp = stored(CMD_SET_VIPP, {{SUPPLY_VPP, 12}, {SUPPLY_IPP, 2.5}, {SUPPLY_OCP, 0}});
        const TData autoDetect = stored(CMD_AUTO_DETECT, {{AUTO_NAME, QStringLiteral("Mem")}});
        const TData device = stored(CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, QString()}});
        const auto build = [this](const TData &data) { return std::unique_ptr<QWidget>(group.createCmdForm(data)); };
        QVERIFY(qobject_cast<TFormDevLeave *>(build(set_io).get()));
        QVERIFY(qobject_cast<TFormProgReset *>(build(reset).get()));
        QVERIFY(qobject_cast<TFormProgGenerator *>(build(generator).get()));
        QVERIFY(qobject_cast<TFormProgSetVCC *>(build(vcc).get()));
        QVERIFY(qobject_cast<TFormProgSetVPP *>(build(vpp).get()));
        QVERIFY(qobject_cast<TFormProgSetVICC *>(build(vicc).get()));
        QVERIFY(qobject_cast<TFormProgSetVIPP *>(build(vipp).get()));
        QVERIFY(qobject_cast<TFormProgAutoDetect *>(build(autoDetect).get()));
        QVERIFY(qobject_cast<TFormProgSetDevice *>(build(device).get()));

        for (const char *code : {CMD_SET_DEVICE, CMD_AUTO_DETECT, CMD_RESET, CMD_GENERATOR, CMD_SET_IO,
                                 CMD_SET_VCC, CMD_SET_VPP, CMD_SET_VICC, CMD_SET_VIPP}) {
            TData missing{{REC_CMD, QString::fromLatin1(code)}, {REC_ID_CMD, 4711}};
            QVERIFY2(!build(missing), code);
        }
        // A supply command without a programmer before it.
        const int bare = dataPrj.addCfg(QStringLiteral("bare"), QString());
        const int early = add(bare, QString::fromLatin1(CMD_SET_VICC), {{SUPPLY_VCC, 3.3}});
        dataPrj.validateAll();
        QVERIFY(!dataPrj.cmdById(early)->prog());
        QVERIFY(!build(record(early)));
        for (const char *code : {CMD_RESET, CMD_GENERATOR, CMD_SET_VCC, CMD_SET_VPP, CMD_SET_VIPP})
            QVERIFY2(!build(record(add(bare, QString::fromLatin1(code)))), code);
        QVERIFY(!build(recordOf("jamp", true)));

        const TData form{{REC_ID_CMD, 3}, {SUPPLY_VCC, QStringLiteral("5.0")}};
        QCOMPARE(group.cmdParamFromForm(form), form);
        TData normalized = form;
        QVERIFY(!group.normalizeCmdParam(normalized));
        std::unique_ptr<IDeviceExec> exec(group.createExec(vpp));
        QVERIFY(qobject_cast<TDevProgExec *>(exec.get()));
        QVERIFY(!group.createExec(recordOf("jamp", true)));
    }
};

QTEST_MAIN(TestDevProg)
#include "test_dev_prog.moc"
