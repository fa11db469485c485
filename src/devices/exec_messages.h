#pragma once
// Numbers of the language-table messages that the executors of every chip
// family and of the two command groups give, in one place.

namespace execmsg {

// No command record, device or programmer for the command.
constexpr int NO_DEVICE = 405;
// A transfer or erase block size of 0.
constexpr int BLOCK_ZERO = 427;
// %1 bytes came where %2 were asked for.
constexpr int SHORT_REPLY = 442;
// %1 data bytes given where the chip takes %2.
constexpr int DATA_COUNT = 444;
// A chip-data file that could not be completed; %1 the file's own text.
constexpr int FILE_CLOSE = 445;
// %1 the algorithm key of the description, %2 the variant it names, which
// the program does not offer.
constexpr int UNKNOWN_ALG = 447;
// %1 a command code the executor does not carry out.
constexpr int UNKNOWN_CMD = 449;
// %1 the "erase" value of a description that is no instruction and block size.
constexpr int ERASE_ENTRY = 456;
// %1 status registers described, where 1 to 3 are served.
constexpr int STATUS_COUNT = 457;
// Automatic detection: the chip gave no identification.
constexpr int NOT_IDENTIFIED = 458;
// The running command is no longer in the project.
constexpr int CMD_GONE = 459;
// The command a jump goes to is no longer in the project.
constexpr int JUMP_TARGET_GONE = 460;
// The worker's last word on a command that failed without a reason; %1 its name.
constexpr int FAILED_NO_REASON = 461;
// A status write of %1 registers, where the write sends exactly three.
constexpr int STATUS_WRITE_THREE = 486;
// A command that keeps a damaged number: %1 its name, %2 the key, %3 the
// text stored, which is not a number.
constexpr int NOT_A_NUMBER = 488;
// ... a whole number beyond the field it is read into: %1 its name, %2 the
// key, %3 the number, %4..%5 the field.
constexpr int NUMBER_OUTSIDE = 489;
// A memory command whose range holds no bytes; %1 its first address.
constexpr int RANGE_EMPTY = 490;
// The same of a file command; %1 the file, %2 the first address.
constexpr int FILE_RANGE_EMPTY = 491;
// A file that holds no data for the command's range; %1 the file, %2..%3 the range.
constexpr int FILE_NO_DATA = 492;
// Log: a data read that did not finish left the command's data as it was.
constexpr int READ_NOT_STORED = 493;
// Log: a read to the file %1 that did not finish left the file as it was.
constexpr int READ_FILE_KEPT = 494;

} // namespace execmsg
