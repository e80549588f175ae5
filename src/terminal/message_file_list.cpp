// The message-file list on Linux and macOS: the files of messages/, in the
// order a Windows folder lists them (names compared without case), and the
// one to start with, which becomes the message-file box's text.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/platform.h"
#include "terminal/message_file_list.h"

namespace {

constexpr const char* kFallbackMessageFile = "english.ini";

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> messageFileNames() {
    std::vector<std::string> names;
    const std::string folder = currentDirectory() + "/messages/";
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) return names;
    while (const dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        struct stat info;
        if (name[0] != '.' && stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lowerCase(a) < lowerCase(b); });
    return names;
}

// The first name that begins with `prefix`, ignoring case, as the Windows
// list box selects it.
const std::string* firstStartingWith(const std::vector<std::string>& names, const char* prefix) {
    const std::string wanted = lowerCase(prefix);
    for (const std::string& name : names)
        if (lowerCase(name).compare(0, wanted.size(), wanted) == 0) return &name;
    return nullptr;
}

}  // namespace

int listMessageFiles(std::string& start) {
    const std::vector<std::string> names = messageFileNames();
    if (names.empty()) return 0;
    const char* saved = app.settingsIni.GetValue("", "defaultmsgfile", nullptr);
    const std::string* chosen = saved ? firstStartingWith(names, saved) : nullptr;
    if (chosen == nullptr) chosen = firstStartingWith(names, kFallbackMessageFile);
    if (chosen == nullptr) chosen = &names.front();
    start = *chosen;
    return static_cast<int>(names.size());
}
