// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "stats/announce.h"

void playSound(const char*) {}
void sendAnnouncement(const std::optional<std::string>&, uint32_t) {}
void showGameMenu(const char*) {}
void hideMenuWorker() {}
void setStatCvar(const char*, uint32_t) {}
void publishAllStats() {}
