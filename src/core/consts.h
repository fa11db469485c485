#pragma once
// The program's vocabulary: every key of a parameter record, a device
// description, a project file or a project list, every command code and every
// command-group name, declared once. Code uses these names and never repeats
// the literals. The same text may appear in several groups (for example
// "file"); each user takes the constant of its own group.
//
// The constants are plain character arrays, so they are usable before main()
// runs and convert to QString wherever one is expected.

// File filters
inline constexpr char FILTER_LNG[] = "*.lng";
inline constexpr char FILTER_CFG[] = "*.cfg";
inline constexpr char FILTER_PRJ[] = "*.prj";
inline constexpr char FILTER_LST[] = "*.lst";

// File suffixes
inline constexpr char SUFFIX_CFG[] = "cfg";
inline constexpr char SUFFIX_PRJ[] = "prj";
inline constexpr char SUFFIX_LST[] = "lst";
inline constexpr char SUFFIX_HK[] = "hk";   // hot-key file
inline constexpr char SUFFIX_INI[] = "ini"; // settings file
inline constexpr char SUFFIX_LOG[] = "log"; // log file

// Text codec of every text file the program reads and writes
inline constexpr char CODEC_NAME[] = "UTF-8";

// Program identity (the About dialog shows all five)
inline constexpr char APP_EMAIL[] = "velkor@velkor.example";
inline constexpr char APP_DATE[] = "22.03.2024";
inline constexpr char APP_VERSION[] = "0.0.8";
inline constexpr char APP_PRODUCT[] = "Velkor";
inline constexpr char APP_SHORT_NAME[] = "Velkor"; // window and message-box title

// Project-list items
inline constexpr char PRJLIST_FILE[] = "file";
inline constexpr char PRJLIST_NAME[] = "name";
inline constexpr char PRJLIST_EXPAND[] = "expand";
inline constexpr char PRJLIST_PARENT[] = "parent";
inline constexpr char PRJLIST_LIST[] = "list";

// Device description keys
inline constexpr char DEV_ADDR_MASK[] = "addr_mask";
inline constexpr char DEV_ADDR_SIZE[] = "addr_size";
inline constexpr char DEV_RESET_POL[] = "reset_pol";
inline constexpr char DEV_RESET[] = "reset";
inline constexpr char DEV_OSCCAL_CFG[] = "osccal_cfg";
inline constexpr char DEV_OSCCAL_DEF[] = "osccal_def";
inline constexpr char DEV_SECURITY_REG_SIZE[] = "security_reg_size";
inline constexpr char DEV_SFDP_REG_SIZE[] = "sfdp_reg_size";
inline constexpr char DEV_STATUS_REG_CFG[] = "status_reg_cfg";
inline constexpr char DEV_STATUS_REG_DEF[] = "status_reg_def";
inline constexpr char DEV_LOCK_CFG[] = "lock_cfg";
inline constexpr char DEV_LOCK_DEF[] = "lock_def";
inline constexpr char DEV_FUSE_CFG[] = "fuse_cfg";
inline constexpr char DEV_FUSE_DEF[] = "fuse_def";
inline constexpr char DEV_SIGNATURE[] = "signature";
inline constexpr char DEV_LOCK_POLLING[] = "lock_polling";
inline constexpr char DEV_LOCK_DELAY[] = "lock_delay";
inline constexpr char DEV_FUSE_POLLING[] = "fuse_polling";
inline constexpr char DEV_FUSE_DELAY[] = "fuse_delay";
inline constexpr char DEV_EEPROM_POLLING[] = "eeprom_polling";
inline constexpr char DEV_EEPROM_DELAY[] = "eeprom_delay";
inline constexpr char DEV_EEPROM_ADDR_BEGIN[] = "eeprom_addr_begin";
inline constexpr char DEV_EEPROM_SIZE[] = "eeprom_size";
inline constexpr char DEV_FLASH_POLLING[] = "flash_polling";
inline constexpr char DEV_FLASH_DELAY[] = "flash_delay";
inline constexpr char DEV_FLASH_ADDR_BEGIN[] = "flash_addr_begin";
inline constexpr char DEV_FLASH_PAGE_SIZE[] = "flash_page_size";
inline constexpr char DEV_FLASH_SIZE[] = "flash_size";
inline constexpr char DEV_DELAY[] = "delay";
inline constexpr char DEV_ADDR_BEGIN[] = "addr_begin";
inline constexpr char DEV_PAGE_SIZE[] = "page_size";
inline constexpr char DEV_SIZE[] = "size";
inline constexpr char DEV_ERASE_POLLING[] = "erase_polling";
inline constexpr char DEV_ERASE_DELAY[] = "erase_delay";
inline constexpr char DEV_ERASE_BLOCKS[] = "erase_blocks";
inline constexpr char DEV_ERASE[] = "erase";
inline constexpr char DEV_ALG_UNIQUE_ID_READ[] = "alg_unique_id_read";
inline constexpr char DEV_ALG_OSCCAL_READ[] = "alg_osccal_read";
inline constexpr char DEV_ALG_SECURITY_REG_WRITE[] = "alg_security_reg_write";
inline constexpr char DEV_ALG_SECURITY_REG_READ[] = "alg_security_reg_read";
inline constexpr char DEV_ALG_SECURITY_REG_ERASE[] = "alg_security_reg_erase";
inline constexpr char DEV_ALG_FSDP_READ[] = "alg_fsdp_read";
inline constexpr char DEV_ALG_STATUS_REG_READ[] = "alg_status_reg_read";
inline constexpr char DEV_ALG_STATUS_REG_WRITE[] = "alg_status_reg_write";
inline constexpr char DEV_ALG_LOCK_READ[] = "alg_lock_read";
inline constexpr char DEV_ALG_LOCK_WRITE[] = "alg_lock_write";
inline constexpr char DEV_ALG_FUSE_READ[] = "alg_fuse_read";
inline constexpr char DEV_ALG_FUSE_WRITE[] = "alg_fuse_write";
inline constexpr char DEV_ALG_EEPROM_READ[] = "alg_eeprom_read";
inline constexpr char DEV_ALG_EEPROM_WRITE[] = "alg_eeprom_write";
inline constexpr char DEV_ALG_FLASH_READ[] = "alg_flash_read";
inline constexpr char DEV_ALG_FLASH_WRITE[] = "alg_flash_write";
inline constexpr char DEV_ALG_ERASE[] = "alg_erase";
inline constexpr char DEV_ALG_IDENT[] = "alg_ident";
inline constexpr char DEV_ALG_READ[] = "alg_read";
inline constexpr char DEV_ALG_WRITE[] = "alg_write";
inline constexpr char DEV_INFO[] = "info";
inline constexpr char DEV_COMMENT[] = "comment";
inline constexpr char DEV_DEV_FILE[] = "dev_file";
inline constexpr char DEV_PRG_PAR[] = "prg_par";
inline constexpr char DEV_PRG_CON[] = "prg_con";
inline constexpr char DEV_PRG_SUBTYPE[] = "prg_subtype";
inline constexpr char DEV_PRG_TYPE[] = "prg_type";
inline constexpr char DEV_GUI_CMD_LIST[] = "gui_cmd_list";
inline constexpr char DEV_GUI_TYPE[] = "gui_type";

// Project information: the project file's absolute path (see PRJ_WORK_PATH)
inline constexpr char INFO_PRJ_FILE[] = "prj_file";

// Command record keys
inline constexpr char REC_ID_CMD[] = "id_cmd";
inline constexpr char REC_ID_CFG[] = "id_cfg";
inline constexpr char REC_VALID_PARAM[] = "valid_param";
inline constexpr char REC_VALID_DEV[] = "valid_dev";
inline constexpr char REC_STATUS[] = "status";
inline constexpr char REC_CMD[] = "cmd";

// "leave"
inline constexpr char LEAVE_DURATION[] = "duration";
inline constexpr char LEAVE_RESET[] = "reset";
inline constexpr char LEAVE_STATE[] = "state";

// Register and set-up values (status, security, fuse, lock, calibration, unique ID, set-up record)
inline constexpr char REG_DATA[] = "data";

// File commands (file_read/write/verify and their flash_ and eeprom_ forms)
inline constexpr char FILE_FILE[] = "file";
inline constexpr char FILE_COUNT[] = "count";
inline constexpr char FILE_ADDR_DEVICE[] = "addr_device";
inline constexpr char FILE_ADDR_FILE[] = "addr_file";
inline constexpr char FILE_FORMAT[] = "format";

// Data commands (data_read/write/verify and their flash_ and eeprom_ forms)
inline constexpr char DATA_DATA[] = "data";
inline constexpr char DATA_ADDR_DEVICE[] = "addr_device";

// Fill-character commands (char_write/verify and their flash_ and eeprom_ forms)
inline constexpr char CHAR_FILL_CHAR[] = "fill_char";
inline constexpr char CHAR_COUNT[] = "count";
inline constexpr char CHAR_ADDR_DEVICE[] = "addr_device";

// Block commands (erase_blocks, test_empty_blocks)
inline constexpr char BLOCKS_COUNT[] = "count";
inline constexpr char BLOCKS_BEGIN[] = "begin";
inline constexpr char BLOCKS_SIZE[] = "size";

// "set_addr"
inline constexpr char SET_ADDR_ADDR[] = "addr";

// "set_clk"
inline constexpr char SET_CLK_CLK[] = "clk";

// "reset"
inline constexpr char RESET_DURATION[] = "duration";

// Supply commands (set_vcc, set_vpp, set_vicc, set_vipp)
inline constexpr char SUPPLY_OCP[] = "ocp";
inline constexpr char SUPPLY_IPP[] = "ipp";
inline constexpr char SUPPLY_VPP[] = "vpp";
inline constexpr char SUPPLY_ICC[] = "icc";
inline constexpr char SUPPLY_VCC[] = "vcc";

// "set_io"
inline constexpr char SET_IO_STATE[] = "state";

// "generator"
inline constexpr char GEN_DUTY[] = "duty";
inline constexpr char GEN_FREQ[] = "freq";

// "auto_detect"
inline constexpr char AUTO_STOP[] = "stop";
inline constexpr char AUTO_EXECUTE[] = "execute";
inline constexpr char AUTO_ROUTE[] = "route";
inline constexpr char AUTO_NAME[] = "name";

// "set_device"
inline constexpr char SET_DEVICE_FILE[] = "file";
inline constexpr char SET_DEVICE_DEVICE[] = "device";

// "set_prog"
inline constexpr char SET_PROG_ALT_PORT[] = "alt_port";
inline constexpr char SET_PROG_ALT_ENABLED[] = "alt_enabled";
inline constexpr char SET_PROG_PROG[] = "prog";

// "calc_crc"
inline constexpr char CRC_FILL[] = "fill";
inline constexpr char CRC_COUNT[] = "count";
inline constexpr char CRC_ADDR[] = "addr";
inline constexpr char CRC_FILE[] = "file";
inline constexpr char CRC_FORMAT[] = "format";
inline constexpr char CRC_CRC_NAME[] = "crc_name";

// "execute"
inline constexpr char EXECUTE_CFG[] = "cfg";

// "delay"
inline constexpr char DELAY_VALUE[] = "value";

// "counter"
inline constexpr char COUNTER_LIMIT[] = "limit";
inline constexpr char COUNTER_DELTA[] = "delta";
inline constexpr char COUNTER_VALUE[] = "value";

// "jamp"
inline constexpr char JAMP_TO_CMD[] = "to_cmd";

// "process"
inline constexpr char PROCESS_FILE[] = "file";

// Command codes
inline constexpr char CMD_PROCESS[] = "process";
inline constexpr char CMD_JAMP[] = "jamp";
inline constexpr char CMD_COUNTER[] = "counter";
inline constexpr char CMD_DELAY[] = "delay";
inline constexpr char CMD_PAUSE[] = "pause";
inline constexpr char CMD_STOP[] = "stop";
inline constexpr char CMD_EXECUTE[] = "execute";
inline constexpr char CMD_CALC_CRC[] = "calc_crc";
inline constexpr char CMD_SET_PROG[] = "set_prog";
inline constexpr char CMD_SET_DEVICE[] = "set_device";
inline constexpr char CMD_AUTO_DETECT[] = "auto_detect";
inline constexpr char CMD_GENERATOR[] = "generator";
inline constexpr char CMD_SET_IO[] = "set_io";
inline constexpr char CMD_SET_VCC[] = "set_vcc";
inline constexpr char CMD_SET_VPP[] = "set_vpp";
inline constexpr char CMD_SET_VICC[] = "set_vicc";
inline constexpr char CMD_SET_VIPP[] = "set_vipp";
inline constexpr char CMD_RESET[] = "reset";
inline constexpr char CMD_IDENT[] = "ident";
inline constexpr char CMD_SET_CLK[] = "set_clk";
inline constexpr char CMD_SET_ADDR[] = "set_addr";
inline constexpr char CMD_ERASE[] = "erase";
inline constexpr char CMD_TEST_EMPTY[] = "test_empty";
inline constexpr char CMD_ERASE_BLOCKS[] = "erase_blocks";
inline constexpr char CMD_TEST_EMPTY_BLOCKS[] = "test_empty_blocks";
inline constexpr char CMD_TEST_EMPTY_FLASH[] = "test_empty_flash";
inline constexpr char CMD_TEST_EMPTY_EEPROM[] = "test_empty_eeprom";
inline constexpr char CMD_CHAR_WRITE[] = "char_write";
inline constexpr char CMD_CHAR_VERIFY[] = "char_verify";
inline constexpr char CMD_DATA_READ[] = "data_read";
inline constexpr char CMD_DATA_WRITE[] = "data_write";
inline constexpr char CMD_DATA_VERIFY[] = "data_verify";
inline constexpr char CMD_FILE_READ[] = "file_read";
inline constexpr char CMD_FILE_WRITE[] = "file_write";
inline constexpr char CMD_FILE_VERIFY[] = "file_verify";
inline constexpr char CMD_FLASH_CHAR_WRITE[] = "flash_char_write";
inline constexpr char CMD_FLASH_CHAR_VERIFY[] = "flash_char_verify";
inline constexpr char CMD_FLASH_DATA_READ[] = "flash_data_read";
inline constexpr char CMD_FLASH_DATA_WRITE[] = "flash_data_write";
inline constexpr char CMD_FLASH_DATA_VERIFY[] = "flash_data_verify";
inline constexpr char CMD_FLASH_FILE_READ[] = "flash_file_read";
inline constexpr char CMD_FLASH_FILE_WRITE[] = "flash_file_write";
inline constexpr char CMD_FLASH_FILE_VERIFY[] = "flash_file_verify";
inline constexpr char CMD_EEPROM_CHAR_WRITE[] = "eeprom_char_write";
inline constexpr char CMD_EEPROM_CHAR_VERIFY[] = "eeprom_char_verify";
inline constexpr char CMD_EEPROM_DATA_READ[] = "eeprom_data_read";
inline constexpr char CMD_EEPROM_DATA_WRITE[] = "eeprom_data_write";
inline constexpr char CMD_EEPROM_DATA_VERIFY[] = "eeprom_data_verify";
inline constexpr char CMD_EEPROM_FILE_READ[] = "eeprom_file_read";
inline constexpr char CMD_EEPROM_FILE_WRITE[] = "eeprom_file_write";
inline constexpr char CMD_EEPROM_FILE_VERIFY[] = "eeprom_file_verify";
inline constexpr char CMD_FUSE_READ[] = "fuse_read";
inline constexpr char CMD_FUSE_WRITE[] = "fuse_write";
inline constexpr char CMD_FUSE_VERIFY[] = "fuse_verify";
inline constexpr char CMD_LOCK_READ[] = "lock_read";
inline constexpr char CMD_LOCK_WRITE[] = "lock_write";
inline constexpr char CMD_LOCK_VERIFY[] = "lock_verify";
inline constexpr char CMD_OSCCAL_READ[] = "osccal_read";
inline constexpr char CMD_STATUS_REG_READ[] = "status_reg_read";
inline constexpr char CMD_STATUS_REG_WRITE[] = "status_reg_write";
inline constexpr char CMD_STATUS_REG_VERIFY[] = "status_reg_verify";
inline constexpr char CMD_SEC_REG_ERASE[] = "sec_reg_erase";
inline constexpr char CMD_SEC_REG_TEST_EMPTY[] = "sec_reg_test_empty";
inline constexpr char CMD_SEC_REG_READ[] = "sec_reg_read";
inline constexpr char CMD_SEC_REG_WRITE[] = "sec_reg_write";
inline constexpr char CMD_SEC_REG_VERIFY[] = "sec_reg_verify";
inline constexpr char CMD_UNIQUE_ID_READ[] = "unique_id_read";
inline constexpr char CMD_SFDP_REG_READ[] = "sfdp_reg_read";
inline constexpr char CMD_BMI_READ[] = "bmi_read";
inline constexpr char CMD_BMI_WRITE[] = "bmi_write";
inline constexpr char CMD_BMI_VERIFY[] = "bmi_verify";
inline constexpr char CMD_LEAVE[] = "leave";
// Separator rows of command lists; not a command, no display name.
inline constexpr char CMD_SEPARATOR[] = "separator";

// Project file
inline constexpr char PRJ_COMMANDS[] = "commands";
inline constexpr char PRJ_DESCRIPTION[] = "description";
inline constexpr char PRJ_NAME[] = "name";
inline constexpr char PRJ_WORK_PATH[] = "work_path";
inline constexpr char PRJ_CONFIGURATIONS[] = "configurations";
inline constexpr char PRJ_VERSION[] = "version";

// Command groups: the providers of commands
inline constexpr char GROUP_DEV_XMC1_ASCFD[] = "DevXMC1_ASCFD";
inline constexpr char GROUP_DEV_AVR8_SPI[] = "DevAVR8_SPI";
inline constexpr char GROUP_DEV25[] = "Dev25";
inline constexpr char GROUP_DEV24[] = "Dev24";
inline constexpr char GROUP_PROG[] = "Prog";
inline constexpr char GROUP_TOOLS[] = "Tools";
