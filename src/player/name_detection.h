// Learning the player's name from the console and routing the lines that hold it.
#pragma once

#include "console/keywords.h"

void onDetectName(const char* match, char* line);
void registerPlayerName(const char* name);
void onNameSeen(const char* match, char* line);
void onConfigWritten(const char* match, char* line);
void onDisabled(const char* match, char* line);

// The name entry of table A, or null while no name is known.
KeywordEntry* nameEntry();
// Lines holding the name are ignored from now on; the game runs "vorbixoff.cfg".
void switchVorbixOff();
