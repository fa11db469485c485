#pragma once

#include "crc/ICRC.h"
#include "crc/TCRCModel.h"

// The table-driven CRC classes, widths 3 to 64. Each class computes with
// the TCRCModel of its parameters and holds nothing but its running register.
// The 82-bit CRC is TCRC_82_DARC, the checksums are in TCHKSUM_8.h.
//
// Columns: class, width, polynomial, initial value, reflected input,
// reflected output, final XOR; values in normal bit order.
#define VELKOR_TABLE_CRC(Class, Width, Poly, Init, RefIn, RefOut, XorOut)                 \
    class Class final : public ICRC                                                       \
    {                                                                                     \
        using Model = TCRCModel<Width, Poly, Init, RefIn, RefOut, XorOut>;                \
                                                                                          \
    public:                                                                               \
        Class() : m_reg(Model::start()) {}                                                \
        void update(const char *data, qint64 length) override                            \
        {                                                                                 \
            m_reg = Model::update(m_reg, data, length);                                   \
        }                                                                                 \
        QByteArray result() override { return Model::result(m_reg); }                    \
                                                                                          \
    private:                                                                              \
        Model::Register m_reg;                                                            \
    };

VELKOR_TABLE_CRC(TCRC_3_GSM,               3,  0x3,                0x0,                false, false, 0x7)
VELKOR_TABLE_CRC(TCRC_3_ROHC,              3,  0x3,                0x7,                true,  true,  0x0)

VELKOR_TABLE_CRC(TCRC_4_G704,              4,  0x3,                0x0,                true,  true,  0x0)
VELKOR_TABLE_CRC(TCRC_4_INTERLAKEN,        4,  0x3,                0xF,                false, false, 0xF)

VELKOR_TABLE_CRC(TCRC_5_EPC_C1G2,          5,  0x09,               0x09,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_5_G704,              5,  0x15,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_5_USB,               5,  0x05,               0x1F,               true,  true,  0x1F)

VELKOR_TABLE_CRC(TCRC_6_CDMA2000A,         6,  0x27,               0x3F,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_6_CDMA2000B,         6,  0x07,               0x3F,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_6_DARC,              6,  0x19,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_6_G704,              6,  0x03,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_6_GSM,               6,  0x2F,               0x00,               false, false, 0x3F)

VELKOR_TABLE_CRC(TCRC_7_MMC,               7,  0x09,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_7_ROHC,              7,  0x4F,               0x7F,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_7_UMTS,              7,  0x45,               0x00,               false, false, 0x00)

VELKOR_TABLE_CRC(TCRC_8_AUTOSAR,           8,  0x2F,               0xFF,               false, false, 0xFF)
VELKOR_TABLE_CRC(TCRC_8_BLUETOOTH,         8,  0xA7,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_8_CDMA2000,          8,  0x9B,               0xFF,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_DARC,              8,  0x39,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_8_DVB_S2,            8,  0xD5,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_GSM_A,             8,  0x1D,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_GSM_B,             8,  0x49,               0x00,               false, false, 0xFF)
VELKOR_TABLE_CRC(TCRC_8_HITAG,             8,  0x1D,               0xFF,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_ICODE,             8,  0x1D,               0xFD,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_I_432_1,           8,  0x07,               0x00,               false, false, 0x55)
VELKOR_TABLE_CRC(TCRC_8_LTE,               8,  0x9B,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_MAXIM_DOW,         8,  0x31,               0x00,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_8_MIFARE_MAD,        8,  0x1D,               0xC7,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_NRSC5,             8,  0x31,               0xFF,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_OPENSAFETY,        8,  0x2F,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_ROHC,              8,  0x07,               0xFF,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_8_SAE_J1850,         8,  0x1D,               0xFF,               false, false, 0xFF)
VELKOR_TABLE_CRC(TCRC_8_SMBUS,             8,  0x07,               0x00,               false, false, 0x00)
VELKOR_TABLE_CRC(TCRC_8_TECH_3250,         8,  0x1D,               0xFF,               true,  true,  0x00)
VELKOR_TABLE_CRC(TCRC_8_WCDMA,             8,  0x9B,               0x00,               true,  true,  0x00)

VELKOR_TABLE_CRC(TCRC_10_ATM,              10, 0x233,              0x000,              false, false, 0x000)
VELKOR_TABLE_CRC(TCRC_10_CDMA2000,         10, 0x3D9,              0x3FF,              false, false, 0x000)
VELKOR_TABLE_CRC(TCRC_10_GSM,              10, 0x175,              0x000,              false, false, 0x3FF)

VELKOR_TABLE_CRC(TCRC_11_FLEXRAY,          11, 0x385,              0x01A,              false, false, 0x000)
VELKOR_TABLE_CRC(TCRC_11_UMTS,             11, 0x307,              0x000,              false, false, 0x000)

VELKOR_TABLE_CRC(TCRC_12_CDMA2000,         12, 0xF13,              0xFFF,              false, false, 0x000)
VELKOR_TABLE_CRC(TCRC_12_DECT,             12, 0x80F,              0x000,              false, false, 0x000)
VELKOR_TABLE_CRC(TCRC_12_GSM,              12, 0xD31,              0x000,              false, false, 0xFFF)
VELKOR_TABLE_CRC(TCRC_12_UMTS,             12, 0x80F,              0x000,              false, true,  0x000)

VELKOR_TABLE_CRC(TCRC_13_BBC,              13, 0x1CF5,             0x0000,             false, false, 0x0000)

VELKOR_TABLE_CRC(TCRC_14_DARC,             14, 0x0805,             0x0000,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_14_GSM,              14, 0x202D,             0x0000,             false, false, 0x3FFF)

VELKOR_TABLE_CRC(TCRC_15_CAN,              15, 0x4599,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_15_MPT1327,          15, 0x6815,             0x0000,             false, false, 0x0001)

VELKOR_TABLE_CRC(TCRC_16_ARC,              16, 0x8005,             0x0000,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_CDMA2000,         16, 0xC867,             0xFFFF,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_CMS,              16, 0x8005,             0xFFFF,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_DDS_110,          16, 0x8005,             0x800D,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_DECT_R,           16, 0x0589,             0x0000,             false, false, 0x0001)
VELKOR_TABLE_CRC(TCRC_16_DECT_X,           16, 0x0589,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_DNP,              16, 0x3D65,             0x0000,             true,  true,  0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_EN_13757,         16, 0x3D65,             0x0000,             false, false, 0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_GENIBUS,          16, 0x1021,             0xFFFF,             false, false, 0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_GSM,              16, 0x1021,             0x0000,             false, false, 0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_IBM_3740,         16, 0x1021,             0xFFFF,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_IBM_SDLC,         16, 0x1021,             0xFFFF,             true,  true,  0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_ISO_IEC_14443_3A, 16, 0x1021,             0xC6C6,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_KERMIT,           16, 0x1021,             0x0000,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_LJ1200,           16, 0x6F63,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_M17,              16, 0x5935,             0xFFFF,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_MAXIM_DOW,        16, 0x8005,             0x0000,             true,  true,  0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_MCRF4XX,          16, 0x1021,             0xFFFF,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_MODBUS,           16, 0x8005,             0xFFFF,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_NRSC5,            16, 0x080B,             0xFFFF,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_OPENSAFETY_A,     16, 0x5935,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_OPENSAFETY_B,     16, 0x755B,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_PROFIBUS,         16, 0x1DCF,             0xFFFF,             false, false, 0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_RIELLO,           16, 0x1021,             0xB2AA,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_SPI_FUJITSU,      16, 0x1021,             0x1D0F,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_T10_DIF,          16, 0x8BB7,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_TELEDISK,         16, 0xA097,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_TMS37157,         16, 0x1021,             0x89EC,             true,  true,  0x0000)
VELKOR_TABLE_CRC(TCRC_16_UMTS,             16, 0x8005,             0x0000,             false, false, 0x0000)
VELKOR_TABLE_CRC(TCRC_16_USB,              16, 0x8005,             0xFFFF,             true,  true,  0xFFFF)
VELKOR_TABLE_CRC(TCRC_16_XMODEM,           16, 0x1021,             0x0000,             false, false, 0x0000)

VELKOR_TABLE_CRC(TCRC_17_CAN_FD,           17, 0x1685B,            0x00000,            false, false, 0x00000)

VELKOR_TABLE_CRC(TCRC_21_CAN_FD,           21, 0x102899,           0x000000,           false, false, 0x000000)

VELKOR_TABLE_CRC(TCRC_24_BLE,              24, 0x00065B,           0x555555,           true,  true,  0x000000)
VELKOR_TABLE_CRC(TCRC_24_FLEXRAYA,         24, 0x5D6DCB,           0xFEDCBA,           false, false, 0x000000)
VELKOR_TABLE_CRC(TCRC_24_FLEXRAYB,         24, 0x5D6DCB,           0xABCDEF,           false, false, 0x000000)
VELKOR_TABLE_CRC(TCRC_24_INTERLAKEN,       24, 0x328B63,           0xFFFFFF,           false, false, 0xFFFFFF)
VELKOR_TABLE_CRC(TCRC_24_LTE_A,            24, 0x864CFB,           0x000000,           false, false, 0x000000)
VELKOR_TABLE_CRC(TCRC_24_LTE_B,            24, 0x800063,           0x000000,           false, false, 0x000000)
VELKOR_TABLE_CRC(TCRC_24_OPENPGP,          24, 0x864CFB,           0xB704CE,           false, false, 0x000000)
VELKOR_TABLE_CRC(TCRC_24_OS9,              24, 0x800063,           0xFFFFFF,           false, false, 0xFFFFFF)

VELKOR_TABLE_CRC(TCRC_30_CDMA,             30, 0x2030B9C7,         0x3FFFFFFF,         false, false, 0x3FFFFFFF)

VELKOR_TABLE_CRC(TCRC_31_PHILIPS,          31, 0x04C11DB7,         0x7FFFFFFF,         false, false, 0x7FFFFFFF)

VELKOR_TABLE_CRC(TCRC_32_AIXM,             32, 0x814141AB,         0x00000000,         false, false, 0x00000000)
VELKOR_TABLE_CRC(TCRC_32_AUTOSAR,          32, 0xF4ACFB13,         0xFFFFFFFF,         true,  true,  0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_BASE91D,          32, 0xA833982B,         0xFFFFFFFF,         true,  true,  0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_BZIP2,            32, 0x04C11DB7,         0xFFFFFFFF,         false, false, 0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_CD_ROM_EDC,       32, 0x8001801B,         0x00000000,         true,  true,  0x00000000)
VELKOR_TABLE_CRC(TCRC_32_CKSUM,            32, 0x04C11DB7,         0x00000000,         false, false, 0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_ISCSI,            32, 0x1EDC6F41,         0xFFFFFFFF,         true,  true,  0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_ISO_HDLC,         32, 0x04C11DB7,         0xFFFFFFFF,         true,  true,  0xFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_32_JAMCRC,           32, 0x04C11DB7,         0xFFFFFFFF,         true,  true,  0x00000000)
VELKOR_TABLE_CRC(TCRC_32_MEF,              32, 0x741B8CD7,         0xFFFFFFFF,         true,  true,  0x00000000)
VELKOR_TABLE_CRC(TCRC_32_MPEG2,            32, 0x04C11DB7,         0xFFFFFFFF,         false, false, 0x00000000)
VELKOR_TABLE_CRC(TCRC_32_SATA,             32, 0x04C11DB7,         0x52325032,         false, false, 0x00000000)
VELKOR_TABLE_CRC(TCRC_32_XFER,             32, 0x000000AF,         0x00000000,         false, false, 0x00000000)

VELKOR_TABLE_CRC(TCRC_40_GSM,              40, 0x0004820009,       0x0000000000,       false, false, 0xFFFFFFFFFF)

VELKOR_TABLE_CRC(TCRC_64_ECMA_182,         64, 0x42F0E1EBA9EA3693, 0x0000000000000000, false, false, 0x0000000000000000)
VELKOR_TABLE_CRC(TCRC_64_GO_ISO,           64, 0x000000000000001B, 0xFFFFFFFFFFFFFFFF, true,  true,  0xFFFFFFFFFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_64_MS,               64, 0x259C84CBA6426349, 0xFFFFFFFFFFFFFFFF, true,  true,  0x0000000000000000)
VELKOR_TABLE_CRC(TCRC_64_REDIS,            64, 0xAD93D23594C935A9, 0x0000000000000000, true,  true,  0x0000000000000000)
VELKOR_TABLE_CRC(TCRC_64_WE,               64, 0x42F0E1EBA9EA3693, 0xFFFFFFFFFFFFFFFF, false, false, 0xFFFFFFFFFFFFFFFF)
VELKOR_TABLE_CRC(TCRC_64_XZ,               64, 0x42F0E1EBA9EA3693, 0xFFFFFFFFFFFFFFFF, true,  true,  0xFFFFFFFFFFFFFFFF)

#undef VELKOR_TABLE_CRC
