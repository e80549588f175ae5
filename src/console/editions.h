// The three game editions whose console windows the program looks for.
#pragma once

struct GameEdition {
    const char* title;
    const char* windowClass;
    const char* statusText;
    const char* name;
};

constexpr int kEditionCount = 3;
extern const GameEdition kGameEditions[kEditionCount];

// The edition a search step tries next, advancing `searchIndex`: Allied
// Assault, Spearhead, Breakthrough in turn; an index out of range starts over.
int nextSearchEdition(int& searchIndex);
