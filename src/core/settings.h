// vorbix.ini: read at start-up, kept loaded, written once at exit.
#pragma once

#include <cstdint>
#include <string>

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
// The four check boxes into the four flags.
void applyCheckBoxes();
// Stores every value and writes the file in one step; false on any failure.
bool saveSettings();
// Leading blanks, optional sign, digits up to the first other character; 0 without digits.
int32_t parseDecimal(const char* text);
