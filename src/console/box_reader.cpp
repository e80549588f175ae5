#include "console/box_reader.h"

#include "console/console_events.h"

size_t takeNewLines(BoxReader& reader, const std::string& box, std::string& lines) {
    const std::string& seen = reader.handedOut;
    size_t start = box.size() >= seen.size() && box.compare(0, seen.size(), seen) == 0 ? seen.size() : 0;
    size_t lastLineFeed = box.rfind('\n');
    if (lastLineFeed == std::string::npos || lastLineFeed < start) {
        if (start == 0) reader.handedOut.clear();
        return 0;
    }
    size_t count = 0;
    for (size_t piece = start; piece <= lastLineFeed;) {
        size_t lineFeed = box.find('\n', piece);
        if (lineFeed > piece) {
            lines.append(box, piece, lineFeed - piece - 1);
            lines += '\n';
            ++count;
        }
        piece = lineFeed + 1;
    }
    reader.handedOut.assign(box, 0, lastLineFeed + 1);
    return count;
}

bool postNewLines(BoxReader& reader, const std::string& box) {
    std::string lines;
    if (takeNewLines(reader, box, lines) == 0) return false;
    postConsoleLines(std::move(lines));
    return true;
}
