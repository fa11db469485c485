// The clock, block-erase, empty, generator, reset and supply forms, built
// as their owners build them from the emulated programmer's description
// and from descriptions with lists, a fixed duty or minimums of 0, hosted
// as the configuration page hosts them: what each edit stores, what the
// forms refuse, and that the stored command passes its check exactly when
// the form shows nothing refused.

#include "forms_fixture.h"
#include "devices/TDeviceList.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevEraseBlocks.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "gui/forms/TFormProgGenerator.h"
#include "gui/forms/TFormProgReset.h"
#include "gui/widgets/TWgtEditDec2Def.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtEditDoubleDef.h"
#include "gui/widgets/widget_messages.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"
#include "support/FakeDevice.h"
#include "support/edit_test_util.h"

#include <QPushButton>

#include <memory>

using namespace formsfixture;

namespace {

// A chip driver as far as its forms go: the clock form of its interface
// section, the block-erase form of its block sizes, the empty form for the
// rest; the clock checked as the drivers check it.
class FormsDevice : public FakeDevice
{
public:
    FormsDevice(const QString &name, const TData &params)
        : FakeDevice(name, params.value(QStringLiteral("cmds")).toStringList())
    {
        setParams(params);
    }

    static IDevice *create(const QString &name, const TData &params)
    {
        return new FormsDevice(name, params);
    }

    QWidget *createCmdForm(const TData &data) override
    {
        const QString code = data.value(REC_CMD).toString();
        if (code == QLatin1String(CMD_SET_CLK))
            return createClkCmdForm(prgPar(), data);
        if (code == QLatin1String(CMD_ERASE_BLOCKS)) {
            QList<int> sizes;
            for (const QString &s : params().value(DEV_ERASE_BLOCKS).toStringList())
                sizes << s.toInt();
            return new TFormDevEraseBlocks(data.value(REC_ID_CMD).toInt(), sizes,
                                           data.value(BLOCKS_SIZE).toInt(),
                                           data.value(BLOCKS_BEGIN).toInt(),
                                           data.value(BLOCKS_COUNT).toInt(),
                                           params().value(DEV_SIZE).toLongLong(), nullptr);
        }
        return new TFormDevEmpty(nullptr);
    }

    TCheck checkCmdParam(const TData &data) override
    {
        if (data.value(REC_CMD).toString() == QLatin1String(CMD_SET_CLK))
            return isClkCmdValid(data);
        return TCheck::valid();
    }
};

// The range tool-tip of a number edit.
QString tipOf(QWidget *edit)
{
    return lineOf(edit)->parentWidget()->toolTip();
}

QStringList boxItems(QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// A description with lists, a fixed duty where asked, and minimums of 0.
QByteArray otherProgrammer(bool dutyShown)
{
    return QByteArray("[Main]\nInterface=1\n[Protocol]\nMAX_DATA=64\n"
                      "[Vcc]\nMIN=0\nMAX=30\nDEF=5\n"
                      "[Reset]\nDEF=400\nMIN=0\nMAX=40000\n"
                      "[Generator]\nFQ_DEF=1000\nFQ_MIN=0\nFQ_MAX=1000000\nFQ_LIST=1\n"
                      "FQLV_0=0\nFQLV_1000=1\nFQLV_100000=2\nFQLV_2000000=3\n")
           + QByteArray(dutyShown ? "DT_SHOW=1\n" : "DT_SHOW=0\n")
           + "DT_DEF=50\nDT_MIN=25\nDT_MAX=75\nDT_LIST=1\nDTLV_10=0\nDTLV_25=1\nDTLV_50=2\nDTLV_75=3\n"
             "[I2C]\nCLK_DEF=100000\nCLK_MIN=0\nCLK_MAX=400000\nCLK_LIST=1\n"
             "CLKLV_0=9\nCLKLV_100000=0\nCLKLV_400000=1\nCLKLV_1000000=2\n"
             "[SPI]\nCLK_DEF=1000\nCLK_MIN=0\nCLK_MAX=1000000\nCLK_LIST=0\n";
}

} // namespace

class TestParamForms : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int cfg = 0;

    // A configuration choosing the programmer and the device; the ids of
    // the commands added after them.
    int configuration(const QString &prog, const QString &device)
    {
        const int c = dataPrj.addCfg(prog + device, QString());
        add(c, CMD_SET_PROG, {{SET_PROG_PROG, prog}});
        add(c, CMD_SET_DEVICE, {{SET_DEVICE_DEVICE, device}, {SET_DEVICE_FILE, device + ".dev"}});
        return c;
    }

    int command(int c, const QString &code, const TData &params)
    {
        const int id = add(c, code, params);
        dataPrj.validateAll();
        dataPrj.resetModified();
        return id;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setUp(dir);
        deviceList.addCreator(QStringLiteral("FormsDev"), &FormsDevice::create);
        const QString devices = appData.pathDevices;
        const QByteArray common = "gui_type=s|FormsDev\ncmds=l|set_clk\ncmds=l|erase_blocks\n"
                                  "cmds=l|erase\ncmds=l|generator\nsize=D|65536\n";
        writeFixture(devices + "/I2CChip.dev", common + "prg_par=s|I2C\nerase_blocks=l|4096\n"
                                                        "erase_blocks=l|32768\nerase_blocks=l|65536\n");
        writeFixture(devices + "/SPIChip.dev", common + "prg_par=s|SPI\n");
        writeFixture(appData.pathProgs + "/lists.ini", otherProgrammer(true));
        writeFixture(appData.pathProgs + "/fixed.ini", otherProgrammer(false));
        appData.progType.add(QStringLiteral("ListsType"), QStringLiteral("lists.ini"));
        appData.progType.add(QStringLiteral("FixedType"), QStringLiteral("fixed.ini"));
        appData.progName.add(false, QStringLiteral("Lists"), QString(), QStringLiteral("ListsType"));
        appData.progName.add(false, QStringLiteral("Fixed"), QString(), QStringLiteral("FixedType"));
    }

    void init()
    {
        newProject(dir);
        cfg = configuration("Emu", "I2CChip");
    }

    // The clock of the listed I2C section and the free SPI section through
    // the page's road: the owner builds the form, each pick stores the
    // frequency, the wire value follows the list.
    void clockThroughHost()
    {
        const int clk = command(cfg, CMD_SET_CLK, {{SET_CLK_CLK, 400000}, {"keep", "me"}});
        FormHost host;
        auto *form = qobject_cast<TFormDevSetCLK *>(host.select(clk));
        QVERIFY(form);
        auto *box = form->findChild<TComboBox *>();
        QVERIFY(box->isVisibleTo(form));
        QVERIFY(!form->findChild<TWgtEditDecDef *>()->isVisibleTo(form));
        QCOMPARE(boxItems(box), QStringList({"100 KHz", "400 KHz", "1 MHz"}));
        QCOMPARE(box->currentText(), QStringLiteral("400 KHz"));
        QCOMPARE(box->toolTip(), NumberedLanguage::text(367));
        QCOMPARE(getClkCmdParams(record(clk)), 1u);
        QVERIFY(!dataPrj.isModified());

        box->setCurrentIndex(2);
        QCOMPARE(host.emitted.size(), 1);
        QCOMPARE(keysOf(host.emitted.last()), QStringList({SET_CLK_CLK, REC_ID_CMD}));
        QCOMPARE(record(clk).value(SET_CLK_CLK).toInt(), 1000000);
        QCOMPARE(record(clk).value("keep").toString(), QStringLiteral("me"));
        QCOMPARE(getClkCmdParams(record(clk)), 2u);
        QVERIFY(dataPrj.cmdById(clk)->validParam());

        // A stored clock off the list: no current item, nothing until a pick.
        const int odd = command(cfg, CMD_SET_CLK, {{SET_CLK_CLK, 300000}});
        QPointer<QWidget> first = host.form();
        form = qobject_cast<TFormDevSetCLK *>(host.select(odd));
        QVERIFY(!first);   // the previous form is gone
        box = form->findChild<TComboBox *>();
        QCOMPARE(box->currentIndex(), -1);
        QVERIFY(showsWarning(box));
        QCOMPARE(host.emitted.size(), 1);
        QVERIFY(!dataPrj.cmdById(odd)->validParam());
        box->setCurrentIndex(0);
        QCOMPARE(record(odd).value(SET_CLK_CLK).toInt(), 100000);
        QVERIFY(dataPrj.cmdById(odd)->validParam());

        // The SPI section: a number edit; a form shown and deleted without
        // an edit changes nothing.
        const int spi = configuration("Emu", "SPIChip");
        const int free = command(spi, CMD_SET_CLK, {{SET_CLK_CLK, 1000000}});
        auto *spiForm = host.select(free);
        auto *edit = spiForm->findChild<TWgtEditDecDef *>();
        QVERIFY(edit->isVisibleTo(spiForm));
        QVERIFY(!spiForm->findChild<TComboBox *>()->isVisibleTo(spiForm));
        QCOMPARE(tipOf(edit), QStringLiteral("100000..20000000 Hz"));
        host.clear();
        QVERIFY(!dataPrj.isModified());
        spiForm = host.select(free);
        enter(spiForm->findChild<TWgtEditDecDef *>(), "2500000");
        QCOMPARE(record(free).value(SET_CLK_CLK).toInt(), 2500000);
        QCOMPARE(getClkCmdParams(record(free)), 2500000u);

        // A form the host let go of reaches the project no more.
        std::unique_ptr<TFormDevSetCLK> kept(createClkCmdForm(QStringLiteral("SPI"), record(free)));
        QVERIFY(host.host(kept.get()));
        host.clear();
        const int count = host.emitted.size();
        enter(kept->findChild<TWgtEditDecDef *>(), "3000000");
        QCOMPARE(host.emitted.size(), count);
        QCOMPARE(record(free).value(SET_CLK_CLK).toInt(), 2500000);

        // Without a programmer in force the owner builds no form.
        const int bare = dataPrj.addCfg(QStringLiteral("bare"), QString());
        const int lone = add(bare, CMD_SET_CLK, {{SET_CLK_CLK, 1}});
        QVERIFY(!createClkCmdForm(QStringLiteral("SPI"), record(lone)));
    }

    // What the user can enter or pick is what the check accepts; an entry
    // outside the limits is not taken ("refused": nothing emitted, the
    // stored clock stays and the edit is marked until it is left).
    void clockLimits_data()
    {
        QTest::addColumn<QString>("prog");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("typed");   // into the edit, or "#<index>" of the list
        QTest::addColumn<bool>("refused");
        QTest::newRow("emu spi typed 0") << "Emu" << "SPIChip" << 1000000 << "0" << true;
        QTest::newRow("emu spi below") << "Emu" << "SPIChip" << 1000000 << "50000" << true;
        QTest::newRow("emu spi above") << "Emu" << "SPIChip" << 1000000 << "30000000" << true;
        QTest::newRow("emu spi top") << "Emu" << "SPIChip" << 1000000 << "20000000" << false;
        QTest::newRow("emu spi stored out of range") << "Emu" << "SPIChip" << 50 << "" << false;
        QTest::newRow("emu i2c second") << "Emu" << "I2CChip" << 100000 << "#1" << false;
        QTest::newRow("emu i2c stored unlisted") << "Emu" << "I2CChip" << 200000 << "" << false;
        QTest::newRow("min 0 spi typed 0") << "Lists" << "SPIChip" << 1000 << "0" << true;
        QTest::newRow("min 0 spi typed 1") << "Lists" << "SPIChip" << 1000 << "1" << false;
        QTest::newRow("min 0 spi stored 0") << "Lists" << "SPIChip" << 0 << "" << false;
        QTest::newRow("min 0 list first") << "Lists" << "I2CChip" << 400000 << "#0" << false;
        QTest::newRow("min 0 list last") << "Lists" << "I2CChip" << 100000 << "#1" << false;
        QTest::newRow("min 0 list stored 0") << "Lists" << "I2CChip" << 0 << "" << false;
        QTest::newRow("min 0 list stored above max") << "Lists" << "I2CChip" << 1000000 << "" << false;
    }

    void clockLimits()
    {
        QFETCH(QString, prog);
        QFETCH(QString, device);
        QFETCH(int, stored);
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        const int id = command(configuration(prog, device), CMD_SET_CLK, {{SET_CLK_CLK, stored}});
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(form);
        if (prog == QLatin1String("Lists") && device == QLatin1String("I2CChip"))
            QCOMPARE(boxItems(form->findChild<TComboBox *>()), QStringList({"100 KHz", "400 KHz"}));
        if (typed.startsWith('#'))
            form->findChild<TComboBox *>()->setCurrentIndex(typed.mid(1).toInt());
        else if (!typed.isEmpty())
            enter(form->findChild<TWgtEditDecDef *>(), typed);
        QCOMPARE(host.emitted.isEmpty(), typed.isEmpty() || refused);
        if (refused) {
            QCOMPARE(record(id).value(SET_CLK_CLK).toInt(), stored);
            QVERIFY(anyWarning(form));
            leave(form->findChild<TWgtEditDecDef *>());
        }
        QCOMPARE(bool(isClkCmdValid(record(id))), !anyWarning(form));
        QVERIFY(record(id).value(SET_CLK_CLK).toInt() != 0 || typed.isEmpty());
    }

    // The worked example, the 64 KiB choice, and the cases without a
    // current block size or with a start past the last block.
    void blockErase()
    {
        const int id = command(cfg, CMD_ERASE_BLOCKS,
                               {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 10}, {BLOCKS_COUNT, 10}, {"keep", 1}});
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(qobject_cast<TFormDevEraseBlocks *>(form));
        const auto edits = form->findChildren<TWgtEditDecDef *>();
        TWgtEditDecDef *begin = edits.at(0), *count = edits.at(1);
        auto *box = form->findChild<TComboBox *>();
        QCOMPARE(boxItems(box), QStringList({"4 Kbyte", "32 Kbyte", "64 Kbyte"}));
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(count->value(), 6);
        QCOMPARE(tipOf(begin), QStringLiteral("0..15"));
        QCOMPARE(tipOf(count), QStringLiteral("1..6"));
        QCOMPARE(count->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 6"));
        QCOMPARE(begin->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 0"));
        QVERIFY(host.emitted.isEmpty());
        QVERIFY(!dataPrj.isModified());

        enter(count, "3");
        QCOMPARE(keysOf(host.emitted.last()),
                 QStringList({BLOCKS_BEGIN, BLOCKS_COUNT, REC_ID_CMD, BLOCKS_SIZE}));
        QCOMPARE(record(id).value(BLOCKS_COUNT).toInt(), 3);
        QCOMPARE(record(id).value(BLOCKS_BEGIN).toInt(), 10);
        QCOMPARE(record(id).value(BLOCKS_SIZE).toInt(), 4096);
        QCOMPARE(record(id).value("keep").toInt(), 1);

        // 64 KiB with the start at 10: one block, the start past it shown
        // as refused, the count kept at 1.
        box->setCurrentIndex(2);
        QCOMPARE(record(id).value(BLOCKS_SIZE).toInt(), 65536);
        QCOMPARE(record(id).value(BLOCKS_COUNT).toInt(), 1);
        QVERIFY(showsWarning(begin));
        // The count was cut from 3: it says so until a count is entered.
        QVERIFY(showsWarning(count));
        QCOMPARE(lineOf(count)->toolTip(), NumberedLanguage::text(MSG_VALUE_CHANGED_TO_FIT));
        QCOMPARE(tipOf(begin), QStringLiteral("0..0"));
        enter(begin, "0");
        QCOMPARE(record(id).value(BLOCKS_BEGIN).toInt(), 0);
        QVERIFY(!showsWarning(begin));
        enter(count, "1");
        QVERIFY(!showsWarning(count));
        QCOMPARE(tipOf(count), QStringLiteral("1..1"));
        QCOMPARE(count->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 1"));

        // Start 0: the count's default is the number of blocks.
        box->setCurrentIndex(1);
        QCOMPARE(count->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 2"));
        QTest::mouseClick(count->findChild<QPushButton *>(), Qt::LeftButton);
        QCOMPARE(record(id).value(BLOCKS_COUNT).toInt(), 2);
        for (const TData &r : host.emitted)
            QVERIFY(r.value(BLOCKS_COUNT).toInt() >= 1);

        // A size the chip does not erase: nothing is limited nor emitted
        // until the user picks one.
        const int odd = command(cfg, CMD_ERASE_BLOCKS,
                                {{BLOCKS_SIZE, 8192}, {BLOCKS_BEGIN, 0}, {BLOCKS_COUNT, 0}});
        form = host.select(odd);
        const int before = host.emitted.size();
        box = form->findChild<TComboBox *>();
        QCOMPARE(box->currentIndex(), -1);
        QVERIFY(showsWarning(box));
        begin = form->findChildren<TWgtEditDecDef *>().at(0);
        QVERIFY(tipOf(begin).isEmpty());
        enter(begin, "4");
        QCOMPARE(host.emitted.size(), before);
        box->setCurrentIndex(0);
        QCOMPARE(host.emitted.size(), before + 1);
        QCOMPARE(record(odd).value(BLOCKS_BEGIN).toInt(), 4);
        QCOMPARE(record(odd).value(BLOCKS_COUNT).toInt(), 1);   // a stored 0 never goes out

        // A chip without block sizes.
        const int none = command(configuration("Emu", "SPIChip"), CMD_ERASE_BLOCKS,
                                 {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 0}, {BLOCKS_COUNT, 1}});
        form = host.select(none);
        enter(form->findChildren<TWgtEditDecDef *>().at(1), "5");
        QCOMPARE(host.emitted.size(), before + 1);
        QCOMPARE(record(none).value(BLOCKS_COUNT).toInt(), 1);
    }

    void emptyForm()
    {
        const int id = command(cfg, CMD_ERASE, {});
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(qobject_cast<TFormDevEmpty *>(form));
        QVERIFY(form->children().isEmpty());
        host.clear();
        QVERIFY(!dataPrj.isModified());
    }

    // The generator from free limits, from lists (values beyond the limits
    // not offered) and with a fixed duty.
    void generator()
    {
        // Free: the emulated programmer.
        int id = command(cfg, CMD_GENERATOR, {{GEN_FREQ, 2000}, {GEN_DUTY, 30}, {"keep", "me"}});
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(qobject_cast<TFormProgGenerator *>(form));
        auto edits = form->findChildren<TWgtEditDecDef *>();
        QCOMPARE(edits.size(), 2);
        QCOMPARE(tipOf(edits.at(0)), QStringLiteral("1..8000000 Hz"));
        QCOMPARE(edits.at(0)->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 100 KHz"));
        QCOMPARE(tipOf(edits.at(1)), QStringLiteral("1..99 %"));
        QCOMPARE(edits.at(1)->findChild<QPushButton *>()->toolTip(), QStringLiteral("Default: 50 %"));
        enter(edits.at(1), "120");   // past the duty's limit: not taken
        QVERIFY(host.emitted.isEmpty());
        QCOMPARE(record(id).value(GEN_DUTY).toInt(), 30);
        enter(edits.at(1), "99");
        QCOMPARE(keysOf(host.emitted.last()), QStringList({GEN_DUTY, GEN_FREQ, REC_ID_CMD}));
        QCOMPARE(record(id).value(GEN_DUTY).toInt(), 99);
        QCOMPARE(record(id).value(GEN_FREQ).toInt(), 2000);
        QCOMPARE(record(id).value("keep").toString(), QStringLiteral("me"));

        // Lists: the stored frequency is not listed; a duty pick keeps it.
        const int lists = configuration("Lists", "I2CChip");
        id = command(lists, CMD_GENERATOR, {{GEN_FREQ, 5000}, {GEN_DUTY, 50}});
        form = host.select(id);
        const auto boxes = form->findChildren<TComboBox *>();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxItems(boxes.at(0)), QStringList({"0 Hz", "1 KHz", "100 KHz"}));
        QCOMPARE(boxItems(boxes.at(1)), QStringList({"25", "50", "75"}));
        QCOMPARE(boxes.at(0)->currentIndex(), -1);
        QCOMPARE(boxes.at(1)->currentText(), QStringLiteral("50"));
        QCOMPARE(boxes.at(0)->toolTip(), NumberedLanguage::text(362));
        QCOMPARE(boxes.at(1)->toolTip(), NumberedLanguage::text(363));
        boxes.at(1)->setCurrentIndex(2);
        QCOMPARE(record(id).value(GEN_FREQ).toInt(), 5000);
        QCOMPARE(record(id).value(GEN_DUTY).toInt(), 75);
        boxes.at(0)->setCurrentIndex(2);
        QCOMPARE(record(id).value(GEN_FREQ).toInt(), 100000);

        // A fixed duty: no duty row, and 50 whatever the command held.
        const int fixed = configuration("Fixed", "I2CChip");
        id = command(fixed, CMD_GENERATOR, {{GEN_FREQ, 1000}, {GEN_DUTY, 30}});
        form = host.select(id);
        QCOMPARE(form->findChildren<TComboBox *>().size(), 1);
        form->findChild<TComboBox *>()->setCurrentIndex(0);
        QCOMPARE(record(id).value(GEN_FREQ).toInt(), 0);
        QCOMPARE(record(id).value(GEN_DUTY).toInt(), 50);
    }

    // The reset pulse keeps within a signed 16-bit magnitude and is never
    // 0; the voltage within one byte of tenths, stored as text. An entry
    // outside (no result) is not taken: the stored value stays.
    void resetAndSupply_data()
    {
        QTest::addColumn<QString>("prog");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("result");
        QTest::addColumn<QString>("tip");
        QTest::newRow("reset -20 stays") << "Emu" << CMD_RESET << QVariant(-400) << "-20" << QVariant(-20)
                                         << "-10..-1000, 10..1000 ms";
        QTest::newRow("reset 500 stays") << "Emu" << CMD_RESET << QVariant(-400) << "500" << QVariant(500) << "";
        QTest::newRow("reset 5000 refused") << "Emu" << CMD_RESET << QVariant(-400) << "5000" << QVariant() << "";
        QTest::newRow("reset 5 refused") << "Emu" << CMD_RESET << QVariant(-400) << "5" << QVariant() << "";
        QTest::newRow("reset past 16 bits refused") << "Lists" << CMD_RESET << QVariant(400) << "40000" << QVariant()
                                      << "-1..-32767, 1..32767 ms";
        QTest::newRow("reset past 16 bits negative refused") << "Lists" << CMD_RESET << QVariant(400) << "-40000"
                                               << QVariant() << "";
        QTest::newRow("reset 0 refused") << "Lists" << CMD_RESET << QVariant(400) << "0" << QVariant() << "";
        QTest::newRow("vcc 3.3") << "Emu" << CMD_SET_VCC << QVariant("5.0") << "3.3" << QVariant("3.3")
                                 << "1.8..5.5 V";
        QTest::newRow("vcc 5") << "Emu" << CMD_SET_VCC << QVariant("3.3") << "5" << QVariant("5.0") << "";
        QTest::newRow("vcc above max refused") << "Emu" << CMD_SET_VCC << QVariant("3.3") << "7" << QVariant() << "";
        QTest::newRow("vcc past one byte of tenths refused") << "Lists" << CMD_SET_VCC << QVariant("5.0") << "30"
                                                << QVariant() << "0..25.5 V";
    }

    void resetAndSupply()
    {
        QFETCH(QString, prog);
        QFETCH(QString, code);
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(QVariant, result);
        QFETCH(QString, tip);
        const bool reset = code == QLatin1String(CMD_RESET);
        const char *key = reset ? RESET_DURATION : SUPPLY_VCC;
        const int id = command(configuration(prog, "I2CChip"), code, {{key, stored}, {"keep", 2}});
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(form);
        QWidget *edit = reset ? static_cast<QWidget *>(form->findChild<TWgtEditDec2Def *>())
                              : static_cast<QWidget *>(form->findChild<TWgtEditDoubleDef *>());
        QVERIFY(edit);
        if (!tip.isEmpty())
            QCOMPARE(tipOf(edit), tip);
        enter(edit, typed);
        if (!result.isValid()) {
            QVERIFY(host.emitted.isEmpty());
            QCOMPARE(record(id).value(key), stored);
            QVERIFY(anyWarning(form));
            leave(edit);
            QVERIFY(!anyWarning(form));
            return;
        }
        QCOMPARE(host.emitted.size(), 1);
        QStringList keys{REC_ID_CMD, key};
        keys.sort();
        QCOMPARE(keysOf(host.emitted.last()), keys);
        QCOMPARE(record(id).value(key), result);
        QCOMPARE(record(id).value("keep").toInt(), 2);
        QVERIFY(!anyWarning(form));
        QVERIFY(dataPrj.cmdById(id)->validParam());
    }

    // What the programmer's forms let through is what the programmer
    // commands' check accepts: the stored command is valid exactly when the
    // form shows nothing refused. An entry outside its field is not taken
    // and shows refused until the field is left.
    void programmerLimits_data()
    {
        QTest::addColumn<QString>("prog");
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("stored");
        QTest::addColumn<QString>("typed");   // into the first edit, "#<box>:<index>", or nothing
        QTest::addColumn<bool>("refused");
        const auto gen = [](int f, int d) { return TData{{GEN_FREQ, f}, {GEN_DUTY, d}}; };
        QTest::newRow("gen free stored") << "Emu" << CMD_GENERATOR << gen(1000, 50) << "" << false;
        QTest::newRow("gen free freq 0") << "Emu" << CMD_GENERATOR << gen(0, 50) << "" << false;
        QTest::newRow("gen free duty 0") << "Emu" << CMD_GENERATOR << gen(1000, 0) << "" << false;
        QTest::newRow("gen free typed above") << "Emu" << CMD_GENERATOR << gen(0, 50) << "9000000" << true;
        QTest::newRow("gen free typed 0") << "Emu" << CMD_GENERATOR << gen(1000, 50) << "0" << true;
        QTest::newRow("gen list unlisted") << "Lists" << CMD_GENERATOR << gen(5000, 50) << "" << false;
        QTest::newRow("gen list beyond max") << "Lists" << CMD_GENERATOR << gen(2000000, 50) << "" << false;
        QTest::newRow("gen list duty below") << "Lists" << CMD_GENERATOR << gen(1000, 10) << "" << false;
        QTest::newRow("gen list pick 0 Hz") << "Lists" << CMD_GENERATOR << gen(5000, 50) << "#0:0" << false;
        QTest::newRow("gen list pick duty") << "Lists" << CMD_GENERATOR << gen(1000, 10) << "#1:2" << false;
        QTest::newRow("gen fixed duty") << "Fixed" << CMD_GENERATOR << gen(1000, 30) << "#0:2" << false;
        const auto reset = [](int d) { return TData{{RESET_DURATION, d}}; };
        QTest::newRow("reset stored") << "Emu" << CMD_RESET << reset(-400) << "" << false;
        QTest::newRow("reset stored 5") << "Emu" << CMD_RESET << reset(5) << "" << false;
        QTest::newRow("reset stored 0") << "Emu" << CMD_RESET << reset(0) << "" << false;
        QTest::newRow("reset typed 5") << "Emu" << CMD_RESET << reset(0) << "5" << true;
        QTest::newRow("reset min 0 typed 0") << "Lists" << CMD_RESET << reset(400) << "0" << true;
        QTest::newRow("reset stored past 16 bits") << "Lists" << CMD_RESET << reset(40000) << "" << false;
        QTest::newRow("reset typed past 16 bits") << "Lists" << CMD_RESET << reset(400) << "40000" << true;
        const auto vcc = [](const char *v) { return TData{{SUPPLY_VCC, v}}; };
        QTest::newRow("vcc stored") << "Emu" << CMD_SET_VCC << vcc("3.3") << "" << false;
        QTest::newRow("vcc stored above") << "Emu" << CMD_SET_VCC << vcc("7.0") << "" << false;
        QTest::newRow("vcc typed above") << "Emu" << CMD_SET_VCC << vcc("7.0") << "8" << true;
        QTest::newRow("vcc typed below") << "Emu" << CMD_SET_VCC << vcc("3.3") << "1" << true;
        QTest::newRow("vcc stored past a byte") << "Lists" << CMD_SET_VCC << vcc("30.0") << "" << false;
        QTest::newRow("vcc typed past a byte") << "Lists" << CMD_SET_VCC << vcc("5.0") << "26" << true;
        QTest::newRow("vcc min 0 typed 0") << "Lists" << CMD_SET_VCC << vcc("5.0") << "0" << false;
    }

    void programmerLimits()
    {
        QFETCH(QString, prog);
        QFETCH(QString, code);
        QFETCH(TData, stored);
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        const int id = command(configuration(prog, "I2CChip"), code, stored);
        FormHost host;
        QWidget *form = host.select(id);
        QVERIFY(form);
        if (typed.startsWith('#')) {
            const QStringList at = typed.mid(1).split(':');
            form->findChildren<TComboBox *>().at(at.at(0).toInt())->setCurrentIndex(at.at(1).toInt());
        } else if (!typed.isEmpty()) {
            QWidget *edit = form->findChild<TWgtEditDecDef *>();
            if (!edit)
                edit = form->findChild<TWgtEditDec2Def *>();
            if (!edit)
                edit = form->findChild<TWgtEditDoubleDef *>();
            enter(edit, typed);
            if (refused) {
                QVERIFY(anyWarning(form));
                leave(edit);
            }
        }
        QCOMPARE(host.emitted.isEmpty(), typed.isEmpty() || refused);
        QCOMPARE(dataPrj.cmdById(id)->validParam(), !anyWarning(form));
    }

    void defaultButtons()
    {
        const int resetId = command(cfg, CMD_RESET, {{RESET_DURATION, 100}});
        const int vccId = command(cfg, CMD_SET_VCC, {{SUPPLY_VCC, "5.0"}});
        FormHost host;
        QWidget *form = host.select(resetId);
        auto *button = form->findChild<QPushButton *>();
        QCOMPARE(button->toolTip(), QStringLiteral("Default: -400 ms"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(record(resetId).value(RESET_DURATION).toInt(), -400);
        form = host.select(vccId);
        button = form->findChild<QPushButton *>();
        QCOMPARE(button->toolTip(), QStringLiteral("Default: 3.3 V"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(record(vccId).value(SUPPLY_VCC).toString(), QStringLiteral("3.3"));
    }
};

QTEST_MAIN(TestParamForms)
#include "test_param_forms.moc"
