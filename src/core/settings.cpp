#include "core/settings.h"

#include <cinttypes>
#include <cstdio>

#include "core/app_state.h"
#include "core/atomic_file.h"

namespace {

const char* const kUnnamedSection = "";
const char* const kVorbixSection = "vorbix";
const char* const kGameSection = "game";
const char* const kAnnouncementsSection = "announcements";

// Reads a flag key as a decimal number; an absent key leaves the flag alone.
void readFlag(const char* section, const char* key, uint32_t& flag) {
    const char* value = app.settingsIni.GetValue(section, key, nullptr);
    if (value) flag = static_cast<uint32_t>(parseDecimal(value));
}

bool storeValue(const char* section, const char* key, const char* value) {
    return app.settingsIni.SetValue(section, key, value) >= 0;
}

bool storeFlag(const char* section, const char* key, uint32_t flag) {
    char text[16];
    std::snprintf(text, sizeof text, "%" PRIu32, flag);
    return storeValue(section, key, text);
}

}  // namespace

bool loadSettingsFile() { return app.settingsIni.LoadFile(kSettingsFileName) >= 0; }

void loadSettings() {
    for (int i = 0; i < kAnnouncementCount; ++i) {
        const char* text = app.settingsIni.GetValue(kAnnouncementsSection, kAnnouncementKeys[i], nullptr);
        if (text)
            app.announcementTexts[i] = std::string(text);
        else
            app.announcementTexts[i].reset();
    }
    readFlag(kGameSection, "launchmohaa", app.launchGameOnHide);
    readFlag(kVorbixSection, "displays", app.displaysEnabled);
    readFlag(kVorbixSection, "sounds", app.soundsEnabled);
    readFlag(kVorbixSection, "announcements", app.announcementsEnabled);
}

void loadKillTime() {
    const char* value = app.settingsIni.GetValue(kUnnamedSection, "kill_time", nullptr);
    if (value) app.killTime = parseDecimal(value);
}

std::string launchSetting(const char* key, const char* placeholder) {
    const char* value = app.settingsIni.GetValue(kGameSection, key, nullptr);
    return value && *value ? value : placeholder;
}

void loadLaunchTexts() {
    app.settingsTexts.server = launchSetting("ip", kDefaultServer);
    app.settingsTexts.gamePath = launchSetting("gamepath", kDefaultGamePath);
    app.settingsTexts.parameters = launchSetting("gameparameters", kDefaultGameParameters);
}

std::string playerNameSetting() {
    const char* value = app.settingsIni.GetValue(kGameSection, "playername", nullptr);
    return value ? value : "";
}

void applySwitches(bool launchGame, bool sounds, bool displays, bool announcements) {
    app.launchGameOnHide = launchGame ? 1 : 0;
    app.soundsEnabled = sounds ? 1 : 0;
    app.displaysEnabled = displays ? 1 : 0;
    app.announcementsEnabled = announcements ? 1 : 0;
}

bool saveSettings() {
    CSimpleIniA& ini = app.settingsIni;
    if (!storeFlag(kVorbixSection, "displays", app.displaysEnabled)) return false;
    if (!storeFlag(kVorbixSection, "sounds", app.soundsEnabled)) return false;
    if (!storeFlag(kVorbixSection, "announcements", app.announcementsEnabled)) return false;
    if (!storeFlag(kGameSection, "launchmohaa", app.launchGameOnHide)) return false;
    for (int i = 0; i < kAnnouncementCount; ++i) {
        const auto& text = app.announcementTexts[i];
        // An absent text stores no key, but the section is created all the same.
        bool stored = text ? storeValue(kAnnouncementsSection, kAnnouncementKeys[i], text->c_str())
                           : storeValue(kAnnouncementsSection, nullptr, nullptr);
        if (!stored) return false;
    }
    const SettingsTexts& texts = app.settingsTexts;
    if (!storeValue(kGameSection, "ip", texts.server.c_str())) return false;
    if (!storeValue(kGameSection, "gamepath", texts.gamePath.c_str())) return false;
    if (!storeValue(kGameSection, "gameparameters", texts.parameters.c_str())) return false;
    // The library writes the unnamed section ahead of every section header,
    // even when it is created only now, so this key is found again next start.
    if (!storeValue(kUnnamedSection, "defaultmsgfile", texts.messageFile.c_str())) return false;

    std::string bytes;
    if (ini.Save(bytes, true) < 0) return false;
    return writeFileAtomically(kSettingsFileName, bytes.data(), bytes.size());
}
