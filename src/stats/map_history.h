// The running program's match history: the map under way (app.currentMap),
// whose row goes to "vorbix-history.csv" when it ends. A writer thread does
// the file work, so the end of a map costs the front-end's thread nothing.
#pragma once

#include <string>

// A map starts now: at a link to the game and at every map load.
void beginMap();
// The map under way ends now: its row is appended when it counted anything.
void endMap();
// The name the game gave for the map under way.
void setMapName(const std::string& name);
// Waits until every row ended so far is in the file. False when a write
// failed (the rows stay queued for the next try).
bool flushMapHistory();
// Flushes and stops the writer; the next row starts another (tests, whose
// current directory changes).
void closeMapHistory();
