#include "core/keyword_table.h"

#include <cstring>

namespace {

template <typename Handler>
int appendEntry(BasicKeywordTable<Handler>& table, const char* phrase, Handler handler) {
    if (table.count < -1 || table.count >= MAX_KEYWORDS - 1) return -1;
    int index = ++table.count;
    setPhrase(table.entries[index].phrase, phrase);
    table.entries[index].handler = handler;
    return index;
}

}  // namespace

void setPhrase(char (&phrase)[kPhraseSize], const char* text) {
    size_t length = ::strnlen(text, kPhraseSize - 1);
    std::memcpy(phrase, text, length);
    phrase[length] = '\0';
}

int appendKeyword(KeywordTable& table, const char* phrase, KeywordHandler handler) {
    return appendEntry(table, phrase, handler);
}

int appendKeyword(HitLocationTable& table, const char* phrase, HitHandler handler) {
    return appendEntry(table, phrase, handler);
}
