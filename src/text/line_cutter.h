// Cutting a stream of bytes (a pipe, a terminal, a growing file) into lines
// as it arrives.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

struct LineCutter {
    LineCutter(size_t longestLine, bool dropThem) : longest(longestLine), dropLongLines(dropThem) {}

    // A run this long without a line feed is too long for one line: with
    // `dropLongLines` it is dropped up to its line feed, otherwise it is
    // handed on in pieces of this size.
    size_t longest;
    bool dropLongLines;
    std::string pending;    // the unfinished last line
    bool dropping = false;  // inside a line that is being dropped
};

// Appends `size` bytes and calls take(line) for every complete line, without
// its line feed and without a CR just before it, in order.
template <typename Take>
void cutLines(LineCutter& cutter, const char* data, size_t size, Take take) {
    for (const char* const end = data + size; data < end;) {
        const char* lineFeed = static_cast<const char*>(std::memchr(data, '\n', size_t(end - data)));
        const char* stop = lineFeed ? lineFeed : end;
        if (!cutter.dropping) cutter.pending.append(data, size_t(stop - data));
        data = lineFeed ? lineFeed + 1 : end;
        if (lineFeed) {
            std::string line;
            line.swap(cutter.pending);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!cutter.dropping) take(line);
            cutter.dropping = false;
            continue;
        }
        while (!cutter.dropping && cutter.pending.size() >= cutter.longest) {
            if (cutter.dropLongLines) {
                cutter.pending.clear();
                cutter.dropping = true;
            } else {
                take(cutter.pending.substr(0, cutter.longest));
                cutter.pending.erase(0, cutter.longest);
            }
        }
    }
}

// The end of the stream: an unfinished last line is handed on as it is.
template <typename Take>
void finishLines(LineCutter& cutter, Take take) {
    if (!cutter.pending.empty() && !cutter.dropping) take(cutter.pending);
    cutter.pending.clear();
    cutter.dropping = false;
}
