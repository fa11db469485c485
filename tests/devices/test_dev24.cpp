// The 24xx I2C EEPROM family against an emulated chip behind the fake
// programmer: request payloads byte for byte, write sizes at page and block
// limits, whole runs of the worker over the pseudo-terminal, refusals that
// send nothing, the shipped descriptions, and the 93Cxx class.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDev24.h"
#include "devices/TDev24Exec.h"
#include "devices/TDev93C.h"
#include "devices/TDeviceList.h"
#include "devices/dev_lists.h"
#include "formats/TFormat.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "link/TProg.h"
#include "link/TSerialPort.h"
#include "devices/exec_messages.h"
#include "misc/dev_misc.h"
#include "support/Chip24.h"
#include "support/ChunkCheck.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/FormHost.h"

#include <QCheckBox>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString EMU = QStringLiteral("Emu");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A description of a 24xx chip as its file would hold it.
QByteArray description(int size, int page, int addrSize, int mask, int algWrite = 0)
{
    return QStringLiteral("gui_type=s|Dev24\nprg_type=s|I2C_24XX\nprg_subtype=u|3\nprg_par=s|I2C\n"
                          "addr_begin=D|0\nsize=D|%1\npage_size=u|%2\naddr_size=u|%3\naddr_mask=u|%4\n"
                          "alg_read=u|0\nalg_write=u|%5\ndelay=u|10\n")
        .arg(size).arg(page).arg(addrSize).arg(mask).arg(algWrite).toLatin1();
}

} // namespace

class TestDev24 : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<FakeProgrammer> fake;
    std::shared_ptr<Chip24> chip;
    std::unique_ptr<Receiver> rx;

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A programmer type whose MAX_DATA is maxData.
    void useProgrammer(int maxData, bool listedClocks = true)
    {
        QFile in(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray ini = in.readAll();
        ini.replace("MAX_DATA=256", "MAX_DATA=" + QByteArray::number(maxData));
        if (!listedClocks)   // the first list is the [I2C] one
            ini.replace(ini.indexOf("CLK_LIST=1"), 10, "CLK_LIST=0");
        const QString file = QStringLiteral("emu%1.ini").arg(maxData);
        writeFile(file, ini);
        TProgType types;
        types.add(QStringLiteral("Emu%1").arg(maxData), file);
        appData.progType.replace(types);
        TProgName names;
        names.add(true, EMU, fake->portName(), QStringLiteral("Emu%1").arg(maxData));
        appData.progName.replace(names);
    }

    // A configuration: set_prog, set_device of the described chip at the
    // address, then the given 24xx commands (code and parameters on top of
    // the family's defaults). Returns the command ids after set_device.
    QVector<int> configure(int cfg, const QByteArray &dev, int addr,
                           const QVector<QPair<const char *, TData>> &cmds)
    {
        writeFile(QStringLiteral("chip.dev"), dev);
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}, {SET_PROG_PROG, EMU}});
        const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                              {SET_DEVICE_DEVICE, QStringLiteral("chip")},
                                              {SET_DEVICE_FILE, path(QStringLiteral("chip.dev"))},
                                              {SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, addr}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        QVector<int> ids;
        for (const auto &c : cmds) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(c.first)}};
            if (device) {
                data.insert(REC_ID_CMD, -1);
                device->initCmdParam(data);
                data.remove(REC_ID_CMD);
            }
            for (auto it = c.second.begin(); it != c.second.end(); ++it)
                data.insert(it.key(), it.value());
            ids << dataPrj.addCmd(data);
        }
        dataPrj.validateAll();
        return ids;
    }

    void run(int cfg, bool ok)
    {
        rx.reset(new Receiver);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 60000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, ok}}));
    }
    QString failure() const { return rx->lastFailure(); }

    // Requests of the chip (codes 1 to 5), payload with the code in front.
    QVector<QByteArray> chipWire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code <= 5)
                frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }

    void newChip(int size, int page, int addrSize, quint8 pins, quint8 straps)
    {
        chip = std::make_shared<Chip24>(size, page, addrSize, pins, straps);
        fake->setChip(chip);
    }
    QByteArray chipMemory() const
    {
        QByteArray m;
        fake->locked([&] { m = chip->memory; });
        return m;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(dir.isValid());
        appData.setFolder(&TAppData::pathProgs, dir.path());
        appData.pathDevices = dir.path();
        writeFile(QStringLiteral("types.lst"), "I2C_24XX=258\n");
    }

    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        useProgrammer(256);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }

    void cleanup()
    {
        dataPrj.clear();
        rx.reset();
        fake.reset();
        chip.reset();
    }

    // ------------------------------------------------------------ family

    void family()
    {
        TDev24 dev(QStringLiteral("24C04"), {{DEV_ADDR_MASK, 3}, {DEV_RESET, true}, {DEV_ADDR_SIZE, 1},
                                             {DEV_SIZE, 512}, {DEV_PAGE_SIZE, 16}});
        const QStringList list = dev.cmdList();
        QCOMPARE(list.size(), 16);
        QCOMPARE(list.indexOf(CMD_SEPARATOR), 2);
        QCOMPARE(list.at(5), QString(CMD_SEPARATOR));
        QCOMPARE(list.at(14), QString(CMD_SEPARATOR));
        QCOMPARE(list.first(), QString(CMD_SET_CLK));
        QCOMPARE(list.last(), QString(CMD_LEAVE));
        QVERIFY(dev.hasCmd(CMD_FILE_VERIFY) && !dev.hasCmd(CMD_FLASH_FILE_READ));
        QCOMPARE(dev.params().value(DEV_RESET).toBool(), false);
        QVERIFY(dev.info().isEmpty() || dev.info() == QStringList(QString()));

        // Address texts and checks over the pins the chip has.
        const struct { int mask, addr; const char *text; bool valid; } cases[] = {
            {7, 5, "Address: 101", true}, {4, 4, "Address: 1--", true},
            {3, 7, "Address: -11", true}, {7, 8, "Address: 000", false},
            {0, 7, "Address: ---", true},
        };
        for (const auto &c : cases) {
            TDev24 d(QStringLiteral("x"), {{DEV_ADDR_MASK, c.mask}});
            const TData cmd{{REC_CMD, CMD_SET_ADDR}, {SET_ADDR_ADDR, c.addr}};
            QCOMPARE(d.addrText(cmd), QString::fromLatin1(c.text));
            QCOMPARE(bool(d.checkCmdParam(cmd)), c.valid);
            QCOMPARE(bool(TDev24::checkAddr({{SET_ADDR_ADDR, QString::number(c.addr)}})), c.valid);
        }
        QVERIFY(!dev.checkDevParam({{SET_ADDR_ADDR, 8}, {SET_CLK_CLK, 400000}}));

        // The address form over mask 3: A0 and A1 enabled, the third "NC".
        QCOMPARE(dev.addrFormMarkup(),
                 QStringList({"frm+", "grp+|" + lang.text(369), "ckl|01|-|e|-|A0||", "ckl|02|-|e|-|A1||",
                              "ckl|04|-|-|-|NC||", "grp-", "frm-"}));
        QCOMPARE(dev.addrFormData({{SET_ADDR_ADDR, 7}}), QStringLiteral("03"));

        // Bare commands: no text, always valid; defaults.
        for (const char *code : {CMD_ERASE, CMD_TEST_EMPTY}) {
            QVERIFY(dev.checkCmdParam({{REC_CMD, code}}));
            QCOMPARE(dev.cmdParamText({{REC_CMD, code}}, nullptr), QString());
        }
        QVERIFY(!dev.checkCmdParam({{REC_CMD, CMD_FUSE_READ}}));
        TData addr{{REC_CMD, CMD_SET_ADDR}};
        dev.initCmdParam(addr);
        QCOMPARE(addr.value(SET_ADDR_ADDR), QVariant(0));
        TData setDevice{{REC_CMD, CMD_SET_DEVICE}};
        QVERIFY(dev.initDevParam(setDevice));
        QCOMPARE(setDevice.value(SET_ADDR_ADDR), QVariant(0));
        QVERIFY(setDevice.contains(SET_CLK_CLK));
        QVERIFY(!dev.normalizeCmdParam(setDevice));

        // A set_addr form change with A0 and A2 set is stored as "5".
        const int cfg = dataPrj.addCfg(QStringLiteral("f"), QString());
        const int id = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_ADDR}});
        QCOMPARE(dev.cmdParamFromForm({{REC_ID_CMD, id}, {DATA_DATA, "05"}}),
                 (TData{{REC_ID_CMD, id}, {SET_ADDR_ADDR, "5"}}));
        const TData other{{REC_ID_CMD, 9999}, {DATA_DATA, "05"}};
        QCOMPARE(dev.cmdParamFromForm(other), other);

    }

    // The forms as the configuration page shows them: the address form over
    // the pins the chip has stores "addr"; erase has the empty form; the
    // device-level form relays the clock and turns the address image into
    // "addr".
    void forms()
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("f"), QString());
        const QVector<int> ids = configure(cfg, description(512, 16, 1, 3), 0,
                                           {{CMD_SET_ADDR, {}}, {CMD_ERASE, {}}, {CMD_SET_CLK, {}}});
        FormHost host;
        QWidget *form = host.select(ids.at(0));
        QVERIFY(qobject_cast<TFormDevCfg *>(form));
        form->show();
        const QList<QCheckBox *> boxes = form->findChildren<QCheckBox *>();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes.at(0)->isEnabled() && boxes.at(1)->isEnabled() && !boxes.at(2)->isEnabled());
        QTest::mouseClick(boxes.at(0), Qt::LeftButton);
        QCOMPARE(dataPrj.cmdById(ids.at(0))->params().value(SET_ADDR_ADDR).toString(), QStringLiteral("1"));
        QTest::mouseClick(boxes.at(1), Qt::LeftButton);
        QCOMPARE(dataPrj.cmdById(ids.at(0))->params().value(SET_ADDR_ADDR).toString(), QStringLiteral("3"));
        QVERIFY(qobject_cast<TFormDevEmpty *>(host.select(ids.at(1))));
        QVERIFY(qobject_cast<TFormDevSetCLK *>(host.select(ids.at(2))));
        host.clear();

        const int setDevice = ids.first() - 1;
        QCOMPARE(dataPrj.cmdById(setDevice)->cmd(), QString(CMD_SET_DEVICE));
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        std::unique_ptr<QWidget> devForm(device->createDevParamForm(dataPrj.cmdById(setDevice)->toHash()));
        auto *both = qobject_cast<TDev24CDevParam *>(devForm.get());
        QVERIFY(both && both->findChild<TFormDevSetCLK *>());
        both->show();
        QSignalSpy spy(both, &TDev24CDevParam::signalChangedCmdParam);
        QTest::mouseClick(both->findChild<TFormDevCfg *>()->findChildren<QCheckBox *>().at(1), Qt::LeftButton);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<TData>(), (TData{{REC_ID_CMD, setDevice}, {SET_ADDR_ADDR, "2"}}));
    }

    // ------------------------------------------------------------ wire

    // The worked payloads, the set-up record, set_addr masking, the clock
    // level and leave, each through a whole run.
    void payloads()
    {
        useProgrammer(256, false);
        newChip(2048, 16, 1, 0, 0);
        const int cfg = dataPrj.addCfg(QStringLiteral("w"), QString());
        configure(cfg, description(2048, 16, 1, 0), 5,
                  {{CMD_SET_CLK, {{SET_CLK_CLK, 400000}}},
                   {CMD_SET_ADDR, {{SET_ADDR_ADDR, 7}}},
                   {CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, 0x1F3}, {DATA_DATA, "D1 D2"}}},
                   {CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, 0x7FF}, {DATA_DATA, "5A"}}},
                   {CMD_LEAVE, {{LEAVE_STATE, "HLZ"}}}});
        run(cfg, true);
        QCOMPARE(fake->state().setup, hex("02010305801a06000a"));
        QCOMPARE(chipWire(), QVector<QByteArray>({hex("02801a0600"), hex("0300"), hex("04a2f3d1d2"),
                                                  hex("04aeff5a"), hex("0100000504080000000000")}));
        QCOMPARE(chipMemory().mid(0x1F3, 2), hex("d1d2"));
        QCOMPARE(quint8(chipMemory().at(0x7FF)), quint8(0x5A));
        QCOMPARE(fake->requests().last().code, quint8(0x83));   // leave ends without finish
    }

    // Requests built directly: two address bytes, bit 16, set_addr masking.
    void requestHeads()
    {
        QCOMPARE(TDev24Exec::addressBytes(2, 0x2A5), hex("a002a5"));
        QCOMPARE(TDev24Exec::addressBytes(2, 0x102A5), hex("a202a5"));
        QCOMPARE(TDev24Exec::addressBytes(1, 0x7FF), hex("aeff"));
        QCOMPARE(TDev24Exec::addressLimit(1), qint64(2048));
        QCOMPARE(TDev24Exec::addressLimit(2), qint64(512 * 1024));
        QCOMPARE(TDev24Exec::addressLimit(3), qint64(0));

        newChip(131072, 128, 2, 6, 2);
        const int cfg = dataPrj.addCfg(QStringLiteral("h"), QString());
        QByteArray data(64, 0);
        for (int i = 0; i < 64; ++i)
            data[i] = char(i * 7);
        fake->locked([&] { chip->memory.replace(0x2A5, 64, data); chip->memory[0x10000] = 0x33; });
        const QVector<int> ids = configure(
            cfg, description(131072, 128, 2, 6), 2,
            {{CMD_SET_ADDR, {{SET_ADDR_ADDR, 3}}},
             {CMD_DATA_READ, {{DATA_ADDR_DEVICE, 0x2A5}, {DATA_DATA, bytesToHexString(QByteArray(64, 0))}}},
             {CMD_DATA_READ, {{DATA_ADDR_DEVICE, 0x10000}, {DATA_DATA, "00 00"}}}});
        run(cfg, true);
        QCOMPARE(chipWire(), QVector<QByteArray>({hex("0304"), hex("054000a002a5"), hex("050200a20000")}));
        QCOMPARE(dataPrj.cmdById(ids.at(1))->params().value(DATA_DATA).toString(), bytesToHexString(data));
        QCOMPARE(dataPrj.cmdById(ids.at(2))->params().value(DATA_DATA).toString(), QStringLiteral("33 FF"));
    }

    // Write sizes at page and block limits; no write crosses a page.
    void writeSizes_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("maxData");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<int>>("writes");
        QTest::addColumn<QVector<int>>("reads");
        QTest::newRow("page 64, block 32") << 64 << 32 << 0 << 128 << QVector<int>{32, 32, 32, 32}
                                           << QVector<int>{32, 32, 32, 32};
        QTest::newRow("page 64, block 60") << 64 << 60 << 0 << 192
                                           << QVector<int>{60, 4, 56, 8, 52, 12}
                                           << QVector<int>{60, 60, 60, 12};
        QTest::newRow("page 16, block 64") << 16 << 64 << 0 << 64 << QVector<int>{16, 16, 16, 16}
                                           << QVector<int>{64};
        QTest::newRow("from mid-page") << 16 << 64 << 0x25 << 40 << QVector<int>{11, 16, 13}
                                       << QVector<int>{27, 13};
    }
    void writeSizes()
    {
        QFETCH(int, page);
        QFETCH(int, maxData);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QVector<int>, writes);
        QFETCH(QVector<int>, reads);
        useProgrammer(maxData);
        newChip(4096, page, 2, 7, 0);
        const int cfg = dataPrj.addCfg(QStringLiteral("s"), QString());
        configure(cfg, description(4096, page, 2, 7), 0,
                  {{CMD_CHAR_WRITE, {{CHAR_ADDR_DEVICE, first}, {CHAR_COUNT, count}, {CHAR_FILL_CHAR, 0x3C}}},
                   {CMD_CHAR_VERIFY, {{CHAR_ADDR_DEVICE, first}, {CHAR_COUNT, count}, {CHAR_FILL_CHAR, 0x3C}}}});
        run(cfg, true);
        fake->locked([&] {
            QCOMPARE(chip->writeSizes, writes);
            QCOMPARE(chip->readSizes, reads);
        });
        const QByteArray m = chipMemory();
        QCOMPARE(m.mid(first, count), QByteArray(count, 0x3C));
        QCOMPARE(m.count(char(0x3C)), count);
    }

    // Refusals that send nothing to the chip.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("dev");
        QTest::addColumn<int>("maxData");
        QTest::addColumn<QString>("error");
        QTest::newRow("alg_write 1") << description(256, 16, 1, 7, 1) << 256 << lang.text(447).arg("alg_write").arg(1);
        QTest::newRow("page 0") << description(256, 0, 1, 7) << 256 << lang.text(427);
        QTest::newRow("addr_size 3") << description(256, 16, 3, 7) << 256
                                     << lang.text(428).arg(3);
        QTest::newRow("past the control byte") << description(4096, 16, 1, 0) << 256
                                               << lang.text(429).arg("FFF", "7FF");
    }
    void refusals()
    {
        QFETCH(QByteArray, dev);
        QFETCH(int, maxData);
        QFETCH(QString, error);
        useProgrammer(maxData);
        newChip(4096, 16, 1, 0, 0);
        const int cfg = dataPrj.addCfg(QStringLiteral("r"), QString());
        const int id = configure(cfg, dev, 0, {{CMD_ERASE, {}}}).first();
        // The check refuses it too (the table of refused descriptions);
        // the executor keeps its own refusal.
        QVERIFY(!dataPrj.cmdById(id)->validParam());
        dataPrj.cmdById(id)->setValidParam(true);
        run(cfg, false);
        QCOMPARE(failure(), error);
        QVERIFY(chipWire().isEmpty());
        fake->locked([&] { QVERIFY(chip->writeSizes.isEmpty()); });
    }

    // Whole runs over models of several sizes, pages, address bytes and
    // block bits: random bin and HEX images erased, tested empty, written,
    // verified and read back byte-exact; fill and data commands; a byte
    // changed behind the driver fails verify.
    void models_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("addrSize");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("straps");
        QTest::addColumn<int>("maxData");
        QTest::newRow("2K, block bits, 60") << 2048 << 16 << 1 << 0 << 0 << 60;
        QTest::newRow("512, A1 A2, 100") << 512 << 16 << 1 << 6 << 4 << 100;
        QTest::newRow("8K, two bytes, 256") << 8192 << 32 << 2 << 7 << 5 << 256;
        QTest::newRow("64K, page 128, 60") << 65536 << 128 << 2 << 7 << 3 << 60;
        QTest::newRow("256K, bits 16-17, 256") << 262144 << 256 << 2 << 4 << 4 << 256;
    }
    void models()
    {
        QFETCH(int, size);
        QFETCH(int, page);
        QFETCH(int, addrSize);
        QFETCH(int, mask);
        QFETCH(int, straps);
        QFETCH(int, maxData);
        useProgrammer(maxData);
        newChip(size, page, addrSize, quint8(mask), quint8(straps));
        QRandomGenerator random(quint32(size + maxData));
        QByteArray image(size, 0);
        for (char &b : image)
            b = char(random.bounded(256));
        writeFile(QStringLiteral("image.bin"), image);
        {
            TFormat hexOut(QStringLiteral("hex"), path(QStringLiteral("image.hex")), 0, 0, size - 1, 256);
            QVERIFY(hexOut.open(1));
            QVERIFY(hexOut.write(0, image));
            QVERIFY(hexOut.close());
        }
        const auto file = [&](const char *format, const char *name) {
            return TData{{FILE_FORMAT, format}, {FILE_FILE, QString::fromLatin1(name)},
                         {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, size}};
        };
        const QByteArray data = hex("0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20");
        const int mid = size / 2 + 3;
        const int cfg = dataPrj.addCfg(QStringLiteral("m"), QString());
        const QVector<int> ids = configure(
            cfg, description(size, page, addrSize, mask), straps,
            {{CMD_SET_CLK, {{SET_CLK_CLK, 400000}}},
             {CMD_SET_ADDR, {{SET_ADDR_ADDR, straps}}},
             {CMD_ERASE, {}},
             {CMD_TEST_EMPTY, {}},
             {CMD_FILE_WRITE, file("hex", "image.hex")},
             {CMD_FILE_VERIFY, file("bin", "image.bin")},
             {CMD_FILE_READ, file("bin", "back.bin")},
             {CMD_CHAR_WRITE, {{CHAR_ADDR_DEVICE, 5}, {CHAR_COUNT, page + 9}, {CHAR_FILL_CHAR, 0xC3}}},
             {CMD_CHAR_VERIFY, {{CHAR_ADDR_DEVICE, 5}, {CHAR_COUNT, page + 9}, {CHAR_FILL_CHAR, 0xC3}}},
             {CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, mid}, {DATA_DATA, bytesToHexString(data)}}},
             {CMD_DATA_VERIFY, {{DATA_ADDR_DEVICE, mid}, {DATA_DATA, bytesToHexString(data)}}},
             {CMD_DATA_READ, {{DATA_ADDR_DEVICE, mid - 1}, {DATA_DATA, "00 00 00"}}},
             {CMD_FILE_WRITE, file("bin", "image.bin")},
             {CMD_FILE_VERIFY, file("hex", "image.hex")},
             {CMD_LEAVE, {}}});
        for (int id : ids)
            QVERIFY2(dataPrj.cmdById(id)->validParam(), qPrintable(QString::number(id)));
        run(cfg, true);
        QCOMPARE(readFile(QStringLiteral("back.bin")), image);
        QCOMPARE(chipMemory(), image);
        QCOMPARE(dataPrj.cmdById(ids.at(11))->params().value(DATA_DATA).toString(),
                 bytesToHexStringLike(QStringLiteral("00 00 00"), image.mid(mid - 1, 1) + data.left(2)));
        fake->locked([&] { QCOMPARE(chip->clock, quint32(1)); });   // the listed level of 400 kHz
        // Percentages rise within each command and reach 100.
        int last = 0;
        for (int p : rx->percents) {
            QVERIFY(p == 0 || p >= last);
            last = p;
        }
        QCOMPARE(rx->percents.count(100), ids.size() - 3);

        // A byte changed behind the driver.
        const int at = size - page / 2;
        fake->locked([&] { chip->memory[at] = char(~image.at(at)); });
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
        const int cfg2 = dataPrj.addCfg(QStringLiteral("v"), QString());
        configure(cfg2, description(size, page, addrSize, mask), straps,
                  {{CMD_FILE_VERIFY, file("bin", "image.bin")}});
        run(cfg2, false);
        QCOMPARE(failure(), verifyMismatchText(at, quint8(image.at(at)), quint8(~image.at(at))));
    }

    // Every transfer loop at odd starts and lengths, at four payload sizes,
    // on chips whose reads wrap at the end of the block the word address
    // spans: one with block bits in the control byte, one with address bit
    // 16 there. What was written reads back and verifies byte for byte, and
    // no request crosses a page, that block or the programmer's block.
    void chunksKeepTheirBounds_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("addrSize");
        QTest::addColumn<int>("pins");
        QTest::addColumn<int>("maxData");
        QTest::addColumn<QVector<int>>("at");   // fill, data, file addresses, file count
        for (int maxData : {60, 100, 256, 1000}) {
            QTest::addRow("2K, block bits, %d", maxData)
                << 2048 << 16 << 1 << 0 << maxData << QVector<int>{0xF3, 0x1F7, 0x2C5, 0x301};
            QTest::addRow("128K, bit 16, %d", maxData)
                << 131072 << 128 << 2 << 6 << maxData << QVector<int>{0xFEF3, 0x1FFD1, 0xF805, 0x13F3};
        }
    }
    void chunksKeepTheirBounds()
    {
        QFETCH(int, size);
        QFETCH(int, page);
        QFETCH(int, addrSize);
        QFETCH(int, pins);
        QFETCH(int, maxData);
        QFETCH(QVector<int>, at);
        useProgrammer(maxData);
        newChip(size, page, addrSize, quint8(pins), 0);
        fake->locked([&] { chip->readsWrapInBlock = true; });
        QRandomGenerator random(quint32(size + maxData));
        QByteArray image(at[3], 0), data(47, 0);
        for (char &b : image)
            b = char(random.bounded(256));
        for (char &b : data)
            b = char(random.bounded(256));
        writeFile(QStringLiteral("part.bin"), image);
        const auto file = [&](const char *name) {
            return TData{{FILE_FORMAT, "bin"}, {FILE_FILE, QString::fromLatin1(name)}, {FILE_ADDR_FILE, 0},
                         {FILE_ADDR_DEVICE, at[2]}, {FILE_COUNT, at[3]}};
        };
        const TData fill{{CHAR_ADDR_DEVICE, at[0]}, {CHAR_COUNT, 2 * page + 29}, {CHAR_FILL_CHAR, 0xA5}};
        const int dataAt = std::min(at[1], size - int(data.size()));
        const TData bytes{{DATA_ADDR_DEVICE, dataAt}, {DATA_DATA, bytesToHexString(data)}};
        const int cfg = dataPrj.addCfg(QStringLiteral("b"), QString());
        const QVector<int> ids = configure(
            cfg, description(size, page, addrSize, 0), 0,
            {{CMD_CHAR_WRITE, fill},
             {CMD_CHAR_VERIFY, fill},
             {CMD_DATA_WRITE, bytes},
             {CMD_DATA_VERIFY, bytes},
             {CMD_DATA_READ, {{DATA_ADDR_DEVICE, dataAt - 1}, {DATA_DATA, QString(96, QLatin1Char('0'))}}},
             {CMD_FILE_WRITE, file("part.bin")},
             {CMD_FILE_VERIFY, file("part.bin")},
             {CMD_FILE_READ, file("back.bin")}});
        for (int id : ids)
            QVERIFY(dataPrj.cmdById(id)->validParam());
        run(cfg, true);

        QByteArray expect(size, char(0xFF));
        expect.replace(at[0], 2 * page + 29, QByteArray(2 * page + 29, char(0xA5)));
        expect.replace(dataAt, data.size(), data);
        expect.replace(at[2], image.size(), image);
        QVERIFY(chipMemory() == expect);
        QVERIFY(readFile(QStringLiteral("back.bin")) == image);
        const QByteArray readBack = expect.mid(dataAt - 1, 48);
        QCOMPARE(dataPrj.cmdById(ids.at(4))->params().value(DATA_DATA).toString(), bytesToHexString(readBack));

        // The wire: the address is the control byte's bits above the word
        // address and the word address itself.
        const qint64 span = qint64(1) << (8 * addrSize);
        int writes = 0, reads = 0;
        for (const FakeProgrammer::Request &r : fake->requests()) {
            if (r.code != 4 && r.code != 5)
                continue;
            const QByteArray head = r.payload.mid(r.code == 5 ? 2 : 0);
            qint64 address = (quint8(head.at(0)) >> 1) & 7;
            for (int i = 1; i <= addrSize; ++i)
                address = address << 8 | quint8(head.at(i));
            const qint64 length = r.code == 5 ? quint8(r.payload.at(0)) | quint8(r.payload.at(1)) << 8
                                              : r.payload.size() - 1 - addrSize;
            const QString fault = r.code == 4
                                      ? chunkFault(address, length, maxData, {std::min(maxData, page), page, span})
                                      : chunkFault(address, length, maxData, {std::min<qint64>(maxData, span), span});
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("code %1: ").arg(r.code) + fault));
            ++(r.code == 4 ? writes : reads);
        }
        QVERIFY(writes > 0 && reads > 0);
    }

    // A page and a programmer block as large as a frame can be: each write
    // leaves room for its control byte and word address in the request.
    void writesFitTheLengthField()
    {
        useProgrammer(0xFFFF);
        newChip(131072, 65536, 2, 6, 0);
        const int cfg = dataPrj.addCfg(QStringLiteral("f"), QString());
        const TData fill{{CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, 0xFFFF}, {CHAR_FILL_CHAR, 0x3C}};
        configure(cfg, description(131072, 0xFFFF, 2, 0), 0, {{CMD_CHAR_WRITE, fill}, {CMD_CHAR_VERIFY, fill}});
        run(cfg, true);
        fake->locked([&] {
            QCOMPARE(chip->writeSizes, QVector<int>({0xFFFC, 3}));
            QCOMPARE(chip->readSizes, QVector<int>({0xFFFF}));
        });
        QCOMPARE(chipMemory().left(0x10000), QByteArray(0xFFFF, 0x3C) + char(0xFF));
    }

    // A stop ends a long write after its current chunk, and a read to a
    // file that is stopped leaves the earlier file as it was.
    void stop()
    {
        newChip(8192, 32, 2, 7, 0);
        writeFile(QStringLiteral("keep.bin"), "earlier");
        const int cfg = dataPrj.addCfg(QStringLiteral("s"), QString());
        const QVector<int> ids = configure(
            cfg, description(8192, 32, 2, 7), 0,
            {{CMD_FILE_READ, {{FILE_FORMAT, "bin"}, {FILE_FILE, "keep.bin"}, {FILE_ADDR_FILE, 0},
                              {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, 8192}}},
             {CMD_CHAR_WRITE, {{CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, 8192}, {CHAR_FILL_CHAR, 0}}}});
        rx.reset(new Receiver);
        rx->stopsOnWaiting = {cfg};
        rx->stopOnCmdParams = dataPrj.cmdById(ids.at(0))->handler()->cmdParamText(
            dataPrj.cmdById(ids.at(0))->toHash(), nullptr);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 60000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QCOMPARE(rx->events.last().text, lang.text(390));
        fake->locked([&] {
            QCOMPARE(chip->readSizes.size(), 1);
            QVERIFY(chip->writeSizes.isEmpty());
        });
        QCOMPARE(readFile(QStringLiteral("keep.bin")), QByteArray("earlier"));
    }

    // One executor run in this thread on the edges of the transfer loop.
    void edges_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("params");
        QTest::addColumn<int>("fault");   // 0 none, 1 short read reply, 2 no device, 3 closed port
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("requests");
        QTest::newRow("empty mismatch at 0x101") << QString(CMD_TEST_EMPTY) << TData() << 0 << false
                                                 << verifyMismatchText(0x101, 0xFF, 0x7E) << 2;
        QTest::newRow("short read reply") << QString(CMD_TEST_EMPTY) << TData() << 1 << false
                                          << lang.text(442, 1, 256) << 1;
        // Data of no bytes moves nothing: refused, nothing sent, nothing stored.
        const QString nothing = lang.text(execmsg::RANGE_EMPTY).arg(hexText64(0));
        QTest::newRow("data_write, no data") << QString(CMD_DATA_WRITE)
                                             << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, ""}} << 0 << false
                                             << nothing << 0;
        QTest::newRow("data_read, no data") << QString(CMD_DATA_READ)
                                            << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, ""}} << 0 << false
                                            << nothing << 0;
        QTest::newRow("data_verify, blanks only") << QString(CMD_DATA_VERIFY)
                                                  << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, "   "}} << 0 << false
                                                  << nothing << 0;
        QTest::newRow("no device") << QString(CMD_ERASE) << TData() << 2 << false << lang.text(405) << 0;
        QTest::newRow("closed port") << QString(CMD_ERASE) << TData() << 3 << false << lang.text(392) << 0;
        QTest::newRow("unknown code") << QString(CMD_FUSE_READ) << TData() << 0 << false
                                      << lang.text(449).arg(CMD_FUSE_READ) << 0;
    }
    void edges()
    {
        QFETCH(QString, code);
        QFETCH(TData, params);
        QFETCH(int, fault);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        QFETCH(int, requests);
        newChip(512, 16, 1, 6, 0);
        fake->locked([&] { chip->memory[0x101] = 0x7E; });
        TSerialPort port;
        if (fault != 3)
            QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        port.setMaxData(256);
        QByteArray setup = hex("0201000000000000" "00");
        if (fault != 3)
            QVERIFY(port.transaction(0x84, setup));
        fake->clearRequests();
        if (fault == 1)
            fake->addFault(FakeFault::rawReply(TProtocol::frame(0x00, QByteArray(1, char(0xFF)))).onCode(5));
        TDev24 device(QStringLiteral("24C04"), TDeviceList::parseParams(QString::fromLatin1(
                                                   description(512, 16, 1, 6)).split(QLatin1Char('\n'))));
        TProg prog(path(QStringLiteral("emu256.ini")));
        const int cfg = dataPrj.addCfg(QStringLiteral("e"), QString());
        TData data = params;
        data.insert(REC_ID_CFG, cfg);
        data.insert(REC_STATUS, 1);
        data.insert(REC_CMD, code);
        const int id = dataPrj.addCmd(data);
        if (fault != 2)
            dataPrj.cmdById(id)->setDevice(&device);
        dataPrj.cmdById(id)->setProg(&prog);
        data.insert(REC_ID_CMD, id);
        TDev24Exec exec(data);
        QCOMPARE(exec.execute(&port, nullptr, nullptr, nullptr), ok);
        QCOMPARE(exec.errorText(), error);
        QCOMPARE(fake->requestCount(), requests);
        if (code == QLatin1String(CMD_DATA_READ))
            QCOMPARE(dataPrj.cmdById(id)->params().value(DATA_DATA), QVariant(QString()));
        dataPrj.clear();
    }

    // ------------------------------------------------------------ files

    void shippedDescriptions()
    {
        const QString folder = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
        appData.pathDevices = folder;
        const QHash<QString, QString> devices = readDevicesList();
        int count = 0;
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            if (!it.value().startsWith(QLatin1String("24xx/")))
                continue;
            ++count;
            TData params;
            const TDeviceCreator creator = deviceList.creatorForFile(it.key(), it.value(), params);
            QVERIFY2(creator == &TDev24::create, qPrintable(it.key()));
            const qint64 size = params.value(DEV_SIZE).toLongLong();
            const int page = params.value(DEV_PAGE_SIZE).toInt();
            const int n = params.value(DEV_ADDR_SIZE).toInt();
            const int mask = params.value(DEV_ADDR_MASK).toInt();
            QVERIFY2(size > 0 && size <= TDev24Exec::addressLimit(quint8(n)), qPrintable(it.key()));
            QVERIFY2(page > 0 && size % page == 0, qPrintable(it.key()));
            // Address bits above the word address take the low chip-select places.
            int extra = 0;
            while ((qint64(1) << (8 * n + extra)) < size)
                ++extra;
            QVERIFY2((mask & ((1 << extra) - 1)) == 0, qPrintable(it.key()));
            QCOMPARE(deviceTypeOf(params.value(DEV_PRG_TYPE).toString()), quint32(Chip24::TYPE_24XX));
            QCOMPARE(params.value(DEV_PRG_PAR).toString(), QStringLiteral("I2C"));
            QCOMPARE(params.value(DEV_PRG_CON).toString(), QStringLiteral("I2C"));
            QVERIFY(params.value(DEV_DELAY).toInt() > 0);
        }
        QCOMPARE(count, 12);
        appData.pathDevices = dir.path();
    }

    // ------------------------------------------------------------ 93Cxx

    void class93C()
    {
        struct Accepting : ChipModel
        {
            ChipReply request(quint8, const QByteArray &) override { return ChipReply::success(); }
        };
        fake->setChip(std::make_shared<Accepting>());
        std::unique_ptr<IDevice> dev(TDev93C::create(QStringLiteral("93C46"), {{DEV_PRG_PAR, "SPI"}}));
        QVERIFY(dev->checkDevParam({{SET_ADDR_ADDR, 99}}));
        QVERIFY(dev->devSetup({}).isEmpty());
        QCOMPARE(dev->cmdList().size(), 15);
        TSerialPort port;
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        QByteArray record = dev->devSetup({});
        QVERIFY(port.transaction(0x84, record));
        for (const QString &code : dev->cmdList()) {
            std::unique_ptr<IDeviceExec> exec(dev->createExec({{REC_CMD, code}, {SET_CLK_CLK, 4000000}}));
            const bool ok = exec->execute(&port, nullptr, nullptr, nullptr);
            QCOMPARE(ok, code == QLatin1String(CMD_SET_CLK) || code == QLatin1String(CMD_ERASE));
            if (!ok)
                QCOMPARE(exec->errorText(), QString());
            QString id = QStringLiteral("kept");
            QVERIFY(exec->ident(&port, id) && id == QLatin1String("kept"));
        }
        const auto log = fake->requests();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(1).code, quint8(2));
        QCOMPARE(log.at(1).payload, hex("00093d00"));
        QCOMPARE(log.at(2).code, quint8(3));
        QVERIFY(log.at(2).payload.isEmpty());
        // No group name of a description yields the class.
        for (const char *group : {GROUP_TOOLS, GROUP_PROG, GROUP_DEV24, GROUP_DEV25, GROUP_DEV_AVR8_SPI,
                                  GROUP_DEV_XMC1_ASCFD, "Dev93C", "Dev93"}) {
            TData params;
            QVERIFY(deviceList.creatorForFile(QLatin1String(group), QString(), params) != &TDev93C::create);
        }
    }
};

QTEST_MAIN(TestDev24)
#include "test_dev24.moc"
