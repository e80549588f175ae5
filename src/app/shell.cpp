// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "app/shell.h"

void shutdownApp() {}
