// How events reach the player: sounds, announcements, menus, counters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The game-side script that hides the event menus again, run 600 ms after a
// menu is shown; every menu of kEventMenuNames must be hidden there.
constexpr const char* kHideMenusScript = "hidevorbixui.cfg";

void playSound(const char* file);
void sendAnnouncement(const std::optional<std::string>& text, uint32_t count);
void showGameMenu(const char* name);
void setStatCvar(const char* key, uint32_t value);
void publishAllStats();
