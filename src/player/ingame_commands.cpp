// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "player/ingame_commands.h"

void handleInGameCommand(const char*, char*) {}
std::vector<char*> splitWords(char*) { return {}; }
int lookupCommand(const char*) { return -1; }
void onCinematic(const char*, char*) {}
