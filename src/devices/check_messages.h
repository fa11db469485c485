#pragma once
// Numbers of the language-table messages in which the parameter checks of
// every command provider say why they refuse a command (TCheck). Except
// REFUSED, each is a fragment that follows the key at fault.

namespace checkmsg {

// 'Command "%1": %2: %3': the command's name, the key, the reason.
constexpr int REFUSED = 496;
// %1 an address, %2 it in hex, %3 the first address of the range.
constexpr int BEFORE_FIRST = 497;
// %1 an address, %2 it in hex, %3 the last address of the range.
constexpr int PAST_LAST = 498;
// %1 a count of bytes from 0x%2 that reaches past the last address 0x%3.
constexpr int COUNT_PAST = 499;
// %1 a value that must not be negative.
constexpr int NEGATIVE = 500;
// The device describes no memory for the command: %1 its size.
constexpr int NO_MEMORY = 501;
constexpr int NO_FILE = 502;
constexpr int NO_DATA = 503;
// %1 a text (cut short) that is not whole bytes of hex digits.
constexpr int NOT_HEX = 504;
// %1 a format name that is not one of the file formats.
constexpr int NOT_FORMAT = 505;
// %1 a file address past the Intel HEX address space.
constexpr int HEX_ADDRESS = 506;
// %1 bytes from the file address 0x%2 reach past the Intel HEX address space.
constexpr int HEX_COUNT = 507;
constexpr int NOT_IN_PROJECT = 508;
constexpr int NO_PROG = 509;
constexpr int NO_DEVICE = 510;
// %1 a device name without a description.
constexpr int DEVICE_UNKNOWN = 511;
// %1 a programmer name the settings cannot make a description of.
constexpr int PROG_UNKNOWN = 512;
// %1 an id that names no configuration, or no command.
constexpr int NO_CFG = 513;
constexpr int NO_CMD = 514;
constexpr int NO_CMDLINE = 515;
// %1 a pin-state letter, %2 the letters the programmer takes.
constexpr int PIN_LETTER = 516;
// %1 a value outside %2..%3 (units included in the texts).
constexpr int OUTSIDE = 517;
// %1 a value that is not one of the listed %2.
constexpr int NOT_LISTED = 518;
constexpr int PULSE_ZERO = 519;
// %1 a reset pulse in ms of the sign the chip does not take.
constexpr int PULSE_POSITIVE = 520;
constexpr int PULSE_NEGATIVE = 521;
// %1 the chip's size, %2 its erase block, %3 the description's "erase".
constexpr int ERASE_MULTIPLE = 522;
// %1 the chip's size, beyond what 3-byte addresses reach.
constexpr int ADDRESS_LIMIT = 523;
// %1 a block size no erase instruction erases, %2 the sizes there are.
constexpr int BLOCK_SIZE = 524;
// Blocks %1..%2 past the chip's %3 blocks of %4 bytes.
constexpr int BLOCKS_PAST = 525;
// %1 bytes given where the chip has %2.
constexpr int IMAGE_SIZE = 526;
// %1 a command code that %2 (the provider's name) does not carry out.
constexpr int NOT_OFFERED = 527;
// %1 a name that is no algorithm of the CRC catalogue.
constexpr int NOT_ALGORITHM = 546;
// %1 a route item of automatic detection that leads to no configuration:
// none has its id, the id is no number, or the item has no "=".
constexpr int ROUTE_NONE = 585;

} // namespace checkmsg
