#include "console/box_reader.h"

#include "console/console_events.h"

std::vector<std::string> takeNewLines(BoxReader& reader, const std::string& box) {
    const std::string& seen = reader.handedOut;
    size_t start = box.size() >= seen.size() && box.compare(0, seen.size(), seen) == 0 ? seen.size() : 0;
    std::vector<std::string> lines;
    size_t lastLineFeed = box.rfind('\n');
    if (lastLineFeed == std::string::npos || lastLineFeed < start) {
        if (start == 0) reader.handedOut.clear();
        return lines;
    }
    for (size_t piece = start; piece <= lastLineFeed;) {
        size_t lineFeed = box.find('\n', piece);
        if (lineFeed > piece) lines.push_back(box.substr(piece, lineFeed - piece - 1));
        piece = lineFeed + 1;
    }
    reader.handedOut.assign(box, 0, lastLineFeed + 1);
    return lines;
}

void postNewLines(BoxReader& reader, const std::string& box) {
    for (std::string& line : takeNewLines(reader, box)) {
        ConsoleEvent event;
        event.kind = ConsoleEvent::kLine;
        event.line = std::move(line);
        postConsoleEvent(std::move(event));
    }
}
