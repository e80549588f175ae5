// The menu checker finds each kind of fault it exists for, and nothing in a
// sound menu; the menu_check test then runs it on what ships.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu_check.h"

using menucheck::SourceFile;

namespace {

const char* const kSplash =
    "// a splash\r\n"
    "menu splash 640 480 NONE 0\r\n"
    "virtualres 1\r\n"
    "bgcolor 0 0 0 0\r\n"
    "borderstyle NONE\r\n"
    "resource\r\n"
    "Label\r\n"
    "{\r\n"
    "\trect 0 92 640 56 ; a comment as the engine reads it\r\n"
    "\tfont facfont-20\r\n"
    "\tfgcolor 1 0.8 0.2 1\r\n"
    "\ttitle \"SPLASH\"\r\n"
    "\ttextalign left\r\n"
    "}\r\n"
    "end.\r\n";

const char* const kHud =
    "menu hud 640 480 NONE\n"
    "virtualres 1\n"
    "bgcolor 0 0 0 0\n"
    "resource Label {\n"
    "\trect 500 100 40 13\n"
    "\tlinkcvar sfx_kills\n"
    "}\n"
    "resource Label {\n"
    "\trect 540 100 40 13\n"
    "\tlinkcvar hud_extra\n"
    "}\n";

const char* const kHideScript = "hidemenu splash\r\n";
// The HUD is shown and hidden from console text kept in cvars, as the
// shipped scripts do.
const char* const kHudScript =
    "set hud_on \"showmenu hud; seta hud_key vstr hud_off\"\n"
    "set hud_off \"hidemenu hud; set hud_extra 0\" // a comment\n"
    "bind F4 \"vstr hud_key\"\n";

struct Inputs {
    std::vector<SourceFile> menus{{"ui/splash.urc", kSplash}, {"ui/hud.urc", kHud}};
    std::vector<SourceFile> scripts{{"cfg/hide.cfg", kHideScript}, {"cfg/hud.cfg", kHudScript}};
    menucheck::ProgramFacts program{{"splash"}, "hide.cfg", {"sfx_kills"}};
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string joined(const std::vector<std::string>& faults) {
    std::string all;
    for (const std::string& fault : faults) all += fault + "\n";
    return all;
}

}  // namespace

TEST(MenuCheck, SoundMenusAndScriptsPass) {
    Inputs in;
    EXPECT_EQ(joined(menucheck::checkAll(in.menus, in.scripts, in.program)), "");
}

TEST(MenuCheck, EachFaultIsReportedWhereItIs) {
    struct Case {
        const char* what;
        void (*spoil)(Inputs&);
        const char* expected;
    };
    const Case cases[] = {
        {"unknown keyword",
         [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "fgcolor", "colour"); },
         "ui/splash.urc:11: unknown keyword \"colour\" in a Label"},
        {"rect off the screen",
         [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "0 92 640", "1 92 640"); },
         "ui/splash.urc:9: rect 1 92 640 56 lies outside the menu's 640 x 480"},
        {"cvar nothing sets",
         [](Inputs& in) { in.menus[1].text = replaced(in.menus[1].text, "sfx_kills", "sfx_nothing"); },
         "ui/hud.urc:6: cvar \"sfx_nothing\": neither Vorbix nor its scripts set it"},
        {"menu nobody shows", [](Inputs& in) { in.program.shownMenus.clear(); },
         "ui/splash.urc:2: menu \"splash\": neither Vorbix nor a script shows it"},
        {"menu nobody hides",
         [](Inputs& in) { in.scripts[1].text = replaced(in.scripts[1].text, "hidemenu hud", "echo"); },
         "ui/hud.urc:1: menu \"hud\": no script hides it"},
        {"program menu without a file", [](Inputs& in) { in.program.shownMenus.push_back("gone"); },
         "vorbix: it sends \"showmenu gone\" but no menu file defines it"},
        {"program menu the hide script leaves", [](Inputs& in) { in.scripts[0].text = "echo\r\n"; },
         "hide.cfg: does not hide \"splash\", which Vorbix shows: it would stay on"},
        {"script names a missing menu", [](Inputs& in) { in.scripts[0].text += "hidemenu gone\r\n"; },
         "cfg/hide.cfg:2: hidemenu gone: no menu file defines it"},
        {"menu that takes the mouse",
         [](Inputs& in) { in.scripts[1].text = replaced(in.scripts[1].text, "showmenu hud", "togglemenu hud"); },
         "cfg/hud.cfg:1: togglemenu hud: puts the menu on the game's menu stack"},
        {"font the game may lack",
         [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "facfont-20", "arial-40"); },
         "ui/splash.urc:10: font \"arial-40\""},
        {"too few arguments", [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, " 56 ;", " ;"); },
         "\"rect\" takes 4 arguments, not 3 (the engine stops reading the file)"},
        {"brace swallowed as an argument",
         [](Inputs& in) { in.menus[1].text = replaced(in.menus[1].text, "sfx_kills\n}", "sfx_kills }"); },
         "ui/hud.urc:6: \"linkcvar\" takes 1 arguments, not 2"},
        {"background over the whole game",
         [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "bgcolor 0 0 0 0", "borderstyle NONE"); },
         "ui/splash.urc:2: the menu's own background covers the whole screen"},
        {"keyword Allied Assault lacks",
         [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "\ttextalign left", "\toutlinedtext 1"); },
         "ui/splash.urc:13: \"outlinedtext\" exists only in the expansions' engine"},
        {"resource that takes input",
         [](Inputs& in) { in.menus[1].text = replaced(in.menus[1].text, "resource Label", "resource Button"); },
         "ui/hud.urc:4: resource \"Button\": Vorbix menus hold only Labels"},
        {"unclosed string", [](Inputs& in) { in.menus[0].text = replaced(in.menus[0].text, "SPLASH\"", "SPLASH"); },
         "ui/splash.urc:12: string not closed on its line"},
        {"same menu twice", [](Inputs& in) { in.menus.push_back({"ui/copy.urc", in.menus[0].text}); },
         "ui/copy.urc:2: menu \"splash\" is also defined in ui/splash.urc"},
    };
    for (const Case& c : cases) {
        Inputs in;
        c.spoil(in);
        std::string faults = joined(menucheck::checkAll(in.menus, in.scripts, in.program));
        EXPECT_NE(faults.find(c.expected), std::string::npos) << c.what << ": got\n" << faults;
    }
}
