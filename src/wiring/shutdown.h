// The exit path, shared by every front-end.
#pragma once

// Sends "exec vorbixoff.cfg" to a linked game, removes the tray icon, saves
// the statistics and the settings.
void shutdownApp();
