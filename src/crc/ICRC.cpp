#include "crc/ICRC.h"

ICRC::~ICRC() = default;
