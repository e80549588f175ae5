#include "core/settings.h"

#include <cinttypes>
#include <cstdio>

#include "core/app_state.h"
#include "core/atomic_file.h"
#include "core/platform.h"

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

bool storeControlText(const char* section, const char* key, WindowHandle control) {
    return storeValue(section, key, getControlText(control).c_str());
}

}  // namespace

int32_t parseDecimal(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Out-of-range values saturate instead of overflowing.
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT64_C(2147483648)) value = INT64_C(2147483648);
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

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

void applyCheckBoxes() {
    app.launchGameOnHide = isCheckBoxChecked(app.launchCheckBox) ? 1 : 0;
    app.soundsEnabled = isCheckBoxChecked(app.soundsCheckBox) ? 1 : 0;
    app.displaysEnabled = isCheckBoxChecked(app.displaysCheckBox) ? 1 : 0;
    app.announcementsEnabled = isCheckBoxChecked(app.announcementsCheckBox) ? 1 : 0;
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
    if (!storeControlText(kGameSection, "ip", app.connectBox)) return false;
    if (!storeControlText(kGameSection, "gamepath", app.gamePathBox)) return false;
    if (!storeControlText(kGameSection, "gameparameters", app.parametersBox)) return false;
    // The library writes the unnamed section ahead of every section header,
    // even when it is created only now, so this key is found again next start.
    if (!storeControlText(kUnnamedSection, "defaultmsgfile", app.messageFileBox)) return false;

    std::string bytes;
    if (ini.Save(bytes, true) < 0) return false;
    return writeFileAtomically(kSettingsFileName, bytes.data(), bytes.size());
}
