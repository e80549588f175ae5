// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "console/keywords.h"

void setPhrase(char (&phrase)[kPhraseSize], const char*) { phrase[0] = 0; }
int appendKeyword(KeywordTable&, const char*, KeywordHandler) { return -1; }
void loadMessageFile(const char*) {}
void addTimedOutEntry() {}
void onTimedOut(const char*, char*) {}
