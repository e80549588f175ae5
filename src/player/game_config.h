// The player's name from the open-source engine's own config file, for a
// transport that cannot ask the game (a followed log takes no commands).
//
// The engine writes every archived cvar as `seta NAME "VALUE"`, value between
// plain double quotes without any escaping (Cvar_WriteVariables,
// code/qcommon/cvar.c), into configs/omconfig.cfg under its home config
// folder and game folder, again whenever such a cvar changes. It reads the
// file back as console commands: lines end at a line break, or at ';' outside
// quotes and comments; a token is a quoted run (no escapes) or a run of bytes
// above blank; "//" ends the line; and `set`/`seta`/`sets`/`setu` NAME gives
// the cvar the remaining tokens joined by blanks (code/qcommon/cmd.c).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The name the engine plays under after reading `configText`: the value of
// the last command that sets the cvar "name", cleaned as the client cleans it
// before it connects (Com_SanitizeName: leading blanks and anything from a
// control character on dropped, trailing blanks cut, at most 31 bytes, '"'
// '\' ';' '~' '`' replaced). Nothing when no command sets it or the name is
// blank (the game then makes up a random one). "^" colour codes are kept, as
// the game prints them.
std::optional<std::string> playerNameFromConfig(std::string_view configText);

// The player's name from the config the engine reads for game folder
// `gameDir` under `homeConfigFolder`: <gameDir>/configs/omconfig.cfg, or for
// an expansion without one of its own main's, as the engine's search path
// finds it. Nothing when there is no such file or it names nobody.
std::optional<std::string> playerNameFromGameHome(const std::string& homeConfigFolder, const std::string& gameDir);
