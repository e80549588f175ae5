// Reading a message file's phrases into the keyword tables. Which section
// feeds which table and handler is the wiring's (wiring/message_wiring.cpp).
#pragma once

#include <SimpleIni.h>

#include <string>

#include "core/keyword_table.h"

// The path of messages/<name> under the current directory; empty when it
// would not fit the program's 260-byte path buffer.
std::string messageFilePath(const std::string& name);

// Appends one entry per value of `section`, in the library's key order
// (without regard to case: 1, 10, 2). A value that would need a 31st slot
// ends the program with "MAX_KEYWORDS met".
void addKeywords(KeywordTable& table, const char* section, KeywordHandler handler, const CSimpleIniA& ini);
void addKeywords(HitLocationTable& table, const char* section, HitHandler handler, const CSimpleIniA& ini);
