#pragma once
// Numbers of the language-table messages of the 25xx driver, in one place
// (those all executors give are in exec_messages.h).

#include "devices/exec_messages.h"

namespace dev25msg {

// %1, %2: first and last address of a range that 3-byte addressing cannot reach.
constexpr int RANGE_PAST_3_BYTES = 430;
// %1, %2: first and last address of an SFDP range past its 256 bytes.
constexpr int SFDP_PAST_LIMIT = 431;
// %1, %2: first and last address of a range outside the security registers.
constexpr int SECURITY_OUTSIDE = 432;
// %1: a block size that no erase instruction of the device has.
constexpr int NO_ERASE_FOR_SIZE = 433;
// %1, %2: first and last address of blocks outside the device.
constexpr int BLOCKS_OUTSIDE = 434;
// A transfer or erase block size of 0 (the 24xx driver's message too).
constexpr int BLOCK_SIZE_ZERO = execmsg::BLOCK_ZERO;
// A security-register erase or empty test that selects none of the
// registers the chip has; %1 their number.
constexpr int NO_SECURITY_SELECTED = 495;
// Log: a status write kept bits as the chip holds them (%1 the bits, %2
// the registers written, %3 the command's image).
constexpr int STATUS_BITS_KEPT = 587;

} // namespace dev25msg
