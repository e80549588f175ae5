// The four keyword tables: console phrases and the handlers they trigger.
#pragma once

#include <cstdint>

constexpr int MAX_KEYWORDS = 30;
constexpr int kPhraseSize = 64;  // 63 characters and the terminator
// Table B's slot of the game's notice "%s has entered the battle"; every
// later slot holds an obituary pattern of the message file.
constexpr int kJoinNoticeSlot = 1;

// A keyword handler gets the first occurrence of its phrase inside `line`
// and the line itself (which it may change, see handleInGameCommand).
using KeywordHandler = void (*)(const char* match, char* line);
// Hit-location handlers get whether the line was the player's death.
using HitHandler = void (*)(bool isDeath);

template <typename Handler>
struct BasicKeywordEntry {
    char phrase[kPhraseSize];
    Handler handler;
};

template <typename Handler>
struct BasicKeywordTable {
    BasicKeywordEntry<Handler> entries[MAX_KEYWORDS];
    int32_t count;  // index of the last slot in use
};

using KeywordEntry = BasicKeywordEntry<KeywordHandler>;
using KeywordTable = BasicKeywordTable<KeywordHandler>;
using HitLocationEntry = BasicKeywordEntry<HitHandler>;
using HitLocationTable = BasicKeywordTable<HitHandler>;

// Copies `text` into a phrase field, cut to its first 63 characters.
void setPhrase(char (&phrase)[kPhraseSize], const char* text);

// Appends an entry when a slot is free; returns its index, or -1 when the
// table is full (nothing is written then).
int appendKeyword(KeywordTable& table, const char* phrase, KeywordHandler handler);
int appendKeyword(HitLocationTable& table, const char* phrase, HitHandler handler);
