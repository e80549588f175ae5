// A substring search for the keyword tables: the first occurrence of
// `phrase` in `text`, as strstr finds it, with both lengths known. It skips
// through the text with memchr, which is much faster than strstr on the
// short lines and phrases the console produces.
#pragma once

#include <cstddef>
#include <cstring>

inline const char* findPhrase(const char* text, size_t textLength, const char* phrase, size_t phraseLength) {
    if (phraseLength == 0) return text;
    if (phraseLength > textLength) return nullptr;
    const char* last = text + (textLength - phraseLength);
    for (const char* at = text; at <= last; ++at) {
        at = static_cast<const char*>(std::memchr(at, phrase[0], size_t(last - at) + 1));
        if (at == nullptr) return nullptr;
        if (std::memcmp(at + 1, phrase + 1, phraseLength - 1) == 0) return at;
    }
    return nullptr;
}
