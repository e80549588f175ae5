// The exit path, shared by every front-end.
#pragma once

// Sends "exec vorbixoff.cfg" to a linked game, removes the tray icon, saves
// the statistics, ends the map under way in the match history, and saves the
// settings.
void shutdownApp();
