// Learning the player's name from the console and routing the lines that hold it.
#pragma once

void onDetectName(const char* match, char* line);
void registerPlayerName(const char* name);
void onNameSeen(const char* match, char* line);
void onConfigWritten(const char* match, char* line);
void onDisabled(const char* match, char* line);
