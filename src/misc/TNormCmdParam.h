#pragma once
// Parameter rules shared by every chip driver for the memory commands
// (fill character, hex data, file) and for the pin-state ("leave",
// "set_io") and clock ("set_clk") commands: the defaults of a new command,
// the check that becomes its "valid_param", the one-line text for the
// command list and the log, and the pin-state payload sent to the
// programmer.
//
// A memory range is (begin, size): the addresses begin to begin + size - 1.
// Each memory operation exists in a generic form that takes the range and in
// three forms that read the device's standard range first:
//   Main   - "addr_begin", "size"
//   Flash  - "flash_addr_begin", "flash_size"
//   Eeprom - "eeprom_addr_begin", "eeprom_size"
// A null device reads as the empty range (0, 0).
//
// The checks give a verdict (TCheck): a refusal names the key at fault,
// the command's or, for an empty range, the device's size key (sizeKey of
// the generic forms), and why.
//
// The functions keep no state. The texts also run in execution workers;
// pinStateBytes runs only there.

#include "core/TData.h"
#include "core/consts.h"
#include "devices/TCheck.h"

#include <QByteArray>
#include <QString>

class IDevice;
class QWidget;
class TFormDevLeave;
class TFormDevRWVChar;
class TFormDevRWVData;
class TFormDevRWVFile;
class TFormDevSetCLK;

// ---- Fill-character commands ("char_write", "flash_char_verify", ...) -----

void setCharCmdParams(TData &record, qint64 address, qint64 count, quint8 fill);
void setCharCmdDefaultsMain(IDevice *device, TData &record);
void setCharCmdDefaultsFlash(IDevice *device, TData &record);
void setCharCmdDefaultsEeprom(IDevice *device, TData &record);

// begin <= addr_device < begin + size, 0 <= count, addr_device + count <= begin + size.
TCheck isCharCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey = DEV_SIZE);
TCheck isCharCmdValidMain(IDevice *device, const TData &params);
TCheck isCharCmdValidFlash(IDevice *device, const TData &params);
TCheck isCharCmdValidEeprom(IDevice *device, const TData &params);

// "0x<first>..0x<last> :0x<fill>"
QString charCmdText(const TData &params);
QString charCmdTextMain(const TData &params);
QString charCmdTextFlash(const TData &params);
QString charCmdTextEeprom(const TData &params);

// ---- Hex-data commands ("data_read", "flash_data_write", ...) -------------

void setDataCmdParams(TData &record, qint64 address, const QString &data);
void setDataCmdDefaultsMain(IDevice *device, TData &record);
void setDataCmdDefaultsFlash(IDevice *device, TData &record);
void setDataCmdDefaultsEeprom(IDevice *device, TData &record);

// Non-empty text of hex digits and blanks with an even number of digits,
// whose n bytes fit: begin <= addr_device, addr_device + n <= begin + size.
TCheck isDataCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey = DEV_SIZE);
TCheck isDataCmdValidMain(IDevice *device, const TData &params);
TCheck isDataCmdValidFlash(IDevice *device, const TData &params);
TCheck isDataCmdValidEeprom(IDevice *device, const TData &params);

// "0x<first>..0x<last> :<DATA>". With the form on show (GUI thread only):
// a read command ("read" in its code) puts its data into that form when
// the form is the data form of this very command.
QString dataCmdText(const TData &params, const QString &code = QString(), QWidget *form = nullptr);
QString dataCmdTextMain(const TData &params, const QString &code = QString(), QWidget *form = nullptr);
QString dataCmdTextFlash(const TData &params, const QString &code = QString(), QWidget *form = nullptr);
QString dataCmdTextEeprom(const TData &params, const QString &code = QString(), QWidget *form = nullptr);

// ---- File commands ("file_read", "eeprom_file_verify", ...) ---------------

// "format" HEX, "file" empty, "addr_file" 0, "addr_device" begin, "count" size.
void setFileCmdDefaults(TData &record, qint64 begin, qint64 size);
void setFileCmdDefaultsMain(IDevice *device, TData &record);
void setFileCmdDefaultsFlash(IDevice *device, TData &record);
void setFileCmdDefaultsEeprom(IDevice *device, TData &record);

// A file name, a known format, a file window that fits the format (Intel
// HEX: file addresses up to 0xFFFFFFFF) and a device window inside the range.
TCheck isFileCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey = DEV_SIZE);
TCheck isFileCmdValidMain(IDevice *device, const TData &params);
TCheck isFileCmdValidFlash(IDevice *device, const TData &params);
TCheck isFileCmdValidEeprom(IDevice *device, const TData &params);

// "<FORMAT>: <file>"
QString fileCmdText(const TData &params);
QString fileCmdTextMain(const TData &params);
QString fileCmdTextFlash(const TData &params);
QString fileCmdTextEeprom(const TData &params);

// ---- Forms of the memory commands (GUI thread; the caller owns them) -------

TFormDevRWVChar *createCharCmdForm(const TData &params, qint64 begin, qint64 size, quint8 fill);
TFormDevRWVChar *createCharCmdFormMain(IDevice *device, const TData &params);
TFormDevRWVChar *createCharCmdFormFlash(IDevice *device, const TData &params);
TFormDevRWVChar *createCharCmdFormEeprom(IDevice *device, const TData &params);
TFormDevRWVData *createDataCmdForm(const TData &params, qint64 begin, qint64 size);
TFormDevRWVData *createDataCmdFormMain(IDevice *device, const TData &params);
TFormDevRWVData *createDataCmdFormFlash(IDevice *device, const TData &params);
TFormDevRWVData *createDataCmdFormEeprom(IDevice *device, const TData &params);
TFormDevRWVFile *createFileCmdForm(const TData &params, qint64 begin, qint64 size);
TFormDevRWVFile *createFileCmdFormMain(IDevice *device, const TData &params);
TFormDevRWVFile *createFileCmdFormFlash(IDevice *device, const TData &params);
TFormDevRWVFile *createFileCmdFormEeprom(IDevice *device, const TData &params);

// ---- Pin states ("leave", "set_io") ---------------------------------------
// withReset: the command also carries a reset pulse ("reset", "duration");
// the AVR8 and XMC1 drivers pass true, the others false.

// The stored "state" of the command, padded with "-" or cut to the pin
// count of its programmer; as stored without a programmer; empty without
// the command.
QString pinStateText(int idCmd);
void setLeaveCmdDefaults(TData &record, bool withReset);
TCheck isLeaveCmdValid(const TData &params, bool withReset);
// "[RESET, ]<state>"
QString leaveCmdText(const TData &params, bool withReset);
// Reset duration (signed 16-bit, low byte first; 0 without reset), then one
// pin code per active programmer pin. Empty without the command or its
// programmer.
QByteArray pinStateBytes(int idCmd, bool withReset);
// The pin-state form of the command for the device (which may be null: the
// pins are then described for no connection); null without the command or
// its programmer.
TFormDevLeave *createLeaveCmdForm(IDevice *device, const TData &params, bool withReset);

// ---- Clock ("set_clk") ----------------------------------------------------

// "clk" := the programmer's default clock of the interface section.
void setClkCmdParams(const QString &section, TData &record);
TCheck isClkCmdValid(const TData &params);
QString clkCmdText(const TData &params);
// The clock form of the command with the clock range or list of the
// programmer's interface section; null without the command or its
// programmer.
TFormDevSetCLK *createClkCmdForm(const QString &section, const TData &params);
