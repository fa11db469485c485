#include "misc/dev_misc.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/check_messages.h"
#include "devices/param_schema.h"
#include "link/TProg.h"

#include <QStringList>

#include <limits>

namespace {

const QString source = QStringLiteral("misc\\dev_misc");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

QString hexOf(quint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString withoutWhiteSpace(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace())
            out.append(c);
    return out;
}

} // namespace

QString hexText(int value)
{
    return hexOf(quint64(qint64(value)));
}

QString hexText64(qint64 value)
{
    return hexOf(quint64(value));
}

QString rangeText(qint64 first, qint64 count, quint8 fill)
{
    const qint64 last = qint64(quint64(first) + quint64(count) - 1);
    return QStringLiteral("0x%1..0x%2 :0x%3").arg(hexText64(first), hexText64(last), hexText(fill));
}

QString rangeSizeText(qint64 first, const QString &data)
{
    QString digits = withoutWhiteSpace(data);
    if (digits.isEmpty())
        digits = QStringLiteral("00");
    if (digits.size() % 2)
        digits.append(QLatin1Char('0'));
    const qint64 n = digits.size() / 2;
    const qint64 last = qint64(quint64(first) + quint64(n) - 1);
    return QStringLiteral("0x%1..0x%2 :%3")
        .arg(hexText64(first), hexText64(last), data.simplified().toUpper());
}

QString formatFileText(const QString &format, const QString &file)
{
    return QStringLiteral("%1: %2").arg(format.toUpper(), file);
}

QString sizeName(qint64 size)
{
    static const char *const units[] = {"Kbyte", "Mbyte", "Gbyte", "Tbyte"};
    for (int u = 0; u < 4; ++u) {
        const qint64 unit = qint64(1) << (10 * (u + 1));
        for (int k = 0; k < 10; ++k)
            if (size == (unit << k))
                return QStringLiteral("%1 %2").arg(qint64(1) << k).arg(QLatin1String(units[u]));
    }
    switch (size) {
    case 196608: return QStringLiteral("192 Kbyte");
    case 393216: return QStringLiteral("384 Kbyte");
    case 786432: return QStringLiteral("768 Kbyte");
    default: return QStringLiteral("%1 byte").arg(size);
    }
}

QString freqText(int hz)
{
    double number = hz;
    QString unit = QStringLiteral("Hz");
    if (hz >= 1000000000) {
        number = hz / 1e9;
        unit = QStringLiteral("GHz");
    } else if (hz >= 1000000) {
        number = hz / 1e6;
        unit = QStringLiteral("MHz");
    } else if (hz >= 1000) {
        number = hz / 1e3;
        unit = QStringLiteral("KHz");
    }
    return QStringLiteral("%1 %2").arg(QString::number(number, 'g', 10), unit);
}

QString generatorText(int hz, int duty)
{
    return QStringLiteral("%1, %2 %").arg(freqText(hz)).arg(duty);
}

QString verifyMismatchText(qint64 address, qint64 expected, qint64 read)
{
    return QStringLiteral("Address: 0x%1, Data: 0x%2, Read: 0x%3")
        .arg(hexText64(address), hexText64(expected), hexText64(read));
}

QString overlineText(const QString &name)
{
    if (!name.contains(QLatin1Char('#')))
        return name;
    static const QString separators = QStringLiteral(" .,/!?<>;:'\"");
    QString out;
    bool open = false;
    for (const QChar c : name) {
        if (c == QLatin1Char('#')) {
            out += QStringLiteral("<span style=\"text-decoration: overline\">");
            open = true;
            continue;
        }
        if (open && separators.contains(c)) {
            out += QStringLiteral("</span>");
            open = false;
        }
        out += c;
    }
    if (open)
        out += QStringLiteral("</span>");
    return out;
}

uint toUInt(const QString &text)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    return ok ? v : 0;
}

qint64 toLongLong(const QString &text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 16);
    return ok ? v : 0;
}

QByteArray hexStringToBytes(const QString &text)
{
    return QByteArray::fromHex(withoutWhiteSpace(text).toLatin1());
}

bool hexStringToBytesChecked(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    const QString digits = withoutWhiteSpace(text);
    if (digits.size() % 2)
        return false;
    for (const QChar c : digits) {
        const ushort u = c.unicode();
        const bool hex = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
        if (!hex)
            return false;
    }
    bytes = QByteArray::fromHex(digits.toLatin1());
    return true;
}

QString notWholeHexText(const QString &key, const QString &text)
{
    return lang.text(MSG_NOT_WHOLE_HEX).arg(key, text);
}

QString notWholeHexReason(const QString &text)
{
    // Enough of the text to find the fault in a short one; a long image is
    // only hinted at.
    constexpr int shown = 48;
    const QString cut = text.size() > shown ? text.left(shown) + QStringLiteral("...") : text;
    return lang.text(checkmsg::NOT_HEX).arg(cut);
}

QString numberListText(const QVector<int> &numbers)
{
    QStringList texts;
    for (int n : numbers)
        texts << QString::number(n);
    return texts.join(QStringLiteral(", "));
}

QString bytesToHexString(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString bytesToHexStringLike(const QString &like, const QByteArray &bytes)
{
    QString out = bytesToHexString(bytes);
    for (int i = 0; i < like.size() && i < out.size(); ++i)
        if (like.at(i) == QLatin1Char(' '))
            out.insert(i, QLatin1Char(' '));
    return out;
}

qint64 chunkLength(qint64 pos, qint64 last, qint64 block)
{
    if (block < 1 || pos < 0 || pos > last)
        return 0;
    const qint64 toBoundary = block - pos % block;
    // last - pos cannot overflow here: 0 <= pos <= last.
    return last - pos < toBoundary ? last - pos + 1 : toBoundary;
}

void getCharCmdParams(const TData &params, int &idCmd, qint64 &first, qint64 &last, quint8 &fill)
{
    idCmd = schema::cmdId(params);
    first = schema::integer(params, CHAR_ADDR_DEVICE);
    last = qint64(quint64(first) + quint64(schema::integer(params, CHAR_COUNT)) - 1);
    fill = quint8(schema::integer(params, CHAR_FILL_CHAR));
}

bool getDataCmdParams(const TData &params, int &idCmd, qint64 &first, qint64 &last,
                      QByteArray &bytes, QString &text)
{
    idCmd = schema::cmdId(params);
    first = schema::integer(params, DATA_ADDR_DEVICE);
    text = schema::text(params, DATA_DATA);
    const bool whole = hexStringToBytesChecked(text, bytes);
    last = qint64(quint64(first) + quint64(bytes.size()) - 1);
    return whole;
}

void getFileCmdParams(const TData &params, int &idCmd, qint64 &addrFile, qint64 &first,
                      qint64 &last, QString &file, QString &format)
{
    idCmd = schema::cmdId(params);
    addrFile = schema::integer(params, FILE_ADDR_FILE);
    first = schema::integer(params, FILE_ADDR_DEVICE);
    last = qint64(quint64(first) + quint64(schema::integer(params, FILE_COUNT)) - 1);
    file = makeAbsolutePath(dataPrj.workPath(), schema::text(params, FILE_FILE));
    format = schema::text(params, FILE_FORMAT).toLower();
}

quint32 getClkCmdParams(const TData &params)
{
    const qint64 clk = schema::integer(params, SET_CLK_CLK);
    const TDataCmd *cmd = dataPrj.cmdById(schema::cmdId(params));
    IDevice *device = cmd ? cmd->device() : nullptr;
    TProg *prog = cmd ? cmd->prog() : nullptr;
    if (!device || !prog)
        return 0;
    const QString section = PARAM(device->params(), DEV_PRG_PAR).toString();
    return quint32(prog->clockLevel(section, int(clk)));
}
