// The start-up steps every front-end shares, in their order.
#pragma once

#include <string>

// Zeroes the pending counts, loads vorbix.ini: its flags, "kill_time" and
// the launch texts.
// False, after the warning "Failed to load vorbix.ini", when the file cannot
// be loaded; every setting then keeps its default.
bool loadStartSettings();
// Loads the message file chosen for this start (its first 99 characters),
// out of the `listed` files the front-end found. False, after the warning
// "Failed to find any message files", when it found none.
bool loadStartMessageFile(int listed, const std::string& chosen);
