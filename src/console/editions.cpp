#include "console/editions.h"

const GameEdition kGameEditions[kEditionCount] = {
    {"MOHAA Console", "MOHAA WinConsole", "Searching for Allied Assault."},
    {"MOHAAS Console", "MOHTA WinConsole", "Searching for Spearhead."},
    {"MOHAAB Console", "MOHTA WinConsole", "Searching for Breakthrough..."},
};
