// Learning the player's name from the console and routing the lines that hold it.
#pragma once

#include "core/keyword_table.h"

void onDetectName(const char* match, char* line);
// Tells the game the name, keeps it, and gives the name entry the part of it
// that both the game's notices and its obituaries print.
void registerPlayerName(const char* name);
// Runs the first table B pattern, filled with the name as the game prints it
// in that kind of line, that occurs in `line`.
void onNameSeen(const char* match, char* line);
// A line holding the chat byte. Chat never counts; the one such line handled
// is the expansions' "<name> has entered the battle" of the player himself.
void onChatByteLine(char* line);
void onConfigWritten(const char* match, char* line);
void onDisabled(const char* match, char* line);

// The name entry of table A, or null while no name is known.
KeywordEntry* nameEntry();
// Lines holding the name are ignored from now on; the game runs "vorbixoff.cfg".
void switchVorbixOff();
