#include "player/game_config.h"

#include <fstream>
#include <vector>

namespace {

// MAX_NAME_LENGTH less its terminator.
constexpr size_t kLongestName = 31;
// No config the engine writes comes near this; a larger file is not read.
constexpr std::streamsize kLargestConfig = 4 << 20;

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Cmd_TokenizeString: quoted runs without escapes, runs of bytes above blank,
// "//" and "/* */" comments.
std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> words;
    size_t at = 0;
    for (;;) {
        for (;;) {
            while (at < text.size() && isBlank(text[at])) ++at;
            if (at >= text.size() || text.compare(at, 2, "//") == 0) return words;
            if (text.compare(at, 2, "/*") != 0) break;
            const size_t close = text.find("*/", at);
            if (close == std::string_view::npos) return words;
            at = close + 2;
        }
        if (text[at] == '"') {
            const size_t close = text.find('"', at + 1);
            words.push_back(text.substr(at + 1, close == std::string_view::npos ? std::string_view::npos : close - at - 1));
            if (close == std::string_view::npos) return words;
            at = close + 1;
            continue;
        }
        const size_t start = at;
        while (at < text.size() && !isBlank(text[at]) && text[at] != '"' && text.compare(at, 2, "//") != 0 &&
               text.compare(at, 2, "/*") != 0)
            ++at;
        words.push_back(text.substr(start, at - start));
    }
}

// Cmd_ArgsFrom: the tokens from `first` on, joined by one blank.
std::string joinedFrom(const std::vector<std::string_view>& words, size_t first) {
    std::string joined;
    for (size_t i = first; i < words.size(); ++i) {
        if (i > first) joined += ' ';
        joined.append(words[i].data(), words[i].size());
    }
    return joined;
}

// What one command does to the cvar "name", if anything.
std::optional<std::string> nameSetBy(std::string_view command) {
    const std::vector<std::string_view> words = tokens(command);
    if (words.empty()) return std::nullopt;
    const std::string_view verb = words[0];
    if ((sameWord(verb, "set") || sameWord(verb, "seta") || sameWord(verb, "sets") || sameWord(verb, "setu")) &&
        words.size() >= 3 && sameWord(words[1], "name"))
        return joinedFrom(words, 2);
    // A cvar's own name as the command sets it (Cvar_Command).
    if (sameWord(verb, "name") && words.size() >= 2) return joinedFrom(words, 1);
    return std::nullopt;
}

// Com_SanitizeName, less the random name it makes up for a blank one.
std::string sanitized(const std::string& name) {
    size_t at = 0;
    while (at < name.size() && isBlank(name[at])) ++at;
    std::string clean;
    for (; at < name.size() && static_cast<unsigned char>(name[at]) >= ' ' && clean.size() < kLongestName; ++at) {
        const char c = name[at];
        clean += c == '~' || c == '`' ? '*' : c == '"' ? '\'' : c == '\\' ? '/' : c == ';' ? ':' : c;
    }
    while (!clean.empty() && isBlank(clean.back())) clean.pop_back();
    return clean;
}

std::optional<std::string> readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(static_cast<size_t>(kLargestConfig) + 1, '\0');
    in.read(&text[0], kLargestConfig + 1);
    if (in.gcount() > kLargestConfig) return std::nullopt;
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

std::string joinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    if (folder.empty() || folder.back() == '/' || folder.back() == separator) return folder + name;
    return folder + separator + name;
}

}  // namespace

std::optional<std::string> playerNameFromConfig(std::string_view text) {
    // The engine takes the file as one C string.
    text = text.substr(0, text.find('\0'));
    std::optional<std::string> name;
    // Cbuf_Execute: a command ends at a line break, or at ';' outside quotes
    // and comments; a "/* */" comment runs over line breaks.
    bool inSlashComment = false;
    bool inStarComment = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t i = start;
        int quotes = 0;
        for (; i < text.size(); ++i) {
            if (text[i] == '"') ++quotes;
            if (!(quotes & 1)) {
                if (i + 1 < text.size()) {
                    if (!inStarComment && text[i] == '/' && text[i + 1] == '/') {
                        inSlashComment = true;
                    } else if (!inSlashComment && text[i] == '/' && text[i + 1] == '*') {
                        inStarComment = true;
                    } else if (inStarComment && text[i] == '*' && text[i + 1] == '/') {
                        inStarComment = false;
                        ++i;
                        break;
                    }
                }
                if (!inSlashComment && !inStarComment && text[i] == ';') break;
            }
            if (!inStarComment && (text[i] == '\n' || text[i] == '\r')) {
                inSlashComment = false;
                break;
            }
        }
        if (std::optional<std::string> set = nameSetBy(text.substr(start, i - start))) name = std::move(set);
        start = i + 1;
    }
    if (!name) return std::nullopt;
    std::string clean = sanitized(*name);
    if (clean.empty()) return std::nullopt;
    return clean;
}

std::optional<std::string> playerNameFromGameHome(const std::string& homeConfigFolder, const std::string& gameDir) {
    const std::string kConfig = "configs/omconfig.cfg";
    std::optional<std::string> text = readSmallFile(joinPath(joinPath(homeConfigFolder, gameDir), kConfig));
    if (!text && gameDir != "main") text = readSmallFile(joinPath(joinPath(homeConfigFolder, "main"), kConfig));
    if (!text) return std::nullopt;
    return playerNameFromConfig(*text);
}
