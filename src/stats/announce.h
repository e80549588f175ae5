// How events reach the player: sounds, announcements, menus, counters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

void playSound(const char* file);
void sendAnnouncement(const std::optional<std::string>& text, uint32_t count);
void showGameMenu(const char* name);
void hideMenuWorker();
void setStatCvar(const char* key, uint32_t value);
void publishAllStats();
