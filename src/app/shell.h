// The exit path and the main window's show and hide.
#pragma once

// Sends "exec vorbixoff.cfg" to a linked game, removes the tray icon, saves
// the statistics and the settings.
void shutdownApp();
