#include "devices/TDev24.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDev24Exec.h"
#include "devices/dev_lists.h"
#include "devices/memory_cmds.h"
#include "devices/param_schema.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QVBoxLayout>
#include <QtEndian>

namespace {

// Language-table messages of the family.
constexpr int MSG_ADDR_GROUP = 369;   // title of the address form's group

const char *const PIN_NAMES[] = {"A0", "A1", "A2"};

QString codeOf(const TData &data)
{
    return schema::cmdCode(data);
}

} // namespace

TDev24::TDev24(const QString &name, const TData &params) : IDevice(name)
{
    for (const char *code : {CMD_SET_CLK, CMD_SET_ADDR, CMD_SEPARATOR, CMD_ERASE, CMD_TEST_EMPTY,
                             CMD_SEPARATOR, CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_DATA_READ,
                             CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FILE_READ, CMD_FILE_WRITE,
                             CMD_FILE_VERIFY, CMD_SEPARATOR, CMD_LEAVE})
        m_cmds << QLatin1String(code);
    TData stored = params;
    stored.insert(QLatin1String(DEV_RESET), false);
    if (!stored.contains(QLatin1String(DEV_INFO)))
        stored.insert(QLatin1String(DEV_INFO), QString());
    setParams(stored);
    setInfo(stored.value(QLatin1String(DEV_INFO)).toStringList());
}

IDevice *TDev24::create(const QString &name, const TData &params)
{
    return new TDev24(name, params);
}

bool TDev24::hasCmd(const QString &code)
{
    return m_cmds.contains(code);
}

QStringList TDev24::cmdList()
{
    return m_cmds;
}

void TDev24::initCmdParam(TData &data)
{
    if (codeOf(data) == QLatin1String(CMD_SET_ADDR))
        data.insert(QLatin1String(SET_ADDR_ADDR), 0);
    else
        memcmd::init(this, data);
}

QString TDev24::cmdParamText(const TData &data, QWidget *form)
{
    if (codeOf(data) == QLatin1String(CMD_SET_ADDR))
        return addrText(data);
    QString text;
    memcmd::text(this, data, form, text);
    return text;
}

QWidget *TDev24::createCmdForm(const TData &data)
{
    const QString c = codeOf(data);
    if (c == QLatin1String(CMD_SET_ADDR))
        return createAddrForm(data);
    if (c == QLatin1String(CMD_ERASE) || c == QLatin1String(CMD_TEST_EMPTY))
        return new TFormDevEmpty;
    QWidget *form = nullptr;
    memcmd::form(this, data, form);
    return form;
}

TData TDev24::cmdParamFromForm(const TData &data)
{
    const int id = data.value(QLatin1String(REC_ID_CMD)).toInt();
    const TDataCmd *cmd = dataPrj.cmdById(id);
    if (!cmd || cmd->cmd() != QLatin1String(CMD_SET_ADDR))
        return data;
    return {{QLatin1String(REC_ID_CMD), id},
            {QLatin1String(SET_ADDR_ADDR), addrFromImage(data.value(QLatin1String(DATA_DATA)).toString())}};
}

bool TDev24::normalizeCmdParam(TData &)
{
    return false;
}

TCheck TDev24::checkCmdParam(const TData &data)
{
    const QString c = codeOf(data);
    if (c == QLatin1String(CMD_SET_ADDR))
        return checkAddr(data);
    if (c == QLatin1String(CMD_ERASE) || c == QLatin1String(CMD_TEST_EMPTY))
        return TDev24Exec::describedCheck(params(), data);
    TCheck verdict = TCheck::notOffered(c, name());
    memcmd::check(this, data, verdict);
    if (!verdict)
        return verdict;
    // Then what the executor asks of the description before it sends
    // anything, so that a run refuses the command before it starts.
    return TDev24Exec::describedCheck(params(), data);
}

TCheck TDev24::checkDevParam(const TData &data)
{
    if (TCheck clock = isClkCmdValid(data); !clock)
        return clock;
    return checkAddr(data);
}

bool TDev24::initDevParam(TData &data)
{
    setClkCmdParams(prgPar(), data);
    data.insert(QLatin1String(SET_ADDR_ADDR), 0);
    return true;
}

QWidget *TDev24::createDevParamForm(const TData &data)
{
    return new TDev24CDevParam(createClkCmdForm(prgPar(), data), createAddrForm(data));
}

QByteArray TDev24::devSetup(const TData &data)
{
    const TData dev = params();
    QByteArray record(9, 0);
    uchar *p = reinterpret_cast<uchar *>(record.data());
    qToLittleEndian<quint16>(quint16(deviceTypeOf(dev.value(QLatin1String(DEV_PRG_TYPE)).toString())), p);
    p[2] = uchar(dev.value(QLatin1String(DEV_PRG_SUBTYPE)).toUInt());
    p[3] = uchar(schema::integer(data, SET_ADDR_ADDR));
    qToLittleEndian<quint32>(getClkCmdParams(data), p + 4);
    p[8] = uchar(dev.value(QLatin1String(DEV_DELAY)).toUInt());
    return record;
}

IDeviceExec *TDev24::createExec(const TData &data)
{
    return new TDev24Exec(data);
}

// ---- Chip-select address ----------------------------------------------------

TCheck TDev24::checkAddr(const TData &data)
{
    const qint64 addr = schema::integer(data, SET_ADDR_ADDR);
    if (addr >= 0 && addr <= 7)
        return TCheck::valid();
    return TCheck::outside(QLatin1String(SET_ADDR_ADDR), addr, 0, 7);
}

QString TDev24::addrText(const TData &data) const
{
    const uint mask = params().value(QLatin1String(DEV_ADDR_MASK)).toUInt();
    const uint addr = uint(schema::integer(data, SET_ADDR_ADDR)) & mask;
    QString pins;
    for (int bit = 2; bit >= 0; --bit)
        pins += (mask >> bit) & 1 ? QLatin1Char((addr >> bit) & 1 ? '1' : '0') : QLatin1Char('-');
    return QStringLiteral("Address: %1%2%3").arg(pins.at(0)).arg(pins.at(1)).arg(pins.at(2));
}

QString TDev24::addrFormData(const TData &data) const
{
    const uint mask = params().value(QLatin1String(DEV_ADDR_MASK)).toUInt();
    return hexText(int(uint(schema::integer(data, SET_ADDR_ADDR)) & mask));
}

QStringList TDev24::addrFormMarkup() const
{
    const uint mask = params().value(QLatin1String(DEV_ADDR_MASK)).toUInt();
    QStringList lines;
    lines << QStringLiteral("frm+") << QStringLiteral("grp+|%1").arg(lang.text(MSG_ADDR_GROUP));
    for (int bit = 0; bit < 3; ++bit) {
        const bool present = (mask >> bit) & 1;
        lines << QStringLiteral("ckl|%1|-|%2|-|%3||")
                     .arg(hexText(1 << bit), present ? QStringLiteral("e") : QStringLiteral("-"),
                          present ? QLatin1String(PIN_NAMES[bit]) : QStringLiteral("NC"));
    }
    lines << QStringLiteral("grp-") << QStringLiteral("frm-");
    return lines;
}

TFormDevCfg *TDev24::createAddrForm(const TData &data)
{
    return new TFormDevCfg(schema::cmdId(data), addrFormData(data),
                           QStringLiteral("00"), addrFormMarkup(), false);
}

QString TDev24::addrFromImage(const QString &image)
{
    return QString::number(image.trimmed().toUInt(nullptr, 10));
}

// ---- Device-level form ------------------------------------------------------

TDev24CDevParam::TDev24CDevParam(TFormDevSetCLK *clockForm, TFormDevCfg *addrForm, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    if (clockForm) {
        layout->addWidget(clockForm);
        connect(clockForm, &TFormDevSetCLK::signalChangedCmdParam, this,
                &TDev24CDevParam::signalChangedCmdParam);
    }
    if (addrForm) {
        layout->addWidget(addrForm);
        connect(addrForm, &TFormDevCfg::signalChangedCmdParam, this, &TDev24CDevParam::slotChangedAddr);
    }
}

void TDev24CDevParam::slotChangedAddr(const TData &data)
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), data.value(QLatin1String(REC_ID_CMD))},
                                {QLatin1String(SET_ADDR_ADDR),
                                 TDev24::addrFromImage(data.value(QLatin1String(DATA_DATA)).toString())}});
}
