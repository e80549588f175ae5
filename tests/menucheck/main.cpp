// vorbix_menucheck UI_DIR CFG_DIR
//     Checks every menu file (*.urc) of UI_DIR, with the game-side scripts
//     (*.cfg) of CFG_DIR, against the game's menu grammar and against what
//     the program shows, hides and sets. Prints each fault; exits 1 on any.
// vorbix_menucheck --draw MENU_FILE [CVAR=VALUE...]
//     Prints ImageMagick draw commands (MVG) that paint the menu over a
//     640 x 480 picture, linked cvars showing the given values.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "menu_check.h"
#include "stats/announce.h"
#include "stats/events.h"
#include "core/stats_record.h"

namespace fs = std::filesystem;

namespace {

bool readFile(const fs::path& path, menucheck::SourceFile& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = {path.generic_string(), text.str()};
    return true;
}

std::vector<menucheck::SourceFile> readDirectory(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error))
        if (entry.is_regular_file() && entry.path().extension() == extension) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<menucheck::SourceFile> files(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) readFile(paths[i], files[i]);
    return files;
}

// The program's own names: the menus its event handlers show, the script its
// hide worker runs, and the "sfx_<key>" cvar of every counter.
menucheck::ProgramFacts programFacts() {
    menucheck::ProgramFacts facts;
    facts.shownMenus.assign(kEventMenuNames, kEventMenuNames + kEventMenuCount);
    facts.hideScript = kHideMenusScript;
    for (const char* key : kStatsKeys) facts.cvars.push_back(std::string("sfx_") + key);
    return facts;
}

int check(const fs::path& uiDir, const fs::path& cfgDir) {
    std::vector<menucheck::SourceFile> menus = readDirectory(uiDir, ".urc");
    std::vector<menucheck::SourceFile> scripts = readDirectory(cfgDir, ".cfg");
    if (menus.empty() || scripts.empty()) {
        std::fprintf(stderr, "no menu files in %s or no scripts in %s\n", uiDir.string().c_str(),
                     cfgDir.string().c_str());
        return 1;
    }
    std::vector<std::string> faults = menucheck::checkAll(menus, scripts, programFacts());
    for (const std::string& fault : faults) std::printf("%s\n", fault.c_str());
    std::printf("%zu menu files, %zu scripts: %zu faults\n", menus.size(), scripts.size(), faults.size());
    return faults.empty() ? 0 : 1;
}

int draw(const fs::path& menuFile, int argc, char** argv) {
    menucheck::SourceFile file;
    if (!readFile(menuFile, file)) {
        std::fprintf(stderr, "cannot read %s\n", menuFile.string().c_str());
        return 1;
    }
    menucheck::Menu menu;
    std::vector<std::string> faults;
    if (!menucheck::parseMenu(file, menu, faults) || !faults.empty()) {
        for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
        return 1;
    }
    std::map<std::string, std::string> values;
    for (int i = 0; i < argc; ++i) {
        std::string pair = argv[i];
        size_t eq = pair.find('=');
        if (eq != std::string::npos) values[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
    std::cout << menucheck::drawCommands(menu, values);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--draw") return draw(argv[2], argc - 3, argv + 3);
    if (argc == 3) return check(argv[1], argv[2]);
    std::fprintf(stderr, "usage: %s UI_DIR CFG_DIR\n       %s --draw MENU_FILE [CVAR=VALUE...]\n", argv[0], argv[0]);
    return 2;
}
