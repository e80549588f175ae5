// The menu checker: reads the game-side menu files (.urc) the way the game's
// UI loader reads them, and the game-side .cfg scripts the way its console
// runs them, and reports what would not work in the game or does not match
// the program: unknown keywords, bad arguments, rects off the 640 x 480
// virtual screen, linked cvars nobody sets, menus nobody shows or hides.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace menucheck {

struct SourceFile {
    std::string path;
    std::string text;
};

// What the program itself does with the menus and cvars.
struct ProgramFacts {
    std::vector<std::string> shownMenus;  // "showmenu <name>" sent by the program
    std::string hideScript;               // script it runs to hide them again, e.g. "hidevorbixui.cfg"
    std::vector<std::string> cvars;       // cvars it sets, e.g. "sfx_kills"
};

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

// One Label resource, as far as the preview needs it.
struct Widget {
    int line = 0;
    float x = 0, y = 0, w = 128, h = 64;  // the engine's frame before "rect"
    bool hasRect = false;
    Color bg{0.075f, 0.097f, 0.139f, 1.0f};  // the engine's widget defaults
    Color fg{1.0f, 1.0f, 1.0f, 1.0f};
    Color border{0.075f, 0.097f, 0.139f, 1.0f};
    bool hasBorder = true;  // INDENT_BORDER unless "borderstyle NONE"
    std::string font = "verdana-12";
    std::string title;
    std::string cvar;
    HAlign halign = HAlign::Center;
    VAlign valign = VAlign::Center;
};

struct Menu {
    std::string path;
    int line = 0;
    std::string name;
    float width = 0, height = 0;
    Color bg{0.075f, 0.097f, 0.139f, 1.0f};
    bool virtualRes = false;
    std::vector<Widget> widgets;
};

// Parses one menu file; every fault is appended to `errors` as
// "path:line: message". Returns false when the file has no menu.
bool parseMenu(const SourceFile& file, Menu& out, std::vector<std::string>& errors);

// Checks every menu file against the grammar and, together with the scripts,
// against the program. Returns the faults; none means the menus are fine.
std::vector<std::string> checkAll(const std::vector<SourceFile>& menus, const std::vector<SourceFile>& scripts,
                                  const ProgramFacts& program);

// ImageMagick draw primitives (MVG) that paint the menu over a 640 x 480
// picture; a label linked to a cvar shows the value given here, else "0".
std::string drawCommands(const Menu& menu, const std::map<std::string, std::string>& cvarValues);

}  // namespace menucheck
