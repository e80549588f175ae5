#include "wiring/ingame_commands.h"

#include <cstring>
#include <string>

#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "player/name_detection.h"
#include "wiring/message_wiring.h"

namespace {

const char* const kCommandWords[] = {
    "vorbix_off", "vorbix_on",  "announce_off", "announce_on", "displays_off",
    "displays_on", "sounds_off", "sounds_on",   "private",     "language",
};

enum Command {
    kVorbixOff,
    kVorbixOn,
    kAnnounceOff,
    kAnnounceOn,
    kDisplaysOff,
    kDisplaysOn,
    kSoundsOff,
    kSoundsOn,
    kPrivate,
    kLanguage,
};

void switchVorbixOn() {
    sendConsoleCommand("exec vorbixon.cfg");
    if (KeywordEntry* entry = nameEntry()) entry->handler = onNameSeen;
    sendConsoleCommand("name");
}

void setAnnouncements(bool on) {
    showSwitch(Switch::kAnnouncements, on);
    sendConsoleCommand(on ? "exec announceon.cfg" : "exec announceoff.cfg");
    app.announcementsEnabled = on ? 1 : 0;
}

void setDisplays(bool on) {
    sendConsoleCommand(on ? "exec displayson.cfg" : "exec displaysoff.cfg");
    showSwitch(Switch::kDisplays, on);
    app.displaysEnabled = on ? 1 : 0;
}

void setSounds(bool on) {
    sendConsoleCommand(on ? "exec soundson.cfg" : "exec soundsoff.cfg");
    showSwitch(Switch::kSounds, on);
    app.soundsEnabled = on ? 1 : 0;
}

// A file of the messages folder itself: no folder, no drive, no way up.
bool isPlainFileName(const char* word) {
    return std::strpbrk(word, "\\/:") == nullptr && std::strstr(word, "..") == nullptr;
}

void loadLanguage(const std::vector<char*>& words) {
    if (words.size() < 3 || std::strlen(words[2]) < 2 || !isPlainFileName(words[2])) return;
    loadMessageFile((std::string(words[2]) + ".ini").c_str());
}

}  // namespace

std::vector<char*> splitWords(char* line) {
    std::vector<char*> words;
    char* p = line;
    for (;;) {
        while (*p == ' ') ++p;
        if (*p == '\0') break;
        words.push_back(p);
        while (*p != ' ' && *p != '\0') ++p;
        if (*p == '\0') break;
        *p++ = '\0';
    }
    return words;
}

int lookupCommand(const char* word) {
    for (int i = 0; i < int(sizeof kCommandWords / sizeof kCommandWords[0]); ++i)
        if (std::strcmp(word, kCommandWords[i]) == 0) return i;
    return -1;
}

void handleInGameCommand(const char* match, char* line) {
    // Only the line that "echo vorbixoption <word>" prints: the phrase starts
    // it, and it holds the command and, for "language", the file name, nothing
    // more. The game's "<name> timed out" and "<name> disconnected" lines start
    // with a name another player chose, followed by more words.
    if (match != line) return;
    const std::vector<char*> words = splitWords(line);
    if (words.size() < 2) return;
    const int command = lookupCommand(words[1]);
    if (words.size() > (command == kLanguage ? 3u : 2u)) return;
    switch (command) {
        case kVorbixOff: switchVorbixOff(); break;
        case kVorbixOn: switchVorbixOn(); break;
        case kAnnounceOff: setAnnouncements(false); break;
        case kAnnounceOn: setAnnouncements(true); break;
        case kDisplaysOff: setDisplays(false); break;
        case kDisplaysOn: setDisplays(true); break;
        case kSoundsOff: setSounds(false); break;
        case kSoundsOn: setSounds(true); break;
        case kPrivate:
            app.privateMode = true;
            addTimedOutEntry();
            break;
        case kLanguage: loadLanguage(words); break;
        default: break;
    }
}

void onCinematic(const char*, char*) {
    if (app.privateMode) sendConsoleCommand("cinematic");
}
