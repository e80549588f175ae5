// The main window's controls of the terminal front-end (see controls.cpp).
#pragma once

// Gives AppState's control handles; the launch boxes take their texts from
// the loaded settings and the check boxes their states from the flags.
void createControls();
