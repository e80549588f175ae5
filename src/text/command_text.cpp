#include "text/command_text.h"

bool quoteArgument(const std::string& text, std::string& quoted) {
    if (text.find_first_of("\"\r\n") != std::string::npos) return false;
    quoted = '"' + text + '"';
    return true;
}

bool isSingleCommand(const std::string& command) {
    bool inQuotes = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '\r' || c == '\n') return false;
        if (c == '"') inQuotes = !inQuotes;
        if (inQuotes) continue;
        if (c == ';' || (c == '/' && i + 1 < command.size() && command[i + 1] == '*')) return false;
    }
    return true;
}
