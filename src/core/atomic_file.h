// Replacing a whole file in one step, so readers see the old bytes or the new
// ones, never a truncated mix.
#pragma once

#include <cstddef>

// Writes `data` to a temporary file beside `path`, flushes it, then renames it
// over `path`. Returns false (and leaves `path` untouched) on any failure.
bool writeFileAtomically(const char* path, const void* data, size_t size);
