#include "menu_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace menucheck {
namespace {

// The virtual screen that "virtualres 1" scales to the real one.
constexpr float kScreenWidth = 640;
constexpr float kScreenHeight = 480;
// The engine's script reader raises an error on a longer token.
constexpr size_t kMaxToken = 511;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class Faults {
public:
    explicit Faults(std::vector<std::string>& out) : out_(out) {}
    void add(const std::string& path, int line, const std::string& message) {
        out_.push_back(path + ":" + std::to_string(line) + ": " + message);
    }
    void add(const std::string& where, const std::string& message) { out_.push_back(where + ": " + message); }

private:
    std::vector<std::string>& out_;
};

struct Token {
    std::string text;
    int line;
};

// Cuts a menu file into tokens the way the game's script reader does: bytes
// up to the space separate, ';' and "//" start a comment that runs to the end
// of the line, a quoted string must end on its own line, a backslash escapes
// the next byte. What the reader turns into an error that drops the game or
// silently changes the meaning (commas, "$" macros, long tokens) is a fault.
std::vector<Token> tokenize(const SourceFile& file, Faults& faults) {
    std::vector<Token> tokens;
    const std::string& s = file.text;
    size_t i = 0;
    int line = 1;
    auto atComment = [&](size_t at) { return s[at] == ';' || (s[at] == '/' && at + 1 < s.size() && s[at + 1] == '/'); };
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c <= ' ') {
            ++i;
        } else if (atComment(i)) {
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (c == ',') {
            faults.add(file.path, line,
                       "comma: the engine reads it as a separator, and at a line's end it drops the game with an error");
            ++i;
        } else {
            Token token{"", line};
            bool quoted = c == '"';
            if (quoted) ++i;
            while (i < s.size()) {
                char d = s[i];
                if (quoted ? d == '"' : (static_cast<unsigned char>(d) <= ' ' || d == ',' || atComment(i))) break;
                if (quoted && d == '\n') break;
                if (d == '\\' && i + 1 < s.size()) {
                    char e = s[++i];
                    token.text += (e == 'n' || e == 'r') ? '\n' : e;
                } else {
                    token.text += d;
                }
                ++i;
            }
            if (quoted) {
                if (i >= s.size() || s[i] != '"') {
                    faults.add(file.path, line,
                               "string not closed on its line: the engine drops the game with an error");
                } else {
                    ++i;
                }
            } else if (token.text[0] == '$') {
                faults.add(file.path, line, "\"" + token.text + "\": the engine reads a leading '$' as a macro");
            }
            if (token.text.size() > kMaxToken)
                faults.add(file.path, line, "token longer than 511 bytes: the engine drops the game with an error");
            tokens.push_back(token);
        }
    }
    return tokens;
}

enum Scope : unsigned { kContainer = 1, kLabel = 2, kBoth = 3 };

// The keywords the engine's widget classes answer in a menu file, with their
// arguments: f a number, i an integer, b a boolean, s a word or string; upper
// case is optional. Those the engine takes but that would misbehave in a
// Vorbix menu carry the reason they are refused.
struct Keyword {
    const char* name;
    const char* args;
    unsigned scopes;
    const char* refusal;
};

constexpr const char* kExpansionOnly = "exists only in the expansions' engine: Allied Assault ignores it";

const Keyword kKeywords[] = {
    {"rect", "ffff", kBoth, nullptr},
    {"size", "ffff", kBoth, nullptr},
    {"name", "s", kBoth, nullptr},
    {"title", "s", kBoth, nullptr},
    {"font", "s", kBoth, nullptr},
    {"bgcolor", "ffff", kBoth, nullptr},
    {"fgcolor", "ffff", kBoth, nullptr},
    {"borderstyle", "s", kBoth, nullptr},
    {"bordercolor", "ffff", kBoth, nullptr},
    {"shader", "s", kBoth, nullptr},
    {"tileshader", "s", kBoth, nullptr},
    {"hovershader", "s", kBoth, nullptr},
    {"pressedshader", "s", kBoth, nullptr},
    {"fadein", "f", kBoth, nullptr},
    {"stopsound", "s", kBoth, nullptr},
    {"clicksound", "s", kBoth, nullptr},
    {"stretch", "s", kBoth, nullptr},
    {"virtualres", "i", kBoth, nullptr},
    {"direction", "sF", kBoth, nullptr},
    {"align", "sSSSSS", kBoth, nullptr},
    {"stuffcommand", "s", kBoth, nullptr},
    {"linkcvar", "s", kBoth, nullptr},
    {"noparentclip", "", kBoth, nullptr},
    {"noparentadjust", "", kBoth, nullptr},
    {"aliascache", "ssSSSSSS", kBoth, nullptr},
    {"ordernumber", "i", kBoth, nullptr},
    {"textalign", "s", kBoth, nullptr},
    {"enable", "", kBoth, nullptr},
    {"disable", "", kBoth, nullptr},
    {"enabledcvar", "s", kBoth, nullptr},
    {"scalecvar", "s", kBoth, nullptr},
    {"hide", "", kBoth, nullptr},
    {"activate", "", kBoth, nullptr},
    {"initdata", "s", kBoth, "sets the linked cvar when the menu loads, over the value Vorbix keeps there"},
    {"showcommand", "s", kBoth, "runs console text in Allied Assault but a widget event in the expansions"},
    {"hidecommand", "s", kBoth, "runs console text in Allied Assault but a widget event in the expansions"},
    {"dontlocalize", "", kBoth, kExpansionOnly},
    {"fadesequence", "ffff", kBoth, kExpansionOnly},
    {"bgfill", "ffff", kContainer, nullptr},
    {"fullscreen", "b", kContainer, "stops the game drawing the world while the menu shows"},
    {"vidmode", "i", kContainer, "switches the video mode when the menu shows"},
    {"linkstring", "is", kLabel, nullptr},
    {"linkcvartoshader", "", kLabel, nullptr},
    {"oneshotsound", "sf", kLabel, kExpansionOnly},
    {"loopingsound", "sFFFF", kLabel, kExpansionOnly},
    {"outlinedtext", "I", kLabel, kExpansionOnly},
};

// Fonts the engine itself loads in all three games. A font the game lacks
// stops it with "Couldn't load font" as soon as the menus load.
const char* const kFonts[] = {"verdana-12", "verdana-14", "facfont-20"};

const Keyword* findKeyword(const std::string& name) {
    for (const Keyword& keyword : kKeywords)
        if (name == keyword.name) return &keyword;
    return nullptr;
}

bool parseNumber(const std::string& text, bool integer, float& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    double value = integer ? static_cast<double>(std::strtol(text.c_str(), &end, 10)) : std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) return false;
    out = static_cast<float>(value);
    return true;
}

bool isOneOf(const std::string& value, std::initializer_list<const char*> allowed) {
    std::string v = lower(value);
    for (const char* a : allowed)
        if (v == a) return true;
    return false;
}

// Reads one menu file statement by statement, as the engine's layout loader
// does: "menu" opens the menu, other top-level keywords set up the menu's own
// container, "resource <class> { ... }" adds a widget, "end." ends the file.
// A keyword takes the rest of its line as arguments.
class MenuParser {
public:
    // Every cvar a keyword names (linkcvar, enabledcvar, scalecvar).
    struct CvarUse {
        std::string cvar;
        int line;
    };
    std::vector<CvarUse> linkedCvars;

    MenuParser(const SourceFile& file, Menu& menu, Faults& faults)
        : file_(file), menu_(menu), faults_(faults), tokens_(tokenize(file, faults)) {}

    bool parse() {
        menu_.path = file_.path;
        bool seenMenu = false;
        while (pos_ < tokens_.size()) {
            const Token& token = tokens_[pos_++];
            if (token.text == "end.") break;
            if (token.text == "menu") {
                std::vector<Token> args = restOfLine(token.line);
                if (seenMenu) {
                    fault(token.line, "a second \"menu\": keep one menu to a file");
                    continue;
                }
                seenMenu = true;
                readHeader(token, args);
            } else if (!seenMenu) {
                fault(token.line, "\"" + token.text + "\" before \"menu\": the engine has no menu to give it to");
                restOfLine(token.line);
            } else if (token.text == "resource") {
                readResource(token);
            } else if (token.text == "include" || token.text == "postinclude") {
                fault(token.line, "\"" + token.text + "\": keep each menu in one file");
                restOfLine(token.line);
            } else {
                readProperty(token, kContainer, nullptr);
            }
        }
        if (!seenMenu) {
            fault(tokens_.empty() ? 1 : tokens_.back().line, "no \"menu\" line");
            return false;
        }
        if (!menu_.virtualRes)
            fault(menu_.line, "no \"virtualres 1\": rects would be screen pixels instead of the 640 x 480 screen");
        if (menu_.width == kScreenWidth && menu_.height == kScreenHeight && menu_.bg.a != 0)
            fault(menu_.line, "the menu's own background covers the whole screen: give it \"bgcolor 0 0 0 0\"");
        return true;
    }

private:
    void fault(int line, const std::string& message) { faults_.add(file_.path, line, message); }

    std::vector<Token> restOfLine(int line) {
        std::vector<Token> args;
        while (pos_ < tokens_.size() && tokens_[pos_].line == line) args.push_back(tokens_[pos_++]);
        return args;
    }

    // "menu <name> <width> <height> <direction> [motion time]"
    void readHeader(const Token& token, const std::vector<Token>& args) {
        menu_.line = token.line;
        if (args.size() < 4 || args.size() > 5) {
            fault(token.line, "\"menu\" takes a name, width, height, direction and an optional motion time");
            return;
        }
        menu_.name = args[0].text;
        float motion = 0;
        if (!parseNumber(args[1].text, false, menu_.width) || !parseNumber(args[2].text, false, menu_.height) ||
            (args.size() == 5 && !parseNumber(args[4].text, false, motion))) {
            fault(token.line, "\"menu\": width, height and motion time are numbers");
            return;
        }
        if (menu_.width <= 0 || menu_.height <= 0 || menu_.width > kScreenWidth || menu_.height > kScreenHeight)
            fault(token.line, "menu size outside the 640 x 480 screen");
        if (!isOneOf(args[3].text, {"none", "from_top", "from_bottom", "from_left", "from_right"}))
            fault(token.line, "unknown direction \"" + args[3].text + "\"");
    }

    void readResource(const Token& token) {
        if (pos_ + 1 >= tokens_.size()) {
            fault(token.line, "\"resource\" without a class and a block");
            pos_ = tokens_.size();
            return;
        }
        const Token& type = tokens_[pos_++];
        const Token& open = tokens_[pos_++];
        if (type.text != "Label") {
            // The engine drops the rest of the file at an unknown class; the
            // known ones other than Label can take the mouse or keyboard.
            fault(type.line, "resource \"" + type.text + "\": Vorbix menus hold only Labels, which never take input");
        }
        if (open.text != "{") {
            fault(open.line, "expected \"{\" after the resource class");
            --pos_;
            return;
        }
        Widget widget;
        widget.line = type.line;
        bool closed = false;
        while (pos_ < tokens_.size()) {
            const Token& property = tokens_[pos_++];
            if (property.text == "}") {
                closed = true;
                break;
            }
            readProperty(property, kLabel, &widget);
        }
        if (!closed) fault(token.line, "resource block not closed with \"}\"");
        if (!widget.hasRect) fault(widget.line, "Label without a rect: the engine puts it at 0 0 128 64");
        menu_.widgets.push_back(widget);
    }

    // One keyword with its arguments, for the menu's container or a Label.
    void readProperty(const Token& token, Scope scope, Widget* widget) {
        std::vector<Token> args = restOfLine(token.line);
        const Keyword* keyword = findKeyword(token.text);
        if (!keyword || !(keyword->scopes & scope)) {
            fault(token.line, "unknown keyword \"" + token.text + "\"" +
                                  (scope == kLabel ? " in a Label" : " for the menu"));
            return;
        }
        if (keyword->refusal) {
            fault(token.line, "\"" + token.text + "\" " + keyword->refusal);
            return;
        }
        size_t required = 0, allowed = std::strlen(keyword->args);
        while (required < allowed && std::islower(static_cast<unsigned char>(keyword->args[required]))) ++required;
        if (args.size() < required || args.size() > allowed) {
            fault(token.line, "\"" + token.text + "\" takes " +
                                  (required == allowed ? std::to_string(allowed)
                                                       : std::to_string(required) + " to " + std::to_string(allowed)) +
                                  " arguments, not " + std::to_string(args.size()) +
                                  (args.size() < required ? " (the engine stops reading the file)" : ""));
            return;
        }
        std::vector<float> numbers(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(keyword->args[i])));
            bool ok = true;
            if (kind == 'f' || kind == 'i') ok = parseNumber(args[i].text, kind == 'i', numbers[i]);
            if (kind == 'b') ok = isOneOf(args[i].text, {"0", "1", "true", "false"});
            if (!ok) {
                fault(token.line, "\"" + token.text + "\": \"" + args[i].text + "\" is not a valid argument");
                return;
            }
        }
        checkValues(token, args, numbers, widget);
    }

    void checkValues(const Token& token, const std::vector<Token>& args, const std::vector<float>& n, Widget* widget) {
        const std::string& key = token.text;
        int line = token.line;
        if (key == "rect" || key == "size") {
            if (n[2] <= 0 || n[3] <= 0 || n[0] < 0 || n[1] < 0 || n[0] + n[2] > menu_.width ||
                n[1] + n[3] > menu_.height)
                fault(line, "rect " + args[0].text + " " + args[1].text + " " + args[2].text + " " + args[3].text +
                                " lies outside the menu's " + std::to_string(static_cast<int>(menu_.width)) + " x " +
                                std::to_string(static_cast<int>(menu_.height)));
            if (widget) {
                widget->x = n[0], widget->y = n[1], widget->w = n[2], widget->h = n[3];
                widget->hasRect = true;
            }
        } else if (key == "bgcolor" || key == "fgcolor" || key == "bordercolor" || key == "bgfill") {
            for (float v : n)
                if (v < 0 || v > 1) {
                    fault(line, "\"" + key + "\": colour parts run from 0 to 1");
                    return;
                }
            Color color{n[0], n[1], n[2], n[3]};
            if (key == "bgcolor") {
                // The engine's bgcolor sets the border colour too.
                if (widget) widget->bg = widget->border = color;
                else menu_.bg = color;
            }
            if (widget && key == "fgcolor") widget->fg = color;
            if (widget && key == "bordercolor") widget->border = color;
        } else if (key == "font") {
            bool known = false;
            for (const char* font : kFonts) known = known || args[0].text == font;
            if (!known)
                fault(line, "font \"" + args[0].text + "\": use verdana-12, verdana-14 or facfont-20, which every "
                            "game has (a missing font drops the game with an error)");
            else if (widget) widget->font = args[0].text;
        } else if (key == "borderstyle") {
            if (!isOneOf(args[0].text, {"none", "3d_border", "indent_border"}))
                fault(line, "unknown border style \"" + args[0].text + "\"");
            else if (widget) widget->hasBorder = lower(args[0].text) != "none";
        } else if (key == "textalign" || key == "align") {
            for (const Token& arg : args)
                if (!isOneOf(arg.text, {"left", "right", "top", "bottom", "centerx", "centery"}))
                    fault(line, "unknown alignment \"" + arg.text + "\"");
            if (widget && key == "textalign") {
                std::string a = lower(args[0].text);
                if (a == "left") widget->halign = HAlign::Left;
                if (a == "right") widget->halign = HAlign::Right;
                if (a == "centerx") widget->halign = HAlign::Center;
                if (a == "top") widget->valign = VAlign::Top;
                if (a == "bottom") widget->valign = VAlign::Bottom;
                if (a == "centery") widget->valign = VAlign::Center;
            }
        } else if (key == "direction") {
            if (!isOneOf(args[0].text, {"none", "from_top", "from_bottom", "from_left", "from_right"}))
                fault(line, "unknown direction \"" + args[0].text + "\"");
        } else if (key == "stretch") {
            if (!isOneOf(args[0].text, {"vertical", "horizontal", "both"}))
                fault(line, "unknown stretch \"" + args[0].text + "\"");
        } else if (key == "virtualres") {
            if (!widget) menu_.virtualRes = n[0] != 0;
        } else if (key == "title") {
            if (widget) widget->title = args[0].text;
        } else if (key == "linkcvar" || key == "enabledcvar" || key == "scalecvar") {
            std::string cvar = args[0].text;
            if (key == "enabledcvar" && !cvar.empty() && cvar[0] == '!') cvar.erase(0, 1);
            linkedCvars.push_back({cvar, line});
            if (widget && key == "linkcvar") widget->cvar = cvar;
        }
    }

    const SourceFile& file_;
    Menu& menu_;
    Faults& faults_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

// What the shipped scripts do with menus and cvars.
struct ScriptFacts {
    struct MenuCommand {
        std::string verb, menu, script, path;
        int line;
    };
    std::set<std::string> cvarsSet;  // lower case
    std::vector<MenuCommand> menuCommands;
};

// Splits console text into commands as the game's console does: ';' and line
// breaks end a command outside quotes, "//" starts a comment, quotes group
// words. The values of "set" and "bind" are console text themselves (run by
// "vstr" or the key), so they are read the same way.
void scanConsoleText(const std::string& text, const SourceFile& script, int line, int depth, ScriptFacts& facts) {
    if (depth > 4) return;
    std::string name = script.path.substr(script.path.find_last_of("/\\") + 1);
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false, inWord = false;
    auto endWord = [&] {
        if (inWord) words.push_back(word);
        word.clear();
        inWord = false;
    };
    auto endCommand = [&] {
        endWord();
        if (words.empty()) return;
        std::string verb = lower(words[0]);
        auto joined = [&](size_t from) {
            std::string value;
            for (size_t i = from; i < words.size(); ++i) value += (i > from ? " " : "") + words[i];
            return value;
        };
        if ((verb == "set" || verb == "seta" || verb == "sets" || verb == "setu") && words.size() >= 2) {
            facts.cvarsSet.insert(lower(words[1]));
            if (words.size() >= 3) scanConsoleText(joined(2), script, line, depth + 1, facts);
        } else if (verb == "bind" && words.size() >= 3) {
            scanConsoleText(joined(2), script, line, depth + 1, facts);
        } else if ((verb == "showmenu" || verb == "hidemenu" || verb == "pushmenu" || verb == "togglemenu" ||
                    verb == "forcemenu") &&
                   words.size() >= 2) {
            facts.menuCommands.push_back({verb, lower(words[1]), lower(name), script.path, line});
        }
        words.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inQuotes) {
            if (c == '"') inQuotes = false;
            else word += c;
        } else if (c == '"') {
            inQuotes = inWord = true;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            break;
        } else if (c == ';') {
            endCommand();
        } else if (static_cast<unsigned char>(c) <= ' ') {
            endWord();
        } else {
            word += c;
            inWord = true;
        }
    }
    endCommand();
}

ScriptFacts scanScripts(const std::vector<SourceFile>& scripts) {
    ScriptFacts facts;
    for (const SourceFile& script : scripts) {
        size_t start = 0;
        for (int line = 1; start <= script.text.size(); ++line) {
            size_t end = script.text.find('\n', start);
            if (end == std::string::npos) end = script.text.size();
            scanConsoleText(script.text.substr(start, end - start), script, line, 0, facts);
            start = end + 1;
        }
    }
    return facts;
}

std::string color(const Color& c) {
    char text[64];
    std::snprintf(text, sizeof text, "rgba(%d,%d,%d,%.3g)", static_cast<int>(std::lround(c.r * 255)),
                  static_cast<int>(std::lround(c.g * 255)), static_cast<int>(std::lround(c.b * 255)), c.a);
    return text;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

bool parseMenu(const SourceFile& file, Menu& out, std::vector<std::string>& errors) {
    Faults faults(errors);
    MenuParser parser(file, out, faults);
    return parser.parse();
}

std::vector<std::string> checkAll(const std::vector<SourceFile>& menuFiles, const std::vector<SourceFile>& scripts,
                                  const ProgramFacts& program) {
    std::vector<std::string> errors;
    Faults faults(errors);
    ScriptFacts facts = scanScripts(scripts);

    std::set<std::string> cvarsSet = facts.cvarsSet;
    for (const std::string& cvar : program.cvars) cvarsSet.insert(lower(cvar));

    // The engine finds menus by name without regard to case.
    std::map<std::string, Menu> menus;
    for (const SourceFile& file : menuFiles) {
        Menu menu;
        MenuParser parser(file, menu, faults);
        if (!parser.parse()) continue;
        for (const auto& use : parser.linkedCvars)
            if (!cvarsSet.count(lower(use.cvar)))
                faults.add(file.path, use.line, "cvar \"" + use.cvar + "\": neither Vorbix nor its scripts set it");
        std::string key = lower(menu.name);
        if (menus.count(key)) {
            faults.add(file.path, menu.line, "menu \"" + menu.name + "\" is also defined in " + menus[key].path);
            continue;
        }
        menus[key] = menu;
    }

    std::set<std::string> shown, hidden, hiddenByHideScript;
    for (const std::string& name : program.shownMenus) shown.insert(lower(name));
    for (const auto& command : facts.menuCommands) {
        if (!menus.count(command.menu))
            faults.add(command.path, command.line, command.verb + " " + command.menu + ": no menu file defines it");
        if (command.verb == "showmenu") shown.insert(command.menu);
        if (command.verb == "hidemenu") {
            hidden.insert(command.menu);
            if (command.script == lower(program.hideScript)) hiddenByHideScript.insert(command.menu);
        }
        if (command.verb == "pushmenu" || command.verb == "togglemenu" || command.verb == "forcemenu")
            faults.add(command.path, command.line,
                       command.verb + " " + command.menu +
                           ": puts the menu on the game's menu stack, which takes the mouse and keyboard from the "
                           "game; use showmenu and hidemenu");
    }
    for (const std::string& name : program.shownMenus) {
        std::string key = lower(name);
        if (!menus.count(key))
            faults.add("vorbix", "it sends \"showmenu " + name + "\" but no menu file defines it");
        if (!hiddenByHideScript.count(key))
            faults.add(program.hideScript, "does not hide \"" + name + "\", which Vorbix shows: it would stay on");
    }
    for (const auto& [key, menu] : menus) {
        if (!shown.count(key))
            faults.add(menu.path, menu.line, "menu \"" + menu.name + "\": neither Vorbix nor a script shows it");
        if (!hidden.count(key))
            faults.add(menu.path, menu.line, "menu \"" + menu.name + "\": no script hides it");
    }
    return errors;
}

std::string drawCommands(const Menu& menu, const std::map<std::string, std::string>& cvarValues) {
    // The preview maps the 640 x 480 virtual screen 1:1, with the menu
    // centred as the engine places it, and the game's fonts to DejaVu at
    // about their size.
    const float ox = (kScreenWidth - menu.width) / 2, oy = (kScreenHeight - menu.height) / 2;
    std::string out = "viewbox 0 0 640 480\n";
    if (menu.bg.a > 0) {
        char box[96];
        std::snprintf(box, sizeof box, "%g %g %g %g", ox, oy, ox + menu.width - 1, oy + menu.height - 1);
        out += "fill " + color(menu.bg) + " rectangle " + box + "\n";
    }
    for (const Widget& w : menu.widgets) {
        float x0 = ox + w.x, y0 = oy + w.y, x1 = ox + w.x + w.w - 1, y1 = oy + w.y + w.h - 1;
        char box[96];
        std::snprintf(box, sizeof box, "%g %g %g %g", x0, y0, x1, y1);
        out += "push graphic-context\n";
        if (w.bg.a > 0) out += "fill " + color(w.bg) + " stroke none rectangle " + box + "\n";
        if (w.hasBorder) out += "fill none stroke " + color(w.border) + " stroke-width 1 rectangle " + box + "\n";
        std::string text = w.title;
        if (!w.cvar.empty()) {
            auto value = cvarValues.find(w.cvar);
            text = value != cvarValues.end() ? value->second : "0";
        }
        if (!text.empty()) {
            bool large = w.font == "facfont-20";
            float size = large ? 22 : w.font == "verdana-14" ? 13 : 11;
            float x = w.halign == HAlign::Left ? x0 + 1 : w.halign == HAlign::Right ? x1 - 1 : (x0 + x1) / 2;
            float y = w.valign == VAlign::Top      ? y0 + size
                      : w.valign == VAlign::Bottom ? y1 - size * 0.25f
                                                   : (y0 + y1) / 2 + size * 0.36f;
            const char* anchor = w.halign == HAlign::Left ? "start" : w.halign == HAlign::Right ? "end" : "middle";
            char place[64];
            std::snprintf(place, sizeof place, "%g %g", x, y);
            out += std::string("font '") + (large ? "DejaVu-Sans-Bold" : "DejaVu-Sans") + "' font-size " +
                   std::to_string(static_cast<int>(size)) + " text-anchor " + anchor + " stroke none fill " +
                   color(w.fg) + " text " + place + " " + quoted(text) + "\n";
        }
        out += "pop graphic-context\n";
    }
    return out;
}

}  // namespace menucheck
