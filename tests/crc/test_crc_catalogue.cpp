// The CRC catalogue: every accepted name creates its class, nothing else
// creates anything, and "crc.lst" in the program folder selects the names
// that the CRC editor offers.

#include "core/helpers.h"
#include "crc/ICRC.h"
#include "crc/TCHKSUM_8.h"
#include "crc/TCRC.h"
#include "crc/TCRC_82_DARC.h"
#include "crc/crc_catalogue.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <set>
#include <typeindex>
#include <vector>

namespace {

struct Accepted
{
    std::type_index type;
    const char *className;
    std::vector<const char *> names; // catalogue name first, then aliases
};

#define ROW(Class, ...) {std::type_index(typeid(Class)), #Class, __VA_ARGS__}

const std::vector<Accepted> catalogue = {
    ROW(TCHKSUM_8_HEX, {"CHKSUM-8/HEX"}),
    ROW(TCHKSUM_8_MODBUS, {"CHKSUM-8/MODBUS"}),
    ROW(TCRC_3_GSM, {"CRC-3/GSM"}),
    ROW(TCRC_3_ROHC, {"CRC-3/ROHC"}),
    ROW(TCRC_4_G704, {"CRC-4/G-704", "CRC-4/ITU"}),
    ROW(TCRC_4_INTERLAKEN, {"CRC-4/INTERLAKEN"}),
    ROW(TCRC_5_EPC_C1G2, {"CRC-5/EPC-C1G2", "CRC-5/EPC"}),
    ROW(TCRC_5_G704, {"CRC-5/G-704", "CRC-5/ITU"}),
    ROW(TCRC_5_USB, {"CRC-5/USB"}),
    ROW(TCRC_6_CDMA2000A, {"CRC-6/CDMA2000-A"}),
    ROW(TCRC_6_CDMA2000B, {"CRC-6/CDMA2000-B"}),
    ROW(TCRC_6_DARC, {"CRC-6/DARC"}),
    ROW(TCRC_6_G704, {"CRC-6/G-704", "CRC-6/ITU"}),
    ROW(TCRC_6_GSM, {"CRC-6/GSM"}),
    ROW(TCRC_7_MMC, {"CRC-7/MMC", "CRC-7"}),
    ROW(TCRC_7_ROHC, {"CRC-7/ROHC"}),
    ROW(TCRC_7_UMTS, {"CRC-7/UMTS"}),
    ROW(TCRC_8_AUTOSAR, {"CRC-8/AUTOSAR"}),
    ROW(TCRC_8_BLUETOOTH, {"CRC-8/BLUETOOTH"}),
    ROW(TCRC_8_CDMA2000, {"CRC-8/CDMA2000"}),
    ROW(TCRC_8_DARC, {"CRC-8/DARC"}),
    ROW(TCRC_8_DVB_S2, {"CRC-8/DVB-S2"}),
    ROW(TCRC_8_GSM_A, {"CRC-8/GSM-A"}),
    ROW(TCRC_8_GSM_B, {"CRC-8/GSM-B"}),
    ROW(TCRC_8_HITAG, {"CRC-8/HITAG"}),
    ROW(TCRC_8_ICODE, {"CRC-8/I-CODE"}),
    ROW(TCRC_8_I_432_1, {"CRC-8/I-432-1", "CRC-8/ITU"}),
    ROW(TCRC_8_LTE, {"CRC-8/LTE"}),
    ROW(TCRC_8_MAXIM_DOW, {"CRC-8/MAXIM-DOW", "CRC-8/MAXIM", "DOW-CRC"}),
    ROW(TCRC_8_MIFARE_MAD, {"CRC-8/MIFARE-MAD"}),
    ROW(TCRC_8_NRSC5, {"CRC-8/NRSC-5"}),
    ROW(TCRC_8_OPENSAFETY, {"CRC-8/OPENSAFETY"}),
    ROW(TCRC_8_ROHC, {"CRC-8/ROHC"}),
    ROW(TCRC_8_SAE_J1850, {"CRC-8/SAE-J1850"}),
    ROW(TCRC_8_SMBUS, {"CRC-8/SMBUS", "CRC-8"}),
    ROW(TCRC_8_TECH_3250, {"CRC-8/TECH-3250", "CRC-8/AES", "CRC-8/EBU"}),
    ROW(TCRC_8_WCDMA, {"CRC-8/WCDMA"}),
    ROW(TCRC_10_ATM, {"CRC-10/ATM", "CRC-10/I-610", "CRC-10"}),
    ROW(TCRC_10_CDMA2000, {"CRC-10/CDMA2000"}),
    ROW(TCRC_10_GSM, {"CRC-10/GSM"}),
    ROW(TCRC_11_FLEXRAY, {"CRC-11/FLEXRAY", "CRC-11"}),
    ROW(TCRC_11_UMTS, {"CRC-11/UMTS"}),
    ROW(TCRC_12_CDMA2000, {"CRC-12/CDMA2000"}),
    ROW(TCRC_12_DECT, {"CRC-12/DECT", "X-CRC-12"}),
    ROW(TCRC_12_GSM, {"CRC-12/GSM"}),
    ROW(TCRC_12_UMTS, {"CRC-12/UMTS", "CRC-12/3GPP"}),
    ROW(TCRC_13_BBC, {"CRC-13/BBC"}),
    ROW(TCRC_14_DARC, {"CRC-14/DARC"}),
    ROW(TCRC_14_GSM, {"CRC-14/GSM"}),
    ROW(TCRC_15_CAN, {"CRC-15/CAN", "CRC-15"}),
    ROW(TCRC_15_MPT1327, {"CRC-15/MPT1327"}),
    ROW(TCRC_16_ARC, {"CRC-16/ARC", "ARC", "CRC-16", "CRC-16/LHA", "CRC-IBM"}),
    ROW(TCRC_16_CDMA2000, {"CRC-16/CDMA2000"}),
    ROW(TCRC_16_CMS, {"CRC-16/CMS"}),
    ROW(TCRC_16_DDS_110, {"CRC-16/DDS-110"}),
    ROW(TCRC_16_DECT_R, {"CRC-16/DECT-R", "R-CRC-16"}),
    ROW(TCRC_16_DECT_X, {"CRC-16/DECT-X", "X-CRC-16"}),
    ROW(TCRC_16_DNP, {"CRC-16/DNP"}),
    ROW(TCRC_16_EN_13757, {"CRC-16/EN-13757"}),
    ROW(TCRC_16_GENIBUS, {"CRC-16/GENIBUS", "CRC-16/DARC", "CRC-16/EPC", "CRC-16/EPC-C1G2", "CRC-16/I-CODE"}),
    ROW(TCRC_16_GSM, {"CRC-16/GSM"}),
    ROW(TCRC_16_IBM_3740, {"CRC-16/IBM-3740", "CRC-16/AUTOSAR", "CRC-16/CCITT-FALSE"}),
    ROW(TCRC_16_IBM_SDLC, {"CRC-16/IBM-SDLC", "CRC-16/ISO-HDLC", "CRC-16/ISO-IEC-14443-3-B", "CRC-16/X-25", "CRC-B", "X-25"}),
    ROW(TCRC_16_ISO_IEC_14443_3A, {"CRC-16/ISO-IEC-14443-3-A", "CRC-A"}),
    ROW(TCRC_16_KERMIT, {"CRC-16/KERMIT", "CRC-16/BLUETOOTH", "CRC-16/CCITT", "CRC-16/CCITT-TRUE", "CRC-16/V-41-LSB", "CRC-CCITT", "KERMIT"}),
    ROW(TCRC_16_LJ1200, {"CRC-16/LJ1200"}),
    ROW(TCRC_16_M17, {"CRC-16/M17"}),
    ROW(TCRC_16_MAXIM_DOW, {"CRC-16/MAXIM_DOW", "CRC-16/MAXIM"}),
    ROW(TCRC_16_MCRF4XX, {"CRC-16/MCRF4XX"}),
    ROW(TCRC_16_MODBUS, {"CRC-16/MODBUS", "MODBUS"}),
    ROW(TCRC_16_NRSC5, {"CRC-16/NRSC-5"}),
    ROW(TCRC_16_OPENSAFETY_A, {"CRC-16/OPENSAFETY-A"}),
    ROW(TCRC_16_OPENSAFETY_B, {"CRC-16/OPENSAFETY-B"}),
    ROW(TCRC_16_PROFIBUS, {"CRC-16/PROFIBUS", "CRC-16/IEC-61158-2"}),
    ROW(TCRC_16_RIELLO, {"CRC-16/RIELLO"}),
    ROW(TCRC_16_SPI_FUJITSU, {"CRC-16/SPI-FUJITSU", "CRC-16/AUG-CCITT"}),
    ROW(TCRC_16_T10_DIF, {"CRC-16/T10-DIF"}),
    ROW(TCRC_16_TELEDISK, {"CRC-16/TELEDISK"}),
    ROW(TCRC_16_TMS37157, {"CRC-16/TMS37157"}),
    ROW(TCRC_16_UMTS, {"CRC-16/UMTS", "CRC-16/BUYPASS", "CRC-16/VERIFONE"}),
    ROW(TCRC_16_USB, {"CRC-16/USB"}),
    ROW(TCRC_16_XMODEM, {"CRC-16/XMODEM", "CRC-16/ACORN", "CRC-16/LTE", "CRC-16/V-41-MSB", "XMODEM", "ZMODEM"}),
    ROW(TCRC_17_CAN_FD, {"CRC-17/CAN-FD"}),
    ROW(TCRC_21_CAN_FD, {"CRC-21/CAN-FD"}),
    ROW(TCRC_24_BLE, {"CRC-24/BLE"}),
    ROW(TCRC_24_FLEXRAYA, {"CRC-24/FLEXRAY-A"}),
    ROW(TCRC_24_FLEXRAYB, {"CRC-24/FLEXRAY-B"}),
    ROW(TCRC_24_INTERLAKEN, {"CRC-24/INTERLAKEN"}),
    ROW(TCRC_24_LTE_A, {"CRC-24/LTE-A"}),
    ROW(TCRC_24_LTE_B, {"CRC-24/LTE-B"}),
    ROW(TCRC_24_OPENPGP, {"CRC-24/OPENPGP", "CRC-24"}),
    ROW(TCRC_24_OS9, {"CRC-24/OS-9"}),
    ROW(TCRC_30_CDMA, {"CRC-30/CDMA"}),
    ROW(TCRC_31_PHILIPS, {"CRC-31/PHILIPS"}),
    ROW(TCRC_32_AIXM, {"CRC-32/AIXM", "CRC-32Q"}),
    ROW(TCRC_32_AUTOSAR, {"CRC-32/AUTOSAR"}),
    ROW(TCRC_32_BASE91D, {"CRC-32/BASE91-D", "CRC-32D"}),
    ROW(TCRC_32_BZIP2, {"CRC-32/BZIP2", "CRC-32/AAL5", "CRC-32/DECT-B", "B-CRC-32"}),
    ROW(TCRC_32_CD_ROM_EDC, {"CRC-32/CD-ROM-EDC"}),
    ROW(TCRC_32_CKSUM, {"CRC-32/CKSUM", "CKSUM", "CRC-32/POSIX"}),
    ROW(TCRC_32_ISCSI, {"CRC-32/ISCSI", "CRC-32/BASE91-C", "CRC-32/CASTAGNOLI", "CRC-32/INTERLAKEN", "CRC-32C"}),
    ROW(TCRC_32_ISO_HDLC, {"CRC-32/ISO-HDLC", "CRC-32", "CRC-32/ADCCP", "CRC-32/V-42", "CRC-32/XZ", "PKZIP"}),
    ROW(TCRC_32_JAMCRC, {"CRC-32/JAMCRC", "JAMCRC"}),
    ROW(TCRC_32_MEF, {"CRC-32/MEF"}),
    ROW(TCRC_32_MPEG2, {"CRC-32/MPEG-2"}),
    ROW(TCRC_32_SATA, {"CRC-32/SATA"}),
    ROW(TCRC_32_XFER, {"CRC-32/XFER", "XFER"}),
    ROW(TCRC_40_GSM, {"CRC-40/GSM"}),
    ROW(TCRC_64_ECMA_182, {"CRC-64/ECMA-182", "CRC-64"}),
    ROW(TCRC_64_GO_ISO, {"CRC-64/GO-ISO"}),
    ROW(TCRC_64_MS, {"CRC-64/MS"}),
    ROW(TCRC_64_REDIS, {"CRC-64/REDIS"}),
    ROW(TCRC_64_WE, {"CRC-64/WE"}),
    ROW(TCRC_64_XZ, {"CRC-64/XZ", "CRC-64/GO-ECMA"}),
    ROW(TCRC_82_DARC, {"CRC-82/DARC"}),
};

#undef ROW

std::type_index typeOf(const ICRC &crc)
{
    return std::type_index(typeid(crc));
}

} // namespace

class TestCrcCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void everyNameCreatesItsClass();
    void otherNamesCreateNothing_data();
    void otherNamesCreateNothing();
    void defaultName();
    void listAbsent();
    void listLines();
    void listIsReadAnew();
    void shippedList();

private:
    void useProgramFolder(const QString &dir);
    bool writeList(const QByteArray &content);

    QTemporaryDir m_dir;
};

void TestCrcCatalogue::cleanup()
{
    setAppFileLocation(QString());
}

void TestCrcCatalogue::useProgramFolder(const QString &dir)
{
    setAppFileLocation(dir);
    QCOMPARE(appDirPath(), dir);
}

bool TestCrcCatalogue::writeList(const QByteArray &content)
{
    QFile file(m_dir.filePath(QStringLiteral("crc.lst")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

void TestCrcCatalogue::everyNameCreatesItsClass()
{
    QCOMPARE(int(catalogue.size()), 115);
    QSet<QString> names;
    QSet<QString> classes;
    for (const Accepted &row : catalogue) {
        classes.insert(QString::fromLatin1(row.className));
        for (const char *name : row.names) {
            names.insert(QString::fromLatin1(name));
            std::unique_ptr<ICRC> crc(createCRC(QString::fromLatin1(name)));
            QVERIFY2(crc, name);
            QVERIFY2(typeOf(*crc) == row.type, name);
            QVERIFY2(!crc->parent(), name);
        }
    }
    QCOMPARE(names.size(), 188);
    QCOMPARE(classes.size(), 115);

    // Two names of one class are one algorithm; the two checksums are two
    // classes that compute the same.
    std::unique_ptr<ICRC> hexSum(createCRC(QStringLiteral("CHKSUM-8/HEX")));
    std::unique_ptr<ICRC> modbusSum(createCRC(QStringLiteral("CHKSUM-8/MODBUS")));
    QVERIFY(typeOf(*hexSum) != typeOf(*modbusSum));
}

void TestCrcCatalogue::otherNamesCreateNothing_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"", "crc-32", " CRC-32", "CRC-32 ", "CRC32", "CRC_32", "CRC-16/MAXIM-DOW",
                             "CRC-16/maxim", "CRC-32/ISO_HDLC", "CRC-8/MAXIM_DOW", "TCRC_32_ISO_HDLC",
                             "CRC-32\n", "CHKSUM-8"})
        QTest::newRow(name) << QString::fromLatin1(name);
    // A name of the catalogue with a character beyond Latin-1 appended.
    QTest::newRow("CRC-32 + non-Latin") << QStringLiteral("CRC-32") + QChar(0x2010);
}

void TestCrcCatalogue::otherNamesCreateNothing()
{
    QFETCH(QString, name);
    std::unique_ptr<ICRC> crc(createCRC(name));
    QVERIFY(!crc);
}

void TestCrcCatalogue::defaultName()
{
    QCOMPARE(defaultCRCName(), QStringLiteral("CRC-32"));
    std::unique_ptr<ICRC> crc(createCRC(defaultCRCName()));
    QVERIFY(crc);
    QVERIFY(typeOf(*crc) == std::type_index(typeid(TCRC_32_ISO_HDLC)));
}

void TestCrcCatalogue::listAbsent()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(m_dir.filePath(QStringLiteral("crc.lst")));
    useProgramFolder(m_dir.path());
    QCOMPARE(enabledCRCNames(), QStringList());

    // A folder in the file's place cannot be read: no names either.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("crc.lst")));
    QCOMPARE(enabledCRCNames(), QStringList());
    QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("crc.lst")));
}

void TestCrcCatalogue::listLines()
{
    QVERIFY(m_dir.isValid());
    useProgramFolder(m_dir.path());
    QVERIFY(writeList("CRC-32=1\n"
                      "  CRC-16/MODBUS = 1  \r\n"
                      "#CRC-32=1\n"
                      "   # CRC-8=1\n"
                      "\n"
                      "   \t \n"
                      "CRC-32\n"
                      "CRC-8=0\n"
                      "CRC-8=01\n"
                      "CRC-8=yes\n"
                      "CRC-8=\n"
                      "CRC-8=1=1\n"
                      "NO-SUCH-CRC=1\n"
                      "CRC-32=1\n"
                      "=1\n"
                      "CRC-7 =\t1"));
    const QStringList expected = {QStringLiteral("CRC-32"), QStringLiteral("CRC-16/MODBUS "),
                                  QStringLiteral("NO-SUCH-CRC"), QStringLiteral("CRC-32"), QString(),
                                  QStringLiteral("CRC-7 ")};
    QCOMPARE(enabledCRCNames(), expected);

    // Names are listed as written; only catalogue names create anything.
    std::unique_ptr<ICRC> kept(createCRC(expected.at(1)));
    QVERIFY(!kept);

    // Text in UTF-8, also behind a byte-order mark.
    QVERIFY(writeList("\xC3\xA9=1\n"));
    QCOMPARE(enabledCRCNames(), QStringList({QString(QChar(0xE9))}));
    QVERIFY(writeList("\xEF\xBB\xBF" "CRC-64=1\n"));
    QCOMPARE(enabledCRCNames(), QStringList({QStringLiteral("CRC-64")}));
}

void TestCrcCatalogue::listIsReadAnew()
{
    QVERIFY(m_dir.isValid());
    useProgramFolder(m_dir.path());
    QVERIFY(writeList("CRC-8=1\n"));
    QCOMPARE(enabledCRCNames(), QStringList({QStringLiteral("CRC-8")}));
    QVERIFY(writeList("CRC-8=0\nCRC-16=1\n"));
    QCOMPARE(enabledCRCNames(), QStringList({QStringLiteral("CRC-16")}));
}

// The list that comes with the program offers the default first and only
// names the catalogue creates, each once.
void TestCrcCatalogue::shippedList()
{
    useProgramFolder(QStringLiteral(VELKOR_BIN_DIR));
    const QStringList names = enabledCRCNames();
    QVERIFY(!names.isEmpty());
    QCOMPARE(names.first(), defaultCRCName());
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    std::set<std::type_index> classes;
    for (const QString &name : names) {
        std::unique_ptr<ICRC> crc(createCRC(name));
        QVERIFY2(crc, qPrintable(name));
        classes.insert(typeOf(*crc));
    }
    QCOMPARE(int(classes.size()), 115);
}

QTEST_GUILESS_MAIN(TestCrcCatalogue)
#include "test_crc_catalogue.moc"
