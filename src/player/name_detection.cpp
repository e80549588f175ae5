// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "player/name_detection.h"

void onDetectName(const char*, char*) {}
void registerPlayerName(const char*) {}
void onNameSeen(const char*, char*) {}
void onConfigWritten(const char*, char*) {}
void onDisabled(const char*, char*) {}
