// vorbix.ini: read at start-up, kept loaded, written once at exit.
#pragma once

#include <cstdint>
#include <string>

#include "text/parse_decimal.h"

constexpr const char* kSettingsFileName = "vorbix.ini";
constexpr const char* kDefaultServer = "000.000.000.00:0000";
constexpr const char* kDefaultGamePath = "C:\\Program Files\\EA GAMES\\MOHAA\\MOHAA.exe";
constexpr const char* kDefaultGameParameters = "+set ui_console 1 +set cl_playintro 0";

// Loads vorbix.ini into app.settingsIni; false when it cannot be loaded.
bool loadSettingsFile();
// The announcement texts and the four flags.
void loadSettings();
// "kill_time" from the unnamed section into app.killTime.
void loadKillTime();
// A launch box's start text: the value, or `placeholder` when absent or empty.
std::string launchSetting(const char* key, const char* placeholder);
// The three launch texts from the loaded file, as the boxes start.
void loadLaunchTexts();
// "playername" of section "game": the player's name for a game that cannot
// be asked for it (one followed through its log); empty when not set.
std::string playerNameSetting();
// The four check boxes of the front-end into the four flags, all at once.
void applySwitches(bool launchGame, bool sounds, bool displays, bool announcements);
// Stores every value and writes the file in one step; false on any failure.
bool saveSettings();

