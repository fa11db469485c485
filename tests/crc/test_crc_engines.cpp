// The CRC and checksum engines against the published check values, the
// values over no input, a bitwise reference model, and feeding in pieces.

#include "crc/ICRC.h"
#include "crc/TCHKSUM_8.h"
#include "crc/TCRC.h"
#include "crc/TCRC_82_DARC.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

template <class T>
ICRC *make()
{
    return new T;
}

using Maker = ICRC *(*)();

struct Engine
{
    const char *className;
    Maker create;
    const char *check; // over "123456789", most significant byte first
};

#define ROW(Class, check) {#Class, make<Class>, check}

const Engine engines[] = {
    ROW(TCHKSUM_8_HEX, "23"),
    ROW(TCHKSUM_8_MODBUS, "23"),
    ROW(TCRC_3_GSM, "04"),
    ROW(TCRC_3_ROHC, "06"),
    ROW(TCRC_4_G704, "07"),
    ROW(TCRC_4_INTERLAKEN, "0B"),
    ROW(TCRC_5_EPC_C1G2, "00"),
    ROW(TCRC_5_G704, "07"),
    ROW(TCRC_5_USB, "19"),
    ROW(TCRC_6_CDMA2000A, "0D"),
    ROW(TCRC_6_CDMA2000B, "3B"),
    ROW(TCRC_6_DARC, "26"),
    ROW(TCRC_6_G704, "06"),
    ROW(TCRC_6_GSM, "13"),
    ROW(TCRC_7_MMC, "75"),
    ROW(TCRC_7_ROHC, "53"),
    ROW(TCRC_7_UMTS, "61"),
    ROW(TCRC_8_AUTOSAR, "DF"),
    ROW(TCRC_8_BLUETOOTH, "26"),
    ROW(TCRC_8_CDMA2000, "DA"),
    ROW(TCRC_8_DARC, "15"),
    ROW(TCRC_8_DVB_S2, "BC"),
    ROW(TCRC_8_GSM_A, "37"),
    ROW(TCRC_8_GSM_B, "94"),
    ROW(TCRC_8_HITAG, "B4"),
    ROW(TCRC_8_ICODE, "7E"),
    ROW(TCRC_8_I_432_1, "A1"),
    ROW(TCRC_8_LTE, "EA"),
    ROW(TCRC_8_MAXIM_DOW, "A1"),
    ROW(TCRC_8_MIFARE_MAD, "99"),
    ROW(TCRC_8_NRSC5, "F7"),
    ROW(TCRC_8_OPENSAFETY, "3E"),
    ROW(TCRC_8_ROHC, "D0"),
    ROW(TCRC_8_SAE_J1850, "4B"),
    ROW(TCRC_8_SMBUS, "F4"),
    ROW(TCRC_8_TECH_3250, "97"),
    ROW(TCRC_8_WCDMA, "25"),
    ROW(TCRC_10_ATM, "0199"),
    ROW(TCRC_10_CDMA2000, "0233"),
    ROW(TCRC_10_GSM, "012A"),
    ROW(TCRC_11_FLEXRAY, "05A3"),
    ROW(TCRC_11_UMTS, "0061"),
    ROW(TCRC_12_CDMA2000, "0D4D"),
    ROW(TCRC_12_DECT, "0F5B"),
    ROW(TCRC_12_GSM, "0B34"),
    ROW(TCRC_12_UMTS, "0DAF"),
    ROW(TCRC_13_BBC, "04FA"),
    ROW(TCRC_14_DARC, "082D"),
    ROW(TCRC_14_GSM, "30AE"),
    ROW(TCRC_15_CAN, "059E"),
    ROW(TCRC_15_MPT1327, "2566"),
    ROW(TCRC_16_ARC, "BB3D"),
    ROW(TCRC_16_CDMA2000, "4C06"),
    ROW(TCRC_16_CMS, "AEE7"),
    ROW(TCRC_16_DDS_110, "9ECF"),
    ROW(TCRC_16_DECT_R, "007E"),
    ROW(TCRC_16_DECT_X, "007F"),
    ROW(TCRC_16_DNP, "EA82"),
    ROW(TCRC_16_EN_13757, "C2B7"),
    ROW(TCRC_16_GENIBUS, "D64E"),
    ROW(TCRC_16_GSM, "CE3C"),
    ROW(TCRC_16_IBM_3740, "29B1"),
    ROW(TCRC_16_IBM_SDLC, "906E"),
    ROW(TCRC_16_ISO_IEC_14443_3A, "BF05"),
    ROW(TCRC_16_KERMIT, "2189"),
    ROW(TCRC_16_LJ1200, "BDF4"),
    ROW(TCRC_16_M17, "772B"),
    ROW(TCRC_16_MAXIM_DOW, "44C2"),
    ROW(TCRC_16_MCRF4XX, "6F91"),
    ROW(TCRC_16_MODBUS, "4B37"),
    ROW(TCRC_16_NRSC5, "A066"),
    ROW(TCRC_16_OPENSAFETY_A, "5D38"),
    ROW(TCRC_16_OPENSAFETY_B, "20FE"),
    ROW(TCRC_16_PROFIBUS, "A819"),
    ROW(TCRC_16_RIELLO, "63D0"),
    ROW(TCRC_16_SPI_FUJITSU, "E5CC"),
    ROW(TCRC_16_T10_DIF, "D0DB"),
    ROW(TCRC_16_TELEDISK, "0FB3"),
    ROW(TCRC_16_TMS37157, "26B1"),
    ROW(TCRC_16_UMTS, "FEE8"),
    ROW(TCRC_16_USB, "B4C8"),
    ROW(TCRC_16_XMODEM, "31C3"),
    ROW(TCRC_17_CAN_FD, "004F03"),
    ROW(TCRC_21_CAN_FD, "0ED841"),
    ROW(TCRC_24_BLE, "C25A56"),
    ROW(TCRC_24_FLEXRAYA, "7979BD"),
    ROW(TCRC_24_FLEXRAYB, "1F23B8"),
    ROW(TCRC_24_INTERLAKEN, "B4F3E6"),
    ROW(TCRC_24_LTE_A, "CDE703"),
    ROW(TCRC_24_LTE_B, "23EF52"),
    ROW(TCRC_24_OPENPGP, "21CF02"),
    ROW(TCRC_24_OS9, "200FA5"),
    ROW(TCRC_30_CDMA, "04C34ABF"),
    ROW(TCRC_31_PHILIPS, "0CE9E46C"),
    ROW(TCRC_32_AIXM, "3010BF7F"),
    ROW(TCRC_32_AUTOSAR, "1697D06A"),
    ROW(TCRC_32_BASE91D, "87315576"),
    ROW(TCRC_32_BZIP2, "FC891918"),
    ROW(TCRC_32_CD_ROM_EDC, "6EC2EDC4"),
    ROW(TCRC_32_CKSUM, "765E7680"),
    ROW(TCRC_32_ISCSI, "E3069283"),
    ROW(TCRC_32_ISO_HDLC, "CBF43926"),
    ROW(TCRC_32_JAMCRC, "340BC6D9"),
    ROW(TCRC_32_MEF, "D2C22F51"),
    ROW(TCRC_32_MPEG2, "0376E6E7"),
    ROW(TCRC_32_SATA, "CF72AFE8"),
    ROW(TCRC_32_XFER, "BD0BE338"),
    ROW(TCRC_40_GSM, "D4164FC646"),
    ROW(TCRC_64_ECMA_182, "6C40DF5F0B497347"),
    ROW(TCRC_64_GO_ISO, "B90956C775A41001"),
    ROW(TCRC_64_MS, "75D4B74F024ECEEA"),
    ROW(TCRC_64_REDIS, "E9C6D914C4B8D9CA"),
    ROW(TCRC_64_WE, "62EC59E3F1A4F00A"),
    ROW(TCRC_64_XZ, "995DC9BBDF1939FA"),
    ROW(TCRC_82_DARC, "009EA83F625023801FD612"),
};

#undef ROW

const QByteArray digits("123456789");

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex().toUpper();
}

QByteArray resultOf(Maker create, const QList<QByteArray> &pieces)
{
    std::unique_ptr<ICRC> crc(create());
    for (const QByteArray &piece : pieces)
        crc->update(piece.constData(), piece.size());
    return crc->result();
}

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray data(size, '\0');
    for (char &c : data)
        c = char(gen.bounded(256));
    return data;
}

// Cuts the data into pieces of irregular sizes, empty ones included.
QList<QByteArray> irregularPieces(const QByteArray &data)
{
    static const int sizes[] = {0, 1, 7, 0, 8, 9, 3, 16, 15, 17, 64, 5, 2};
    QList<QByteArray> pieces;
    int pos = 0;
    for (int i = 0; pos < data.size(); ++i) {
        const int size = sizes[i % int(sizeof sizes / sizeof sizes[0])];
        pieces << data.mid(pos, size);
        pos += size;
    }
    return pieces;
}

QList<QByteArray> singleBytes(const QByteArray &data)
{
    QList<QByteArray> pieces;
    for (char c : data)
        pieces << QByteArray(1, c);
    return pieces;
}

// The textbook bit-at-a-time CRC, independent of the engines' tables.
quint64 reference(int width, quint64 poly, quint64 init, bool refIn, bool refOut, quint64 xorOut,
                  const QByteArray &data)
{
    const quint64 mask = width == 64 ? ~quint64(0) : (quint64(1) << width) - 1;
    const quint64 top = quint64(1) << (width - 1);
    auto reflect = [](quint64 v, int bits) {
        quint64 r = 0;
        for (int i = 0; i < bits; ++i)
            if (v & (quint64(1) << i))
                r |= quint64(1) << (bits - 1 - i);
        return r;
    };
    quint64 reg = init;
    for (char c : data) {
        const quint64 byte = refIn ? reflect(uchar(c), 8) : uchar(c);
        for (int bit = 7; bit >= 0; --bit) {
            const bool feedback = bool(reg & top) != bool((byte >> bit) & 1);
            reg = (reg << 1) & mask;
            if (feedback)
                reg ^= poly;
        }
    }
    if (refOut)
        reg = reflect(reg, width);
    return (reg ^ xorOut) & mask;
}

QByteArray bigEndian(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Maker)

class TestCrcEngines : public QObject
{
    Q_OBJECT

private slots:
    void checkValue_data();
    void checkValue();
    void piecesOfLongInput_data();
    void piecesOfLongInput();
    void emptyInput_data();
    void emptyInput();
    void againstBitwiseModel_data();
    void againstBitwiseModel();
    void knownLongInputs();
    void crc82();
    void checksums();
};

void TestCrcEngines::checkValue_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(sizeof engines / sizeof engines[0]); ++i)
        QTest::newRow(engines[i].className) << i;
    QCOMPARE(int(sizeof engines / sizeof engines[0]), 115);
}

void TestCrcEngines::checkValue()
{
    QFETCH(int, index);
    const Engine &e = engines[index];
    const QByteArray expected(e.check);

    QCOMPARE(hex(resultOf(e.create, {digits})), expected);
    QCOMPARE(hex(resultOf(e.create, {digits.left(1), QByteArray(), digits.mid(1)})), expected);
    QCOMPARE(hex(resultOf(e.create, singleBytes(digits))), expected);
    QCOMPARE(hex(resultOf(e.create, {QByteArray(), digits, QByteArray()})), expected);
}

void TestCrcEngines::piecesOfLongInput_data()
{
    checkValue_data();
}

// Long input goes through the eight-bytes-at-a-time path; feeding it a byte
// at a time, in odd pieces or from an odd address must not change the value.
void TestCrcEngines::piecesOfLongInput()
{
    QFETCH(int, index);
    const Engine &e = engines[index];
    const QByteArray data = randomBytes(1031, 0x5eed0000u + quint32(index));

    const QByteArray whole = resultOf(e.create, {data});
    QCOMPARE(hex(resultOf(e.create, singleBytes(data))), hex(whole));
    QCOMPARE(hex(resultOf(e.create, irregularPieces(data))), hex(whole));

    const QByteArray shifted = QByteArray("x") + data;
    std::unique_ptr<ICRC> crc(e.create());
    crc->update(shifted.constData() + 1, data.size());
    QCOMPARE(hex(crc->result()), hex(whole));

    // A negative length is a caller's fault; it must not read anything.
    std::unique_ptr<ICRC> neg(e.create());
    neg->update(digits.constData(), -5);
    neg->update(digits.constData(), digits.size());
    QCOMPARE(hex(neg->result()), QByteArray(e.check));
}

void TestCrcEngines::emptyInput_data()
{
    QTest::addColumn<Maker>("create");
    QTest::addColumn<QByteArray>("expected");
    auto row = [](const char *name, Maker create, const char *expected) {
        QTest::newRow(name) << create << QByteArray(expected);
    };
    row("CRC-32/ISO-HDLC", make<TCRC_32_ISO_HDLC>, "00000000");
    row("CRC-32/MPEG-2", make<TCRC_32_MPEG2>, "FFFFFFFF");
    row("CRC-16/IBM-3740", make<TCRC_16_IBM_3740>, "FFFF");
    row("CRC-3/GSM", make<TCRC_3_GSM>, "07");
    row("CRC-11/FLEXRAY", make<TCRC_11_FLEXRAY>, "001A");
    row("CRC-5/EPC-C1G2", make<TCRC_5_EPC_C1G2>, "09");
    row("CRC-82/DARC", make<TCRC_82_DARC>, "0000000000000000000000");
    row("CHKSUM-8/HEX", make<TCHKSUM_8_HEX>, "00");
    row("CHKSUM-8/MODBUS", make<TCHKSUM_8_MODBUS>, "00");
    // Reflected engines start from their initial value bit-reversed.
    row("CRC-16/ISO-IEC-14443-3-A", make<TCRC_16_ISO_IEC_14443_3A>, "6363");
    row("CRC-16/RIELLO", make<TCRC_16_RIELLO>, "554D");
    row("CRC-16/TMS37157", make<TCRC_16_TMS37157>, "3791");
    row("CRC-24/BLE", make<TCRC_24_BLE>, "AAAAAA");
    // Normal engines narrower than a byte start from the shifted value.
    row("CRC-4/INTERLAKEN", make<TCRC_4_INTERLAKEN>, "00");
    row("CRC-6/CDMA2000-A", make<TCRC_6_CDMA2000A>, "3F");
    row("CRC-40/GSM", make<TCRC_40_GSM>, "FFFFFFFFFF");
    row("CRC-64/XZ", make<TCRC_64_XZ>, "0000000000000000");
}

void TestCrcEngines::emptyInput()
{
    QFETCH(Maker, create);
    QFETCH(QByteArray, expected);
    QCOMPARE(hex(resultOf(create, {})), expected);
    QCOMPARE(hex(resultOf(create, {QByteArray(), QByteArray()})), expected);
}

void TestCrcEngines::againstBitwiseModel_data()
{
    QTest::addColumn<Maker>("create");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint64>("poly");
    QTest::addColumn<quint64>("init");
    QTest::addColumn<bool>("refIn");
    QTest::addColumn<bool>("refOut");
    QTest::addColumn<quint64>("xorOut");
    auto row = [](const char *name, Maker create, int width, quint64 poly, quint64 init, bool refIn,
                  bool refOut, quint64 xorOut) {
        QTest::newRow(name) << create << width << poly << init << refIn << refOut
                            << xorOut;
    };
    // One engine of every register layout.
    row("CRC-3/ROHC", make<TCRC_3_ROHC>, 3, 0x3, 0x7, true, true, 0x0);
    row("CRC-5/EPC-C1G2", make<TCRC_5_EPC_C1G2>, 5, 0x09, 0x09, false, false, 0x00);
    row("CRC-8/AUTOSAR", make<TCRC_8_AUTOSAR>, 8, 0x2F, 0xFF, false, false, 0xFF);
    row("CRC-11/FLEXRAY", make<TCRC_11_FLEXRAY>, 11, 0x385, 0x01A, false, false, 0x000);
    row("CRC-12/UMTS", make<TCRC_12_UMTS>, 12, 0x80F, 0x000, false, true, 0x000);
    row("CRC-16/RIELLO", make<TCRC_16_RIELLO>, 16, 0x1021, 0xB2AA, true, true, 0x0000);
    row("CRC-21/CAN-FD", make<TCRC_21_CAN_FD>, 21, 0x102899, 0x000000, false, false, 0x000000);
    row("CRC-24/BLE", make<TCRC_24_BLE>, 24, 0x00065B, 0x555555, true, true, 0x000000);
    row("CRC-32/BZIP2", make<TCRC_32_BZIP2>, 32, 0x04C11DB7, 0xFFFFFFFF, false, false, 0xFFFFFFFF);
    row("CRC-40/GSM", make<TCRC_40_GSM>, 40, 0x0004820009, 0, false, false, 0xFFFFFFFFFF);
    row("CRC-64/WE", make<TCRC_64_WE>, 64, 0x42F0E1EBA9EA3693, ~quint64(0), false, false, ~quint64(0));
    row("CRC-64/XZ", make<TCRC_64_XZ>, 64, 0x42F0E1EBA9EA3693, ~quint64(0), true, true, ~quint64(0));
}

void TestCrcEngines::againstBitwiseModel()
{
    QFETCH(Maker, create);
    QFETCH(int, width);
    QFETCH(quint64, poly);
    QFETCH(quint64, init);
    QFETCH(bool, refIn);
    QFETCH(bool, refOut);
    QFETCH(quint64, xorOut);
    const int bytes = (width + 7) / 8;
    for (int size : {0, 1, 8, 9, 100, 4099}) {
        const QByteArray data = randomBytes(size, quint32(size * 7 + width));
        const quint64 expected = reference(width, poly, init, refIn, refOut, xorOut, data);
        QCOMPARE(hex(resultOf(create, {data})), hex(bigEndian(expected, bytes)));
    }
}

void TestCrcEngines::knownLongInputs()
{
    const QByteArray fox("The quick brown fox jumps over the lazy dog");
    QCOMPARE(hex(resultOf(make<TCRC_32_ISO_HDLC>, {fox})), QByteArray("414FA339"));
    QCOMPARE(hex(resultOf(make<TCRC_32_ISCSI>, {fox})), QByteArray("22620404"));
    // A megabyte of 0xFF in 64 KiB pieces against the same bytes in one go.
    const QByteArray ones(1 << 20, char(0xFF));
    QList<QByteArray> pieces;
    for (int i = 0; i < 16; ++i)
        pieces << ones.mid(i << 16, 1 << 16);
    QCOMPARE(hex(resultOf(make<TCRC_64_XZ>, pieces)), hex(resultOf(make<TCRC_64_XZ>, {ones})));
}

void TestCrcEngines::crc82()
{
    // The first byte carries bits 81 and 80 only.
    for (int size : {1, 2, 9, 40, 333}) {
        const QByteArray r = resultOf(make<TCRC_82_DARC>, {randomBytes(size, quint32(size))});
        QCOMPARE(r.size(), 11);
        QVERIFY2((uchar(r.at(0)) & 0xFC) == 0, hex(r).constData());
    }
    // A reflected CRC without final XOR: appending the CRC's bytes, low
    // byte first, brings the register back to zero.
    const QByteArray data = randomBytes(77, 82);
    const QByteArray crc = resultOf(make<TCRC_82_DARC>, {data});
    QByteArray tail;
    for (int i = crc.size() - 1; i >= 0; --i)
        tail.append(crc.at(i));
    QCOMPARE(hex(resultOf(make<TCRC_82_DARC>, {data, tail})), QByteArray(22, '0'));
}

void TestCrcEngines::checksums()
{
    const QByteArray pair("\x01\xFF", 2);
    QCOMPARE(hex(resultOf(make<TCHKSUM_8_HEX>, {pair})), QByteArray("00"));
    QCOMPARE(hex(resultOf(make<TCHKSUM_8_MODBUS>, {pair})), QByteArray("00"));

    const QByteArray data = randomBytes(5000, 8);
    const QByteArray sum = resultOf(make<TCHKSUM_8_HEX>, {data});
    QCOMPARE(resultOf(make<TCHKSUM_8_MODBUS>, irregularPieces(data)), sum);
    quint8 total = 0;
    for (char c : data)
        total = quint8(total + uchar(c));
    QCOMPARE(quint8(total + uchar(sum.at(0))), quint8(0));
    QCOMPARE(resultOf(make<TCHKSUM_8_HEX>, {data, sum}), QByteArray(1, '\0'));
}

QTEST_GUILESS_MAIN(TestCrcEngines)
#include "test_crc_engines.moc"
