// Reading a number the way the settings file's values are read.
#pragma once

#include <cstdint>

// Leading blanks, an optional sign, then the digits up to the first other
// character; 0 without digits. Out-of-range values saturate.
int32_t parseDecimal(const char* text);
