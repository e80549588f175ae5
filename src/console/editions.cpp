#include "console/editions.h"

const GameEdition kGameEditions[kEditionCount] = {
    {"MOHAA Console", "MOHAA WinConsole", "Searching for Allied Assault.", "Allied Assault"},
    {"MOHAAS Console", "MOHTA WinConsole", "Searching for Spearhead.", "Spearhead"},
    {"MOHAAB Console", "MOHTA WinConsole", "Searching for Breakthrough...", "Breakthrough"},
};

int nextSearchEdition(int& searchIndex) {
    if (searchIndex > 2) searchIndex = 0;
    const int index = searchIndex == 1 || searchIndex == 2 ? searchIndex : 0;
    ++searchIndex;
    return index;
}
