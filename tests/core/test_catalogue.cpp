#include "core/TCmdCode.h"
#include "core/TCodeView.h"
#include "core/TData.h"
#include "core/consts.h"

#include <QtTest>

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void everyCodeBothWays()
    {
        const char *codes[] = {
            CMD_PROCESS, CMD_JAMP, CMD_COUNTER, CMD_DELAY, CMD_PAUSE, CMD_STOP, CMD_EXECUTE,
            CMD_CALC_CRC, CMD_SET_PROG, CMD_SET_DEVICE, CMD_AUTO_DETECT, CMD_GENERATOR,
            CMD_SET_IO, CMD_SET_VCC, CMD_SET_VPP, CMD_SET_VICC, CMD_SET_VIPP, CMD_RESET,
            CMD_IDENT, CMD_SET_CLK, CMD_SET_ADDR, CMD_ERASE, CMD_TEST_EMPTY, CMD_ERASE_BLOCKS,
            CMD_TEST_EMPTY_BLOCKS, CMD_TEST_EMPTY_FLASH, CMD_TEST_EMPTY_EEPROM, CMD_CHAR_WRITE,
            CMD_CHAR_VERIFY, CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FILE_READ,
            CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY,
            CMD_FLASH_DATA_READ, CMD_FLASH_DATA_WRITE, CMD_FLASH_DATA_VERIFY,
            CMD_FLASH_FILE_READ, CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY,
            CMD_EEPROM_CHAR_WRITE, CMD_EEPROM_CHAR_VERIFY, CMD_EEPROM_DATA_READ,
            CMD_EEPROM_DATA_WRITE, CMD_EEPROM_DATA_VERIFY, CMD_EEPROM_FILE_READ,
            CMD_EEPROM_FILE_WRITE, CMD_EEPROM_FILE_VERIFY, CMD_FUSE_READ, CMD_FUSE_WRITE,
            CMD_FUSE_VERIFY, CMD_LOCK_READ, CMD_LOCK_WRITE, CMD_LOCK_VERIFY, CMD_OSCCAL_READ,
            CMD_STATUS_REG_READ, CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY, CMD_SEC_REG_ERASE,
            CMD_SEC_REG_TEST_EMPTY, CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY,
            CMD_UNIQUE_ID_READ, CMD_SFDP_REG_READ, CMD_BMI_READ, CMD_BMI_WRITE, CMD_BMI_VERIFY,
            CMD_LEAVE};
        QCOMPARE(int(sizeof(codes) / sizeof(codes[0])), 72);
        QCOMPARE(cmdCode.count(), 72);
        QSet<QString> names;
        for (const char *c : codes) {
            const QString name = cmdCode.name(QString::fromLatin1(c));
            QVERIFY2(!name.isEmpty(), c);
            QCOMPARE(cmdCode.code(name), QString::fromLatin1(c));
            names.insert(name);
        }
        QCOMPARE(names.size(), 72);
    }

    void fixedNames()
    {
        QCOMPARE(cmdCode.name(QStringLiteral("flash_file_write")), QStringLiteral("Flash File Write"));
        QCOMPARE(cmdCode.name(QStringLiteral("set_io")), QStringLiteral("Set I/O"));
        QCOMPARE(cmdCode.name(QStringLiteral("erase_blocks")), QStringLiteral("Erase (blocks)"));
        QCOMPARE(cmdCode.name(QStringLiteral("fuse_read")), QStringLiteral("Fuse Bits Read"));
        QCOMPARE(cmdCode.code(QStringLiteral("Jamp")), QStringLiteral("jamp"));
    }

    void unknownLookupsChangeNothing()
    {
        QCOMPARE(cmdCode.name(QString::fromLatin1(CMD_SEPARATOR)), QString());
        QCOMPARE(cmdCode.name(QString()), QString());
        QCOMPARE(cmdCode.name(QStringLiteral("Set_vcc")), QString());
        QCOMPARE(cmdCode.code(QStringLiteral("jamp")), QString());
        QCOMPARE(cmdCode.code(QStringLiteral("flash file write")), QString());
        QCOMPARE(cmdCode.count(), 72);
    }

    void sharedTypesCrossThreads()
    {
        // Both travel through queued connections once registered.
        QVERIFY(qRegisterMetaType<TData>("TData") != 0);
        QVERIFY(qRegisterMetaType<TCodeView>("TCodeView") != 0);
        const QVariant v = QVariant::fromValue(VIEW_CMD_PARAM);
        QCOMPARE(v.value<TCodeView>(), VIEW_CMD_PARAM);
        QCOMPARE(int(VIEW_CMD_PARAM), 12);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
