// The message files the terminal can start with.
#pragma once

#include <string>

// The files of messages/, in the order a Windows folder lists them; sets
// `start` to the saved, the English or the first one, as the Windows list
// selects it. Returns how many there are.
int listMessageFiles(std::string& start);
