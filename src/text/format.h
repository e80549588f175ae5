// Texts from files are never printf formats. These fill one value into a
// user-supplied text: "%%" becomes "%", one conversion gets the value, and
// every other '%' sequence is kept literally. Nothing is read that was not
// passed and the result is never cut.
#pragma once

#include <cstdint>
#include <string>

// Announcement texts: the first integer conversion (d i u x X o, with flags,
// width, precision and length modifiers as printf takes them) gets `count`.
std::string formatWithCount(const char* text, uint32_t count);

// Table B patterns: the first "%s" gets the player's name.
std::string formatWithName(const char* pattern, const char* name);
