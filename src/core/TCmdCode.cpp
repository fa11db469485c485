#include "core/TCmdCode.h"

#include "core/consts.h"

const TCmdCode cmdCode;

TCmdCode::TCmdCode()
{
    static const struct {
        const char *code;
        const char *name;
    } table[] = {
        {CMD_PROCESS, "Process"},
        {CMD_JAMP, "Jamp"},
        {CMD_COUNTER, "Counter"},
        {CMD_DELAY, "Delay"},
        {CMD_PAUSE, "Pause"},
        {CMD_STOP, "Stop"},
        {CMD_EXECUTE, "Execute"},
        {CMD_CALC_CRC, "Calc CRC"},
        {CMD_SET_PROG, "Set Prog"},
        {CMD_SET_DEVICE, "Set Device"},
        {CMD_AUTO_DETECT, "Auto Detect"},
        {CMD_GENERATOR, "Generator"},
        {CMD_SET_IO, "Set I/O"},
        {CMD_SET_VCC, "Set Vcc"},
        {CMD_SET_VPP, "Set Vpp"},
        {CMD_SET_VICC, "Set VIcc"},
        {CMD_SET_VIPP, "Set VIpp"},
        {CMD_RESET, "Reset"},
        {CMD_IDENT, "Identification"},
        {CMD_SET_CLK, "Set CLK"},
        {CMD_SET_ADDR, "Set Address"},
        {CMD_ERASE, "Erase"},
        {CMD_TEST_EMPTY, "Test Empty"},
        {CMD_ERASE_BLOCKS, "Erase (blocks)"},
        {CMD_TEST_EMPTY_BLOCKS, "Test Empty (blocks)"},
        {CMD_TEST_EMPTY_FLASH, "Test Empty Flash"},
        {CMD_TEST_EMPTY_EEPROM, "Test Empty EEPROM"},
        {CMD_CHAR_WRITE, "Char Write"},
        {CMD_CHAR_VERIFY, "Char Verify"},
        {CMD_DATA_READ, "Data Read"},
        {CMD_DATA_WRITE, "Data Write"},
        {CMD_DATA_VERIFY, "Data Verify"},
        {CMD_FILE_READ, "File Read"},
        {CMD_FILE_WRITE, "File Write"},
        {CMD_FILE_VERIFY, "File Verify"},
        {CMD_FLASH_CHAR_WRITE, "Flash Char Write"},
        {CMD_FLASH_CHAR_VERIFY, "Flash Char Verify"},
        {CMD_FLASH_DATA_READ, "Flash Data Read"},
        {CMD_FLASH_DATA_WRITE, "Flash Data Write"},
        {CMD_FLASH_DATA_VERIFY, "Flash Data Verify"},
        {CMD_FLASH_FILE_READ, "Flash File Read"},
        {CMD_FLASH_FILE_WRITE, "Flash File Write"},
        {CMD_FLASH_FILE_VERIFY, "Flash File Verify"},
        {CMD_EEPROM_CHAR_WRITE, "EEPROM Char Write"},
        {CMD_EEPROM_CHAR_VERIFY, "EEPROM Char Verify"},
        {CMD_EEPROM_DATA_READ, "EEPROM Data Read"},
        {CMD_EEPROM_DATA_WRITE, "EEPROM Data Write"},
        {CMD_EEPROM_DATA_VERIFY, "EEPROM Data Verify"},
        {CMD_EEPROM_FILE_READ, "EEPROM File Read"},
        {CMD_EEPROM_FILE_WRITE, "EEPROM File Write"},
        {CMD_EEPROM_FILE_VERIFY, "EEPROM File Verify"},
        {CMD_FUSE_READ, "Fuse Bits Read"},
        {CMD_FUSE_WRITE, "Fuse Bits Write"},
        {CMD_FUSE_VERIFY, "Fuse Bits Verify"},
        {CMD_LOCK_READ, "Lock Bits Read"},
        {CMD_LOCK_WRITE, "Lock Bits Write"},
        {CMD_LOCK_VERIFY, "Lock Bits Verify"},
        {CMD_OSCCAL_READ, "OSCCAL Read"},
        {CMD_STATUS_REG_READ, "Status Reg Read"},
        {CMD_STATUS_REG_WRITE, "Status Reg Write"},
        {CMD_STATUS_REG_VERIFY, "Status Reg Verify"},
        {CMD_SEC_REG_ERASE, "Security Reg Erase"},
        {CMD_SEC_REG_TEST_EMPTY, "Security Reg Test Empty"},
        {CMD_SEC_REG_READ, "Security Reg Read"},
        {CMD_SEC_REG_WRITE, "Security Reg Write"},
        {CMD_SEC_REG_VERIFY, "Security Reg Verify"},
        {CMD_UNIQUE_ID_READ, "Unique ID Read"},
        {CMD_SFDP_REG_READ, "SFDP Reg Read"},
        {CMD_BMI_READ, "BMI Read"},
        {CMD_BMI_WRITE, "BMI Write"},
        {CMD_BMI_VERIFY, "BMI Verify"},
        {CMD_LEAVE, "Leave"},
    };
    for (const auto &entry : table)
        names.insert(QString::fromLatin1(entry.code), QString::fromLatin1(entry.name));
}

TCmdCode::~TCmdCode() = default;

QString TCmdCode::name(const QString &code) const
{
    return names.value(code);
}

QString TCmdCode::code(const QString &name) const
{
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (it.value() == name)
            return it.key();
    }
    return QString();
}

int TCmdCode::count() const
{
    return names.size();
}

QStringList TCmdCode::codes() const
{
    QStringList list = names.keys();
    list.sort();
    return list;
}

bool isOneOf(const QString &code, std::initializer_list<const char *> codes)
{
    for (const char *c : codes)
        if (code == QLatin1String(c))
            return true;
    return false;
}
