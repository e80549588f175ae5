// "vorbixoption" commands typed in the game console.
#pragma once

#include <vector>

void handleInGameCommand(const char* match, char* line);
// Splits at blanks only, in place: each blank after a word but the last
// becomes the terminator, so `line` ends after its first word afterwards.
std::vector<char*> splitWords(char* line);
// Number 0 to 9 of the command word, or -1.
int lookupCommand(const char* word);
void onCinematic(const char* match, char* line);
