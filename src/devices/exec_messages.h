#pragma once
// Numbers of the language-table messages that the executors of every chip
// family and of the two command groups give, and those of the run around
// them (the worker, the run check, the main window's quick runs), in one
// place.

namespace execmsg {

// A command without its device (or provider): %1 its name.
constexpr int INVALID_DEVICE = 387;
// A command whose parameters are refused, where no check says why: %1 its name.
constexpr int INVALID_PARAMS = 388;
// The run's last line: stopped by the user, or every command carried out.
constexpr int STOPPED = 390;
constexpr int COMPLETED = 391;
// Log: the run goes on in configuration %2 (after "-->").
constexpr int JUMP = 394;
// The configuration a command moves the run to is no longer in the project.
constexpr int NO_CONFIGURATION = 397;
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
// Log: a write or erase that ended before its end. %1..%2 the addresses it
// changed, %1..%3 its range.
constexpr int CHANGE_PART = 528;
// Log: a write or erase that ended before its end with new contents in
// parts that are not one from the range's start (a HEX file's records out
// of address order, a file with gaps): %1 the parts, %2..%3 its range.
constexpr int CHANGE_PARTS = 582;
// The parts of CHANGE_PARTS beyond those named: %1 those named, %2 how many more.
constexpr int CHANGE_PARTS_MORE = 583;
// Log: %1..%2 the request that failed, which may have changed them.
constexpr int CHANGE_UNSURE = 529;
// Log: the command ended before its first request reached the chip.
constexpr int CHANGE_NONE = 530;
// Log: a register write that ended before its end: %1 of %2 registers written.
constexpr int REGISTERS_PART = 531;
// Log: the write of register %1 of %2 failed and may have changed it.
constexpr int REGISTER_UNSURE = 532;
// Log: a chip erase in one request that failed.
constexpr int ERASE_UNSURE = 533;
// Log: a file transfer done: %1 the bytes written, compared or read.
constexpr int FILE_WRITTEN = 534;
constexpr int FILE_COMPARED = 535;
constexpr int FILE_READ_INTO = 536;
// Log: the file's data end at %1, before the range's end at %2.
constexpr int FILE_ENDED_FIRST = 537;
// CRC: %1 the algorithm; after a stop or a failure, no value.
constexpr int CRC_NOT_COMPUTED = 539;
// CRC refused: the file %1 holds no data at all.
constexpr int CRC_NO_DATA = 540;
// CRC refused: the file %1 has no data at or after %2; its data end at %3.
constexpr int CRC_PAST_DATA = 541;
// CRC refused: the file %1 holds no data for the range %2..%3.
constexpr int CRC_RANGE_NO_DATA = 566;
// Log: the counter's value %1 is at its limit %2, and the run ends.
constexpr int COUNTER_AT_LIMIT = 542;
// Log: every command ran; only a request that ends the run failed.
constexpr int END_REQUEST_FAILED = 543;

} // namespace execmsg
