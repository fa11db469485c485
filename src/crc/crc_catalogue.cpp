#include "crc/crc_catalogue.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "crc/ICRC.h"
#include "crc/TCHKSUM_8.h"
#include "crc/TCRC.h"
#include "crc/TCRC_82_DARC.h"

#include <QFile>
#include <QLatin1String>
#include <QTextStream>

namespace {

const char listFileName[] = "crc.lst";

template <class T>
ICRC *make()
{
    return new T;
}

struct CatalogueName
{
    const char *name;
    ICRC *(*create)();
};

// Every accepted name: the catalogue name of each class first, then its
// aliases; checksums first, then the CRCs by width. No name appears twice.
const CatalogueName catalogue[] = {
    {"CHKSUM-8/HEX",             make<TCHKSUM_8_HEX>},
    {"CHKSUM-8/MODBUS",          make<TCHKSUM_8_MODBUS>},
    {"CRC-3/GSM",                make<TCRC_3_GSM>},
    {"CRC-3/ROHC",               make<TCRC_3_ROHC>},
    {"CRC-4/G-704",              make<TCRC_4_G704>},
    {"CRC-4/ITU",                make<TCRC_4_G704>},
    {"CRC-4/INTERLAKEN",         make<TCRC_4_INTERLAKEN>},
    {"CRC-5/EPC-C1G2",           make<TCRC_5_EPC_C1G2>},
    {"CRC-5/EPC",                make<TCRC_5_EPC_C1G2>},
    {"CRC-5/G-704",              make<TCRC_5_G704>},
    {"CRC-5/ITU",                make<TCRC_5_G704>},
    {"CRC-5/USB",                make<TCRC_5_USB>},
    {"CRC-6/CDMA2000-A",         make<TCRC_6_CDMA2000A>},
    {"CRC-6/CDMA2000-B",         make<TCRC_6_CDMA2000B>},
    {"CRC-6/DARC",               make<TCRC_6_DARC>},
    {"CRC-6/G-704",              make<TCRC_6_G704>},
    {"CRC-6/ITU",                make<TCRC_6_G704>},
    {"CRC-6/GSM",                make<TCRC_6_GSM>},
    {"CRC-7/MMC",                make<TCRC_7_MMC>},
    {"CRC-7",                    make<TCRC_7_MMC>},
    {"CRC-7/ROHC",               make<TCRC_7_ROHC>},
    {"CRC-7/UMTS",               make<TCRC_7_UMTS>},
    {"CRC-8/AUTOSAR",            make<TCRC_8_AUTOSAR>},
    {"CRC-8/BLUETOOTH",          make<TCRC_8_BLUETOOTH>},
    {"CRC-8/CDMA2000",           make<TCRC_8_CDMA2000>},
    {"CRC-8/DARC",               make<TCRC_8_DARC>},
    {"CRC-8/DVB-S2",             make<TCRC_8_DVB_S2>},
    {"CRC-8/GSM-A",              make<TCRC_8_GSM_A>},
    {"CRC-8/GSM-B",              make<TCRC_8_GSM_B>},
    {"CRC-8/HITAG",              make<TCRC_8_HITAG>},
    {"CRC-8/I-CODE",             make<TCRC_8_ICODE>},
    {"CRC-8/I-432-1",            make<TCRC_8_I_432_1>},
    {"CRC-8/ITU",                make<TCRC_8_I_432_1>},
    {"CRC-8/LTE",                make<TCRC_8_LTE>},
    {"CRC-8/MAXIM-DOW",          make<TCRC_8_MAXIM_DOW>},
    {"CRC-8/MAXIM",              make<TCRC_8_MAXIM_DOW>},
    {"DOW-CRC",                  make<TCRC_8_MAXIM_DOW>},
    {"CRC-8/MIFARE-MAD",         make<TCRC_8_MIFARE_MAD>},
    {"CRC-8/NRSC-5",             make<TCRC_8_NRSC5>},
    {"CRC-8/OPENSAFETY",         make<TCRC_8_OPENSAFETY>},
    {"CRC-8/ROHC",               make<TCRC_8_ROHC>},
    {"CRC-8/SAE-J1850",          make<TCRC_8_SAE_J1850>},
    {"CRC-8/SMBUS",              make<TCRC_8_SMBUS>},
    {"CRC-8",                    make<TCRC_8_SMBUS>},
    {"CRC-8/TECH-3250",          make<TCRC_8_TECH_3250>},
    {"CRC-8/AES",                make<TCRC_8_TECH_3250>},
    {"CRC-8/EBU",                make<TCRC_8_TECH_3250>},
    {"CRC-8/WCDMA",              make<TCRC_8_WCDMA>},
    {"CRC-10/ATM",               make<TCRC_10_ATM>},
    {"CRC-10/I-610",             make<TCRC_10_ATM>},
    {"CRC-10",                   make<TCRC_10_ATM>},
    {"CRC-10/CDMA2000",          make<TCRC_10_CDMA2000>},
    {"CRC-10/GSM",               make<TCRC_10_GSM>},
    {"CRC-11/FLEXRAY",           make<TCRC_11_FLEXRAY>},
    {"CRC-11",                   make<TCRC_11_FLEXRAY>},
    {"CRC-11/UMTS",              make<TCRC_11_UMTS>},
    {"CRC-12/CDMA2000",          make<TCRC_12_CDMA2000>},
    {"CRC-12/DECT",              make<TCRC_12_DECT>},
    {"X-CRC-12",                 make<TCRC_12_DECT>},
    {"CRC-12/GSM",               make<TCRC_12_GSM>},
    {"CRC-12/UMTS",              make<TCRC_12_UMTS>},
    {"CRC-12/3GPP",              make<TCRC_12_UMTS>},
    {"CRC-13/BBC",               make<TCRC_13_BBC>},
    {"CRC-14/DARC",              make<TCRC_14_DARC>},
    {"CRC-14/GSM",               make<TCRC_14_GSM>},
    {"CRC-15/CAN",               make<TCRC_15_CAN>},
    {"CRC-15",                   make<TCRC_15_CAN>},
    {"CRC-15/MPT1327",           make<TCRC_15_MPT1327>},
    {"CRC-16/ARC",               make<TCRC_16_ARC>},
    {"ARC",                      make<TCRC_16_ARC>},
    {"CRC-16",                   make<TCRC_16_ARC>},
    {"CRC-16/LHA",               make<TCRC_16_ARC>},
    {"CRC-IBM",                  make<TCRC_16_ARC>},
    {"CRC-16/CDMA2000",          make<TCRC_16_CDMA2000>},
    {"CRC-16/CMS",               make<TCRC_16_CMS>},
    {"CRC-16/DDS-110",           make<TCRC_16_DDS_110>},
    {"CRC-16/DECT-R",            make<TCRC_16_DECT_R>},
    {"R-CRC-16",                 make<TCRC_16_DECT_R>},
    {"CRC-16/DECT-X",            make<TCRC_16_DECT_X>},
    {"X-CRC-16",                 make<TCRC_16_DECT_X>},
    {"CRC-16/DNP",               make<TCRC_16_DNP>},
    {"CRC-16/EN-13757",          make<TCRC_16_EN_13757>},
    {"CRC-16/GENIBUS",           make<TCRC_16_GENIBUS>},
    {"CRC-16/DARC",              make<TCRC_16_GENIBUS>},
    {"CRC-16/EPC",               make<TCRC_16_GENIBUS>},
    {"CRC-16/EPC-C1G2",          make<TCRC_16_GENIBUS>},
    {"CRC-16/I-CODE",            make<TCRC_16_GENIBUS>},
    {"CRC-16/GSM",               make<TCRC_16_GSM>},
    {"CRC-16/IBM-3740",          make<TCRC_16_IBM_3740>},
    {"CRC-16/AUTOSAR",           make<TCRC_16_IBM_3740>},
    {"CRC-16/CCITT-FALSE",       make<TCRC_16_IBM_3740>},
    {"CRC-16/IBM-SDLC",          make<TCRC_16_IBM_SDLC>},
    {"CRC-16/ISO-HDLC",          make<TCRC_16_IBM_SDLC>},
    {"CRC-16/ISO-IEC-14443-3-B", make<TCRC_16_IBM_SDLC>},
    {"CRC-16/X-25",              make<TCRC_16_IBM_SDLC>},
    {"CRC-B",                    make<TCRC_16_IBM_SDLC>},
    {"X-25",                     make<TCRC_16_IBM_SDLC>},
    {"CRC-16/ISO-IEC-14443-3-A", make<TCRC_16_ISO_IEC_14443_3A>},
    {"CRC-A",                    make<TCRC_16_ISO_IEC_14443_3A>},
    {"CRC-16/KERMIT",            make<TCRC_16_KERMIT>},
    {"CRC-16/BLUETOOTH",         make<TCRC_16_KERMIT>},
    {"CRC-16/CCITT",             make<TCRC_16_KERMIT>},
    {"CRC-16/CCITT-TRUE",        make<TCRC_16_KERMIT>},
    {"CRC-16/V-41-LSB",          make<TCRC_16_KERMIT>},
    {"CRC-CCITT",                make<TCRC_16_KERMIT>},
    {"KERMIT",                   make<TCRC_16_KERMIT>},
    {"CRC-16/LJ1200",            make<TCRC_16_LJ1200>},
    {"CRC-16/M17",               make<TCRC_16_M17>},
    {"CRC-16/MAXIM_DOW",         make<TCRC_16_MAXIM_DOW>},
    {"CRC-16/MAXIM",             make<TCRC_16_MAXIM_DOW>},
    {"CRC-16/MCRF4XX",           make<TCRC_16_MCRF4XX>},
    {"CRC-16/MODBUS",            make<TCRC_16_MODBUS>},
    {"MODBUS",                   make<TCRC_16_MODBUS>},
    {"CRC-16/NRSC-5",            make<TCRC_16_NRSC5>},
    {"CRC-16/OPENSAFETY-A",      make<TCRC_16_OPENSAFETY_A>},
    {"CRC-16/OPENSAFETY-B",      make<TCRC_16_OPENSAFETY_B>},
    {"CRC-16/PROFIBUS",          make<TCRC_16_PROFIBUS>},
    {"CRC-16/IEC-61158-2",       make<TCRC_16_PROFIBUS>},
    {"CRC-16/RIELLO",            make<TCRC_16_RIELLO>},
    {"CRC-16/SPI-FUJITSU",       make<TCRC_16_SPI_FUJITSU>},
    {"CRC-16/AUG-CCITT",         make<TCRC_16_SPI_FUJITSU>},
    {"CRC-16/T10-DIF",           make<TCRC_16_T10_DIF>},
    {"CRC-16/TELEDISK",          make<TCRC_16_TELEDISK>},
    {"CRC-16/TMS37157",          make<TCRC_16_TMS37157>},
    {"CRC-16/UMTS",              make<TCRC_16_UMTS>},
    {"CRC-16/BUYPASS",           make<TCRC_16_UMTS>},
    {"CRC-16/VERIFONE",          make<TCRC_16_UMTS>},
    {"CRC-16/USB",               make<TCRC_16_USB>},
    {"CRC-16/XMODEM",            make<TCRC_16_XMODEM>},
    {"CRC-16/ACORN",             make<TCRC_16_XMODEM>},
    {"CRC-16/LTE",               make<TCRC_16_XMODEM>},
    {"CRC-16/V-41-MSB",          make<TCRC_16_XMODEM>},
    {"XMODEM",                   make<TCRC_16_XMODEM>},
    {"ZMODEM",                   make<TCRC_16_XMODEM>},
    {"CRC-17/CAN-FD",            make<TCRC_17_CAN_FD>},
    {"CRC-21/CAN-FD",            make<TCRC_21_CAN_FD>},
    {"CRC-24/BLE",               make<TCRC_24_BLE>},
    {"CRC-24/FLEXRAY-A",         make<TCRC_24_FLEXRAYA>},
    {"CRC-24/FLEXRAY-B",         make<TCRC_24_FLEXRAYB>},
    {"CRC-24/INTERLAKEN",        make<TCRC_24_INTERLAKEN>},
    {"CRC-24/LTE-A",             make<TCRC_24_LTE_A>},
    {"CRC-24/LTE-B",             make<TCRC_24_LTE_B>},
    {"CRC-24/OPENPGP",           make<TCRC_24_OPENPGP>},
    {"CRC-24",                   make<TCRC_24_OPENPGP>},
    {"CRC-24/OS-9",              make<TCRC_24_OS9>},
    {"CRC-30/CDMA",              make<TCRC_30_CDMA>},
    {"CRC-31/PHILIPS",           make<TCRC_31_PHILIPS>},
    {"CRC-32/AIXM",              make<TCRC_32_AIXM>},
    {"CRC-32Q",                  make<TCRC_32_AIXM>},
    {"CRC-32/AUTOSAR",           make<TCRC_32_AUTOSAR>},
    {"CRC-32/BASE91-D",          make<TCRC_32_BASE91D>},
    {"CRC-32D",                  make<TCRC_32_BASE91D>},
    {"CRC-32/BZIP2",             make<TCRC_32_BZIP2>},
    {"CRC-32/AAL5",              make<TCRC_32_BZIP2>},
    {"CRC-32/DECT-B",            make<TCRC_32_BZIP2>},
    {"B-CRC-32",                 make<TCRC_32_BZIP2>},
    {"CRC-32/CD-ROM-EDC",        make<TCRC_32_CD_ROM_EDC>},
    {"CRC-32/CKSUM",             make<TCRC_32_CKSUM>},
    {"CKSUM",                    make<TCRC_32_CKSUM>},
    {"CRC-32/POSIX",             make<TCRC_32_CKSUM>},
    {"CRC-32/ISCSI",             make<TCRC_32_ISCSI>},
    {"CRC-32/BASE91-C",          make<TCRC_32_ISCSI>},
    {"CRC-32/CASTAGNOLI",        make<TCRC_32_ISCSI>},
    {"CRC-32/INTERLAKEN",        make<TCRC_32_ISCSI>},
    {"CRC-32C",                  make<TCRC_32_ISCSI>},
    {"CRC-32/ISO-HDLC",          make<TCRC_32_ISO_HDLC>},
    {"CRC-32",                   make<TCRC_32_ISO_HDLC>},
    {"CRC-32/ADCCP",             make<TCRC_32_ISO_HDLC>},
    {"CRC-32/V-42",              make<TCRC_32_ISO_HDLC>},
    {"CRC-32/XZ",                make<TCRC_32_ISO_HDLC>},
    {"PKZIP",                    make<TCRC_32_ISO_HDLC>},
    {"CRC-32/JAMCRC",            make<TCRC_32_JAMCRC>},
    {"JAMCRC",                   make<TCRC_32_JAMCRC>},
    {"CRC-32/MEF",               make<TCRC_32_MEF>},
    {"CRC-32/MPEG-2",            make<TCRC_32_MPEG2>},
    {"CRC-32/SATA",              make<TCRC_32_SATA>},
    {"CRC-32/XFER",              make<TCRC_32_XFER>},
    {"XFER",                     make<TCRC_32_XFER>},
    {"CRC-40/GSM",               make<TCRC_40_GSM>},
    {"CRC-64/ECMA-182",          make<TCRC_64_ECMA_182>},
    {"CRC-64",                   make<TCRC_64_ECMA_182>},
    {"CRC-64/GO-ISO",            make<TCRC_64_GO_ISO>},
    {"CRC-64/MS",                make<TCRC_64_MS>},
    {"CRC-64/REDIS",             make<TCRC_64_REDIS>},
    {"CRC-64/WE",                make<TCRC_64_WE>},
    {"CRC-64/XZ",                make<TCRC_64_XZ>},
    {"CRC-64/GO-ECMA",           make<TCRC_64_XZ>},
    {"CRC-82/DARC",              make<TCRC_82_DARC>},
};

} // namespace

ICRC *createCRC(const QString &name)
{
    for (const CatalogueName &entry : catalogue)
        if (name == QLatin1String(entry.name))
            return entry.create();
    return nullptr;
}

bool isCRCName(const QString &name)
{
    for (const CatalogueName &entry : catalogue)
        if (name == QLatin1String(entry.name))
            return true;
    return false;
}

QString defaultCRCName()
{
    return QStringLiteral("CRC-32");
}

QStringList enabledCRCNames()
{
    QStringList names;
    QFile file(makeAbsolutePath(appDirPath(), QString::fromLatin1(listFileName)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    QTextStream in(&file);
    in.setCodec(CODEC_NAME);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        // The name is kept as written, blanks before "=" included.
        if (line.mid(eq + 1).trimmed() == QLatin1String("1"))
            names.append(line.left(eq));
    }
    return names;
}
