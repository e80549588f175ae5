// Reading the game's console output box by position. The game only ever
// appends to the box, until it starts the box over (after 32,767 characters)
// or the player clears it; the reader remembers how far it handed out lines
// and hands out each complete line once. It never changes the box: removing
// text from another program's edit box can race with the game starting the
// box over and delete lines nobody read.
#pragma once

#include <string>

struct BoxReader {
    std::string handedOut;  // the box's text up to the end of the last line handed out
};

// Appends to `lines` the complete lines new in `box` (the box's whole text
// now), in order, each without its last character (the CR of the game's
// CR LF) and followed by '\n'; runs of line feeds give no empty pieces. A last
// line without its line feed waits for the next read. A box that no longer
// begins with what was handed out was started over or cleared: all of it is
// new. Returns how many lines it appended.
size_t takeNewLines(BoxReader& reader, const std::string& box, std::string& lines);

// Posts the new complete lines of `box` as one console event; true when
// there were any.
bool postNewLines(BoxReader& reader, const std::string& box);
