// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "app/settings.h"

bool loadSettingsFile() { return false; }
void loadSettings() {}
void loadKillTime() {}
std::string launchSetting(const char*, const char* placeholder) { return placeholder; }
void applyCheckBoxes() {}
bool saveSettings() { return false; }
int32_t parseDecimal(const char*) { return 0; }
