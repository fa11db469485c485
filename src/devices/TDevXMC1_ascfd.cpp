#include "devices/TDevXMC1_ascfd.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "devices/avr8_payload.h"
#include "devices/param_schema.h"
#include "devices/TDevXMC1_ascfd_exec.h"

TDevXMC1_ASCFD::TDevXMC1_ASCFD(const QString &name, const TData &params)
    : TDevAVR8_SPI(name, params, false)
{
}

TDevXMC1_ASCFD::~TDevXMC1_ASCFD() = default;

IDevice *TDevXMC1_ASCFD::create(const QString &name, const TData &params)
{
    return new TDevXMC1_ASCFD(name, params);
}

QStringList TDevXMC1_ASCFD::fullCmdList()
{
    return {CMD_IDENT,           CMD_SEPARATOR,        CMD_ERASE,             CMD_TEST_EMPTY,
            CMD_SEPARATOR,       CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY, CMD_FLASH_DATA_READ,
            CMD_FLASH_DATA_WRITE, CMD_FLASH_DATA_VERIFY, CMD_FLASH_FILE_READ, CMD_FLASH_FILE_WRITE,
            CMD_FLASH_FILE_VERIFY, CMD_SEPARATOR,      CMD_BMI_READ,          CMD_BMI_WRITE,
            CMD_BMI_VERIFY};
}

bool TDevXMC1_ASCFD::hasCmd(const QString &code)
{
    return fullCmdList().contains(code, Qt::CaseSensitive);
}

QStringList TDevXMC1_ASCFD::cmdList()
{
    return fullCmdList();
}

TCheck TDevXMC1_ASCFD::checkDevParam(const TData &data)
{
    Q_UNUSED(data)
    return TCheck::valid();
}

bool TDevXMC1_ASCFD::initDevParam(TData &data)
{
    Q_UNUSED(data)
    return true;
}

QWidget *TDevXMC1_ASCFD::createDevParamForm(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

TCheck TDevXMC1_ASCFD::descriptionCheck(const TData &data)
{
    Q_UNUSED(data)
    return TCheck::valid();
}

TCheck TDevXMC1_ASCFD::runCheck(const TData &data)
{
    if (!hasCmd(schema::cmdCode(data)))
        return TCheck::valid();
    return TCheck::refused(QLatin1String(REC_CMD), lang.text(avr8::MSG_XMC1_NOT_CARRIED));
}

IDeviceExec *TDevXMC1_ASCFD::createExec(const TData &data)
{
    return new TDevXMC1_ASCFD_Exec(data);
}
